#include "render/QuadGrid.h"

#include <array>

#include "render/Quad.h"
#include "render/Renderable.h"

namespace {
constexpr UColor kWhite = 0xFFFFFFFFu;

float cellWidth(const Quad* q) { return q ? q->width : 0.0f; }
float cellHeight(const Quad* q) { return q ? q->height : 0.0f; }
}  // namespace

void QuadGrid::setSize(int cols_, int rows_) {
    cols = cols_ > 0 ? cols_ : 0;
    rows = rows_ > 0 ? rows_ : 0;
    count = cols * rows;
    cells.resize(static_cast<std::size_t>(count), nullptr);
    vertexBuffer.resize(4 * count);
}

void QuadGrid::layout() {
    width = 0.0f;
    height = 0.0f;
    if (count <= 0) return;
    for (int c = 0; c < cols; ++c) width += cellWidth(cells[c]);
    for (int r = 0; r < rows; ++r) height += cellHeight(cells[static_cast<std::size_t>(r) * cols]);
    float y = height * 0.5f;
    for (int r = 0; r < rows; ++r) {
        float x = -width * 0.5f;
        float h = 0.0f;
        for (int c = 0; c < cols; ++c) {
            const Quad* q = cells[c + static_cast<std::size_t>(cols) * r];
            const float w = cellWidth(q);
            h = cellHeight(q);
            const std::array<float, 4> uv = q ? q->uvRect : std::array<float, 4>{0.0f, 0.0f, 0.0f, 0.0f};
            Vertex* v = vertexBuffer.vertexArray + 4 * (c + cols * r);
            v[0] = Vertex{x, y, 0.0f, kWhite, uv[0], uv[1]};
            v[1] = Vertex{x + w, y, 0.0f, kWhite, uv[2], uv[1]};
            v[2] = Vertex{x, y - h, 0.0f, kWhite, uv[0], uv[3]};
            v[3] = Vertex{x + w, y - h, 0.0f, kWhite, uv[2], uv[3]};
            x += w;
        }
        // Rows stack by the height of their last cell.
        y -= h;
    }
    vertexBuffer.upload();
}

void QuadGrid::draw(Renderable& r) {
    if (count <= 0) return;
    vertexBuffer.vertexArray[0].color = r.color;
    for (int i = 0; i < count; ++i) {
        // An unset cell has nothing to draw.
        if (!cells[i]) continue;
        vertexBuffer.draw(cells[i]->pTexture, VertexBuffer::kTriangleStrip, 4 * i, 4);
    }
}
