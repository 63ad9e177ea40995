#pragma once
// The screen offered at start-up after a crash: it says that an error report was found
// and, on Next, sends every crash file that exists (log copy, dump, screenshot, network
// trace) to the web service's "/tv2/crashreport.php" as file parts of one form, showing
// the outcome in its message viewer. Sending needs the network wizard done: until then
// Next is disabled and a "Network Wizard..." button opens the wizard above this screen.
//
// When the screen closes with the wizard done, the crash files are deleted, so the
// screen does not come back: after a report was sent, or when the player cancels
// instead of sending. A report that failed to send keeps them, so that the next start
// offers it again; closed before the wizard was done, they stay as well. Escape does not
// close the screen: only Cancel and Finish do.
//
// Deleted by the screen stack when it closes; a request still running goes on alone
// and frees itself. Main thread only.
#include <memory>
#include <string>

#include "ui/ContextMenu.h"

class HttpRequest;
class MenuButton;
class MessageViewer;

class ContextCrashReport : public ContextMenu {
public:
    ContextCrashReport();
    ~ContextCrashReport() override;
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    // The menu's activation; Next is enabled exactly when the wizard is done, the wizard
    // button exactly when it is not (this runs again on coming back from the wizard).
    void onActivate(bool first) override;
    void tickContents(double time, double dt) override;

    // The crash files in the order they are sent, with their form part names.
    struct CrashFile {
        std::u16string (*path)();
        const char16_t* partName;
    };
    static const CrashFile kCrashFiles[4];
    // Deletes the log copy, screenshot, network trace and dump; a missing one is fine.
    static void deleteCrashFiles();

    MessageViewer* pViewer = nullptr;       // child of the screen
    std::shared_ptr<HttpRequest> pRequest;  // null until Next is first pressed
    MenuButton* pNext = nullptr;            // child of the screen
    MenuButton* pNetworkWizard = nullptr;   // child; null when the wizard was done at construction
    bool bSendFailed = false;               // the report could not be sent: its files stay

private:
    static bool wizardDone();
    void pollRequest();
    void startReport();
};
