#pragma once
// The user-data container: the format of the profile and configuration files.
//
//   offset 0   32 bytes  the build name (FixedString32)
//   offset 32  16 bytes  the version (FixedString16)
//   offset 48  16 bytes  MD5 of the 4-byte key (little-endian) and every byte from 64 on
//   offset 64  u32       length of the record, little-endian
//   offset 68  ...       the record as a zlib stream
//
// The key is never stored: it is hashString(file name + version), so a container is
// valid only under the name it was written for. Name and version fields are written
// from the build's constants and not checked when read. An edited, truncated, foreign
// or renamed file fails to read and the caller keeps its defaults.
#include <cstdint>
#include <string>
#include <string_view>

class PackedData {
public:
    static constexpr std::uint32_t kHeaderBytes = 64;
    static constexpr std::uint32_t kDigestOffset = 48;

    PackedData() = default;
    PackedData(const PackedData&) = delete;
    PackedData& operator=(const PackedData&) = delete;
    virtual ~PackedData();

    // Builds the whole container of `size` record bytes; false for a null record or a
    // failed compression.
    bool pack(const void* record, std::uint32_t size, std::uint32_t key);
    // Checks and unpacks a container into the record bytes. False, before anything is
    // allocated, when the container is shorter than its header and length field, its
    // digest does not match, or its record length differs from `expectedSize`; false
    // too when its stream does not inflate to exactly that length.
    bool unpack(const void* container, std::uint32_t size, std::uint32_t key, std::uint32_t expectedSize);
    // Writes the held container atomically; a failure is logged.
    bool writeToFile(const std::u16string& path) const;
    // Reads and unpacks the file; false when it is missing or fails unpack().
    bool readFromFile(std::uint32_t key, const std::u16string& path, std::uint32_t expectedSize);

    void clear();

    std::uint8_t* pData = nullptr;  // the container, or the record after unpacking
    std::uint32_t size = 0;         // bytes in pData
};

// h = h * 33 + c over the UTF-16 code units, from 0, modulo 2^32.
std::uint32_t hashString(std::u16string_view text);

// Saves `size` record bytes as "<folder>/<fileName>" keyed by file name and version.
// Nothing for a size of 0. A failure is logged and returns false.
bool writePackedFile(const void* record, std::uint32_t size, const std::u16string& folder,
                     const std::u16string& fileName, const std::u16string& version);
// Replaces the record by the file's contents when the file holds a valid container of
// exactly `size` record bytes for that name and version; otherwise false and the
// record is untouched.
bool readPackedFile(void* record, std::uint32_t size, const std::u16string& folder, const std::u16string& fileName,
                    const std::u16string& version);
