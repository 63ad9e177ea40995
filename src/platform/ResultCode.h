#pragma once
// Result codes of the platform layer's device calls: negative means failure.
#include <cstdint>

namespace ResultCode {
inline constexpr std::int32_t kOk = 0;
inline constexpr std::int32_t kFail = static_cast<std::int32_t>(0x80004005u);
inline constexpr std::int32_t kOutOfMemory = static_cast<std::int32_t>(0x8007000Eu);
inline constexpr std::int32_t kInvalidArgument = static_cast<std::int32_t>(0x80070057u);
inline constexpr std::int32_t kDeviceLost = static_cast<std::int32_t>(0x88760868u);
inline constexpr std::int32_t kDeviceNotReset = static_cast<std::int32_t>(0x88760869u);
inline constexpr std::int32_t kNotAvailable = static_cast<std::int32_t>(0x8876086Au);
inline constexpr std::int32_t kInvalidCall = static_cast<std::int32_t>(0x8876086Cu);

// The symbolic name of a code, e.g. "DEVICE_LOST"; "UNKNOWN_ERROR" for any other.
const char* name(std::int32_t code);
}  // namespace ResultCode
