#pragma once
// A font rasterised from a system typeface; the engine's default font draws the
// console and the debug overlays.
#include <string>

#include "engine/QorBase.h"
#include "render/Vector3.h"

class FontGDI : public QorBase {
public:
    FontGDI(std::u16string face, int size, Vector3 scale);
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    std::u16string face;  // the typeface's family name
    int size = 0;         // the size argument the font was made with
    Vector3 scale{1.0f, 1.0f, 1.0f};
};
