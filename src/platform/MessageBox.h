#pragma once
// A modal message for the user. Without a display the text goes to standard error.
#include <string>

namespace MessageBox {
// Blocks until the user closes the box. Always also writes the text to standard error
// ("title: text", or the text alone when it already starts with "title:").
//
// The box may run in a child process of its own (the video layer forks one to draw
// it). That child never outlives the program: it ends when the program dies, however
// it dies, and on SIGTERM. While the box is up, SIGTERM and SIGINT end the program at
// once instead of asking it to close, as there is nothing left to close cleanly.
void showError(const std::string& title, const std::string& text);
}  // namespace MessageBox
