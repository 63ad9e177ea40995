#include "ui/TextureLoading.h"

#include "engine/ErrorManager.h"
#include "render/Quad.h"
#include "render/QuadGrid.h"
#include "render/Texture.h"

Texture* loadTextureFile(int flags, const std::u16string& path) {
    return new Texture(static_cast<std::uint32_t>(flags), path);
}

std::vector<Skin*> textureSkins(Texture* texture) { return texture->skins; }

Skin* joinSkins(Texture* owner, int columns, int rows, const std::vector<Skin*>& cells, int anchor) {
    auto* grid = new QuadGrid();
    grid->setSize(columns, rows);
    for (std::size_t i = 0; i < cells.size() && i < grid->cells.size(); ++i) {
        // A joined picture is made of plain quads: the pictures it joins each fit one texture.
        auto* quad = dynamic_cast<Quad*>(cells[i]);
        QOR_ASSERT("joinSkins", quad != nullptr);
        grid->cells[i] = quad;
    }
    grid->layout();
    if (anchor >= 0) grid->setAnchor(anchor);
    owner->skins.push_back(grid);
    return grid;
}
