//   effect NAME
//     length SECONDS
//     peak DB         (the loudest frame, in dB below full scale)
//     rate FRAMES     (22050 unless given)
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
    int rate = 22050;
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

std::vector<uint8_t> EncodeWav(const Effect &e)
{
    std::vector<uint8_t> b;
    auto u16 = [&b](uint32_t v) { b.push_back(uint8_t(v)), b.push_back(uint8_t(v >> 8)); };
    auto u32 = [&u16](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    auto tag = [&b](const char *t) {
        for (int i = 0; i < 4; i++)
            b.push_back(uint8_t(t[i]));
    };
    uint32_t data = uint32_t(e.pcm.size() * 2);
    tag("RIFF"), u32(36 + data), tag("WAVE");
    tag("fmt "), u32(16), u16(1), u16(1), u32(uint32_t(e.rate)), u32(uint32_t(e.rate) * 2), u16(2), u16(16);
    tag("data"), u32(data);
    for (int16_t v : e.pcm)
        u16(uint16_t(v));
    return b;
}
