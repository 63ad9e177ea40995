#pragma once
// Writes a finished texture the way the game reads it: an uncompressed 32-bit TGA image,
// the skin file (image name + ".ini", one "Skin %d" section per skin) and the skin record
// for archive mode (image name + ".preload", little-endian: version 1, image width, image
// height, alpha flag, skin count, then six s32 per skin).

#include <cstdint>
#include <string>
#include <vector>

#include "BakedTexture.h"

namespace artbake {

class TextureWriter {
public:
    // Writes the three files under archiveStage/path (archiveStage: the folder staging the
    // texture's archive), creating folders as needed, and returns their paths. Throws
    // std::runtime_error when a file cannot be written.
    static std::vector<std::string> write(const BakedTexture& texture, const std::string& archiveStage);

    static std::vector<uint8_t> encodeTga(const Image& image);
    static std::string encodeSkinIni(const std::vector<SkinRect>& skins);
    static std::vector<uint8_t> encodePreload(const Image& image, const std::vector<SkinRect>& skins);

    // Writes bytes to a temporary file beside `path` and renames it into place, so a
    // stopped build never leaves a half-written file that looks finished.
    static void writeFileAtomically(const std::string& path, const void* data, size_t size);
};

}  // namespace artbake
