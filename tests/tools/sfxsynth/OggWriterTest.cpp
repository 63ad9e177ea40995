#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include "OggWriter.h"

namespace {

std::string readBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class OggWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("sfxsynth-ogg-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path dir_;
};

std::vector<float> stereoTone(std::size_t frames) {
    std::vector<float> s(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        s[i * 2] = static_cast<float>(0.5 * std::sin(2.0 * std::numbers::pi * 440.0 * i / 44100.0));
        s[i * 2 + 1] = -s[i * 2];
    }
    return s;
}

TEST_F(OggWriterTest, WritesAFileThatDecodesToTheSameLengthAndFormat) {
    const auto path = dir_ / "sub" / "tone(1).ogg";
    ASSERT_EQ(OggWriter::write(path.string(), "tone(1).ogg", stereoTone(12345), 2, 44100, 0.4f), "");
    EXPECT_FALSE(std::filesystem::exists(path.string() + ".tmp"));
    OggVorbis_File file;
    ASSERT_EQ(ov_fopen(path.c_str(), &file), 0);
    EXPECT_EQ(ov_info(&file, -1)->channels, 2);
    EXPECT_EQ(ov_info(&file, -1)->rate, 44100);
    EXPECT_EQ(ov_pcm_total(&file, -1), 12345);
    ov_clear(&file);
}

TEST_F(OggWriterTest, SameInputGivesTheSameBytes) {
    const auto a = dir_ / "a.ogg", b = dir_ / "b.ogg";
    ASSERT_EQ(OggWriter::write(a.string(), "x.ogg", stereoTone(30000), 2, 44100, 0.4f), "");
    ASSERT_EQ(OggWriter::write(b.string(), "x.ogg", stereoTone(30000), 2, 44100, 0.4f), "");
    EXPECT_EQ(readBytes(a), readBytes(b));
    EXPECT_EQ(OggWriter::serialFor("x.ogg"), OggWriter::serialFor("x.ogg"));
    EXPECT_NE(OggWriter::serialFor("x.ogg"), OggWriter::serialFor("y.ogg"));
}

TEST_F(OggWriterTest, ReportsFailuresInsteadOfWritingHalfAFile) {
    std::filesystem::create_directories(dir_);
    std::ofstream(dir_ / "file") << "not a folder";
    EXPECT_NE(OggWriter::write((dir_ / "file" / "x.ogg").string(), "x.ogg", stereoTone(100), 2, 44100, 0.4f), "");
    EXPECT_NE(OggWriter::write((dir_ / "y.ogg").string(), "y.ogg", stereoTone(100), 3, 44100, 0.4f), "");
}

}  // namespace
