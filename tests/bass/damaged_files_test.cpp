// Sound files that are damaged, odd or not files at all: each loads as
// silence (no handle), is named once on stderr with what is wrong, never
// hangs, never reads past its bytes and never asks for absurd memory; and
// WAVs in other formats than the game's own are converted.

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include "audio_test.h"

namespace {

typedef std::vector<uint8_t> Bytes;

void Put16(Bytes &b, uint32_t v) { b.push_back(uint8_t(v)), b.push_back(uint8_t(v >> 8)); }
void Put32(Bytes &b, uint32_t v) { Put16(b, v & 0xFFFF), Put16(b, v >> 16); }
void Tag(Bytes &b, const char *t)
{
    for (int i = 0; i < 4; i++)
        b.push_back(uint8_t(t[i]));
}

// A WAV of any format, whose data chunk may claim more than it holds.
Bytes MakeWav(int tag, int channels, int rate, int bits, const Bytes &data, uint32_t claimed)
{
    Bytes b;
    Tag(b, "RIFF"), Put32(b, uint32_t(36 + data.size())), Tag(b, "WAVE");
    Tag(b, "fmt "), Put32(b, 16), Put16(b, uint32_t(tag)), Put16(b, uint32_t(channels)), Put32(b, uint32_t(rate));
    Put32(b, uint32_t(rate * channels * bits / 8)), Put16(b, uint32_t(channels * bits / 8)), Put16(b, uint32_t(bits));
    Tag(b, "data"), Put32(b, claimed);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

Bytes MakeWav(int tag, int channels, int rate, int bits, const Bytes &data)
{
    return MakeWav(tag, channels, rate, bits, data, uint32_t(data.size()));
}

class DamagedFiles : public OfflineBass {
protected:
    std::filesystem::path dir = TestFolder();

    std::string Write(const char *name, const Bytes &bytes)
    {
        std::string path = (dir / name).string();
        WriteFile(path, bytes);
        return path;
    }

    // Loads the file both ways it could be meant; says what was printed.
    static std::string LoadsAsSilence(const std::string &path, bool module)
    {
        ::testing::internal::CaptureStderr();
        alarm(10);  // a load that hangs fails the test instead of hanging it
        DWORD h = module ? BASS_MusicLoad(FALSE, path.c_str(), 0, 0, BASS_MUSIC_RAMP, 0)
                         : BASS_SampleLoad(FALSE, path.c_str(), 0, 0, 3, BASS_SAMPLE_OVER_VOL);
        alarm(0);
        std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(h, 0u) << path;
        EXPECT_NE(said.find(path), std::string::npos) << "the file is not named: " << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        return said;
    }
};

TEST_F(DamagedFiles, WavsThatCannotBePlayedAreSilentAndNamed)
{
    Bytes sound(400, 0x40);
    LoadsAsSilence(Write("garbage.wav", Bytes(200, 0x5A)), false);
    LoadsAsSilence(Write("nothing.wav", Bytes()), false);
    EXPECT_NE(LoadsAsSilence(Write("empty.wav", MakeWav(1, 1, 44100, 16, Bytes())), false).find("no sound"),
              std::string::npos);
    Bytes whole = MakeWav(1, 1, 44100, 16, sound);
    LoadsAsSilence(Write("truncated.wav", Bytes(whole.begin(), whole.end() - 100)), false);
    Bytes header(whole.begin(), whole.begin() + 20);
    LoadsAsSilence(Write("header-only.wav", header), false);
    EXPECT_NE(LoadsAsSilence(Write("adpcm.wav", MakeWav(2, 1, 44100, 4, sound)), false).find("format"),
              std::string::npos);
    LoadsAsSilence(Write("no-channels.wav", MakeWav(1, 0, 44100, 16, sound)), false);
    LoadsAsSilence(Write("no-rate.wav", MakeWav(1, 1, 0, 16, sound)), false);
    // 197 bytes that claim 4 GiB of sound: nothing of that size is ever
    // asked of the allocator (the sanitizer build would stop if it were).
    Bytes huge = MakeWav(1, 2, 44100, 16, Bytes(153, 0x11), 0xFFFFFFF0u);
    ASSERT_EQ(huge.size(), 197u);
    EXPECT_NE(LoadsAsSilence(Write("huge.wav", huge), false).find("claims more"), std::string::npos);
}

TEST_F(DamagedFiles, ModulesThatCannotBePlayedAreSilentAndNamed)
{
    LoadsAsSilence(Write("garbage.it", Bytes(5000, 0xA5)), true);
    LoadsAsSilence(Write("empty.it", Bytes()), true);
    Bytes header = ReadFile("data/level01.it");
    header.resize(100);
    LoadsAsSilence(Write("header.it", header), true);
}

// A module cut short keeps what its header and the bytes left give:
// libopenmpt plays it, and it is played like any other.
TEST_F(DamagedFiles, AModuleCutShortPlaysWhatIsLeft)
{
    Bytes module = ReadFile("data/level01.it");
    ASSERT_GT(module.size(), 100000u);
    for (size_t keep : {size_t(3000), module.size() / 2}) {
        Bytes cut(module.begin(), module.begin() + long(keep));
        HMUSIC m = BASS_MusicLoad(FALSE, Write("cut.it", cut).c_str(), 0, 0, BASS_MUSIC_RAMP, 0);
        ASSERT_NE(m, 0u) << keep;
        BASS_Start();
        BASS_MusicPlay(m);
        EXPECT_LE(Peak(Render(44100)), BASS_CEILING);
        BASS_Stop();
        BASS_MusicFree(m);
    }
}

// A folder, a FIFO and a file that cannot be opened where a sound should
// be: the folder is not trusted for a size, and the FIFO is never waited on.
TEST_F(DamagedFiles, WhatIsNotAPlainFileIsNeverRead)
{
    for (const char *name : {"folder.wav", "folder.it"})
        std::filesystem::create_directory(dir / name);
    for (const char *name : {"fifo.wav", "fifo.it"})
        ASSERT_EQ(mkfifo((dir / name).c_str(), 0600), 0);
    std::filesystem::create_symlink(dir / "loop.wav", dir / "loop.wav");
    EXPECT_NE(LoadsAsSilence((dir / "folder.it").string(), true).find("folder"), std::string::npos);
    LoadsAsSilence((dir / "folder.wav").string(), false);
    EXPECT_NE(LoadsAsSilence((dir / "fifo.wav").string(), false).find("not a plain file"), std::string::npos);
    LoadsAsSilence((dir / "fifo.it").string(), true);
    LoadsAsSilence((dir / "loop.wav").string(), false);
    LoadsAsSilence((dir / "missing.wav").string(), false);
    if (geteuid() != 0) {  // root reads a file whatever its mode
        std::string locked = Write("locked.wav", MakeWav(1, 1, 44100, 16, Bytes(100, 0)));
        chmod(locked.c_str(), 0);
        LoadsAsSilence(locked, false);
    }
    BASS_Start();
    EXPECT_TRUE(Silent(Render(1000)));
}

// Float and 24-bit six-channel WAVs are sounds like any other: folded down
// to stereo (even channels left, odd right) and heard at their values.
TEST_F(DamagedFiles, FloatAndSixChannelWavsAreConverted)
{
    Bytes floats;
    for (int i = 0; i < 100; i++) {
        float left = 0.5f, right = -0.25f;
        uint8_t raw[8];
        memcpy(raw, &left, 4), memcpy(raw + 4, &right, 4);
        floats.insert(floats.end(), raw, raw + 8);
    }
    Bytes six;
    for (int i = 0; i < 100; i++)
        for (int c = 0; c < 6; c++) {
            int32_t v = (c + 1) * 1000 * 256;  // 24 bits: 1000, 2000, ... 6000 in 16
            six.push_back(uint8_t(v)), six.push_back(uint8_t(v >> 8)), six.push_back(uint8_t(v >> 16));
        }
    ::testing::internal::CaptureStderr();
    HSAMPLE f = BASS_SampleLoad(FALSE, Write("float.wav", MakeWav(3, 2, 44100, 32, floats)).c_str(), 0, 0, 3,
                                BASS_SAMPLE_OVER_VOL);
    HSAMPLE s = BASS_SampleLoad(FALSE, Write("six.wav", MakeWav(1, 6, 44100, 24, six)).c_str(), 0, 0, 3,
                                BASS_SAMPLE_OVER_VOL);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ASSERT_NE(f, 0u);
    ASSERT_NE(s, 0u);
    BASS_Start();
    BASS_SamplePlay(f);
    Frames heard = Render(BASS_DELAY + 50);
    EXPECT_EQ(heard[2 * BASS_DELAY], EffectLevel(16384));  // 0.5 of 32767, rounded
    EXPECT_EQ(heard[2 * BASS_DELAY + 1], EffectLevel(-8192));
    Render(200);
    BASS_SamplePlay(s);
    heard = Render(BASS_DELAY + 50);
    EXPECT_EQ(heard[2 * BASS_DELAY], EffectLevel(3000));      // (1000 + 3000 + 5000) / 3
    EXPECT_EQ(heard[2 * BASS_DELAY + 1], EffectLevel(4000));  // (2000 + 4000 + 6000) / 3
}

}  // namespace
