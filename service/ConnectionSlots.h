#pragma once
// Who gets a place among a server's connections and open files, and who gives way to a
// newcomer when they run short, and why. It knows connections by id and address only:
// the server tells it where each stands, asks it before it takes a connection or a
// request that needs files, and carries out what it decides.
//
// Every connection takes a place and a file. Request bodies written to files as they come
// (one file each) and the files their handlers may hold are counted too, and may take at
// most a quarter of the files together, so that slow uploads of that kind cannot shut
// every other client out. One address may hold only so many places, an IPv6 address
// counting by its /64 (`AddressNetwork`): a single machine may hold a whole /64, and its
// addresses would otherwise take every place between them.
//
// When they run short, connections give way in this order, each in turn only when none
// of those before it is left:
// 1. Waiting: owed nothing (idle between requests, or answered and being read out before
//    its close, once its client has taken all it was sent), the longest-open first. Its
//    client opens a new connection for its next request, as it must for any idle
//    connection a server closes.
// 2. Empty: a new connection whose client has sent nothing yet, the oldest first. An
//    honest client sends its head as soon as it has connected, so its connection is
//    empty only for a round trip, while it is the youngest; a flood of connections that
//    send nothing, however fast it comes, thus only takes its own places over, and never
//    a head on its way.
// 3. Falling behind: a body off its pace, its lost time (how far it is behind the pace its
//    deadline asks) a third of its allowance (see `BodyPace`), or an answer whose client
//    has stopped taking it (see `AnswerPace`); the first to fall behind gives way first.
//    Either has shown that its client does not keep up, where a head has not yet had the
//    time to show anything, so it goes first. A body that keeps its pace never gives way,
//    however many newcomers come: the lag between pieces sent at the pace, the round trip
//    of `Expect: 100-continue` and a stall or slow start of 3 s all stay inside that
//    third. Nor does an answer whose client takes it at its pace: it is filed anew, its
//    point put off, each time its client takes more, by as long as what it took takes to
//    read at the pace, so that a slow reader whose window reopens in steps keeps its
//    place between them, while a client that stopped reading gives way as soon as what
//    its window took would have been read.
// 4. Reading a head, at once, the oldest first (by when it began: its connection's accept,
//    or when its client had taken the last answer whole). A head that has begun to arrive
//    is at risk only when more newcomers come while it arrives than there are heads
//    begun before it; a flood that sends a byte on each connection meets honest heads
//    here. A head is never judged by how long it has been coming, since a flood renews
//    its connections faster than any such time runs out.
// - Busy: its request is being handled. It never gives way.
// A newcomer for whom no connection gives way is turned away. A request that needs files
// beyond the quarter takes the place of a body holding some of them that is off its pace;
// one short of files in all, that of anyone who gives way by the order above but itself.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>

#include "AddressNetwork.h"
#include "BodyPace.h"

class ConnectionSlots {
public:
    using Clock = std::chrono::steady_clock;
    using Id = std::uint64_t;

    struct Limits {
        std::size_t connections = 10000;  // open at once
        std::size_t perAddress = 64;      // open at once from one network; 0: no limit
        std::size_t files = 10000;        // for connections, body files and handlers together
    };

    // What a newcomer finds.
    enum class Verdict {
        fits,         // room for it now
        givesWay,     // `id` is to be closed first
        full,         // nobody gives way: the newcomer is turned away
        addressFull,  // its address's network holds all the places it may: the newcomer is turned away
    };
    struct Room {
        Verdict verdict = Verdict::fits;
        Id id = 0;  // who gives way
    };

    explicit ConnectionSlots(Limits limits) : limits_(limits) {}

    // The room for a new connection from `address` at `now`.
    Room roomForConnection(const std::string& address, Clock::time_point now) const;
    // The room for `files` more (a body's file and its handler's), for a request on
    // connection `asking`: no verdict ever names `asking`, wherever it stands.
    Room roomForFiles(std::size_t files, Id asking, Clock::time_point now) const;

    // A new connection from `address`, empty until its client sends something.
    void opened(Id id, const std::string& address);
    void closed(Id id);

    // Where connection `id` stands now.
    void waiting(Id id);
    // A new connection whose client has sent nothing yet.
    void empty(Id id);
    // Reading a head begun at `start`: its connection's accept, or the end of its last answer.
    void readingHead(Id id, Clock::time_point start);
    // Reading a body whose pace is `pace`; `holdsFiles` when it holds files of the quarter.
    void readingBody(Id id, const BodyPace& pace, bool holdsFiles);
    // Sending an answer whose client will have stopped taking it at `stalledAt` unless it
    // takes more (see `AnswerPace`).
    void answering(Id id, Clock::time_point stalledAt);
    void busy(Id id);

    // Body files open now, on the server's thread.
    void bodyFileOpened() { ++bodyFiles_; }
    void bodyFileClosed() { --bodyFiles_; }
    // The files counted for handlers, from any thread.
    void handlerFilesTaken(std::size_t files) { handlerFiles_ += files; }
    void handlerFilesGiven(std::size_t files) { handlerFiles_ -= files; }

private:
    enum class Place { waiting, empty, head, paced, busy };
    using Ranking = std::set<std::pair<Clock::time_point, Id>>;  // by `Slot::from`, the earliest first
    struct Slot {
        std::map<AddressNetwork, std::size_t>::iterator network;  // its count in `perNetwork_`
        Place place = Place::busy;
        Clock::time_point from{};  // a head: when it began; a body or an answer: when it falls behind
        bool holdsFiles = false;   // a body in `holding_`
    };

    void place(Id id, Place place, Clock::time_point from = {}, bool holdsFiles = false);
    Room givingWay(std::optional<Id> asking, Clock::time_point now) const;
    Room givingWay(const Ranking& ranking, std::optional<Id> asking, Clock::time_point now) const;
    static std::optional<Id> oldest(const std::set<Id>& ids, std::optional<Id> asking);
    std::size_t filesTaken() const { return bodyFiles_ + handlerFiles_; }

    Limits limits_;
    std::unordered_map<Id, Slot> slots_;
    std::map<AddressNetwork, std::size_t> perNetwork_;  // places held from each remote address's network
    std::set<Id> waiting_;                              // by id: the longest-open first
    std::set<Id> empty_;                                // likewise
    Ranking heads_;                                     // connections reading a head, by when it began
    Ranking paced_;    // connections reading a body or sending an answer, by when each falls behind
    Ranking holding_;  // of those, bodies that hold files
    std::size_t bodyFiles_ = 0;
    std::atomic<std::size_t> handlerFiles_ = 0;
};
