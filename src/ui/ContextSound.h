#pragma once
// The sound options: audio quality, the two volumes, in-game music and mute, bound to
// the configuration record. The volumes and mute apply at once; closing the screen
// applies everything again (keeping the display mode). A new audio quality takes
// effect at the next start, as its hint says.
#include "ui/ContextMenu.h"

class ContextSound : public ContextMenu {
public:
    ContextSound();

    void onDeactivate(bool closing) override;
};
