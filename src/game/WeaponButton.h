#pragma once
// The oval label that slides in on a player's HUD to announce a new weapon's name or a
// bonus: it starts 192 units outward of its rest point (left for side 0, right for
// side 1) and eases into it over one second, slowing as it arrives. The text starts near
// the plate's outer end and runs inward; a text too long for the plate is squeezed
// sideways so that it ends kTextMargin short of the plate's inner end, but never below
// kMinSqueeze: a text that would need more is cut and ends in "...".
//
// Lifetime: a child of the side's HudOverlay, which sets restPosition, ticks it while it
// is among the first five labels, and deletes it when its time is up. Main thread only.
#include <cstdint>
#include <string>

#include "engine/Vector3.h"
#include "render/Renderable.h"

class FontQuad;

class WeaponButton : public Renderable {
public:
    static constexpr float kSlideDistance = 192.0f;  // units outward of the rest point at the start
    static constexpr double kSlideTime = 1.0;        // s to arrive
    static constexpr float kTextOffset = 70.0f;      // units from the oval's centre to the text
    static constexpr float kHiddenY = -10000.0f;     // out of sight until the first tick
    static constexpr float kTextMargin = 10.0f;      // units kept clear at the plate's inner end
    static constexpr float kPlateWidth = 256.0f;     // the plate's width when it has no skin
    static constexpr float kMinSqueeze = 0.8f;       // narrowest horizontal scale that still reads as the font

    // A text as drawn: its characters and the horizontal scale they are drawn at.
    struct FittedText {
        std::u16string text;
        float squeeze = 1.0f;  // kMinSqueeze .. 1
    };

    // A label for `side` showing `text`, in the alternate (sabotage) look when
    // bAlternate is set; `amount` points are added to the side's score (the callers pass 0).
    WeaponButton(std::int32_t side, std::int32_t amount, bool bAlternate, std::u16string text);

    // Slides toward restPosition (no state machine, no children).
    void tick(double time, double dt) override;
    // The oval, then the text in the small font.
    void render() override;

    // Units from where the text starts to kTextMargin short of the plate's inner end.
    float textRoom() const;
    // The text as drawn in `font`: whole at scale 1 when it fits textRoom; whole and
    // squeezed to fit when that takes no less than kMinSqueeze; otherwise cut after as
    // many characters as fit with "..." at kMinSqueeze (trailing blanks dropped), the
    // cut text squeezed as little as it then needs.
    FittedText fitText(FontQuad& font) const;

    std::int32_t side;                       // 0 or 1
    std::u16string text;                     // shown beside the oval
    std::int32_t amount;                     // points it gave when made
    float progress = 0.0f;                   // 0 at the start .. 1 arrived
    Vector3 restPosition{0.0f, 0.0f, 0.0f};  // where it comes to rest; set by the HUD
};
