// The instruments the songs share, each made into one IT instrument and its
// sample.
#pragma once

#include <map>
#include <string>

#include "itwriter.h"

// A looped wave is made once for every range of notes that needs its own
// number of harmonics (a wave bright enough for the bass would alias high
// up); a shot is one sample for every note.
struct InstrumentDef {
    ItInstrument instrument;       // its keyboard is filled in by the song
    ItSample sample;               // the settings every sample shares
    std::vector<ItSample> samples;
    std::array<int, 120> zone{};   // the sample (0-based in samples) each note plays
    bool sustains = false;         // a held note sounds until it is released or cut
};

std::map<std::string, InstrumentDef> ReadInstruments(const std::string &path);
