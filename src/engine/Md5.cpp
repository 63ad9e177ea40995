#include "engine/Md5.h"

#include <cstring>

namespace {
constexpr std::uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

std::uint32_t rotateLeft(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

void transform(std::uint32_t state[4], const std::uint8_t block[64]) {
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = block[i * 4] | (block[i * 4 + 1] << 8) | (block[i * 4 + 2] << 16) |
               (static_cast<std::uint32_t>(block[i * 4 + 3]) << 24);
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        const int round = i / 16;
        std::uint32_t f;
        int g;
        switch (round) {
            case 0:
                f = (b & c) | (~b & d), g = i;
                break;
            case 1:
                f = (d & b) | (~d & c), g = (5 * i + 1) % 16;
                break;
            case 2:
                f = b ^ c ^ d, g = (3 * i + 5) % 16;
                break;
            default:
                f = c ^ (b | ~d), g = (7 * i) % 16;
                break;
        }
        const std::uint32_t rotated = rotateLeft(a + f + kSine[i] + x[g], kShift[round][i % 4]);
        a = d;
        d = c;
        c = b;
        b += rotated;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}
}  // namespace

void md5Init(Md5Context& context) {
    context.count[0] = context.count[1] = 0;
    context.state[0] = 0x67452301;
    context.state[1] = 0xefcdab89;
    context.state[2] = 0x98badcfe;
    context.state[3] = 0x10325476;
    std::memset(context.buffer, 0, sizeof context.buffer);
}

void md5Update(Md5Context& context, const void* bytes, int length) {
    if (length <= 0) return;
    const auto* input = static_cast<const std::uint8_t*>(bytes);
    const auto n = static_cast<std::uint32_t>(length);
    std::uint32_t used = (context.count[0] >> 3) & 63;
    const std::uint32_t low = context.count[0] + (n << 3);
    if (low < context.count[0]) ++context.count[1];
    context.count[0] = low;
    context.count[1] += n >> 29;
    std::uint32_t i = 0;
    if (used + n >= 64) {
        i = 64 - used;
        std::memcpy(context.buffer + used, input, i);
        transform(context.state, context.buffer);
        for (; i + 63 < n; i += 64) transform(context.state, input + i);
        used = 0;
    }
    std::memcpy(context.buffer + used, input + i, n - i);
}

void md5Final(std::uint8_t digest[16], Md5Context& context) {
    std::uint8_t bits[8];
    for (int i = 0; i < 8; ++i) bits[i] = static_cast<std::uint8_t>(context.count[i / 4] >> (8 * (i % 4)));
    static const std::uint8_t padding[64] = {0x80};
    const std::uint32_t used = (context.count[0] >> 3) & 63;
    md5Update(context, padding, static_cast<int>(used < 56 ? 56 - used : 120 - used));
    md5Update(context, bits, 8);
    for (int i = 0; i < 16; ++i) digest[i] = static_cast<std::uint8_t>(context.state[i / 4] >> (8 * (i % 4)));
    std::memset(&context, 0, sizeof context);
}

void md5Buffer(std::uint8_t digest[16], const void* bytes, int length) {
    Md5Context context;
    md5Init(context);
    md5Update(context, bytes, length);
    md5Final(digest, context);
}

void md5Keyed(std::uint8_t digest[16], std::uint32_t key, const void* bytes, int length) {
    const std::uint8_t keyBytes[4] = {static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(key >> 8),
                                      static_cast<std::uint8_t>(key >> 16), static_cast<std::uint8_t>(key >> 24)};
    Md5Context context;
    md5Init(context);
    md5Update(context, keyBytes, 4);
    md5Update(context, bytes, length);
    md5Final(digest, context);
}

bool md5Equal(const std::uint8_t a[16], const std::uint8_t b[16]) { return std::memcmp(a, b, 16) == 0; }
