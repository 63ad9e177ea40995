#pragma once
// A modal message for the user. Without a display the text goes to standard error.
#include <string>

namespace MessageBox {
// Blocks until the user closes the box. Always also writes the text to standard error.
void showError(const std::string& title, const std::string& text);
}  // namespace MessageBox
