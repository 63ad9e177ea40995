#pragma once
// SDL's video for the display tests, on the driver and X server each test asks for,
// whatever an earlier test of the process left running. SDL starts its video once and
// only counts later starts, so a start on another driver or server would otherwise keep
// the first one's, and the test would run on a display it never meant.
//
// Tests start the video through start() alone. A test may leave it running for the next;
// one whose X server goes with it stops it first, with stop().
#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/Window.h"

class TestVideo {
public:
    // SDL's video on `driver` ("x11", on the server DISPLAY names now; "offscreen"), kept
    // when it runs there already and started anew otherwise. SDL_VIDEODRIVER names the
    // driver from here on, for whatever else the test starts. False when it did not start
    // there (it is then stopped).
    static bool start(const char* driver) {
        setenv("SDL_VIDEODRIVER", driver, 1);
        const std::string wanted = placeOf(driver);
        if (SDL_WasInit(SDL_INIT_VIDEO) && place() == wanted) return true;
        stop();
        const char* started = Window::initVideo() ? SDL_GetCurrentVideoDriver() : nullptr;
        if (!started || std::strcmp(started, driver) != 0) {
            stop();
            return false;
        }
        place() = wanted;
        return true;
    }

    // Stops SDL's video however many starts it counts.
    static void stop() {
        while (SDL_WasInit(SDL_INIT_VIDEO)) Window::shutdownVideo();
        place().clear();
    }

    // Stops the video as it goes, after a failed assertion too. Declared after the X server
    // the video runs on, it goes first: video left on a server that has gone would end the
    // process at its next stop.
    class StopAtEnd {
    public:
        StopAtEnd() = default;
        ~StopAtEnd() { stop(); }
        StopAtEnd(const StopAtEnd&) = delete;
        StopAtEnd& operator=(const StopAtEnd&) = delete;
    };

private:
    // The driver, and for X the server, that a start on `driver` would reach.
    static std::string placeOf(const char* driver) {
        const char* display = std::getenv("DISPLAY");
        if (std::strcmp(driver, "x11") != 0 || !display) return driver;
        return std::string(driver) + " on " + display;
    }
    // Where the video that start() brought up runs; empty when it brought none up.
    static std::string& place() {
        static std::string running;
        return running;
    }
};
