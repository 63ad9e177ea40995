#pragma once
// The high-score tables' further options: the world-wide tables (a page of the web
// service, opened in the browser once the program has closed), the upload of the local
// tables (after the network wizard, which it opens first when it was never finished) and
// the reset of all five tables after a question.
//
// Deleted by the screen stack when it closes. Main thread only.
#include "ui/ContextMenu.h"

class MenuButton;
class MenuItemLink;

class ContextHighScoresOnline : public ContextMenu {
public:
    ContextHighScoresOnline();

    // The menu's tick; then Reset clears the tables and the highlighted row, and Upload
    // opens the upload (or, before the network set-up was done, the network wizard).
    void tickContents(double time, double dt) override;

    MenuItemLink* pWorldWide = nullptr;  // children of the screen
    MenuButton* pUploadScores = nullptr;
    MenuButton* pResetScores = nullptr;
};
