#pragma once
// An INI text in memory: sections of key/value pairs, all UTF-16, compared exactly.
//
// Two reading conventions:
//  - static settings: get* directly; a missing key is fatal;
//  - per-machine settings: if !hasKey, set* the default, then get* (so a first start
//    fills the file with every default and save() writes them out).
// Any operation that names a section creates it, empty, when it does not exist yet.
// Sections and keys are kept sorted, so the same settings always save as the same bytes.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class MemoryIniFile {
public:
    // Reads `fileName` when it exists; otherwise starts empty, without error.
    explicit MemoryIniFile(std::u16string fileName);
    // Parses bytes in memory; save() then has nowhere to write.
    explicit MemoryIniFile(const std::vector<std::uint8_t>& bytes);
    virtual ~MemoryIniFile() = default;

    bool hasKey(std::u16string_view section, std::u16string_view key);
    std::u16string getString(std::u16string_view section, std::u16string_view key);
    int getInt(std::u16string_view section, std::u16string_view key);
    double getDouble(std::u16string_view section, std::u16string_view key);
    bool getBool(std::u16string_view section, std::u16string_view key);  // value starts with "Y"
    void setString(std::u16string_view section, std::u16string_view key, std::u16string_view value);
    void setInt(std::u16string_view section, std::u16string_view key, int value);
    void setDouble(std::u16string_view section, std::u16string_view key, double value);  // "%.8lf"
    void setBool(std::u16string_view section, std::u16string_view key, bool value);      // "Yes"/"No"

    // Writes the file atomically (a temporary file renamed over it); a failure is logged.
    bool save();

    const std::u16string& getFileName() const { return fileName; }

    // Text to wide: UTF-8 after EF BB BF, UTF-16LE after FF FE, else UTF-8.
    static std::u16string decodeText(const std::vector<std::uint8_t>& bytes);

private:
    using Section = std::map<std::u16string, std::u16string, std::less<>>;
    Section& section(std::u16string_view name);
    void parse(const std::vector<std::uint8_t>& bytes);

    std::u16string fileName;
    std::map<std::u16string, Section, std::less<>> sections;
};
