// The instruments the songs share, each made into one IT instrument and its
// sample.
#pragma once

#include <map>
#include <string>

#include "itwriter.h"

struct InstrumentDef {
    ItInstrument instrument;  // its sample number is set by the song
    ItSample sample;
    bool sustains = false;  // a held note sounds until it is released or cut
};

std::map<std::string, InstrumentDef> ReadInstruments(const std::string &path);
