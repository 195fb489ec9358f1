// Whole frames against pictures checked by eye and committed under
// tests/golden/. When the art changes on purpose, look at the new frames and
// refresh the pictures with KV_UPDATE_GOLDENS=1.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "scene.h"
#include "video/hud.h"
#include "world/pickups.h"

namespace {

void MatchesGolden(const char *name)
{
    const std::string path = std::string(KV_SOURCE_DIR) + "/tests/golden/" + name + ".png";
    const Image frame = CaptureBackBuffer();
    if (getenv("KV_UPDATE_GOLDENS")) {
        ASSERT_TRUE(WritePng(path, frame));
        return;
    }
    const Image golden = DecodePng(ReadFile(path));
    ASSERT_EQ(golden.w, frame.w) << path;
    ASSERT_EQ(golden.h, frame.h) << path;
    int differ = 0;
    for (size_t i = 0; i < frame.px.size(); i++)
        differ += frame.px[i] != golden.px[i];
    const std::string saved = differ ? SaveForLooking(frame, name) : "";
    EXPECT_EQ(differ, 0) << "pixels differ from " << path << "; the frame is in " << saved;
}

}  // namespace

using GoldenTest = GameTest;

TEST_F(GoldenTest, TheFirstMenuFrame)
{
    Pass();
    MatchesGolden("menu");
}

TEST_F(GoldenTest, TheFourHelpPages)
{
    Press(SDLK_DOWN);
    Hold(SDLK_RETURN);
    Pass();
    ReleaseAll();
    const char *pages[4] = {"help0", "help1", "help2", "help3"};
    for (const char *page : pages) {
        Passes(20);
        MatchesGolden(page);
        Press(SDLK_SPACE);
    }
}

TEST_F(GoldenTest, APlayingFrameWithTheHud)
{
    Stage();
    SolidColumn(10, 30, 39, 57);
    SetCell(38, 24, 15 + 0);  // a stalagmite on the floor
    SetCell(37, 17, 200);
    SetCell(37, 18, 207);
    SpawnEnemy(0, Ogre, 24, 37, 23, 27);
    SpawnEnemy(1, SharpSpikes, 13, 39, 0, 0);
    score = 4321;
    WriteScoreText(score);
    player.lives = 3;
    Hold(SDLK_SPACE);
    Passes(30);
    MatchesGolden("play");
}
