#pragma once
// One flag of the language screen: a skin of the texture "languageFlags". Clicking it
// (or choosing it with the keys) makes its language the engine's defaultLanguage and
// closes the top screen, the language screen.
#include <cstdint>

#include "render/Renderable.h"
#include "ui/NavigationTarget.h"

class LanguageFlag : public Renderable, public NavigationTarget {
public:
    // Skin `skinIndex` of "languageFlags", scaled by the hq2x setting; a skin index out
    // of the texture's range is a fatal assertion.
    LanguageFlag(std::int32_t languageIndex, std::int32_t skinIndex);

    void tick(double time, double dt) override;
    // Point 0: the flag's centre in screen units, at the flag's own depth.
    Vector3 getNavigationPoint(int index) override;
    bool isUnderPointer() override;

    std::uint8_t bNavigable = 1;
    std::int32_t languageIndex = 0;  // the built-in language it selects
};
