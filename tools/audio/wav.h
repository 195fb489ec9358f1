// A 16-bit PCM WAV file in memory: the builder's effects, the render tool's
// output and the tests' hand-made sounds.
#pragma once

#include <cstdint>
#include <vector>

inline std::vector<uint8_t> EncodeWav(int rate, int channels, const std::vector<int16_t> &values)
{
    std::vector<uint8_t> b;
    auto u16 = [&b](uint32_t v) { b.push_back(uint8_t(v)), b.push_back(uint8_t(v >> 8)); };
    auto u32 = [&u16](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    auto tag = [&b](const char *t) {
        for (int i = 0; i < 4; i++)
            b.push_back(uint8_t(t[i]));
    };
    uint32_t data = uint32_t(values.size() * 2);
    tag("RIFF"), u32(36 + data), tag("WAVE");
    tag("fmt "), u32(16), u16(1), u16(uint32_t(channels)), u32(uint32_t(rate));
    u32(uint32_t(rate * channels * 2)), u16(uint32_t(channels * 2)), u16(16);
    tag("data"), u32(data);
    for (int16_t v : values)
        u16(uint16_t(v));
    return b;
}
