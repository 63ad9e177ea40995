#pragma once
// A modal message for the user. Without a display the text goes to standard error.
#include <string>

namespace MessageBox {
// How long an error box waits for the user: long enough to read it, short enough that a
// box nobody sees (behind another window, on a screen nobody watches) does not hold the
// program, and with it the player's next start, for ever. What it said stays in the log.
constexpr unsigned kCloseAfterSeconds = 60;

// Blocks until the user closes the box, or until it closes by itself after
// `closeAfterSeconds` (0: it waits for the user alone). Always also writes the text to
// standard error ("title: text", or the text alone when it already starts with
// "title:"). Only the process that started the video shows a box, and only on a display
// (not on the offscreen and dummy drivers).
//
// The box may run in a child process of its own (the video layer forks one to draw
// it). That child never outlives the program: it ends when the program dies, however
// it dies, and on SIGTERM. While the box is up, SIGTERM and SIGINT end the program at
// once instead of asking it to close, as there is nothing left to close cleanly.
void showError(const std::string& title, const std::string& text, unsigned closeAfterSeconds = kCloseAfterSeconds);
}  // namespace MessageBox
