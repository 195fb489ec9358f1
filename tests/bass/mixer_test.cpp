// The effects side of the back-end, mixed offline from hand-made sounds
// whose every value is known: when an effect sounds and where in the block,
// how playbacks add up under the limiter, which one a fourth start
// replaces, how what is cut short fades out, and what BASS_Stop and
// BASS_Start do. Every sound leaves the mixer BASS_DELAY frames after it
// went in, and an effect's values at EffectLevel.

#include <cmath>
#include <random>

#include "audio_test.h"
#include "sound/sound.h"
#include "vclock.h"

namespace {

const int QUIET_STEP = 65;  // -54 dBFS

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

// The largest step between neighbouring values of one side.
int LargestStep(const Frames &f)
{
    int step = 0;
    for (size_t i = 2; i < f.size(); i += 2)
        step = std::max(step, std::abs(f[i] - f[i - 2]));
    return step;
}

class Effects : public OfflineBass {};

TEST_F(Effects, SoundOnlyAfterTheyArePlayedAndOnlyForTheirLength)
{
    HSAMPLE s = LoadConstant(1000, 1000);
    ASSERT_NE(s, 0u);
    BASS_Start();
    EXPECT_TRUE(Silent(Render(300)));

    EXPECT_NE(BASS_SamplePlay(s), 0u);
    Frames f = Render(BASS_DELAY + 1200);
    for (int i = 0; i < 1200; i++) {
        ASSERT_EQ(f[2 * (BASS_DELAY + i)], i < 1000 ? EffectLevel(1000) : 0) << "frame " << i;
        ASSERT_EQ(f[2 * (BASS_DELAY + i) + 1], f[2 * (BASS_DELAY + i)]);
    }
    EXPECT_TRUE(Silent(Frames(f.begin(), f.begin() + 2 * BASS_DELAY)));
    EXPECT_EQ(BassActivePlaybacks(s), 0);
}

TEST_F(Effects, NothingIsHeardBeforeTheOutputStarts)
{
    HSAMPLE s = LoadConstant(1000, 1000);
    BASS_SamplePlay(s);
    EXPECT_TRUE(Silent(Render(500)));
    // The playback waited: it is heard from its beginning once started.
    BASS_Start();
    Frames f = Render(BASS_DELAY + 1000);
    EXPECT_EQ(f[2 * BASS_DELAY], EffectLevel(1000));
    EXPECT_EQ(f[2 * (BASS_DELAY + 999)], EffectLevel(1000));
}

// Starts asked for between two runs of the mixer keep their spacing: each is
// placed as far into the block as it came after the mixer last ran.
TEST_F(Effects, StartsWithinOneBlockKeepTheirPlaces)
{
    HSAMPLE s = LoadConstant(2000, 1000);
    BASS_Start();
    Render(BASS_BLOCK);
    BASS_SamplePlay(s);
    vclock.now += 2;  // 88.2 frames later
    BASS_SamplePlay(s);
    vclock.now += 3;
    BASS_SamplePlay(s);
    Frames f = Render(BASS_DELAY + BASS_BLOCK);
    auto at = [&](int i) { return f[2 * (BASS_DELAY + i)]; };
    EXPECT_EQ(at(0), EffectLevel(1000));
    EXPECT_EQ(at(87), EffectLevel(1000));
    EXPECT_EQ(at(88), 2 * EffectLevel(1000));
    EXPECT_EQ(at(219), 2 * EffectLevel(1000));
    EXPECT_EQ(at(220), 3 * EffectLevel(1000));  // 5 ms: 220.5 frames
}

// The limiter alone, on sums far beyond 16 bits: nothing leaves above the
// ceiling, the gain comes down before a loud frame and not at it (no step),
// and what is quiet comes out as it went in, BASS_DELAY frames later.
TEST(Limiter, NothingLeavesAboveTheCeilingAndQuietSoundsPassUnchanged)
{
    BassLimiter l;
    ResetLimiter(l);
    std::mt19937 random(3);
    std::vector<Sint32> sum(2 * 20000);
    for (int i = 0; i < 20000; i++) {
        int loud = (i / 2000) % 2 ? 120000 : 3000;  // loud and quiet by turns
        sum[2 * i] = Sint32(random() % (2 * loud)) - loud;
        sum[2 * i + 1] = i % 3 ? loud : -loud;
    }
    Frames out(sum.size());
    for (int at = 0; at < 20000; at += 500)
        Limit(l, sum.data() + 2 * at, out.data() + 2 * at, 500);
    EXPECT_LE(Peak(out), BASS_CEILING);
    // A loud stretch starts at frame 2000: the frame before it leaves at full
    // gain only if the limiter did not look ahead.
    EXPECT_LT(std::abs(out[2 * (BASS_DELAY + 1999) + 1]), 1500);

    // Long after the last loud stretch the gain is whole again.
    BassLimiter quiet;
    ResetLimiter(quiet);
    Frames q(2 * 1000);
    std::vector<Sint32> soft(2 * 1000);
    for (int i = 0; i < 2000; i++)
        soft[i] = Sint32(random() % 40000) - 20000;
    Limit(quiet, soft.data(), q.data(), 1000);
    for (int i = 0; i < 2 * (1000 - BASS_DELAY); i++)
        ASSERT_EQ(q[i + 2 * BASS_DELAY], soft[i]) << i;
}

// After a loud stretch the gain comes back slowly, over about 80 ms, so a
// quiet passage that follows swells back instead of jumping up. 120000 wants
// a gain of 29000 / 120000 (15837 in 65536ths); a quiet frame is held at it
// while a loud one is in its window, and from then on the gain climbs
// BASS_RELEASE_STEP a frame, the gain applied to a frame being the average
// of its window's 64.
TEST(Limiter, AfterALoudStretchTheGainComesBackOverEightyMilliseconds)
{
    BassLimiter l;
    ResetLimiter(l);
    const int loud = 2000, frames = loud + 5000;
    std::vector<Sint32> sum(2 * frames);
    for (int i = 0; i < frames; i++)
        sum[2 * i] = sum[2 * i + 1] = i < loud ? 120000 : 3000;
    Frames out(sum.size());
    for (int at = 0; at < frames; at += 500)
        Limit(l, sum.data() + 2 * at, out.data() + 2 * at, std::min(500, frames - at));
    // The quiet frame k frames after the stretch, as it leaves.
    auto quiet = [&](int k) { return out[2 * (loud + k + BASS_DELAY)]; };
    // Its window holds 63 frames at the held gain and one a step above:
    // 3000 * (64 * 15837 + 19) / 2^22.
    EXPECT_EQ(quiet(0), 724);
    EXPECT_EQ(quiet(0), out[2 * (loud + BASS_DELAY) + 1]);
    // 20 ms on, the window's gains stand 820 to 883 steps above the held
    // one: 3000 * (64 * 15837 + 19 * 64 * 851.5) / 2^22.
    EXPECT_NEAR(quiet(882), 1465, 2);
    // By 90 ms it is whole again, and the quiet sound passes unchanged.
    EXPECT_EQ(quiet(3969), 3000);
}

// Three loud effects at once are held down together to BASS_EFFECTS_LEVEL,
// under the music's peaks, instead of piling up to the ceiling.
TEST_F(Effects, ManyLoudEffectsAtOnceAreHeldDownTogether)
{
    HSAMPLE up = LoadConstant(20000, 30000);
    BASS_Start();
    for (int i = 0; i < 3; i++)
        BASS_SamplePlay(up);
    Frames f = Render(10000);
    EXPECT_LE(Peak(f), BASS_CEILING);
    Frames settled(f.begin() + 2 * 2000, f.end());
    EXPECT_LE(Peak(settled), BASS_EFFECTS_LEVEL + 100);
    EXPECT_GE(Peak(settled), BASS_EFFECTS_LEVEL - 200);
}

// The effects' gain moves a 64th of the way to where it is wanted every
// frame: three effects of 12000 (3 x 7571 = 22713 after the effects' gain)
// are wanted at 14600, and after 64 frames about 1/e of the distance is
// left, 14600 + 8113 / e = 17585 (a little less, as each step rounds down).
// Under the ceiling, the limiter behind leaves it as it is.
TEST_F(Effects, TheEffectsAreBroughtDownWithinAFewMilliseconds)
{
    HSAMPLE s = LoadConstant(2000, 12000);
    BASS_Start();
    for (int i = 0; i < 3; i++)
        BASS_SamplePlay(s);
    Frames f = Render(BASS_DELAY + 1000);
    auto at = [&](int k) { return f[2 * (BASS_DELAY + k)]; };
    ASSERT_EQ(3 * EffectLevel(12000), 22713);
    EXPECT_GT(at(63), 17400);
    EXPECT_LT(at(63), 17600);
    EXPECT_NEAR(at(999), 14600, 20);
}

// After a loud stretch the effects come back up as their envelope falls,
// by 1/2048 a frame: from the three loud values together (3 x 18928) it
// reaches BASS_EFFECTS_LEVEL after 2048 ln(56784 / 14600), about 2780
// frames. 2000 frames on, the quiet three (3 x 1892) are still held at
// about 14600 / (56784 e^(-2000/2048)), 0.68 of their level; 3500 frames on
// they pass whole.
TEST_F(Effects, AfterALoudStretchTheEffectsComeBackAsTheirPeakFades)
{
    HSAMPLE s = LoadSound(10000, [](int i) { return i < 4000 ? 30000 : 3000; });
    BASS_Start();
    for (int i = 0; i < 3; i++)
        BASS_SamplePlay(s);
    Frames f = Render(BASS_DELAY + 8000);
    auto after = [&](int k) { return f[2 * (BASS_DELAY + 4000 + k)]; };
    const int quiet = 3 * EffectLevel(3000);
    EXPECT_GT(after(2000), quiet * 60 / 100);
    EXPECT_LT(after(2000), quiet * 75 / 100);
    EXPECT_EQ(after(3500), quiet);
}

// The sound fades in 256-frame steps: 1600, 1500, ... so the further along a
// playback is, the quieter it is.
int Fading(int i) { return (16 - i / BASS_LEVEL_BLOCK) * 100; }

TEST_F(Effects, AFourthStartReplacesTheQuietestPlaybackWhichFadesOut)
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
    Frames f = Render(BASS_DELAY + BASS_FADE + 1);
    int bcd = EffectLevel(1600) + EffectLevel(1200) + EffectLevel(1500);
    EXPECT_EQ(f[2 * BASS_DELAY], bcd + EffectLevel(500));  // a begins its fade at full level
    EXPECT_LT(f[2 * (BASS_DELAY + BASS_FADE / 2)], bcd + EffectLevel(500) / 3);
    EXPECT_EQ(f[2 * (BASS_DELAY + BASS_FADE)], bcd);
}

// A sound that starts softly and then swells: a playback just started is
// the quietest, however old the others are. Loudness is the size of the
// values whatever their sign: the same sound turned upside down chooses
// the same.
TEST_F(Effects, TheQuietestIsNotAlwaysTheOldest)
{
    for (int sign : {1, -1}) {
        HSAMPLE s = LoadSound(16 * BASS_LEVEL_BLOCK,
                              [sign](int i) { return sign * (i < 2 * BASS_LEVEL_BLOCK ? 100 : 10000); });
        BASS_Start();
        BASS_SamplePlay(s);  // a
        Render(1024);
        BASS_SamplePlay(s);  // b
        Render(1024);
        BASS_SamplePlay(s);  // c, heard and still soft
        Render(1);
        BASS_SamplePlay(s);  // d replaces c, not a
        Frames f = Render(BASS_DELAY + BASS_FADE + 1);
        EXPECT_EQ(f[2 * (BASS_DELAY + BASS_FADE)], 2 * EffectLevel(sign * 10000) + EffectLevel(sign * 100))
            << "sign " << sign;
        BASS_Stop();
        Render(BASS_DELAY + BASS_FADE);
        BASS_SampleFree(s);
    }
}

// A playback about to get loud counts as loud: its level is the louder of
// its current block of frames and the next. Silent for a block, then 2000
// for one, then 100: a at frame 384 (level 2000), b at 128 (0 now, 2000
// next) and c at 1024 (100): a fourth start replaces c, and b sounds on.
TEST_F(Effects, APlaybackAboutToGetLoudIsNotTheQuietest)
{
    HSAMPLE s = LoadSound(6 * BASS_LEVEL_BLOCK, [](int i) { return i < 256 ? 0 : i < 512 ? 2000 : 100; });
    BASS_Start();
    BASS_SamplePlay(s);  // c
    Render(640);
    BASS_SamplePlay(s);  // a
    Render(256);
    BASS_SamplePlay(s);  // b
    Render(128);
    BASS_SamplePlay(s);  // d replaces c
    Frames f = Render(BASS_DELAY + 301);
    // 300 frames on, past c's fade: a at 684 (100), b at 428 and d at 300
    // (2000 each).
    EXPECT_EQ(f[2 * (BASS_DELAY + 300)], EffectLevel(100) + 2 * EffectLevel(2000));
}

// An effect placed part way into a block goes on from where it stopped in
// the next, not a frame further: a ramp started 2 ms (88 frames) after the
// mixer last ran is heard whole, frame after frame, across the blocks.
TEST_F(Effects, AStartPlacedInsideABlockLosesNoFrameAtTheNext)
{
    HSAMPLE s = LoadSound(3 * BASS_BLOCK, [](int i) { return 10 * i; });
    BASS_Start();
    Render(BASS_BLOCK);
    vclock.now += 2;
    BASS_SamplePlay(s);
    Frames f = Render(BASS_DELAY + 88 + 2 * BASS_BLOCK);
    for (int k = 0; k < 2 * BASS_BLOCK; k++)
        ASSERT_EQ(f[2 * (BASS_DELAY + 88 + k)], EffectLevel(10 * k)) << "frame " << k;
}

// Effects stand 4 dB under the music: full scale times 10^(-4/20), 0.631.
TEST_F(Effects, AnEffectIsMixedFourDecibelsDown)
{
    HSAMPLE s = LoadConstant(1000, 10000);
    BASS_Start();
    BASS_SamplePlay(s);
    Frames f = Render(BASS_DELAY + 10);
    EXPECT_EQ(f[2 * BASS_DELAY], 6309);  // 10000 x 0.63096, rounded down
}

// Of playbacks equally loud, the one furthest along, the nearest its end,
// is replaced: a steady sound of 4000 frames started at 0, 500 and 1000,
// and a fourth at 1500 leaves the second and third to end at 4500 and 5000.
TEST_F(Effects, OfEquallyLoudPlaybacksTheOneFurthestAlongIsReplaced)
{
    HSAMPLE s = LoadConstant(4000, 1000);
    BASS_Start();
    for (int i = 0; i < 3; i++) {
        BASS_SamplePlay(s);
        Render(500);
    }
    BASS_SamplePlay(s);
    Frames f = Render(BASS_DELAY + 4000);
    auto at = [&](int t) { return f[2 * (BASS_DELAY + t - 1500)]; };
    EXPECT_EQ(at(4400), 3 * EffectLevel(1000));
    EXPECT_EQ(at(4600), 2 * EffectLevel(1000));
    EXPECT_EQ(at(5100), EffectLevel(1000));
}

// Three starts before the mixer has run: a fourth replaces one of those,
// never the playback that is already being heard.
TEST_F(Effects, AStartNotHeardYetIsReplacedBeforeOneThatWas)
{
    HSAMPLE s = LoadSound(16 * BASS_LEVEL_BLOCK, Fading);
    BASS_Start();
    BASS_SamplePlay(s);  // a, heard, and by far the quietest
    Render(3000);
    BASS_SamplePlay(s);  // b
    BASS_SamplePlay(s);  // c
    BASS_SamplePlay(s);  // d replaces c
    Frames f = Render(BASS_DELAY + 1);
    EXPECT_EQ(f[2 * BASS_DELAY], EffectLevel(500) + 2 * EffectLevel(1600));
    for (const BassTail &t : bass.tails)
        EXPECT_EQ(t.left, 0) << "nothing heard was cut";
}

// Of starts not heard yet, the one placed latest gives way, so those before
// it keep their places: a at frame 0, b at 88 (2 ms on), c at 176 (4 ms);
// d at 264 (6 ms) takes c's slot.
TEST_F(Effects, OfStartsNotHeardYetTheLatestPlacedIsReplaced)
{
    HSAMPLE s = LoadConstant(2000, 1000);
    BASS_Start();
    Render(BASS_BLOCK);
    for (int i = 0; i < 4; i++) {
        BASS_SamplePlay(s);
        vclock.now += 2;
    }
    Frames f = Render(BASS_DELAY + 600);
    auto at = [&](int i) { return f[2 * (BASS_DELAY + i)]; };
    const int one = EffectLevel(1000);
    EXPECT_EQ(at(0), one);
    EXPECT_EQ(at(87), one);
    EXPECT_EQ(at(88), 2 * one);
    EXPECT_EQ(at(263), 2 * one);
    EXPECT_EQ(at(264), 3 * one);
}

// Silent for its first 300 frames, then loud: a replacement cannot hide a
// cut behind the new playback's own attack.
int LateAndLoud(int i) { return i < 300 ? 0 : 5000; }

TEST_F(Effects, AReplacedPlaybackFadesInsteadOfStoppingDead)
{
    HSAMPLE s = LoadSound(4000, LateAndLoud);
    BASS_Start();
    for (int i = 0; i < 3; i++) {
        BASS_SamplePlay(s);
        Render(400);
    }
    Frames before = Render(BASS_DELAY + 100);
    BASS_SamplePlay(s);  // replaces the first, furthest along
    Frames after = Render(BASS_DELAY + 300);
    EXPECT_EQ(after[2 * (BASS_DELAY + 250)], 2 * EffectLevel(5000));
    // Up to the new playback's own attack, the output only glides down.
    after.insert(after.begin(), before.end() - 2, before.end());
    EXPECT_LT(LargestStep(after), 100) << "the replaced playback was cut";
}

// Two replacements close together: each replaced playback fades in a tail
// of its own; the second never takes the tail the first still sounds in.
TEST_F(Effects, TwoReplacementsInARowBothFadeOut)
{
    HSAMPLE s = LoadConstant(4000, 1000);
    BASS_Start();
    for (int i = 0; i < 3; i++) {  // a, b, c
        BASS_SamplePlay(s);
        Render(500);
    }
    BASS_SamplePlay(s);  // d replaces a, furthest along; a fades
    Render(100);
    BASS_SamplePlay(s);  // e replaces b, furthest along of those heard
    Frames f = Render(BASS_DELAY + 111);
    // c, d and e, b's fade from its start, and a's with 120 of its 220
    // frames to go: the square of 120/220 of its level, 0.30.
    const int one = EffectLevel(1000);
    EXPECT_NEAR(f[2 * BASS_DELAY], 4 * one + one * 120 * 120 / (220 * 220), 1) << "a's fade was cut";
    // A fade lasts 220 frames (5 ms): halfway through b's, a's is over and
    // b is at a quarter of its level.
    EXPECT_NEAR(f[2 * (BASS_DELAY + 110)], 3 * one + one / 4, 1);
}

TEST_F(Effects, StopFadesEverythingOutAndNoneComesBack)
{
    HSAMPLE s = LoadConstant(20000, 20000);
    BASS_Start();
    BASS_SamplePlay(s);
    Render(1000);
    BASS_SamplePlay(s);  // started and stopped before a frame of it is mixed
    BASS_Stop();
    EXPECT_EQ(BassActivePlaybacks(s), 0);
    Frames f = Render(2000);
    // The output falls from the sound's level to nothing within 5 ms, and
    // its last step into the silence is below -54 dBFS.
    int last = 0;
    for (int i = 0; i < 2000; i++)
        if (f[2 * i] != 0)
            last = i;
    EXPECT_EQ(f[0], EffectLevel(20000));
    EXPECT_LE(last, BASS_DELAY + BASS_FADE);
    EXPECT_LT(std::abs(f[2 * last]), QUIET_STEP);
    EXPECT_LT(LargestStep(f), EffectLevel(20000) / 50);
    BASS_Start();
    EXPECT_TRUE(Silent(Render(500)));
    // What is played from then on is heard.
    BASS_SamplePlay(s);
    EXPECT_EQ(Render(BASS_DELAY + 1)[2 * BASS_DELAY], EffectLevel(20000));
}

// The eight effects started at random over each of the four modules,
// several at once as in the thick of a fight: no value ever reaches the
// ceiling, let alone full scale.
TEST_F(Effects, NoMixOfTheGamesEffectsAndMusicReachesFullScale)
{
    HSAMPLE effects[SFX_COUNT];
    for (int i = 0; i < SFX_COUNT; i++)
        ASSERT_NE(effects[i] = BASS_SampleLoad(FALSE, EffectFiles[i], 0, 0, 3, BASS_SAMPLE_OVER_VOL), 0u);
    std::mt19937 random(7);
    BASS_Start();
    for (const char *file : MusicFiles) {
        HMUSIC m = BASS_MusicLoad(FALSE, file, 0, 0, BASS_MUSIC_RAMP, 0);
        ASSERT_NE(m, 0u);
        BASS_MusicPlay(m);
        int peak = 0;
        for (int slice = 0; slice < 1000; slice++) {
            for (int k = 0; k < 3; k++)
                if (random() % 4 == 0)
                    BASS_SamplePlay(effects[random() % SFX_COUNT]);
            peak = std::max(peak, Peak(Render(int(random() % 600) + 1)));
        }
        EXPECT_LE(peak, BASS_CEILING) << file;
        BASS_Stop();
        BASS_Start();
    }
}

TEST_F(Effects, ASoundIsConvertedOnceToTheOutputFormat)
{
    // Half a second of mono at 22050 Hz: half a second of stereo at 44100.
    auto path = TestFolder() / "mono.wav";
    WriteFile(path.string(), EncodeWav(22050, 1, std::vector<int16_t>(11025, 8000)));
    HSAMPLE s = BASS_SampleLoad(FALSE, path.c_str(), 0, 0, 3, BASS_SAMPLE_OVER_VOL);
    ASSERT_NE(s, 0u);
    EXPECT_EQ(bass.samples[0].length, 22050u);
    BASS_Start();
    BASS_SamplePlay(s);
    Frames f = Render(30000);
    int last = 0;
    for (int i = 0; i < 30000; i++)
        if (f[2 * i] != 0)
            last = i;
    EXPECT_EQ(last, BASS_DELAY + 22049);
    EXPECT_EQ(f[2 * 10000], EffectLevel(8000));
    EXPECT_EQ(f[2 * 10000 + 1], f[2 * 10000]);
}

TEST_F(Effects, AFailedLoadGivesNoHandleAndBreaksNothing)
{
    auto dir = TestFolder();
    WriteFile((dir / "noise.wav").string(), std::vector<uint8_t>{'R', 'I', 'F', 'F', ' ', 'n', 'o', 'i', 's', 'e'});
    WriteFile((dir / "noise.it").string(), std::vector<uint8_t>(300, 'I'));
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
    EXPECT_EQ(good & 0xFFF, 1u);
    EXPECT_FALSE(BASS_MusicPlay(good));  // a sample is not a module
    BASS_SamplePlay(good);
    EXPECT_EQ(Render(BASS_DELAY + 1)[2 * BASS_DELAY], EffectLevel(500));
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
