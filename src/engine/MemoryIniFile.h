#pragma once
// An INI text in memory: sections of key/value pairs, all UTF-16, compared exactly.
//
// Two reading conventions:
//  - static settings: get*(section, key); a missing key is fatal;
//  - per-machine settings: get*(section, key, default); a missing key is first written
//    with its default, then read (so a first start fills the file with every default and
//    save() writes them out).
// Any operation that names a section creates it, empty, when it does not exist yet.
// Sections and keys are kept sorted, so the same settings always save as the same bytes.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class ByteBuffer;

class MemoryIniFile {
public:
    // Reads `fileName` through the file manager when it exists there; otherwise starts
    // empty, without error. Set the file manager's `bDiskOnly` around this for files
    // that never live in an archive.
    explicit MemoryIniFile(std::u16string fileName);
    // Parses bytes in memory; save() then has nowhere to write.
    explicit MemoryIniFile(const std::vector<std::uint8_t>& bytes);
    explicit MemoryIniFile(const ByteBuffer& bytes);
    virtual ~MemoryIniFile() = default;

    bool hasKey(std::u16string_view section, std::u16string_view key);
    // The number of named sections (keys before the first header are in an unnamed one,
    // which does not count). Sections that lookups created count too: ask first.
    int countSections() const;
    // A missing key is fatal.
    std::u16string getString(std::u16string_view section, std::u16string_view key);
    // A leading decimal integer, clamped to the range of int; 0 when there is none.
    int getInt(std::u16string_view section, std::u16string_view key);
    // A leading decimal number; 0.0 when there is none.
    double getDouble(std::u16string_view section, std::u16string_view key);
    bool getBool(std::u16string_view section, std::u16string_view key);  // value starts with "Y"
    // The same with a default: a missing key is first written with `fallback`.
    std::u16string getString(std::u16string_view section, std::u16string_view key, std::u16string_view fallback);
    int getInt(std::u16string_view section, std::u16string_view key, int fallback);
    double getDouble(std::u16string_view section, std::u16string_view key, double fallback);
    bool getBool(std::u16string_view section, std::u16string_view key, bool fallback);
    void setString(std::u16string_view section, std::u16string_view key, std::u16string_view value);
    void setInt(std::u16string_view section, std::u16string_view key, int value);
    void setDouble(std::u16string_view section, std::u16string_view key, double value);  // "%.8lf"
    void setBool(std::u16string_view section, std::u16string_view key, bool value);      // "Yes"/"No"

    // Writes the file atomically ("<name>.tmp", flushed to disk, renamed over the
    // file): a UTF-8 byte-order mark, then per section "[name]", its "key=value" lines
    // and an empty line, all ended by CR LF. A failure is logged and returns false.
    bool save();

    const std::u16string& getFileName() const { return fileName; }

    // Text to wide: UTF-8 after EF BB BF, UTF-16LE after FF FE, else UTF-8.
    static std::u16string decodeText(const std::uint8_t* bytes, std::size_t count);

private:
    using Section = std::map<std::u16string, std::u16string, std::less<>>;
    Section& section(std::u16string_view name);
    void parse(const std::uint8_t* bytes, std::size_t count);

    std::u16string fileName;
    std::map<std::u16string, Section, std::less<>> sections;
};
