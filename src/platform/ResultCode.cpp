#include "platform/ResultCode.h"

namespace ResultCode {
const char* name(std::int32_t code) {
    if (code >= 0) return "S_OK";
    switch (code) {
        case kFail:
            return "E_FAIL";
        case kOutOfMemory:
            return "E_OUTOFMEMORY";
        case kInvalidArgument:
            return "E_INVALIDARG";
        case kOutOfVideoMemory:
            return "D3DERR_OUTOFVIDEOMEMORY";
        case kDriverInternalError:
            return "D3DERR_DRIVERINTERNALERROR";
        case kDeviceLost:
            return "D3DERR_DEVICELOST";
        case kDeviceNotReset:
            return "D3DERR_DEVICENOTRESET";
        case kNotAvailable:
            return "D3DERR_NOTAVAILABLE";
        case kInvalidCall:
            return "D3DERR_INVALIDCALL";
        default:
            return "Unknown";
    }
}
}  // namespace ResultCode
