#pragma once
// The standard GUI theme of the menus. Owned by Global, built by the second start-up
// stage. For now it holds nothing: the menus that draw with it bring its frames.
#include "engine/QorBase.h"

class GUIthemeStandard : public QorBase {
public:
    GUIthemeStandard() = default;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;
};
