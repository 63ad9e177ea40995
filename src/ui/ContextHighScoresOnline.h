#pragma once
// The high-score tables' further options: the world-wide table page (the program ends
// and the page opens in the browser), the upload of the local tables and the reset of
// all five tables after a question. The upload and the network wizard it may need
// first stand as titled screens with a Back item until the network screens are built.
//
// Deleted by the screen stack when it closes. Main thread only.
#include "ui/ContextMenu.h"

class MenuButton;
class MenuItemLink;

class ContextHighScoresOnline : public ContextMenu {
public:
    static constexpr const char16_t* kWorldWidePage = u"/tv2/highscoretable.php";

    ContextHighScoresOnline();

    // The menu's tick; then Reset clears the tables and the highlighted row, and Upload
    // opens the upload (or, before the network set-up was done, the network wizard).
    void tickContents(double time, double dt) override;

    MenuItemLink* pWorldWide = nullptr;  // children of the screen
    MenuButton* pUploadScores = nullptr;
    MenuButton* pResetScores = nullptr;
};
