#include "HourlyLimit.h"

#include <sys/random.h>

#include <algorithm>
#include <iterator>
#include <limits>
#include <random>

namespace {

constexpr std::int64_t kMinuteMs = 60 * 1000;
constexpr std::int64_t kHourMs = 60 * kMinuteMs;
// The last hour whose minutes an entry can count.
constexpr std::int64_t kLastHour = std::numeric_limits<std::int32_t>::max() / 60 - 1;
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

// The clock hour that `ms` milliseconds of the clock fall in, rounded down.
std::int64_t hourOf(std::int64_t ms) { return ms / kHourMs - (ms % kHourMs < 0 ? 1 : 0); }

}  // namespace

std::size_t HourlyLimit::Hash::operator()(const AddressNetwork& network) const noexcept {
    return mix(mix((std::uint64_t{network.high} << 32 | network.low) ^ key) + network.family);
}

HourlyLimit::HourlyLimit(int perHour, std::function<Clock::time_point()> clock, std::size_t networks)
    : perHour_(perHour),
      clock_(std::move(clock)),
      capacity_(std::max<std::size_t>(networks, 1)),
      firstHour_(hourOf(milliseconds())),
      table_(0, Hash{randomWord()}),
      latest_(std::numeric_limits<std::int64_t>::min()),
      draw_(randomWord()),
      untilSweep_(kLeastSweep) {
    // Checked here, where the entry's types are complete.
    static_assert(sizeof(Table::value_type) <= 32, "with its node's link an entry takes 40 bytes, 48 of the heap");
}

std::int64_t HourlyLimit::milliseconds() const {
    const Clock::time_point time = clock_ ? clock_() : Clock::now();
    return std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
}

// Hours before the limit's first count as it; those past what its minutes can count
// (4,000 years on) as the last of them.
HourlyLimit::Moment HourlyLimit::momentOf(std::int64_t ms) const {
    const std::int64_t hour = std::clamp<std::int64_t>(hourOf(ms) - firstHour_, 0, kLastHour);
    const std::int64_t into = std::clamp<std::int64_t>(ms - (firstHour_ + hour) * kHourMs, 0, kHourMs - 1);
    return {static_cast<std::int32_t>(hour), static_cast<std::int32_t>(hour * 60 + into / kMinuteMs), into};
}

// A thread that read the clock before another may reach the table after it, when the later
// moment may have moved entries on: weighed at its own moment, such an entry would count
// the hour before by the wrong share, and a take would go into one hour labelled as another.
HourlyLimit::Moment HourlyLimit::now(std::int64_t read) {
    latest_ = std::max(latest_, read);
    return momentOf(latest_);
}

HourlyLimit::Tally HourlyLimit::Tally::after(std::int32_t hours) const {
    if (hours <= 0) return *this;
    return {hours == 1 ? current : 0, 0};
}

// The earlier hour counts by the share of it still within the last 60 minutes.
std::uint64_t HourlyLimit::Tally::load(std::int64_t into) const {
    const auto left = static_cast<std::uint64_t>(kHourMs - into);
    return (previous * left + kHourMs - 1) / kHourMs + current;
}

HourlyLimit::Counts HourlyLimit::Counts::at(Moment now) const {
    return {minute, all.after(now.hour - hour()), own.after(now.hour - hour())};
}

void HourlyLimit::Counts::see(Moment now) {
    if (now.minute <= minute) return;
    *this = at(now);
    minute = now.minute;
}

HourlyLimit::Outcome HourlyLimit::take(const std::string& address) {
    if (perHour_ <= 0) return {};
    const AddressNetwork network = AddressNetwork::of(address);
    const std::int64_t read = milliseconds();
    std::lock_guard lock(mutex_);
    const Moment now = this->now(read);
    auto found = table_.find(network);
    if (found == table_.end() && (found = enter(network, now)) == table_.end()) return {std::nullopt, Refusal::crowded};
    Counts& counts = found->second;
    counts.see(now);
    const auto limit = static_cast<std::uint64_t>(perHour_);
    if (counts.all.load(now.into) >= limit)
        return {std::nullopt, counts.own.load(now.into) >= limit ? Refusal::spent : Refusal::crowded};
    ++counts.all.current;
    ++counts.own.current;
    return {Taken{counts.hour()}};
}

void HourlyLimit::giveBack(const std::string& address, Taken taken) {
    const AddressNetwork network = AddressNetwork::of(address);
    const std::int64_t read = milliseconds();
    std::lock_guard lock(mutex_);
    const Moment now = this->now(read);
    const auto found = table_.find(network);
    if (found == table_.end()) return;
    Counts& counts = found->second;
    counts.see(now);
    const std::int64_t age = counts.hour() - taken.hour;
    if (age < 0 || age > 1) return;
    for (Tally* tally : {&counts.all, &counts.own}) {
        std::uint32_t& count = age == 0 ? tally->current : tally->previous;
        if (count > 0) --count;
    }
    if (counts.all.idle()) table_.erase(found);
}

std::size_t HourlyLimit::networkCount() {
    std::lock_guard lock(mutex_);
    return table_.size();
}

// A new entry for `network`, or in a full table the entry chosen by `toHandOver`, handed
// over to it with the counts of the network that held it, as those of others; the end
// when that one has no room left.
HourlyLimit::Table::iterator HourlyLimit::enter(const AddressNetwork& network, Moment now) {
    if (--untilSweep_ == 0) sweep(now);
    if (table_.size() < capacity_) return table_.emplace(network, Counts{now.minute, {}, {}}).first;
    const Table::iterator handed = toHandOver(now);
    if (handed->second.at(now).all.load(now.into) >= static_cast<std::uint64_t>(perHour_)) return table_.end();
    auto node = table_.extract(handed);
    node.key() = network;
    node.mapped().own = {};
    return table_.insert(std::move(node)).position;
}

// Of the entries in the first buckets that hold kSample of them from a random bucket on,
// the least loaded, and of those alike, the one seen longest ago: its network is the least
// likely to come back soon. The table is not empty.
HourlyLimit::Table::iterator HourlyLimit::toHandOver(Moment now) {
    draw_ += 0x9e3779b97f4a7c15;
    const std::size_t buckets = table_.bucket_count();
    std::size_t bucket = mix(draw_) % buckets;
    AddressNetwork best;
    std::pair<std::uint64_t, std::int32_t> bestRank{std::numeric_limits<std::uint64_t>::max(), 0};  // load, seen
    int seen = 0;
    for (std::size_t looked = 0; seen < kSample && looked < buckets; ++looked, bucket = (bucket + 1) % buckets) {
        for (auto it = table_.begin(bucket); it != table_.end(bucket) && seen < kSample; ++it, ++seen) {
            const std::pair rank{it->second.at(now).all.load(now.into), it->second.minute};
            if (rank < bestRank) {
                bestRank = rank;
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
    for (auto it = table_.begin(); it != table_.end();)
        it = it->second.at(now).all.idle() ? table_.erase(it) : std::next(it);
    untilSweep_ = std::max(kLeastSweep, table_.size());
}
