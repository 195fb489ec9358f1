// Enemies: patrols, turns, the move gate, animation, contact.

#include <gtest/gtest.h>

#include <algorithm>

#include "scene.h"
#include "sound/sound.h"

namespace {

// One playing frame's worth of enemy work, without the rest of the scene.
void EnemyFrame()
{
    DrawEnemies();
    UpdateEnemies();
}

}  // namespace

using EnemyTest = GameTest;

TEST_F(EnemyTest, AnOgreWalksOnePixelEvery11FramesBetweenItsSpanEndsWidened)
{
    EmptyPlay(200, 0);
    player.rect = {300, 0, 16, 64};
    SpawnEnemy(0, Ogre, 20, 5, 18, 22);  // span world x 288..352
    int lo = 1 << 20, hi = -(1 << 20), moves = 0, last = 320 + Enemies[0].offset;
    for (int f = 0; f < 11 * 300; f++) {
        EnemyFrame();
        const int x = worldX[0] + Enemies[0].offset;
        if (x != last) {
            moves++;
            EXPECT_EQ(std::abs(x - last), 1);
            EXPECT_EQ(Enemies[0].frameBase, x > last ? 0 : 4);
        }
        last = x;
        lo = std::min(lo, x);
        hi = std::max(hi, x);
    }
    EXPECT_EQ(moves, 300);
    EXPECT_EQ(lo, 287);
    EXPECT_EQ(hi, 353);
}

TEST_F(EnemyTest, ADeathBallBouncesInStepsOf4AndTurnsItsRollWithIt)
{
    EmptyPlay(300, 0);
    player.rect = {300, 0, 16, 64};
    SpawnEnemy(2, DeathBall, 27, 5, 27, 31);  // span 432..496, starts at 433 going left
    int lo = 1 << 20, hi = -(1 << 20), last = 433;
    bool turnedRight = false;
    for (int f = 0; f < 11 * 100; f++) {
        EnemyFrame();
        const int x = worldX[2] + Enemies[2].offset;
        if (x != last) {
            EXPECT_EQ(std::abs(x - last), 4);
        }
        if (x < last && hi < 497) {
            EXPECT_EQ(Enemies[2].frameBase, 0) << "rolls 0-4 until its first turn at the right end";
        }
        turnedRight = turnedRight || Enemies[2].frameBase == 5;
        last = x;
        lo = std::min(lo, x);
        hi = std::max(hi, x);
    }
    EXPECT_TRUE(turnedRight);
    EXPECT_EQ(lo, 429);
    EXPECT_EQ(hi, 497);
}

TEST_F(EnemyTest, AnEnemyClippedAtTheLeftEdgeWaits)
{
    EmptyPlay(330, 0);  // the ogre at world 321 is drawn at x -9, raised to 0
    player.rect = {300, 0, 16, 64};
    SpawnEnemy(0, Ogre, 20, 5, 18, 22);
    for (int f = 0; f < 100; f++)
        EnemyFrame();
    EXPECT_EQ(Enemies[0].rect.x, 0);
    EXPECT_EQ(Enemies[0].offset, 1);
}

TEST_F(EnemyTest, AnOgreNearTheLeftEdgeIsHalfAsWide)
{
    EmptyPlay(0, 0);
    player.rect = {300, 0, 16, 64};
    SpawnEnemy(0, Ogre, 0, 5, 0, 3);
    Enemies[0].offset = 8;  // screen x 8
    DrawEnemies();
    EXPECT_EQ(Enemies[0].rect.w, 16);
    Enemies[0].offset = 9;
    DrawEnemies();
    EXPECT_EQ(Enemies[0].rect.w, 32);
}

TEST_F(EnemyTest, EverySlotAnimatesOnceIn16Frames)
{
    EmptyPlay(0, 0);
    player.rect = {300, 0, 16, 64};
    SpawnEnemy(4, SharpSpikes, 5, 5, 0, 0);
    int steps = 0, last = Enemies[4].frameStep;
    for (int f = 0; f < 16 * 40; f++) {
        EnemyFrame();
        if (Enemies[4].frameStep != last)
            steps++;
        last = Enemies[4].frameStep;
        ASSERT_LT(last, 8);
    }
    EXPECT_EQ(steps, 40);
    EXPECT_EQ(Enemies[4].offset, 0);  // spikes never move
}

TEST_F(EnemyTest, ASlotKeepsItsAnimationStepForItsNextKind)
{
    EmptyPlay(0, 0);
    SpawnEnemy(0, SharpSpikes, 5, 5, 0, 0);
    Enemies[0].frameStep = 7;
    SpawnEnemy(0, Ogre, 5, 5, 5, 6);
    EXPECT_EQ(Enemies[0].frameStep, 7);
    EXPECT_EQ(Enemies[0].frameBase, 0);
    EXPECT_EQ(Enemies[0].hitPoints, 15);
}

TEST_F(EnemyTest, EachTouchingEnemyCostsAHitPointPerFrameAndHurtSoundsOncePerLife)
{
    EmptyPlay(0, 0);
    player.rect = {80, 70, 16, 64};
    SpawnEnemy(0, SharpSpikes, 5, 5, 0, 0);  // (80, 80)
    SpawnEnemy(1, SharpSpikes, 6, 6, 0, 0);  // (96, 96): touches her right edge
    player.hitPoints = 3;
    DrawEnemies();
    EXPECT_EQ(player.hitPoints, 1);
    DrawEnemies();
    EXPECT_EQ(player.hitPoints, -1);
    EXPECT_EQ(EffectCount(SfxHit), 1);
    EXPECT_EQ(player.hurtLatch, 1);
}
