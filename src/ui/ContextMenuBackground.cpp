#include "ui/ContextMenuBackground.h"

ContextMenuBackground::ContextMenuBackground() = default;
