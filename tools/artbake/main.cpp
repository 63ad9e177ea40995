// torvane_artbake: builds every picture of the game's data from the sources in data/.
//
//   torvane_artbake --data <source data folder> --out <data stage folder> [--jobs N]
//
// Reads data/gfx/palette.txt, data/gfx/recipes/*.recipe (drawings in data/gfx/svg) and
// data/fonts/*.font, and writes under the stage folder one folder per archive (each holding
// the images with their ".ini" and ".preload" files, by their paths inside the archive), the
// code-point table of the font archive, manifest.txt (one line per image: archive, path,
// registered name, skin count, size, meaning), contact-sheet.png and a PNG for each
// data/gfx/preview-*.txt (mock game screens for reviewing the art together). The output depends only on the
// sources: recipes are processed in name order and every job writes its own files.

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "AtlasBuilder.h"
#include "CodePage1252.h"
#include "ContactSheet.h"
#include "FontRecipe.h"
#include "GlyphSheetBuilder.h"
#include "Recipe.h"
#include "ScenePreview.h"
#include "TextureWriter.h"

namespace fs = std::filesystem;
using namespace artbake;

namespace {

struct Options {
    std::string data;
    std::string out;
    unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
};

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string key = argv[i];
        if (key == "--data")
            options.data = argv[i + 1];
        else if (key == "--out")
            options.out = argv[i + 1];
        else if (key == "--jobs")
            options.jobs = static_cast<unsigned>(std::max(1, std::atoi(argv[i + 1])));
        else
            throw std::runtime_error("unknown option " + key);
    }
    if (options.data.empty() || options.out.empty())
        throw std::runtime_error("usage: torvane_artbake --data <folder> --out <folder> [--jobs N]");
    return options;
}

std::vector<std::string> listFiles(const fs::path& folder, const std::string& extension) {
    std::vector<std::string> files;
    if (fs::is_directory(folder))
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.is_regular_file() && entry.path().extension() == extension)
                files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

Palette loadPalette(const std::string& file) {
    std::ifstream in(file);
    if (!in) throw std::runtime_error(file + ": cannot open");
    Palette palette;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string name, colour;
        if (words >> name >> colour && name[0] != '#') palette[name] = colour;
    }
    return palette;
}

// Runs job(k) for k in [0, count) on `threads` workers; the first failure is rethrown.
template <typename Job>
void runInParallel(size_t count, unsigned threads, Job job) {
    std::atomic<size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    std::vector<std::thread> workers;
    for (unsigned w = 0; w < std::min<size_t>(threads, count); ++w)
        workers.emplace_back([&] {
            for (size_t k = next++; k < count; k = next++) {
                try {
                    job(k);
                } catch (...) {
                    std::lock_guard<std::mutex> lock(failureLock);
                    if (!failure) failure = std::current_exception();
                }
            }
        });
    for (std::thread& worker : workers) worker.join();
    if (failure) std::rethrow_exception(failure);
}

void writeManifest(const std::vector<const BakedTexture*>& textures, const std::string& path) {
    std::string text;
    for (const BakedTexture* t : textures)
        text += t->archive + "\t" + t->path + "\t" + t->name + "\t" + std::to_string(t->skins.size()) + "\t" +
                std::to_string(t->image.width) + "x" + std::to_string(t->image.height) + "\t" + t->meaning + "\n";
    TextureWriter::writeFileAtomically(path, text.data(), text.size());
}

void run(const Options& options) {
    auto start = std::chrono::steady_clock::now();
    fs::path data(options.data);
    Palette palette = loadPalette((data / "gfx/palette.txt").string());
    std::vector<std::string> recipes = listFiles(data / "gfx/recipes", ".recipe");
    std::vector<std::string> fonts = listFiles(data / "fonts", ".font");
    std::string svgFolder = (data / "gfx/svg").string();

    // Stale files of an earlier build must not survive into the archives.
    fs::create_directories(options.out);
    for (const auto& entry : fs::directory_iterator(options.out))
        if (entry.is_directory() && entry.path().filename().string().rfind("Torvane2Xmas.dat", 0) == 0)
            fs::remove_all(entry.path());

    FcInit();
    std::vector<std::vector<BakedTexture>> results(recipes.size() + fonts.size());
    runInParallel(results.size(), options.jobs, [&](size_t k) {
        if (k < recipes.size())
            results[k].push_back(AtlasBuilder::build(Recipe::load(recipes[k]), svgFolder, palette));
        else
            results[k] = GlyphSheetBuilder::build(FontRecipe::load(fonts[k - recipes.size()]));
        for (const BakedTexture& texture : results[k]) TextureWriter::write(texture, options.out);
    });

    std::vector<uint8_t> table = CodePage1252::encodeLookupTable();
    TextureWriter::writeFileAtomically(options.out + "/Torvane2Xmas.dat.1252/gfx/font/1252/1252.codepointLUT.bin",
                                       table.data(), table.size());
    std::vector<const BakedTexture*> all;
    for (const auto& group : results)
        for (const BakedTexture& texture : group) all.push_back(&texture);
    writeManifest(all, options.out + "/manifest.txt");
    ContactSheet::write(all, options.out + "/contact-sheet.png");
    for (const std::string& scene : listFiles(data / "gfx", ".txt"))
        if (fs::path(scene).filename().string().rfind("preview-", 0) == 0)
            ScenePreview::write(all, scene, options.out + "/" + fs::path(scene).stem().string() + ".png");
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("torvane_artbake: %zu images in %.1f s\n", all.size(), seconds);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        run(parseOptions(argc, argv));
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "torvane_artbake: %s\n", error.what());
        return 1;
    }
}
