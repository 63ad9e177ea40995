#include "game/GameGlobal.h"
#include "runtime/WindowShell.h"

int main(int argc, char** argv) { return WindowShell::run(argc, argv, &GameGlobal::start); }
