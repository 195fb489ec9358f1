// Shots and explosions.

#include <gtest/gtest.h>

#include "actors/shots.h"
#include "scene.h"
#include "sound/sound.h"
#include "video/video.h"
#include "video/hud.h"
#include "world/pickups.h"
#include "world/tiles.h"

using ShotTest = GameTest;

TEST_F(ShotTest, AShotFlies21PassesAndIsDrawnOnceMoreAtItsLimit)
{
    Stage();
    SetCell(37, 13, 1);  // a wall at screen x 0..14, on the shot's height
    player.facing = FACING_LEFT;
    Hold(SDLK_SPACE);
    Pass();
    ReleaseAll();
    EXPECT_EQ(leftShot.rect.x, 95);   // 16 left of her
    EXPECT_EQ(leftShot.rect.y, 111);  // 23 below her top
    EXPECT_EQ(score, 1);
    EXPECT_STREQ(scoreText, "1");
    for (int i = 1; i <= 21; i++) {
        Pass();
        if (i > 1) {  // in the first pass the gun, drawn after it, still covers it
            ASSERT_TRUE(ShowsSprite(CaptureBackBuffer(), 95 - 4 * (i - 1), 111, ShotImage, {0, 0, 8, 4}, View()))
                << "pass " << i;
        }
        ASSERT_EQ(leftShot.rect.x, 95 - 4 * i);
    }
    EXPECT_EQ(leftShot.active, 0);  // 11 is past 15
    EXPECT_EQ(EffectCount(SfxBang), 0);
    Pass();  // drawn once more at 11, it reaches the wall although it has ended
    EXPECT_EQ(EffectCount(SfxBang), 1);
    EXPECT_EQ(ExplosionRects[0].x, 3);  // a left-going shot bursts 8 further left
    EXPECT_EQ(leftShot.rect.x, 5000);   // parked
    EXPECT_EQ(leftShot.rect.y, 5000);
}

TEST_F(ShotTest, HoldingFireAtAWallMakesAShotABangAndAPointEveryPass)
{
    Stage();
    SolidColumn(21, 36, 39);  // starts at screen x 128, one pixel right of her
    Hold(SDLK_SPACE);
    Passes(10);
    EXPECT_EQ(score, 10);
    EXPECT_EQ(EffectCount(SfxShoot), 10);
    EXPECT_EQ(EffectCount(SfxBang), 9);
    EXPECT_EQ(nextExplosion, 9);
    EXPECT_EQ(ExplosionRects[8].x, 127);
}

TEST_F(ShotTest, AShotOverTwoCellsBangsOnEach)
{
    Stage();
    SetCell(37, 21, 1);  // x 128..142
    SetCell(37, 22, 1);  // x 144..158
    DrawTiles();
    rightShot.rect = {140, 111, 8, 4};
    rightShot.active = 1;
    leftShot.rect = {20, 111, 8, 4};
    CollideWithSolids();
    EXPECT_EQ(EffectCount(SfxBang), 2);
    EXPECT_EQ(nextExplosion, 2);
    EXPECT_EQ(rightShot.active, 0);

    // The left-going shot's burst is placed 8 pixels left of it.
    SetCell(37, 15, 1);  // x 32..46
    DrawTiles();
    rightShot.rect = {5000, 5000, 0, 0};
    leftShot.rect = {40, 111, 8, 4};
    leftShot.active = 1;
    CollideWithSolids();
    EXPECT_EQ(ExplosionRects[2].x, 32);
    EXPECT_EQ(leftShot.active, 0);
}

TEST_F(ShotTest, EachKindTakesItsNumberOfHitsAndBurstsTwice)
{
    const struct {
        EnemyKind kind;
        int hits;
    } kinds[] = {{Ogre, 15}, {DeathBall, 50}, {SharpSpikes, 1000}};
    for (const auto &k : kinds) {
        EmptyPlay(0, 0);
        player.rect = {300, 0, 16, 64};
        nextExplosion = 0;
        SpawnEnemy(3, k.kind, 5, 5, 5, 6);
        DrawEnemies();  // places it: x 80 (+1 for a mover), y 80
        int hits = 0;
        while (Enemies[3].active && hits < 2000) {
            rightShot.rect = {90, 82, 8, 4};
            rightShot.active = 1;
            ShootEnemies();
            EXPECT_EQ(rightShot.active, 0);  // every hit uses the shot up
            hits++;
        }
        EXPECT_EQ(hits, k.hits);
        const int x = k.kind == SharpSpikes ? 80 : 81;
        EXPECT_EQ(nextExplosion, 2);
        EXPECT_EQ(ExplosionRects[0].x, x);
        EXPECT_EQ(ExplosionRects[1].x, x + 10);
        EXPECT_EQ(ExplosionRects[1].y, 80);
    }
    EXPECT_EQ(EffectCount(SfxMdead), 3);
    EXPECT_EQ(score, 0);  // a kill scores nothing
}

TEST_F(ShotTest, OneShotMayHitOnlyOneEnemy)
{
    EmptyPlay(0, 0);
    player.rect = {300, 0, 16, 64};
    SpawnEnemy(0, Ogre, 5, 5, 5, 6);
    SpawnEnemy(1, Ogre, 5, 5, 5, 6);
    DrawEnemies();
    rightShot.rect = {90, 82, 8, 4};
    rightShot.active = 1;
    leftShot.rect = {90, 82, 8, 4};
    leftShot.active = 1;
    ShootEnemies();
    EXPECT_EQ(Enemies[0].hitPoints, 13);  // both shots on the first
    EXPECT_EQ(Enemies[1].hitPoints, 15);
}

TEST_F(ShotTest, AnExplosionShowsFor105PassesAndHoldsItsSlotFor126)
{
    EmptyPlay(0, 0);
    SpawnExplosion(100, 150);
    EXPECT_EQ(nextExplosion, 1);
    for (int i = 1; i <= 125; i++) {
        UpdateExplosions();
        ASSERT_EQ(Explosions[0].active, 1) << i;
        ASSERT_EQ(Explosions[0].frame, i / 21);
    }
    EXPECT_EQ(ExplosionRects[0].y, 150 - 125);  // rising one pixel per pass
    UpdateExplosions();
    EXPECT_EQ(Explosions[0].active, 0);
    EXPECT_EQ(ExplosionRects[0].x, 0);
    EXPECT_EQ(ExplosionRects[0].y, 0);
    EXPECT_EQ(nextExplosion, 0);
}

TEST_F(ShotTest, The64thExplosionAndAllAfterItTakeOverSlot63)
{
    EmptyPlay(0, 0);
    for (int i = 0; i < 64; i++)
        SpawnExplosion(Sint16(i), 100);
    EXPECT_EQ(nextExplosion, 63);
    EXPECT_EQ(ExplosionRects[63].x, 63);
    for (int i = 0; i < 30; i++)
        UpdateExplosions();  // slot 63 is at frame 1, timer 9
    SpawnExplosion(10, 20);
    SpawnExplosion(20, 20);
    EXPECT_EQ(nextExplosion, 63);
    EXPECT_EQ(ExplosionRects[63].x, 20);
    EXPECT_EQ(Explosions[63].frame, 1);  // its animation goes on
    EXPECT_EQ(Explosions[63].timer, 9);
    // 64 explosions end, the counter comes down 63 times and stays at 0.
    for (int i = 0; i < 200; i++)
        UpdateExplosions();
    EXPECT_EQ(nextExplosion, 0);
    SpawnExplosion(7, 7);
    EXPECT_EQ(ExplosionRects[0].x, 7);
}

TEST_F(ShotTest, AnEnemyDiesOnceEvenWithBothShotsOnIt)
{
    EmptyPlay(0, 0);
    player.rect = {300, 0, 16, 64};
    SpawnEnemy(0, Ogre, 5, 5, 5, 6);
    Enemies[0].hitPoints = 1;
    DrawEnemies();
    rightShot.rect = {90, 82, 8, 4};
    rightShot.active = 1;
    leftShot.rect = {90, 82, 8, 4};
    leftShot.active = 1;
    ShootEnemies();
    EXPECT_EQ(EffectCount(SfxMdead), 1);
    EXPECT_EQ(nextExplosion, 2);
    EXPECT_EQ(leftShot.active, 1);  // the left-going shot flies on
}

// A right-going shot ends once its x has passed 208: from x 128 it reaches
// 208 after 20 passes and flies one more.
TEST_F(ShotTest, AShotEndsOnlyPastItsLimit)
{
    Stage();
    camX = 1070;
    SolidRow(STAGE_FLOOR_ROW, 60, 79);
    player.rect.x = 112;
    Hold(SDLK_SPACE);
    Pass();
    ReleaseAll();
    ASSERT_EQ(rightShot.rect.x, 128);
    Passes(20);
    EXPECT_EQ(rightShot.rect.x, 208);
    EXPECT_EQ(rightShot.active, 1);
    Pass();
    EXPECT_EQ(rightShot.rect.x, 212);
    EXPECT_EQ(rightShot.active, 0);
}

// Explosions belong to the screen vertically and to the world sideways:
// while the Camera follows the heroine down they keep their height (rising
// a pixel a pass), and a sideways scroll drags them with the world.
TEST_F(ShotTest, ExplosionsKeepTheirHeightAsTheViewFallsAndMoveWithItSideways)
{
    EmptyPlay(300, 500);
    player.rect = {111, 150, 16, 64};
    player.vSpeed = 8;  // falling: each pass the Camera goes down 4
    SpawnExplosion(60, 120);
    Passes(10);
    EXPECT_EQ(camY, 540);
    EXPECT_EQ(ExplosionRects[0].y, 110);
    EXPECT_TRUE(ShowsSprite(CaptureBackBuffer(), 60, 110, ExplosionSheet, ExplosionFrames[0], View()));

    Hold(SDLK_RIGHT);  // five scrolls, shown from the pass after each
    Passes(5);
    ReleaseAll();
    Pass();
    EXPECT_EQ(camX, 305);
    EXPECT_TRUE(ShowsSprite(CaptureBackBuffer(), 55, 104, ExplosionSheet, ExplosionFrames[0], View()));
}

// The draw writes the visible part of an explosion back into its rectangle:
// one that starts left of the picture shows its right part at x 0, and from
// then on is drawn whole from x 0.
TEST_F(ShotTest, AnExplosionPastTheLeftEdgeIsPulledToXZero)
{
    SDL_FillRect(BackBuffer, NULL, 0);
    SpawnExplosion(-5, 100);
    UpdateExplosions();
    EXPECT_EQ(ExplosionRects[0].x, 0);
    EXPECT_EQ(ExplosionRects[0].y, 99);
    EXPECT_EQ(ExplosionRects[0].w, 11);
    SDL_Rect right = ExplosionFrames[0];
    right.x += 5;
    right.w = 11;
    EXPECT_TRUE(ShowsSprite(CaptureBackBuffer(), 0, 99, ExplosionSheet, right));
    SDL_FillRect(BackBuffer, NULL, 0);
    UpdateExplosions();
    EXPECT_EQ(ExplosionRects[0].w, 16);
    EXPECT_TRUE(ShowsSprite(CaptureBackBuffer(), 0, 98, ExplosionSheet, ExplosionFrames[0]));
}
