// The main loop: pacing, how it ends, the one-shot latch, the mode changes.

#include <gtest/gtest.h>

#include "frontend/help.h"
#include "frontend/menu.h"
#include "game_fixture.h"
#include "scene.h"
#include "sound/sound.h"
#include "core/mode.h"
#include "input/keys.h"
#include "shell/loop.h"
#include "video/video.h"

using LoopTest = GameTest;

TEST_F(LoopTest, AQuickPassWaitsOutThePeriodAndTheNextWaitsNothing)
{
    Pass(0);
    Passes(6, 2);
    // The first pass starts the first period; then a pass of 2 ms waits the
    // remaining 7 ms of a 9 ms period, and the pass after it starts a new one.
    std::vector<Uint32> expected = {0, 7, 0, 7, 0, 7, 0};
    EXPECT_EQ(vclock.delays, expected);
}

TEST_F(LoopTest, ASlowPassNeverWaits)
{
    Passes(5, 9);
    Passes(5, 12);
    for (Uint32 d : vclock.delays)
        EXPECT_EQ(d, 0u);
}

TEST_F(LoopTest, FramePacerMovesItsDeadlineOnlyWhenReached)
{
    vclock.now = 100;
    EXPECT_EQ(FramePacer(), 0u);
    EXPECT_EQ(nextTick, 109u);
    vclock.now = 104;
    EXPECT_EQ(FramePacer(), 5u);
    EXPECT_EQ(nextTick, 109u);
    vclock.now = 130;  // long past: the next period starts now, not at 109 + 9
    EXPECT_EQ(FramePacer(), 0u);
    EXPECT_EQ(nextTick, 139u);
    framePeriodMs = 13;  // a display switch applies from the next move
    vclock.now = 139;
    EXPECT_EQ(FramePacer(), 0u);
    EXPECT_EQ(nextTick, 152u);
}

TEST_F(LoopTest, AWindowCloseEndsTheLoopAfterOneMorePassWithNothingPending)
{
    EXPECT_EQ(Pass(), 1);
    PushEvent(SDL_QUIT);
    EXPECT_EQ(Pass(), 1);  // this pass's poll takes the request
    int pollsBefore = vclock.polls;
    EXPECT_EQ(Pass(), 0);  // runs whole, finds nothing pending, ends
    EXPECT_EQ(vclock.polls, pollsBefore + 1);
}

TEST_F(LoopTest, AnotherEventTakenAfterTheCloseRequestKeepsTheGameRunning)
{
    PushEvent(SDL_QUIT);
    PushEvent(SDL_KEYUP);
    EXPECT_EQ(Pass(), 1);  // takes the close request
    EXPECT_EQ(Pass(), 1);  // takes the key release: the request is overwritten
    EXPECT_EQ(Passes(5), 1);
}

TEST_F(LoopTest, QuitEndsTheLoopWithinThePassWithoutAPoll)
{
    Hold(SDLK_UP);  // from Start up to Quit
    Pass();
    ReleaseAll();
    Pass();
    ASSERT_EQ(MenuCursor.y, 131);
    Hold(SDLK_RETURN);
    int polls = vclock.polls;
    EXPECT_EQ(Pass(), 0);
    EXPECT_EQ(vclock.polls, polls);
    EXPECT_EQ(keyLatch, 0);  // the latch release after the keys did not run
    EXPECT_EQ(EffectCount(SfxMenu1), 1);
    EXPECT_EQ(EffectCount(SfxMenu2), 1);  // Quit confirms like the other entries
}

TEST_F(LoopTest, EscapeHeldFromPlayIntoTheMenuActsOnce)
{
    Stage();
    Hold(SDLK_ESCAPE);
    EXPECT_EQ(Passes(8), 1);
    EXPECT_EQ(GameMode, Menu);
    EXPECT_EQ(EffectCount(SfxMenu2), 1);
    EXPECT_EQ(MenuCursor.y, 99);
    EXPECT_EQ(vclock.effects.size(), 1u);
    Release(SDLK_ESCAPE);
    Hold(SDLK_RETURN);
    Pass();  // the menu is as it was: Start still works
    EXPECT_EQ(GameMode, Playing);
}

// The menu keys, the help pages' Space and the skip key "3" share one latch:
// a latch set in one mode is released only by the next mode's own keys.
TEST_F(LoopTest, OneLatchServesEveryMode)
{
    Press(SDLK_DOWN);
    Hold(SDLK_RETURN);
    Pass();
    ReleaseAll();
    ASSERT_EQ(GameMode, Help);
    Hold(SDLK_SPACE);  // turns a page and latches
    Pass();
    Hold(SDLK_ESCAPE);
    Hold(SDLK_UP);
    Pass();
    ASSERT_EQ(GameMode, Menu);
    Release(SDLK_ESCAPE);
    Passes(3);  // Up arrived held, with the latch still set by Space
    EXPECT_EQ(MenuCursor.y, 115);
    EXPECT_EQ(EffectCount(SfxMenu1), 1);  // the Down press only
    Release(SDLK_UP);
    Pass();
    Press(SDLK_UP);
    EXPECT_EQ(MenuCursor.y, 99);
}

TEST_F(LoopTest, AHeldMenuKeyActsOnceUntilAllThreeAreReleased)
{
    Hold(SDLK_DOWN);
    Passes(10);
    EXPECT_EQ(MenuCursor.y, 115);
    Release(SDLK_DOWN);
    Hold(SDLK_RETURN);  // Enter alone keeps the latch until it is let go
    Hold(SDLK_UP);
    Pass();
    EXPECT_EQ(MenuCursor.y, 115);
    EXPECT_EQ(GameMode, Menu);
    ReleaseAll();
    Pass();
    Hold(SDLK_UP);
    Hold(SDLK_DOWN);  // both at once: only Up acts
    Pass();
    EXPECT_EQ(MenuCursor.y, 99);
}

TEST_F(LoopTest, CursorWrapsBothWays)
{
    Hold(SDLK_UP);
    Pass();
    EXPECT_EQ(MenuCursor.y, 131);
    ReleaseAll();
    Pass();
    Hold(SDLK_DOWN);
    Pass();
    EXPECT_EQ(MenuCursor.y, 99);
}

TEST_F(LoopTest, EnterHeldThroughEscapeOpensTheHelpPagesAgain)
{
    Press(SDLK_DOWN);
    Hold(SDLK_RETURN);
    Pass();
    ASSERT_EQ(GameMode, Help);
    EXPECT_EQ(helpPage, 0);
    Hold(SDLK_ESCAPE);  // Enter still held
    Pass();
    ASSERT_EQ(GameMode, Menu);
    Release(SDLK_ESCAPE);
    Pass();  // Enter does not latch: the menu acts on it at once
    EXPECT_EQ(GameMode, Help);
}

TEST_F(LoopTest, AModeChangeTakesEffectAtTheNextPass)
{
    Press(SDLK_DOWN);
    Hold(SDLK_RETURN);
    int spinner = spinnerTimer;
    Pass();  // the menu pass that chose Help ran its spinner step first
    EXPECT_EQ(GameMode, Help);
    ReleaseAll();
    Pass();  // a help pass: the menu spinner stands still
    EXPECT_EQ(spinnerTimer, (spinner + 1) % 3);
}
