#pragma once
// Pixel formats of display modes, back buffers and textures, numbered as the drawing API
// the engine was first written against numbers them (the numbers reach the logs and the
// settings of older installations). The device itself draws in 32-bit colour whatever
// format a mode reports.
#include <cstdint>

namespace PixelFormat {
constexpr std::uint32_t fourCC(char a, char b, char c, char d) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d)) << 24;
}

inline constexpr std::uint32_t kUnknown = 0;
inline constexpr std::uint32_t kR8G8B8 = 20;
inline constexpr std::uint32_t kA8R8G8B8 = 21;
inline constexpr std::uint32_t kX8R8G8B8 = 22;
inline constexpr std::uint32_t kR5G6B5 = 23;
inline constexpr std::uint32_t kX1R5G5B5 = 24;
inline constexpr std::uint32_t kA1R5G5B5 = 25;
inline constexpr std::uint32_t kA4R4G4B4 = 26;
inline constexpr std::uint32_t kR3G3B2 = 27;
inline constexpr std::uint32_t kA8 = 28;
inline constexpr std::uint32_t kA8R3G3B2 = 29;
inline constexpr std::uint32_t kX4R4G4B4 = 30;
inline constexpr std::uint32_t kA2B10G10R10 = 31;
inline constexpr std::uint32_t kG16R16 = 34;
inline constexpr std::uint32_t kA8P8 = 40;
inline constexpr std::uint32_t kP8 = 41;
inline constexpr std::uint32_t kL8 = 50;
inline constexpr std::uint32_t kA8L8 = 51;
inline constexpr std::uint32_t kA4L4 = 52;
inline constexpr std::uint32_t kV8U8 = 60;
inline constexpr std::uint32_t kL6V5U5 = 61;
inline constexpr std::uint32_t kX8L8V8U8 = 62;
inline constexpr std::uint32_t kQ8W8V8U8 = 63;
inline constexpr std::uint32_t kV16U16 = 64;
inline constexpr std::uint32_t kA2W10V10U10 = 67;
inline constexpr std::uint32_t kUYVY = fourCC('U', 'Y', 'V', 'Y');
inline constexpr std::uint32_t kYUY2 = fourCC('Y', 'U', 'Y', '2');
inline constexpr std::uint32_t kDXT1 = fourCC('D', 'X', 'T', '1');
inline constexpr std::uint32_t kDXT2 = fourCC('D', 'X', 'T', '2');
inline constexpr std::uint32_t kDXT3 = fourCC('D', 'X', 'T', '3');
inline constexpr std::uint32_t kDXT4 = fourCC('D', 'X', 'T', '4');
inline constexpr std::uint32_t kDXT5 = fourCC('D', 'X', 'T', '5');
inline constexpr std::uint32_t kD16Lockable = 70;
inline constexpr std::uint32_t kD32 = 71;
inline constexpr std::uint32_t kD15S1 = 73;
inline constexpr std::uint32_t kD24S8 = 75;
inline constexpr std::uint32_t kD24X8 = 77;
inline constexpr std::uint32_t kD24X4S4 = 79;
inline constexpr std::uint32_t kD16 = 80;
inline constexpr std::uint32_t kVertexData = 100;
inline constexpr std::uint32_t kIndex16 = 101;
inline constexpr std::uint32_t kIndex32 = 102;
}  // namespace PixelFormat
