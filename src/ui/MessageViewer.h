#pragma once
// The list of progress lines of the screens that talk to the web service: each message
// is word-wrapped to the screen width and appended at the end, the oldest lines drop out
// beyond maxMessages, and the list can fade away some time after the last message. Every
// message is also written to the log.
//
// Units: virtual pixels in the owning screen's world; times in seconds of the engine's
// physical clock. The font is a shared resource (not owned); with a null font nothing is
// drawn and text wraps only at "|". Main thread only.
#include <cstdint>
#include <deque>
#include <limits>
#include <string>

#include "render/Renderable.h"

class TextFont;

class MessageViewer : public Renderable {
public:
    // The medium font; wraps at the screen width - 10; at most 9 lines; never fades.
    MessageViewer();

    // Logs "> text", lays it out and appends one entry per span of every line.
    void addMessage(const std::u16string& text);
    // The position that centres the present lines vertically on y = 0 at x.
    void centreVertically(float x);
    // The scale every entry is drawn at for the present entries: 1, or less when the list
    // is taller than the band.
    float getFitScale() const;

    void tick(double time, double dt) override;
    void render() override;

    std::int32_t wrapWidth;
    std::uint32_t maxMessages = 9;
    float lineStep;                      // between entries, negative: downward
    std::int32_t layoutFlags = 4;        // the font's flags: 4 centres each entry on x
    double fadeTime = 0.0;               // s after the last message until gone; 0 never fades
    std::uint8_t bGrowUp = 0;            // the newest entry at the position, older ones above
    std::uint8_t bDimOlder = 0;          // every entry but the newest at half brightness
    TextFont* font = nullptr;            // not owned
    std::deque<std::u16string> entries;  // oldest first
    double lastMessageTime = 0.0;
    float visibility = 1.0f;  // the fade, 0..1
    // The band the entries keep to, in the owner's world units (bandTop > bandBottom):
    // unbounded unless the owner sets it.
    float bandTop = std::numeric_limits<float>::max();
    float bandBottom = std::numeric_limits<float>::lowest();

private:
    // The top of the first entry as drawn at scale `fit`, for the present entries.
    float getDrawnTop(float fit) const;
};
