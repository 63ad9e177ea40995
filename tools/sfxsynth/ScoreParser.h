#pragma once
#include <string>
#include <string_view>

#include "LayerParser.h"
#include "LineReader.h"
#include "Score.h"

// ScoreParser: turns the text of a score into a Score. The format is described
// in data/sound/README.md. Throws ParseError with the file name and line
// number on the first mistake, including references to unknown instruments
// or patterns.
class ScoreParser {
public:
    static Score parse(const std::string& fileName, std::string_view text);

private:
    ScoreParser(const std::string& fileName, std::string_view text);

    Score run();
    void global(const LineReader::Line& line);
    void instrument(const LineReader::Line& header);
    void pattern(const LineReader::Line& header);
    void song(const LineReader::Line& header);
    void notes(const LineReader::Line& line, Score::Pattern& p, double& cursor, double& length);
    void steps(const LineReader::Line& line, Score::Pattern& p, double cursor);
    double noteFrequency(const LineReader::Line& line, const std::string& name);
    void requireName(const LineReader::Line& line, std::size_t args);

    LineReader lines_;
    LayerParser layers_;
    Score score_;
};
