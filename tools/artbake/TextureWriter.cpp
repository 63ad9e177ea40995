#include "TextureWriter.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace artbake {

namespace {

void putU16(std::vector<uint8_t>& out, int value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void putS32(std::vector<uint8_t>& out, int32_t value) {
    auto u = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>((u >> shift) & 0xFF));
}

}  // namespace

std::vector<uint8_t> TextureWriter::encodeTga(const Image& image) {
    if (image.width <= 0 || image.height <= 0 || image.width > 0xFFFF || image.height > 0xFFFF)
        throw std::runtime_error("TGA size out of range");
    std::vector<uint8_t> out;
    out.reserve(18 + image.rgba.size());
    out.resize(12);  // no identification field, no colour map, image origin 0, 0
    out[2] = 2;      // uncompressed true colour
    putU16(out, image.width);
    putU16(out, image.height);
    out.push_back(32);    // bits per pixel
    out.push_back(0x08);  // eight alpha bits, rows stored from the bottom up
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.at(x, y);
            for (int channel : {2, 1, 0, 3}) out.push_back(p[channel]);
        }
    }
    return out;
}

std::string TextureWriter::encodeSkinIni(const std::vector<SkinRect>& skins) {
    std::string out;
    for (size_t i = 0; i < skins.size(); ++i) {
        const SkinRect& s = skins[i];
        out += "[Skin " + std::to_string(i) + "]\n";
        out += "left=" + std::to_string(s.left) + "\n";
        out += "top=" + std::to_string(s.top) + "\n";
        out += "width=" + std::to_string(s.width) + "\n";
        out += "height=" + std::to_string(s.height) + "\n";
        out += "origin_adjust_x=" + std::to_string(s.originAdjustX) + "\n";
        out += "origin_adjust_y=" + std::to_string(s.originAdjustY) + "\n";
        if (i + 1 < skins.size()) out += "\n";
    }
    return out;
}

std::vector<uint8_t> TextureWriter::encodePreload(const Image& image, const std::vector<SkinRect>& skins) {
    std::vector<uint8_t> out;
    putS32(out, 1);
    putS32(out, image.width);
    putS32(out, image.height);
    putS32(out, 1);  // TGA images carry alpha
    putS32(out, static_cast<int32_t>(skins.size()));
    for (const SkinRect& s : skins)
        for (int value : {s.left, s.top, s.width, s.height, s.originAdjustX, s.originAdjustY}) putS32(out, value);
    return out;
}

void TextureWriter::writeFileAtomically(const std::string& path, const void* data, size_t size) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out) throw std::runtime_error(temporary + ": cannot write");
    }
    std::filesystem::rename(temporary, path);
}

std::vector<std::string> TextureWriter::write(const BakedTexture& texture, const std::string& archiveStage) {
    std::string base = archiveStage + "/" + texture.path;
    std::vector<uint8_t> tga = encodeTga(texture.image);
    writeFileAtomically(base, tga.data(), tga.size());
    std::string ini = encodeSkinIni(texture.skins);
    writeFileAtomically(base + ".ini", ini.data(), ini.size());
    std::vector<uint8_t> preload = encodePreload(texture.image, texture.skins);
    writeFileAtomically(base + ".preload", preload.data(), preload.size());
    return {base, base + ".ini", base + ".preload"};
}

}  // namespace artbake
