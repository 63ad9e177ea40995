#include "platform/MessageBox.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

namespace MessageBox {

void showError(const std::string& title, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    std::fflush(stderr);
    // The offscreen and dummy video drivers have nobody to show a box to.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || !std::strcmp(driver, "offscreen") || !std::strcmp(driver, "dummy")) return;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr);
}

}  // namespace MessageBox
