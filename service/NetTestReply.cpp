#include "NetTestReply.h"

#include <cstdint>

#include "engine/Md5.h"

namespace {
void appendU32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}
}  // namespace

std::string NetTestReply::build(const std::string& masterServer, const std::string& message) {
    std::string payload;
    if (!masterServer.empty()) payload += "masterServer=" + masterServer + "\r\n";
    payload += "message=" + message + "\r\n";
    std::uint8_t digest[16];
    md5Buffer(digest, payload.data(), static_cast<int>(payload.size()));
    std::string frame;
    appendU32(frame, kMagic);
    appendU32(frame, static_cast<std::uint32_t>(payload.size()));
    frame.append(reinterpret_cast<const char*>(digest), sizeof digest);
    return frame + payload;
}
