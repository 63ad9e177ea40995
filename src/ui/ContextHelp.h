#pragma once
// The Help screen, opened from the options menu and the network wizard: links to the
// local documentation and to the web service's help page, each of which ends the program
// and has the page opened once it has closed, and Back, which leaves everything running.
// Built whole by its constructor, so it can also be made through the class registry
// ("ContextHelp"); the caller pushes it.
#include "ui/ContextDialog.h"

class MenuItemLink;

class ContextHelp : public ContextDialog {
public:
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    static constexpr const char16_t* kDocumentation = u"readme.htm";  // beside the program
    static constexpr const char16_t* kOnlineHelpPath = u"/tv2/onlinehelp.php";

    ContextHelp();

    MenuItemLink* pDocumentation = nullptr;  // children of the screen
    MenuItemLink* pOnlineHelp = nullptr;

private:
    void openHelp();
};
