#include "engine/MemoryIniFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/Strings.h"

namespace {
// Reads a leading decimal integer as "%d" would: white space, sign, digits. Values
// beyond the range of int are clamped instead of overflowing.
int scanInt(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

double scanDouble(std::u16string_view text) {
    std::string narrow = wideToUtf8(text);
    char* end = nullptr;
    double value = std::strtod(narrow.c_str(), &end);
    return end == narrow.c_str() ? 0.0 : value;
}

bool writeAll(int fd, const std::string& bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}
}  // namespace

MemoryIniFile::MemoryIniFile(std::u16string fileName_) : fileName(std::move(fileName_)) {
    std::ifstream file(wideToUtf8(fileName), std::ios::binary);
    if (!file) return;
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    parse(bytes);
}

MemoryIniFile::MemoryIniFile(const std::vector<std::uint8_t>& bytes) { parse(bytes); }

std::u16string MemoryIniFile::decodeText(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        return utf8ToWide(std::string_view(reinterpret_cast<const char*>(bytes.data()) + 3, bytes.size() - 3));
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        std::u16string text;
        text.reserve((bytes.size() - 2) / 2);
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
        return text;
    }
    return utf8ToWide(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void MemoryIniFile::parse(const std::vector<std::uint8_t>& bytes) {
    std::u16string current;
    const std::u16string text = decodeText(bytes);
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

int MemoryIniFile::getInt(std::u16string_view s, std::u16string_view key) { return scanInt(getString(s, key)); }

double MemoryIniFile::getDouble(std::u16string_view s, std::u16string_view key) {
    return scanDouble(getString(s, key));
}

bool MemoryIniFile::getBool(std::u16string_view s, std::u16string_view key) {
    const std::u16string value = getString(s, key);
    return !value.empty() && value[0] == u'Y';
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
    const std::string target = wideToUtf8(fileName);
    const std::string temporary = target + ".tmp";
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = fd >= 0 && writeAll(fd, bytes) && fsync(fd) == 0;
    if (fd >= 0) ok = close(fd) == 0 && ok;
    ok = ok && std::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        const int error = errno;
        unlink(temporary.c_str());
        QOR_LOG("MemoryIniFile::save", u"Could not save %s: %hs", fileName, std::strerror(error));
    }
    return ok;
}
