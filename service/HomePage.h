#pragma once
// The service's home page, which the game's Website item opens: what the game is, with
// links to the world-wide tables and the help page.
#include <string>

class HomePage {
public:
    static std::string render();
};
