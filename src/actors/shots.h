// The heroine's two shots and the 64 explosions.
#pragma once

#include <SDL.h>

struct Shot {
    SDL_Rect rect;
    Sint32 active;
};

struct Explosion {
    Sint32 active;
    Sint32 timer;
    Sint32 frame;
};

enum { MAX_EXPLOSIONS = 64, SHOT_PARK = 5000 };

extern Shot rightShot, leftShot;
extern Explosion Explosions[MAX_EXPLOSIONS];
extern SDL_Rect ExplosionRects[MAX_EXPLOSIONS];
extern Sint32 nextExplosion;
extern SDL_Rect ExplosionFrames[5];

void LaunchShot(int facing);
void SpawnExplosion(Sint16 x, Sint16 y);
void DrawShots();
void UpdateExplosions();
void ShotsAgainstSolid(const SDL_Rect &s);  // the shot half of CollideWithSolids
void ShootEnemies();
void MoveShots();
