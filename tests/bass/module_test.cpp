// The music side of the back-end, heard against the same module played
// straight through libopenmpt: a playing module goes on when asked to play
// again, a rewound one starts from its beginning, a stopped one fades out
// and stays quiet, a module change never lets the rewound module sound
// before its next play, and a module never ends.

#include <thread>

#include "audio_test.h"
#include "bass/rewind.h"

namespace {

const int QUIET_STEP = 65;  // -54 dBFS

class Music : public OfflineBass {
protected:
    HMUSIC Load(const char *path) { return BASS_MusicLoad(FALSE, path, 0, 0, BASS_MUSIC_RAMP, 0); }
};

void ExpectSame(const Frames &heard, const Frames &expected, const char *what)
{
    ASSERT_EQ(heard.size(), expected.size());
    for (size_t i = 0; i < heard.size(); i++)
        ASSERT_EQ(heard[i], expected[i]) << what << ": frame " << i / 2;
}

TEST_F(Music, PlayingAgainGoesOnWithoutRestarting)
{
    HMUSIC m = Load("data/menu.it");
    ASSERT_NE(m, 0u);
    ReferenceModule ref("data/menu.it");
    BASS_Start();
    // As the game does: asked to play on every pass, heard between passes.
    for (int pass = 0; pass < 300; pass++) {
        EXPECT_TRUE(BASS_MusicPlay(m));
        ExpectSame(Render(397), ref.Read(397), "pass");
    }
    EXPECT_FALSE(Silent(Render(44100)));
}

TEST_F(Music, AStopFadesTheModuleOutAndARewoundOneStartsFromItsBeginning)
{
    HMUSIC m = Load("data/level01.it");
    ASSERT_NE(m, 0u);
    BASS_Start();
    BASS_MusicPlay(m);
    Render(3 * 44100);
    BASS_ChannelSetPosition(m, 0);
    BASS_Stop();
    Frames fade = Render(2000);
    int last = 0;
    for (int i = 0; i < 2000; i++)
        if (fade[2 * i] != 0 || fade[2 * i + 1] != 0)
            last = i;
    EXPECT_LE(last, BASS_DELAY + BASS_FADE) << "silent within 5 ms";
    EXPECT_GT(last, BASS_DELAY + BASS_FADE / 2) << "not cut";
    EXPECT_LT(std::abs(fade[2 * last]), QUIET_STEP);
    EXPECT_LT(std::abs(fade[2 * last + 1]), QUIET_STEP);
    BASS_Start();
    EXPECT_TRUE(Silent(Render(1000)));  // stopped modules wait to be played
    BASS_MusicPlay(m);
    ReferenceModule ref("data/level01.it");
    ExpectSame(Render(2 * 44100), ref.Read(2 * 44100), "after the rewind");
}

// The mixer may run between the rewind and the stop of a module change: it
// must hear the module go on where it was, never a block of its beginning.
TEST_F(Music, AModuleChangeNeverLetsTheRewoundModuleSound)
{
    HMUSIC m = Load("data/level03.it");
    ASSERT_NE(m, 0u);
    ReferenceModule ref("data/level03.it");
    BASS_Start();
    BASS_MusicPlay(m);
    ExpectSame(Render(44100), ref.Read(44100), "before the change");
    BASS_ChannelSetPosition(m, 0);
    ExpectSame(Render(BASS_BLOCK), ref.Read(BASS_BLOCK), "between the rewind and the stop");
    BASS_Stop();
    BASS_Start();
    EXPECT_TRUE(BASS_MusicPlay(m));
    ReferenceModule fresh("data/level03.it");
    Frames heard = Render(BASS_DELAY + 44100);
    Frames expected = fresh.Read(BASS_DELAY + 44100);
    // Past what the limiter still held, the module is heard from its
    // beginning. libopenmpt's seek leaves a trace of the notes it cut in its
    // ramps, a value or two at most, so the two differ by that much.
    int largest = 0;
    for (size_t i = 2 * BASS_DELAY; i < heard.size(); i++)
        largest = std::max(largest, std::abs(heard[i] - expected[i]));
    EXPECT_LE(largest, 2);
    EXPECT_GT(Peak(heard), 3000);
}

// Only a module that has sounded since its last rewind is sought back: one
// that never played keeps its place untouched (libopenmpt's seek is slow and
// takes memory).
TEST_F(Music, OnlyAModuleThatHasSoundedIsSoughtBack)
{
    HMUSIC quiet = Load("data/menu.it");
    HMUSIC heard = Load("data/level02.it");
    ASSERT_NE(heard, 0u);
    BASS_Start();
    BASS_MusicPlay(heard);
    Render(1000);
    BASS_ChannelSetPosition(quiet, 0);
    BASS_ChannelSetPosition(heard, 0);
    BASS_Stop();
    EXPECT_FALSE(BassFindModule(quiet)->rewind);
    EXPECT_TRUE(BassFindModule(heard)->rewind);
}

// The fade after a stop sounds the same whatever slices the mixer runs in,
// and a rewound module played and stopped again before the mixer ran is
// neither heard nor moved on: played once more, it starts from its
// beginning.
TEST_F(Music, AFadeIsTheSameInAnySlicesAndAnUnheardModuleStaysAtItsBeginning)
{
    Frames fades[2];
    for (int slice : {2000, 50}) {
        BASS_Free();
        ASSERT_TRUE(BASS_Init(1, 44100, 0, nullptr, nullptr));
        HMUSIC m = Load("data/level01.it");
        ASSERT_NE(m, 0u);
        BASS_Start();
        BASS_MusicPlay(m);
        Render(44100);
        BASS_ChannelSetPosition(m, 0);
        BASS_Stop();
        Frames &fade = fades[slice == 50];
        for (int done = 0; done < 2000; done += slice) {
            Frames f = Render(slice);
            fade.insert(fade.end(), f.begin(), f.end());
        }
        BASS_Start();
        BASS_MusicPlay(m);
        BASS_Stop();
        EXPECT_TRUE(Silent(Render(2000))) << "a module never mixed since its rewind has nothing to fade";
        BASS_Start();
        BASS_MusicPlay(m);
        ReferenceModule ref("data/level01.it");
        ExpectSame(Render(44100), ref.Read(44100), "played again");
    }
    EXPECT_GT(Peak(fades[0]), 1000);
    ExpectSame(fades[1], fades[0], "the fade in slices of 50");
}

// With the rewinder's thread running, as in the game: a module played while
// it is marked is sought back in the background and heard from its
// beginning once that is done, and then played on every pass like any other.
TEST_F(Music, TheRewinderThreadRewindsAModuleAndItIsHeardOnceDone)
{
    StartRewinder();  // BASS_Free stops it
    ASSERT_TRUE(RewinderRunning());
    HMUSIC m = Load("data/level02.it");
    ASSERT_NE(m, 0u);
    BassModule *mod = BassFindModule(m);
    BASS_Start();
    BASS_MusicPlay(m);
    Render(44100);
    BASS_ChannelSetPosition(m, 0);
    BASS_Stop();
    BASS_Start();
    BASS_MusicPlay(m);  // the fade is cut and the seek handed to the thread
    // Wait for the thread, never for a time nor a number of turns: on a busy
    // machine the thread may not run for a long while. A rewinder that never
    // rewinds leaves the test to CTest's time limit.
    auto busy = [&] {
        SDL_LockAudio();
        int b = mod->seeking || mod->rewind || !mod->playing;
        SDL_UnlockAudio();
        return b;
    };
    while (busy())
        std::this_thread::yield();
    // What the limiter still held of the music before the stop leaves first.
    ReferenceModule ref("data/level02.it");
    Render(BASS_DELAY);
    ref.Read(BASS_DELAY);
    for (int pass = 0; pass < 100; pass++) {
        EXPECT_TRUE(BASS_MusicPlay(m));
        ExpectSame(Render(397), ref.Read(397), "pass");
    }
}

TEST_F(Music, OnlyTheModulesAskedForAreHeard)
{
    HMUSIC menu = Load("data/menu.it");
    HMUSIC cave = Load("data/level02.it");
    ASSERT_NE(cave, 0u);
    BASS_Start();
    BASS_MusicPlay(menu);
    ReferenceModule ref("data/menu.it");
    ExpectSame(Render(20000), ref.Read(20000), "the menu's module alone");
    ASSERT_NE(BassFindModule(cave), nullptr);
    EXPECT_FALSE(BassFindModule(cave)->playing);
}

TEST_F(Music, AModuleNeverEnds)
{
    HMUSIC m = Load("data/level01.it");
    BassModule *mod = BassFindModule(m);
    ASSERT_NE(mod, nullptr);
    ReferenceModule ref("data/level01.it");
    double length = openmpt_module_get_duration_seconds(ref.mod);
    BASS_Start();
    BASS_MusicPlay(m);
    Render(int(length * 44100));
    // Past its end it goes on from its loop point, later than its start.
    Frames after = Render(5 * 44100);
    EXPECT_TRUE(mod->playing);
    EXPECT_GT(Peak(after), 3000);
    EXPECT_GT(openmpt_module_get_current_order(mod->mod), 0);
}

}  // namespace
