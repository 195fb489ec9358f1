// The test program's own start: every test finds the environment it needs
// and the game's records as a fresh process has them, whatever ran before it
// in this process, in whatever order, and wherever the program was started.

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "rig.h"

namespace {

class FreshStart : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo &) override
    {
        if (chdir(KV_SOURCE_DIR) != 0)
            abort();
        if (RigRunning())
            RigStop();
        RigFreshRecords();
    }
    // A test that ended early (a failed assertion) may leave the game running.
    void OnTestEnd(const ::testing::TestInfo &) override
    {
        if (RigRunning())
            RigStop();
    }
    // A shuffled run that failed says, as its last line, how to run that
    // same order again (gtest names the seed only at the top, far above, and
    // has moved on to the next one by the end).
    int seed = 0;
    void OnTestIterationStart(const ::testing::UnitTest &unit, int) override { seed = unit.random_seed(); }
    void OnTestProgramEnd(const ::testing::UnitTest &unit) override
    {
        if (GTEST_FLAG_GET(shuffle) && !unit.Passed())
            printf("Shuffled with seed %d: run this order again with --gtest_shuffle --gtest_random_seed=%d\n", seed,
                   seed);
    }
};

}  // namespace

int main(int argc, char **argv)
{
    // No display and no sound card needed: SDL's dummy drivers, always.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // The headless window never has the focus, and SDL keeps a pad that is
    // pressed while no window of the game has it from reaching the game.
    setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    // A program started in the background by a script inherits an interrupt
    // that is ignored, and SDL then leaves it so: the game is tested as a
    // player starts it, with the interrupt at its default.
    signal(SIGINT, SIG_DFL);
    RigFreshRecords();  // takes the first values before any test can change them
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshStart);
    return RUN_ALL_TESTS();
}
