// An instrument is either a looped wave (leads, basses, pads: they sound
// while the key is held and fade on release through the volume envelope)
// or a one-shot sound made of voices (drums, plucks, bells).
//
//   instrument NAME
//     loop WAVE [duty=D] [bright=H] [period=P] [cycles=N] [chorus=1..3] [range=LOW:TOP]
//     shot length=SECONDS [peak=DB] [base=NOTE] [rate=FRAMES]
//     voice ...                      (shot only; see synth.h)
//     volume 0..64                   (the sample's default volume)
//     gain 0..128                    (the instrument's global volume)
//     envelope TICK:VALUE ... with '*' after the point held while the key is down
//     fade 0..128                    (how fast a released note fades)
//     nna cut|continue|off|fade      (what a new note does to the one sounding)
//     vibrato speed=S depth=D sweep=W

#include "instruments.h"

#include <cmath>

#include "synth.h"
#include "text.h"

static const double MIDDLE_C = 261.6255653005986;
static const char *const KEYWORDS[] = {"instrument", "loop", "shot", "voice", "volume",
                                       "gain",       "envelope", "fade", "nna", "vibrato"};

static bool IsKeyword(const std::string &w)
{
    for (const char *k : KEYWORDS)
        if (w == k)
            return true;
    return false;
}

// A looped wave whose loop holds whole cycles: the loop point joins
// seamlessly, and C-5 plays one cycle per `period` frames at middle C. Every
// harmonic stays under 15 kHz at the top of its octave and under the
// sample's own Nyquist frequency, so each octave of the range gets the
// richest wave it can play cleanly; octaves that would get the same wave
// share it.
static void MakeLoop(const Statement &s, InstrumentDef &d)
{
    if (!d.samples.empty())
        Fail(s.where, "an instrument is either a loop or a shot");
    if (s.words.size() < 2)
        Fail(s.where, "loop needs a wave");
    auto set = Settings(s, 2);
    double duty = set.count("duty") ? ParseNumber(s.where, set["duty"]) : 0.5;
    double bright = set.count("bright") ? ParseNumber(s.where, set["bright"]) : 0;
    int period = set.count("period") ? ParseInt(s.where, set["period"]) : 128;
    int cycles = set.count("cycles") ? ParseInt(s.where, set["cycles"]) : 4;
    int chorus = set.count("chorus") ? ParseInt(s.where, set["chorus"]) : 1;
    std::string range = set.count("range") ? set["range"] : "c1:c7";
    size_t colon = range.find(':');
    int low = NoteNumber(range.substr(0, colon)), top = colon == std::string::npos ? -1 : NoteNumber(range.substr(colon + 1));
    if (period < 16 || cycles < 1 || chorus < 1 || chorus > 3 || low < 0 || top < low)
        Fail(s.where, "period, cycles, chorus or range out of range");
    int lastHarmonics = -1;
    bool firstOctave = true;
    for (int octaveTop = 11; octaveTop < 120; octaveTop += 12) {
        int first = octaveTop - 11;
        if (octaveTop < low || first > top)
            continue;
        int harmonics = std::min(int(15000 / NoteHz(octaveTop)), period / 2 - 2);
        if (harmonics != lastHarmonics) {
            ItSample sample;
            std::vector<double> wave = LoopWave(s.words[1], duty, period, cycles, chorus, bright, harmonics);
            sample.pcm = ToPcm16(wave, -1);
            sample.loop = true;
            sample.loopEnd = uint32_t(sample.pcm.size());
            sample.c5Speed = uint32_t(std::lround(MIDDLE_C * period));
            d.samples.push_back(sample);
            lastHarmonics = harmonics;
        }
        // Notes below the range play its lowest wave, notes above its highest.
        for (int n = firstOctave ? 0 : first; n < 120; n++)
            d.zone[n] = int(d.samples.size()) - 1;
        firstOctave = false;
    }
    d.sustains = true;
}

static void MakeShot(const Statement &s, const std::vector<Voice> &voices, InstrumentDef &d)
{
    if (!d.samples.empty())
        Fail(s.where, "an instrument is either a loop or a shot");
    auto set = Settings(s, 1);
    if (!set.count("length"))
        Fail(s.where, "a shot needs a length");
    double length = ParseNumber(s.where, set["length"]);
    double peak = set.count("peak") ? ParseNumber(s.where, set["peak"]) : -1;
    double base = set.count("base") ? ParseHz(s.where, set["base"]) : MIDDLE_C;
    int rate = set.count("rate") ? ParseInt(s.where, set["rate"]) : 44100;
    if (voices.empty())
        Fail(s.where, "a shot needs voices");
    ItSample sample;
    sample.pcm = ToPcm16(RenderVoices(voices, length, rate), peak);
    sample.c5Speed = uint32_t(std::lround(rate * MIDDLE_C / base));
    d.samples.push_back(sample);
}

static void ReadEnvelope(const Statement &s, ItInstrument &in)
{
    for (size_t i = 1; i < s.words.size(); i++) {
        std::string w = s.words[i];
        bool held = !w.empty() && w.back() == '*';
        if (held)
            w.pop_back();
        size_t colon = w.find(':');
        if (colon == std::string::npos)
            Fail(s.where, "an envelope point is TICK:VALUE");
        ItEnvelopePoint p = {ParseInt(s.where, w.substr(0, colon)), ParseInt(s.where, w.substr(colon + 1))};
        if (p.value < 0 || p.value > 64 || (!in.envelope.empty() && p.tick <= in.envelope.back().tick))
            Fail(s.where, "envelope points run forward in time with values 0..64");
        if (held)
            in.sustain = int(in.envelope.size());
        in.envelope.push_back(p);
    }
    if (in.envelope.size() < 2 || in.envelope.size() > 25 || in.envelope[0].tick != 0)
        Fail(s.where, "an envelope has 2..25 points and starts at tick 0");
}

static int ParseNna(const Statement &s)
{
    static const char *names[] = {"cut", "continue", "off", "fade"};
    for (int i = 0; i < 4; i++)
        if (s.words.size() == 2 && s.words[1] == names[i])
            return i;
    Fail(s.where, "nna is cut, continue, off or fade");
}

// A shot is rendered once all its voices are read: `base` is the note that
// plays it at its own rate.
static void Finish(const std::string &where, InstrumentDef &d, const Statement *shot, const std::vector<Voice> &voices)
{
    if (shot)
        MakeShot(*shot, voices, d);
    if (d.samples.empty())
        Fail(where, "the instrument has neither a loop nor a shot");
    for (size_t i = 0; i < d.samples.size(); i++) {
        ItSample &out = d.samples[i];
        out.name = d.sample.name + (d.samples.size() > 1 ? " " + std::to_string(i + 1) : "");
        out.volume = d.sample.volume;
        out.vibratoSpeed = d.sample.vibratoSpeed;
        out.vibratoDepth = d.sample.vibratoDepth;
        out.vibratoSweep = d.sample.vibratoSweep;
    }
    // A sound that holds but never lets go would hang: it needs an envelope
    // that falls to silence or a sustain point to be released from.
    const auto &env = d.instrument.envelope;
    if (d.sustains && !env.empty() && d.instrument.sustain < 0 && env.back().value == 0)
        d.sustains = false;
}

std::map<std::string, InstrumentDef> ReadInstruments(const std::string &path)
{
    std::map<std::string, InstrumentDef> out;
    InstrumentDef *d = nullptr;
    std::string name, started;
    std::vector<Voice> voices;
    std::vector<Statement> statements = ReadStatements(path, IsKeyword);
    const Statement *shot = nullptr;
    for (const Statement &s : statements) {
        const std::string &k = s.words[0];
        if (k == "instrument") {
            if (d)
                Finish(started, *d, shot, voices);
            shot = nullptr;
            if (s.words.size() != 2 || out.count(s.words[1]))
                Fail(s.where, "instrument needs one new name");
            name = s.words[1];
            started = s.where;
            d = &out[name];
            d->instrument.name = name;
            d->sample.name = name;
            voices.clear();
            continue;
        }
        if (!d)
            Fail(s.where, "'" + k + "' comes before any instrument");
        auto number = [&s](int lo, int hi) {
            int v = s.words.size() == 2 ? ParseInt(s.where, s.words[1]) : -1;
            if (v < lo || v > hi)
                Fail(s.where, s.words[0] + " takes one number " + std::to_string(lo) + ".." + std::to_string(hi));
            return v;
        };
        if (k == "loop") MakeLoop(s, *d);
        else if (k == "voice") voices.push_back(ParseVoice(s, 1));
        else if (k == "shot") shot = &s;
        else if (k == "volume") d->sample.volume = number(0, 64);
        else if (k == "gain") d->instrument.globalVolume = number(0, 128);
        else if (k == "envelope") ReadEnvelope(s, d->instrument);
        else if (k == "fade") d->instrument.fadeout = number(0, 128);
        else if (k == "nna") d->instrument.nna = ParseNna(s);
        else if (k == "vibrato") {
            auto set = Settings(s, 1);
            d->sample.vibratoSpeed = set.count("speed") ? ParseInt(s.where, set["speed"]) : 0;
            d->sample.vibratoDepth = set.count("depth") ? ParseInt(s.where, set["depth"]) : 0;
            d->sample.vibratoSweep = set.count("sweep") ? ParseInt(s.where, set["sweep"]) : 0;
        }
    }
    if (d)
        Finish(started, *d, shot, voices);
    return out;
}
