#include "engine/MemoryIniFile.h"

#include "engine/ByteBuffer.h"
#include "engine/DiskFile.h"
#include "engine/ErrorManager.h"
#include "engine/FileManager.h"
#include "engine/MemoryFile.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "engine/TextScan.h"

MemoryIniFile::MemoryIniFile(std::u16string fileName_) : fileName(std::move(fileName_)) {
    FileManager* files = qor ? qor->pFileManager : nullptr;
    QOR_ASSERT("MemoryIniFile::MemoryIniFile", files != nullptr);
    if (!files->exists(fileName)) return;
    MemoryFile file(0, fileName);
    parse(file.block.pData, file.block.size);
}

MemoryIniFile::MemoryIniFile(const std::vector<std::uint8_t>& bytes) { parse(bytes.data(), bytes.size()); }

MemoryIniFile::MemoryIniFile(const ByteBuffer& bytes) { parse(bytes.pData, bytes.size); }

std::u16string MemoryIniFile::decodeText(const std::uint8_t* bytes, std::size_t count) {
    if (count >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        return utf8ToWide(std::string_view(reinterpret_cast<const char*>(bytes) + 3, count - 3));
    if (count >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        std::u16string text;
        text.reserve((count - 2) / 2);
        // An odd last byte is half a code unit and is dropped.
        for (std::size_t i = 2; i + 1 < count; i += 2)
            text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
        return text;
    }
    return utf8ToWide(std::string_view(reinterpret_cast<const char*>(bytes), count));
}

void MemoryIniFile::parse(const std::uint8_t* bytes, std::size_t count) {
    std::u16string current;
    const std::u16string text = count ? decodeText(bytes, count) : std::u16string();
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos) end = text.size();
        std::u16string line = text.substr(start, end - start);
        start = end + 1;
        trim(line);
        if (line.empty()) continue;
        const std::size_t equals = line.find(u'=');
        if (equals == std::u16string::npos) {
            // A header: the line without its first and last character; the brackets
            // themselves are not checked.
            current = line.size() >= 2 ? line.substr(1, line.size() - 2) : std::u16string();
            section(current);
        } else {
            section(current).try_emplace(line.substr(0, equals), line.substr(equals + 1));
        }
    }
}

MemoryIniFile::Section& MemoryIniFile::section(std::u16string_view name) {
    auto it = sections.find(name);
    if (it == sections.end()) it = sections.emplace(std::u16string(name), Section()).first;
    return it->second;
}

int MemoryIniFile::countSections() const {
    return static_cast<int>(sections.size()) - (sections.count(std::u16string_view()) ? 1 : 0);
}

bool MemoryIniFile::hasKey(std::u16string_view sectionName, std::u16string_view key) {
    const Section& s = section(sectionName);
    return s.find(key) != s.end();
}

std::u16string MemoryIniFile::getString(std::u16string_view sectionName, std::u16string_view key) {
    const Section& s = section(sectionName);
    auto it = s.find(key);
    if (it == s.end())
        QOR_FATAL("MemoryIniFile::getString", u"Key '%s' could not be found in section '%s'.", std::u16string(key),
                  std::u16string(sectionName));
    return it->second;
}

int MemoryIniFile::getInt(std::u16string_view s, std::u16string_view key) {
    return scanInt(getString(s, key)).value_or(0);
}

double MemoryIniFile::getDouble(std::u16string_view s, std::u16string_view key) {
    return scanDouble(getString(s, key)).value_or(0.0);
}

bool MemoryIniFile::getBool(std::u16string_view s, std::u16string_view key) {
    const std::u16string value = getString(s, key);
    return !value.empty() && value[0] == u'Y';
}

std::u16string MemoryIniFile::getString(std::u16string_view s, std::u16string_view key, std::u16string_view fallback) {
    if (!hasKey(s, key)) setString(s, key, fallback);
    return getString(s, key);
}

int MemoryIniFile::getInt(std::u16string_view s, std::u16string_view key, int fallback) {
    if (!hasKey(s, key)) setInt(s, key, fallback);
    return getInt(s, key);
}

double MemoryIniFile::getDouble(std::u16string_view s, std::u16string_view key, double fallback) {
    if (!hasKey(s, key)) setDouble(s, key, fallback);
    return getDouble(s, key);
}

bool MemoryIniFile::getBool(std::u16string_view s, std::u16string_view key, bool fallback) {
    if (!hasKey(s, key)) setBool(s, key, fallback);
    return getBool(s, key);
}

void MemoryIniFile::setString(std::u16string_view s, std::u16string_view key, std::u16string_view value) {
    section(s).insert_or_assign(std::u16string(key), std::u16string(value));
}

void MemoryIniFile::setInt(std::u16string_view s, std::u16string_view key, int value) {
    setString(s, key, formatString(u"%d", value));
}

void MemoryIniFile::setDouble(std::u16string_view s, std::u16string_view key, double value) {
    setString(s, key, formatString(u"%.8lf", value));
}

void MemoryIniFile::setBool(std::u16string_view s, std::u16string_view key, bool value) {
    setString(s, key, value ? u"Yes" : u"No");
}

bool MemoryIniFile::save() {
    if (fileName.empty()) return false;
    std::string bytes = "\xEF\xBB\xBF";
    for (const auto& [name, keys] : sections) {
        bytes += wideToUtf8(u"[" + name + u"]") + "\r\n";
        for (const auto& [key, value] : keys) bytes += wideToUtf8(key + u"=" + value) + "\r\n";
        bytes += "\r\n";
    }
    return DiskFile::saveAtomically(fileName, bytes.data(), bytes.size());
}
