// Level set-up and progression: Camera starts, enemy placements, Start and
// the advance from level to level.
#pragma once

#include <SDL.h>

struct EnemyPlacement {
    int slot, kind, col, row, first, last;
};

struct LevelSetup {
    int camX, camY;
    const EnemyPlacement *enemies;
    int enemyCount;
};

extern Sint32 levelIndex;     // 0..2
extern Sint32 levelComplete;  // set by the exit item and the skip key
extern const LevelSetup Levels[3];

void ClearEnemies();
void SetUpLevel();
void StartNewGame();
void AdvanceLevel();
