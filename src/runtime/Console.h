#pragma once
// The developer console: a prompt at the bottom of the screen with the lines it has
// printed above it, opened and closed with Left Shift and the grave accent key while
// debugging is unlocked (the key left of 1, whatever the layout types there). It takes a
// few commands that change debug settings or end the program on demand. Other code
// prints to it with addLine; every line also goes to the log.
//
// While it is open it takes the keyboard alone: keys, typed text and Enter are its own,
// and so is the chord that opens or closes it; the frame ticks it before the scene and
// lets the scene tick without the keyboard in those frames (bKeyboardTaken). The chord
// is told from the key's own press, with the modifiers held at that press, and the
// characters the press types are dropped with it: polled key states and the one-a-frame
// character queue can part ways around a long frame, so that a chord read from them
// could be missed, and its character typed into a screen.
//
// Made by the engine object after its default font and before networking, deleted in
// its teardown. Not in the screen stack: the frame draws it after the scene, so it lies
// on top, its lines over a translucent dark panel in a font sized to the UI scale. Its
// own camera maps one unit to one viewport pixel. Owns its font. Main thread only.
#include <string>
#include <vector>

#include "engine/Format.h"
#include "render/Context.h"
#include "render/UColor.h"

class FontGDI;

class Console : public Context {
public:
    static constexpr int kKeyGrave = 0x29;
    static constexpr int kKeyPageUp = 0xC9;
    static constexpr int kKeyPageDown = 0xD1;
    static constexpr int kTextHeight = 12;  // pixels of a line at a UI scale of 1
    static constexpr UColor kTextColour = 0xFFFFFFFFu;
    static constexpr UColor kBackdropColour = 0xC0101820u;  // dark, three quarters opaque

    Console();
    ~Console() override;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // Keeps one unit one viewport pixel at depth 0 after every change of presentation.
    void onPresentationRestored() override;
    // The chords pressed since the last tick, each a toggle, then (while open) the typed
    // character, Enter and scrolling; sets bKeyboardTaken for the rest of the frame.
    void tickContents(double time, double dt) override;
    // A key's press as the window reports it: true when it is the chord (its key with Left
    // Shift held, debugging unlocked), which the console takes, repeats included, so that
    // what the press types reaches nothing; a first press counts for the next tick.
    bool takeKeyPress(int code, unsigned modifiers, bool repeat);
    // The backdrop, the prompt and the history above it.
    void renderContents() override;
    // Runs one command line; unknown ones are answered with a line.
    virtual void executeCommand(std::u16string line);

    // Prints a formatted line; the view follows new lines only while it shows the newest.
    template <class... Args>
    void addLine(std::u16string_view format, const Args&... args) {
        appendLine(formatString(format, args...));
    }
    void appendLine(const std::u16string& line);

    // Pixels of a line of text: kTextHeight times the UI scale (viewport height over the
    // virtual screen's), never below kTextHeight, so it stays readable on a small window.
    static int textHeightFor(int viewportHeight, int virtualHeight);

    std::vector<std::u16string> history;  // every line printed, oldest first
    int cursor = -1;                      // the line shown lowest; -1 while history is empty
    std::u16string input;                 // the command being typed
    bool bOpen = false;
    int visibleLines = 40;
    bool bKeyboardTaken = false;  // this frame's keyboard is the console's: it is open, or the chord toggled it

private:
    FontGDI& textFont();

    FontGDI* pFont = nullptr;  // owned; made when first drawn, again for a new UI scale
    int chordPresses = 0;      // since the last tick
};
