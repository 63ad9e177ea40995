// torvane_artbake: builds every picture of the game's data from the sources in data/.
//
//   torvane_artbake --data <source data folder> --stage <archive>=<folder> ...
//                   --review <folder> [--jobs N]
//
// Reads data/gfx/palette.txt, data/gfx/recipes/*.recipe (drawings in data/gfx/svg) and
// data/fonts/*.font. Every image goes, with its ".ini" and ".preload" files, to the stage
// folder of its archive (one --stage per archive: the data archive, the language archive,
// the font archive), at its path inside the archive; the font archive also gets the
// code-point table and each font's line metrics ("<font>.lines"). The review folder gets
// manifest.txt (one line per image: archive, path, registered name, skin count, size,
// meaning), contact-sheet.png and a PNG for each data/gfx/preview-*.txt (mock game
// screens for reviewing the art together).
//
// The output depends only on the sources: recipes are processed in name order and every
// job writes its own files. The files the previous run wrote (listed in the review
// folder) are removed first, so nothing stale reaches an archive; other builders' files
// in the same stage folders are left alone.

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "AtlasBuilder.h"
#include "CodePage1252.h"
#include "ContactSheet.h"
#include "FontLines.h"
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
    std::map<std::string, std::string> stages;  // archive name -> its stage folder
    std::string review;
    unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
};

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string key = argv[i];
        std::string value = argv[i + 1];
        if (key == "--data") {
            options.data = value;
        } else if (key == "--stage" && value.find('=') != std::string::npos) {
            options.stages[value.substr(0, value.find('='))] = value.substr(value.find('=') + 1);
        } else if (key == "--review") {
            options.review = value;
        } else if (key == "--jobs") {
            options.jobs = static_cast<unsigned>(std::max(1, std::atoi(value.c_str())));
        } else {
            throw std::runtime_error("unknown option " + key);
        }
    }
    if (options.data.empty() || options.stages.empty() || options.review.empty())
        throw std::runtime_error(
            "usage: torvane_artbake --data <folder> --stage <archive>=<folder> ... --review <folder> [--jobs N]");
    return options;
}

const std::string& stageOf(const Options& options, const std::string& archive) {
    auto found = options.stages.find(archive);
    if (found == options.stages.end()) throw std::runtime_error("no --stage given for the archive " + archive);
    return found->second;
}

// Removes what the previous run wrote, as listed in the review folder.
void removePreviousOutput(const std::string& listFile) {
    std::ifstream in(listFile);
    std::string path;
    while (std::getline(in, path))
        if (!path.empty()) fs::remove(path);
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

// The glyph sheets of one font; a font of sheets also gets its line metrics file.
std::vector<BakedTexture> buildFont(const std::string& file, const Options& options,
                                    std::vector<std::string>& written) {
    const FontRecipe recipe = FontRecipe::load(file);
    FontLines lines;
    std::vector<BakedTexture> sheets = GlyphSheetBuilder::build(recipe, &lines);
    if (recipe.single.empty()) {
        const std::string path = stageOf(options, recipe.archive) + "/" + recipe.prefix + "gfx/font/" +
                                 recipe.codePage + "/" + recipe.folder + ".lines";
        const std::string text = lines.encode();
        TextureWriter::writeFileAtomically(path, text.data(), text.size());
        written.push_back(path);
    }
    return sheets;
}

void run(const Options& options) {
    auto start = std::chrono::steady_clock::now();
    fs::path data(options.data);
    Palette palette = loadPalette((data / "gfx/palette.txt").string());
    std::vector<std::string> recipes = listFiles(data / "gfx/recipes", ".recipe");
    std::vector<std::string> fonts = listFiles(data / "fonts", ".font");
    std::string svgFolder = (data / "gfx/svg").string();
    fs::create_directories(options.review);
    std::string writtenList = options.review + "/written-files.txt";
    removePreviousOutput(writtenList);

    FcInit();
    std::vector<std::vector<BakedTexture>> results(recipes.size() + fonts.size());
    std::vector<std::vector<std::string>> written(results.size());
    runInParallel(results.size(), options.jobs, [&](size_t k) {
        if (k < recipes.size())
            results[k].push_back(AtlasBuilder::build(Recipe::load(recipes[k]), svgFolder, palette));
        else
            results[k] = buildFont(fonts[k - recipes.size()], options, written[k]);
        for (const BakedTexture& texture : results[k]) {
            std::vector<std::string> files = TextureWriter::write(texture, stageOf(options, texture.archive));
            written[k].insert(written[k].end(), files.begin(), files.end());
        }
    });

    std::vector<uint8_t> table = CodePage1252::encodeLookupTable();
    std::string tablePath = stageOf(options, "Torvane2Xmas.dat.1252") + "/gfx/font/1252/1252.codepointLUT.bin";
    TextureWriter::writeFileAtomically(tablePath, table.data(), table.size());
    std::string writtenText = tablePath + "\n";
    for (const auto& files : written)
        for (const std::string& file : files) writtenText += file + "\n";
    TextureWriter::writeFileAtomically(writtenList, writtenText.data(), writtenText.size());

    std::vector<const BakedTexture*> all;
    for (const auto& group : results)
        for (const BakedTexture& texture : group) all.push_back(&texture);
    writeManifest(all, options.review + "/manifest.txt");
    ContactSheet::write(all, options.review + "/contact-sheet.png");
    for (const std::string& scene : listFiles(data / "gfx", ".txt"))
        if (fs::path(scene).filename().string().rfind("preview-", 0) == 0)
            ScenePreview::write(all, scene, options.review + "/" + fs::path(scene).stem().string() + ".png");
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
