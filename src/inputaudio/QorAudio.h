#pragma once
// The audio service: sound effects and streamed music.
#include <cstdint>

class ClassInfo;

class QorAudio {
public:
    QorAudio();
    virtual ClassInfo* getClass() const;
    virtual ~QorAudio() = default;
    static ClassInfo classInfo;

    // Pauses all output when the window goes inactive and resumes it after.
    void onQORmodeChange(int oldMode, int newMode);
    // Refills stream buffers; called once per worked frame.
    void update(std::uint32_t milliseconds);
};
