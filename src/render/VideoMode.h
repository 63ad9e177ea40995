#pragma once
// One display size the options offer: width and height in pixels and the aspect ratio
// named the way players know it (16:9, 4:3, ...). Kept as children of the graphics
// device's mode list, ascending.
#include <string>

#include "engine/QorBase.h"

class VideoMode : public QorBase {
public:
    VideoMode(int width, int height);

    // "1280x720 (16:9)", or "480x800" when the ratio has no shorter name.
    std::u16string toString() const;

    int width;
    int height;
    int aspectX;  // the named ratio, aspectX:aspectY; width:height when it has no name
    int aspectY;
};
