// Reads a song's score into an IT module. The score format is described at
// the top of score.cpp and in docs/audio.md.
#pragma once

#include <map>
#include <string>

#include "instruments.h"
#include "itwriter.h"

ItModule ReadSong(const std::string &path, const std::map<std::string, InstrumentDef> &library);
