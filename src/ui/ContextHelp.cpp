#include "ui/ContextHelp.h"

#include "engine/ClassInfo.h"
#include "engine/Qor.h"
#include "language/Language.h"
#include "language/StringIds.h"
#include "ui/MenuItemLink.h"
#include "ui/ScreenFrame.h"
#include "ui/WebAddress.h"

QOR_DEFINE_CLASS(ContextHelp, ContextMenu, (&makeInstance<ContextHelp, BasicLink>))

ClassInfo* ContextHelp::getClass() const { return &classInfo; }

namespace {
std::u16string text(int id) { return qor->language().getString(id); }
}  // namespace

ContextHelp::ContextHelp() { openHelp(); }

void ContextHelp::openHelp() {
    const auto s = static_cast<float>(rowSpacing);
    pDocumentation = new MenuItemLink(0.0f, s, 0.0f, text(StringId::DOCUMENTATION), text(StringId::DOCUMENTATIONHINT));
    pDocumentation->url = kDocumentation;
    addItem(pDocumentation);
    pOnlineHelp = new MenuItemLink(0.0f, 0.0f, 0.0f, text(StringId::ONLINEHELP), text(StringId::ONLINEHELPHINT));
    pOnlineHelp->url = WebAddress::getPageAddress(kOnlineHelpPath);
    addItem(pOnlineHelp);
    // Title, background and Back as on every dialog.
    ScreenFrame::build(this, text(StringId::HELPTITLE));
}
