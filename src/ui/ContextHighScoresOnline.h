#pragma once
// The high-score tables' further options: the world-wide tables, the upload of the local
// tables and the reset of all five tables after a question. The world-wide tables, the
// upload and the network wizard the upload may need first stand as titled screens with
// a Back item until the web service and the network screens are built.
//
// Deleted by the screen stack when it closes. Main thread only.
#include "ui/ContextMenu.h"

class MenuButton;

class ContextHighScoresOnline : public ContextMenu {
public:
    ContextHighScoresOnline();

    // The menu's tick; then Reset clears the tables and the highlighted row, Upload opens
    // the upload (or, before the network set-up was done, the network wizard), and
    // World-wide scores its screen.
    void tickContents(double time, double dt) override;

    MenuButton* pWorldWide = nullptr;  // children of the screen
    MenuButton* pUploadScores = nullptr;
    MenuButton* pResetScores = nullptr;
};
