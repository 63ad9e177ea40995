#include "engine/WindowShell.h"

int main(int argc, char** argv) { return WindowShell::run(argc, argv); }
