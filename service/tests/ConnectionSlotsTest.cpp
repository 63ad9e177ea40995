#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "ConnectionSlots.h"

namespace {

using namespace std::chrono_literals;
using Clock = ConnectionSlots::Clock;
using Verdict = ConnectionSlots::Verdict;

constexpr std::uint64_t KiB = 1024;
const Clock::time_point kStart{1h};

// The pace a body of `length` bytes is asked to keep under the server's rules, in bytes
// per second.
double paceOf(std::uint64_t length) {
    return static_cast<double>(length) / std::chrono::duration<double>(BodyPace::Rules{}.timeFor(length)).count();
}

// How a client sends a body: nothing for `begin` seconds (a slow start, or the round trip
// of 100 Continue), then in whole pieces, each once `rate` has paid for it and `late`
// seconds after that.
struct Body {
    std::string name;
    std::uint64_t length = 64 * KiB;
    double rate = paceOf(64 * KiB);  // bytes per second
    double begin = 0;
    double late = 0;
    std::uint64_t piece = KiB;

    // The bytes sent `t` seconds after the head.
    std::uint64_t sentBy(double t) const {
        const double paid = std::max(t - begin - late, 0.0) * rate;
        return std::min(length, static_cast<std::uint64_t>(paid / static_cast<double>(piece)) * piece);
    }
};

// When each body gave way or came whole, in seconds from its head, and how the newcomers
// fared.
struct Outcome {
    std::map<std::string, double> gaveWay;
    std::map<std::string, double> whole;
    int admitted = 0, turnedAway = 0;  // newcomers
};

// Runs `bodies`, all begun at once, for `seconds` in the server's rounds of 100 ms, at the
// cap of their own number and `spare` more connections, with a newcomer in every round
// that sends nothing (an idle flood, whose connections give way to each other in turn),
// or with `aByte`, the first byte of a head and nothing more.
Outcome atTheCap(const std::vector<Body>& bodies, double seconds, std::size_t spare = 2, bool aByte = false) {
    ConnectionSlots slots({bodies.size() + spare, 0, 100000});
    std::vector<BodyPace> paces;
    std::vector<std::uint64_t> received(bodies.size());
    std::map<ConnectionSlots::Id, std::size_t> open;  // the bodies still coming, by id
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        paces.emplace_back(BodyPace::Rules{}, kStart, bodies[i].length);
        slots.opened(i, "10.0.0.1");
        slots.readingBody(i, paces[i], false);
        open.emplace(i, i);
    }
    Outcome run;
    ConnectionSlots::Id next = bodies.size();
    for (int round = 1; round <= seconds * 10; ++round) {
        const Clock::time_point now = kStart + round * 100ms;
        const double t = round / 10.0;
        for (auto it = open.begin(); it != open.end();) {
            const Body& body = bodies[it->second];
            if (body.sentBy(t) > received[it->second]) {
                received[it->second] = body.sentBy(t);
                paces[it->second].arrived(received[it->second], now);
                slots.readingBody(it->first, paces[it->second], false);
            }
            if (received[it->second] < body.length) {
                ++it;
                continue;
            }
            run.whole[body.name] = t;
            slots.busy(it->first);
            it = open.erase(it);
        }
        ConnectionSlots::Room room = slots.roomForConnection("192.0.2.1", now);
        for (; room.verdict == Verdict::givesWay; room = slots.roomForConnection("192.0.2.1", now)) {
            if (const auto body = open.find(room.id); body != open.end()) {
                run.gaveWay[bodies[body->second].name] = t;
                open.erase(body);
            }
            slots.closed(room.id);
        }
        if (room.verdict == Verdict::fits) {
            slots.opened(next, "192.0.2.1");
            if (aByte) slots.readingHead(next, now);
            ++next;
        }
        (room.verdict == Verdict::fits ? run.admitted : run.turnedAway) += 1;
    }
    return run;
}

// Clients that keep their pace never give way to newcomers, however many come, nor does
// one that has just begun or waits out the round trip of 100 Continue: they have used
// little of what they are allowed. Meanwhile every newcomer finds a place: the flood's
// connections, which send nothing, give way to one another at once, the oldest first.
TEST(ConnectionSlotsTest, clientsThatKeepTheirPaceNeverGiveWayToAnIdleFlood) {
    const std::vector<Body> bodies = {
        {"on its pace in pieces of 1 KiB"},
        {"at 1.2 times its pace", 64 * KiB, 1.2 * paceOf(64 * KiB)},
        {"after 100 Continue's round trip of 1 s", 64 * KiB, paceOf(64 * KiB), 1},
        {"each piece 0.4 s late", 64 * KiB, paceOf(64 * KiB), 0, 0.4},
        {"begun after 2.5 s, then at 1.2 times its pace", 64 * KiB, 1.2 * paceOf(64 * KiB), 2.5},
        {"300 KiB on its pace in pieces of 16 KiB", 300 * KiB, paceOf(300 * KiB), 0, 0, 16 * KiB},
        {"32 MiB on its pace in pieces of 64 KiB", 32 * KiB * KiB, paceOf(32 * KiB * KiB), 0, 0, 64 * KiB},
    };
    const Outcome run = atTheCap(bodies, 1060);
    for (const auto& [name, seconds] : run.gaveWay) ADD_FAILURE() << name << " gave way at " << seconds << " s";
    EXPECT_EQ(run.whole.size(), bodies.size());
    EXPECT_EQ(run.admitted, 10600);
}

// A body that falls behind gives way once its lost time reaches a third of its allowance
// (grace and credit). Until one does, a newcomer is turned away; from then on each
// newcomer takes the place of the one before it, whose head has only begun, unless a body
// has fallen that far behind meanwhile: that body goes first.
TEST(ConnectionSlotsTest, slowClientsGiveWayOnceTheyHaveUsedAThirdOfWhatTheirRuleAllows) {
    // 64 KiB are due in 32 s: 2 KiB a second.
    const std::vector<Body> bodies = {
        {"at half its pace", 64 * KiB, paceOf(64 * KiB) / 2},
        {"trickled at 600 bytes a second", 64 * KiB, 600, 0, 0, 60},
        {"silent", 64 * KiB, 0},
    };
    const Outcome run = atTheCap(bodies, 30, 0, true);
    // Lost time 3.33 s with no credit.
    EXPECT_DOUBLE_EQ(run.gaveWay.at("silent"), 3.4);
    // At t: 600t bytes pay for 0.29t s and buy 0.018t s; 0.71t reaches 3.33 + 0.006t at 4.8 s.
    EXPECT_DOUBLE_EQ(run.gaveWay.at("trickled at 600 bytes a second"), 4.8);
    // k KiB pay for k/2 s and buy k/32 s: 5.9 s reach 3.33 + 0.51k (k = 5) before the 6th comes.
    EXPECT_DOUBLE_EQ(run.gaveWay.at("at half its pace"), 5.9);
    // Before 3.4 s nobody had fallen that far behind; from then on every newcomer is taken.
    EXPECT_EQ(run.turnedAway, 33);
    EXPECT_EQ(run.admitted, 300 - 33);
}

// Connections that only wait (idle between requests, or answered and being read out)
// give way first, the longest-open first; then new ones that have sent nothing, the
// oldest first; then bodies off their pace, the first to go off it first; then heads, at
// once, the one begun longest ago first, whether it is a new connection's first or the
// next request of a keep-alive connection since its last answer.
TEST(ConnectionSlotsTest, waitingConnectionsGiveWayFirstThenEmptyOnesThenBodiesOffTheirPaceThenTheOldestHead) {
    ConnectionSlots slots({6, 0, 100});
    slots.opened(1, "10.0.0.1");
    slots.readingHead(1, kStart + 1s);      // a keep-alive connection answered at 1 s, sending its next head
    slots.opened(2, "10.0.0.2");            // a new connection, silent since
    BodyPace silent({}, kStart, 64 * KiB);  // off its pace at 3.33 s
    slots.opened(3, "10.0.0.3");
    slots.readingBody(3, silent, false);
    BodyPace begun({}, kStart, 64 * KiB);
    begun.arrived(2 * KiB, kStart + 1s);  // pays for 1 s, and buys 62.5 ms: off its pace at 4.35 s
    slots.opened(4, "10.0.0.4");
    slots.readingBody(4, begun, false);
    slots.opened(5, "10.0.0.5");
    slots.waiting(5);  // idle between requests
    slots.opened(6, "10.0.0.6");
    slots.readingHead(6, kStart + 500ms);  // a new connection whose head has begun to come
    // Who gives way to a newcomer at `at`, which then takes the place and sends a head.
    ConnectionSlots::Id newcomer = 10;
    const auto givesWay = [&](Clock::duration at) {
        const ConnectionSlots::Room room = slots.roomForConnection("10.0.1.1", kStart + at);
        if (room.verdict != Verdict::givesWay) return ConnectionSlots::Id{0};
        slots.closed(room.id);
        slots.opened(newcomer, "10.0.1.1");
        slots.readingHead(newcomer++, kStart + at);
        return room.id;
    };
    EXPECT_EQ(givesWay(1500ms), 5u);
    EXPECT_EQ(givesWay(2s), 2u);
    EXPECT_EQ(givesWay(4s), 3u);
    EXPECT_EQ(givesWay(4s), 6u);
    EXPECT_EQ(givesWay(4s), 1u);
    EXPECT_EQ(givesWay(4500ms), 4u);
    EXPECT_EQ(givesWay(4500ms), 10u);
}

// However many new connections come that send nothing, and however fast, each takes the
// place of the oldest of them: a head on its way, begun before them all, keeps its place,
// as does a body that has fallen behind its pace.
TEST(ConnectionSlotsTest, aFloodOfEmptyConnectionsTakesOnlyItsOwnPlaces) {
    ConnectionSlots slots({4, 0, 100});
    slots.opened(1, "10.0.0.1");
    slots.readingHead(1, kStart);
    slots.opened(2, "10.0.0.2");
    slots.readingBody(2, BodyPace({}, kStart, 64 * KiB), false);  // silent: off its pace at 3.33 s
    ConnectionSlots::Id next = 3;
    for (int i = 0; i < 10000; ++i) {
        const ConnectionSlots::Room room = slots.roomForConnection("192.0.2.1", kStart + 10s);
        if (room.verdict == Verdict::givesWay) {
            ASSERT_EQ(room.id + 2, next) << i;
            slots.closed(room.id);
        } else {
            ASSERT_EQ(room.verdict, Verdict::fits) << i;
        }
        slots.opened(next++, "192.0.2.1");
    }
}

// A body on its pace and a request being handled never give way: with only those left,
// a newcomer is turned away.
TEST(ConnectionSlotsTest, aNewcomerIsTurnedAwayWhenOnlyBodiesOnTheirPaceAndHandledRequestsHoldThePlaces) {
    ConnectionSlots slots({2, 0, 100});
    slots.opened(1, "10.0.0.1");
    slots.readingBody(1, BodyPace({}, kStart, 64 * KiB), false);
    slots.opened(2, "10.0.0.2");
    slots.busy(2);
    EXPECT_EQ(slots.roomForConnection("10.0.1.1", kStart + 3s).verdict, Verdict::full);
    EXPECT_EQ(slots.roomForConnection("10.0.1.1", kStart + 1h).verdict, Verdict::givesWay);
    slots.busy(1);
    EXPECT_EQ(slots.roomForConnection("10.0.1.1", kStart + 1h).verdict, Verdict::full);
}

// An answer being sent gives way only once its client has taken nothing of it for long
// enough, and a client that takes more is filed anew, its point put off. Past its point
// it gives way before any head, ranked with the bodies off their pace by when each fell
// behind.
TEST(ConnectionSlotsTest, anAnswerGivesWayOnlyPastItsPointBeforeHeadsAndRankedWithBodiesOffTheirPace) {
    ConnectionSlots slots({3, 0, 100});
    slots.opened(1, "10.0.0.1");
    slots.answering(1, kStart + 3s);
    slots.opened(2, "10.0.0.2");
    slots.busy(2);
    slots.opened(3, "10.0.0.3");
    slots.readingBody(3, BodyPace({}, kStart, 64 * KiB), false);  // silent: off its pace at 3.33 s
    EXPECT_EQ(slots.roomForConnection("10.0.1.1", kStart + 2s).verdict, Verdict::full);
    EXPECT_EQ(slots.roomForConnection("10.0.1.1", kStart + 4s).id, 1u);
    slots.answering(1, kStart + 6s);  // its client took more at 3 s
    EXPECT_EQ(slots.roomForConnection("10.0.1.1", kStart + 4s).id, 3u);
    slots.closed(3);
    slots.opened(4, "10.0.0.4");  // a head, which gives way at once
    slots.readingHead(4, kStart + 4s);
    EXPECT_EQ(slots.roomForConnection("10.0.1.1", kStart + 5s).id, 4u);
    const ConnectionSlots::Room room = slots.roomForConnection("10.0.1.1", kStart + 6s);
    EXPECT_EQ(room.verdict, Verdict::givesWay);
    EXPECT_EQ(room.id, 1u);
}

// Bodies written to files and their handlers' files may take a quarter of the files: a
// request short of them takes the place of a body that holds some once that one is past
// its point, never the place of one that keeps its pace, or of one that holds none.
TEST(ConnectionSlotsTest, aRequestShortOfItsShareOfFilesTakesThePlaceOfABodyHoldingSomePastItsPoint) {
    ConnectionSlots slots({100, 0, 40});  // a quarter: 10 files
    const auto holdFiles = [&](ConnectionSlots::Id id, const BodyPace& pace) {
        slots.opened(id, "10.0.0." + std::to_string(id));
        slots.readingBody(id, pace, true);
        slots.bodyFileOpened();
        slots.handlerFilesTaken(2);
    };
    BodyPace steady({}, kStart, 64 * KiB);
    const BodyPace stalled = steady;
    holdFiles(1, steady);
    holdFiles(2, stalled);
    holdFiles(3, stalled);
    slots.opened(4, "10.0.0.4");  // stalled too, its body held in memory
    slots.readingBody(4, stalled, false);
    slots.opened(5, "10.0.0.5");  // asks
    slots.readingHead(5, kStart);
    EXPECT_EQ(slots.roomForFiles(1, 5, kStart + 9s).verdict, Verdict::fits);
    EXPECT_EQ(slots.roomForFiles(3, 5, kStart + 3300ms).verdict, Verdict::full);
    steady.arrived(18 * KiB, kStart + 9s);  // pays for 9 s
    slots.readingBody(1, steady, true);
    ConnectionSlots::Room room = slots.roomForFiles(3, 5, kStart + 9s);
    EXPECT_EQ(room.verdict, Verdict::givesWay);
    EXPECT_EQ(room.id, 2u);
    for (const ConnectionSlots::Id id : {2, 3}) {
        slots.closed(id);
        slots.bodyFileClosed();
        slots.handlerFilesGiven(2);
    }
    EXPECT_EQ(slots.roomForFiles(3, 5, kStart + 9s).verdict, Verdict::fits);
    EXPECT_EQ(slots.roomForFiles(8, 5, kStart + 9s).verdict, Verdict::full);
    EXPECT_EQ(slots.roomForFiles(0, 5, kStart + 9s).verdict, Verdict::fits);
}

// Short of files in all (a connection takes one), a request takes the place of a waiting
// connection first, then of any other reader by the same order, never its own.
TEST(ConnectionSlotsTest, aRequestShortOfFilesInAllTakesThePlaceOfAnyoneButItself) {
    ConnectionSlots slots({100, 0, 8});  // a quarter: 2 files
    slots.opened(1, "10.0.0.1");         // asks, the oldest head
    slots.readingHead(1, kStart - 1s);
    for (ConnectionSlots::Id id = 2; id <= 6; ++id) {
        slots.opened(id, "10.0.0.2");
        slots.readingHead(id, kStart + 500ms);
    }
    slots.opened(7, "10.0.0.3");
    slots.waiting(7);
    EXPECT_EQ(slots.roomForConnection("10.0.1.1", kStart).verdict, Verdict::fits);
    EXPECT_EQ(slots.roomForFiles(1, 1, kStart).verdict, Verdict::fits);
    EXPECT_EQ(slots.roomForFiles(2, 1, kStart).id, 7u);
    slots.closed(7);
    slots.opened(8, "10.0.0.3");
    slots.readingHead(8, kStart + 200ms);
    ConnectionSlots::Room room = slots.roomForFiles(2, 1, kStart + 600ms);
    EXPECT_EQ(room.verdict, Verdict::givesWay);
    EXPECT_EQ(room.id, 8u);
    for (ConnectionSlots::Id id = 2; id <= 6; ++id) slots.busy(id);
    slots.busy(8);
    EXPECT_EQ(slots.roomForFiles(2, 1, kStart + 1h).verdict, Verdict::full);
}

// Whoever asks for files keeps its place, wherever it stands: filed as waiting (a
// keep-alive connection whose next request has just come), as a head, as a body past its
// point, or holding files of the quarter. Another gives way, or nobody does.
TEST(ConnectionSlotsTest, noVerdictNamesTheConnectionThatAsks) {
    const BodyPace silent({}, kStart, 64 * KiB);  // off its pace at 3.33 s
    ConnectionSlots full({100, 0, 4});            // four places take every file; a quarter is one
    full.opened(1, "10.0.0.1");
    full.waiting(1);
    full.opened(2, "10.0.0.2");
    full.readingBody(2, silent, false);
    full.opened(3, "10.0.0.3");
    full.waiting(3);
    full.opened(5, "10.0.0.5");
    full.busy(5);
    EXPECT_EQ(full.roomForFiles(1, 1, kStart).id, 3u);
    full.closed(3);
    full.opened(4, "10.0.0.4");
    full.busy(4);
    EXPECT_EQ(full.roomForFiles(1, 1, kStart + 1s).verdict, Verdict::full);
    full.readingHead(1, kStart);
    EXPECT_EQ(full.roomForFiles(1, 1, kStart + 1s).verdict, Verdict::full);
    ConnectionSlots::Room room = full.roomForFiles(1, 1, kStart + 1h);
    EXPECT_EQ(room.verdict, Verdict::givesWay);
    EXPECT_EQ(room.id, 2u);
    full.readingBody(1, silent, false);
    EXPECT_EQ(full.roomForFiles(1, 1, kStart + 1h).id, 2u);

    ConnectionSlots share({100, 0, 400});  // a quarter: 100 files
    share.opened(1, "10.0.0.1");
    share.readingBody(1, silent, true);
    share.handlerFilesTaken(100);
    EXPECT_EQ(share.roomForFiles(1, 1, kStart + 1h).verdict, Verdict::full);
}

// One address holds only so many places, and gets them back as its connections close;
// other addresses are taken meanwhile. An IPv6 address counts by its /64, which one
// machine may hold whole, and an IPv4 address written as IPv6 as itself.
TEST(ConnectionSlotsTest, anAddressOrAnIpv6Slash64HoldsOnlySoManyPlaces) {
    ConnectionSlots slots({100, 2, 1000});
    slots.opened(1, "10.0.0.1");
    slots.readingHead(1, kStart);
    slots.opened(2, "::ffff:10.0.0.1");
    slots.readingHead(2, kStart);
    EXPECT_EQ(slots.roomForConnection("10.0.0.1", kStart).verdict, Verdict::addressFull);
    EXPECT_EQ(slots.roomForConnection("10.0.0.2", kStart).verdict, Verdict::fits);
    slots.closed(1);
    EXPECT_EQ(slots.roomForConnection("10.0.0.1", kStart).verdict, Verdict::fits);
    slots.opened(3, "2001:db8:1:2::1");
    slots.readingHead(3, kStart);
    slots.opened(4, "2001:db8:1:2:ffff:ffff:ffff:fffe");
    slots.readingHead(4, kStart);
    EXPECT_EQ(slots.roomForConnection("2001:db8:1:2:abcd::7", kStart).verdict, Verdict::addressFull);
    EXPECT_EQ(slots.roomForConnection("2001:db8:1:3::1", kStart).verdict, Verdict::fits);
    slots.closed(4);
    EXPECT_EQ(slots.roomForConnection("2001:db8:1:2:abcd::7", kStart).verdict, Verdict::fits);
}

}  // namespace
