#pragma once
// A mock game screen for reviewing the art together: data/gfx/preview-scene.txt places
// skins the way the game would (world units, y up, one unit per pixel at 800 x 480), and
// this draws them in order into a PNG. Lines:
//   camera   <x> <y>                                     centre of the 800 x 480 view
//   clear    <#rrggbb>
//   draw     <texture name> <skin> <x> <y> [scale=<s>] [sx=<s>] [sy=<s>] [rot=<degrees>]
//            [mirror=1] [tint=<#rrggbb>] [alpha=<0..1>] [anchor=bottom|bottomleft|topleft|left|right]
//   repeat   <count> <dx> <dy> followed by one draw line: that draw, count times, shifted
//   text     <font> <x> <y> <first position> <spacing> <capital line> <small line> <#rrggbb>
//            <text...>: a line of a bitmap font, top-left at (x, y), as the game lays it
//            out; with a capital line of 0 or more, accented letters are composed from a
//            base letter and an accent the way the game does

#include <string>
#include <vector>

#include "BakedTexture.h"

namespace artbake {

class ScenePreview {
public:
    // Throws std::runtime_error naming the line for unknown textures or skins.
    static void write(const std::vector<const BakedTexture*>& textures, const std::string& sceneFile,
                      const std::string& pngPath);
};

}  // namespace artbake
