#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "BodyPace.h"
#include "HttpServer.h"

namespace {

using namespace std::chrono_literals;
using Clock = BodyPace::Clock;

constexpr std::uint64_t KiB = 1024;
constexpr Clock::duration kRound = 100ms;  // the server's check of its connections

double secondsOf(Clock::duration span) { return std::chrono::duration<double>(span).count(); }

// The rules the server is given unless told otherwise: what the README tells of them is
// computed from these, so that it cannot drift from what the service does.
const BodyPace::Rules kRules = HttpServer::Limits{}.body;

// The time a body has to arrive whole in, from its head.
Clock::duration deadlineOf(std::uint64_t length) { return kRules.timeFor(length); }

// The pace a body of `length` bytes is asked to keep, in bytes per second.
double paceOf(std::uint64_t length) { return static_cast<double>(length) / secondsOf(deadlineOf(length)); }

// How a client sends a body: a burst at once, then spells each at a rate (0: a stall),
// in turn, repeated until the body is whole.
struct Profile {
    std::uint64_t length = 0;
    std::uint64_t burst = 0;
    std::vector<std::pair<double, double>> spells;  // seconds, bytes per second
    bool repeated = false;
    // Sent in pieces of this many bytes (the last may be shorter), each once the spells
    // have reached its end; 0: each byte as soon as the spells have reached any of it.
    std::uint64_t piece = 0;

    // The bytes sent `t` seconds after the head.
    std::uint64_t sentBy(double t) const {
        double sent = static_cast<double>(burst);
        for (std::size_t i = 0; t > 0; ++i) {
            if (i == spells.size() && !repeated) break;
            const auto [seconds, rate] = spells[i % spells.size()];
            sent += std::min(t, seconds) * rate;
            t -= seconds;
        }
        if (sent >= static_cast<double>(length)) return length;
        if (piece > 0) return static_cast<std::uint64_t>(sent) / piece * piece;
        return static_cast<std::uint64_t>(std::ceil(sent));
    }

    // The first of the server's rounds by which the profile has sent the body whole.
    Clock::duration wholeAt() const {
        Clock::duration at = kRound;
        while (sentBy(secondsOf(at)) < length) at += kRound;
        return at;
    }
};

// A body sent steadily at `share` of its pace.
Profile steady(std::uint64_t length, double share) { return {length, 0, {{1e9, share * paceOf(length)}}}; }

// When the pace cuts `profile`'s body off, in the server's rounds before `until`: the bytes
// that came in a round, then the check of the lapse. Nothing when it is whole first.
std::optional<double> cutOff(const Profile& profile, Clock::duration until) {
    const Clock::time_point start{1h};
    BodyPace pace(kRules, start, profile.length);
    std::uint64_t received = 0;
    for (Clock::duration since = kRound; since < until; since += kRound) {
        if (const std::uint64_t sent = profile.sentBy(secondsOf(since)); sent > received) {
            received = sent;
            pace.arrived(received, start + since);
            if (received == profile.length) return std::nullopt;
        }
        if (start + since >= pace.lapse()) return secondsOf(since);
    }
    return std::nullopt;
}

// When the pace cuts the body off before its deadline, at which its owner ends it.
std::optional<double> cutOff(const Profile& profile) { return cutOff(profile, deadlineOf(profile.length)); }

// The pace's verdict on a profile that sends its body whole before its deadline: never cut
// off before it is whole, at the time the profile alone gives.
void expectWholeUncut(const Profile& profile) {
    const Clock::duration whole = profile.wholeAt();
    ASSERT_LT(whole, deadlineOf(profile.length));
    const std::optional<double> cut = cutOff(profile, whole);
    EXPECT_FALSE(cut) << "cut off at " << cut.value_or(0) << " s, before it is whole at " << secondsOf(whole) << " s";
}

// Honest clients on slow or unsteady links, whose bodies keep about the pace their
// deadlines ask of them, arrive whole: stalls of a few seconds, a slow start, a link that
// comes in bursts.
TEST(BodyPaceTest, bodiesThatKeepAboutTheirPaceWithStallsOrASlowStartArriveWhole) {
    // 300 KiB at 9.6 KiB/s with one stall of 3 s at 10 s.
    expectWholeUncut({300 * KiB, 0, {{10, 9.6 * KiB}, {3, 0}, {1000, 9.6 * KiB}}});
    // A link that stalls 3 s, then sends 2 s at 24 KiB/s, over and over.
    expectWholeUncut({300 * KiB, 0, {{3, 0}, {2, 24 * KiB}}, true});
    // 1 KiB, a pause of 9.5 s, then 100 KiB/s.
    expectWholeUncut({300 * KiB, 1 * KiB, {{9.5, 0}, {1000, 100 * KiB}}});
    // 32 MiB at 40 KiB/s with one stall of 3 s at 10 s.
    expectWholeUncut({32 * KiB * KiB, 0, {{10, 40 * KiB}, {3, 0}, {10000, 40 * KiB}}});
    // An upload of 64 KiB that starts only after 9 s.
    expectWholeUncut({64 * KiB, 0, {{9, 0}, {100, 10 * KiB}}});
    // 8 KiB at 400 B/s: under the least rate, but ahead of its pace.
    expectWholeUncut({8 * KiB, 0, {{1000, 400}}});
}

// Whatever its size, a body that keeps its pace (never a third of its allowance behind it,
// never silent for 10 s) is never cut off before its deadline: one that comes at its pace
// but 3.3 s late, and one sent in pieces of 1 KiB, each once the pace has reached its end,
// where a piece is under 3.3 s of the pace (a high-score upload of 15,078 bytes at 495 B/s,
// say).
TEST(BodyPaceTest, aBodyOnItsPaceIsNeverCutOffBeforeItsDeadlineWhateverItsSize) {
    std::vector<std::uint64_t> lengths = {15078, 8 * KiB};
    for (double length = 4; length <= 32 * KiB * KiB; length *= 1.25)
        lengths.push_back(static_cast<std::uint64_t>(length));
    lengths.push_back(32 * KiB * KiB);
    for (const std::uint64_t length : lengths) {
        const double pace = paceOf(length);
        const std::optional<double> late = cutOff({length, 0, {{3.3, 0}, {1e9, pace}}});
        EXPECT_FALSE(late) << length << " bytes 3.3 s late, cut off at " << late.value_or(0) << " s";
        if (KiB >= 3.3 * pace) continue;
        const std::optional<double> pieces = cutOff({length, 0, {{1e9, pace}}, false, KiB});
        EXPECT_FALSE(pieces) << length << " bytes in pieces of 1 KiB, cut off at " << pieces.value_or(0) << " s";
    }
}

// A body that fell far behind may catch up by coming faster: each 32 KiB it sends buys
// it another second.
TEST(BodyPaceTest, aLargeBodyThatFellBehindMayCatchUp) {
    // 32 MiB at 20 KiB/s for 100 s (over 35 s behind its pace of 31 KiB/s), then 100 KiB/s.
    expectWholeUncut({32 * KiB * KiB, 0, {{100, 20 * KiB}, {10000, 100 * KiB}}});
}

// Trickles hold their connections only briefly: a body at 600 bytes a second is cut off
// soon after the grace, whatever it announces, as is one under the least rate and off its
// pace, and one that falls silent once its silence has lasted as long as
// a head may take.
TEST(BodyPaceTest, tricklesAndSilentBodiesAreCutOffSoonAfterTheGrace) {
    const std::optional<double> largeTrickle = cutOff({32 * KiB * KiB, 0, {{10000, 600}}});
    ASSERT_TRUE(largeTrickle);
    EXPECT_GT(*largeTrickle, 10);
    EXPECT_LT(*largeTrickle, 11);
    const std::optional<double> trickle = cutOff({300 * KiB, 0, {{10000, 600}}});
    ASSERT_TRUE(trickle);
    EXPECT_LT(*trickle, 12);
    const std::optional<double> uploadTrickle = cutOff({64 * KiB, 0, {{10000, 600}}});
    ASSERT_TRUE(uploadTrickle);
    EXPECT_LT(*uploadTrickle, 15);
    // 8 KiB at 100 B/s, a third of its pace.
    const std::optional<double> underLeastRate = cutOff({8 * KiB, 0, {{10000, 100}}});
    ASSERT_TRUE(underLeastRate);
    EXPECT_NEAR(*underLeastRate, 10, 0.05);
    // Silent for 10 s after its first 100 KiB.
    const std::optional<double> silent = cutOff({300 * KiB, 100 * KiB, {{10000, 0}}});
    ASSERT_TRUE(silent);
    EXPECT_NEAR(*silent, 10.1, 0.05);
    // Far behind and never catching up: cut off well before its deadline of 39 s.
    const std::optional<double> behind = cutOff({300 * KiB, 0, {{10000, 2 * KiB}}});
    ASSERT_TRUE(behind);
    EXPECT_LT(*behind, 16);
}

// A body's allowance runs out at the time its bytes pay for at the pace, and its grace and
// credit later; the silence cuts it off sooner when it stops, and the least rate once a
// body under it is off its pace: a third of its allowance behind it.
TEST(BodyPaceTest, theAllowanceRunsOutItsGraceAndCreditAfterTheTimeItsBytesPayFor) {
    const Clock::time_point start{1h};
    // 64 KiB due in 32 s: a pace of 2 KiB a second.
    BodyPace pace(kRules, start, 64 * KiB);
    EXPECT_EQ(pace.deadline(), start + 32s);
    EXPECT_EQ(pace.allowanceEnd(), start + 10s);
    pace.arrived(32 * KiB, start + 1s);  // pays for 16 s, and buys a second
    EXPECT_EQ(pace.allowanceEnd(), start + 27s);
    EXPECT_EQ(pace.lapse(), start + 11s);  // silent by then
    pace.arrived(40 * KiB, start + 10s);   // pays for 20 s, and buys 1.25 s
    EXPECT_EQ(pace.allowanceEnd(), start + 31250ms);
    EXPECT_EQ(pace.lapse(), start + 20s);
    // 6,000 bytes due in 30.183 s: a pace of 199 bytes a second.
    BodyPace small(kRules, start, 6000);
    EXPECT_EQ(small.deadline(), start + 30183ms);
    small.arrived(1000, start + 1s);  // pays for 5 s: not behind before the grace is over
    EXPECT_EQ(small.lapse(), start + 10s);
    small.arrived(2000, start + 9s);  // pays for 10.061 s, and buys 61 ms
    EXPECT_EQ(small.offPace(), start + 10061ms + std::chrono::nanoseconds(10061ms) / 3);
    EXPECT_EQ(small.lapse(), small.offPace());
}

// A head may announce any length up to 2^64 - 1 bytes: its body's time stays within the
// clock's range (a century at most), and it is cut off as any silent body is.
TEST(BodyPaceTest, aBodyAnnouncingMoreThanAnyCouldSendHasADeadlineWithinTheClocksRange) {
    const Clock::time_point start{1h};
    const BodyPace pace(kRules, start, UINT64_MAX);
    EXPECT_GT(pace.deadline(), start + 24h * 365 * 99);
    EXPECT_LE(pace.deadline(), start + kRules.time + 24h * 365 * 100);
    EXPECT_EQ(pace.lapse(), start + kRules.silence);
}

// `value` with `decimals` decimals, and its thousands set apart by commas.
std::string figure(double value, int decimals) {
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%.*f", decimals, value);
    const std::string_view number(text, static_cast<std::size_t>(std::max(length, 0)));
    const std::size_t whole = std::min(number.find('.'), number.size());
    std::string figure;
    for (std::size_t i = 0; i < number.size(); ++i) {
        if (i > 0 && i < whole && (whole - i) % 3 == 0) figure += ',';
        figure += number[i];
    }
    return figure;
}

// A body at its pace arrives as its deadline comes; one that comes steadily slower is held
// until then only from a share of its pace that depends on its size. The README gives
// these as a table, computed here: the slowest share (in whole percent) from which on a
// steady body is held until its deadline, and when one at half its pace is cut off.
std::string paceTable() {
    const std::vector<std::pair<const char*, std::uint64_t>> bodies = {
        {"1 KiB", KiB},         {"8 KiB", 8 * KiB},       {"15,078 bytes", 15078},    {"64 KiB", 64 * KiB},
        {"300 KiB", 300 * KiB}, {"2 MiB", 2 * KiB * KiB}, {"32 MiB", 32 * KiB * KiB},
    };
    std::string table =
        "| body | its time | its pace | held until its time's end at | at half its pace, cut off at |\n"
        "| --- | --- | --- | --- | --- |\n";
    for (const auto& [name, length] : bodies) {
        int percent = 101;
        while (percent > 1 && !cutOff(steady(length, (percent - 1) / 100.0))) --percent;
        const std::optional<double> half = cutOff(steady(length, 0.5));
        const double pace = paceOf(length);
        table += "| " + std::string(name) + " | " + figure(secondsOf(deadlineOf(length)), 1) + " s | " +
                 (pace < KiB ? figure(pace, 0) + " bytes/s" : figure(pace / KiB, 1) + " KiB/s") + " | " +
                 (percent > 100 ? "no share" : std::to_string(percent) + "% of its pace or faster") + " | " +
                 (half ? figure(*half, 1) + " s" : "never") + " |\n";
    }
    return table;
}

TEST(BodyPaceTest, theReadmesTableOfPacesIsWhatThePaceDoes) {
    std::ifstream readme(std::string(TORVANE_SOURCE_DIR) + "/README.md");
    ASSERT_TRUE(readme);
    std::stringstream text;
    text << readme.rdbuf();
    const std::string table = paceTable();
    EXPECT_NE(text.str().find(table), std::string::npos) << "the README should hold this table:\n" << table;
}

}  // namespace
