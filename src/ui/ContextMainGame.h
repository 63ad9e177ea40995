#pragma once
// The title menu, at the bottom of the start screens. For now it shows the game's logo
// over the moving menu background; each time it comes back on top it saves the user's
// files and clears the highlighted high-score row. Escape asks before the program ends.
#include "render/Context.h"

class ContextMainGame : public Context {
public:
    ContextMainGame();
    void onActivate(bool first) override;
};
