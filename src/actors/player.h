// The heroine and the Camera that follows her.
#pragma once

#include <SDL.h>

enum { WALK_STEP = 1 };

// Where she stands at start-up and after a lost life.
enum { START_X = 111, START_Y = 100 };

// facing values
enum { FACING_RIGHT = 0, FACING_LEFT = 1, DYING_RIGHT = 20, DYING_LEFT = 21 };

struct Player {
    SDL_Rect rect;
    Sint32 vSpeed;     // quarter pixels per frame, negative is up
    Sint32 jumpLatch;  // 1 from a jump until the next landing
    Sint32 facing;
    Sint32 frame;
    Sint32 animStep;
    Sint32 animTimer;
    Sint32 hitPoints;
    Sint32 lives;
    Sint32 shooting;
    Sint32 gunRight;
    Sint32 gunLeft;
    SDL_Rect gunRect;
    Sint32 hurtLatch;
};

extern Player player;
extern Sint32 camX, camY;
extern SDL_Rect PlayerFrames[54];
extern SDL_Rect GunFrames[2];

void DrawPlayer();
void DrawGun();
void ApplyGravity();
void CollideWithSolids();
void AdvancePlayerAnimation();
void UpdateIdlePose();
void HandlePlayerKeys();
void CheckPlayerDeath();
