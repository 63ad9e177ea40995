#include "ConnectionSlots.h"

namespace {

// Body files and handlers' files may take this share of the files: a quarter.
constexpr std::size_t kFileShare = 4;

}  // namespace

ConnectionSlots::Room ConnectionSlots::roomForConnection(const std::string& address, Clock::time_point now) const {
    const auto found = perNetwork_.find(AddressNetwork::of(address));
    if (limits_.perAddress > 0 && found != perNetwork_.end() && found->second >= limits_.perAddress)
        return {Verdict::addressFull};
    if (slots_.size() < limits_.connections && slots_.size() + filesTaken() < limits_.files) return {};
    return givingWay(std::nullopt, now);
}

// Short of the quarter, only a body that holds files of it can make room; short of files
// in all, any connection can.
ConnectionSlots::Room ConnectionSlots::roomForFiles(std::size_t files, Id asking, Clock::time_point now) const {
    const std::size_t taken = filesTaken();
    const bool shareShort = taken + files > limits_.files / kFileShare;
    const bool filesShort = slots_.size() + taken + files > limits_.files;
    if (files == 0 || (!shareShort && !filesShort)) return {};
    if (shareShort) return givingWay(holding_, asking, now);
    return givingWay(asking, now);
}

// One other than `asking`, in the order of giving way: whatever the one that asks was
// last filed as, it keeps its place, since its caller goes on with it.
ConnectionSlots::Room ConnectionSlots::givingWay(std::optional<Id> asking, Clock::time_point now) const {
    for (const std::set<Id>* ids : {&waiting_, &empty_})
        if (const std::optional<Id> id = oldest(*ids, asking)) return {Verdict::givesWay, *id};
    const Room paced = givingWay(paced_, asking, now);
    return paced.verdict != Verdict::full ? paced : givingWay(heads_, asking, Clock::time_point::max());
}

// The first of `ids` but `asking`: the longest open.
std::optional<ConnectionSlots::Id> ConnectionSlots::oldest(const std::set<Id>& ids, std::optional<Id> asking) {
    for (const Id id : ids)
        if (id != asking) return id;
    return std::nullopt;
}

// The first of `ranking` past its point, other than `asking`.
ConnectionSlots::Room ConnectionSlots::givingWay(const Ranking& ranking, std::optional<Id> asking,
                                                 Clock::time_point now) const {
    for (const auto& [from, id] : ranking) {
        if (from > now) break;
        if (id != asking) return {Verdict::givesWay, id};
    }
    return {Verdict::full};
}

void ConnectionSlots::opened(Id id, const std::string& address) {
    const auto counted = perNetwork_.try_emplace(AddressNetwork::of(address), 0).first;
    ++counted->second;
    slots_.emplace(id, Slot{counted});
    empty(id);
}

void ConnectionSlots::closed(Id id) {
    const auto found = slots_.find(id);
    if (found == slots_.end()) return;
    place(id, Place::busy);
    if (--found->second.network->second == 0) perNetwork_.erase(found->second.network);
    slots_.erase(found);
}

void ConnectionSlots::waiting(Id id) { place(id, Place::waiting); }

void ConnectionSlots::empty(Id id) { place(id, Place::empty); }

void ConnectionSlots::readingHead(Id id, Clock::time_point start) { place(id, Place::head, start); }

void ConnectionSlots::readingBody(Id id, const BodyPace& pace, bool holdsFiles) {
    place(id, Place::paced, pace.offPace(), holdsFiles);
}

void ConnectionSlots::answering(Id id, Clock::time_point stalledAt) { place(id, Place::paced, stalledAt); }

void ConnectionSlots::busy(Id id) { place(id, Place::busy); }

// Takes the connection out of the set it was in, and files it where it stands now.
void ConnectionSlots::place(Id id, Place place, Clock::time_point from, bool holdsFiles) {
    Slot& slot = slots_.at(id);
    if (slot.place == Place::waiting) waiting_.erase(id);
    if (slot.place == Place::empty) empty_.erase(id);
    if (slot.place == Place::head) heads_.erase({slot.from, id});
    if (slot.place == Place::paced) paced_.erase({slot.from, id});
    if (slot.holdsFiles) holding_.erase({slot.from, id});
    slot.place = place;
    slot.from = from;
    slot.holdsFiles = place == Place::paced && holdsFiles;
    if (place == Place::waiting) waiting_.insert(id);
    if (place == Place::empty) empty_.insert(id);
    if (place == Place::head) heads_.emplace(from, id);
    if (place == Place::paced) paced_.emplace(from, id);
    if (slot.holdsFiles) holding_.emplace(from, id);
}
