#include "render/FontGDI.h"

#include "engine/ClassInfo.h"

QOR_DEFINE_CLASS(FontGDI, QorBase, nullptr)

FontGDI::FontGDI(std::u16string face_, int size_, Vector3 scale_) : face(std::move(face_)), size(size_), scale(scale_) {}

ClassInfo* FontGDI::getClass() const { return &classInfo; }
