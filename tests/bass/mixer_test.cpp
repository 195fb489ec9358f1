// The effects side of the back-end, mixed offline from hand-made sounds
// whose every value is known: when an effect sounds, how playbacks add up,
// which one a fourth start replaces, what BASS_Stop and BASS_Start do, and
// that a failed load leaves a dead handle and nothing else.

#include <fstream>

#include "audio_test.h"

namespace {

// A sound already in the output format (44100 Hz stereo), so it reaches the
// mix unconverted: frame i holds value(i) on both sides.
template <typename F>
HSAMPLE LoadSound(int frames, F value, int max = 3)
{
    std::vector<int16_t> v;
    for (int i = 0; i < frames; i++)
        v.push_back(int16_t(value(i))), v.push_back(int16_t(value(i)));
    auto path = TestFolder() / "sound.wav";
    WriteFile(path.string(), EncodeWav(44100, 2, v));
    return BASS_SampleLoad(FALSE, path.c_str(), 0, 0, max, BASS_SAMPLE_OVER_VOL);
}

HSAMPLE LoadConstant(int frames, int value)
{
    return LoadSound(frames, [value](int) { return value; });
}

class Effects : public OfflineBass {};

TEST_F(Effects, SoundOnlyAfterTheyArePlayedAndOnlyForTheirLength)
{
    HSAMPLE s = LoadConstant(1000, 1000);
    ASSERT_NE(s, 0u);
    BASS_Start();
    EXPECT_TRUE(Silent(Render(300)));

    EXPECT_NE(BASS_SamplePlay(s), 0u);
    Frames f = Render(1200);
    for (int i = 0; i < 1200; i++) {
        ASSERT_EQ(f[2 * i], i < 1000 ? 1000 : 0) << "frame " << i;
        ASSERT_EQ(f[2 * i + 1], f[2 * i]);
    }
    EXPECT_EQ(BassActivePlaybacks(s), 0);
}

TEST_F(Effects, NothingIsHeardBeforeTheOutputStarts)
{
    HSAMPLE s = LoadConstant(1000, 1000);
    BASS_SamplePlay(s);
    EXPECT_TRUE(Silent(Render(500)));
    // The playback waited: it is heard from its beginning once started.
    BASS_Start();
    Frames f = Render(1000);
    EXPECT_EQ(f[0], 1000);
    EXPECT_EQ(f[2 * 999], 1000);
}

TEST_F(Effects, PlaybacksAddUpAndSaturateInsteadOfWrapping)
{
    HSAMPLE up = LoadConstant(100, 12000);
    HSAMPLE down = LoadConstant(100, -12000);
    BASS_Start();
    BASS_SamplePlay(up);
    BASS_SamplePlay(up);
    EXPECT_EQ(Render(1)[0], 24000);
    BASS_SamplePlay(up);  // the third joins one frame later
    EXPECT_EQ(Render(1)[0], 32767);
    Render(200);
    BASS_SamplePlay(down);
    BASS_SamplePlay(down);
    BASS_SamplePlay(down);
    EXPECT_EQ(Render(1)[0], -32768);
    BASS_SamplePlay(up);  // a different sound has playbacks of its own
    EXPECT_EQ(BassActivePlaybacks(down), 3);
    EXPECT_EQ(Render(1)[0], -24000);
}

// The sound fades in 256-frame steps: 1600, 1500, ... so the further along a
// playback is, the quieter it is.
int Fading(int i) { return (16 - i / BASS_LEVEL_BLOCK) * 100; }

TEST_F(Effects, AFourthStartReplacesTheQuietestPlayback)
{
    HSAMPLE s = LoadSound(16 * BASS_LEVEL_BLOCK, Fading);
    BASS_Start();
    BASS_SamplePlay(s);  // a
    Render(1792);
    BASS_SamplePlay(s);  // b
    Render(768);
    BASS_SamplePlay(s);  // c
    Render(256);
    // a is at frame 2816 (level 500), b at 1024 (1200), c at 256 (1500).
    EXPECT_EQ(BassActivePlaybacks(s), 3);
    EXPECT_NE(BASS_SamplePlay(s), 0u);  // d replaces a
    EXPECT_EQ(BassActivePlaybacks(s), 3);
    EXPECT_EQ(Render(1)[0], 1600 + 1200 + 1500);
}

// A sound that starts softly and then swells: a playback just started is
// the quietest, however old the others are.
int Swelling(int i) { return i < 2 * BASS_LEVEL_BLOCK ? 100 : 10000; }

TEST_F(Effects, TheQuietestIsNotAlwaysTheOldest)
{
    HSAMPLE s = LoadSound(16 * BASS_LEVEL_BLOCK, Swelling);
    BASS_Start();
    BASS_SamplePlay(s);  // a
    Render(1024);
    BASS_SamplePlay(s);  // b
    Render(1024);
    BASS_SamplePlay(s);  // c, still soft
    BASS_SamplePlay(s);  // d replaces c, not a
    EXPECT_EQ(Render(1)[0], 10000 + 10000 + 100);
}

TEST_F(Effects, StopDropsEveryPlaybackAndNoneComesBack)
{
    HSAMPLE s = LoadConstant(5000, 1000);
    BASS_Start();
    BASS_SamplePlay(s);
    Render(100);
    BASS_SamplePlay(s);  // started and stopped before a frame of it is mixed
    BASS_Stop();
    EXPECT_EQ(BassActivePlaybacks(s), 0);
    EXPECT_TRUE(Silent(Render(500)));
    BASS_Start();
    EXPECT_TRUE(Silent(Render(500)));
    // What is played from then on is heard.
    BASS_SamplePlay(s);
    EXPECT_EQ(Render(1)[0], 1000);
}

TEST_F(Effects, ASoundIsConvertedOnceToTheOutputFormat)
{
    // Half a second of mono at 22050 Hz: half a second of stereo at 44100.
    auto path = TestFolder() / "mono.wav";
    WriteFile(path.string(), EncodeWav(22050, 1, std::vector<int16_t>(11025, 8000)));
    HSAMPLE s = BASS_SampleLoad(FALSE, path.c_str(), 0, 0, 3, BASS_SAMPLE_OVER_VOL);
    ASSERT_NE(s, 0u);
    BASS_Start();
    BASS_SamplePlay(s);
    Frames f = Render(30000);
    int last = 0;
    for (int i = 0; i < 30000; i++)
        if (f[2 * i] != 0)
            last = i;
    EXPECT_NEAR(last, 22049, 64);
    // SDL's resampler may shade the level a little.
    EXPECT_NEAR(f[2 * 10000], 8000, 16);
    EXPECT_EQ(f[2 * 10000 + 1], f[2 * 10000]);
}

TEST_F(Effects, AFailedLoadGivesNoHandleAndBreaksNothing)
{
    auto dir = TestFolder();
    std::ofstream(dir / "noise.wav") << "RIFF this is not a sound at all";
    std::ofstream(dir / "noise.it") << "IMPM and nothing that follows makes sense";
    EXPECT_EQ(BASS_SampleLoad(FALSE, (dir / "missing.wav").c_str(), 0, 0, 3, BASS_SAMPLE_OVER_VOL), 0u);
    EXPECT_EQ(BASS_SampleLoad(FALSE, (dir / "noise.wav").c_str(), 0, 0, 3, BASS_SAMPLE_OVER_VOL), 0u);
    EXPECT_EQ(BASS_MusicLoad(FALSE, (dir / "missing.it").c_str(), 0, 0, BASS_MUSIC_RAMP, 0), 0u);
    EXPECT_EQ(BASS_MusicLoad(FALSE, (dir / "noise.it").c_str(), 0, 0, BASS_MUSIC_RAMP, 0), 0u);

    BASS_Start();
    EXPECT_EQ(BASS_SamplePlay(0), 0u);
    EXPECT_FALSE(BASS_MusicPlay(0));
    EXPECT_FALSE(BASS_ChannelSetPosition(0, 0));
    EXPECT_TRUE(Silent(Render(1000)));

    // The failures took no slot and left the good sounds working.
    HSAMPLE good = LoadConstant(100, 500);
    ASSERT_NE(good, 0u);
    EXPECT_FALSE(BASS_MusicPlay(good));  // a sample is not a module
    BASS_SamplePlay(good);
    EXPECT_EQ(Render(1)[0], 500);
}

TEST(BassLifetime, CallsOutsideAnOpenBackEndDoNothing)
{
    bassOffline = 1;
    EXPECT_FALSE(BASS_Free());  // nothing was opened
    EXPECT_EQ(BASS_SampleLoad(FALSE, "data/sfxjump.wav", 0, 0, 3, BASS_SAMPLE_OVER_VOL), 0u);
    EXPECT_FALSE(BASS_Start());
    EXPECT_FALSE(BASS_Stop());

    ASSERT_TRUE(BASS_Init(1, 44100, 0, nullptr, nullptr));
    EXPECT_FALSE(BASS_Init(1, 44100, 0, nullptr, nullptr));  // already open
    HSAMPLE old = BASS_SampleLoad(FALSE, "data/sfxjump.wav", 0, 0, 3, BASS_SAMPLE_OVER_VOL);
    HMUSIC music = BASS_MusicLoad(FALSE, "data/menu.it", 0, 0, BASS_MUSIC_RAMP, 0);
    ASSERT_NE(old, 0u);
    ASSERT_NE(music, 0u);
    EXPECT_TRUE(BASS_Free());
    EXPECT_EQ(BASS_SamplePlay(old), 0u);

    // Opened again, the old handles stay dead even where slots are reused.
    ASSERT_TRUE(BASS_Init(1, 44100, 0, nullptr, nullptr));
    HSAMPLE fresh = BASS_SampleLoad(FALSE, "data/sfxjump.wav", 0, 0, 3, BASS_SAMPLE_OVER_VOL);
    ASSERT_NE(fresh, 0u);
    EXPECT_NE(fresh, old);
    BASS_Start();
    EXPECT_EQ(BASS_SamplePlay(old), 0u);
    EXPECT_FALSE(BASS_MusicPlay(music));
    EXPECT_TRUE(Silent(Render(1000)));
    EXPECT_TRUE(BASS_Free());
}

}  // namespace
