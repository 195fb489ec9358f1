// Sound files that are damaged, odd or not files at all: each loads as
// silence (no handle), is named once on stderr with what is wrong, never
// hangs, never reads past its bytes and never asks for absurd memory; and
// WAVs in other formats than the game's own are converted.

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "audio_test.h"
#include "bass/readfile.h"
#include "bass/wavdecode.h"

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

// The reader straight from bytes: what it makes of a file, or why it refuses.
struct Decoded {
    std::vector<int16_t> frames;  // left, right, left, right...
    std::string why;
};

Decoded Decode(const Bytes &file, int rate = 44100)
{
    Uint32 count = 0;
    const char *why = nullptr;
    Sint16 *pcm = DecodeWav(file.data(), file.size(), rate, &count, &why);
    Decoded d;
    if (pcm)
        d.frames.assign(pcm, pcm + 2 * size_t(count));
    else
        d.why = why ? why : "";
    free(pcm);
    return d;
}

// Every limit of the reader, one step on each side: the first value it
// takes and the first it refuses.
TEST(WavLimits, EachCheckTakesItsLastGoodValueAndRefusesTheNext)
{
    Bytes one = Values16({1234});
    struct Side {
        const char *what;
        Bytes file;
        const char *refusal;  // nullptr: the file is taken
    } sides[] = {
        {"rate 1000 Hz", MakeWav(1, 1, 1000, 16, one), nullptr},
        {"rate 999 Hz", MakeWav(1, 1, 999, 16, one), "rate"},
        {"rate 384000 Hz", MakeWav(1, 1, 384000, 16, one), nullptr},
        {"rate 384001 Hz", MakeWav(1, 1, 384001, 16, one), "rate"},
        {"one channel", MakeWav(1, 1, 44100, 16, one), nullptr},
        {"eight channels", MakeWav(1, 8, 44100, 16, Bytes(16, 0)), nullptr},
        {"nine channels", MakeWav(1, 9, 44100, 16, Bytes(18, 0)), "channels"},
        {"a whole frame of 24 bits", MakeWav(1, 2, 44100, 24, Bytes(6, 0)), nullptr},
        {"a frame short of a byte", MakeWav(1, 2, 44100, 24, Bytes(5, 0)), "no sound"},
        {"64-bit float", MakeWav(3, 1, 44100, 64, Bytes(8, 0)), nullptr},
        {"16-bit float", MakeWav(3, 1, 44100, 16, one), "format"},
        {"12-bit", MakeWav(1, 1, 44100, 12, one), "format"},
        {"data that holds what it claims", MakeWav(1, 1, 44100, 16, Bytes(4, 0), 4), nullptr},
        {"data one byte short of its claim", MakeWav(1, 1, 44100, 16, Bytes(4, 0), 5), "claims more"},
    };
    for (const Side &s : sides) {
        Decoded d = Decode(s.file);
        if (!s.refusal) {
            EXPECT_EQ(d.why, "") << s.what;
            EXPECT_FALSE(d.frames.empty()) << s.what;
        } else {
            EXPECT_NE(d.why.find(s.refusal), std::string::npos) << s.what << ": " << d.why;
        }
    }

    // A minute is the longest an effect may last: 60 * 1000 frames at
    // 1000 Hz are taken, one frame more is not.
    Bytes minute(2 * 60000, 0);
    EXPECT_EQ(Decode(MakeWav(1, 1, 1000, 16, minute)).why, "");
    minute.resize(minute.size() + 2);
    EXPECT_NE(Decode(MakeWav(1, 1, 1000, 16, minute)).why.find("minute"), std::string::npos);

    // The format chunk holds 16 bytes at least, 40 when it is extensible.
    for (uint32_t length : {15u, 16u, 39u, 40u}) {
        const bool extensible = length >= 39;
        Bytes b;
        Tag(b, "RIFF"), Put32(b, 0), Tag(b, "WAVE"), Tag(b, "fmt "), Put32(b, length);
        Put16(b, extensible ? 0xFFFE : 1), Put16(b, 1), Put32(b, 44100), Put32(b, 88200), Put16(b, 2), Put16(b, 16);
        if (extensible)
            Put16(b, 22), Put16(b, 16), Put32(b, 4), Put16(b, 1);  // the sub-format: PCM
        b.resize(20 + length, 0);
        Tag(b, "data"), Put32(b, 2), Put16(b, 1234);
        const bool taken = length == 16 || length == 40;
        EXPECT_EQ(Decode(b).why.empty(), taken) << "format chunk of " << length << " bytes: " << Decode(b).why;
    }

    // The header is 12 bytes: a file of 11 is not a WAV.
    Bytes whole = MakeWav(1, 1, 44100, 16, one);
    EXPECT_EQ(Decode(Bytes(whole.begin(), whole.begin() + 11)).why, "not a WAV file");
    EXPECT_EQ(Decode(Bytes(whole.begin(), whole.begin() + 12)).why, "it has no format chunk");
}

Bytes Raw(const void *p, size_t n) { return Bytes((const uint8_t *)p, (const uint8_t *)p + n); }

// Each shape the reader treats apart, with a value of its own in every
// sample, checked frame by frame to the last one. The values are chosen so
// every result is a whole number: the folded channels add up to multiples
// of their count, and the 24- and 32-bit fractions are a quarter or three
// quarters of a step, which round down and up whatever the sign.
TEST(WavShapes, EverySampleOfEveryShapeIsHeardAtItsValue)
{
    const int N = 37;
    // The value of frame i, channel c, in 16-bit steps: every one different.
    auto v = [](int i, int c) { return -30000 + 1601 * i + 613 * c; };
    auto check = [&](const char *what, const Decoded &d, auto left, auto right, int frames) {
        ASSERT_EQ(d.why, "") << what;
        ASSERT_EQ(d.frames.size(), size_t(2 * frames)) << what;
        for (int j = 0; j < frames; j++) {
            ASSERT_EQ(d.frames[2 * j], left(j)) << what << ", frame " << j;
            ASSERT_EQ(d.frames[2 * j + 1], right(j)) << what << ", frame " << j;
        }
    };

    for (int channels : {1, 2}) {
        Bytes b8, b16, b24, b32, f32, f64;
        for (int i = 0; i < N; i++)
            for (int c = 0; c < channels; c++) {
                const int x = v(i, c);
                b8.push_back(uint8_t(128 + x / 256));  // 8 bits hold the top of the value only
                Put16(b16, uint32_t(x));
                const int quarter = (i + c) % 2 ? 0xC0 : 0x40;
                b24.push_back(uint8_t(quarter)), Put16(b24, uint32_t(x));
                Put16(b32, uint32_t(quarter << 8)), Put16(b32, uint32_t(x));
                const float f = float(x) / 32767.0f;
                const double d = double(x) / 32767.0;
                Bytes rf = Raw(&f, 4), rd = Raw(&d, 8);
                f32.insert(f32.end(), rf.begin(), rf.end());
                f64.insert(f64.end(), rd.begin(), rd.end());
            }
        const int r = channels - 1;  // the channel heard on the right
        auto exact = [&](int c) { return [=](int j) { return v(j, c); }; };
        auto top = [&](int c) { return [=](int j) { return v(j, c) / 256 * 256; }; };
        auto rounded = [&](int c) { return [=](int j) { return v(j, c) + ((j + c) % 2 ? 1 : 0); }; };
        const std::string shape = channels == 1 ? " mono" : " stereo";
        check(("8-bit" + shape).c_str(), Decode(MakeWav(1, channels, 44100, 8, b8)), top(0), top(r), N);
        check(("16-bit" + shape).c_str(), Decode(MakeWav(1, channels, 44100, 16, b16)), exact(0), exact(r), N);
        check(("24-bit" + shape).c_str(), Decode(MakeWav(1, channels, 44100, 24, b24)), rounded(0), rounded(r), N);
        check(("32-bit" + shape).c_str(), Decode(MakeWav(1, channels, 44100, 32, b32)), rounded(0), rounded(r), N);
        check(("32-bit float" + shape).c_str(), Decode(MakeWav(3, channels, 44100, 32, f32)), exact(0), exact(r), N);
        check(("64-bit float" + shape).c_str(), Decode(MakeWav(3, channels, 44100, 64, f64)), exact(0), exact(r), N);
    }

    // Three, six and eight channels fold down, the even ones to the left and
    // the odd ones to the right, each side the mean of its channels. The
    // offsets of the channels make each side's mean a whole number of its own:
    // 3: left (900 + 0) / 2 = 450, right 300;
    // 6: left (900 + 0 + 300) / 3 = 400, right (300 + 600 + 0) / 3 = 300;
    // 8: left (900 + 0 + 300 + 1200) / 4 = 600, right (300 + 600 + 0 + 300) / 4 = 300.
    const int offset[8] = {900, 300, 0, 600, 300, 0, 1200, 300};
    const int folded[9][2] = {{}, {}, {}, {450, 300}, {}, {}, {400, 300}, {}, {600, 300}};
    for (int channels : {3, 6, 8}) {
        Bytes b16, f32;
        for (int i = 0; i < N; i++)
            for (int c = 0; c < channels; c++) {
                const int x = 1200 * i - 20000 + offset[c];
                Put16(b16, uint32_t(x));
                const float f = float(x) / 32767.0f;
                Bytes rf = Raw(&f, 4);
                f32.insert(f32.end(), rf.begin(), rf.end());
            }
        auto left = [&](int j) { return 1200 * j - 20000 + folded[channels][0]; };
        auto right = [&](int j) { return 1200 * j - 20000 + folded[channels][1]; };
        const std::string shape = std::to_string(channels) + " channels";
        check(("16-bit, " + shape).c_str(), Decode(MakeWav(1, channels, 44100, 16, b16)), left, right, N);
        check(("32-bit float, " + shape).c_str(), Decode(MakeWav(3, channels, 44100, 32, f32)), left, right, N);
    }

    // Floats beyond full scale are held to it; a value that is not a number
    // is silence.
    Bytes loud;
    for (float f : {1.5f, -7.0f, std::nanf("")}) {
        Bytes rf = Raw(&f, 4);
        loud.insert(loud.end(), rf.begin(), rf.end());
    }
    const int held[3] = {32767, -32767, 0};
    check("floats past full scale", Decode(MakeWav(3, 1, 44100, 32, loud)), [&](int j) { return held[j]; },
          [&](int j) { return held[j]; }, 3);

    // At 22050 Hz each frame is heard twice as long, every other output
    // frame halfway between two; the last has no frame after it and stays.
    Bytes slow;
    for (int i = 0; i < N; i++)
        Put16(slow, uint32_t(1600 * i - 30000));  // all even: halfway is whole
    auto halfway = [&](int j) {
        const int a = 1600 * (j / 2) - 30000;
        return j % 2 == 0 || j / 2 + 1 == N ? a : a + 800;
    };
    check("22050 Hz", Decode(MakeWav(1, 1, 22050, 16, slow)), halfway, halfway, 2 * N);

    // At 48000 Hz, 100 frames of a ramp (160 a frame) last 91.875 output
    // frames, so 92 are made. Frame j reads the ramp at j * 48000 / 44100
    // frames; the last, at 99.05, lies past the last frame of the file and
    // holds its value, 99 * 160.
    Bytes fast;
    for (int i = 0; i < 100; i++)
        Put16(fast, uint32_t(160 * i));
    auto ramp = [](int j) { return j == 91 ? 15840 : int(lround(160.0 * j * 48000 / 44100)); };
    check("48000 Hz", Decode(MakeWav(1, 1, 48000, 16, fast)), ramp, ramp, 92);
}

}  // namespace
