// Whole played sessions, heard offline by tools/dev/render_session from
// replay scripts: the recorded runs through the three levels, fire held
// point-blank at a wall (a shot and a bang every pass), and fire held in the
// open over the first level's music. What a player would hear must never
// reach full scale, and the effects must leave the music audible.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

struct Summary {
    double seconds = 0, peakDb = 0, rmsDb = 0, shotSpread = -1;
    int fullScale = -1, shots = 0;
};

Summary RenderSession(const std::string &options)
{
    std::string cmd = std::string(KV_TOOLS_DIR) + "/render_session --quiet " + options;
    Summary s;
    FILE *p = popen(cmd.c_str(), "r");
    EXPECT_NE(p, nullptr) << cmd;
    if (!p)
        return s;
    char line[512];
    while (fgets(line, sizeof line, p)) {
        double share;
        sscanf(line, "session: %lf s, peak %lf dBFS, %d values at full scale (%lf%%), RMS %lf dBFS", &s.seconds,
               &s.peakDb, &s.fullScale, &share, &s.rmsDb);
        sscanf(line, "shots: %d, each within %lf ms", &s.shots, &s.shotSpread);
    }
    EXPECT_EQ(pclose(p), 0) << cmd;
    return s;
}

const std::string Replays = std::string(KV_SOURCE_DIR) + "/tests/replays/";
const std::string Scenes = std::string(KV_SOURCE_DIR) + "/tests/sound/";

TEST(Session, TheThreeRecordedRunsNeverReachFullScale)
{
    Summary s = RenderSession("--menu 3 " + Replays + "level1.txt " + Replays + "level2.txt " + Replays +
                              "level3.txt");
    EXPECT_GT(s.seconds, 60);
    EXPECT_EQ(s.fullScale, 0);
    EXPECT_LE(s.peakDb, -1.0);
    EXPECT_GT(s.rmsDb, -30.0);
}

// Fire held point-blank at a wall for three seconds and more: the worst pile
// of effects the game can make.
TEST(Session, FireHeldAtAWallStaysUnderMinusOneDecibel)
{
    Summary s = RenderSession(Scenes + "wall_fire.txt");
    EXPECT_GT(s.shots, 600);
    EXPECT_EQ(s.fullScale, 0);
    EXPECT_LE(s.peakDb, -1.0);
}

// Mixed in blocks as a device asks for them, the shots of held fire keep the
// spacing of the passes that fired them.
TEST(Session, HeldFireShotsKeepTheirSpacingThroughADevicesBlocks)
{
    Summary s = RenderSession("--device " + Scenes + "open_fire.txt");
    EXPECT_GT(s.shots, 40);
    EXPECT_GE(s.shotSpread, 0);
    EXPECT_LE(s.shotSpread, 3.0);
}

// Over the music of the first level, held fire is at most 6 dB louder than
// the music under it.
TEST(Session, HeldFireLeavesTheMusicAudible)
{
    std::string scene = "--from 1 " + Scenes + "open_fire.txt";
    Summary music = RenderSession("--music-only " + scene);
    Summary effects = RenderSession("--effects-only " + scene);
    Summary both = RenderSession(scene);
    EXPECT_LE(effects.rmsDb, music.rmsDb + 6.0);
    EXPECT_GT(music.rmsDb, -30.0);
    EXPECT_EQ(both.fullScale, 0);
}

}  // namespace
