#pragma once
// An INI text in memory: sections of key/value pairs, all UTF-16, compared exactly.
//
// Two reading conventions:
//  - static settings: get*(section, key); a missing key is fatal;
//  - per-machine settings: get*(section, key, default); a missing key is first written
//    with its default, then read (so a first start fills the file with every default and
//    save() writes them out). Numbers may also give their range, get*(section, key,
//    default, min, max), which replaces a value that is no number, not finite or out of
//    its range by the default, so that a bad value is not saved back.
// Blanks around "=" and at the ends of a line are not part of the key or the value.
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
    // The per-machine settings file at `path`, read from disk as a player's file
    // (UserFileGuard): missing or unreadable, it starts empty; when it is not settings
    // text (not UTF-8 or UTF-16 with its byte-order mark, or holding control characters)
    // it is kept as "<path>.bak" and the settings start empty.
    struct PerMachine {};
    MemoryIniFile(std::u16string path, PerMachine);
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

    // Per-machine numbers: a missing key is written with `fallback`, then read; a value
    // that is not a number within [min, max] (finite, for doubles) is logged and
    // replaced by `fallback`.
    int getInt(std::u16string_view section, std::u16string_view key, int fallback, int min, int max);
    double getDouble(std::u16string_view section, std::u16string_view key, double fallback, double min, double max);

    // Writes the file atomically through UserFileGuard ("<name>.tmp", flushed to disk,
    // renamed over the file): a UTF-8 byte-order mark, then per section "[name]", its
    // "key=value" lines and an empty line, all ended by CR LF. A failure (or a file left
    // alone because it could not be read) is logged and returns false.
    bool save();

    const std::u16string& getFileName() const { return fileName; }

    // Text to wide: UTF-8 after EF BB BF, UTF-16LE after FF FE, UTF-16BE after FE FF,
    // else UTF-8.
    static std::u16string decodeText(const std::uint8_t* bytes, std::size_t count);
    // True when the bytes are text that decodeText reads as it stands (valid UTF-8, or
    // whole UTF-16 code units after their byte-order mark) without control characters
    // other than tab, CR and LF.
    static bool isSettingsText(const std::uint8_t* bytes, std::size_t count);
    // The largest per-machine settings file that is read; a longer one is damaged.
    static constexpr std::uint32_t kMaxUserFileBytes = 1u << 20;

private:
    using Section = std::map<std::u16string, std::u16string, std::less<>>;
    Section& section(std::u16string_view name);
    void parse(const std::uint8_t* bytes, std::size_t count);

    std::u16string fileName;
    std::map<std::u16string, Section, std::less<>> sections;
};
