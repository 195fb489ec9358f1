// The more levels of assets/levels/more, each played to its exit by its
// recorded run (tests/replays/more) on its own map, exactly as
// tools/dev/replay plays it; the same run is refused on the game's own map.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "../../tools/levels/replay.h"

namespace {

struct MoreLevel {
    const char *name;   // assets/levels/more/<name>.txt and tests/replays/more/<name>.txt
    int level;
    int itemPoints;     // the items its run takes, as its comments list them
    int completedPass;  // found by playing the hand-written run: a guard against any change of pace
};

// Krugerrand 10, Soft Toy 50, SuperDawg 250, Delicious Dessert 450, Extra
// Health 500, Retro Joypad 750, the exit 1000; and a point for every shot.
const MoreLevel Levels[] = {
    {"orchard-hills", 1, 85 * 10 + 250 + 500 + 50 + 2 * 450 + 750 + 1000, 5742},
    {"lantern-mine", 2, 83 * 10 + 50 + 2 * 250 + 2 * 450 + 750 + 1000, 5247},
    {"cyclops-vaults", 3, 97 * 10 + 50 + 2 * 250 + 4 * 450 + 3 * 750 + 1000, 6461},
};

void PrintTo(const MoreLevel &l, std::ostream *os) { *os << l.name; }

std::string Slurp(const std::string &path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class MoreLevelRun : public ::testing::TestWithParam<MoreLevel> {};

TEST_P(MoreLevelRun, ReachesTheExitUnhurtWithItsScoreOnItsMapAndIsRefusedOnTheGamesOwn)
{
    const MoreLevel &l = GetParam();
    const std::string level = KV_SOURCE_DIR "/assets/levels/more/" + std::string(l.name) + ".txt";
    const Replay replay = ParseReplay(Slurp(KV_SOURCE_DIR "/tests/replays/more/" + std::string(l.name) + ".txt"));
    ASSERT_EQ(replay.error, "");
    EXPECT_EQ(replay.level, l.level);
    RigStart();
    EXPECT_NE(PutMapInPlace(replay, ""), "") << "the run names its map, and the game's own is another";
    ASSERT_EQ(PutMapInPlace(replay, level), "");
    const ReplayResult r = PlayReplay(replay);
    EXPECT_EQ(r.completedPass, l.completedPass);
    EXPECT_EQ(r.wastedFire, 0);
    EXPECT_EQ(r.score, l.itemPoints + FirePasses(replay));
    EXPECT_EQ(r.lives, 5);
    EXPECT_EQ(r.hitPoints, 3);
    RigStop();
}

INSTANTIATE_TEST_SUITE_P(More, MoreLevelRun, ::testing::ValuesIn(Levels),
                         [](const ::testing::TestParamInfo<MoreLevel> &info) {
                             std::string name;
                             for (const char *c = info.param.name; *c; c++)
                                 if (*c != '-')
                                     name += *c;
                             return name;
                         });

}  // namespace
