// The help pages: turning, leaving, the shared animation.

#include <gtest/gtest.h>

#include "actors/enemies.h"
#include "frontend/help.h"
#include "frontend/menu.h"
#include "game_fixture.h"
#include "scene.h"
#include "core/mode.h"
#include "sound/sound.h"

namespace {

class HelpTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        Press(SDLK_DOWN);
        Hold(SDLK_RETURN);
        Pass();
        ReleaseAll();
        ASSERT_EQ(GameMode, Help);
    }
    void TurnPage() { Press(SDLK_SPACE); }
};

}  // namespace

TEST_F(HelpTest, SpaceTurnsOnePagePerPressAndWrapsAfterTheFourth)
{
    Hold(SDLK_SPACE);
    Passes(20);
    EXPECT_EQ(helpPage, 1);
    Release(SDLK_SPACE);
    Pass();
    TurnPage();
    TurnPage();
    EXPECT_EQ(helpPage, 3);
    TurnPage();
    EXPECT_EQ(helpPage, 0);
    EXPECT_EQ(EffectCount(SfxCollect), 4);
}

TEST_F(HelpTest, EscapeAndSpaceTogetherTurnThePageAndLeave)
{
    Hold(SDLK_ESCAPE);
    Hold(SDLK_SPACE);
    Pass();
    EXPECT_EQ(GameMode, Menu);
    EXPECT_EQ(helpPage, 1);
    EXPECT_EQ(EffectCount(SfxMenu2), 2);  // Enter on Help, then Escape
    EXPECT_EQ(EffectCount(SfxCollect), 1);
    ReleaseAll();
    Pass();
    EXPECT_EQ(MenuCursor.y, 115);  // the cursor is still on Help
    Hold(SDLK_RETURN);
    Pass();
    EXPECT_EQ(helpPage, 0);  // the next visit starts at the story
}

TEST_F(HelpTest, TheAnimationsStandStillOnTheTextPagesAndGoOnWhereTheyWere)
{
    Passes(16 * 4 + 5);  // the story: four steps of 16 passes, then 5 more
    EXPECT_EQ(helpAnimFrame, 4);
    EXPECT_EQ(helpAnimTimer, 5);
    TurnPage();
    Passes(40);
    TurnPage();
    Passes(40);
    EXPECT_EQ(helpAnimFrame, 4);  // pages 1 and 2 leave it alone
    Hold(SDLK_SPACE);
    Pass();  // the turn to the enemies page is shown from the next pass on
    Release(SDLK_SPACE);
    Pass();
    EXPECT_EQ(helpPage, 3);
    EXPECT_EQ(helpAnimFrame, 0);  // 4 and 5 mean nothing to a four-frame page
}

TEST_F(HelpTest, TheEnemiesPageDrawsTheOgreFullWidth)
{
    OgreFrames[0].w = 16;  // as play leaves it near the left edge
    helpPage = 3;
    Pass();
    EXPECT_EQ(OgreFrames[helpAnimFrame].w, 32);
}

TEST_F(HelpTest, TheStoryShowsHerSixStandingFramesSixteenPassesEach)
{
    for (int pass = 1; pass <= 16 * 6 * 2; pass++) {
        Pass();
        const int frame = 5 + (pass / 16) % 6;
        ASSERT_TRUE(ShowsSprite(CaptureBackBuffer(), 180, 112, PlayerSheet, PlayerFrames[frame]))
            << "pass " << pass;
    }
}
