#include "engine/Format.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <utility>

#include "engine/Strings.h"

namespace {

// Numbers read from the format or from a "*" argument are held at most at this value:
// anything this large already overflows kFormatLimit, and capping keeps the arithmetic
// and the values handed to snprintf small.
constexpr std::int64_t kNumberCap = 1'000'000;

// The exact decimal expansion of any double has fewer significant digits than this, so
// a larger precision for %g without "#" only asks for zeros that %g then removes.
constexpr std::int64_t kMaxUsefulGeneralPrecision = 1100;

// The length prefix of a conversion.
enum class Length : std::uint8_t {
    None,
    Char,        // hh
    Short,       // h
    Long,        // l
    LongLong,    // ll
    Int32,       // I32
    Int64,       // I64
    Size,        // z
    Max,         // j
    Diff,        // t
    LongDouble,  // L
};

struct Spec {
    bool left = false;
    bool plus = false;
    bool space = false;
    bool alternate = false;
    bool zero = false;
    std::int64_t width = 0;       // 0: no minimum
    std::int64_t precision = -1;  // negative: none
    Length length = Length::None;
    char conversion = 0;  // the conversion letter, always ASCII
};

bool isIntegerConversion(char c) { return c == 'd' || c == 'i' || c == 'u' || c == 'x' || c == 'X' || c == 'o'; }

bool isRealConversion(char c) {
    return c == 'f' || c == 'F' || c == 'e' || c == 'E' || c == 'g' || c == 'G' || c == 'a' || c == 'A';
}

// Whether the length prefix goes with the conversion (for instance "hh" only with integers).
bool lengthFits(Length length, char conversion) {
    if (length == Length::None) return true;
    if (isIntegerConversion(conversion)) return length != Length::LongDouble;
    if (isRealConversion(conversion)) return length == Length::Long || length == Length::LongDouble;
    if (conversion == 's' || conversion == 'S' || conversion == 'c')
        return length == Length::Short || length == Length::Long;
    return false;
}

// Bits of the C type the length prefix names. "l" is 32 bits: format strings are shared
// with platforms where long is 32 bits, so "%lu" must read like "%u" everywhere.
int integerBits(Length length) {
    switch (length) {
        case Length::Char:
            return 8;
        case Length::Short:
            return 16;
        case Length::LongLong:
        case Length::Int64:
        case Length::Size:
        case Length::Max:
        case Length::Diff:
            return 64;
        default:
            return 32;
    }
}

long long toSigned(std::uint64_t bits, int width) {
    switch (width) {
        case 8:
            return static_cast<std::int8_t>(bits);
        case 16:
            return static_cast<std::int16_t>(bits);
        case 32:
            return static_cast<std::int32_t>(bits);
        default:
            return static_cast<std::int64_t>(bits);
    }
}

unsigned long long toUnsigned(std::uint64_t bits, int width) {
    return width == 64 ? bits : bits & ((std::uint64_t{1} << width) - 1);
}

bool isInteger(const FormatArg& arg) {
    return arg.kind == FormatArg::Kind::Signed || arg.kind == FormatArg::Kind::Unsigned;
}

std::uint64_t integerBitsOf(const FormatArg& arg) {
    return arg.kind == FormatArg::Kind::Signed ? static_cast<std::uint64_t>(arg.i) : arg.u;
}

// An integer argument as a signed count, held within ±kNumberCap.
std::int64_t cappedCount(const FormatArg& arg) {
    if (arg.kind == FormatArg::Kind::Unsigned)
        return static_cast<std::int64_t>(std::min<std::uint64_t>(arg.u, kNumberCap));
    return std::clamp<std::int64_t>(arg.i, -kNumberCap, kNumberCap);
}

std::size_t boundedLength(const char16_t* text, std::size_t limit) {
    std::size_t n = 0;
    while (n < limit && text[n] != u'\0') ++n;
    return n;
}

struct Utf8Step {
    std::size_t bytes;  // bytes of one sequence, or of its broken start
    std::size_t units;  // UTF-16 units utf8ToWide makes of them
};

// Delimits the UTF-8 sequence at `text` exactly as utf8ToWide does, reading no byte past
// the one that completes or breaks it (a NUL breaks every sequence).
Utf8Step utf8Step(const char* text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 1;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    }
    for (std::size_t used = 1; used < length; ++used) {
        const auto b = static_cast<unsigned char>(text[used]);
        const bool inRange = used == 1 ? (b >= low && b <= high) : (b & 0xC0) == 0x80;
        if (!inRange) return {used, 1};
    }
    return {length, length == 4 ? 2u : 1u};
}

// How many bytes of the C string `text` make its first `units` UTF-16 units (one more
// when a surrogate pair straddles the end). Like a precision in printf, it lets the text
// be an array without a terminator, as long as it holds that many units.
std::size_t utf8BytesForUnits(const char* text, std::size_t units) {
    std::size_t bytes = 0;
    for (std::size_t made = 0; made < units && text[bytes] != '\0';) {
        const Utf8Step step = utf8Step(text + bytes);
        bytes += step.bytes;
        made += step.units;
    }
    return bytes;
}

// Builds the result of one formatStringV call. Every step returns false on failure; the
// output never grows past kFormatLimit, so a huge width or argument fails before it is
// produced.
class Formatter {
public:
    Formatter(std::u16string_view format, std::span<const FormatArg> args) : format_(format), args_(args) {
        out_.reserve(format.size() + 32);
    }

    bool run() {
        while (pos_ < format_.size()) {
            if (!copyLiteral() || !convertNext()) return false;
        }
        return true;
    }

    std::u16string take() { return std::move(out_); }

private:
    bool fits(std::size_t extra) const { return extra <= kFormatLimit - out_.size(); }

    bool append(std::u16string_view text) {
        if (!fits(text.size())) return false;
        out_.append(text);
        return true;
    }

    bool appendAscii(const char* text, std::size_t n) {
        if (!fits(n)) return false;
        out_.append(text, text + n);
        return true;
    }

    bool appendPadded(std::u16string_view text, const Spec& spec);
    bool copyLiteral();
    bool convertNext();
    bool parseSpec(Spec& spec);
    void parseFlags(Spec& spec);
    bool parseCount(std::int64_t& count);
    void parseLength(Spec& spec);
    const FormatArg* nextArg();
    bool dispatch(const Spec& spec);
    bool emitString(const Spec& spec, const FormatArg& arg);
    bool emitCharacter(const Spec& spec, const FormatArg& arg);
    bool emitInteger(const Spec& spec, const FormatArg& arg);
    bool emitReal(Spec spec, const FormatArg& arg);
    bool emitPointer(const Spec& spec, const FormatArg& arg);
    template <class Value>
    bool emitPrintf(const Spec& spec, const char* length, Value value);

    char16_t peek() const { return pos_ < format_.size() ? format_[pos_] : u'\0'; }

    std::u16string_view format_;
    std::span<const FormatArg> args_;
    std::size_t pos_ = 0;
    std::size_t nextArg_ = 0;
    std::u16string out_;
};

bool Formatter::copyLiteral() {
    const std::size_t percent = std::min(format_.find(u'%', pos_), format_.size());
    const bool ok = append(format_.substr(pos_, percent - pos_));
    pos_ = percent;
    return ok;
}

bool Formatter::convertNext() {
    if (pos_ >= format_.size()) return true;
    ++pos_;  // the '%'
    Spec spec;
    return parseSpec(spec) && dispatch(spec);
}

bool Formatter::parseSpec(Spec& spec) {
    parseFlags(spec);
    if (!parseCount(spec.width)) return false;
    if (spec.width < 0) {
        spec.left = true;
        spec.width = -spec.width;
    }
    if (peek() == u'.') {
        ++pos_;
        spec.precision = 0;
        if (!parseCount(spec.precision)) return false;
        if (spec.precision < 0) spec.precision = -1;
    }
    parseLength(spec);
    const char16_t c = peek();
    if (c == u'\0' || c > 0x7F) return false;  // also ends a format cut off after '%'
    spec.conversion = static_cast<char>(c);
    ++pos_;
    return lengthFits(spec.length, spec.conversion);
}

void Formatter::parseFlags(Spec& spec) {
    for (;; ++pos_) {
        switch (peek()) {
            case u'-':
                spec.left = true;
                break;
            case u'+':
                spec.plus = true;
                break;
            case u' ':
                spec.space = true;
                break;
            case u'#':
                spec.alternate = true;
                break;
            case u'0':
                spec.zero = true;
                break;
            default:
                return;
        }
    }
}

// Reads digits or "*" (an integer argument) into `count`; leaves it as it was when
// neither is there.
bool Formatter::parseCount(std::int64_t& count) {
    if (peek() == u'*') {
        ++pos_;
        const FormatArg* arg = nextArg();
        if (!arg || !isInteger(*arg)) return false;
        count = cappedCount(*arg);
        return true;
    }
    if (peek() < u'0' || peek() > u'9') return true;
    count = 0;
    for (char16_t c = peek(); c >= u'0' && c <= u'9'; c = peek()) {
        count = std::min(count * 10 + (c - u'0'), kNumberCap);
        ++pos_;
    }
    return true;
}

void Formatter::parseLength(Spec& spec) {
    const std::u16string_view rest = format_.substr(pos_);
    struct Prefix {
        std::u16string_view text;
        Length length;
    };
    // Longer prefixes first, so "hh" is not read as "h".
    static constexpr Prefix prefixes[] = {
        {u"hh", Length::Char},   {u"h", Length::Short},      {u"ll", Length::LongLong}, {u"l", Length::Long},
        {u"I64", Length::Int64}, {u"I32", Length::Int32},    {u"z", Length::Size},      {u"j", Length::Max},
        {u"t", Length::Diff},    {u"L", Length::LongDouble},
    };
    for (const Prefix& prefix : prefixes) {
        if (rest.starts_with(prefix.text)) {
            spec.length = prefix.length;
            pos_ += prefix.text.size();
            return;
        }
    }
}

const FormatArg* Formatter::nextArg() {
    if (nextArg_ >= args_.size()) return nullptr;
    const FormatArg* arg = &args_[nextArg_++];
    return arg->kind == FormatArg::Kind::None ? nullptr : arg;
}

bool Formatter::dispatch(const Spec& spec) {
    if (spec.conversion == '%') return append(u"%");
    // Any conversion yields at least `width` units; refuse before producing them.
    if (!fits(static_cast<std::size_t>(spec.width))) return false;
    const FormatArg* arg = nextArg();
    if (!arg) return false;
    const char c = spec.conversion;
    if (c == 's' || c == 'S') return emitString(spec, *arg);
    if (c == 'c') return emitCharacter(spec, *arg);
    if (isIntegerConversion(c)) return emitInteger(spec, *arg);
    if (isRealConversion(c)) return emitReal(spec, *arg);
    if (c == 'p') return emitPointer(spec, *arg);
    return false;
}

bool Formatter::appendPadded(std::u16string_view text, const Spec& spec) {
    const std::size_t width = static_cast<std::size_t>(spec.width);
    const std::size_t blanks = width > text.size() ? width - text.size() : 0;
    if (!fits(text.size() + blanks)) return false;
    if (!spec.left) out_.append(blanks, u' ');
    out_.append(text);
    if (spec.left) out_.append(blanks, u' ');
    return true;
}

// Wide and 8-bit strings serve every string conversion: arguments are typed, so the
// conversion letter need not say which kind it gets. A precision counts UTF-16 units
// and bounds what is read, as for a C array without a terminator.
bool Formatter::emitString(const Spec& spec, const FormatArg& arg) {
    const std::size_t limit =
        spec.precision >= 0 ? static_cast<std::size_t>(spec.precision) : std::numeric_limits<std::size_t>::max();
    if (arg.kind == FormatArg::Kind::Wide)
        return appendPadded(std::u16string_view(arg.w, boundedLength(arg.w, limit)), spec);
    if (arg.kind != FormatArg::Kind::Narrow) return false;
    const std::size_t bytes =
        spec.precision >= 0 ? utf8BytesForUnits(arg.n, limit) : std::char_traits<char>::length(arg.n);
    const std::u16string wide = utf8ToWide(std::string_view(arg.n, bytes));
    return appendPadded(std::u16string_view(wide).substr(0, limit), spec);
}

bool Formatter::emitCharacter(const Spec& spec, const FormatArg& arg) {
    if (!isInteger(arg)) return false;
    const char16_t unit = static_cast<char16_t>(integerBitsOf(arg));
    return appendPadded(std::u16string_view(&unit, 1), spec);
}

bool Formatter::emitInteger(const Spec& spec, const FormatArg& arg) {
    if (!isInteger(arg)) return false;
    // A precision asks for at least that many digits.
    if (!fits(static_cast<std::size_t>(std::max<std::int64_t>(spec.precision, 0)))) return false;
    const std::uint64_t bits = integerBitsOf(arg);
    const int width = integerBits(spec.length);
    if (spec.conversion == 'd' || spec.conversion == 'i') return emitPrintf(spec, "ll", toSigned(bits, width));
    return emitPrintf(spec, "ll", toUnsigned(bits, width));
}

bool Formatter::emitReal(Spec spec, const FormatArg& arg) {
    double value = 0;
    switch (arg.kind) {
        case FormatArg::Kind::Real:
            value = arg.d;
            break;
        case FormatArg::Kind::Signed:
            value = static_cast<double>(arg.i);
            break;
        case FormatArg::Kind::Unsigned:
            value = static_cast<double>(arg.u);
            break;
        default:
            return false;
    }
    const bool general = spec.conversion == 'g' || spec.conversion == 'G';
    if (general && !spec.alternate)
        spec.precision = std::min(spec.precision, kMaxUsefulGeneralPrecision);
    else if (!fits(static_cast<std::size_t>(std::max<std::int64_t>(spec.precision, 0))))
        return false;
    return emitPrintf(spec, "", value);
}

bool Formatter::emitPointer(const Spec& spec, const FormatArg& arg) {
    std::uint64_t value = 0;
    switch (arg.kind) {
        case FormatArg::Kind::Pointer:
            value = reinterpret_cast<std::uintptr_t>(arg.ptr);
            break;
        case FormatArg::Kind::Wide:
            value = reinterpret_cast<std::uintptr_t>(arg.w);
            break;
        case FormatArg::Kind::Narrow:
            value = reinterpret_cast<std::uintptr_t>(arg.n);
            break;
        case FormatArg::Kind::Signed:
        case FormatArg::Kind::Unsigned:
            value = integerBitsOf(arg);
            break;
        default:
            return false;
    }
    Spec hex;
    hex.left = spec.left;
    hex.width = spec.width;
    hex.precision = static_cast<std::int64_t>(sizeof(void*) * 2);  // all digits, leading zeros too
    hex.conversion = 'X';
    return emitPrintf(hex, "ll", static_cast<unsigned long long>(value));
}

// Hands one conversion to snprintf with its flags, width and precision, and widens the
// ASCII result. Callers have bounded width and precision, so the text is small; it
// goes through a stack buffer unless it is longer than that.
template <class Value>
bool Formatter::emitPrintf(const Spec& spec, const char* length, Value value) {
    char pattern[16];
    char* p = pattern;
    *p++ = '%';
    if (spec.left) *p++ = '-';
    if (spec.plus) *p++ = '+';
    if (spec.space) *p++ = ' ';
    if (spec.alternate) *p++ = '#';
    if (spec.zero) *p++ = '0';
    *p++ = '*';
    *p++ = '.';
    *p++ = '*';
    while (*length) *p++ = *length++;
    *p++ = spec.conversion;
    *p = '\0';
    const int width = static_cast<int>(spec.width);
    const int precision = static_cast<int>(spec.precision);
    char buffer[512];
    const int n = std::snprintf(buffer, sizeof buffer, pattern, width, precision, value);
    if (n < 0) return false;
    const auto size = static_cast<std::size_t>(n);
    if (size < sizeof buffer) return appendAscii(buffer, size);
    if (!fits(size)) return false;
    std::string large(size + 1, '\0');
    std::snprintf(large.data(), large.size(), pattern, width, precision, value);
    return appendAscii(large.data(), size);
}

}  // namespace

std::u16string formatStringV(std::u16string_view format, std::span<const FormatArg> args) {
    // "%ls" is read as "%s" because "l" is a length prefix that string conversions
    // accept; parsing it in place (rather than rewriting the format) keeps "%%ls" the
    // literal text "%ls".
    Formatter formatter(format, args);
    if (!formatter.run()) return std::u16string(kFormatFailure);
    return formatter.take();
}
