#include <gtest/gtest.h>

#include <vector>

#include "TestSounds.h"
#include "platform/AudioError.h"
#include "platform/VorbisDecoder.h"

namespace {

constexpr int kRate = 22050;

TEST(VorbisDecoderTest, DecodesWhatWasEncodedWithItsLengthChannelsAndRate) {
    const auto pcm = TestSounds::sine(2, kRate, 441.0, 0.5f, kRate);
    const auto ogg = TestSounds::encodeOgg(2, kRate, pcm);
    VorbisDecoder decoder;
    ASSERT_EQ(decoder.open(ogg.data(), ogg.size()), AudioError::kOk);
    EXPECT_EQ(decoder.channels(), 2);
    EXPECT_EQ(decoder.rate(), kRate);
    EXPECT_EQ(decoder.lengthFrames(), static_cast<std::uint64_t>(kRate));
    std::vector<float> out;
    ASSERT_EQ(decoder.decodeAll(out, kRate), AudioError::kOk);
    ASSERT_EQ(out.size(), pcm.size());
    EXPECT_NEAR(TestSounds::rms(out, 2000, 40000), TestSounds::rms(pcm, 2000, 40000), 0.01);
    // Seeking lands on the same frames as decoding through.
    ASSERT_TRUE(decoder.seek(10000));
    std::vector<float> frames(200);
    ASSERT_EQ(decoder.read(frames.data(), 100), 100);
    for (int i = 0; i < 200; ++i) EXPECT_NEAR(frames[i], out[20000 + i], 1e-4) << i;
}

TEST(VorbisDecoderTest, RefusesBytesThatAreNotOggVorbisOrNotPlayable) {
    VorbisDecoder decoder;
    const std::vector<std::uint8_t> garbage(5000, 0x4F);
    EXPECT_EQ(decoder.open(garbage.data(), garbage.size()), AudioError::kFileForm);
    EXPECT_EQ(decoder.open(nullptr, 0), AudioError::kFileForm);
    const auto threeChannels = TestSounds::encodeOgg(3, kRate, std::vector<float>(3 * 1000, 0.1f));
    EXPECT_EQ(decoder.open(threeChannels.data(), threeChannels.size()), AudioError::kFormat);
    float frame[2];
    EXPECT_LT(decoder.read(frame, 1), 0);
}

TEST(VorbisDecoderTest, DamagedOrTruncatedFilesEndWithoutReadingOutOfBounds) {
    const auto ogg = TestSounds::encodeOgg(1, kRate, TestSounds::sine(1, kRate, 300.0, 0.5f, 3 * kRate));
    // Cut off, and with bytes overwritten in the middle: whatever can be decoded is.
    for (std::size_t cut : {ogg.size() / 2, ogg.size() - 7, std::size_t{200}}) {
        std::vector<std::uint8_t> bytes(ogg.begin(), ogg.begin() + static_cast<std::ptrdiff_t>(cut));
        VorbisDecoder decoder;
        if (decoder.open(bytes.data(), bytes.size()) != AudioError::kOk) continue;
        std::vector<float> out;
        const int result = decoder.decodeAll(out, 10 * kRate);
        EXPECT_TRUE(result == AudioError::kOk || result == AudioError::kCodec);
        EXPECT_LE(out.size(), static_cast<std::size_t>(3 * kRate));
    }
    std::vector<std::uint8_t> damaged = ogg;
    for (std::size_t i = damaged.size() / 3; i < damaged.size() / 3 + 400; ++i) damaged[i] ^= 0x5A;
    VorbisDecoder decoder;
    if (decoder.open(damaged.data(), damaged.size()) == AudioError::kOk) {
        std::vector<float> out;
        const int result = decoder.decodeAll(out, 10 * kRate);
        EXPECT_TRUE(result == AudioError::kOk || result == AudioError::kCodec);
    }
}

TEST(VorbisDecoderTest, DecodeAllRefusesMoreFramesThanAllowed) {
    const auto ogg = TestSounds::encodeOgg(1, kRate, TestSounds::sine(1, kRate, 300.0, 0.5f, kRate));
    VorbisDecoder decoder;
    ASSERT_EQ(decoder.open(ogg.data(), ogg.size()), AudioError::kOk);
    std::vector<float> out;
    EXPECT_EQ(decoder.decodeAll(out, kRate / 2), AudioError::kMemory);
}

}  // namespace
