#include "ui/ContextNetworkWizard1.h"

#include <cstring>

#include "engine/ClassInfo.h"
#include "engine/Logger.h"
#include "language/StringIds.h"
#include "net/HttpRequest.h"
#include "net/NetAddress.h"
#include "net/NetConnection.h"
#include "ui/ConnectionTestReply.h"
#include "ui/ContextHelp.h"
#include "ui/ContextMenuBackground.h"
#include "ui/ContextNetworkWizard2.h"
#include "ui/Global.h"
#include "ui/MenuButton.h"
#include "ui/MenuItemBack.h"
#include "ui/MenuItemCheckbox.h"
#include "ui/MenuNavEntry.h"
#include "ui/MessageViewer.h"
#include "ui/RequestLines.h"
#include "ui/ScreenFrame.h"
#include "ui/ScreenStack.h"
#include "ui/WebAddress.h"

QOR_DEFINE_CLASS(ContextNetworkWizard1, ContextMenu, (&makeInstance<ContextNetworkWizard1, BasicLink>))

ClassInfo* ContextNetworkWizard1::getClass() const { return &classInfo; }

namespace {
std::u16string text(int id) { return RequestLines::text(id); }

GameConfiguration& configuration() { return global->configuration; }

// The first bytes (at most 4) of a reply that is text, not a frame or binary data.
bool looksPrintable(const ByteBuffer& reply) {
    if (reply.size == 0) return false;
    for (std::uint32_t i = 0; i < reply.size && i < 4; ++i)
        if (reply.pData[i] < 0x20 || reply.pData[i] > 0x7F) return false;
    return true;
}

MenuButton* cornerButton(ContextMenu* menu, float x, int id, bool back) {
    const auto y = static_cast<float>(-menu->cornerY);
    MenuButton* b = back ? new MenuItemBack(x, y, 0.0f, text(id), u"") : new MenuButton(x, y, 0.0f, text(id), u"");
    b->setWidth(160.0f);
    menu->addItem(b);
    return b;
}
}  // namespace

ContextNetworkWizard1::ContextNetworkWizard1() {
    bDeleteOnClose = 1;
    if (global) hookBefore = global->pMenuBackground;
    bSavedFullScreen = global ? configuration().bFullScreen : 0;
    bRunOnDesktop = global && !configuration().bNetworkWizardDone ? 1 : 0;
    ScreenFrame::addTitle(this, text(StringId::NETWORKWIZARD));
    pViewer = new MessageViewer();
    for (int id : {StringId::NETTESTINTRO1, StringId::NULL_, StringId::NETTESTINTRO2, StringId::NETTESTINTRO3,
                   StringId::NETTESTINTRO4})
        pViewer->addMessage(id == StringId::NULL_ ? u"" : text(id));
    pViewer->centreVertically(0.0f);
    addChild(pViewer);
    const auto cx = static_cast<float>(cornerX);
    cornerButton(this, 80.0f - cx, StringId::CANCEL, true);
    pNext = cornerButton(this, cx - 80.0f, StringId::NEXT, false);
    pHelp = cornerButton(this, 0.0f, StringId::HELP, false);
    pRunOnDesktop = new MenuItemCheckbox(cx - 80.0f, 50.0f - static_cast<float>(cornerY), 0.0f, &bRunOnDesktop,
                                         text(StringId::RUNTESTONDESKTOP), text(StringId::RUNTESTONDESKTOPHINT));
    addChild(pRunOnDesktop);
    pCheckboxEntry = addNavigationEntry(pRunOnDesktop);
    if (!bSavedFullScreen) disableCheckbox();
    ScreenFrame::keepBetweenTitleAndItems(this, pViewer);
}

ContextNetworkWizard1::~ContextNetworkWizard1() {
    pRequest.reset();
    restoreFullScreen();
}

void ContextNetworkWizard1::restoreFullScreen() {
    // Put back and applied whether or not this page switched to a window: closing it
    // always leaves the display as the configuration has it.
    if (!global) return;
    configuration().bFullScreen = bSavedFullScreen;
    global->applySettings(-1, -1);
}

void ContextNetworkWizard1::disableCheckbox() {
    pRunOnDesktop->bDisabled = 1;
    if (pCheckboxEntry) pCheckboxEntry->pendingDelete = 1;  // the navigation passes it over
    pCheckboxEntry = nullptr;
}

void ContextNetworkWizard1::tickContents(double time, double dt) {
    ContextMenu::tickContents(time, dt);
    if (pRequest) pollRequest();
    if (pNext->takeTrigger()) onNext();
    if (pHelp->takeTrigger()) ScreenStack::push(new ContextHelp());
}

void ContextNetworkWizard1::pollRequest() {
    const HttpRequest::State state = pRequest->takeState();
    if (state == HttpRequest::Done) {
        pViewer->addMessage(text(StringId::NETTESTSUCCESS));
        showReply();
        pViewer->addMessage(text(StringId::DONEDOT));
    } else if (state == HttpRequest::Failed) {
        RequestLines::showFailure(*pViewer, *pRequest, StringId::NETTESTFAIL1);
    }
    if (state == HttpRequest::Done || state == HttpRequest::Failed) pNext->bDisabled = 0;
}

void ContextNetworkWizard1::showReply() {
    const ByteBuffer& reply = pRequest->reply;
    if (ConnectionTestReply::isFramed(reply.pData, reply.size)) {
        ConnectionTestReply frame;
        if (!frame.decode(reply.pData, reply.size)) {
            QOR_LOG("ContextNetworkWizard1::tickContents", u"Could not decode reply!");
            return;
        }
        if (frame.masterServer)
            std::memcpy(&configuration().masterServer, frame.masterServer->getSockAddr(), NetAddress::kSockAddrSize);
        if (frame.message) pViewer->addMessage(*frame.message);
    } else if (looksPrintable(reply)) {
        RequestLines::showReplyLines(*pViewer, *pRequest);
    } else {
        QOR_LOG("ContextNetworkWizard1::tickContents", u"Received unprintable reply!");
    }
}

void ContextNetworkWizard1::onNext() {
    if (pRequest) {
        bFinished = 1;
        restoreFullScreen();
        ScreenStack::push(new ContextNetworkWizard2());
        return;
    }
    disableCheckbox();
    const NetAddress none;
    std::memcpy(&configuration().masterServer, none.getSockAddr(), NetAddress::kSockAddrSize);
    if (bRunOnDesktop && configuration().bFullScreen) {
        // The test runs at the next Next, in a window, where a firewall's question shows.
        configuration().bFullScreen = 0;
        global->applySettings(-1, -1);
        return;
    }
    startTest();
}

void ContextNetworkWizard1::startTest() {
    pNext->bDisabled = 1;
    pViewer->addMessage(text(StringId::STARTINGDOTS));
    NetConnection::testFirewall();
    pRequest = HttpRequest::create(WebAddress::getHost(), u"/tv2/nettest.php");
    pRequest->addStandardFields();
    pRequest->start();
}
