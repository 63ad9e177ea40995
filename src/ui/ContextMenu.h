#pragma once
// The base of every menu screen (title menu, options and rules screens, pause screen,
// popups): a screen whose children are menu items and other widgets, and which lets
// the user move between them with the keyboard or a joystick as well as the mouse.
//
// Keyboard and pad navigation moves the system pointer: a direction key puts it on the
// best navigation point in that direction, and the activate key, on release, makes a
// synthetic mouse click there. So every widget handles only the pointer. The keys start
// from the pointer while it is on the picture; once the mouse has left the picture they
// start from the navigation point last under the pointer in this menu (the first point
// when none was), never from the edge where the pointer was left.
//
// Screen units: the virtual screen, x from the left edge and y up from the bottom. The
// menu's children live in its world units (origin mid-screen, y up), which its camera
// maps to screen units. The band along the bottom edge where the hovered item's help line
// shows belongs to that line: a menu whose items reach into it is drawn raised as a whole
// (its camera looks below the middle), as far as it takes to keep them clear of it.
//
// Process-wide: the navigation mode (1 mouse, 2 keys), the frame of its last change,
// and the layout values that mirror menus in a right-to-left language (set by every
// menu's construction). Main thread only.
#include <cstdint>

#include "engine/Link.h"
#include "engine/Vector3.h"
#include "render/Context.h"

class MenuNavEntry;
class NavigationTarget;
class QorBase;

class ContextMenu : public Context {
public:
    enum Direction { kUp = 0, kDown = 1, kLeft = 2, kRight = 3, kNearest = 4 };
    enum NavigationMode { kMouseNavigation = 1, kKeyNavigation = 2 };

    ContextMenu();
    ~ContextMenu() override;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    void onInputModeChange() override;
    void onActivate(bool first) override;
    void onDeactivate(bool closing) override;
    // Both place the camera first, so that the pointer and the picture follow the items.
    void tick(double time, double dt) override;
    void render() override;
    void tickContents(double time, double dt) override;
    void renderContents() override;

    // Appends `widget` as the last child and enters it in the navigation list.
    void addItem(QorBase* widget);
    // Enters `widget` (a NavigationTarget; anything else is passed over) in the list.
    MenuNavEntry* addNavigationEntry(QorBase* widget);
    // The best navigation point from `from` in `direction`, or `from` when none counts.
    Vector3 findNavigationTarget(const Vector3& from, int direction);
    // > 0 for a point worth going to: 256 x cos(angle to the direction) / distance.
    static float scoreNavigationTarget(const Vector3& from, const Vector3& candidate, int direction);
    static void setMenuNavigationMode(int mode);
    // On touch input, navigation goes back to the mouse.
    void checkNavigationMode();

    // Between this menu's world units (at the camera's target depth) and screen units.
    Vector3 worldToScreen(const Vector3& p) const;
    Vector3 screenToWorld(const Vector3& p) const;

    std::int32_t rowSpacing = 50;
    std::int32_t marginY = 40;
    std::int32_t marginX = 40;
    std::int32_t cornerX = 0;                     // W / 2 + rowSpacing / 2 - marginX
    std::int32_t cornerY = 0;                     // H / 2 - marginY
    QorBase* navigationList;                      // owned; its children are the MenuNavEntry records
    Vector3 rememberedPointer{0.0f, 0.0f, 0.0f};  // screen units
    std::uint8_t bActivationArmed = 0;
    Link pointedWidget;    // the navigation widget last under the pointer; empty when none was
    int pointedIndex = 0;  // which of its navigation points

    static int navigationMode;
    static int lastNavigationModeFrame;
    static int defaultCaptionLocation;  // 4 left of items, 6 right of them (right-to-left)
    static float horizontalSign;        // +1, or -1 right-to-left

private:
    struct NavigationPoint {
        Vector3 at;                // screen units
        QorBase* widget;           // the widget entered in the list
        NavigationTarget* target;  // the same widget as a navigation target
        int index;                 // of the point among the widget's
    };

    void handleNavigationKeys();
    // Notes the navigation point under the pointer, while the pointer is on the picture.
    void notePointedItem();
    // Where the keys start: the pointer, or once the mouse has left the picture, the
    // point last under it (the first point when none was, or its widget is gone).
    Vector3 keyStart();
    // Units the menu is drawn above its layout: as far as it takes for its lowest item,
    // shadow included, to keep a little clear of the help line's band; 0 when none
    // reaches so low. Whole units, so that the camera's snap keeps them.
    float getHelpLineLift();
    void placeCamera();
    void drawHelpLine();
    template <class Visit>
    void forEachNavigationPoint(Visit visit);
    static int virtualWidth();
    static int virtualHeight();
};
