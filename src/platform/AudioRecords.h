#pragma once
// The handle type, option numbers and plain records of the audio layer (AudioSystem).
// The numbers are those the engine's audio classes pass and test, so they are part of
// the contract.
#include <cstdint>
#include <string>

// A sample, a sample's playing channel or a stream: non-zero, 32-bit, with a generation
// count so that a handle kept after its object is gone is refused instead of reaching
// freed memory. 0 is never a valid handle.
using AudioHandle = std::uint32_t;

namespace AudioFlag {
inline constexpr std::uint32_t kSampleLoop = 4;           // samples and streams: loop at the end
inline constexpr std::uint32_t kSampleVam = 0x40;         // accepted; the mixer places voices itself
inline constexpr std::uint32_t kSampleOverPos = 0x20000;  // full sample: take over its longest-playing channel
inline constexpr std::uint32_t kDevice3D = 4;             // accepted by init(); reported back in AudioInfo
}  // namespace AudioFlag

namespace AudioAttribute {
inline constexpr int kFrequency = 1;  // Hz; 0 = the source's own rate
inline constexpr int kVolume = 2;     // 0 silent .. 1 full; a slide to below 0 fades out, then stops
inline constexpr int kPan = 3;        // -1 left .. +1 right
}  // namespace AudioAttribute

namespace AudioActive {
inline constexpr int kStopped = 0;
inline constexpr int kPlaying = 1;
}  // namespace AudioActive

namespace AudioConfig {
inline constexpr int kFullVolume = 10000;   // the top of the volumes below, and where they start
inline constexpr int kSampleVolume = 4;     // 0..kFullVolume, all sample channels
inline constexpr int kStreamVolume = 5;     // 0..kFullVolume, all streams
inline constexpr int kMusicVolume = 6;      // 0..kFullVolume, kept; no module music is played
inline constexpr int kDefaultFollows = 36;  // kept; device -1 is always the system's default
inline constexpr int kUtf8Names = 42;       // kept; device names are always UTF-8
}  // namespace AudioConfig

// Position and length mode: bytes of the decoded data (float frames: 4 bytes per value).
inline constexpr int kAudioPositionBytes = 0;
// channelGetLength / channelGetPosition on failure.
inline constexpr std::uint64_t kAudioNoPosition = ~std::uint64_t{0};

namespace AudioDeviceFlag {
inline constexpr std::uint32_t kEnabled = 1;
inline constexpr std::uint32_t kDefault = 2;
inline constexpr std::uint32_t kInit = 4;  // the device the layer is initialised on
}  // namespace AudioDeviceFlag

// Capability bits of AudioInfo::flags.
namespace AudioCaps {
inline constexpr std::uint32_t kContinuousRate = 0x10;
inline constexpr std::uint32_t kEmulatedDriver = 0x20;
inline constexpr std::uint32_t kCertified = 0x40;
inline constexpr std::uint32_t kSecondaryMono = 0x100;
inline constexpr std::uint32_t kSecondaryStereo = 0x200;
inline constexpr std::uint32_t kSecondary8Bit = 0x400;
inline constexpr std::uint32_t kSecondary16Bit = 0x800;
}  // namespace AudioCaps

struct AudioDeviceInfo {
    std::string name;         // UTF-8
    std::string driver;       // UTF-8; empty when the device has none (the silent device)
    std::uint32_t flags = 0;  // AudioDeviceFlag bits
};

// What the initialised output offers. Rates in Hz, times in milliseconds.
struct AudioInfo {
    std::uint32_t flags = 0;   // AudioCaps bits
    std::uint32_t hwsize = 0;  // no hardware mixing: always 0
    std::uint32_t hwfree = 0;
    std::uint32_t freesam = 0;
    std::uint32_t free3d = 0;
    std::uint32_t minrate = 0;  // playback rates the mixer accepts
    std::uint32_t maxrate = 0;
    bool eax = false;
    std::uint32_t minbuf = 0;  // the output's buffer length
    std::uint32_t dsver = 0;
    std::uint32_t latency = 0;    // from a play call to the speaker, roughly
    std::uint32_t initflags = 0;  // the flags given to init()
    std::uint32_t speakers = 0;
    std::uint32_t freq = 0;  // output rate
};

struct AudioSampleInfo {
    std::uint32_t freq = 0;          // the sample's own rate, Hz
    std::uint32_t length = 0;        // bytes of decoded data (frames x channels x 4)
    std::uint32_t channels = 0;      // 1 or 2
    std::uint32_t maxPlaybacks = 0;  // simultaneous channels
    std::uint32_t flags = 0;         // AudioFlag bits given at load
};
