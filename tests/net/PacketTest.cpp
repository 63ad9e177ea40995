#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/ClassInfo.h"
#include "engine/ClassRegistry.h"
#include "engine/QorBase.h"
#include "net/NetRole.h"
#include "net/Packet.h"
#include "net/QorNetwork.h"
#include "support/HeadlessEngine.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

class PacketTest : public HeadlessEngine {
protected:
    void SetUp() override {
        HeadlessEngine::SetUp();
        ClassRegistry::instance().buildIndex();
    }
};

Bytes written(const Packet& p) { return p.bytes(); }

Bytes intBytes(std::int32_t v) {
    Packet p(0);
    p.doInt(v);
    return written(p);
}

Bytes uintBytes(std::uint32_t v) {
    Packet p(0);
    p.doUInt(v);
    return written(p);
}

float halfRoundTrip(float f, Bytes* bytes = nullptr) {
    Packet p(0);
    p.doHalfFloat(f);
    if (bytes) *bytes = written(p);
    p.startReading();
    float back = 123.0f;
    p.doHalfFloat(back);
    return back;
}
}  // namespace

TEST_F(PacketTest, BitsShareOneByteWithTheValuesThatFollowIt) {
    Packet p(0);
    std::uint8_t a = 1, b = 0, c = 1, d = 1;
    std::int32_t five = 5;
    p.doBool(a, 0);
    p.doBool(b, 0);
    p.doBool(c, 0);
    p.doInt(five);
    p.doBool(d, 0);
    EXPECT_EQ(written(p), (Bytes{0x0D, 0x05}));

    p.startReading();
    std::uint8_t ra = 0xFE, rb = 0xFF, rc = 0, rd = 0;
    std::int32_t rfive = 0;
    p.doBool(ra, 0);
    p.doBool(rb, 0);
    p.doBool(rc, 0);
    p.doInt(rfive);
    p.doBool(rd, 0);
    // Reading sets only the bit moved and keeps the others.
    EXPECT_EQ(ra, 0xFF);
    EXPECT_EQ(rb, 0xFE);
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(rfive, 5);
    EXPECT_EQ(rd, 1);
    EXPECT_FALSE(p.bBad);
}

TEST_F(PacketTest, TheNinthBitStartsASecondBitByte) {
    Packet p(0);
    std::uint8_t one = 1;
    for (int i = 0; i < 9; ++i) p.doBool(one, 0);
    EXPECT_EQ(written(p), (Bytes{0xFF, 0x01}));
}

TEST_F(PacketTest, VariableLengthIntegers) {
    EXPECT_EQ(intBytes(0), (Bytes{0x00}));
    EXPECT_EQ(intBytes(63), (Bytes{0x3F}));
    EXPECT_EQ(intBytes(64), (Bytes{0x80, 0x01}));
    EXPECT_EQ(intBytes(100), (Bytes{0xA4, 0x01}));
    EXPECT_EQ(intBytes(-1), (Bytes{0x41}));
    EXPECT_EQ(intBytes(-64), (Bytes{0xC0, 0x01}));
    EXPECT_EQ(uintBytes(0), (Bytes{0x00}));
    EXPECT_EQ(uintBytes(127), (Bytes{0x7F}));
    EXPECT_EQ(uintBytes(128), (Bytes{0x80, 0x01}));
    EXPECT_EQ(uintBytes(300), (Bytes{0xAC, 0x02}));

    Packet p(0);
    std::vector<std::int32_t> values{0, 1, -1, 2147483647, -2147483647, 8191, -8192};
    for (auto v : values) p.doInt(v);
    p.startReading();
    for (auto v : values) {
        std::int32_t back = 0;
        p.doInt(back);
        EXPECT_EQ(back, v);
    }
    EXPECT_FALSE(p.bBad);
}

TEST_F(PacketTest, HalfFloatsClampAndTruncate) {
    Bytes bytes;
    EXPECT_EQ(halfRoundTrip(1.0f, &bytes), 1.0f);
    EXPECT_EQ(bytes, (Bytes{0x00, 0x3C}));
    EXPECT_EQ(halfRoundTrip(-2.0f, &bytes), -2.0f);
    EXPECT_EQ(bytes, (Bytes{0x00, 0xC0}));
    EXPECT_EQ(halfRoundTrip(0.0f, &bytes), 0.0f);
    EXPECT_EQ(bytes, (Bytes{0x00, 0x00}));
    halfRoundTrip(-0.0f, &bytes);
    EXPECT_EQ(bytes, (Bytes{0x00, 0x00}));
    EXPECT_FLOAT_EQ(halfRoundTrip(1e-6f, &bytes), 3.0994415e-5f);
    EXPECT_EQ(bytes, (Bytes{0x10, 0x00}));
    EXPECT_EQ(halfRoundTrip(200000.0f, &bytes), 129984.0f);
    EXPECT_EQ(bytes, (Bytes{0xEF, 0x7F}));
    // Writing leaves the value itself alone.
    Packet p(0);
    float big = 200000.0f;
    p.doHalfFloat(big);
    EXPECT_EQ(big, 200000.0f);
}

TEST_F(PacketTest, StringsAndClasses) {
    Packet p(0);
    std::u16string empty, text = u"Grüße";
    p.doUString(empty);
    EXPECT_EQ(written(p), (Bytes{0x00}));
    p.doUString(text);
    ClassInfo* record = &QorBase::classInfo;
    p.doClassID(record);
    p.startReading();
    std::u16string a = u"x", b;
    ClassInfo* back = nullptr;
    p.doUString(a);
    p.doUString(b);
    p.doClassID(back);
    EXPECT_EQ(a, u"");
    EXPECT_EQ(b, text);
    EXPECT_EQ(back, &QorBase::classInfo);

    Packet hashed(Packet::kClassHashes);
    hashed.doClassID(record);
    EXPECT_EQ(hashed.size(), 4u);
    hashed.startReading();
    back = nullptr;
    hashed.doClassID(back);
    EXPECT_EQ(back, &QorBase::classInfo);
}

TEST_F(PacketTest, ObjectsTravelByTheirIdsThroughTheRole) {
    NetRole role(true);
    engine->pQorNetwork = new QorNetwork(true);
    engine->pQorNetwork->THEROLE = &role;
    QorBase object;
    role.registerObject(&object);
    Packet p(0);
    QorBase* ref = &object;
    QorBase* none = nullptr;
    EXPECT_TRUE(p.doPointer2(ref));
    EXPECT_FALSE(p.doPointer2(none));
    EXPECT_EQ(written(p), (Bytes{0x01, 0x00}));
    p.startReading();
    QorBase* back = nullptr;
    QorBase* backNone = &object;
    EXPECT_TRUE(p.doPointer2(back));
    EXPECT_FALSE(p.doPointer2(backNone));
    EXPECT_EQ(back, &object);
    EXPECT_EQ(backNone, nullptr);
    role.unregisterObject(&object);
    delete engine->pQorNetwork;
    engine->pQorNetwork = nullptr;
}

TEST_F(PacketTest, WritingAnObjectWithoutIdIsFatal) {
    EXPECT_DEATH(
        {
            Packet p(0);
            QorBase object;
            object.objectUID = -1;
            QorBase* ref = &object;
            p.doPointer2(ref);
        },
        "objectUID >= 0");
}

// A message from outside never makes a reader leave its bytes: it is marked bad.
TEST_F(PacketTest, TruncatedOrMalformedMessagesAreMarkedBad) {
    const std::uint8_t endless[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    Packet p(0, endless, sizeof endless);
    std::uint32_t u = 7;
    p.doUInt(u);
    EXPECT_TRUE(p.bBad);
    EXPECT_EQ(u, 0u);

    const std::uint8_t shortString[] = {0x05, 'a'};
    Packet s(0, shortString, sizeof shortString);
    std::u16string text = u"x";
    s.doUString(text);
    EXPECT_TRUE(s.bBad);
    EXPECT_EQ(text, u"");

    Packet empty(0, nullptr, 0);
    float f = 1.0f;
    std::uint8_t b = 1;
    empty.doHalfFloat(f);
    empty.doBool(b, 0);
    EXPECT_TRUE(empty.bBad);
    EXPECT_EQ(f, 0.0f);
    EXPECT_EQ(b, 0);

    const std::uint8_t badClass[] = {0x7F, 0x7F};
    Packet c(0, badClass, sizeof badClass);
    ClassInfo* record = &QorBase::classInfo;
    c.doClassID(record);
    EXPECT_TRUE(c.bBad);
    EXPECT_EQ(record, nullptr);

    // Bits left in a bit byte taken before the message went bad read as zero too.
    const std::uint8_t bitsThenShort[] = {0xFF, 0x05};
    Packet bits(0, bitsThenShort, sizeof bitsThenShort);
    bits.doBool(b, 0);
    bits.doUString(text);
    bits.doBool(b, 1);
    EXPECT_TRUE(bits.bBad);
    EXPECT_EQ(b, 1);
}
