#pragma once
// Message counters of one connection over one window of time (1 s by default). The
// sixteen kind counters are four rows of the four message kinds; row 0 counts the
// messages sent. Windows are made and summed by NetConnection::getCurrentStats.
#include <array>
#include <cstdint>

#include "engine/QorBase.h"

class NetStats : public QorBase {
public:
    static constexpr int kRows = 4;
    static constexpr int kKinds = 4;
    static constexpr int kSentRow = 0;

    explicit NetStats(double start);

    void reset();                     // every counter 0
    void add(const NetStats& other);  // every counter of `other` added to this one's

    std::array<std::uint32_t, 10> counters{};
    double start = 0.0;  // s since the engine started
    double end = 0.0;    // start + span
    double span = 1.0;   // s
    std::array<std::array<std::uint32_t, kKinds>, kRows> kinds{};
};
