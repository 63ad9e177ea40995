#include "net/NetStats.h"

NetStats::NetStats(double start_) : start(start_), end(start_ + 1.0) {}

void NetStats::reset() {
    counters.fill(0);
    for (auto& row : kinds) row.fill(0);
}

void NetStats::add(const NetStats& other) {
    for (std::size_t i = 0; i < counters.size(); ++i) counters[i] += other.counters[i];
    for (int r = 0; r < kRows; ++r)
        for (int k = 0; k < kKinds; ++k) kinds[r][k] += other.kinds[r][k];
}
