#pragma once
// A scene layer whose camera is a BlenderCamera: the game's scene and the menu background.
#include "render/Context.h"

class BlenderCamera;

class ContextBlender : public Context {
public:
    ContextBlender();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // The context's camera, as the blending camera it is.
    BlenderCamera* camera() const;
};
