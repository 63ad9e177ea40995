// The user-data container. The input is tried as a whole file and, so that the fuzzer
// gets past the digest, as the payload of a container signed with the right key.
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/Md5.h"
#include "engine/PackedData.h"

namespace {
constexpr std::uint32_t kKey = 0x1234567u;
constexpr std::uint32_t kRecordSizes[] = {14696, 94248, 16};

void tryAll(const std::uint8_t* bytes, std::size_t size) {
    for (std::uint32_t expected : kRecordSizes) {
        PackedData packed;
        if (packed.unpack(bytes, static_cast<std::uint32_t>(size), kKey, expected) && packed.size != expected)
            __builtin_trap();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    tryAll(data, size);
    std::vector<std::uint8_t> signedFile(PackedData::kHeaderBytes + size);
    if (size) std::memcpy(signedFile.data() + PackedData::kHeaderBytes, data, size);
    md5Keyed(signedFile.data() + PackedData::kDigestOffset, kKey, data, static_cast<int>(size));
    tryAll(signedFile.data(), signedFile.size());
    return 0;
}
