#pragma once
// One local high-score table: its ten names and ratings, the row of the place just
// reached highlighted in a pulsing colour, and "More options..." to the world-wide
// page, the upload and the reset. Opened from the title menu it starts on table 0 with
// a selector over the five tables; opened after a game it shows that game's table only.
//
// Reads the configuration record's tables and the application's lastHighScorePlace; a
// table value that is out of range never indexes the record. Deleted by the screen
// stack when it closes. Main thread only.
#include <cstdint>

#include "render/UColor.h"
#include "ui/ContextMenu.h"

class MenuButton;
class MenuItemChoice;

class ContextHighScores : public ContextMenu {
public:
    static constexpr std::int32_t kAllTables = 5;  // the title menu's index: a selector
    static constexpr UColor kPulseLow = 0xFF80FF00u;
    static constexpr UColor kPulseHigh = 0xFFC0FF80u;
    static constexpr double kPulseRate = 16.0;  // radians per second
    static constexpr float kNameX = -250.0f;
    static constexpr float kScoreX = 250.0f;
    static constexpr float kFirstRowY = 120.0f;
    static constexpr float kRowStep = 30.0f;

    // tableIndex: 0..4 shows that table; 5 (or any other value) the tables with a selector.
    explicit ContextHighScores(std::int32_t tableIndex);

    // The menu's tick, the highlight's pulse, then "More options..." opens its screen.
    void tickContents(double time, double dt) override;
    // The menu, then the rows.
    void renderContents() override;
    // The ten rows of the table shown: name and rating, the row of lastHighScorePlace in
    // the pulsing colour.
    void drawRows();

    // The pulsing colour at `t` s of the screen's clock.
    static UColor pulseColour(double t);
    // The table shown, within 0..4.
    std::int32_t shownTable() const;

    UColor highlightColour = kPulseLow;        // of the highlighted row, this frame
    std::int32_t table = 0;                    // 0..4; bound to the selector when there is one
    MenuItemChoice* pTableSelector = nullptr;  // child of the screen; null for a fixed table
    MenuButton* pMoreOptions = nullptr;        // child of the screen
};
