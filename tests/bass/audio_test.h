// Helpers for the audio tests: the back-end opened offline (the device stays
// paused, and only the test mixes), hand-made WAV files, and modules played
// straight through libopenmpt to compare the mixer's output with.
#pragma once

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "bass/mixer.h"
#include "wav.h"
#include "image.h"
#include "temp_folder.h"

typedef std::vector<int16_t> Frames;  // interleaved stereo

inline Frames Render(int count)
{
    Frames out(size_t(count) * 2);
    BassRender(out.data(), count);
    return out;
}

inline bool Silent(const Frames &f)
{
    for (int16_t v : f)
        if (v != 0)
            return false;
    return true;
}

inline int Peak(const Frames &f)
{
    int peak = 0;
    for (int16_t v : f)
        peak = std::max(peak, std::abs(int(v)));
    return peak;
}

// A folder of its own for each test's files, removed when the test ends.
inline std::filesystem::path TestFolder() { return MakeTestFolder(); }

// A module opened as the back-end opens it, to hear what the mixer should:
// its frames come out of the mixer BASS_DELAY frames late, after the limiter
// (which leaves the music alone), so the reference is as late.
struct ReferenceModule {
    std::vector<uint8_t> file;
    openmpt_module *mod = nullptr;
    Frames pending = Frames(BASS_DELAY * 2, 0);

    explicit ReferenceModule(const std::string &path) : file(ReadFile(path))
    {
        mod = openmpt_module_create_from_memory2(file.data(), file.size(), openmpt_log_func_silent, nullptr,
                                                 nullptr, nullptr, nullptr, nullptr, nullptr);
        if (mod) {
            openmpt_module_set_repeat_count(mod, -1);
            openmpt_module_ctl_set_integer(mod, "dither", 0);
        }
    }
    ~ReferenceModule() { openmpt_module_destroy(mod); }

    // Read in the mixer's own slices, so the two agree to the last bit.
    Frames Read(int count)
    {
        if (!mod)
            return Frames(size_t(count) * 2, 0);
        size_t start = pending.size();
        pending.resize(start + size_t(count) * 2);
        for (int done = 0; done < count;) {
            int n = std::min(count - done, int(BASS_BLOCK));
            openmpt_module_read_interleaved_stereo(mod, 44100, n, pending.data() + start + done * 2);
            done += n;
        }
        Frames out(pending.begin(), pending.begin() + count * 2);
        pending.erase(pending.begin(), pending.begin() + count * 2);
        return out;
    }
};

// A value of an effect as the mixer adds it, a little under the music.
inline int EffectLevel(int value)
{
    return (value * BASS_EFFECT_GAIN) >> 15;
}

// The back-end open without a running device: nothing mixes but Render.
class OfflineBass : public ::testing::Test {
protected:
    void SetUp() override
    {
        bassOffline = 1;
        ASSERT_TRUE(BASS_Init(1, 44100, 0, nullptr, nullptr));
    }
    void TearDown() override { BASS_Free(); }
};
