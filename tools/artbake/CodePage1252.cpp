#include "CodePage1252.h"

namespace artbake {

namespace {

// Positions 0x80 to 0x9F; the rest of the table is the identity.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

char16_t CodePage1252::toUnicode(int position) {
    if (position >= 0x80 && position < 0xA0) return kHighControls[position - 0x80];
    return static_cast<char16_t>(position & 0xFF);
}

std::vector<uint8_t> CodePage1252::encodeLookupTable() {
    std::vector<uint8_t> out;
    auto put = [&out](uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>((value >> shift) & 0xFF));
    };
    put(0);
    put(kEntries);
    for (int i = 0; i < kEntries; ++i) put(toUnicode(i));
    return out;
}

}  // namespace artbake
