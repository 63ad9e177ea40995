#pragma once
// Test support for image files: pictures written and read by other programs (the image
// converter `convert` and libjpeg's `cjpeg` / `djpeg`), through netpbm files that these
// helpers write and read themselves. Pixels are ARGB (UColor), rows from the top.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/BareEngine.h"

struct TestPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
    std::uint32_t at(int x, int y) const { return argb[static_cast<std::size_t>(y) * width + x]; }
};

// A picture with a different colour and alpha in every pixel.
inline TestPicture makeTestPicture(int width, int height, bool opaque) {
    TestPicture p{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t a = opaque ? 255u : static_cast<std::uint32_t>(40 + 50 * ((x + y) % 5));
            const std::uint32_t r = static_cast<std::uint32_t>(x * 255 / (width > 1 ? width - 1 : 1));
            const std::uint32_t g = static_cast<std::uint32_t>(y * 255 / (height > 1 ? height - 1 : 1));
            const std::uint32_t b = static_cast<std::uint32_t>(255 - (x + y) * 255 / (width + height));
            p.argb.push_back(a << 24 | r << 16 | g << 8 | b);
        }
    return p;
}

// Writes a PAM file (with alpha) or a PPM file (without).
inline void writeNetpbm(const std::filesystem::path& path, const TestPicture& p, bool withAlpha) {
    std::string header = withAlpha ? "P7\nWIDTH " + std::to_string(p.width) + "\nHEIGHT " + std::to_string(p.height) +
                                         "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
                                   : "P6\n" + std::to_string(p.width) + " " + std::to_string(p.height) + "\n255\n";
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    for (std::uint32_t c : p.argb) {
        bytes.insert(bytes.end(), {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)});
        if (withAlpha) bytes.push_back(std::uint8_t(c >> 24));
    }
    writeBytes(path, bytes);
}

// Reads a PAM (depth 3 or 4) or binary PPM file; opaque without alpha. Empty on failure.
inline TestPicture readNetpbm(const std::filesystem::path& path) {
    const std::vector<std::uint8_t> bytes = readBytes(path);
    const std::string text(bytes.begin(), bytes.end());
    TestPicture p;
    int depth = 3;
    std::size_t data = 0;
    if (text.rfind("P7", 0) == 0) {
        const std::size_t end = text.find("ENDHDR\n");
        if (end == std::string::npos) return {};
        std::sscanf(text.c_str() + text.find("WIDTH"), "WIDTH %d", &p.width);
        std::sscanf(text.c_str() + text.find("HEIGHT"), "HEIGHT %d", &p.height);
        std::sscanf(text.c_str() + text.find("DEPTH"), "DEPTH %d", &depth);
        data = end + 7;
    } else if (text.rfind("P6", 0) == 0) {
        int maxval = 0, consumed = 0;
        if (std::sscanf(text.c_str(), "P6 %d %d %d%n", &p.width, &p.height, &maxval, &consumed) != 3) return {};
        data = static_cast<std::size_t>(consumed) + 1;
    } else {
        return {};
    }
    if (bytes.size() < data + static_cast<std::size_t>(p.width) * p.height * depth) return {};
    for (int i = 0; i < p.width * p.height; ++i) {
        const std::uint8_t* s = bytes.data() + data + static_cast<std::size_t>(i) * depth;
        const std::uint32_t a = depth == 4 ? s[3] : 255u;
        p.argb.push_back(a << 24 | std::uint32_t(s[0]) << 16 | std::uint32_t(s[1]) << 8 | s[2]);
    }
    return p;
}

// Runs a shell command in the working directory; true when it succeeded.
inline bool runTool(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }

// The largest difference of any channel between two pictures of the same size.
inline int largestDifference(const TestPicture& a, const TestPicture& b) {
    int worst = 0;
    for (std::size_t i = 0; i < a.argb.size() && i < b.argb.size(); ++i)
        for (int shift = 0; shift < 32; shift += 8) {
            const int d = std::abs(int((a.argb[i] >> shift) & 0xFF) - int((b.argb[i] >> shift) & 0xFF));
            if (d > worst) worst = d;
        }
    return worst;
}
