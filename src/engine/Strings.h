#pragma once
// Text helpers shared by the whole program. All text is held as UTF-16 code units;
// 8-bit strings are UTF-8 (files, requests, and the method names of log lines).
#include <string>
#include <string_view>
#include <vector>

// In place: replaces every occurrence of `from` by `to`, searching on after the
// inserted text (which is never searched again). An empty `from` changes nothing.
void replaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to);

// In place: removes blanks, tabs, CR and LF first from the end, then from the start.
void trim(std::u16string& text);

// The part after the last "\" or "/"; the whole path when it holds neither.
std::u16string getFileName(std::u16string_view path);
std::string getFileName(std::string_view path);

// Splits at each LF; a CR right before an LF goes with it; empty lines between two LFs
// stay; the text after the last LF is a line only when it is not empty.
std::vector<std::u16string> splitString(std::u16string_view text);

// The characters up to the first NUL.
std::u16string copyWideString(std::u16string_view text);

// UTF-8 bytes to UTF-16. Sequences of one to four bytes are decoded (four-byte ones
// become a surrogate pair; a three-byte encoding of a lone surrogate half gives that
// unit, so wideToUtf8 output always converts back). A byte that starts no valid
// sequence, a continuation byte out of place or an overlong encoding gives U+FFFD;
// a sequence cut off by the end of the input gives one U+FFFD and ends the text.
std::u16string utf8ToWide(std::string_view bytes);

// Same as utf8ToWide, for a C string (null gives the empty text).
std::u16string makeWideString(const char* text);

// UTF-16 to UTF-8. A valid surrogate pair becomes one four-byte sequence; a lone
// surrogate half is encoded on its own as a three-byte sequence.
std::string wideToUtf8(std::u16string_view text);

// ASCII-only case folding, used for file-name comparisons.
std::u16string toLowerAscii(std::u16string_view text);
