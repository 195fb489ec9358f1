#include "synth.h"

#include <algorithm>
#include <cmath>
#include <complex>

static const double PI = 3.14159265358979323846;

double Sweep::At(double t, double length) const
{
    double span = time > 0 ? time : length;
    double x = span > 0 ? std::clamp(t / span, 0.0, 1.0) : 1.0;
    if (exponential && from > 0 && to > 0)
        return from * std::pow(to / from, x);
    return from + (to - from) * x;
}

// "A" or "A>B", each a number or a note name.
static Sweep ParseSweep(const std::string &where, const std::string &text)
{
    Sweep s;
    size_t arrow = text.find('>');
    s.from = ParseHz(where, text.substr(0, arrow));
    s.to = arrow == std::string::npos ? s.from : ParseHz(where, text.substr(arrow + 1));
    return s;
}

static std::vector<double> ParseList(const std::string &where, const std::string &text)
{
    std::vector<double> out;
    size_t at = 0;
    while (at <= text.size()) {
        size_t comma = text.find(',', at);
        if (comma == std::string::npos)
            comma = text.size();
        out.push_back(ParseHz(where, text.substr(at, comma - at)));
        at = comma + 1;
    }
    return out;
}

Voice ParseVoice(const Statement &s, size_t from)
{
    if (from >= s.words.size())
        Fail(s.where, "a voice needs a wave");
    Voice v;
    v.wave = s.words[from];
    static const char *waves[] = {"sine", "triangle", "saw", "square", "pulse", "noise"};
    if (std::find(std::begin(waves), std::end(waves), v.wave) == std::end(waves))
        Fail(s.where, "no wave is called '" + v.wave + "'");
    const std::string &w = s.where;
    for (const auto &[key, value] : Settings(s, from + 1)) {
        if (key == "duty") v.duty = ParseNumber(w, value);
        else if (key == "pitch") v.pitch = ParseSweep(w, value);
        else if (key == "glide") v.pitch.time = ParseNumber(w, value);
        else if (key == "linear") v.pitch.exponential = false;
        else if (key == "steps") v.steps = ParseList(w, value);
        else if (key == "step") v.stepTime = ParseNumber(w, value);
        else if (key == "vibrato") {
            size_t colon = value.find(':');
            if (colon == std::string::npos)
                Fail(w, "vibrato is depth:rate");
            v.vibratoDepth = ParseNumber(w, value.substr(0, colon));
            v.vibratoRate = ParseNumber(w, value.substr(colon + 1));
        }
        else if (key == "start") v.start = ParseNumber(w, value);
        else if (key == "attack") v.attack = ParseNumber(w, value);
        else if (key == "hold") v.hold = ParseNumber(w, value);
        else if (key == "decay") v.decay = ParseNumber(w, value);
        else if (key == "curve") v.curve = ParseNumber(w, value);
        else if (key == "lowpass") v.lowpass = ParseSweep(w, value);
        else if (key == "sweep") v.lowpass.time = ParseNumber(w, value);
        else if (key == "q") v.resonance = ParseNumber(w, value);
        else if (key == "highpass") v.highpass = ParseHz(w, value);
        else if (key == "rate") v.noiseRate = ParseSweep(w, value);
        else if (key == "gain") v.gain = ParseNumber(w, value);
        else if (key == "bits") v.bits = ParseInt(w, value);
        else if (key == "seed") v.seed = uint32_t(ParseInt(w, value));
        else Fail(w, "a voice has no setting '" + key + "'");
    }
    if (v.wave != "noise" && v.pitch.from <= 0 && v.steps.empty())
        Fail(w, "a " + v.wave + " voice needs a pitch");
    if (v.decay <= 0 || v.attack < 0 || v.hold < 0)
        Fail(w, "attack and hold must not be negative, decay must be positive");
    return v;
}

// Zavalishin's state-variable filter: stable for any cutoff below Nyquist,
// so sweeps can run anywhere.
struct Svf {
    double ic1 = 0, ic2 = 0;
    void Run(double x, double cutoff, double q, int rate, double *low, double *high)
    {
        double g = std::tan(PI * std::min(cutoff, rate * 0.49) / rate);
        double k = 1.0 / q;
        double v1 = (ic1 + g * (x - ic2)) / (1 + g * (g + k));
        double v2 = ic2 + g * v1;
        ic1 = 2 * v1 - ic1;
        ic2 = 2 * v2 - ic2;
        *low = v2;
        *high = x - k * v1 - v2;
    }
};

// The step a discontinuity of a naive wave leaves, smoothed over one frame
// either side, so square and saw waves alias little.
static double PolyBlep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt) {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}

static double Oscillator(const Voice &v, double phase, double dt)
{
    if (v.wave == "sine")
        return std::sin(2 * PI * phase);
    if (v.wave == "triangle")
        return 4 * std::fabs(phase - 0.5) - 1;
    if (v.wave == "saw")
        return 2 * phase - 1 - PolyBlep(phase, dt);
    double duty = v.wave == "square" ? 0.5 : v.duty;
    double x = phase < duty ? 1 : -1;
    // A narrow pulse sits off centre; taking its mean away keeps it from
    // thumping at the start and the end.
    return x - (2 * duty - 1) + PolyBlep(phase, dt) - PolyBlep(std::fmod(phase + 1 - duty, 1.0), dt);
}

static double Envelope(const Voice &v, double t)
{
    if (t < v.attack)
        return t / v.attack;
    t -= v.attack;
    if (t < v.hold)
        return 1;
    t -= v.hold;
    return t < v.decay ? std::pow(1 - t / v.decay, v.curve) : 0;
}

static double Frequency(const Voice &v, double t)
{
    double f;
    if (!v.steps.empty()) {
        size_t i = v.stepTime > 0 ? size_t(t / v.stepTime) : 0;
        f = v.steps[std::min(i, v.steps.size() - 1)];
    } else {
        f = v.pitch.At(t, v.Length());
    }
    if (v.vibratoDepth > 0)
        f *= std::pow(2.0, v.vibratoDepth * std::sin(2 * PI * v.vibratoRate * t) / 12);
    return f;
}

static void RenderVoice(const Voice &v, std::vector<double> &out, int rate)
{
    uint32_t rng = v.seed ? v.seed : 1;
    auto noise = [&rng]() {
        rng ^= rng << 13;
        rng ^= rng >> 17;
        rng ^= rng << 5;
        return rng / 2147483648.0 - 1;
    };
    Svf low, high;
    double phase = 0, held = noise();
    size_t first = size_t(v.start * rate);
    size_t count = size_t(v.Length() * rate);
    for (size_t i = 0; i < count && first + i < out.size(); i++) {
        double t = double(i) / rate;
        double x;
        if (v.wave == "noise") {
            if (v.noiseRate.from > 0) {
                phase += v.noiseRate.At(t, v.Length()) / rate;
                if (phase >= 1) {
                    phase -= std::floor(phase);
                    held = noise();
                }
                x = held;
            } else {
                x = noise();
            }
        } else {
            double dt = Frequency(v, t) / rate;
            x = Oscillator(v, phase, dt);
            phase += dt;
            phase -= std::floor(phase);
        }
        double lo, hi;
        if (v.lowpass.from > 0) {
            low.Run(x, v.lowpass.At(t, v.Length()), v.resonance, rate, &lo, &hi);
            x = lo;
        }
        if (v.highpass > 0) {
            high.Run(x, v.highpass, 0.7, rate, &lo, &hi);
            x = hi;
        }
        if (v.bits > 0) {
            double steps = std::pow(2.0, v.bits - 1);
            x = std::round(x * steps) / steps;
        }
        out[first + i] += x * Envelope(v, t) * v.gain;
    }
}

std::vector<double> RenderVoices(const std::vector<Voice> &voices, double length, int rate)
{
    std::vector<double> out(size_t(length * rate), 0.0);
    for (const Voice &v : voices)
        RenderVoice(v, out, rate);
    return out;
}

// The naive shape at a point of its cycle, for the Fourier series.
static double NaiveWave(const std::string &wave, double duty, double phase)
{
    if (wave == "sine")
        return std::sin(2 * PI * phase);
    if (wave == "triangle")
        return 4 * std::fabs(phase - 0.5) - 1;
    if (wave == "saw")
        return 2 * phase - 1;
    return phase < (wave == "square" ? 0.5 : duty) ? 1 : -1;
}

std::vector<double> LoopWave(const std::string &wave, double duty, int period, int cycles, int chorus, double bright,
                             int maxHarmonic)
{
    const int M = 8192;
    std::vector<std::complex<double>> series(maxHarmonic + 1);
    for (int k = 1; k <= maxHarmonic; k++) {
        std::complex<double> c = 0;
        for (int m = 0; m < M; m++)
            c += NaiveWave(wave, duty, (m + 0.5) / M) * std::polar(1.0, -2 * PI * k * (m + 0.5) / M);
        double roll = bright > 0 ? 1 / std::sqrt(1 + std::pow(k / bright, 4)) : 1;
        series[k] = 2.0 * c / double(M) * roll;
    }
    size_t length = size_t(period) * cycles;
    std::vector<double> out(length, 0.0);
    static const int detune[3] = {0, 1, -1};
    for (int copy = 0; copy < chorus; copy++) {
        int turns = cycles + detune[copy];
        double offset = 0.37 * copy;  // the copies start apart, so they never cancel at once
        for (size_t n = 0; n < length; n++) {
            double phase = double(turns) * n / length + offset;
            double x = 0;
            for (int k = 1; k <= maxHarmonic; k++)
                x += (series[k] * std::polar(1.0, 2 * PI * k * phase)).real();
            out[n] += x;
        }
    }
    return out;
}

std::vector<int16_t> ToPcm16(const std::vector<double> &signal, double peakDb)
{
    double peak = 0;
    for (double x : signal)
        peak = std::max(peak, std::fabs(x));
    double scale = peak > 0 ? 32767 * std::pow(10.0, peakDb / 20) / peak : 0;
    std::vector<int16_t> out(signal.size());
    for (size_t i = 0; i < signal.size(); i++)
        out[i] = int16_t(std::lround(std::clamp(signal[i] * scale, -32768.0, 32767.0)));
    return out;
}
