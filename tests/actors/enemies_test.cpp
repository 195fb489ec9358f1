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

TEST_F(EnemyTest, EachKindCyclesThroughItsOwnAnimationSteps)
{
    EmptyPlay(0, 0);
    player.rect = {300, 0, 16, 64};
    SpawnEnemy(0, Ogre, 5, 2, 5, 6);
    SpawnEnemy(1, DeathBall, 5, 6, 5, 6);
    SpawnEnemy(2, SharpSpikes, 5, 9, 0, 0);
    const int steps[3] = {3, 5, 8};  // ogre, ball, spikes
    std::vector<int> seen[3];
    for (int f = 0; f < 16 * 40; f++) {
        EnemyFrame();
        for (int s = 0; s < 3; s++)
            if (seen[s].empty() || seen[s].back() != Enemies[s].frameStep)
                seen[s].push_back(Enemies[s].frameStep);
    }
    for (int s = 0; s < 3; s++) {
        ASSERT_EQ(seen[s].size(), 41u) << "slot " << s;
        for (size_t i = 0; i < seen[s].size(); i++)
            EXPECT_EQ(seen[s][i], int(i) % steps[s]) << "slot " << s << ", step " << i;
    }
}

// The two counters advance at every slot's turn, live or dead, 13 turns a
// frame. Alone in slot 0 with both counters fresh, an enemy gets the 66th
// turn (the first multiple of 11 that falls on slot 0: 13 * 5 + 1), in the
// sixth frame, and the 144th (13 * 11 + 1 = 9 * 16), in the twelfth.
TEST_F(EnemyTest, DeadSlotsTakeTheirTurnOnTheSharedCounters)
{
    EmptyPlay(200, 0);
    player.rect = {300, 0, 16, 64};
    SpawnEnemy(0, Ogre, 20, 5, 18, 22);
    for (int f = 1; f <= 12; f++) {
        EnemyFrame();
        EXPECT_EQ(Enemies[0].offset, f < 6 ? 1 : 2) << "frame " << f;
        EXPECT_EQ(Enemies[0].frameStep, f < 12 ? 0 : 1) << "frame " << f;
    }
}

// The move gate compares the screen x with the world x of the span's end:
// while camX is 0 or less, an enemy that has reached rightEnd + 1 has a
// screen x of at least rightEnd + 1 and stays; with camX above 0 it walks on.
TEST_F(EnemyTest, AnEnemyAtItsRightEndWaitsWhileTheViewIsAtTheFarLeft)
{
    EmptyPlay(0, 0);
    player.rect = {300, 0, 16, 64};
    SpawnEnemy(0, Ogre, 5, 5, 3, 6);  // from world x 81 right to 97 = rightEnd + 1
    for (int f = 0; f < 11 * 30; f++)
        EnemyFrame();
    EXPECT_EQ(worldX[0] + Enemies[0].offset, 97);
    for (int cam : {-3, -16, 0}) {
        camX = cam;
        for (int f = 0; f < 11 * 5; f++)
            EnemyFrame();
        EXPECT_EQ(worldX[0] + Enemies[0].offset, 97) << "camX " << cam;
    }
    camX = 1;
    for (int f = 0; f < 11; f++)
        EnemyFrame();
    EXPECT_EQ(worldX[0] + Enemies[0].offset, 96);
    EXPECT_EQ(Enemies[0].frameBase, 4);  // walking left
}

// A ball's turn at its right end is taken at the end itself, not only past
// it. Rolling at 1 + 4k pixels past a cell it never stands on its end, but
// the clipped blit raises a ball wholly left of the view to screen x 0, and
// with the view at x 496, the end of its span 432..496, 0 is the end: the
// ball turns its roll there, though the move gate keeps it in place.
TEST_F(EnemyTest, ABallRaisedToTheLeftEdgeAtItsRightEndTurnsItsRoll)
{
    EmptyPlay(496, 0);
    player.rect = {300, 0, 16, 64};
    SpawnEnemy(2, DeathBall, 27, 5, 27, 31);  // world x 433, screen x -63
    for (int f = 0; f < 30; f++)
        EnemyFrame();
    EXPECT_EQ(Enemies[2].rect.x, 0);
    EXPECT_EQ(Enemies[2].offset, 1);
    EXPECT_EQ(Enemies[2].frameBase, 5);
    EXPECT_EQ(Enemies[2].dir, 1);
}

TEST_F(EnemyTest, ALostLifePlacesNoEnemyAgain)
{
    Stage();
    levelIndex = 0;
    SetUpLevel();
    Enemies[3].active = 0;  // shot dead
    Enemies[4].hitPoints = 9;  // shot at
    player.hitPoints = 0;
    player.animStep = 14;  // the dying animation is over
    Pass();
    EXPECT_EQ(player.lives, 4);
    EXPECT_EQ(camX, 113);
    EXPECT_EQ(Enemies[3].active, 0);
    EXPECT_EQ(Enemies[4].hitPoints, 9);
    EXPECT_EQ(Enemies[7].active, 0);
}
