#pragma once
// The outermost layer of the process: it installs the crash handler, records the
// command line, refuses to start a second copy (of the same user), creates the one
// window and runs the message loop. Whenever no event waits, the loop calls the idle tick, which builds the
// engine and the application once the window has the focus and then runs one frame.
#include <string>
#include <vector>

#include "runtime/Application.h"

class Window;

namespace WindowShell {
// The program entry, running the application that `factory` builds. Returns the exit
// status: 0 when another copy runs or no window can be made, otherwise 0 after a normal
// close.
int run(int argc, char** argv, ApplicationFactory factory);

// The factory of the application that createQOR builds.
void setApplicationFactory(ApplicationFactory factory);
// Builds the engine object and the application object, then the first start-up stage.
void createQOR(Window& window);
// Destroys the application object, then the engine object.
void deleteQOR();
// The idle tick: false asks for the window to close.
bool tick(Window& window);
// Tears down and opens the web page chosen before exit.
void onClose();
// Hands `address` (see resolveAddress) to the system's opener, adding to the log's file
// the command run and whether it started (and its status when it ended within a second).
void openPage(const std::u16string& address);
// What the browser is given for `address`: web addresses and absolute paths as they are,
// a document name resolved against the program's folder.
std::u16string resolveAddress(const std::u16string& address);
// True when another running copy holds the lock file in the data folder; otherwise
// this process takes the lock and keeps it until it ends.
bool isAlreadyRunning();
}  // namespace WindowShell

// Set by the application's language change; served by the idle tick after the frame.
extern bool restartRequested;
