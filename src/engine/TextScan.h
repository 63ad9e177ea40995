#pragma once
// Reading numbers from the start of a text the way the C scanf conversions do ("%d",
// "%x", "%lf": leading white space, an optional sign, then as much of a number as
// there is), but without locale dependence and without undefined behaviour on
// overflow: integers out of range are clamped. Each returns no value when the text
// does not begin with a number.
#include <cstdint>
#include <optional>
#include <string_view>

// The value of one hexadecimal digit of either case, or -1.
int hexDigitValue(char16_t c);
std::optional<std::int32_t> scanInt(std::u16string_view text);
// Hexadecimal digits with an optional "0x"; a minus sign negates modulo 2^32.
std::optional<std::uint32_t> scanHex(std::u16string_view text);
std::optional<double> scanDouble(std::u16string_view text);
