//   effect NAME
//     length SECONDS
//     peak DB         (the loudest frame, in dB below full scale)
//     rate FRAMES     (44100, the output rate, unless given)
//     voice ...       (see synth.h)

#include "effects.h"

#include <algorithm>
#include <cmath>

#include "synth.h"
#include "text.h"

static bool IsKeyword(const std::string &w)
{
    return w == "effect" || w == "length" || w == "peak" || w == "rate" || w == "voice";
}

struct EffectDef {
    std::string name, where;
    double length = 0, peak = -6;
    int rate = 44100;
    std::vector<Voice> voices;
};

// The last few milliseconds fade out, so a sound cut by its length ends
// without a click.
static Effect Render(const EffectDef &d)
{
    if (d.length <= 0 || d.voices.empty())
        Fail(d.where, "an effect needs a length and voices");
    std::vector<double> signal = RenderVoices(d.voices, d.length, d.rate);
    size_t fade = std::min(signal.size(), size_t(d.rate / 250));
    for (size_t i = 0; i < fade; i++)
        signal[signal.size() - 1 - i] *= double(i) / fade;
    return {d.name, ToPcm16(signal, d.peak), d.rate};
}

std::vector<Effect> ReadEffects(const std::string &path)
{
    std::vector<EffectDef> defs;
    for (const Statement &s : ReadStatements(path, IsKeyword)) {
        const std::string &k = s.words[0];
        if (k == "effect") {
            if (s.words.size() != 2)
                Fail(s.where, "effect needs one name");
            defs.emplace_back();
            defs.back().name = s.words[1];
            defs.back().where = s.where;
            continue;
        }
        if (defs.empty())
            Fail(s.where, "'" + k + "' comes before any effect");
        EffectDef &d = defs.back();
        if (k == "voice") {
            d.voices.push_back(ParseVoice(s, 1));
            continue;
        }
        if (s.words.size() != 2)
            Fail(s.where, k + " takes one value");
        if (k == "length") d.length = ParseNumber(s.where, s.words[1]);
        else if (k == "peak") d.peak = ParseNumber(s.where, s.words[1]);
        else if (k == "rate") d.rate = ParseInt(s.where, s.words[1]);
    }
    std::vector<Effect> out;
    for (const EffectDef &d : defs)
        out.push_back(Render(d));
    return out;
}
