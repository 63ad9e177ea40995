// Reading a data archive of about 50 MB (compressed entries mixed with stored ones)
// through the file manager, next to plain zlib `uncompress` of the same compressed
// bytes held in memory. The reader should stay within 1.2 times zlib's own time: its
// extra work is only file reading and bookkeeping.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/FileManager.h"
#include "engine/MemoryFile.h"
#include "engine/Qor.h"
#include "engine/Random.h"
#include "engine/Strings.h"

namespace fs = std::filesystem;

namespace {
constexpr int kCompressibleEntries = 110;
constexpr std::uint32_t kCompressibleSize = 512 * 1024;  // smooth data, inflates about 2:1
constexpr int kStoredEntries = 48;
constexpr std::uint32_t kStoredSize = 256 * 1024;  // noise, which the writer stores

struct Fixture {
    fs::path folder;
    std::u16string archive;
    std::vector<std::u16string> names;
    std::vector<std::vector<std::uint8_t>> compressed;  // the compressed entries' stored bytes
    std::vector<std::uint32_t> sizes;                   // their inflated sizes
    std::uint64_t totalBytes = 0;                       // every entry, inflated
};

std::vector<std::uint8_t> smoothBytes(std::uint32_t size) {
    std::vector<std::uint8_t> bytes(size);
    int level = 128;
    for (auto& b : bytes) {
        level = std::clamp(level + static_cast<int>(Random::next() % 7) - 3, 0, 255);
        b = static_cast<std::uint8_t>(level);
    }
    return bytes;
}

std::vector<std::uint8_t> noiseBytes(std::uint32_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(Random::step() >> 24);
    return bytes;
}

void writeFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// Builds the archive with the engine's own writer, then keeps the compressed entries'
// bytes in memory for the zlib baseline.
Fixture& fixture() {
    static Fixture* f = [] {
        auto* fx = new Fixture;
        fx->folder = fs::temp_directory_path() / ("bench_wad." + std::to_string(getpid()));
        const fs::path source = fx->folder / "source";
        Random::seed(7);
        for (int i = 0; i < kCompressibleEntries + kStoredEntries; ++i) {
            const bool smooth = i < kCompressibleEntries;
            const std::string name = (smooth ? "gfx/smooth" : "snd/noise") + std::to_string(i) + ".bin";
            writeFile(source / name, smooth ? smoothBytes(kCompressibleSize) : noiseBytes(kStoredSize));
            fx->names.push_back(utf8ToWide(name));
        }
        const fs::path here = fs::current_path();
        fs::current_path(source);
        fx->archive = utf8ToWide((fx->folder / "bench.dat").string());
        FileManager writer(1, 0);
        qor->pFileManager = &writer;
        writer.useWad(fx->archive);
        for (const auto& name : fx->names) writer.open(name);
        writer.writeWad(fx->archive, fx->archive, FileManager::Compression::kZlib);
        fs::current_path(here);
        qor->pFileManager = new FileManager();
        qor->files().useWad(fx->archive);
        for (const auto& name : fx->names) {
            const WadEntry* e = qor->files().getEntry(name);
            fx->totalBytes += e->size;
            if (e->storedSize == e->size) continue;
            std::vector<std::uint8_t> stored(e->storedSize);
            std::FILE* in = std::fopen(wideToUtf8(fx->archive).c_str(), "rb");
            std::fseek(in, static_cast<long>(e->offset), SEEK_SET);
            if (std::fread(stored.data(), 1, stored.size(), in) != stored.size()) std::abort();
            std::fclose(in);
            fx->compressed.push_back(std::move(stored));
            fx->sizes.push_back(e->size);
        }
        std::printf("archive: %.1f MB, %zu compressed and %zu stored entries, %.1f MB inflated\n",
                    static_cast<double>(fs::file_size(fx->folder / "bench.dat")) / 1e6, fx->compressed.size(),
                    fx->names.size() - fx->compressed.size(), static_cast<double>(fx->totalBytes) / 1e6);
        return fx;
    }();
    return *f;
}

void readArchive(const Fixture& fx) {
    for (const auto& name : fx.names) {
        MemoryFile file(0, name);
        benchmark::DoNotOptimize(file.block.pData);
    }
}

void zlibBaseline(const Fixture& fx, std::vector<std::uint8_t>& out) {
    for (std::size_t i = 0; i < fx.compressed.size(); ++i) {
        uLongf produced = fx.sizes[i];
        uncompress(out.data(), &produced, fx.compressed[i].data(), fx.compressed[i].size());
        benchmark::DoNotOptimize(out.data());
    }
}

void BM_ArchiveRead(benchmark::State& state) {
    const Fixture& fx = fixture();
    for (auto _ : state) readArchive(fx);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fx.totalBytes));
}

void BM_ZlibUncompress(benchmark::State& state) {
    const Fixture& fx = fixture();
    std::vector<std::uint8_t> out(kCompressibleSize);
    for (auto _ : state) zlibBaseline(fx, out);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fx.totalBytes));
}

BENCHMARK(BM_ArchiveRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibUncompress)->Unit(benchmark::kMillisecond);

template <class F>
double bestSeconds(F f) {
    double best = 1e9;
    for (int i = 0; i < 7; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}
}  // namespace

int main(int argc, char** argv) {
    Qor engine{Qor::Headless{}};
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const Fixture& fx = fixture();
    std::vector<std::uint8_t> out(kCompressibleSize);
    const double reader = bestSeconds([&] { readArchive(fx); });
    const double zlib = bestSeconds([&] { zlibBaseline(fx, out); });
    const double mb = static_cast<double>(fx.totalBytes) / 1e6;
    std::printf("archive reader %.0f MB/s, zlib uncompress %.0f MB/s: reader takes %.2f x zlib's time (limit 1.20)\n",
                mb / reader, mb / zlib, reader / zlib);
    std::error_code error;
    fs::remove_all(fx.folder, error);
    return reader / zlib <= 1.2 ? 0 : 1;
}
