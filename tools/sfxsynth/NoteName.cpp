#include "NoteName.h"

#include <cctype>
#include <charconv>
#include <cmath>

std::optional<int> NoteName::number(std::string_view name) {
    static constexpr int kSemitones[7] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
    if (name.size() < 2) return std::nullopt;
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
    if (letter < 'a' || letter > 'g') return std::nullopt;
    int semitone = kSemitones[letter - 'a'];
    std::size_t i = 1;
    if (name[i] == '#') {
        ++semitone;
        ++i;
    } else if (name[i] == 'b' && i + 1 < name.size()) {
        --semitone;
        ++i;
    }
    int octave = 0;
    const auto [end, error] = std::from_chars(name.data() + i, name.data() + name.size(), octave);
    if (error != std::errc() || end != name.data() + name.size() || i == name.size()) return std::nullopt;
    if (octave < 0 || octave > 9) return std::nullopt;
    return 12 * (octave + 1) + semitone;
}

double NoteName::frequency(int number) { return 440.0 * std::pow(2.0, (number - 69) / 12.0); }
