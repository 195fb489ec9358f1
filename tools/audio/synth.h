// The synthesiser behind every sound of the game: voices (an oscillator or
// noise through an envelope, a pitch sweep and filters) summed into one-shot
// sounds, and band-limited single-cycle waves for looped instruments.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "text.h"

// A value that moves from `from` to `to` over `time` seconds (the voice's
// whole length when time is 0), exponentially or in a straight line, then
// stays at `to`.
struct Sweep {
    double from = 0, to = 0, time = 0;
    bool exponential = true;
    double At(double t, double length) const;
};

struct Voice {
    std::string wave = "sine";  // sine triangle saw square pulse noise
    double duty = 0.5;          // pulse: the share of the cycle that is high
    Sweep pitch;                // Hz
    std::vector<double> steps;  // an arpeggio: Hz held `stepTime` each, the last held on
    double stepTime = 0;
    double vibratoDepth = 0, vibratoRate = 0;  // semitones, Hz
    double start = 0;                          // seconds into the sound
    double attack = 0.002, hold = 0, decay = 0.1;
    double curve = 2;  // the decay falls as (1 - t)^curve, so it ends at zero
    Sweep lowpass;     // Hz; off when from is 0
    double resonance = 0.7;
    double highpass = 0;  // Hz; off when 0
    Sweep noiseRate;      // noise: new random values per second; every frame when 0
    double gain = 1;
    int bits = 0;  // quantise the voice to this many bits for grit; off when 0
    uint32_t seed = 1;

    double Length() const { return attack + hold + decay; }
};

// Reads "voice WAVE key=value..." into a voice.
Voice ParseVoice(const Statement &s, size_t from);

// Sums the voices over `length` seconds at `rate` frames a second.
std::vector<double> RenderVoices(const std::vector<Voice> &voices, double length, int rate);

// A looped wave: `cycles` periods of `period` frames, from the Fourier
// series of the naive shape cut at `maxHarmonic` and rolled off past
// `bright` (0: no roll-off). With chorus 2 or 3, copies one cycle sharper
// (and one flatter) over the whole loop are added, so the loop still closes
// exactly.
std::vector<double> LoopWave(const std::string &wave, double duty, int period, int cycles, int chorus, double bright,
                             int maxHarmonic);

// Scales to a peak of `peakDb` dBFS and rounds to 16 bits.
std::vector<int16_t> ToPcm16(const std::vector<double> &signal, double peakDb);
