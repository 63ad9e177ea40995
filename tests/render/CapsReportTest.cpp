#include <gtest/gtest.h>

#include <algorithm>

#include "platform/DeviceCaps.h"
#include "render/CapsReport.h"

namespace {

bool has(const std::vector<std::u16string>& lines, const std::u16string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(CapsReportTest, FlagGroupsListSupportedFlagsAndTheMissingOnesApart) {
    DeviceCaps caps;
    caps.DeviceType = DeviceCaps::kSoftware;
    caps.DevCaps = 1u << 5;  // hardware rasterisation without hardware T&L
    caps.Caps2 = 3;          // both gamma flags: no "(unsupported)" line after it
    const std::vector<std::u16string> lines = CapsReport::capsLines(caps);
    EXPECT_EQ(lines[0], u"\tDeviceType: D3DDEVTYPE_SW");
    EXPECT_EQ(lines[1], u"\tAdapterOrdinal: 0");
    EXPECT_TRUE(has(lines, u"\tDevCaps: D3DDEVCAPS_HWRASTERIZATION"));
    const auto devCaps = std::find(lines.begin(), lines.end(), u"\tDevCaps: D3DDEVCAPS_HWRASTERIZATION");
    ASSERT_NE(devCaps + 1, lines.end());
    EXPECT_NE(devCaps[1].find(u"(unsupported)  D3DDEVCAPS_CANBLTSYSTONONLOCAL"), std::u16string::npos);
    EXPECT_NE(devCaps[1].find(u" D3DDEVCAPS_HWTRANSFORMANDLIGHT"), std::u16string::npos);
    const auto caps2 =
        std::find(lines.begin(), lines.end(), u"\tCaps2: D3DCAPS2_CANCALIBRATEGAMMA D3DCAPS2_FULLSCREENGAMMA");
    ASSERT_NE(caps2, lines.end());
    EXPECT_EQ(caps2[1].rfind(u"\tPresentationIntervals:", 0), 0u);
    EXPECT_TRUE(has(lines, u"\tFVFCaps & D3DFVFCAPS_TEXCOORDCOUNTMASK: 0"));
    EXPECT_TRUE(has(lines, u"\tMaxVertexW: 0.000000"));
    EXPECT_TRUE(has(lines, u"\tPixelShaderVersion: 0x0"));
    EXPECT_EQ(lines.back().rfind(u"\tPixelShader1xMaxValue: ", 0), 0u);
}

TEST(CapsReportTest, TheAdapterBlockSplitsTheVersionIntoItsNumbers) {
    DeviceCaps caps;
    caps.version = "4.5 (Core Profile) Mesa 22.3.6";
    caps.versionParts[0] = 4, caps.versionParts[1] = 5, caps.versionParts[2] = 22, caps.versionParts[3] = 3;
    const std::vector<std::u16string> lines = CapsReport::adapterLines(caps);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], u"Adapter information:");
    EXPECT_EQ(lines[1], u"Driver: 4.5 (Core Profile) Mesa 22.3.6");
    EXPECT_EQ(lines[3], u"DriverVersion (hex): Product(0x0004), Version(0x0005), SubVersion(0x0016), Build(0x0003)");
    EXPECT_EQ(lines[4], u"DriverVersion (decimal): Product(4), Version(5), SubVersion(22), Build(3)");
    EXPECT_EQ(lines[5], u"VendorId: 0x0");
    EXPECT_EQ(lines[9].size(), std::u16string(u"DeviceIdentifier: 01234567-0123-0123-0123456789abcdef").size());
    EXPECT_EQ(lines[10], u"WHQLLevel: 0x0");
}

}  // namespace
