#include "ui/GUItheme.h"

#include "engine/ErrorManager.h"
#include "engine/Qor.h"
#include "engine/ResourceManager.h"
#include "render/Quad.h"
#include "ui/NineSliceFrame.h"

GUItheme::StyledWidget::~StyledWidget() {
    for (NineSliceFrame*& face : faces) {
        if (face) face->destroy();
        face = nullptr;
    }
}

void GUItheme::rebuildFrame(StyledWidget& widget, const std::u16string& texture) {
    static constexpr int kSkinOfFace[3] = {1, 0, 2};
    for (int i = 0; i < 3; ++i) {
        if (widget.faces[i]) widget.faces[i]->destroy();
        const std::u16string name = texture + u":" + static_cast<char16_t>(u'0' + kSkinOfFace[i]);
        auto* source = dynamic_cast<Quad*>(qor->resources().find(true, name));
        QOR_ASSERT("GUItheme::rebuildFrame", source != nullptr);
        auto* face = new NineSliceFrame(source);
        face->setMargins(widget.margins[0], widget.margins[1], widget.margins[2], widget.margins[3]);
        widget.faces[i] = face;
    }
}
