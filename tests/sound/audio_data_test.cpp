// The committed effects and music: rebuilt byte for byte from their sources,
// and each fit to play: modules that load cleanly, run over a minute before
// they loop, are never silent for long, never clip and loop without a
// click; effects that are short, unclipped and start and end quietly.

#include <cmath>
#include <cstdlib>

#include "bass/audio_test.h"
#include "sound/sound.h"

namespace fs = std::filesystem;

namespace {

const int FULL_SCALE_LESS_3DB = 23197;  // 32768 * 10^(-3/20)
const int FULL_SCALE_LESS_40DB = 328;   // 32768 * 10^(-40/20)

TEST(AudioData, RebuildsByteForByte)
{
    fs::path out = TestFolder();
    std::string cmd = std::string(KV_TOOLS_DIR) + "/build_audio '" + out.string() + "' '" + KV_SOURCE_DIR +
                      "/assets/audio'";
    ASSERT_EQ(system(cmd.c_str()), 0) << cmd;
    std::vector<std::string> expected;
    for (const char *f : EffectFiles)
        expected.push_back(fs::path(f).filename());
    for (const char *f : MusicFiles)
        expected.push_back(fs::path(f).filename());
    auto files = fs::directory_iterator(out);
    EXPECT_EQ(std::distance(begin(files), end(files)), long(expected.size()));
    for (const std::string &name : expected) {
        bool ok = false;
        std::vector<uint8_t> fresh = ReadFile((out / name).string(), &ok);
        EXPECT_TRUE(ok) << name << " was not built";
        EXPECT_TRUE(fresh == ReadFile(std::string(KV_SOURCE_DIR) + "/data/" + name)) << name << " differs";
    }
    fs::remove_all(out);
}

void Collect(const char *message, void *user)
{
    static_cast<std::string *>(user)->append(message).append("\n");
}

class Module : public ::testing::TestWithParam<const char *> {};

TEST_P(Module, LoadsCleanlyPlaysOverAMinuteAndLoopsWithoutAClick)
{
    std::vector<uint8_t> file = ReadFile(GetParam());
    std::string log;
    openmpt_module *mod = openmpt_module_create_from_memory2(file.data(), file.size(), Collect, &log, nullptr,
                                                             nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(mod, nullptr);
    EXPECT_EQ(log, "") << "libopenmpt had something to say";
    EXPECT_GE(openmpt_module_get_num_channels(mod), 4);  // bass, lead, harmony, drums at least
    double length = openmpt_module_get_duration_seconds(mod);
    EXPECT_GE(length, 60.0);

    // The whole song and a second past its loop point.
    openmpt_module_set_repeat_count(mod, -1);
    openmpt_module_ctl_set_integer(mod, "dither", 0);
    size_t seam = size_t(std::lround(length * 44100));
    Frames f((seam + 44100) * 2);
    openmpt_module_read_interleaved_stereo(mod, 44100, f.size() / 2, f.data());
    openmpt_module_destroy(mod);

    EXPECT_LE(Peak(f), FULL_SCALE_LESS_3DB);
    double energy = 0;
    for (int16_t v : f)
        energy += double(v) * v;
    EXPECT_GT(10 * std::log10(energy / f.size() / (32768.0 * 32768.0)), -30.0) << "RMS in dBFS";
    // Never three seconds without a sound above -40 dBFS.
    for (size_t start = 0; start + 3 * 44100 <= seam; start += 44100) {
        Frames window(f.begin() + start * 2, f.begin() + (start + 3 * 44100) * 2);
        EXPECT_GT(Peak(window), FULL_SCALE_LESS_40DB) << "silent from " << start / 44100 << " s";
    }
    // Around the seam no step between neighbouring frames is steeper than
    // the steepest anywhere else in the song.
    int nearSeam = 0, elsewhere = 0;
    for (size_t i = 2; i < f.size(); i++) {
        int step = std::abs(f[i] - f[i - 2]);
        size_t frame = i / 2;
        if (frame + 220 > seam && frame < seam + 220)
            nearSeam = std::max(nearSeam, step);
        else
            elsewhere = std::max(elsewhere, step);
    }
    EXPECT_LE(nearSeam, elsewhere);
}

INSTANTIATE_TEST_SUITE_P(Committed, Module,
                         ::testing::Values("data/menu.it", "data/level01.it", "data/level02.it", "data/level03.it"));

TEST(AudioData, EffectsAreShortUnclippedAndStartAndEndQuietly)
{
    for (const char *path : EffectFiles) {
        SDL_AudioSpec spec;
        Uint8 *data = nullptr;
        Uint32 bytes = 0;
        ASSERT_NE(SDL_LoadWAV(path, &spec, &data, &bytes), nullptr) << path;
        EXPECT_EQ(spec.format, AUDIO_S16LSB) << path;
        EXPECT_EQ(spec.freq, 44100) << path << " would be resampled at every start of the game";
        std::vector<int16_t> v((int16_t *)data, (int16_t *)(data + bytes));
        SDL_FreeWAV(data);
        double seconds = double(v.size()) / spec.channels / spec.freq;
        EXPECT_LE(seconds, 0.6) << path;
        if (std::string(path) == "data/sfxshoot.wav") {
            EXPECT_LT(seconds, 0.25) << "a shot can repeat every few passes";
        }
        int peak = Peak(v);
        EXPECT_LE(peak, FULL_SCALE_LESS_3DB) << path;
        EXPECT_GE(peak, 32768 / 4) << path << " would drown under the music";  // -12 dBFS
        EXPECT_LT(std::abs(v.front()), 1000) << path;
        EXPECT_LT(std::abs(v.back()), 100) << path;
    }
}

}  // namespace
