#pragma once
// Result codes of the audio layer (AudioSystem::errorGetCode). The numbers are part of
// the layer's contract: the audio device turns them into their symbolic names for the
// log and for fatal reports, so they never change.
namespace AudioError {
inline constexpr int kUnknown = -1;
inline constexpr int kOk = 0;
inline constexpr int kMemory = 1;  // out of memory, or a table is full
inline constexpr int kFileOpen = 2;
inline constexpr int kDriver = 3;  // no output driver could be started
inline constexpr int kBufferLost = 4;
inline constexpr int kHandle = 5;    // the handle is not (or no longer) valid
inline constexpr int kFormat = 6;    // a sample format the mixer does not play
inline constexpr int kPosition = 7;  // a position beyond the end
inline constexpr int kInit = 8;      // init() has not succeeded
inline constexpr int kStart = 9;
inline constexpr int kAlready = 14;      // init() while initialised
inline constexpr int kNoChannel = 18;    // a sample's playbacks are all in use
inline constexpr int kIllegalType = 19;  // an unknown attribute or position mode
inline constexpr int kIllegalParam = 20;
inline constexpr int kNo3D = 21;
inline constexpr int kNoEAX = 22;
inline constexpr int kDevice = 23;  // no such device
inline constexpr int kNoPlay = 24;
inline constexpr int kFrequency = 25;
inline constexpr int kNotFile = 27;
inline constexpr int kNoHardware = 29;
inline constexpr int kEmpty = 31;
inline constexpr int kNoNet = 32;
inline constexpr int kCreate = 33;
inline constexpr int kNoEffects = 34;
inline constexpr int kNotAvailable = 37;  // not offered by this kind of handle
inline constexpr int kDecode = 38;
inline constexpr int kDirectX = 39;
inline constexpr int kTimeout = 40;
inline constexpr int kFileForm = 41;  // the bytes are not a sound file we can read
inline constexpr int kSpeaker = 42;
inline constexpr int kVersion = 43;
inline constexpr int kCodec = 44;  // the file is damaged beyond decoding
inline constexpr int kEnded = 45;
inline constexpr int kBusy = 46;
}  // namespace AudioError
