// The main loop: pacing, how it ends, the one-shot latch, the mode changes.

#include <gtest/gtest.h>

#include "frontend/help.h"
#include "frontend/menu.h"
#include "game_fixture.h"
#include "scene.h"
#include "sound/sound.h"
#include "core/mode.h"
#include "digest.h"
#include "input/keys.h"
#include "shell/demo.h"
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

// A display that shows its frames (a window, full screen) is handed the
// newest frame in a frame period's wait, so that what the flip costs comes
// out of the wait and not out of the pace: once the last flip is 12 ms old,
// the wait nearest a 60 Hz refresh after it; a pass with no time left to
// wait flips only once the last flip is 33 ms old. The rig's dummy display
// takes every frame, so these tests make it stand for one that shows them,
// and give each flip a cost on the virtual clock.
class DisplayFlipTest : public GameTest {
protected:
    static inline std::vector<Uint32> flipTimes;  // the virtual clock as each flip began
    static inline std::vector<int> flipPasses;    // the pass of each flip, counted by Run from 0
    static inline std::vector<int> flipWidths;    // the screen's width at each flip
    static inline Uint32 flipCostMs;
    static inline int passNumber;

    static void AroundFlip(int before)
    {
        if (!before)
            return;
        flipTimes.push_back(vclock.now);
        flipPasses.push_back(passNumber);
        flipWidths.push_back(screen->w);
        vclock.now += flipCostMs;
    }
    void SetUp() override
    {
        GameTest::SetUp();
        flipEveryFrame = 0;
        Forget();
        flipCostMs = 0;
    }
    static void Forget()
    {
        flipTimes.clear();
        flipPasses.clear();
        flipWidths.clear();
        passNumber = 0;
        flipHook.around = AroundFlip;
    }
    void TearDown() override
    {
        flipHook = FlipHook();
        GameTest::TearDown();
    }
    // Runs n passes of workMs each; returns the virtual clock as each began.
    static std::vector<Uint32> Run(int n, Uint32 workMs)
    {
        std::vector<Uint32> starts;
        for (int i = 0; i < n; i++) {
            vclock.now += workMs;
            starts.push_back(vclock.now);
            Pass();
            passNumber++;
        }
        return starts;
    }
};

TEST_F(DisplayFlipTest, AFlipTakesItsTimeFromTheWaitAndNotFromThePace)
{
    flipCostMs = 3;
    const std::vector<Uint32> starts = Run(12, 0);
    // The first frame of a new window is shown at once (at 0 ms, which moves
    // the second pass to 3 ms). From then on each period of 9 ms holds two
    // passes, as with no cost at all. The second of each pair waits; every
    // second one of them finds the last flip 18 ms old, flips at the start
    // of its wait and waits 3 ms less; the others find it 9 ms old.
    const std::vector<Uint32> expectedStarts = {0, 3, 9, 9, 18, 18, 27, 27, 36, 36, 45, 45};
    EXPECT_EQ(starts, expectedStarts);
    const std::vector<Uint32> expectedFlips = {0, 18, 36};
    EXPECT_EQ(flipTimes, expectedFlips);
    const std::vector<Uint32> expectedDelays = {0, 6, 0, 9, 0, 6, 0, 9, 0, 6, 0, 9};
    EXPECT_EQ(vclock.delays, expectedDelays);

    // Where every frame is flipped as it is presented, the same cost comes
    // out of the pace: a period begins 3 ms late, each pass flips, and two
    // passes take 12 ms instead of 9.
    RigStart();
    Forget();
    const std::vector<Uint32> everyFrame = Run(6, 0);
    const std::vector<Uint32> expectedEveryFrame = {0, 3, 12, 15, 24, 27};
    EXPECT_EQ(everyFrame, expectedEveryFrame);
    EXPECT_EQ(flipTimes.size(), 6u);
}

TEST_F(DisplayFlipTest, FullScreenFramesAreFlippedInEveryPeriodsWait)
{
    SetDisplayMode(0);
    Run(8, 0);
    // Periods of 13 ms: the waiting pass of each finds the last flip 13 ms
    // old, the wait nearest a 60 Hz refresh after it.
    const std::vector<Uint32> expected = {0, 13, 26, 39};
    EXPECT_EQ(flipTimes, expected);
}

// Whatever the passes cost, two flips are never closer than 12 ms (but for a
// new window's first frame), and a frame presented when the one shown is
// 33 ms old or more is flipped in its own pass.
TEST_F(DisplayFlipTest, FlipsAreAtLeast12MsApartAndNoneIsOlderThan33MsWhenANewerWaits)
{
    for (Uint32 work : {0u, 2u, 6u, 8u, 9u, 10u, 11u, 12u, 13u, 16u, 17u, 30u, 33u}) {
        RigStart();
        flipEveryFrame = 0;
        Forget();
        flipCostMs = 1;
        const std::vector<Uint32> starts = Run(40, work);
        ASSERT_EQ(flipPasses.at(0), 0);  // the window's first frame
        size_t next = 1;
        Uint32 lastFlip = starts[0];
        for (int i = 1; i < 40; i++) {
            const bool flipped = next < flipPasses.size() && flipPasses[next] == i;
            if (starts[i] - lastFlip >= 33) {
                EXPECT_TRUE(flipped) << work << " ms passes: pass " << i << " at " << starts[i];
            }
            if (flipped) {
                EXPECT_GE(starts[i] - lastFlip, 12u) << work << " ms passes: pass " << i;
                lastFlip = starts[i];
                next++;
            }
        }
        EXPECT_EQ(next, flipPasses.size()) << work << " ms passes: two flips in a pass";
    }
}

TEST_F(DisplayFlipTest, PassesTooSlowToWaitFlipOnceTheFrameShownIs33MsOld)
{
    Run(9, 11);
    // 11 ms a pass: no pass waits, and every third frame finds the one shown
    // 33 ms old.
    const std::vector<Uint32> expected = {11, 44, 77};
    EXPECT_EQ(flipTimes, expected);
}

TEST_F(DisplayFlipTest, ATimedDemoFlipsInPassesWithTimeLeftInTheirPeriod)
{
    demo.mode = DemoTimed;
    DemoSteps[0] = {100, 0};
    demo.stepCount = 1;
    demo.totalPasses = 100;
    ASSERT_EQ(BeginDemo(), 0);
    Run(40, 1);
    // A pass a millisecond, none waiting out its period: the first frame at
    // once, then one when the last is 12 ms old, in a pass that would have
    // waited. Periods begin at 1, 10, 19, 28 and 37 ms: the pass at 37 ms
    // has no time to wait, and the next flips.
    const std::vector<Uint32> expected = {1, 13, 25, 38};
    EXPECT_EQ(flipTimes, expected);
}

TEST_F(DisplayFlipTest, ANewScreenShowsItsFirstFrameAtOnce)
{
    Stage();
    Run(6, 0);  // flips at 0 and 18 ms
    Hold(SDLK_1);
    Run(1, 0);  // begins a period at 27 ms, then goes to full screen
    Release(SDLK_1);
    ASSERT_EQ(windowed, 0);
    // At 27 ms, with the last frame flipped 9 ms ago: on the same screen
    // this pass would wait and flip nothing.
    Run(1, 0);
    const std::vector<Uint32> times = {0, 18, 27};
    EXPECT_EQ(flipTimes, times);
    const std::vector<int> widths = {640, 640, 320};
    EXPECT_EQ(flipWidths, widths);
}

// Flipped or not, the screen holds every pass's picture, as where every
// frame is flipped: the picture tools read it there.
TEST_F(DisplayFlipTest, TheScreenHoldsEveryPassPicture)
{
    std::vector<Image> everyFrame;
    flipEveryFrame = 1;
    for (int i = 0; i < 12; i++) {
        Pass();
        everyFrame.push_back(CaptureScreen());
    }
    RigStart();
    flipEveryFrame = 0;
    for (int i = 0; i < 12; i++) {
        Pass();
        EXPECT_EQ(CaptureScreen().px, everyFrame[i].px) << "pass " << i + 1;
    }
}
