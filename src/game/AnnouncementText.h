#pragma once
// The single line of large text in the middle of a game's overlay ("Get Ready!", "Wave
// %d", the intro's story): each line fades in over `fadeTime`, holds, and fades out over
// the last `fadeTime` of its duration, ending at alpha 0, after which nothing is drawn.
// A new line replaces one still showing.
//
// The game controller owns one as a child of its overlay and reuses it for every line.
// The font is not owned (the application's large font). Times in seconds; positions in
// the overlay's virtual pixels, x 0 being the centre. Main thread only.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/QorBase.h"
#include "render/UColor.h"

class FontQuad;
class FontQuadTextFont;
class TextFont;

class AnnouncementText : public QorBase {
public:
    static constexpr int kCentred = 0x04;  // layout flag: centred on x
    static constexpr int kDefaultY = 100;

    // font: may be null (nothing drawn). colour: its alpha is replaced by the fade.
    AnnouncementText(TextFont* font, UColor colour);
    // The same with a loaded bitmap font (the application's large font), seen through an
    // adapter that the line owns.
    AnnouncementText(FontQuad* font, UColor colour);
    ~AnnouncementText() override;

    void tick(double time, double dt) override { update(time, dt); }
    void render() override;
    // Advances the line's time and sets the fade; no state machine, no children.
    virtual void update(double time, double dt);

    // Shows `text` for `duration` s (fades included) from now; `tag` is only stored.
    void show(std::u16string text, double duration, std::int32_t tag);
    // Whether a line is being shown.
    bool isShowing() const { return elapsed < duration; }
    int getAlpha() const { return static_cast<int>(colour >> 24); }

    double fadeTime = 0.0;      // s of the fade-in and of the fade-out
    std::uint8_t bShadow = 1;   // drop shadow (2, -2) at a quarter of the text's alpha
    TextFont* pFont = nullptr;  // not owned
    UColor colour;              // the text colour; its alpha byte is the fade
    std::int32_t y = kDefaultY;
    std::u16string text;    // the line shown
    double duration = 0.0;  // s the line is shown, fades included
    double elapsed = 0.0;   // s shown so far, at most duration
    std::int32_t tag = 0;   // from show(); not used here

private:
    int fadeAlpha() const;

    std::unique_ptr<FontQuadTextFont> ownFont;  // the adapter behind pFont, when made here
};
