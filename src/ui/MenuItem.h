#pragma once
// The base of every clickable entry of the menus: a plate drawn from a nine-slice frame
// with a caption beside or inside it, a help line at the bottom of the screen while the
// pointer is over it (drawn by its menu), a highlighted face that fades in under the
// pointer, a short squash-and-stretch pulse when pressed, and a triggered flag the
// owning screen polls and clears. Items never call their screen.
//
// Positions are the menu's world units. In a right-to-left language an item negates
// its x when built, and its caption goes to the other side (ContextMenu's default).
// The item owns both faces; the fonts and the frame textures are shared resources.
#include <cstdint>
#include <string>

#include "render/Renderable.h"
#include "ui/NavigationTarget.h"

class TextFont;

class MenuItem : public Renderable, public NavigationTarget {
public:
    enum CaptionLocation { kCaptionLeft = 4, kCaptionInside = 5, kCaptionRight = 6, kCaptionAbove = 8 };
    static constexpr int kFrameMargin = 16;
    static constexpr float kShadowOffset = 2.0f;  // the frame's shadow lies this far right of and below it

    MenuItem(float x, float y, float z, std::u16string caption, std::u16string helpText);
    ~MenuItem() override;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    void tick(double time, double dt) override;
    void render() override;
    Vector3 getNavigationPoint(int i) override;
    // Whether the pointer is over the plate (a forced highlight aside).
    bool isUnderPointer() override;
    // What the item shows besides its caption, drawn at (x, y, z); nothing here.
    virtual void drawValue(float x, float y, float z);
    // A click: sets bTriggered and plays "mouseClick".
    virtual void onClick();
    // Whether the item was clicked since the last call: reads and clears bTriggered.
    bool takeTrigger();

    // Rebuilds both faces on skins 0 (normal) and 1 (highlighted) of the texture named
    // `texture`, with the given margins, at the present width.
    void setFrames(const std::u16string& texture, int left, int top, int right, int bottom);
    // Both faces this wide (virtual pixels), keeping their own height.
    void setWidth(float width);
    float getFrameWidth() const;
    float getFrameHeight() const;
    // 1, or room / text width when a text wider than room (> 10) must shrink to fit.
    float getTextFitScale(const std::u16string& text, float room) const;
    // The screen units of a point in the world units of the context that holds the item.
    Vector3 toScreen(const Vector3& world) const;
    // The lowest y the item draws at while it rests (no click pulse), its shadow included.
    float getLowestY() const;
    // The highest y the item draws at while it rests: its frame's top, or its caption's
    // where that stands higher (above the frame, or beside a frame lower than a line).
    float getHighestY() const;
    // The help line (disabledText while disabled) on its backing at the bottom of the
    // screen, whose lower edge lies at `bottom` (world units of the menu); the menu draws
    // it for its hovered item after every item, so that none drawn later covers it.
    void drawHelpLine(float bottom);
    // How high the help line with its backing reaches above the screen's lower edge
    // (units): always one line of the small font; 0 while there is no such font.
    static float getHelpLineHeight();

    float baseScale = 1.0f;
    std::int32_t captionLocation;
    std::uint8_t bDisabled = 0;
    std::uint8_t bShadow = 1;
    std::uint8_t bHovered = 0;
    std::uint8_t bForceHighlight = 0;
    std::u16string caption;
    std::u16string helpText;
    std::u16string disabledText;
    std::uint8_t bTriggered = 0;
    double highlight = 0.0;  // 0..1, the opacity of the highlighted face
    UColor normalColour = 0xFFCCCCCCu;
    UColor highlightColour = 0xFFFF0000u;
    UColor captionColour = 0xFFCCCCCCu;
    UColor disabledColour = 0x40000000u;
    TextFont* pFont = nullptr;  // not owned
    Renderable highlightFace;   // its skin (owned) is the highlighted face
    float pulse = 0.0f;         // 1 on a press, down to 0 in a quarter of a second

protected:
    void drawCaption();
    // Draws `text` centred on (x, y, z) in the caption's font and colour, scaled by `fit`.
    void drawValueText(const std::u16string& text, float x, float y, float z, float fit);
    bool isPointerPressOnItem() const;

private:
    float frameWidth = 256.0f;
};
