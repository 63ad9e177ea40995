#include "net/Packet.h"

#include <bit>
#include <cstring>

#include "engine/ClassInfo.h"
#include "engine/ClassRegistry.h"
#include "engine/ErrorManager.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "engine/Strings.h"
#include "net/NetRole.h"
#include "net/QorNetwork.h"

namespace {
constexpr std::uint8_t kStringKey = 0x2B;
constexpr int kMaxVarIntBytes = 5;
}  // namespace

Packet::Packet(std::uint32_t flags_, int capacity) {
    flags = flags_;
    buffer.reserve(static_cast<std::size_t>(capacity < 0 ? kDefaultCapacity : capacity));
}

Packet::Packet(std::uint32_t flags_, const std::uint8_t* bytes, std::size_t size) : buffer(bytes, bytes + size) {
    flags = flags_;
    bWriting = 0;
}

void Packet::startReading() {
    bWriting = 0;
    cursor = 0;
    bitByte = 0;
    bitMask = 0;
    bBad = 0;
}

bool Packet::takeByte(std::uint8_t& b) {
    if (bBad || cursor >= buffer.size()) {
        bBad = 1;
        b = 0;
        return false;
    }
    b = buffer[cursor++];
    return true;
}

// The bit byte stays where it was taken; values moved between two bits follow it.
std::uint8_t* Packet::nextBitByte() {
    bitMask = static_cast<std::uint8_t>(bitMask << 1);
    if (bitMask == 0) {
        if (bWriting) {
            bitByte = buffer.size();
            putByte(0);
        } else {
            std::uint8_t unused;
            if (!takeByte(unused)) return nullptr;
            bitByte = cursor - 1;
        }
        bitMask = 1;
    }
    return &buffer[bitByte];
}

void Packet::doBool(std::uint8_t& b, int bit) {
    const auto targetMask = static_cast<std::uint8_t>(1u << (bit & 7));
    std::uint8_t* byte = nextBitByte();
    if (bWriting) {
        if (b & targetMask) *byte |= bitMask;
        return;
    }
    b = static_cast<std::uint8_t>(b & ~targetMask);
    // Bits left in a bit byte taken before the message went bad read as zero too.
    if (byte && !bBad && (*byte & bitMask)) b |= targetMask;
}

void Packet::doBits(std::uint8_t& b, int count) {
    for (int bit = 0; bit < count && bit < 8; ++bit) doBool(b, bit);
}

void Packet::doInt(std::int32_t& v) {
    if (bWriting) {
        const bool negative = v < 0;
        // The most negative value has no magnitude in the encoding; it travels as the next one.
        std::uint32_t m =
            negative ? (v == INT32_MIN ? 0x7FFFFFFFu : static_cast<std::uint32_t>(-v)) : static_cast<std::uint32_t>(v);
        auto first = static_cast<std::uint8_t>((negative ? 0x40 : 0) | (m & 0x3F));
        m >>= 6;
        if (m) first |= 0x80;
        putByte(first);
        while (m) {
            auto next = static_cast<std::uint8_t>(m & 0x7F);
            m >>= 7;
            if (m) next |= 0x80;
            putByte(next);
        }
        return;
    }
    std::uint8_t b;
    takeByte(b);
    const bool negative = b & 0x40;
    std::uint64_t m = b & 0x3F;
    int shift = 6;
    for (int n = 1; (b & 0x80) && !bBad; ++n) {
        if (n >= kMaxVarIntBytes) {
            bBad = 1;
            break;
        }
        takeByte(b);
        m |= static_cast<std::uint64_t>(b & 0x7F) << shift;
        shift += 7;
    }
    if (bBad || m > 0x7FFFFFFFu) {
        bBad = 1;
        v = 0;
        return;
    }
    v = negative ? -static_cast<std::int32_t>(m) : static_cast<std::int32_t>(m);
}

void Packet::doUInt(std::uint32_t& v) {
    if (bWriting) {
        std::uint32_t m = v;
        do {
            auto b = static_cast<std::uint8_t>(m & 0x7F);
            m >>= 7;
            if (m) b |= 0x80;
            putByte(b);
        } while (m);
        return;
    }
    std::uint64_t m = 0;
    std::uint8_t b = 0x80;
    for (int n = 0; (b & 0x80) && !bBad; ++n) {
        if (n >= kMaxVarIntBytes) {
            bBad = 1;
            break;
        }
        takeByte(b);
        m |= static_cast<std::uint64_t>(b & 0x7F) << (7 * n);
    }
    if (bBad || m > 0xFFFFFFFFu) {
        bBad = 1;
        v = 0;
        return;
    }
    v = static_cast<std::uint32_t>(m);
}

void Packet::doHalfFloat(float& f) {
    if (bWriting) {
        float c = f;
        if (c > 0.0f)
            c = c < 3.1e-5f ? 3.1e-5f : (c > 130000.0f ? 130000.0f : c);
        else if (c < 0.0f)
            c = c > -3.1e-5f ? -3.1e-5f : (c < -130000.0f ? -130000.0f : c);
        std::uint16_t half = 0;
        if (c != 0.0f) {
            const auto bits = std::bit_cast<std::uint32_t>(c);
            const std::uint32_t sign = bits >> 31, exponent = (bits >> 23) & 0xFF, mantissa = bits & 0x7FFFFF;
            half = static_cast<std::uint16_t>((sign << 15) | (((exponent - 112) & 31) << 10) | (mantissa >> 13));
        }
        putByte(static_cast<std::uint8_t>(half & 0xFF));
        putByte(static_cast<std::uint8_t>(half >> 8));
        return;
    }
    std::uint8_t lo, hi;
    takeByte(lo);
    takeByte(hi);
    const std::uint32_t half = lo | (static_cast<std::uint32_t>(hi) << 8);
    if (half == 0) {
        f = 0.0f;
        return;
    }
    const std::uint32_t bits = ((half >> 15) << 31) | ((((half >> 10) & 31) + 112) << 23) | ((half & 0x3FF) << 13);
    f = std::bit_cast<float>(bits);
}

void Packet::doUString(std::u16string& text, int maxLength) {
    if (bWriting) {
        std::string bytes = wideToUtf8(text);
        std::uint32_t length = static_cast<std::uint32_t>(bytes.size());
        QOR_ASSERT("Packet::doUString", length < kMaxStringBytes);
        doUInt(length);
        for (char c : bytes) putByte(static_cast<std::uint8_t>(c) ^ kStringKey);
        return;
    }
    std::uint32_t length = 0;
    doUInt(length);
    if (length >= kMaxStringBytes || length > buffer.size() - cursor) bBad = 1;
    if (bBad) {
        text.clear();
        return;
    }
    std::string bytes;
    for (std::uint32_t i = 0; i < length; ++i) bytes.push_back(static_cast<char>(buffer[cursor++] ^ kStringKey));
    // The text ends at its first zero byte, as a C string would.
    bytes.resize(std::strlen(bytes.c_str()));
    text = utf8ToWide(bytes);
    if (maxLength >= 0 && text.size() > static_cast<std::size_t>(maxLength)) {
        bBad = 1;
        text.clear();
    }
}

void Packet::doRaw32(void* value) {
    if (bWriting) {
        const auto* p = static_cast<const std::uint8_t*>(value);
        buffer.insert(buffer.end(), p, p + 4);
        return;
    }
    if (bBad || buffer.size() - cursor < 4) {
        bBad = 1;
        std::memset(value, 0, 4);
        return;
    }
    std::memcpy(value, &buffer[cursor], 4);
    cursor += 4;
}

void Packet::doClassID(ClassInfo*& record) {
    ClassRegistry& registry = ClassRegistry::instance();
    if (flags & kClassHashes) {
        std::uint32_t id = bWriting ? record->id : 0;
        doRaw32(&id);
        if (!bWriting) record = bBad ? nullptr : registry.findById(id);
    } else {
        std::uint32_t index = bWriting ? static_cast<std::uint32_t>(record->index) : 0;
        doUInt(index);
        if (!bWriting) record = bBad ? nullptr : registry.findByIndex(index);
    }
    // A class the receiver does not know makes the message unusable.
    if (!bWriting && !record) bBad = 1;
}

bool Packet::doPointer2(QorBase*& object) {
    if (bWriting) {
        if (object) QOR_ASSERT("Packet::doPointer2", object->objectUID >= 0);
        std::uint32_t id = object ? static_cast<std::uint32_t>(object->objectUID) : 0;
        doUInt(id);
        return id != 0;
    }
    std::uint32_t id = 0;
    doUInt(id);
    if (id == 0 || bBad) {
        object = nullptr;
        return false;
    }
    NetRole* role = QorNetwork::currentRole();
    object = role && id <= 0x7FFFFFFFu ? role->findObject(static_cast<std::int32_t>(id)) : nullptr;
    if (!object) bBad = 1;
    return object != nullptr;
}

bool Packet::doPointer(QorBase*& object) { return doPointer2(object); }

void Packet::doResourcePointer2(QorBase*& object) {
    ResourceManager* resources = qor->pResourceManager;
    if (bWriting) {
        std::u16string name = object && resources ? resources->getName(object) : std::u16string();
        if (object) QOR_ASSERT("Packet::doResourcePointer2", !name.empty());
        doUString(name);
        return;
    }
    std::u16string name;
    doUString(name);
    // A name we do not hold is a bad message, not a reason to end the program.
    object = name.empty() || !resources ? nullptr : resources->find(false, name);
    if (!name.empty() && !object) bBad = 1;
}
