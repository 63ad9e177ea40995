#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "LayerSettings.h"
#include "ReverbSettings.h"

// Score: a piece of music: instruments, patterns of notes and the song that
// plays patterns side by side. Plain data, filled by ScoreParser and read by
// MusicRenderer. Times inside patterns are in beats.
struct Score {
    struct Instrument {
        std::string name;
        std::vector<LayerSettings> layers;
        double gain = 1.0;      // linear
        double pan = 0.0;       // -1 left .. 1 right
        double send = 0.15;     // share sent to the reverb
        double legato = 0.92;   // share of a note's length it is held
        double humanize = 0.0;  // random +- seconds on note starts
    };

    struct Note {
        double beat = 0.0;       // start within the pattern
        double length = 1.0;     // beats
        double frequency = 0.0;  // Hz
        double velocity = 1.0;   // 0..1
    };

    struct Pattern {
        std::string name;
        std::size_t instrument = 0;  // index into instruments
        std::vector<Note> notes;
        double length = 0.0;  // beats; the pattern repeats with this period
    };

    struct Block {
        int bars = 1;
        std::vector<std::size_t> patterns;  // indexes into patterns, played together
    };

    std::string sourceFile;
    std::string output;    // path of the .ogg below the output folder
    double tempo = 120.0;  // beats per minute
    int beatsPerBar = 4;
    double swing = 0.0;       // 0..0.5: delay of off-beat eighths, as a share of an eighth
    double loudness = -20.0;  // dBFS RMS target of the whole mix
    std::uint64_t seed = 1;
    ReverbSettings reverb;
    std::vector<Instrument> instruments;
    std::vector<Pattern> patterns;
    std::vector<Block> song;

    double secondsPerBeat() const { return 60.0 / tempo; }
    int totalBars() const {
        int bars = 0;
        for (const Block& b : song) bars += b.bars;
        return bars;
    }
    double lengthSeconds() const { return totalBars() * beatsPerBar * secondsPerBeat(); }
};
