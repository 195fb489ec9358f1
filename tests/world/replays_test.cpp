// The three recorded runs, played through the rig exactly as tools/dev/replay
// plays them: each must reach its level's exit without losing a life or a
// hit point, on the pass recorded with it and with the score its route
// must give.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "../../tools/levels/replay.h"
#include "core/mode.h"
#include "world/level.h"

namespace {

Replay LoadReplay(int level)
{
    const std::string path = KV_SOURCE_DIR "/tests/replays/level" + std::to_string(level) + ".txt";
    std::ifstream in(path);
    EXPECT_TRUE(in.good()) << path;
    std::stringstream text;
    text << in.rdbuf();
    Replay replay = ParseReplay(text.str());
    EXPECT_EQ(replay.error, "") << path;
    EXPECT_EQ(replay.level, level) << path;
    return replay;
}

// What a route must bring in, counted from its map and its script: the
// items it takes (Krugerrand 10, SuperDawg 250, Extra Health 500, Delicious
// Dessert 450, Retro Joypad 750, the exit 1000) plus a point for every shot,
// and each fire key press of the scripts launches one shot.
struct RecordedLevel {
    int level;
    int itemPoints;
    int completedPass;  // recorded with the script: a guard against any change of pace
};

const RecordedLevel Runs[] = {
    {1, 93 * 10 + 250 + 500 + 450 + 1000, 5701},
    {2, 80 * 10 + 250 + 1000, 4983},
    {3, 109 * 10 + 450 + 750 + 750 + 1000, 6438},
};

void PrintTo(const RecordedLevel &run, std::ostream *os) { *os << "level " << run.level; }

class RecordedRun : public ::testing::TestWithParam<RecordedLevel> {};

TEST_P(RecordedRun, ReachesTheExitUnhurtWithTheRoutesScore)
{
    const RecordedLevel &run = GetParam();
    const Replay replay = LoadReplay(run.level);
    RigStart();
    const ReplayResult r = PlayReplay(replay);
    EXPECT_FALSE(r.gameOver);
    EXPECT_EQ(r.completedPass, run.completedPass);
    EXPECT_EQ(r.wastedFire, 0);
    EXPECT_EQ(r.score, run.itemPoints + FirePasses(replay));
    EXPECT_EQ(r.lives, 5);
    EXPECT_EQ(r.hitPoints, 3);
    if (run.level < 3) {
        EXPECT_EQ(levelIndex, run.level);
        EXPECT_EQ(GameMode, Playing);
    } else {
        EXPECT_EQ(levelIndex, 0);
        EXPECT_EQ(GameMode, Menu);
    }
    RigStop();
}

INSTANTIATE_TEST_SUITE_P(Levels, RecordedRun, ::testing::ValuesIn(Runs),
                         [](const ::testing::TestParamInfo<RecordedLevel> &info) {
                             return "Level" + std::to_string(info.param.level);
                         });

// The script format itself: pairs, repeats, comments and the level line.
TEST(ReplayScript, ReadsPairsRepeatsAndComments)
{
    const Replay r = ParseReplay("# a comment\nkestravale demo 1\nlevel 2\n3 RJ 2 - x2  # two rounds\n1 LF\n");
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.level, 2);
    ASSERT_EQ(r.steps.size(), 5u);
    EXPECT_TRUE(r.steps[0].right && r.steps[0].jump && !r.steps[0].left && r.steps[0].passes == 3);
    EXPECT_FALSE(r.steps[1].right || r.steps[1].left || r.steps[1].jump || r.steps[1].fire);
    EXPECT_EQ(r.steps[3].passes, 2);
    EXPECT_TRUE(r.steps[4].left && r.steps[4].fire);
    EXPECT_EQ(FirePasses(r), 1);
}

TEST(ReplayScript, RejectsWhatItCannotRead)
{
    EXPECT_NE(ParseReplay("kestravale demo 1\n" "level 1\n10 Q\n").error, "");
    EXPECT_NE(ParseReplay("kestravale demo 1\n" "level 1\n10\n").error, "");
    EXPECT_NE(ParseReplay("kestravale demo 1\n" "level 4\n").error, "");
    EXPECT_NE(ParseReplay("kestravale demo 1\n" "10 R\n").error, "");
}

}  // namespace
