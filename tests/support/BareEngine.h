#pragma once
// Test support: a bare engine object with a file manager and a resource registry, and
// a private temporary folder that is the working directory while the test runs.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/FileManager.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "engine/Strings.h"

class BareEngine {
public:
    // Disk mode unless `useWad`; archives are mounted by the test.
    explicit BareEngine(bool useWad = false) : engine(Qor::Headless{}) {
        engine.pFileManager = new FileManager(0, useWad ? 1 : 0);
        engine.pResourceManager = new ResourceManager();
        std::string pattern = (std::filesystem::temp_directory_path() / "torvane-test-XXXXXX").string();
        folder = mkdtemp(pattern.data());
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder);
    }
    ~BareEngine() {
        // An archive-building file manager reads its files once more as it goes.
        delete engine.pFileManager;
        engine.pFileManager = nullptr;
        std::filesystem::current_path(previous);
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }

    // Replaces the file manager, as the engine would have built it with these flags.
    FileManager& useFileManager(std::uint8_t createWad, std::uint8_t useWad) {
        delete engine.pFileManager;
        engine.pFileManager = new FileManager(createWad, useWad);
        return *engine.pFileManager;
    }

    Qor engine;
    std::filesystem::path folder;
    std::filesystem::path previous;
};

inline void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

inline void writeText(const std::filesystem::path& path, const std::string& text) {
    writeBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

inline std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
    std::vector<std::uint8_t> bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<std::uint8_t>(c));
        std::fclose(f);
    }
    return bytes;
}
