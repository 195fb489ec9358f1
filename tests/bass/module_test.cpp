// The music side of the back-end, heard against the same module played
// straight through libopenmpt: a playing module goes on when asked to play
// again, a rewound one starts from its beginning, a stopped one stays quiet,
// and a module never ends.

#include "audio_test.h"

namespace {

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

TEST_F(Music, ARewoundModuleStartsFromItsBeginning)
{
    HMUSIC m = Load("data/level01.it");
    BASS_Start();
    BASS_MusicPlay(m);
    Render(3 * 44100);
    BASS_ChannelSetPosition(m, 0);
    BASS_Stop();
    EXPECT_TRUE(Silent(Render(1000)));
    BASS_Start();
    EXPECT_TRUE(Silent(Render(1000)));  // stopped modules wait to be played
    BASS_MusicPlay(m);
    ReferenceModule ref("data/level01.it");
    ExpectSame(Render(2 * 44100), ref.Read(2 * 44100), "after the rewind");
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
    EXPECT_FALSE(BassFindModule(cave)->playing);
}

TEST_F(Music, AModuleNeverEnds)
{
    HMUSIC m = Load("data/level01.it");
    BassModule *mod = BassFindModule(m);
    double length = openmpt_module_get_duration_seconds(mod->mod);
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
