#pragma once
#include <optional>
#include <string_view>

// NoteName: pitch names in scientific notation ("a4" = 440 Hz, "c#5", "bb2")
// to frequencies in equal temperament.
class NoteName {
public:
    // MIDI-style number (c4 = 60), or nothing when the text is no note name.
    static std::optional<int> number(std::string_view name);
    static double frequency(int number);
};
