#pragma once
// The look of a biplane: a composite skin that picks one of 49 pre-rendered frames for
// the owner's heading (mirroring them for the other half of the circle), tints the body
// in the owner's colour, and adds the markings, a shadow on the water and, under the
// PX-35 mutator, a spinning propeller.
//
// The owner writes `heading` before it is drawn; drawing the owner places the parts at
// its position and scale and draws them. The skin's size is that of the body's first
// frame. Owned by the plane that uses it as its skin; the parts are its members (not in
// the tree) and the textures are the registry's. Main thread only.
#include "render/Renderable.h"
#include "render/Skin.h"

class Texture;

class BiplaneModel : public Skin {
public:
    static constexpr int kFrames = 49;               // per half circle
    static constexpr int kSteps = 96;                // heading steps around the circle
    static constexpr double kPropellerFlip = 0.025;  // s between propeller frames
    static constexpr float kShadowY = -29.0f;        // the shadow's height, just under the water line
    static constexpr UColor kShadowColour = 0x40000000u;
    static constexpr UColor kMarkingsColour = 0xFFC0C0C0u;

    // A model with the "biplane", "biplane-markings" and "propeller" textures.
    BiplaneModel();

    // Swaps the body and markings pictures (e.g. "p35", "p35-markings").
    void setTextures(const char16_t* bodyName, const char16_t* markingsName);
    // Places the parts for `owner` and draws them: shadow, propeller behind, body,
    // markings, propeller in front.
    void draw(Renderable& owner) override;

    // The frame (0 to 48) and the mirroring for a heading in radians.
    static int frameFor(float heading, bool& mirrored);

    float heading = 0.0f;       // radians, written by the owner before drawing
    std::uint8_t plain = 0;     // draw the body only
    std::uint8_t shadow = 1;    // draw the shadow on the water
    int propellerPhase = 0;     // 0 or 1: which set of propeller frames
    double nextFlipTime = 0.0;  // clock time of the next propeller flip

private:
    void placeParts(const Renderable& owner);
    static void showFrame(Renderable& part, Texture* texture, int frame);
    bool propellerShown() const;

    Texture* bodyTexture = nullptr;
    Texture* markingsTexture = nullptr;
    Texture* propellerTexture = nullptr;
    Renderable body, propeller, markings, shadowPart;
};
