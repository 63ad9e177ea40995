#pragma once
// printf-style formatting into UTF-16 strings.
//
// Every formatted text of the program goes through formatStringV. Arguments travel
// as typed FormatArg values rather than a C varargs list, so a format that does not
// match its arguments (a translated text with one "%d" too many, say) yields the
// failure text "<XXX>" instead of undefined behaviour.
//
// Conversions follow the wide printf of the original platform:
//   %s, %ls  a wide string (char16_t text or std::u16string); UTF-8 text is accepted too
//   %hs, %S  an 8-bit string, taken as UTF-8
//   %c       one UTF-16 code unit given as an integer
//   %d %i %u %x %X %o    integers; length prefixes h, l, ll, I64, z, j, t are accepted
//   %f %F %e %E %g %G %a %A  floating point; "l" and "L" are accepted
//   %p       a pointer, as eight or sixteen hexadecimal digits
//   %%       a percent sign
// Flags "-+ #0", width and precision (also "*", read from an integer argument).
// A result that would reach 65536 code units, an unknown conversion, a missing
// argument or an argument of the wrong kind gives "<XXX>".
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

class FormatArg {
public:
    enum class Kind : std::uint8_t { None, Signed, Unsigned, Real, Wide, Narrow, Pointer };

    FormatArg() = default;
    template <class T>
    requires(std::is_integral_v<T>&& std::is_signed_v<T>) FormatArg(T v) : kind(Kind::Signed), i(v) {}
    template <class T>
    requires(std::is_integral_v<T> && !std::is_signed_v<T>) FormatArg(T v) : kind(Kind::Unsigned), u(v) {}
    template <class T>
    requires std::is_enum_v<T> FormatArg(T v) : FormatArg(static_cast<std::underlying_type_t<T>>(v)) {}
    FormatArg(double v) : kind(Kind::Real), d(v) {}
    FormatArg(const char16_t* s) : kind(Kind::Wide), w(s ? s : u"(null)") {}
    FormatArg(const std::u16string& s) : kind(Kind::Wide), w(s.c_str()) {}
    FormatArg(const char* s) : kind(Kind::Narrow), n(s ? s : "(null)") {}
    FormatArg(const std::string& s) : kind(Kind::Narrow), n(s.c_str()) {}
    template <class T>
    requires(!std::is_same_v<std::remove_cv_t<T>, char> && !std::is_same_v<std::remove_cv_t<T>, char16_t>)
        FormatArg(T* p)
        : kind(Kind::Pointer), ptr(p) {}

    Kind kind = Kind::None;
    union {
        std::int64_t i = 0;
        std::uint64_t u;
        double d;
        const char16_t* w;
        const char* n;
        const void* ptr;
    };
};

// Longest result in code units; a text that needs more fails.
inline constexpr std::size_t kFormatLimit = 65535;

// The failure text.
inline constexpr std::u16string_view kFormatFailure = u"<XXX>";

// Formats `format` with `args`. Every "%ls" of the format is read as "%s".
std::u16string formatStringV(std::u16string_view format, std::span<const FormatArg> args);

template <class... A>
std::u16string formatString(std::u16string_view format, const A&... args) {
    const FormatArg list[] = {FormatArg(args)..., FormatArg()};
    return formatStringV(format, std::span<const FormatArg>(list, sizeof...(A)));
}

// formatString into an existing string, replacing its content.
template <class... A>
void formatStringTo(std::u16string& out, std::u16string_view format, const A&... args) {
    out = formatString(format, args...);
}
