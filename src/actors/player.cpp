// The heroine and the Camera. Her collision box is the rectangle her last
// draw wrote back, and every step below runs in the playing frame's order;
// many of her habits (the one-pixel landing gap, the walk that stops while
// firing) come from that order, so it is kept exactly.

#include "actors/player.h"

#include "actors/shots.h"
#include "core/mode.h"
#include "core/rects.h"
#include "input/keys.h"
#include "sound/sound.h"
#include "video/art.h"
#include "video/blit.h"
#include "video/video.h"
#include "world/level.h"
#include "world/tiles.h"

Player player = {{START_X, START_Y, 16, 64}, 0, 0, FACING_RIGHT, 0, 0, 0, 3, 5, 0, 0, 0, {0, 0, 0, 0}, 0};
Sint32 camX, camY;
SDL_Rect PlayerFrames[54];
SDL_Rect GunFrames[2];

// The heroine's frames, by pose; the dying rows end on the first frame of
// the next row (27 and 40).
enum { WALK_RIGHT = 0, STAND_RIGHT = 5, FIRE_RIGHT = 11, DIE_RIGHT = 14,
       WALK_LEFT = 27, STAND_LEFT = 32, FIRE_LEFT = 38, DIE_LEFT = 40 };

enum { SCROLL_X = 111, CAM_X_MIN = -16, CAM_X_MAX = 1070 };

void DrawPlayer()
{
    Blit(PlayerSheet, &PlayerFrames[player.frame], BackBuffer, &player.rect);
}

// The same gun may be drawn twice at one place; each blit writes back.
void DrawGun()
{
    if (player.shooting == 1 && player.facing == FACING_RIGHT)
        Blit(GunSheet, &GunFrames[0], BackBuffer, &player.gunRect);
    if (player.shooting == 1 && player.facing == FACING_LEFT)
        Blit(GunSheet, &GunFrames[1], BackBuffer, &player.gunRect);
    if (player.gunRight == 1)
        Blit(GunSheet, &GunFrames[0], BackBuffer, &player.gunRect);
    if (player.gunLeft == 1)
        Blit(GunSheet, &GunFrames[1], BackBuffer, &player.gunRect);
}

// Below screen y 88 the Camera follows by a fixed 4 pixels, above y 28 by
// the heroine's own step; then she moves by a quarter of her speed.
void ApplyGravity()
{
    const Sint32 q = player.vSpeed / 4;  // toward zero
    if (player.rect.y > 88) {
        camY += 4;
        player.rect.y = 88;
    }
    if (player.rect.y < 28) {
        camY += q;
        player.rect.y = 28;
    }
    player.rect.y = (Sint16)(player.rect.y + q);
    player.vSpeed++;
}

// Touching edges overlap, so a landing always leaves a one-pixel gap that
// gravity closes again five frames later. A vertical push takes back the
// sideways push of the same rectangle.
static void PushOut(const SDL_Rect &s)
{
    SDL_Rect &r = player.rect;
    const Sint16 sx = r.x;
    if (RectsOverlap(r, s) && r.x > s.x)
        r.x += WALK_STEP;
    if (RectsOverlap(r, s) && r.x < s.x)
        r.x -= WALK_STEP;
    if (RectsOverlap(r, s) && r.y > s.y) {
        r.y += 6;
        player.vSpeed = 3;
        r.x = sx;
    }
    if (RectsOverlap(r, s) && r.y < s.y) {
        r.y -= 1;
        r.x = sx;
        player.vSpeed = 0;
        player.jumpLatch = 0;
    }
}

void CollideWithSolids()
{
    for (int i = 0; i < solidCount; i++) {
        ShotsAgainstSolid(SolidRects[i]);
        PushOut(SolidRects[i]);
    }
}

void AdvancePlayerAnimation()
{
    player.animTimer++;
    if (player.animTimer > 10) {
        player.animStep++;
        player.animTimer = 0;
    }
}

void UpdateIdlePose()
{
    if (keyState[SDLK_RIGHT] || keyState[SDLK_LEFT] || keyState[SDLK_SPACE])
        return;
    player.shooting = 0;
    player.gunLeft = 0;
    player.gunRight = 0;
    if (player.facing == FACING_RIGHT || player.facing == FACING_LEFT) {
        if (player.animStep > 5)
            player.animStep = 0;
        player.frame = player.animStep + (player.facing == FACING_RIGHT ? STAND_RIGHT : STAND_LEFT);
    }
}

// The explosions belong to the world: a sideways scroll drags all 64 of
// them, in use or not, one pixel against it.
static void ScrollExplosions(int dx)
{
    for (SDL_Rect &r : ExplosionRects)
        r.x += dx;
}

static void WalkRight()
{
    player.facing = FACING_RIGHT;
    player.gunRight = 1;
    player.gunLeft = 0;
    player.gunRect.x = (Sint16)(player.rect.x + 16);
    player.gunRect.y = (Sint16)(player.rect.y + 17);
    if (player.animStep > 4)
        player.animStep = 0;
    player.frame = player.animStep + WALK_RIGHT;
    if (player.shooting == 1)
        player.rect.x -= WALK_STEP;  // after a frame of firing, no net step
    player.shooting = 0;
    player.rect.x += WALK_STEP;
    if (player.rect.x > SCROLL_X && camX < CAM_X_MAX) {
        player.rect.x = SCROLL_X;
        ScrollExplosions(-1);
        camX += WALK_STEP;
    }
}

static void WalkLeft()
{
    player.facing = FACING_LEFT;
    player.gunLeft = 1;
    player.gunRight = 0;
    player.gunRect.x = (Sint16)(player.rect.x - 32);
    player.gunRect.y = (Sint16)(player.rect.y + 17);
    if (player.animStep > 4)
        player.animStep = 0;
    player.frame = player.animStep + WALK_LEFT;
    if (player.shooting == 1)
        player.rect.x += WALK_STEP;
    player.shooting = 0;
    player.rect.x -= WALK_STEP;
    if (player.rect.x < SCROLL_X && camX > CAM_X_MIN) {
        player.rect.x = SCROLL_X;
        ScrollExplosions(1);
        camX -= WALK_STEP;
    }
}

static void Fire()
{
    const int right = player.facing == FACING_RIGHT;
    player.gunRect.x = (Sint16)(player.rect.x + (right ? 16 : -32));
    player.gunRect.y = (Sint16)(player.rect.y + 17);
    player.gunRight = right;
    player.gunLeft = !right;
    LaunchShot(player.facing);
    if (player.animStep > 2)
        player.animStep = 0;
    player.frame = player.animStep + (right ? FIRE_RIGHT : FIRE_LEFT);
}

void HandlePlayerKeys()
{
    if (keyState[SDLK_RIGHT])
        WalkRight();
    if (keyState[SDLK_LEFT])
        WalkLeft();
    if (keyState[SDLK_LALT] && player.jumpLatch == 0) {
        player.vSpeed = -24;
        player.jumpLatch = 1;
        PlayEffect(SfxJump);
    }
    if (keyState[SDLK_SPACE]) {
        if (player.facing == FACING_RIGHT || player.facing == FACING_LEFT)
            Fire();
        player.shooting = 1;
    }
}

// The dying animation runs on animStep from wherever it stood; once it has
// passed 13 the heroine comes back at the level's start with a life less.
void CheckPlayerDeath()
{
    if (player.hitPoints > 0)
        return;
    player.hitPoints = 0;
    if (player.facing == FACING_RIGHT)
        player.facing = DYING_RIGHT;
    else if (player.facing == FACING_LEFT)
        player.facing = DYING_LEFT;
    if (player.animStep > 13) {
        player.hurtLatch = 0;
        player.lives--;
        player.animStep = 13;
        camX = Levels[levelIndex].camX;
        camY = Levels[levelIndex].camY;
        player.rect.x = START_X;
        player.rect.y = START_Y;
        player.hitPoints = 3;
        player.facing = FACING_RIGHT;
        if (player.lives <= 0)
            GameMode = Menu;
    }
    if (player.facing == DYING_RIGHT)
        player.frame = player.animStep + DIE_RIGHT;
    if (player.facing == DYING_LEFT)
        player.frame = player.animStep + DIE_LEFT;
}
