#include "engine/MemoryIniFile.h"

#include <cmath>

#include "engine/ByteBuffer.h"
#include "engine/ErrorManager.h"
#include "engine/FileManager.h"
#include "engine/Logger.h"
#include "engine/MemoryFile.h"
#include "engine/Qor.h"
#include "engine/Strings.h"
#include "engine/TextScan.h"
#include "engine/UserFileGuard.h"

namespace {
bool hasUtf16Mark(const std::uint8_t* bytes, std::size_t count) {
    return count >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF));
}

bool isControlCharacter(char16_t c) { return (c < 0x20 && c != u'\t' && c != u'\r' && c != u'\n') || c == 0x7F; }
}  // namespace

MemoryIniFile::MemoryIniFile(std::u16string fileName_) : fileName(std::move(fileName_)) {
    FileManager* files = qor ? qor->pFileManager : nullptr;
    QOR_ASSERT("MemoryIniFile::MemoryIniFile", files != nullptr);
    if (!files->exists(fileName)) return;
    MemoryFile file(0, fileName);
    parse(file.block.pData, file.block.size);
}

MemoryIniFile::MemoryIniFile(std::u16string path, PerMachine) : fileName(std::move(path)) {
    std::vector<std::uint8_t> bytes;
    if (UserFileGuard::read(fileName, bytes, kMaxUserFileBytes) != UserFileGuard::ReadResult::kRead) return;
    if (bytes.size() <= kMaxUserFileBytes && isSettingsText(bytes.data(), bytes.size())) {
        parse(bytes.data(), bytes.size());
        return;
    }
    QOR_LOG("MemoryIniFile::MemoryIniFile", u"'%s' is not settings text; keeping it as '%s.bak'.", fileName,
            ::getFileName(fileName));
    UserFileGuard::keepBackup(fileName);
}

MemoryIniFile::MemoryIniFile(const std::vector<std::uint8_t>& bytes) { parse(bytes.data(), bytes.size()); }

MemoryIniFile::MemoryIniFile(const ByteBuffer& bytes) { parse(bytes.pData, bytes.size); }

std::u16string MemoryIniFile::decodeText(const std::uint8_t* bytes, std::size_t count) {
    if (count >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        return utf8ToWide(std::string_view(reinterpret_cast<const char*>(bytes) + 3, count - 3));
    if (hasUtf16Mark(bytes, count)) {
        const int low = bytes[0] == 0xFF ? 0 : 1;  // which byte of a unit is the low one
        std::u16string text;
        text.reserve((count - 2) / 2);
        // An odd last byte is half a code unit and is dropped.
        for (std::size_t i = 2; i + 1 < count; i += 2)
            text.push_back(static_cast<char16_t>(bytes[i + low] | (bytes[i + 1 - low] << 8)));
        return text;
    }
    return utf8ToWide(std::string_view(reinterpret_cast<const char*>(bytes), count));
}

bool MemoryIniFile::isSettingsText(const std::uint8_t* bytes, std::size_t count) {
    std::u16string text;
    if (hasUtf16Mark(bytes, count)) {
        if (count % 2 != 0) return false;
        text = decodeText(bytes, count);
    } else {
        // Valid UTF-8 is exactly what converts to UTF-16 and back unchanged.
        const std::size_t skip = count >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF ? 3 : 0;
        const std::string_view raw(reinterpret_cast<const char*>(bytes) + skip, count - skip);
        text = utf8ToWide(raw);
        if (wideToUtf8(text) != raw) return false;
    }
    for (char16_t c : text)
        if (isControlCharacter(c)) return false;
    return true;
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
            std::u16string key = line.substr(0, equals);
            std::u16string value = line.substr(equals + 1);
            trim(key);
            trim(value);
            section(current).try_emplace(std::move(key), std::move(value));
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

int MemoryIniFile::getInt(std::u16string_view s, std::u16string_view key, int fallback, int min, int max) {
    if (!hasKey(s, key)) setInt(s, key, fallback);
    const std::u16string text = getString(s, key);
    const std::optional<std::int32_t> value = scanInt(text);
    if (value && *value >= min && *value <= max) return *value;
    QOR_LOG("MemoryIniFile::getInt", u"[%s] %s=%s is not a number from %d to %d; using %d.", std::u16string(s),
            std::u16string(key), text, min, max, fallback);
    setInt(s, key, fallback);
    return fallback;
}

double MemoryIniFile::getDouble(std::u16string_view s, std::u16string_view key, double fallback, double min,
                                double max) {
    if (!hasKey(s, key)) setDouble(s, key, fallback);
    const std::u16string text = getString(s, key);
    const std::optional<double> value = scanDouble(text);
    if (value && std::isfinite(*value) && *value >= min && *value <= max) return *value;
    QOR_LOG("MemoryIniFile::getDouble", u"[%s] %s=%s is not a number from %g to %g; using %g.", std::u16string(s),
            std::u16string(key), text, min, max, fallback);
    setDouble(s, key, fallback);
    return fallback;
}

bool MemoryIniFile::save() {
    if (fileName.empty()) return false;
    std::string bytes = "\xEF\xBB\xBF";
    for (const auto& [name, keys] : sections) {
        bytes += wideToUtf8(u"[" + name + u"]") + "\r\n";
        for (const auto& [key, value] : keys) bytes += wideToUtf8(key + u"=" + value) + "\r\n";
        bytes += "\r\n";
    }
    return UserFileGuard::save(fileName, bytes.data(), bytes.size());
}
