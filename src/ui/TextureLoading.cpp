#include "ui/TextureLoading.h"

#include <map>

#include "engine/FileManager.h"
#include "engine/Format.h"
#include "engine/MemoryFile.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qor.h"
#include "render/Quad.h"
#include "render/Texture.h"

// Until image files can be decoded, each texture is a blank one of the image's size
// whose skins come from its skin table: every name, size and anchor is right, and
// nothing shows.
namespace {
std::map<const Texture*, std::vector<Skin*>>& skinLists() {
    static std::map<const Texture*, std::vector<Skin*>> lists;
    return lists;
}

int readU16(const ByteBuffer& b, std::uint32_t at) { return at + 1 < b.size ? b.pData[at] | b.pData[at + 1] << 8 : 0; }
}  // namespace

Texture* loadTextureFile(int flags, const std::u16string& path) {
    MemoryFile image(0, path);
    auto* texture = new Texture(readU16(image.block, 12), readU16(image.block, 14), flags);
    std::vector<Skin*>& skins = skinLists()[texture];
    skins.clear();
    const std::u16string iniPath = path + u".ini";
    if (!qor->pFileManager->exists(iniPath)) return texture;
    MemoryFile iniBytes(0, iniPath);
    MemoryIniFile ini(iniBytes.block);
    for (int i = 0;; ++i) {
        const std::u16string section = formatString(u"Skin %d", i);
        if (!ini.hasKey(section, u"width")) break;
        auto* quad = new Quad();
        quad->pTexture = texture;
        const int left = ini.getInt(section, u"left"), top = ini.getInt(section, u"top");
        quad->setSourceRect(left, top, top + ini.getInt(section, u"height"), left + ini.getInt(section, u"width"));
        quad->origin.x = static_cast<float>(ini.getInt(section, u"origin_adjust_x"));
        quad->origin.y = static_cast<float>(ini.getInt(section, u"origin_adjust_y"));
        texture->addChild(quad);
        skins.push_back(quad);
    }
    return texture;
}

std::vector<Skin*> textureSkins(Texture* texture) {
    auto it = skinLists().find(texture);
    return it == skinLists().end() ? std::vector<Skin*>{} : it->second;
}

Skin* joinSkins(Texture* owner, int columns, int rows, const std::vector<Skin*>& cells, int anchor) {
    auto* grid = new Skin();
    float width = 0.0f, height = 0.0f;
    for (int c = 0; c < columns && c < static_cast<int>(cells.size()); ++c) width += cells[c]->width;
    for (int r = 0; r < rows && r * columns < static_cast<int>(cells.size()); ++r)
        height += cells[static_cast<std::size_t>(r * columns)]->height;
    grid->width = width;
    grid->height = height;
    if (anchor >= 0) grid->setAnchor(anchor);
    owner->addChild(grid);
    skinLists()[owner].push_back(grid);
    return grid;
}
