// The two shots and the explosions. A shot's tests look at its rectangle,
// not at its active flag, and the rectangle moves only in MoveShots: a shot
// that ends at its limit is drawn once more and still bangs on a wall.

#include "actors/shots.h"

#include "actors/enemies.h"
#include "actors/player.h"
#include "core/rects.h"
#include "sound/sound.h"
#include "video/art.h"
#include "video/blit.h"
#include "video/hud.h"
#include "video/video.h"
#include "world/pickups.h"

Shot rightShot = {{SHOT_PARK, SHOT_PARK, 0, 0}, 0};
Shot leftShot = {{SHOT_PARK, SHOT_PARK, 0, 0}, 0};
Explosion Explosions[MAX_EXPLOSIONS];
SDL_Rect ExplosionRects[MAX_EXPLOSIONS];
Sint32 nextExplosion;
SDL_Rect ExplosionFrames[5];

enum { SHOT_SPEED = 4, RIGHT_LIMIT = 208, LEFT_LIMIT = 15, EXPLOSION_FRAME_TICKS = 20 };

// Every shot fired scores a point.
void LaunchShot(int facing)
{
    Shot &s = facing == 0 ? rightShot : leftShot;
    if (s.active)
        return;
    PlayEffect(SfxShoot);
    score++;
    WriteScoreText(score);
    s.rect.x = (Sint16)(player.rect.x + (facing == 0 ? 16 : -16));
    s.rect.y = (Sint16)(player.rect.y + 23);
    s.active = 1;
}

// Not a search for a free slot: the index counts up per explosion started
// and down per explosion ended, and sticks at 63, where every new explosion
// takes over the last slot with its animation running on.
void SpawnExplosion(Sint16 x, Sint16 y)
{
    ExplosionRects[nextExplosion].x = x;
    ExplosionRects[nextExplosion].y = y;
    Explosions[nextExplosion].active = 1;
    if (++nextExplosion > MAX_EXPLOSIONS - 1)
        nextExplosion = MAX_EXPLOSIONS - 1;
}

void DrawShots()
{
    Blit(ShotImage, NULL, BackBuffer, &rightShot.rect);
    Blit(ShotImage, NULL, BackBuffer, &leftShot.rect);
}

// Five frames of 21 passes each, then 21 invisible passes before the slot
// is given back. Explosions rise one pixel per pass.
void UpdateExplosions()
{
    for (int i = 0; i < MAX_EXPLOSIONS; i++) {
        Explosion &e = Explosions[i];
        if (e.active != 1)
            continue;
        ExplosionRects[i].y--;
        if (e.frame >= 0 && e.frame <= 4)
            Blit(ExplosionSheet, &ExplosionFrames[e.frame], BackBuffer, &ExplosionRects[i]);
        if (++e.timer > EXPLOSION_FRAME_TICKS) {
            e.frame++;
            e.timer = 0;
        }
        if (e.frame > 5) {
            e.frame = 0;
            e.active = 0;
            ExplosionRects[i].x = 0;
            ExplosionRects[i].y = 0;
            if (nextExplosion > 0)
                nextExplosion--;
        }
    }
}

void ShotsAgainstSolid(const SDL_Rect &s)
{
    if (RectsOverlap(rightShot.rect, s)) {
        PlayEffect(SfxBang);
        SpawnExplosion(rightShot.rect.x, rightShot.rect.y);
        rightShot.active = 0;
    }
    if (RectsOverlap(leftShot.rect, s)) {
        PlayEffect(SfxBang);
        SpawnExplosion((Sint16)(leftShot.rect.x - 8), leftShot.rect.y);
        leftShot.active = 0;
    }
}

// One hit per shot: the shot is used up whether or not the enemy dies.
static void HitEnemy(Shot &shot, Enemy &e)
{
    if (!RectsOverlap(shot.rect, e.rect) || e.active != 1 || shot.active != 1)
        return;
    e.hitPoints--;
    if (e.hitPoints <= 0) {
        PlayEffect(SfxMdead);
        SpawnExplosion(e.rect.x, e.rect.y);
        SpawnExplosion((Sint16)(e.rect.x + 10), e.rect.y);
        e.active = 0;
    }
    shot.active = 0;
}

void ShootEnemies()
{
    for (Enemy &e : Enemies) {
        if (e.active != 1)
            continue;
        HitEnemy(rightShot, e);
        HitEnemy(leftShot, e);
    }
}

void MoveShots()
{
    if (rightShot.active == 1) {
        rightShot.rect.x += SHOT_SPEED;
        if (rightShot.rect.x > RIGHT_LIMIT)
            rightShot.active = 0;
    } else {
        rightShot.rect.x = SHOT_PARK;
        rightShot.rect.y = SHOT_PARK;
    }
    if (leftShot.active == 1) {
        leftShot.rect.x -= SHOT_SPEED;
        if (leftShot.rect.x < LEFT_LIMIT)
            leftShot.active = 0;
    } else {
        leftShot.rect.x = SHOT_PARK;
        leftShot.rect.y = SHOT_PARK;
    }
}
