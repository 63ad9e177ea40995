#pragma once
// Result codes of the platform layer's device calls: negative means failure. The values
// and names are those of the drawing API the engine was first written against, so that
// logs and error texts read the same on every platform.
#include <cstdint>

namespace ResultCode {
inline constexpr std::int32_t kOk = 0;
inline constexpr std::int32_t kFail = static_cast<std::int32_t>(0x80004005u);
inline constexpr std::int32_t kOutOfMemory = static_cast<std::int32_t>(0x8007000Eu);
inline constexpr std::int32_t kInvalidArgument = static_cast<std::int32_t>(0x80070057u);
inline constexpr std::int32_t kOutOfVideoMemory = static_cast<std::int32_t>(0x8876017Cu);
inline constexpr std::int32_t kDriverInternalError = static_cast<std::int32_t>(0x88760827u);
inline constexpr std::int32_t kDeviceLost = static_cast<std::int32_t>(0x88760868u);
inline constexpr std::int32_t kDeviceNotReset = static_cast<std::int32_t>(0x88760869u);
inline constexpr std::int32_t kNotAvailable = static_cast<std::int32_t>(0x8876086Au);
inline constexpr std::int32_t kInvalidCall = static_cast<std::int32_t>(0x8876086Cu);

// The symbolic name of a code, e.g. "D3DERR_DEVICELOST"; "S_OK" for any code that is not
// negative and "Unknown" for a failure without a name.
const char* name(std::int32_t code);
}  // namespace ResultCode
