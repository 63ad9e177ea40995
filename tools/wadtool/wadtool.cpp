// wadtool: the command-line face of the engine's archive writer and reader.
//
//   wadtool pack [--store | --zopfli] DIR ARCHIVE   every file under DIR, named by its path
//                                                   relative to DIR ("gfx/palm.tga")
//   wadtool list ARCHIVE                            one entry a line: name, size, stored size
//   wadtool extract ARCHIVE DIR                     every entry into DIR
//
// pack compresses with zlib where that saves at least 2% (--zopfli: smaller and much
// slower; --store: never). The same files always give the same archive. Exit status:
// 0 done, 1 failed, 2 wrong usage; a damaged archive ends with the engine's fatal
// message and status 255.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/DiskFile.h"
#include "engine/FileManager.h"
#include "engine/Qor.h"
#include "engine/Random.h"
#include "engine/Stream.h"
#include "engine/Strings.h"
#include "engine/WadDirectory.h"

namespace fs = std::filesystem;

namespace {
// The filler bytes of the directory come from the shared generator: a fixed seed makes
// the output repeatable.
constexpr std::uint32_t kFillerSeed = 1;

int usage() {
    std::fprintf(stderr,
                 "usage: wadtool pack [--store | --zopfli] DIR ARCHIVE\n"
                 "       wadtool list ARCHIVE\n"
                 "       wadtool extract ARCHIVE DIR\n");
    return 2;
}

// Why `name` cannot be an entry name, or null when it can.
const char* badEntryName(const std::string& name) {
    if (name.size() >= WadDirectory::kNameBytes) return "longer than 79 bytes";
    if (!name.empty() && (name[0] & 0x80)) return "begins with a non-ASCII character";
    return nullptr;
}

bool collectFiles(const fs::path& dir, const fs::path& output, std::vector<std::string>& names) {
    std::error_code error;
    for (fs::recursive_directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file() || fs::equivalent(it->path(), output, error)) continue;
        std::string name = it->path().lexically_relative(dir).generic_string();
        if (const char* why = badEntryName(name)) {
            std::fprintf(stderr, "wadtool: cannot pack '%s': its name is %s\n", name.c_str(), why);
            return false;
        }
        names.push_back(std::move(name));
    }
    if (error) std::fprintf(stderr, "wadtool: cannot read '%s': %s\n", dir.c_str(), error.message().c_str());
    std::sort(names.begin(), names.end());
    return !error;
}

int pack(FileManager::Compression compression, const fs::path& dir, const fs::path& archive) {
    const fs::path output = fs::absolute(archive);
    std::vector<std::string> names;
    if (!collectFiles(dir, output, names)) return 1;
    // Entries are opened by their relative names, as the game will ask for them.
    if (chdir(dir.c_str()) != 0) {
        std::perror("wadtool: chdir");
        return 1;
    }
    FileManager& files = qor->files();
    files.bCreateWad = 1;
    files.bUseWad = 0;
    const std::u16string archiveName = utf8ToWide(output.string());
    files.useWad(archiveName);
    for (const std::string& name : names) files.open(utf8ToWide(name));
    Random::seed(kFillerSeed);
    const bool ok = files.writeWad(archiveName, archiveName, compression);
    if (!ok) std::fprintf(stderr, "wadtool: could not write '%s'\n", output.c_str());
    return ok ? 0 : 1;
}

// The entries of the mounted archive at `path`, by name.
std::vector<const WadEntry*> mountedEntries(const std::u16string& path) {
    qor->files().useWad(path);
    std::vector<const WadEntry*> found;
    for (const auto& [name, entry] : qor->files().entries)
        if (entry.wadName == path && name != path) found.push_back(&entry);
    std::sort(found.begin(), found.end(),
              [](const WadEntry* a, const WadEntry* b) { return a->filename < b->filename; });
    return found;
}

int list(const fs::path& archive) {
    for (const WadEntry* e : mountedEntries(utf8ToWide(fs::absolute(archive).string())))
        std::printf("%s\t%u\t%u\n", wideToUtf8(e->filename).c_str(), e->size, e->storedSize);
    return 0;
}

// An archive is outside data: an entry may only name a place inside the target folder.
bool isSafeRelativePath(const std::string& name) {
    if (name.empty() || name.front() == '/' || name.find('\\') != std::string::npos) return false;
    for (const auto& part : fs::path(name))
        if (part == ".." || part == "." || part.empty()) return false;
    return name.back() != '/';
}

bool extractEntry(const WadEntry& entry, const fs::path& dir) {
    const std::string name = wideToUtf8(entry.filename);
    if (!isSafeRelativePath(name)) {
        std::fprintf(stderr, "wadtool: skipping unsafe entry name '%s'\n", name.c_str());
        return false;
    }
    std::uint32_t size = 0;
    std::unique_ptr<Stream> stream = qor->files().open(entry.filename, &size);
    std::vector<std::uint8_t> bytes(size);
    if (stream->read(bytes.data(), static_cast<int>(size)) != static_cast<int>(size)) {
        std::fprintf(stderr, "wadtool: could not read entry '%s'\n", name.c_str());
        return false;
    }
    const fs::path target = dir / name;
    std::error_code error;
    fs::create_directories(target.parent_path(), error);
    DiskFile out(utf8ToWide(target.string()), DiskFile::kWrite);
    if (error || !out.write(bytes.data(), bytes.size()) || !out.flushToDisk()) {
        std::fprintf(stderr, "wadtool: could not write '%s'\n", target.c_str());
        return false;
    }
    return true;
}

int extract(const fs::path& archive, const fs::path& dir) {
    bool ok = true;
    for (const WadEntry* e : mountedEntries(utf8ToWide(fs::absolute(archive).string())))
        ok = extractEntry(*e, dir) && ok;
    return ok ? 0 : 1;
}

int run(const std::vector<std::string>& args) {
    if (args.empty()) return usage();
    const std::string& command = args[0];
    if (command == "list" && args.size() == 2) return list(args[1]);
    if (command == "extract" && args.size() == 3) return extract(args[1], args[2]);
    if (command != "pack") return usage();
    auto compression = FileManager::Compression::kZlib;
    std::size_t i = 1;
    if (i < args.size() && args[i] == "--store")
        compression = FileManager::Compression::kStore, ++i;
    else if (i < args.size() && args[i] == "--zopfli")
        compression = FileManager::Compression::kZopfli, ++i;
    if (args.size() - i != 2) return usage();
    return pack(compression, args[i], args[i + 1]);
}
}  // namespace

int main(int argc, char** argv) {
    Qor engine{Qor::Headless{}};
    engine.pFileManager = new FileManager();
    const int status = run(std::vector<std::string>(argv + 1, argv + argc));
    return status;
}
