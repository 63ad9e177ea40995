#include <gtest/gtest.h>

#include <string>

#include "NoteName.h"
#include "ParseError.h"
#include "ScoreParser.h"

namespace {

int errorLine(const std::string& text) {
    try {
        ScoreParser::parse("test.score", text);
    } catch (const ParseError& e) {
        return e.line();
    }
    return 0;
}

const std::string kHead =
    "output music/a.ogg\n"
    "tempo 120\n"
    "instrument keys\n"
    "  gain 0.5\n"
    "  layer\n"
    "    wave sine\n"
    "    gain 0.7\n"
    "end\n";

TEST(ScoreParserTest, NotesChordsLengthsAndVelocities) {
    const Score s = ScoreParser::parse("test.score", kHead +
                                                         "pattern a keys\n"
                                                         "  notes c4:0.5 f#4 r:1 c4+e4+g4:2@0.5  # comment\n"
                                                         "end\n"
                                                         "song\n  2 a\nend\n");
    ASSERT_EQ(s.patterns.size(), 1u);
    const auto& notes = s.patterns[0].notes;
    ASSERT_EQ(notes.size(), 5u);
    EXPECT_DOUBLE_EQ(notes[1].beat, 0.5);
    EXPECT_DOUBLE_EQ(notes[1].length, 0.5);  // the length carries over
    EXPECT_NEAR(notes[1].frequency, 369.994, 1e-3);
    EXPECT_DOUBLE_EQ(notes[2].beat, 2.0);  // after the rest
    EXPECT_DOUBLE_EQ(notes[4].beat, 2.0);  // chord notes start together
    EXPECT_DOUBLE_EQ(notes[4].velocity, 0.5);
    EXPECT_DOUBLE_EQ(s.patterns[0].length, 4.0);  // rounded up to a whole bar
    EXPECT_DOUBLE_EQ(s.lengthSeconds(), 4.0);     // two bars at 120 bpm
    EXPECT_DOUBLE_EQ(s.instruments[0].gain, 0.5);
    EXPECT_DOUBLE_EQ(s.instruments[0].layers[0].gain, 0.7);
}

TEST(ScoreParserTest, StepGridsStartAtTheCursorAndOverlay) {
    const Score s = ScoreParser::parse("test.score", kHead +
                                                         "pattern d keys\n"
                                                         "  steps 0.25 c2 X..x|o...\n"
                                                         "  at 4\n"
                                                         "  steps 0.5 d2 x\n"
                                                         "end\nsong\n  1 d\nend\n");
    const auto& notes = s.patterns[0].notes;
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_DOUBLE_EQ(notes[0].velocity, 1.0);
    EXPECT_DOUBLE_EQ(notes[1].beat, 0.75);
    EXPECT_DOUBLE_EQ(notes[2].beat, 1.0);  // "|" takes no step
    EXPECT_DOUBLE_EQ(notes[2].velocity, 0.45);
    EXPECT_DOUBLE_EQ(notes[3].beat, 4.0);
    EXPECT_DOUBLE_EQ(s.patterns[0].length, 8.0);
}

TEST(ScoreParserTest, ErrorsNameTheLineOfTheMistake) {
    EXPECT_EQ(errorLine(kHead + "pattern a flute\nend\n"), 9);                // unknown instrument
    EXPECT_EQ(errorLine(kHead + "pattern a keys\n  notes h4\nend\n"), 10);    // not a note
    EXPECT_EQ(errorLine(kHead + "pattern a keys\n  notes c4@2\nend\n"), 10);  // velocity above 1
    EXPECT_EQ(errorLine(kHead + "pattern a keys\n  steps 0.25 c2 x?\nend\n"), 10);
    EXPECT_EQ(errorLine(kHead + "song\n  4 missing\nend\n"), 10);     // unknown pattern
    EXPECT_EQ(errorLine(kHead + "pattern a keys\n  notes c4\n"), 9);  // no end
    EXPECT_EQ(errorLine("tempo 1000\n"), 1);
    EXPECT_EQ(errorLine(kHead + "pattern a keys\n  length 0.001\nend\n"), 10);  // would repeat endlessly
    EXPECT_EQ(errorLine(kHead + "instrument keys\n  layer\nend\n"), 9);         // defined twice
    EXPECT_GT(errorLine(kHead), 0);                                             // no song
}

TEST(ScoreParserTest, NoteNamesFollowScientificPitch) {
    EXPECT_EQ(NoteName::number("c4"), 60);
    EXPECT_EQ(NoteName::number("C#4"), 61);
    EXPECT_EQ(NoteName::number("bb2"), 46);
    EXPECT_EQ(NoteName::number("b1"), 35);  // "b" followed by the octave is the note, not a flat
    EXPECT_DOUBLE_EQ(NoteName::frequency(69), 440.0);
    EXPECT_FALSE(NoteName::number("c"));
    EXPECT_FALSE(NoteName::number("x4"));
    EXPECT_FALSE(NoteName::number("c4x"));
    EXPECT_FALSE(NoteName::number("c#"));
}

}  // namespace
