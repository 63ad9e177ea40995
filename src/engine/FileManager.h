#pragma once
// Files and archives. For now it reads loose files from disk only; the data archive
// comes with the file-and-data work.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ClassInfo;

class FileManager {
public:
    FileManager();
    virtual ClassInfo* getClass() const;
    virtual ~FileManager() = default;
    static ClassInfo classInfo;

    bool exists(std::u16string_view name) const;
    // A missing file is fatal.
    void verifyFile(std::u16string_view name) const;
    // The whole file; false when it cannot be read.
    bool readFile(std::u16string_view name, std::vector<std::uint8_t>& bytes) const;

    std::uint8_t bDiskOnly = 0;   // read from disk even in archive mode
    std::uint8_t bCreateWad = 0;  // archive-building mode
    std::uint8_t bUseWad = 0;     // archives mounted
};
