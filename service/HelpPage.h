#pragma once
// The on-line help page that the game's Help screen opens in the browser.
#include <string>

class HelpPage {
public:
    static std::string render();
};
