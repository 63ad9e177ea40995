#include "LayerParser.h"

#include <map>

namespace {
const std::map<std::string, Oscillator::Wave> kWaves{
    {"sine", Oscillator::Wave::Sine},     {"triangle", Oscillator::Wave::Triangle}, {"saw", Oscillator::Wave::Saw},
    {"square", Oscillator::Wave::Square}, {"pulse", Oscillator::Wave::Pulse},       {"metal", Oscillator::Wave::Metal}};

const std::map<std::string, NoiseSource::Colour> kNoises{{"white", NoiseSource::Colour::White},
                                                         {"pink", NoiseSource::Colour::Pink},
                                                         {"brown", NoiseSource::Colour::Brown},
                                                         {"crackle", NoiseSource::Colour::Crackle}};

const std::map<std::string, Filter::Mode> kFilters{{"lowpass", Filter::Mode::LowPass},
                                                   {"highpass", Filter::Mode::HighPass},
                                                   {"bandpass", Filter::Mode::BandPass},
                                                   {"notch", Filter::Mode::Notch}};
}  // namespace

double LayerParser::positive(const LineReader::Line& line, std::size_t index) const {
    const double v = reader_.number(line, index);
    if (v <= 0.0) reader_.fail(line, "'" + line.words[0] + "' needs a value above 0");
    return v;
}

bool LayerParser::apply(const LineReader::Line& line, LayerSettings& layer) const {
    const std::string& key = line.words[0];
    if (key == "wave")
        wave(line, layer);
    else if (key == "width") {
        reader_.expectArgs(line, 1, 1);
        layer.pulseWidth = reader_.number(line, 1);
    } else if (key == "density") {
        reader_.expectArgs(line, 1, 1);
        layer.density = positive(line, 1);
    } else if (key == "pitch")
        layer.pitch = reader_.curve(line, 1, true);
    else if (key == "ratio") {
        reader_.expectArgs(line, 1, 1);
        layer.ratio = positive(line, 1);
    } else if (key == "bend")
        layer.bend = reader_.curve(line, 1, true);
    else if (key == "amp")
        layer.amp = reader_.curve(line, 1, false);
    else if (key == "filter")
        filter(line, layer);
    else if (key == "env")
        envelope(line, layer);
    else if (key == "vibrato" || key == "tremolo")
        lfo(line, layer);
    else if (key == "fm")
        fm(line, layer);
    else if (key == "repeat")
        repeat(line, layer);
    else if (key == "gain") {
        reader_.expectArgs(line, 1, 1);
        layer.gain = reader_.number(line, 1);
    } else if (key == "drive") {
        reader_.expectArgs(line, 1, 1);
        layer.drive = reader_.number(line, 1);
    } else if (key == "start") {
        reader_.expectArgs(line, 1, 1);
        layer.start = reader_.number(line, 1);
    } else if (key == "gate") {
        reader_.expectArgs(line, 1, 1);
        layer.gate = positive(line, 1);
    } else if (key == "pan") {
        reader_.expectArgs(line, 1, 1);
        layer.pan = reader_.number(line, 1);
    } else if (key == "unison") {
        reader_.expectArgs(line, 2, 2);
        layer.unison = static_cast<int>(reader_.number(line, 1));
        layer.unisonCents = reader_.number(line, 2);
        if (layer.unison < 1 || layer.unison > 8) reader_.fail(line, "unison takes 1 to 8 copies");
    } else
        return false;
    if (layer.start < 0.0) reader_.fail(line, "start cannot be negative");
    if (layer.pan < -1.0 || layer.pan > 1.0) reader_.fail(line, "pan must lie in -1..1");
    return true;
}

void LayerParser::wave(const LineReader::Line& line, LayerSettings& layer) const {
    reader_.expectArgs(line, 1, 1);
    const std::string& name = line.words[1];
    if (const auto w = kWaves.find(name); w != kWaves.end()) {
        layer.source = LayerSettings::Source::Oscillator;
        layer.wave = w->second;
    } else if (const auto n = kNoises.find(name); n != kNoises.end()) {
        layer.source = LayerSettings::Source::Noise;
        layer.noise = n->second;
    } else {
        reader_.fail(line, "unknown wave '" + name +
                               "' (sine, triangle, saw, square, pulse, metal, white, pink, brown, crackle)");
    }
}

void LayerParser::filter(const LineReader::Line& line, LayerSettings& layer) const {
    // filter MODE CUTOFF-CURVE... [q=Q] [track=K]
    if (line.words.size() < 3) reader_.fail(line, "filter needs a mode and a cutoff");
    const auto mode = kFilters.find(line.words[1]);
    if (mode == kFilters.end())
        reader_.fail(line, "unknown filter '" + line.words[1] + "' (lowpass, highpass, bandpass, notch)");
    std::size_t end = line.words.size();
    while (end > 2 && line.words[end - 1].find('=') != std::string::npos) --end;
    LineReader::Line curveLine{line.number, {line.words.begin(), line.words.begin() + static_cast<long>(end)}};
    LayerSettings::FilterSpec spec;
    spec.mode = mode->second;
    spec.cutoff = reader_.curve(curveLine, 2, true);
    const auto options = reader_.keyValues(line, end, {"q", "track"});
    if (auto q = options.find("q"); q != options.end()) spec.q = q->second;
    if (auto t = options.find("track"); t != options.end()) spec.keyTrack = t->second;
    if (spec.q <= 0.0) reader_.fail(line, "q must be above 0");
    if (layer.filters.size() >= 4) reader_.fail(line, "a layer takes at most 4 filters");
    layer.filters.push_back(spec);
}

void LayerParser::envelope(const LineReader::Line& line, LayerSettings& layer) const {
    const auto v = reader_.keyValues(line, 1, {"attack", "hold", "decay", "sustain", "release"});
    Envelope::Shape& e = layer.envelope;
    if (auto i = v.find("attack"); i != v.end()) e.attack = i->second;
    if (auto i = v.find("hold"); i != v.end()) e.hold = i->second;
    if (auto i = v.find("decay"); i != v.end()) e.decay = i->second;
    // A decay without a sustain level decays to silence: the usual wish for
    // hits and plucks, which would otherwise never fade.
    if (v.count("decay") && !v.count("sustain")) e.sustain = 0.0;
    if (auto i = v.find("sustain"); i != v.end()) e.sustain = i->second;
    if (auto i = v.find("release"); i != v.end()) e.release = i->second;
    if (e.attack < 0 || e.hold < 0 || e.decay < 0 || e.release < 0)
        reader_.fail(line, "envelope times cannot be negative");
    if (e.sustain < 0.0 || e.sustain > 1.0) reader_.fail(line, "sustain must lie in 0..1");
}

void LayerParser::lfo(const LineReader::Line& line, LayerSettings& layer) const {
    // vibrato RATE SEMITONES [DELAY]   |   tremolo RATE DEPTH [sine|square|ramp|random]
    reader_.expectArgs(line, 2, 3);
    const double rate = positive(line, 1);
    const double depth = reader_.number(line, 2);
    if (line.words[0] == "vibrato") {
        layer.vibratoRate = rate;
        layer.vibratoDepth = depth;
        layer.vibratoDelay = line.words.size() > 3 ? reader_.number(line, 3) : 0.0;
        return;
    }
    if (depth < 0.0 || depth > 1.0) reader_.fail(line, "tremolo depth must lie in 0..1");
    layer.tremoloRate = rate;
    layer.tremoloDepth = depth;
    if (line.words.size() > 3) {
        const std::string& s = line.words[3];
        if (s == "sine")
            layer.tremoloShape = LayerSettings::LfoShape::Sine;
        else if (s == "square")
            layer.tremoloShape = LayerSettings::LfoShape::Square;
        else if (s == "ramp")
            layer.tremoloShape = LayerSettings::LfoShape::Ramp;
        else if (s == "random")
            layer.tremoloShape = LayerSettings::LfoShape::Random;
        else
            reader_.fail(line, "unknown tremolo shape '" + s + "' (sine, square, ramp, random)");
    }
}

void LayerParser::fm(const LineReader::Line& line, LayerSettings& layer) const {
    // fm RATIO INDEX [DECAY]
    reader_.expectArgs(line, 2, 3);
    layer.fmRatio = positive(line, 1);
    layer.fmIndex = reader_.number(line, 2);
    layer.fmDecay = line.words.size() > 3 ? reader_.number(line, 3) : 0.0;
}

void LayerParser::repeat(const LineReader::Line& line, LayerSettings& layer) const {
    const auto v =
        reader_.keyValues(line, 1, {"count", "every", "jitter", "gainstep", "pitchstep", "pitchjitter", "gainjitter"});
    LayerSettings::Repeat& r = layer.repeat;
    if (auto i = v.find("count"); i != v.end()) r.count = static_cast<int>(i->second);
    if (auto i = v.find("every"); i != v.end()) r.every = i->second;
    if (auto i = v.find("jitter"); i != v.end()) r.jitter = i->second;
    if (auto i = v.find("gainstep"); i != v.end()) r.gainStep = i->second;
    if (auto i = v.find("pitchstep"); i != v.end()) r.pitchStep = i->second;
    if (auto i = v.find("pitchjitter"); i != v.end()) r.pitchJitter = i->second;
    if (auto i = v.find("gainjitter"); i != v.end()) r.gainJitter = i->second;
    if (r.count < 1 || r.count > 1000) reader_.fail(line, "repeat count must lie in 1..1000");
    if (r.every < 0.0 || r.jitter < 0.0) reader_.fail(line, "repeat times cannot be negative");
}
