#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "net/NetAddress.h"

namespace {
NetAddress parsed(const std::u16string& text) {
    NetAddress a;
    a.parse(text);
    return a;
}

std::string text(const NetAddress& a) {
    const std::u16string wide = a.toString();
    return std::string(wide.begin(), wide.end());
}
}  // namespace

TEST(NetAddressTest, HoldsTheSixteenByteSocketAddressInNetworkOrder) {
    const NetAddress a(0x0A000005u, 27015);
    unsigned char bytes[16];
    std::memcpy(bytes, &a, sizeof bytes);
    std::uint16_t family = 0;
    std::memcpy(&family, bytes, 2);
    EXPECT_EQ(family, AF_INET);
    EXPECT_EQ(bytes[2], 0x69);  // 27015 = 0x6987, most significant byte first
    EXPECT_EQ(bytes[3], 0x87);
    EXPECT_EQ(bytes[4], 10);
    EXPECT_EQ(bytes[7], 5);
    for (int i = 8; i < 16; ++i) EXPECT_EQ(bytes[i], 0) << "byte " << i;
    EXPECT_EQ(a.getAddress(), 0x0A000005u);
    EXPECT_EQ(a.getPort(), 27015);
}

TEST(NetAddressTest, PrintsTheOctetsMostSignificantFirstAndThePort) {
    EXPECT_EQ(text(NetAddress(NetAddress::kAny, 23006)), "0.0.0.0:23006");
    EXPECT_EQ(text(NetAddress(0xC0A80AFEu, 65535)), "192.168.10.254:65535");
}

TEST(NetAddressTest, ParsesHostAndPort) {
    EXPECT_EQ(text(parsed(u"10.0.0.5:27015")), "10.0.0.5:27015");
    EXPECT_EQ(text(parsed(u"localhost:80")), "127.0.0.1:80");
    EXPECT_EQ(text(parsed(u"localhost")), "127.0.0.1:0");
    EXPECT_EQ(text(parsed(u"10.0.0.5")), "10.0.0.5:0") << "without a colon the port is 0";
    EXPECT_EQ(text(parsed(u"10.0.0.5:80:90")), "10.0.0.5:80") << "split at the first colon";
}

TEST(NetAddressTest, PortsAreReadAsSignedNumbersCutToSixteenBits) {
    EXPECT_EQ(parsed(u"10.0.0.5:70000").getPort(), 4464);
    EXPECT_EQ(parsed(u"10.0.0.5:-1").getPort(), 65535);
    EXPECT_EQ(parsed(u"10.0.0.5: +81x").getPort(), 81) << "blanks and a sign before, anything after";
    // Far more digits than any integer holds: the low 16 bits of the number.
    EXPECT_EQ(parsed(u"10.0.0.5:" + std::u16string(40, u'0') + u"65537").getPort(), 1);
    EXPECT_EQ(parsed(u"10.0.0.5:1000000000000000000000").getPort(), 0x0000u);
    EXPECT_EQ(parsed(u"10.0.0.5:123456789012345678901").getPort(), 0x6C35u);
}

TEST(NetAddressTest, MalformedTextGivesASafeAddress) {
    EXPECT_EQ(parsed(u"10.0.0.5:").getPort(), 0);
    EXPECT_EQ(parsed(u"10.0.0.5:port").getPort(), 0);
    EXPECT_EQ(parsed(u"10.0.0.5:-").getPort(), 0);
    // Hosts that cannot resolve fall back to the loopback address, port 0.
    EXPECT_EQ(text(parsed(u"")), "127.0.0.1:0");
    EXPECT_EQ(text(parsed(u":80")), "127.0.0.1:0");
    EXPECT_EQ(text(parsed(u"no-such-host.invalid:80")), "127.0.0.1:0");
    EXPECT_EQ(text(parsed(std::u16string(u"10.0.0.5\0evil:80", 16))), "127.0.0.1:0")
        << "a null inside the name must not cut it short to another host";
    EXPECT_EQ(text(parsed(std::u16string(100000, u'x') + u":1")), "127.0.0.1:0");
    EXPECT_EQ(text(parsed(u"\xD800\xDFFF\xFFFF:1")), "127.0.0.1:0") << "broken UTF-16";
}

TEST(NetAddressTest, ComparesAddressAndPort) {
    EXPECT_EQ(parsed(u"localhost:80"), NetAddress(NetAddress::kLoopback, 80));
    EXPECT_FALSE(parsed(u"localhost:81") == NetAddress(NetAddress::kLoopback, 80));
    EXPECT_FALSE(parsed(u"127.0.0.2:80") == NetAddress(NetAddress::kLoopback, 80));
}
