#pragma once
// MD5 message digests as RFC 1321 defines them. All state is in the caller's context,
// so these may run on any thread.
#include <cstdint>

struct Md5Context {
    std::uint32_t count[2];   // message length in bits, modulo 2^64, low word first
    std::uint32_t state[4];   // A, B, C, D
    std::uint8_t buffer[64];  // the block being filled
};

void md5Init(Md5Context& context);
// Adds `length` bytes; a length of 0 or less adds nothing.
void md5Update(Md5Context& context, const void* bytes, int length);
// Pads, appends the bit count and writes the 16-byte digest.
void md5Final(std::uint8_t digest[16], Md5Context& context);

void md5Buffer(std::uint8_t digest[16], const void* bytes, int length);
// The digest of the key's 4 bytes, little-endian, followed by the bytes.
void md5Keyed(std::uint8_t digest[16], std::uint32_t key, const void* bytes, int length);
bool md5Equal(const std::uint8_t a[16], const std::uint8_t b[16]);
