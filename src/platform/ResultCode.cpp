#include "platform/ResultCode.h"

namespace ResultCode {
const char* name(std::int32_t code) {
    switch (code) {
        case kOk: return "OK";
        case kFail: return "FAIL";
        case kOutOfMemory: return "OUT_OF_MEMORY";
        case kInvalidArgument: return "INVALID_ARGUMENT";
        case kDeviceLost: return "DEVICE_LOST";
        case kDeviceNotReset: return "DEVICE_NOT_RESET";
        case kNotAvailable: return "NOT_AVAILABLE";
        case kInvalidCall: return "INVALID_CALL";
        default: return code >= 0 ? "OK" : "UNKNOWN_ERROR";
    }
}
}  // namespace ResultCode
