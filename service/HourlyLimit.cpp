#include "HourlyLimit.h"

#include <algorithm>

namespace {
constexpr std::int64_t kHour = 3600;
}

bool HourlyLimit::take(const std::string& address, std::int64_t now) {
    std::lock_guard lock(mutex_);
    if (recent_.size() >= sweepAt_) forgetOld(now);
    std::deque<std::int64_t>& times = recent_[address];
    while (!times.empty() && times.front() <= now - kHour) times.pop_front();
    if (times.size() >= static_cast<std::size_t>(std::max(perHour_, 0))) {
        if (times.empty()) recent_.erase(address);
        return false;
    }
    times.push_back(now);
    return true;
}

void HourlyLimit::giveBack(const std::string& address, std::int64_t time) {
    std::lock_guard lock(mutex_);
    const auto found = recent_.find(address);
    if (found == recent_.end()) return;
    std::deque<std::int64_t>& times = found->second;
    if (const auto at = std::find(times.begin(), times.end(), time); at != times.end()) times.erase(at);
    if (times.empty()) recent_.erase(found);
}

std::size_t HourlyLimit::addressCount() {
    std::lock_guard lock(mutex_);
    return recent_.size();
}

// Sweeps out the addresses whose latest time has passed the hour; the next sweep waits
// until as many more are remembered, so that sweeps cost a constant share of the takes.
void HourlyLimit::forgetOld(std::int64_t now) {
    std::erase_if(recent_,
                  [now](const auto& entry) { return entry.second.empty() || entry.second.back() <= now - kHour; });
    sweepAt_ = std::max<std::size_t>(1024, 2 * recent_.size());
}
