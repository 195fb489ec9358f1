// The game's sound effects: each made from voices and written as a mono
// 16-bit WAV.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Effect {
    std::string name;  // the file is NAME.wav
    std::vector<int16_t> pcm;
    int rate = 44100;
};

std::vector<Effect> ReadEffects(const std::string &path);
