#include "HourlyLimit.h"

#include <arpa/inet.h>
#include <sys/random.h>

#include <algorithm>
#include <iterator>
#include <limits>
#include <random>

namespace {

constexpr std::int64_t kHourMs = 3600 * 1000;
// Entries looked at to find the one a newcomer takes over in a full table.
constexpr int kSample = 8;
// Networks entered between two sweeps at least.
constexpr std::size_t kLeastSweep = 1024;

std::uint64_t mix(std::uint64_t x) {
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9;
    x ^= x >> 27;
    x *= 0x94d049bb133111eb;
    return x ^ (x >> 31);
}

// From the kernel: a std::random_device asks the processor what it offers each time one
// is made, which a virtual machine traps (about 15 us, where a service may make several).
std::uint64_t randomWord() {
    std::uint64_t word = 0;
    if (::getrandom(&word, sizeof word, 0) == sizeof word) return word;
    std::random_device device;
    return (std::uint64_t{device()} << 32) ^ device();
}

std::uint64_t bigEndian(const unsigned char* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | bytes[i];
    return value;
}

}  // namespace

std::size_t HourlyLimit::Hash::operator()(const Network& network) const noexcept {
    return mix(mix(network.bits ^ key) + network.family);
}

HourlyLimit::HourlyLimit(int perHour, std::function<Clock::time_point()> clock, std::size_t networks)
    : perHour_(perHour),
      clock_(std::move(clock)),
      capacity_(std::max<std::size_t>(networks, 1)),
      table_(0, Hash{randomWord()}),
      draw_(randomWord()),
      untilSweep_(kLeastSweep) {}

HourlyLimit::Network HourlyLimit::networkOf(const std::string& address) {
    in_addr v4{};
    if (::inet_pton(AF_INET, address.c_str(), &v4) == 1) return {ntohl(v4.s_addr), 4};
    in6_addr v6{};
    if (::inet_pton(AF_INET6, address.c_str(), &v6) == 1) {
        if (IN6_IS_ADDR_V4MAPPED(&v6)) return {bigEndian(v6.s6_addr + 12, 4), 4};
        return {bigEndian(v6.s6_addr, 8), 6};
    }
    return {std::hash<std::string>{}(address), 0};
}

HourlyLimit::Moment HourlyLimit::now() const {
    const Clock::time_point time = clock_ ? clock_() : Clock::now();
    const std::int64_t ms = std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    const std::int64_t hour = ms / kHourMs - (ms % kHourMs < 0 ? 1 : 0);
    return {hour, ms - hour * kHourMs};
}

void HourlyLimit::Counts::roll(std::int64_t to) {
    if (to <= hour) return;
    previous = to == hour + 1 ? current : 0;
    current = 0;
    hour = to;
}

// The earlier hour counts by the share of it still within the last 60 minutes.
std::uint64_t HourlyLimit::Counts::load(std::int64_t into) const {
    const auto left = static_cast<std::uint64_t>(kHourMs - into);
    return (previous * left + kHourMs - 1) / kHourMs + current;
}

HourlyLimit::Outcome HourlyLimit::take(const std::string& address) {
    if (perHour_ <= 0) return {};
    const Network network = networkOf(address);
    const Moment now = this->now();
    std::lock_guard lock(mutex_);
    auto found = table_.find(network);
    if (found == table_.end() && (found = enter(network, now)) == table_.end()) return {std::nullopt, Refusal::crowded};
    Counts& counts = found->second;
    counts.roll(now.hour);
    if (counts.load(now.into) >= static_cast<std::uint64_t>(perHour_)) return {};
    ++counts.current;
    return {Taken{counts.hour}};
}

void HourlyLimit::giveBack(const std::string& address, Taken taken) {
    const Network network = networkOf(address);
    const Moment now = this->now();
    std::lock_guard lock(mutex_);
    const auto found = table_.find(network);
    if (found == table_.end()) return;
    Counts& counts = found->second;
    counts.roll(now.hour);
    std::uint32_t* count = taken.hour == counts.hour       ? &counts.current
                           : taken.hour + 1 == counts.hour ? &counts.previous
                                                           : nullptr;
    if (count && *count > 0) --*count;
    if (counts.idle()) table_.erase(found);
}

std::size_t HourlyLimit::networkCount() {
    std::lock_guard lock(mutex_);
    return table_.size();
}

// A new entry for `network`, or in a full table the lightest sampled entry handed over
// to it with its counts; the end when that one has no room left.
HourlyLimit::Table::iterator HourlyLimit::enter(const Network& network, Moment now) {
    if (--untilSweep_ == 0) sweep(now);
    if (table_.size() < capacity_) return table_.emplace(network, Counts{now.hour, 0, 0}).first;
    const Table::iterator lightest = this->lightest(now);
    if (lightest->second.load(now.into) >= static_cast<std::uint64_t>(perHour_)) return table_.end();
    auto node = table_.extract(lightest);
    node.key() = network;
    return table_.insert(std::move(node)).position;
}

// The least loaded of the entries in the first buckets that hold kSample of them from a
// random bucket on. The table is not empty.
HourlyLimit::Table::iterator HourlyLimit::lightest(Moment now) {
    draw_ += 0x9e3779b97f4a7c15;
    const std::size_t buckets = table_.bucket_count();
    std::size_t bucket = mix(draw_) % buckets;
    Network best;
    std::uint64_t bestLoad = std::numeric_limits<std::uint64_t>::max();
    int seen = 0;
    for (std::size_t looked = 0; seen < kSample && looked < buckets; ++looked, bucket = (bucket + 1) % buckets) {
        for (auto it = table_.begin(bucket); it != table_.end(bucket) && seen < kSample; ++it, ++seen) {
            it->second.roll(now.hour);
            if (const std::uint64_t l = it->second.load(now.into); l < bestLoad) {
                bestLoad = l;
                best = it->first;
            }
        }
    }
    return table_.find(best);
}

// Drops the networks whose counts have all aged out. The next sweep comes once as many
// newcomers have come as there are networks left, so that sweeps cost a constant share
// of the takes and the table holds at most twice the networks that still count.
void HourlyLimit::sweep(Moment now) {
    for (auto it = table_.begin(); it != table_.end();) {
        it->second.roll(now.hour);
        it = it->second.idle() ? table_.erase(it) : std::next(it);
    }
    untilSweep_ = std::max(kLeastSweep, table_.size());
}
