// Ogres, death balls and spikes: 13 slots that patrol their spans.
#pragma once

#include <SDL.h>

enum EnemyKind { Ogre = 0, SharpSpikes = 1, DeathBall = 2 };

struct Enemy {
    Sint32 dir;  // 0 towards larger x, 1 towards smaller x
    SDL_Rect rect;
    Sint32 active;
    Sint32 rightEnd;
    Sint32 leftEnd;
    Sint32 frameBase;
    Sint32 frameStep;
    Sint32 hitPoints;
    Sint32 offset;
    Sint32 kind;
    Sint32 speed;
};

enum { MAX_ENEMIES = 13 };

extern Enemy Enemies[MAX_ENEMIES];
extern Sint32 worldX[MAX_ENEMIES], worldY[MAX_ENEMIES];
extern Sint32 enemyMoveTimer, enemyAnimTimer;
extern SDL_Rect OgreFrames[13];
extern SDL_Rect SpikeFrames[8];
extern SDL_Rect BallFrames[10];

void SpawnEnemy(int slot, int kind, int col, int row, int first, int last);
void DrawEnemies();
void UpdateEnemies();
