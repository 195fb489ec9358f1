// Collectables: the touch rule, points and effects, the exit item.

#include <gtest/gtest.h>

#include "actors/shots.h"
#include "scene.h"
#include "sound/sound.h"
#include "video/hud.h"
#include "world/level.h"
#include "world/pickups.h"
#include "video/video.h"
#include "world/tiles.h"

using PickupTest = GameTest;

namespace {

// The heroine at screen (111, 88); an item cell whose screen x is the given
// value, on her height.
void ItemAtScreenX(int x, Sint32 code)
{
    EmptyPlay(0, 0);
    player.rect = {111, 88, 16, 64};
    camX = 16 * 20 - x;  // column 20 lands at screen x
    camY = 16 * 10 - 100;  // row 10 lands at screen y 100
    SetCell(10, 20, code);
}

void Collect()
{
    ScanPickups();
    CollectPickups();
}

}  // namespace

TEST_F(PickupTest, AnItemAtHerRightEdgeIsTakenOnePixelFurtherItIsNot)
{
    ItemAtScreenX(111 + 16, 200);
    Collect();
    EXPECT_EQ(score, 10);
    EXPECT_STREQ(scoreText, "10");
    EXPECT_EQ(TileMap[80 * 10 + 20], 0);
    EXPECT_EQ(EffectCount(SfxCollect), 1);
    EXPECT_EQ(nextExplosion, 1);
    EXPECT_EQ(ExplosionRects[0].x, 127);
    EXPECT_EQ(ExplosionRects[0].y, 100);

    ItemAtScreenX(111 + 17, 200);
    Collect();
    EXPECT_EQ(score, 10);
    EXPECT_EQ(TileMap[80 * 10 + 20], 200);
}

TEST_F(PickupTest, EveryKindGivesItsPoints)
{
    const int points[8] = {10, 100, 500, 1000, 50, 250, 450, 750};
    for (int k = 0; k < 8; k++) {
        ItemAtScreenX(120, 200 + k);
        score = 0;
        Collect();
        EXPECT_EQ(score, points[k]) << "code " << 200 + k;
    }
}

TEST_F(PickupTest, ExtraHealthGivesALifeUpToFive)
{
    ItemAtScreenX(120, 202);
    player.lives = 4;
    Collect();
    EXPECT_EQ(player.lives, 5);
    ItemAtScreenX(120, 202);
    Collect();
    EXPECT_EQ(player.lives, 5);
    EXPECT_EQ(score, 1000);
}

TEST_F(PickupTest, TwoItemsTouchedInOneFrameAreBothTakenInMapOrder)
{
    ItemAtScreenX(120, 204);
    SetCell(11, 20, 200);  // just below: touched too
    Collect();
    EXPECT_EQ(score, 60);
    EXPECT_EQ(EffectCount(SfxCollect), 2);
    EXPECT_EQ(ExplosionRects[0].y, 100);  // the upper one first
    EXPECT_EQ(ExplosionRects[1].y, 116);
    EXPECT_EQ(pickupCount, 2);
}

TEST_F(PickupTest, TheExitItemClearsTheEnemiesAndEndsTheLevelAtTheEndOfTheFrame)
{
    ItemAtScreenX(120, 203);
    SpawnEnemy(0, Ogre, 70, 70, 70, 72);
    levelIndex = 0;
    player.vSpeed = 0;
    SolidRow(16, 0, 79);  // a floor for her, far below the item
    Pass();
    EXPECT_EQ(score, 1000);
    EXPECT_EQ(levelIndex, 1);
    EXPECT_EQ(levelComplete, 0);
    EXPECT_EQ(camX, 97);  // the second level's start
    EXPECT_EQ(camY, 940);
    int active = 0;
    for (const Enemy &e : Enemies)
        active += e.active;
    EXPECT_EQ(active, 9);  // the second level's nine
}

TEST_F(PickupTest, TheExitItemRemovesEveryEnemyAtOnce)
{
    // Spikes with one hit point left, under a right-going shot: had they
    // stayed after the exit item was taken, this pass's shot would kill them.
    ItemAtScreenX(120, 203);
    SpawnEnemy(6, SharpSpikes, 22, 10, 0, 0);  // screen (152, 100)
    Enemies[6].hitPoints = 1;
    rightShot.rect = {150, 105, 8, 4};
    rightShot.active = 1;
    levelIndex = 0;
    Pass();
    EXPECT_EQ(EffectCount(SfxMdead), 0);
    EXPECT_EQ(nextExplosion, 1);  // the item's own, no more
    EXPECT_EQ(rightShot.active, 1);
    EXPECT_EQ(rightShot.rect.x, 154);  // flew on
    EXPECT_EQ(levelIndex, 1);      // and the level advance still came at the end
    EXPECT_EQ(Enemies[6].active, 1);  // the second level's slot 6
    EXPECT_EQ(Enemies[6].kind, DeathBall);
}

TEST_F(PickupTest, OnlyTheFirst500ItemsInMapOrderExist)
{
    EmptyPlay(0, 0);
    for (int cell = 0; cell < 600; cell++)
        TileMap[cell] = 200;  // rows 0-6 and 40 cells of row 7
    // Cell 500 is (6, 20): put it where the heroine stands.
    player.rect = {111, 88, 16, 64};
    camX = 16 * 20 - 111;
    camY = 16 * 6 - 100;
    ScanPickups();
    EXPECT_EQ(pickupCount, 500);
    CollectPickups();
    // She touches columns 19-21 of rows 5 and 6 (and row 7); of those only
    // (5, 19), (5, 20), (5, 21) and (6, 19) are among the first 500.
    EXPECT_EQ(score, 40);
    EXPECT_EQ(EffectCount(SfxCollect), 4);
    for (int cell : {419, 420, 421, 499})
        EXPECT_EQ(TileMap[cell], 0) << cell;
    for (int cell : {500, 501, 579, 580, 581})
        EXPECT_EQ(TileMap[cell], 200) << cell;
}

TEST_F(PickupTest, AnItemIsSeenInThePassItIsTakenAndNotAfter)
{
    ItemAtScreenX(120, 205);  // a SuperDawg, in front of her
    Pass();
    EXPECT_EQ(score, 250);
    EXPECT_TRUE(ShowsSprite(CaptureBackBuffer(), 120, 100, TileSheet, TileFrames[84], View()));
    Pass();
    EXPECT_TRUE(LacksSprite(CaptureBackBuffer(), 120, 100, TileSheet, TileFrames[84], View()));
    EXPECT_EQ(TileMap[MAP_SIZE * 10 + 20], 0);
}

TEST_F(PickupTest, ASlotKeepsTheClippedSizeOfTheLastItemDrawnInIt)
{
    // An item partly off the left edge is drawn 6 wide; the next item listed
    // in that slot is tested with that width until it is drawn itself.
    EmptyPlay(0, 0);
    player.rect = {111, 88, 16, 64};
    camX = 16 * 20 + 10;  // column 20 at screen x -10
    camY = 16 * 10 - 100;
    SetCell(10, 20, 200);
    Collect();
    EXPECT_EQ(Pickups[0].rect.w, 6);
    EXPECT_EQ(Pickups[0].rect.x, 0);
    EXPECT_EQ(score, 0);
}

// Each kind is drawn with its own cell of the tile sheet: Krugerrand 80,
// Green Key 81, Extra Health 82, the exit 79 (ahead of the others), then
// Soft Toy 83, SuperDawg 84, Delicious Dessert 85 and Retro Joypad 86.
TEST_F(PickupTest, EachKindIsDrawnWithItsOwnCell)
{
    const int cell[8] = {80, 81, 82, 79, 83, 84, 85, 86};
    EmptyPlay(0, 0);
    player.rect = {111, 88, 16, 64};
    for (int k = 0; k < 8; k++)
        SetCell(2, 2 + k, 200 + k);  // row 2, out of her reach: screen y 32, x 32 to 144
    SDL_FillRect(BackBuffer, NULL, 0);
    Collect();
    const Image img = CaptureBackBuffer();
    for (int k = 0; k < 8; k++)
        EXPECT_TRUE(ShowsSprite(img, 32 + 16 * k, 32, TileSheet, SDL_Rect{Sint16(16 * cell[k]), 0, 16, 16}))
            << "code " << 200 + k;
    EXPECT_EQ(score, 0);
}
