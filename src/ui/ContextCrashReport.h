#pragma once
// The screen offered after a crash, above every other start screen. For now it only
// stands in its place: the report is sent, and the crash files removed, by the screen
// itself; until then Escape, a fire key or a touch closes it and the files stay.
#include "render/Context.h"

class ContextCrashReport : public Context {
public:
    ContextCrashReport();
};
