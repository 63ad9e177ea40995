#pragma once
// The high-score tables. For now a title and a Back item, reachable and closable.
#include <cstdint>

#include "ui/ContextMenu.h"

class ContextHighScores : public ContextMenu {
public:
    // tableIndex: 5 from the title menu, else the finished game's table.
    explicit ContextHighScores(std::int32_t tableIndex);

    std::int32_t tableIndex;
};
