// Sound files that are damaged, odd or not files at all: each loads as
// silence (no handle), is named once on stderr with what is wrong, never
// hangs, never reads past its bytes and never asks for absurd memory; and
// WAVs in other formats than the game's own are converted.

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

#include "audio_test.h"
#include "bass/readfile.h"

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
    EXPECT_NE(LoadsAsSilence(Write("nothing.wav", Bytes()), false).find("empty"), std::string::npos);
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
    EXPECT_NE(LoadsAsSilence(Write("empty.it", Bytes()), true).find("empty"), std::string::npos);
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

// A folder, a FIFO, a file that cannot be opened and one that gives less
// than its size where a sound should be: the folder is not trusted for a
// size, and the FIFO is never waited on.
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
    EXPECT_NE(LoadsAsSilence((dir / "absent.wav").string(), false).find(": missing"), std::string::npos);
    if (geteuid() != 0) {  // root reads a file whatever its mode
        std::string locked = Write("locked.wav", MakeWav(1, 1, 44100, 16, Bytes(100, 0)));
        chmod(locked.c_str(), 0);
        LoadsAsSilence(locked, false);
    }
    // A file that gives fewer bytes than its size says, as one cut while it
    // is read would: the kernel's files say 4096 and give a few.
    const char *shrinking = "/sys/devices/system/cpu/online";
    struct stat st;
    if (stat(shrinking, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 100) {
        EXPECT_NE(LoadsAsSilence(shrinking, false).find("read whole"), std::string::npos);
    }
    BASS_Start();
    EXPECT_TRUE(Silent(Render(1000)));
}

// A sound file may be as large as 16 MiB, and not a byte more: 8-bit mono
// at 384000 Hz, 43.7 seconds of it.
TEST_F(DamagedFiles, ASoundFileMayBeSixteenMebibytesAndNoMore)
{
    for (uint32_t size : {uint32_t(BASS_MAX_FILE), uint32_t(BASS_MAX_FILE) + 1}) {
        std::string path = Write("large.wav", MakeWav(1, 1, 384000, 8, Bytes(), size - 44));
        std::filesystem::resize_file(path, size);  // the rest, zero bytes
        if (size == uint32_t(BASS_MAX_FILE)) {
            HSAMPLE s = BASS_SampleLoad(FALSE, path.c_str(), 0, 0, 3, BASS_SAMPLE_OVER_VOL);
            EXPECT_NE(s, 0u);
            BASS_SampleFree(s);
        } else {
            EXPECT_NE(LoadsAsSilence(path, false).find("larger"), std::string::npos);
        }
    }
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

Bytes Values16(std::initializer_list<int> values)
{
    Bytes b;
    for (int v : values)
        Put16(b, uint32_t(uint16_t(int16_t(v))));
    return b;
}

// WAVs of other shapes, each heard at the values worked out from its bytes:
// the game's own 16-bit stereo (for a start), 8-bit (centred on 128), the
// extensible header, a chunk of odd length before the format (padded to
// even), a rate below the output's (each frame blended with its
// neighbours), a rate above it (its length rounded up to a whole frame) and
// floats beyond full scale (held to it before the channels are folded),
// and an odd number of channels (each side divided by its own count).
TEST_F(DamagedFiles, WavsOfOtherShapesAreHeardAtTheirValues)
{
    auto load = [&](const char *name, const Bytes &file) {
        HSAMPLE s = BASS_SampleLoad(FALSE, Write(name, file).c_str(), 0, 0, 3, BASS_SAMPLE_OVER_VOL);
        EXPECT_NE(s, 0u) << name;
        return s;
    };
    // The frames heard of a playback, from its first; then it has ended.
    auto heard = [&](HSAMPLE s) {
        BASS_SamplePlay(s);
        Frames f = Render(BASS_DELAY + 300);
        return Frames(f.begin() + 2 * BASS_DELAY, f.end());
    };
    BASS_Start();

    Frames eight = heard(load("eight.wav", MakeWav(1, 1, 44100, 8, Bytes{192, 64, 128})));
    EXPECT_EQ(eight[0], EffectLevel(16384));  // (192 - 128) * 256
    EXPECT_EQ(eight[2], EffectLevel(-16384));
    EXPECT_EQ(eight[4], 0);

    // The game's own format, two sides of their own, copied as it is.
    Frames stereo = heard(load("stereo.wav", MakeWav(1, 2, 44100, 16, Values16({3000, -3000}))));
    EXPECT_EQ(stereo[0], EffectLevel(3000));
    EXPECT_EQ(stereo[1], EffectLevel(-3000));

    Bytes extensible;
    Tag(extensible, "RIFF"), Put32(extensible, 62), Tag(extensible, "WAVE");
    Tag(extensible, "fmt "), Put32(extensible, 40), Put16(extensible, 0xFFFE), Put16(extensible, 1);
    Put32(extensible, 44100), Put32(extensible, 88200), Put16(extensible, 2), Put16(extensible, 16);
    Put16(extensible, 22), Put16(extensible, 16), Put32(extensible, 4);  // valid bits, speaker mask
    Put16(extensible, 1);  // the sub-format: PCM
    extensible.insert(extensible.end(), 14, 0);
    Tag(extensible, "data"), Put32(extensible, 2);
    Bytes value = Values16({5000});
    extensible.insert(extensible.end(), value.begin(), value.end());
    EXPECT_EQ(heard(load("extensible.wav", extensible))[0], EffectLevel(5000));

    Bytes odd;
    Tag(odd, "RIFF"), Put32(odd, 0), Tag(odd, "WAVE");
    Tag(odd, "LIST"), Put32(odd, 3), odd.push_back('a'), odd.push_back('b'), odd.push_back('c'), odd.push_back(0);
    Bytes plain = MakeWav(1, 1, 44100, 16, Values16({7000}));
    odd.insert(odd.end(), plain.begin() + 12, plain.end());
    EXPECT_EQ(heard(load("odd-chunk.wav", odd))[0], EffectLevel(7000));

    // 22050 Hz: every other frame at 44100 falls halfway between two.
    Frames slow = heard(load("slow.wav", MakeWav(1, 1, 22050, 16, Values16({0, 1000, 2000, 3000}))));
    EXPECT_EQ(slow[2 * 1], EffectLevel(500));
    EXPECT_EQ(slow[2 * 2], EffectLevel(1000));
    EXPECT_EQ(slow[2 * 5], EffectLevel(2500));

    // 100 frames at 48000 Hz last 91.875 frames at 44100: 92 are heard.
    Bytes many;
    for (int i = 0; i < 100; i++)
        Put16(many, 2000);
    Frames fast = heard(load("fast.wav", MakeWav(1, 1, 48000, 16, many)));
    EXPECT_EQ(fast[2 * 91], EffectLevel(2000));
    EXPECT_EQ(fast[2 * 92], 0);

    // Four float channels 2.0, -0.5, 0, -0.5: left (32767 + 0) / 2 and
    // right (-16383.5 - 16383.5) / 2, both rounded away from zero.
    Bytes floats;
    for (float v : {2.0f, -0.5f, 0.0f, -0.5f}) {
        uint8_t raw[4];
        memcpy(raw, &v, 4);
        floats.insert(floats.end(), raw, raw + 4);
    }
    Frames folded = heard(load("loud-float.wav", MakeWav(3, 4, 44100, 32, floats)));
    EXPECT_EQ(folded[0], EffectLevel(16384));
    EXPECT_EQ(folded[1], EffectLevel(-16384));

    // Three channels: two even ones to the left, (1000 + 2000) / 2, and the
    // one odd one alone to the right.
    Frames three = heard(load("three.wav", MakeWav(1, 3, 44100, 16, Values16({1000, 3000, 2000}))));
    EXPECT_EQ(three[0], EffectLevel(1500));
    EXPECT_EQ(three[1], EffectLevel(3000));
}

}  // namespace
