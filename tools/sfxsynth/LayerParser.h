#pragma once
#include "LayerSettings.h"
#include "LineReader.h"

// LayerParser: reads the lines that describe one layer, shared by the recipe
// and score formats. It understands one line at a time so that the caller can
// mix in its own keywords.
class LayerParser {
public:
    explicit LayerParser(const LineReader& reader) : reader_(reader) {}

    // Applies `line` to `layer`; false when the keyword is not a layer keyword.
    bool apply(const LineReader::Line& line, LayerSettings& layer) const;

private:
    void wave(const LineReader::Line& line, LayerSettings& layer) const;
    void filter(const LineReader::Line& line, LayerSettings& layer) const;
    void envelope(const LineReader::Line& line, LayerSettings& layer) const;
    void lfo(const LineReader::Line& line, LayerSettings& layer) const;
    void fm(const LineReader::Line& line, LayerSettings& layer) const;
    void repeat(const LineReader::Line& line, LayerSettings& layer) const;
    double positive(const LineReader::Line& line, std::size_t index) const;

    const LineReader& reader_;
};
