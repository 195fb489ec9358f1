// Writes Impulse Tracker modules (format 2.14): instruments with volume
// envelopes, 16-bit samples and packed patterns.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct ItSample {
    std::string name;
    std::vector<int16_t> pcm;
    uint32_t c5Speed = 44100;  // frames a second played at note C-5 (middle C)
    int volume = 64;           // default volume, 0..64
    int globalVolume = 64;     // 0..64
    bool loop = false;
    uint32_t loopBegin = 0, loopEnd = 0;  // loopEnd is one past the last looped frame
    int vibratoSpeed = 0, vibratoDepth = 0, vibratoSweep = 0;  // auto-vibrato, 0..64
};

struct ItEnvelopePoint {
    int tick;
    int value;  // 0..64
};

enum { NNA_CUT = 0, NNA_CONTINUE = 1, NNA_OFF = 2, NNA_FADE = 3 };

struct ItInstrument {
    std::string name;
    std::array<int, 120> keyboard{};  // the sample (1-based) each note plays
    int nna = NNA_CUT;
    int fadeout = 0;  // 0..128: how fast a released note fades
    int globalVolume = 128;
    std::vector<ItEnvelopePoint> envelope;  // volume; empty: none
    int sustain = -1;                       // envelope point held while the key is down
};

enum { NOTE_NONE = -1, NOTE_FADE = 246, NOTE_CUT = 254, NOTE_OFF = 255 };

struct ItCell {
    int note = NOTE_NONE;  // 0..119 (C-0..B-9; 60 is C-5, middle C), or NOTE_*
    int instrument = 0;    // 1-based, 0: none
    int volume = -1;       // 0..64, -1: none
    char effect = 0;       // 'A'..'Z', 0: none
    int param = 0;

    bool Empty() const { return note == NOTE_NONE && instrument == 0 && volume < 0 && effect == 0; }
};

struct ItPattern {
    int rows = 64;
    int channels = 0;
    std::vector<ItCell> cells;  // row by row

    ItPattern() = default;
    ItPattern(int r, int c) : rows(r), channels(c), cells(size_t(r) * c) {}
    ItCell &At(int row, int channel) { return cells[size_t(row) * channels + channel]; }
    const ItCell &At(int row, int channel) const { return cells[size_t(row) * channels + channel]; }
};

struct ItModule {
    std::string title;
    int speed = 6, tempo = 125;  // ticks a row, beats a minute (4 rows a beat at speed 6)
    int globalVolume = 128, mixVolume = 48;
    std::vector<int> pan;     // one per channel, 0 (left)..64 (right)
    std::vector<int> volume;  // one per channel, 0..64
    std::vector<int> orders;
    std::vector<ItInstrument> instruments;
    std::vector<ItSample> samples;
    std::vector<ItPattern> patterns;
};

std::vector<uint8_t> EncodeIt(const ItModule &m);
