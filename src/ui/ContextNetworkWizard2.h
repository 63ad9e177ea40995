#pragma once
// The network wizard's second page: the player's country. Next marks the wizard done
// in the configuration record (which the crash report and the score upload wait for)
// and closes the page; Cancel closes it without. Deleted by the screen stack when it
// closes. Main thread only.
#include "ui/ContextMenu.h"

class CountrySelector;
class MenuButton;

class ContextNetworkWizard2 : public ContextMenu {
public:
    ContextNetworkWizard2();
    static ClassInfo classInfo;
    ClassInfo* getClass() const override;

    void tickContents(double time, double dt) override;

    CountrySelector* pCountry = nullptr;  // children of the screen
    MenuButton* pNext = nullptr;
};
