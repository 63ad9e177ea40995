#include <gtest/gtest.h>

#include "AddressNetwork.h"

namespace {

AddressNetwork of(const char* address) { return AddressNetwork::of(address); }

// An IPv4 address is a network of its own, neighbours included; an IPv6 address counts by
// its /64, whichever of its addresses a machine uses; an IPv4 address written as IPv6 is
// that IPv4 address, never the IPv6 network whose low bits it shares.
TEST(AddressNetworkTest, ipv4AddressesStandAloneIpv6OnesGroupByTheirSlash64AndMappedOnesAreIpv4) {
    EXPECT_EQ(of("192.0.2.7"), of("192.0.2.7"));
    EXPECT_NE(of("192.0.2.7"), of("192.0.2.8"));
    EXPECT_EQ(of("2001:db8:1:2::1"), of("2001:db8:1:2:ffff:ffff:ffff:fffe"));
    EXPECT_NE(of("2001:db8:1:2::1"), of("2001:db8:1:3::1"));
    EXPECT_EQ(of("::ffff:192.0.2.7"), of("192.0.2.7"));
    EXPECT_NE(of("::ffff:192.0.2.7"), of("::ffff:192.0.2.8"));
    EXPECT_EQ(of("192.0.2.7").family, 4);
    EXPECT_EQ(of("2001:db8::1").family, 6);
}

// Text that is no address (from a caller other than a socket) is a network of its own by
// its hash, apart from every address and from other text.
TEST(AddressNetworkTest, textThatIsNoAddressIsANetworkOfItsOwn) {
    EXPECT_EQ(of("local").family, 0);
    EXPECT_EQ(of("local"), of("local"));
    EXPECT_NE(of("local"), of("remote"));
    EXPECT_NE(of("192.0.2"), of("192.0.2.0"));
    EXPECT_EQ(of("").family, 0);
}

}  // namespace
