#pragma once
// The review picture of all game art: every texture on a checkerboard (so transparency
// shows), its skins outlined and numbered, with path, registered name and size above it.

#include <string>
#include <vector>

#include "BakedTexture.h"

namespace artbake {

class ContactSheet {
public:
    // Writes a PNG of the given textures, in the given order. Throws std::runtime_error when
    // the file cannot be written.
    static void write(const std::vector<const BakedTexture*>& textures, const std::string& pngPath);
};

}  // namespace artbake
