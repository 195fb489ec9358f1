// The heroine: gravity, standing, jumping, walls, ceilings, scrolling,
// dying and coming back. Every number below is worked out from the rules of
// the playing frame by hand.

#include <gtest/gtest.h>

#include <vector>

#include "actors/shots.h"
#include "scene.h"
#include "sound/sound.h"

using PlayerTest = GameTest;

TEST_F(PlayerTest, AJumpFromRestRises66PixelsIn21PassesThenHangs7)
{
    // Gravity alone, with the heroine put back mid-screen before each step
    // so that the Camera never follows: each step moves her by vSpeed / 4,
    // rounded toward zero.
    player.vSpeed = -24;
    std::vector<int> steps;
    for (int i = 0; i < 30; i++) {
        player.rect.y = 60;
        ApplyGravity();
        steps.push_back(player.rect.y - 60);
    }
    std::vector<int> expected = {-6, -5, -5, -5, -5, -4, -4, -4, -4, -3, -3, -3, -3, -2, -2,
                                 -2, -2, -1, -1, -1, -1, 0,  0,  0,  0,  0,  0,  0,  1,  1};
    EXPECT_EQ(steps, expected);
    int rise = 0;
    for (int i = 0; i < 21; i++)
        rise -= steps[i];
    EXPECT_EQ(rise, 66);
}

TEST_F(PlayerTest, TheCameraFollowsBelow88By4AndAbove28ByHerOwnStep)
{
    camY = 1000;
    player.rect.y = 100;
    player.vSpeed = 8;  // a step of 2
    ApplyGravity();
    EXPECT_EQ(camY, 1004);
    EXPECT_EQ(player.rect.y, 90);  // put back to 88, then her own step
    EXPECT_EQ(player.vSpeed, 9);

    player.rect.y = 20;
    player.vSpeed = -8;  // a step of -2
    ApplyGravity();
    EXPECT_EQ(camY, 1002);
    EXPECT_EQ(player.rect.y, 26);  // put back to 28, then her own step
}

TEST_F(PlayerTest, StandingShowsAFivePassRhythmOnePixelAboveTheFloor)
{
    Stage();
    std::vector<int> speeds;
    for (int i = 0; i < 10; i++) {
        speeds.push_back(player.vSpeed);
        Pass();
        ASSERT_EQ(player.rect.y, 88) << "pass " << i;
        ASSERT_EQ(player.rect.x, 111);
        ASSERT_EQ(camY, STAGE_CAM_Y);
    }
    std::vector<int> expected = {0, 1, 2, 3, 4, 0, 1, 2, 3, 4};
    EXPECT_EQ(speeds, expected);
}

TEST_F(PlayerTest, ACeilingBumpsHerDownSixPixelsAndSendsHerFalling)
{
    Stage();
    SolidRow(34, 5, 60);  // rectangles from screen y 57 to 71
    player.vSpeed = -24;  // as the jump key leaves it
    player.jumpLatch = 1;
    std::vector<int> ys, speeds;
    for (int i = 0; i < 6; i++) {
        Pass();
        ys.push_back(player.rect.y);
        speeds.push_back(player.vSpeed);
    }
    // 82, 77, 72 on the way up; 67 would reach the ceiling (its bottom edge is
    // 71), so she is put 6 lower with a speed of 3, then falls.
    std::vector<int> expectedY = {82, 77, 72, 73, 73, 74};
    std::vector<int> expectedSpeed = {-23, -22, -21, 3, 4, 5};
    EXPECT_EQ(ys, expectedY);
    EXPECT_EQ(speeds, expectedSpeed);
    EXPECT_EQ(player.jumpLatch, 1);
}

TEST_F(PlayerTest, TheJumpKeyActsOnceUntilALandingAndOnceAfterWalkingOffALedge)
{
    Stage();
    Pass();
    Hold(SDLK_LALT);
    Pass();
    EXPECT_EQ(player.vSpeed, -24);
    EXPECT_EQ(player.jumpLatch, 1);
    EXPECT_EQ(EffectCount(SfxJump), 1);
    Passes(10);  // still rising: no second jump while the key is held
    EXPECT_EQ(EffectCount(SfxJump), 1);
    Passes(60);  // she lands and the held key jumps again at once
    EXPECT_EQ(EffectCount(SfxJump), 2);

    // Walking off a ledge leaves the latch open: one jump in the air.
    ReleaseAll();
    Stage();
    memset(TileMap, 0, sizeof TileMap);
    player.vSpeed = 10;  // falling, never landed since the last jump key
    Pass();
    Hold(SDLK_LALT);
    Pass();
    EXPECT_EQ(player.vSpeed, -24);
    Passes(3);
    EXPECT_EQ(player.vSpeed, -21);
}

TEST_F(PlayerTest, WalkingIntoAWallStopsHerAndTheView)
{
    Stage();
    SolidColumn(21, 36, 39);  // a wall as tall as she is, just right of her
    Hold(SDLK_RIGHT);
    Passes(20);
    // One scroll brings the wall to her edge; from then on each pass pushes
    // her back a pixel and each step brings her up to it again.
    EXPECT_EQ(camX, STAGE_CAM_X + 1);
    EXPECT_EQ(player.rect.x, 111);
    EXPECT_EQ(player.rect.y, 88);
    EXPECT_EQ(player.facing, FACING_RIGHT);
}

TEST_F(PlayerTest, SheStaysAtScreenX111WhileTheViewScrollsAndWalksFreeAtItsEnds)
{
    Stage();
    SDL_Rect before = ExplosionRects[5];
    Hold(SDLK_RIGHT);
    Passes(30);
    EXPECT_EQ(player.rect.x, 111);
    EXPECT_EQ(camX, STAGE_CAM_X + 30);
    EXPECT_EQ(ExplosionRects[5].x, before.x - 30);  // explosions keep their place in the world

    Stage();
    SolidRow(STAGE_FLOOR_ROW, 60, 79);
    camX = 1068;
    Passes(4);  // two scrolls up to the limit, then two steps on screen
    EXPECT_EQ(camX, 1070);
    EXPECT_EQ(player.rect.x, 113);

    ReleaseAll();
    Stage();
    Hold(SDLK_LEFT);
    camX = -14;
    Passes(5);
    EXPECT_EQ(camX, -16);
    EXPECT_EQ(player.rect.x, 108);
    EXPECT_EQ(player.facing, FACING_LEFT);
}

TEST_F(PlayerTest, BothArrowsHeldLeaveHerInPlaceFacingLeft)
{
    Stage();
    Hold(SDLK_RIGHT);
    Hold(SDLK_LEFT);
    Passes(12);
    EXPECT_EQ(camX, STAGE_CAM_X);
    EXPECT_EQ(player.rect.x, 111);
    EXPECT_EQ(player.facing, FACING_LEFT);
    EXPECT_GE(player.frame, 27);  // the walking-left frames
    EXPECT_LE(player.frame, 31);
}

TEST_F(PlayerTest, FiringWhileWalkingStepsOnceAndThenStandsFiring)
{
    Stage();
    camX = 1070;  // at the limit she walks on screen, so every step shows
    Hold(SDLK_RIGHT);
    Hold(SDLK_SPACE);
    Pass();
    EXPECT_EQ(player.rect.x, 112);
    // Then she stands, cycling through the three firing frames, 11 passes each.
    for (int pass = 2; pass <= 40; pass++) {
        Pass();
        ASSERT_EQ(player.rect.x, 112);
        ASSERT_EQ(player.frame, 11 + (pass / 11) % 3) << "pass " << pass;
    }
    EXPECT_EQ(player.facing, FACING_RIGHT);
}

TEST_F(PlayerTest, DyingShowsEachFrameElevenPassesThenSheComesBackAtTheStart)
{
    Stage();
    levelIndex = 0;
    player.hitPoints = 0;
    player.animStep = 5;
    player.animTimer = 0;
    player.hurtLatch = 1;
    player.vSpeed = 0;
    int livesBefore = player.lives;
    std::vector<int> frames;
    for (int i = 0; i < 99; i++) {
        Pass();
        frames.push_back(player.frame);
    }
    for (int i = 0; i < 99; i++)
        ASSERT_EQ(frames[i], 19 + i / 11) << "pass " << i;
    EXPECT_EQ(player.lives, livesBefore);

    Pass();  // the dying animation is over: back at the level's start
    EXPECT_EQ(player.lives, livesBefore - 1);
    EXPECT_EQ(player.hitPoints, 3);
    EXPECT_EQ(player.hurtLatch, 0);
    EXPECT_EQ(player.facing, FACING_RIGHT);
    EXPECT_EQ(camX, 113);
    // She reappears at screen (111, 100), below the 88 line: the same pass's
    // gravity moves the Camera down 4 and puts her at 88 before her step.
    EXPECT_EQ(camY, 444 + 4);
    EXPECT_EQ(player.rect.x, 111);
    EXPECT_EQ(player.rect.y, 88);
    EXPECT_EQ(player.frame, 5);  // standing again by the end of the pass
    EXPECT_EQ(GameMode, Playing);
}

TEST_F(PlayerTest, LosingTheLastLifeEndsTheGameAtTheEndOfThatPass)
{
    Stage();
    player.lives = 1;
    player.hitPoints = 0;
    player.animStep = 14;
    levelIndex = 1;
    Pass();
    EXPECT_EQ(player.lives, 0);
    EXPECT_EQ(GameMode, Menu);
    EXPECT_EQ(levelIndex, 1);  // the next Start plays this level again
}

// Death keeps the animation's step and timer as they stood: with the timer
// at 7, the first dying frame shows for 4 passes (the timer runs 8, 9, 10,
// 11), each later one for 11. The pass that brings her back still shows the
// last dying frame, at the start position, before she moves.
TEST_F(PlayerTest, DyingStartsWhereTheAnimationStoodAndTheRespawnPassShowsItsLastFrame)
{
    Stage();
    levelIndex = 0;
    player.hitPoints = 0;
    player.animStep = 5;
    player.animTimer = 7;
    Hold(SDLK_RIGHT);  // while she dies the keys do nothing
    Hold(SDLK_LALT);
    for (int pass = 1; pass <= 4 + 8 * 11; pass++) {
        Pass();
        const int frame = pass <= 4 ? 19 : 20 + (pass - 5) / 11;
        ASSERT_TRUE(ShowsSprite(CaptureBackBuffer(), 111, 88, PlayerSheet, PlayerFrames[frame], View()))
            << "pass " << pass << ", frame " << frame;
    }
    EXPECT_EQ(player.lives, 5);
    EXPECT_EQ(camX, STAGE_CAM_X);
    EXPECT_EQ(EffectCount(SfxJump), 0);
    ReleaseAll();
    Pass();
    EXPECT_EQ(player.lives, 4);
    EXPECT_TRUE(ShowsSprite(CaptureBackBuffer(), 111, 100, PlayerSheet, PlayerFrames[27], View()));

    // Facing left she dies on the mirrored row, from 40 + the step on.
    Stage();
    player.facing = FACING_LEFT;
    player.hitPoints = 0;
    player.animStep = 2;
    player.animTimer = 10;
    for (int pass = 1; pass <= 12; pass++) {
        Pass();
        ASSERT_TRUE(ShowsSprite(CaptureBackBuffer(), 111, 88, PlayerSheet, PlayerFrames[42 + (pass > 1)], View()))
            << "pass " << pass;
    }
}

TEST_F(PlayerTest, ComingBackKeepsHerSpeedAndHerJump)
{
    EmptyPlay(0, 0);
    levelIndex = 2;
    player.hitPoints = 0;
    player.animStep = 14;
    player.vSpeed = 7;
    player.jumpLatch = 1;
    Pass();
    // At (111, 100), below the 88 line: the Camera follows by 4 and she is
    // put at 88, then falls by 7 / 4 = 1.
    EXPECT_EQ(camX, 257);
    EXPECT_EQ(camY, 476 + 4);
    EXPECT_EQ(player.rect.y, 89);
    EXPECT_EQ(player.vSpeed, 8);
    EXPECT_EQ(player.jumpLatch, 1);
}

// Firing, the gun is drawn twice at one place, and each draw writes the
// clipped rectangle back: at the left edge the second draw lands at x 0
// with the whole gun. While she dies no gun is drawn.
TEST_F(PlayerTest, TheGunIsDrawnTwiceWhileFiringAndNotWhileDying)
{
    Stage();
    SolidRow(STAGE_FLOOR_ROW, 0, 79);
    camX = -16;  // at the limit she does not scroll
    player.rect.x = 20;
    player.facing = FACING_LEFT;
    Hold(SDLK_SPACE);
    Pass();  // fires: the gun goes to x 20 - 32 = -12
    Pass();  // drawn for firing facing left, then for the left gun
    EXPECT_EQ(player.gunRect.w, 32);
    EXPECT_TRUE(ShowsSprite(CaptureBackBuffer(), 0, player.gunRect.y, GunSheet, GunFrames[1], View()));

    ReleaseAll();
    Stage();
    player.facing = FACING_RIGHT;
    Hold(SDLK_SPACE);
    Passes(2);  // fires right; the gun at (127, 105)
    ASSERT_TRUE(ShowsSprite(CaptureBackBuffer(), 127, 105, GunSheet, GunFrames[0], View()));
    player.hitPoints = 0;
    Pass();
    EXPECT_TRUE(LacksSprite(CaptureBackBuffer(), 127, 105, GunSheet, GunFrames[0], View()));
}

// Fire held keeps her from the standing pose even while she dies, when the
// keys do nothing else: the gun stays hers, and the pass that brings her
// back, before her keys are read, draws it where she fell, at (127, 105).
TEST_F(PlayerTest, FireHeldThroughDyingShowsTheGunWhereSheFellOnThePassBack)
{
    Stage();
    player.facing = FACING_RIGHT;
    Hold(SDLK_SPACE);
    Passes(2);
    player.hitPoints = 0;
    player.animStep = 13;
    player.animTimer = 0;
    Passes(11);  // the last dying frame
    EXPECT_EQ(player.shooting, 1);
    EXPECT_EQ(player.gunRight, 1);
    Pass();
    ASSERT_EQ(player.hitPoints, 3);
    EXPECT_TRUE(ShowsSprite(CaptureBackBuffer(), 127, 105, GunSheet, GunFrames[0], View()));
}

// A draw writes the visible part back into the heroine's rectangle: at the
// left limit of the view she walks off the picture's edge, but each draw
// raises her x back to 0, so she never gets further than -1.
TEST_F(PlayerTest, TheDrawRaisesANegativeXToZero)
{
    Stage();
    SolidRow(STAGE_FLOOR_ROW, 0, 79);
    camX = -16;
    player.rect.x = 3;
    Hold(SDLK_LEFT);
    Passes(10);
    EXPECT_EQ(player.rect.x, -1);  // drawn at 0 with 15 columns, then a step
    EXPECT_EQ(player.rect.w, 15);
    EXPECT_EQ(camX, -16);
}

// Sunk 15 pixels into a floor (its rectangles' tops at screen y 137, her
// bottom at 152), she rises a pixel per rectangle she overlaps in every
// pass, and walks on meanwhile: each rise puts her back where that
// rectangle's turn began, walk step included. Only a rectangle that just
// touches her leading edge pushes her back a pixel for good, so where one
// does, she waits until she has risen out.
TEST_F(PlayerTest, SunkIntoAFloorSheRisesAPixelPerRectangleAndStillWalks)
{
    EmptyPlay(211, 488);  // rectangles at x 110 and 126: she overlaps both
    SolidRow(39, 0, 79);
    player.rect = {111, 88, 16, 64};
    player.vSpeed = 0;
    Hold(SDLK_RIGHT);
    for (int pass = 1; pass <= 8; pass++) {
        Pass();
        ASSERT_EQ(player.rect.y, 88 - 2 * pass) << "pass " << pass;
        ASSERT_EQ(camX, 211 + pass) << "pass " << pass;
    }

    EmptyPlay(210, 488);  // rectangles at x 111 and 127: the second touches her right edge
    SolidRow(39, 0, 79);
    player.rect = {111, 88, 16, 64};
    player.vSpeed = 0;
    for (int pass = 1; pass <= 15; pass++) {
        Pass();
        ASSERT_EQ(player.rect.y, 88 - pass) << "pass " << pass;
        ASSERT_EQ(camX, 210) << "pass " << pass;
    }
    Pass();  // out of the floor: one pixel above it, and walking again
    EXPECT_EQ(player.rect.y, 72);
    EXPECT_EQ(camX, 211);
}

// Standing, she breathes through her six standing frames, 11 passes each;
// walking, through her five walking frames; facing left, the mirrored rows.
TEST_F(PlayerTest, EachPoseCyclesThroughItsOwnFrames)
{
    Stage();
    for (int pass = 1; pass <= 11 * 13; pass++) {
        Pass();
        ASSERT_EQ(player.frame, 5 + (pass / 11) % 6) << "standing, pass " << pass;
    }
    Stage();
    player.facing = FACING_LEFT;
    player.animStep = 0;
    player.animTimer = 0;
    for (int pass = 1; pass <= 11 * 7; pass++) {
        Pass();
        ASSERT_EQ(player.frame, 32 + (pass / 11) % 6) << "standing left, pass " << pass;
    }
    Stage();
    player.animStep = 0;
    player.animTimer = 0;
    Hold(SDLK_RIGHT);
    for (int pass = 1; pass <= 11 * 11; pass++) {
        Pass();
        ASSERT_EQ(player.frame, (pass / 11) % 5) << "walking, pass " << pass;
    }
    ReleaseAll();
    Stage();
    player.animStep = 0;
    player.animTimer = 0;
    Hold(SDLK_LEFT);
    for (int pass = 1; pass <= 11 * 6; pass++) {
        Pass();
        ASSERT_EQ(player.frame, 27 + (pass / 11) % 5) << "walking left, pass " << pass;
    }
}

// Walking, the gun is held at her side: 16 pixels right of her, or 32 left,
// and 17 below her top, placed before the step.
TEST_F(PlayerTest, TheGunIsCarriedAtHerSide)
{
    Stage();
    camX = 1070;  // at the limit she walks on screen
    Hold(SDLK_RIGHT);
    Pass();  // from x 111 to 112
    Pass();
    EXPECT_TRUE(ShowsSprite(CaptureBackBuffer(), 127, 105, GunSheet, GunFrames[0], View()));
    ReleaseAll();
    Stage();
    camX = -16;
    SolidRow(STAGE_FLOOR_ROW, 0, 79);
    Hold(SDLK_LEFT);
    Pass();  // from x 111 to 110
    Pass();
    EXPECT_TRUE(ShowsSprite(CaptureBackBuffer(), 79, 105, GunSheet, GunFrames[1], View()));
}

// Level with a rectangle on both axes, she is pushed neither way: each push
// asks for her to stand strictly to one side of it.
TEST_F(PlayerTest, LevelWithARectangleOnBothAxesSheIsNotPushed)
{
    EmptyPlay(210, 489);      // the rectangle of cell (20, 36) at 111, 88:
    SolidColumn(20, 36, 36);  // her own top left corner
    player.rect = {111, 88, 16, 64};
    player.vSpeed = 0;
    Pass();
    EXPECT_EQ(player.rect.x, 111);
    EXPECT_EQ(camX, 210);
}
