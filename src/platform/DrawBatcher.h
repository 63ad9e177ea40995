#pragma once
// The draws the device has gathered and not yet sent: consecutive draws that OpenGL can
// take in one call, their vertices already placed in clip space with each draw's tint
// and stage weights, and the state the whole batch is to be drawn in. Strips and fans
// become the lists they stand for, so draws of one kind of primitive can share a call.
//
// The batcher makes no OpenGL calls: the device asks whether a draw can join, closes the
// batch (sending state() and vertices(), then clear()) when it cannot, and appends it.
// Owned by the device; used on its thread only.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/ClipVertex.h"
#include "platform/DeviceMatrix.h"
#include "platform/PrimitiveType.h"

class DeviceTexture;

class DrawBatcher {
public:
    // One draw as the device's states make it.
    struct Draw {
        PrimitiveType type = PrimitiveType::kTriangleList;
        const DeviceTexture* texture = nullptr;  // null: the white texture
        int alphaTestRef = -1;                   // 0..255; -1: the test cannot change the picture
        bool blended = false;                    // the blend changes its pixels
        bool replacing = false;                  // it is not blended and the blend would change its pixels
        bool textureOnly = true;                 // its stage selects the texture for colour and alpha
        std::uint32_t tint = 0xFFFFFFFFu;        // ARGB; white where the stage does not use the factor
        std::uint8_t colourWeight = 255;         // the texture's share of the colour: 255 or 0
        std::uint8_t alphaWeight = 255;          // the same for the alpha
        // What the texel-exactness test needs: it matters only to a linear filter.
        bool linearFilter = false;
        int viewportWidth = 0, viewportHeight = 0;  // pixels
    };

    // What the gathered draws need from OpenGL; valid while vertices() is not empty.
    struct State {
        const DeviceTexture* texture = nullptr;  // null: the white texture
        unsigned mode = 0;                       // OpenGL primitive kind of the vertices (a list)
        int alphaTestRef = -1;                   // -1: no alpha test
        bool blended = false;                    // some draw needs blending
        bool replacing = false;                  // some draw must not be blended
        bool textureOnly = true;                 // every draw's stage selects the texture alone
        bool exact = true;                       // every draw hits texel centres: nearest texel suffices
    };

    bool empty() const { return gathered.empty(); }
    bool uses(const DeviceTexture* texture) const { return !empty() && batch.texture == texture; }
    // Whether `draw` can go to OpenGL in the same call as the gathered draws (always when
    // there are none).
    bool canJoin(const Draw& draw) const;
    // Adds `count` vertices of `draw`, 24-byte vertices as a DeviceVertexBuffer holds them
    // from `source`, placed in clip space by `transform`. Only when canJoin(draw).
    void append(const Draw& draw, const std::uint8_t* source, int count, const DeviceMatrix& transform);
    const State& state() const { return batch; }
    const std::vector<ClipVertex>& vertices() const { return gathered; }
    // Forgets the gathered draws (sent or dropped); their memory stays for the next batch.
    void clear() { gathered.clear(); }

private:
    void joinState(const Draw& draw);
    void placeVertices(const Draw& draw, const std::uint8_t* source, int count, const DeviceMatrix& transform);
    void noteExactness(const Draw& draw, std::size_t firstPlaced);

    State batch;
    std::vector<ClipVertex> gathered;
};
