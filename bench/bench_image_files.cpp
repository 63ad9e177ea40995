// Loading a 256 x 256 picture (the size of a whole device texture) from TGA, BMP and
// JPEG files through MemoryImageFile (file manager, decode, bookkeeping), next to
// libjpeg's own decode of the same JPEG bytes in memory and to the image converter's
// own decode of the same three files (its -bench option, one thread, read into null:).
#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <unistd.h>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/FileManager.h"
#include "engine/MemoryFile.h"
#include "engine/Qor.h"
#include "render/DecodedImage.h"
#include "render/JpegCodec.h"
#include "render/MemoryImageFile.h"

namespace fs = std::filesystem;

namespace {
constexpr int kSide = 256;

// A picture with smooth shapes and some grain, so that JPEG has real work to do.
void paint(MemoryImageFile& image) {
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const double v = std::sin(x * 0.05) * std::cos(y * 0.07);
            const auto r = static_cast<UColor>(128 + 100 * v + ((x * 7 + y * 13) % 17));
            const auto g = static_cast<UColor>((x + y) / 2);
            const auto b = static_cast<UColor>(255 - y);
            image.at(x, y) = static_cast<UColor>(0x80 + (x % 128)) << 24 | r << 16 | g << 8 | b;
        }
}

struct Fixture {
    fs::path folder;
    std::vector<std::uint8_t> jpegBytes;
};

Fixture& fixture() {
    static Fixture* f = [] {
        auto* fx = new Fixture;
        fx->folder = fs::temp_directory_path() / ("bench_image_files." + std::to_string(getpid()));
        fs::create_directories(fx->folder);
        fs::current_path(fx->folder);
        qor->pFileManager = new FileManager(0, 0);
        MemoryImageFile image(kSide, kSide);
        paint(image);
        image.saveTGA(u"picture.tga");
        image.saveBMP(u"picture.bmp");
        image.saveJPG(85, u"picture.jpg");
        MemoryFile jpeg(0, u"picture.jpg");
        fx->jpegBytes.assign(jpeg.block.pData, jpeg.block.pData + jpeg.block.size);
        return fx;
    }();
    return *f;
}

void loadThroughEngine(benchmark::State& state, const char16_t* name) {
    fixture();
    for (auto _ : state) {
        MemoryImageFile image(0, name);
        benchmark::DoNotOptimize(image.pImageData.get());
    }
}

void BM_LoadTga(benchmark::State& state) { loadThroughEngine(state, u"picture.tga"); }
void BM_LoadBmp(benchmark::State& state) { loadThroughEngine(state, u"picture.bmp"); }
void BM_LoadJpeg(benchmark::State& state) { loadThroughEngine(state, u"picture.jpg"); }

struct PlainErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void plainErrorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<PlainErrors*>(info->err)->jump, 1);
}

// libjpeg's own decode, the textbook way: memory source, RGB scanlines.
void decodeWithLibjpeg(const std::vector<std::uint8_t>& bytes, std::vector<JSAMPLE>& out) {
    jpeg_decompress_struct info;
    PlainErrors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = plainErrorExit;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), bytes.size());
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    out.resize(static_cast<std::size_t>(info.output_width) * info.output_height * info.output_components);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.data() + static_cast<std::size_t>(info.output_scanline) * info.output_width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
}

void BM_LibjpegDecode(benchmark::State& state) {
    const Fixture& fx = fixture();
    for (auto _ : state) {
        // A fresh buffer each time, as every loader needs one for its picture.
        std::vector<JSAMPLE> out;
        decodeWithLibjpeg(fx.jpegBytes, out);
        benchmark::DoNotOptimize(out.data());
    }
}

// The same bytes through our decoder alone, without the file manager.
void BM_JpegCodecDecode(benchmark::State& state) {
    const Fixture& fx = fixture();
    for (auto _ : state) {
        DecodedImage image;
        JpegCodec::decode(fx.jpegBytes.data(), fx.jpegBytes.size(), false, image);
        benchmark::DoNotOptimize(image.pixels.get());
    }
}

BENCHMARK(BM_LoadTga)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadBmp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadJpeg)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_JpegCodecDecode)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LibjpegDecode)->Unit(benchmark::kMicrosecond);

// The converter's decode time per image in microseconds, from its own benchmark line
// "Performance[1]: ...i <rate>ips ..." (one thread); negative when it is not installed.
double converterMicroseconds(const char* file) {
    const std::string command = std::string("convert -bench 200 -limit thread 1 ") + file + " null: 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1.0;
    char line[512];
    double rate = -1.0;
    while (std::fgets(line, sizeof line, pipe)) {
        double ips = 0.0;
        int iterations = 0;
        if (std::sscanf(line, " Performance%*[^:]: %di %lfips", &iterations, &ips) == 2) rate = ips;
    }
    pclose(pipe);
    return rate > 0.0 ? 1e6 / rate : -1.0;
}
}  // namespace

int main(int argc, char** argv) {
    Qor engine{Qor::Headless{}};
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fixture();
    for (const char* file : {"picture.tga", "picture.bmp", "picture.jpg"})
        std::printf("image converter's own decode of %s: %.1f us\n", file, converterMicroseconds(file));
    const fs::path folder = fixture().folder;
    fs::current_path(fs::temp_directory_path());
    delete qor->pFileManager;
    qor->pFileManager = nullptr;
    std::error_code error;
    fs::remove_all(folder, error);
    return 0;
}
