#pragma once
// For display tests that tap keys through the X server quicker than a frame: waiting
// until a whole tap is in SDL's hands without reading any state in between.
#include <SDL.h>

#include <chrono>

namespace KeyTap {
// Takes the server's events into SDL until the release of `key` is waiting in SDL's
// queue, so that everything sent before it is in as well; false after 3 s without it.
inline bool takeInUntilReleased(SDL_Scancode key) {
    for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
         std::chrono::steady_clock::now() < end;) {
        SDL_PumpEvents();
        SDL_Event waiting[64];
        const int n = SDL_PeepEvents(waiting, 64, SDL_PEEKEVENT, SDL_KEYUP, SDL_KEYUP);
        for (int i = 0; i < n; ++i)
            if (waiting[i].key.keysym.scancode == key) return true;
        SDL_Delay(1);
    }
    return false;
}
}  // namespace KeyTap
