#pragma once
// A piece of music decoded while it plays, from a copy of the whole file that the
// stream keeps in memory while its audio-layer stream exists. It can start at a
// fraction of its length, fade its volume, and survive a lost display device: it
// remembers where it was, releases everything, and plays on from there when the
// engine runs again.
//
// Lifetime: created by the loading screen (looping "musicMenu" and "musicGame") and
// held by the resource registry and the object tree; the audio device and the game
// controller switch between them. Never creates a stream while audio is muted.
#include <cstdint>
#include <string>

#include "engine/MemoryFile.h"
#include "engine/QorBase.h"
#include "platform/AudioRecords.h"

class SoundStream : public QorBase {
public:
    // flags: bit 0 loops.
    SoundStream(std::uint32_t flags, std::u16string fileName);
    ~SoundStream() override;

    // Reads the file (if its bytes are not held) and creates the stream over them.
    void recreateSoundStream();
    // Releases the stream and the file's bytes.
    void freeSoundStream();
    // volume 0..1 (clamped); time: seconds of slide. A slide to 0 fades out, then stops.
    void setVolume(float volume, double time);
    // Plays from startFraction (0..1) of its length at full volume; a stream that is
    // playing already is left alone.
    void play(float startFraction);

    // Mode 2 to 1 (display lost): remembers where it was and releases everything;
    // mode 2 to 3: plays on from there.
    void onQORmodeChange(int oldMode, int newMode) override;
    // Releases a stream that does not play.
    void purge() override;

    // Sum of the file sizes of every stream that exists, for the statistics line.
    static std::int32_t residentStreamBytes;

    MemoryFile sourceData;        // the music file's bytes while held (the stream reads them)
    bool muted = false;           // the last volume set was 0
    float resumeFraction = 0.0f;  // where to go on after a lost display device
    AudioHandle pStream = 0;      // 0 while no stream exists
    std::u16string fileName;      // as the file manager names it
    std::uint32_t flags = 0;      // bit 0 = loop
    bool savedUseWad = false;     // where the file was found: archive or disk

private:
    // The stream's length in bytes, its low 32 bits taken as a signed number.
    std::int32_t streamLength() const;
};
