// Level set-up and progression. The level file holds only the map; where the
// view starts and which enemies stand where come from the tables below.

#include "world/level.h"

#include <cstdio>

#include "actors/enemies.h"
#include "actors/player.h"
#include "core/datafile.h"
#include "core/mode.h"
#include "input/keys.h"
#include "sound/sound.h"
#include "video/hud.h"
#include "world/pickups.h"
#include "world/tilemap.h"

Sint32 levelIndex;
Sint32 levelComplete;

// slot, kind, col, row, first and last column of the patrol span
static const EnemyPlacement FirstLevelEnemies[] = {
    {0, SharpSpikes, 38, 23, 0, 0},
    {1, SharpSpikes, 39, 23, 0, 0},
    {2, DeathBall, 27, 32, 27, 31},
    {3, Ogre, 28, 15, 28, 33},
    {4, Ogre, 21, 18, 19, 21},
    {5, Ogre, 21, 66, 21, 27},
    {6, Ogre, 40, 66, 34, 40},
    {8, Ogre, 54, 6, 54, 67},
    {9, DeathBall, 34, 56, 34, 38},
};

static const EnemyPlacement SecondLevelEnemies[] = {
    {0, DeathBall, 23, 66, 23, 30},
    {1, DeathBall, 43, 63, 43, 47},
    {2, DeathBall, 52, 62, 48, 52},
    {3, DeathBall, 58, 46, 58, 63},
    {4, Ogre, 47, 40, 43, 47},
    {5, Ogre, 29, 37, 29, 34},
    {6, DeathBall, 19, 24, 19, 27},
    {7, Ogre, 33, 21, 29, 37},
    {8, Ogre, 39, 21, 34, 44},
};

static const EnemyPlacement ThirdLevelEnemies[] = {
    {0, SharpSpikes, 2, 68, 0, 0},
    {1, SharpSpikes, 57, 11, 0, 0},
    {2, SharpSpikes, 58, 11, 0, 0},
    {3, SharpSpikes, 62, 11, 0, 0},
    {4, SharpSpikes, 63, 11, 0, 0},
    {5, Ogre, 20, 46, 20, 26},
    {6, DeathBall, 38, 56, 38, 43},
    {7, Ogre, 47, 23, 47, 53},
    {8, Ogre, 27, 52, 20, 27},
    {9, Ogre, 34, 66, 27, 40},
    {10, DeathBall, 60, 39, 60, 63},
    {11, Ogre, 42, 43, 42, 45},
    {12, DeathBall, 64, 50, 57, 72},
};

#define COUNT(a) (int)(sizeof(a) / sizeof((a)[0]))

const LevelSetup Levels[3] = {
    {113, 444, FirstLevelEnemies, COUNT(FirstLevelEnemies)},
    {97, 940, SecondLevelEnemies, COUNT(SecondLevelEnemies)},
    {257, 476, ThirdLevelEnemies, COUNT(ThirdLevelEnemies)},
};

void ClearEnemies()
{
    for (Enemy &e : Enemies)
        e.active = 0;
}

void SetUpLevel()
{
    const LevelSetup &level = Levels[levelIndex];
    camX = level.camX;
    camY = level.camY;
    ClearEnemies();
    for (int i = 0; i < level.enemyCount; i++) {
        const EnemyPlacement &p = level.enemies[i];
        SpawnEnemy(p.slot, p.kind, p.col, p.row, p.first, p.last);
    }
    SelectMusic(levelIndex + 1);
}

// A level whose file cannot be read ends the run there: one line says why,
// the menu shows, and the next Start begins at the first level instead of
// failing on the same file for ever.
static void LevelUnreadable(const char *then)
{
    fprintf(stderr, "kestravale: %s: %s; %s%s\n", FullDataPath(LevelFiles[levelIndex]), levelFault, then,
            levelIndex > 0 ? "; the next Start begins at the first level" : "");
    levelIndex = 0;
    GameMode = Menu;
}

// Start carries on at the level where the last game ended, with the map
// fresh from its file (every item back), 5 lives and no points. A level file
// that cannot be read leaves the menu as it is, its music playing on, and
// Enter must be let go before it acts again, so that holding it on Start
// neither repeats the sound nor the line.
void StartNewGame()
{
    if (!LevelFileReadable(LevelFiles[levelIndex])) {
        LevelUnreadable("the game stays in the title menu");
        keyLatch = 1;
        return;
    }
    SetUpLevel();
    LoadLevel(LevelFiles[levelIndex]);
    if (levelFileMissing) {  // it went between the look and the read
        LevelUnreadable("the game stays in the title menu");
        keyLatch = 1;
        return;
    }
    player.lives = 5;
    score = 0;
    WriteScoreText(score);
    GameMode = Playing;
}

void AdvanceLevel()
{
    if (levelComplete != 1)
        return;
    levelComplete = 0;
    levelIndex++;
    if (levelIndex == 3) {
        levelIndex = 0;
        GameMode = Menu;
    }
    SetUpLevel();
    LoadLevel(LevelFiles[levelIndex]);
    if (levelFileMissing)
        LevelUnreadable("back to the title menu");
}
