#include "ScoreParser.h"

#include <algorithm>
#include <cmath>

#include "LayerParser.h"
#include "LineReader.h"
#include "NoteName.h"
#include "OutputPath.h"

ScoreParser::ScoreParser(const std::string& fileName, std::string_view text)
    : lines_(fileName, text), layers_(lines_) {}

void ScoreParser::requireName(const LineReader::Line& line, std::size_t args) { lines_.expectArgs(line, args, args); }

Score ScoreParser::run() {
    LineReader::Line line;
    while (lines_.next(line)) {
        const std::string& key = line.words[0];
        if (key == "instrument")
            instrument(line);
        else if (key == "pattern")
            pattern(line);
        else if (key == "song")
            song(line);
        else
            global(line);
    }
    LineReader::Line end{line.number, {"end"}};
    if (score_.output.empty()) lines_.fail(end, "the score names no output file");
    if (score_.song.empty()) lines_.fail(end, "the score has no song");
    return std::move(score_);
}

void ScoreParser::global(const LineReader::Line& line) {
    const std::string& key = line.words[0];
    if (key == "output") {
        requireName(line, 1);
        if (!OutputPath::isSafe(line.words[1]))
            lines_.fail(line, "output must be a relative path ending in .ogg without '..'");
        score_.output = line.words[1];
    } else if (key == "tempo") {
        requireName(line, 1);
        score_.tempo = lines_.number(line, 1);
        if (score_.tempo < 20.0 || score_.tempo > 400.0) lines_.fail(line, "tempo must lie in 20..400");
    } else if (key == "meter") {
        requireName(line, 1);
        score_.beatsPerBar = static_cast<int>(lines_.number(line, 1));
        if (score_.beatsPerBar < 1 || score_.beatsPerBar > 16) lines_.fail(line, "meter must lie in 1..16");
    } else if (key == "swing") {
        requireName(line, 1);
        score_.swing = lines_.number(line, 1);
        if (score_.swing < 0.0 || score_.swing > 0.5) lines_.fail(line, "swing must lie in 0..0.5");
    } else if (key == "loudness") {
        requireName(line, 1);
        score_.loudness = lines_.number(line, 1);
    } else if (key == "seed") {
        requireName(line, 1);
        score_.seed = static_cast<std::uint64_t>(lines_.number(line, 1));
    } else if (key == "reverb") {
        lines_.expectArgs(line, 1, 3);
        score_.reverb.mix = lines_.number(line, 1);
        if (line.words.size() > 2) score_.reverb.size = lines_.number(line, 2);
        if (line.words.size() > 3) score_.reverb.damp = lines_.number(line, 3);
    } else {
        lines_.fail(line, "unknown keyword '" + key + "'");
    }
}

void ScoreParser::instrument(const LineReader::Line& header) {
    requireName(header, 1);
    Score::Instrument inst;
    inst.name = header.words[1];
    for (const auto& other : score_.instruments)
        if (other.name == inst.name) lines_.fail(header, "instrument '" + inst.name + "' is defined twice");
    LineReader::Line line;
    while (lines_.next(line)) {
        const std::string& key = line.words[0];
        if (key == "end") break;
        if (key == "layer") {
            inst.layers.emplace_back();
            continue;
        }
        if (!inst.layers.empty()) {
            if (!layers_.apply(line, inst.layers.back())) lines_.fail(line, "unknown layer keyword '" + key + "'");
            continue;
        }
        requireName(line, 1);
        const double v = lines_.number(line, 1);
        if (key == "gain")
            inst.gain = v;
        else if (key == "pan")
            inst.pan = std::clamp(v, -1.0, 1.0);
        else if (key == "send")
            inst.send = v;
        else if (key == "legato")
            inst.legato = v;
        else if (key == "humanize")
            inst.humanize = v;
        else
            lines_.fail(line, "unknown instrument keyword '" + key + "'");
    }
    if (line.words[0] != "end") lines_.fail(header, "instrument '" + inst.name + "' has no 'end'");
    if (inst.layers.empty()) lines_.fail(header, "instrument '" + inst.name + "' has no layer");
    score_.instruments.push_back(std::move(inst));
}

double ScoreParser::noteFrequency(const LineReader::Line& line, const std::string& name) {
    const auto n = NoteName::number(name);
    if (!n) lines_.fail(line, "'" + name + "' is not a note name (like c4, f#3, bb2)");
    return NoteName::frequency(*n);
}

// One word per event: NOTE[+NOTE...][:BEATS][@VELOCITY]; "r" is a rest. A
// missing length repeats the previous one.
void ScoreParser::notes(const LineReader::Line& line, Score::Pattern& p, double& cursor, double& length) {
    for (std::size_t i = 1; i < line.words.size(); ++i) {
        std::string word = line.words[i];
        double velocity = 0.8;
        if (const auto at = word.find('@'); at != std::string::npos) {
            velocity = lines_.number(line, word.substr(at + 1));
            word.resize(at);
            if (velocity < 0.0 || velocity > 1.0) lines_.fail(line, "velocity must lie in 0..1");
        }
        if (const auto colon = word.find(':'); colon != std::string::npos) {
            length = lines_.number(line, word.substr(colon + 1));
            word.resize(colon);
            if (length <= 0.0) lines_.fail(line, "note length must be above 0 beats");
        }
        if (word != "r") {
            std::size_t from = 0;
            while (from <= word.size()) {
                const auto plus = std::min(word.find('+', from), word.size());
                p.notes.push_back({cursor, length, noteFrequency(line, word.substr(from, plus - from)), velocity});
                from = plus + 1;
            }
        }
        cursor += length;
    }
}

// steps STEP-BEATS NOTE GRID...: one character per step from the cursor on
// (the cursor stays, so several grids overlay); X accent, x normal, o soft,
// . rest; "|" only helps the eye.
void ScoreParser::steps(const LineReader::Line& line, Score::Pattern& p, double cursor) {
    if (line.words.size() < 4) lines_.fail(line, "steps needs a step length, a note and a grid");
    const double step = lines_.number(line, 1);
    if (step <= 0.0) lines_.fail(line, "step length must be above 0 beats");
    const double freq = noteFrequency(line, line.words[2]);
    double beat = cursor;
    for (std::size_t w = 3; w < line.words.size(); ++w) {
        for (char c : line.words[w]) {
            if (c == '|') continue;
            double velocity = 0.0;
            if (c == 'X')
                velocity = 1.0;
            else if (c == 'x')
                velocity = 0.75;
            else if (c == 'o')
                velocity = 0.45;
            else if (c != '.')
                lines_.fail(line, std::string("unknown step '") + c + "' (X x o .)");
            if (velocity > 0.0) p.notes.push_back({beat, step, freq, velocity});
            beat += step;
        }
    }
    p.length = std::max(p.length, beat);
}

void ScoreParser::pattern(const LineReader::Line& header) {
    requireName(header, 2);
    Score::Pattern p;
    p.name = header.words[1];
    for (const auto& other : score_.patterns)
        if (other.name == p.name) lines_.fail(header, "pattern '" + p.name + "' is defined twice");
    const auto inst = std::find_if(score_.instruments.begin(), score_.instruments.end(),
                                   [&](const auto& i) { return i.name == header.words[2]; });
    if (inst == score_.instruments.end()) lines_.fail(header, "unknown instrument '" + header.words[2] + "'");
    p.instrument = static_cast<std::size_t>(inst - score_.instruments.begin());
    double cursor = 0.0, noteLength = 1.0, fixedLength = 0.0;
    LineReader::Line line;
    while (lines_.next(line) && line.words[0] != "end") {
        const std::string& key = line.words[0];
        if (key == "notes")
            notes(line, p, cursor, noteLength);
        else if (key == "steps")
            steps(line, p, cursor);
        else if (key == "at") {
            requireName(line, 1);
            cursor = lines_.number(line, 1);
            if (cursor < 0.0 || cursor > 4096.0) lines_.fail(line, "at must lie in 0..4096 beats");
        } else if (key == "length") {
            requireName(line, 1);
            fixedLength = lines_.number(line, 1);
            // A tiny period would repeat the pattern millions of times.
            if (fixedLength < 0.25 || fixedLength > 4096.0) lines_.fail(line, "length must lie in 0.25..4096 beats");
        } else
            lines_.fail(line, "unknown pattern keyword '" + key + "'");
        p.length = std::max(p.length, cursor);
    }
    if (line.words[0] != "end") lines_.fail(header, "pattern '" + p.name + "' has no 'end'");
    const double bar = score_.beatsPerBar;
    p.length = fixedLength > 0.0 ? fixedLength : std::max(bar, std::ceil(p.length / bar - 1e-9) * bar);
    score_.patterns.push_back(std::move(p));
}

// song: lines of BARS PATTERN...; the patterns of a line play together,
// each repeated to fill the bars.
void ScoreParser::song(const LineReader::Line& header) {
    requireName(header, 0);
    LineReader::Line line;
    while (lines_.next(line) && line.words[0] != "end") {
        Score::Block block;
        block.bars = static_cast<int>(lines_.number(line, 0));
        if (block.bars < 1 || block.bars > 256) lines_.fail(line, "a song line must last 1..256 bars");
        for (std::size_t i = 1; i < line.words.size(); ++i) {
            const auto p = std::find_if(score_.patterns.begin(), score_.patterns.end(),
                                        [&](const auto& x) { return x.name == line.words[i]; });
            if (p == score_.patterns.end()) lines_.fail(line, "unknown pattern '" + line.words[i] + "'");
            block.patterns.push_back(static_cast<std::size_t>(p - score_.patterns.begin()));
        }
        score_.song.push_back(std::move(block));
    }
    if (line.words[0] != "end") lines_.fail(header, "song has no 'end'");
}

Score ScoreParser::parse(const std::string& fileName, std::string_view text) {
    ScoreParser parser(fileName, text);
    Score score = parser.run();
    score.sourceFile = fileName;
    return score;
}
