#pragma once
// The developer console: a prompt at the bottom of the screen with the lines it has
// printed above it, opened and closed with Left Shift and the grave accent key while
// debugging is unlocked. It takes a few commands that change debug settings or end the
// program on demand. Other code prints to it with addLine; every line also goes to the
// log.
//
// Made by the engine object after its default font and before networking, deleted in
// its teardown. Not in the screen stack: the frame ticks it after the scene and draws it
// after the scene, so it lies on top. Its own camera maps one unit to one viewport
// pixel. Main thread only.
#include <string>
#include <vector>

#include "engine/Format.h"
#include "render/Context.h"

class Console : public Context {
public:
    static constexpr int kKeyLeftShift = 0x2A;
    static constexpr int kKeyGrave = 0x29;
    static constexpr int kKeyPageUp = 0xC9;
    static constexpr int kKeyPageDown = 0xD1;

    Console();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Keeps one unit one viewport pixel at depth 0 after every change of presentation.
    void onPresentationRestored() override;
    void tickContents(double time, double dt) override;
    void renderContents() override;
    // Runs one command line; unknown ones are answered with a line.
    virtual void executeCommand(std::u16string line);

    // Prints a formatted line; the view follows new lines only while it shows the newest.
    template <class... Args>
    void addLine(std::u16string_view format, const Args&... args) {
        appendLine(formatString(format, args...));
    }
    void appendLine(const std::u16string& line);

    std::vector<std::u16string> history;  // every line printed, oldest first
    int cursor = -1;                      // the line shown lowest; -1 while history is empty
    std::u16string input;                 // the command being typed
    bool bOpen = false;
    int visibleLines = 40;
};
