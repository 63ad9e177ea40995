#pragma once
// The network wizard's first page: the connection test. Next binds a UDP socket once
// (so that a desktop firewall asks while the page explains why) and posts the standard
// fields to the web service's "/tv2/nettest.php". A framed reply (ConnectionTestReply)
// sets the configuration's master server and may carry a line for the player; a plain
// printable reply is shown line by line. After the outcome Next leads to the second
// page (the country), also after a failure.
//
// With "Run test on desktop" on in full screen, the first Next only switches to a
// window; the saved full-screen setting comes back whenever the page closes.
//
// Deleted by the screen stack when it closes; a request still running then goes on
// alone and frees itself. Main thread only.
#include <cstdint>
#include <memory>

#include "ui/ContextMenu.h"

class HttpRequest;
class MenuButton;
class MenuItemCheckbox;
class MenuNavEntry;
class MessageViewer;

class ContextNetworkWizard1 : public ContextMenu {
public:
    ContextNetworkWizard1();
    // Puts the saved full-screen setting back and applies the settings.
    ~ContextNetworkWizard1() override;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    void tickContents(double time, double dt) override;

    MessageViewer* pViewer = nullptr;       // child of the screen
    std::shared_ptr<HttpRequest> pRequest;  // null until the test starts
    MenuButton* pNext = nullptr;            // children of the screen
    MenuButton* pHelp = nullptr;
    MenuItemCheckbox* pRunOnDesktop = nullptr;
    std::uint8_t bSavedFullScreen = 0;  // bFullScreen of the configuration at construction
    std::uint8_t bRunOnDesktop = 0;     // the check box's value

private:
    void pollRequest();
    void showReply();
    void onNext();
    void startTest();
    void disableCheckbox();
    void restoreFullScreen();

    MenuNavEntry* pCheckboxEntry = nullptr;  // the check box's navigation entry, while it has one
};
