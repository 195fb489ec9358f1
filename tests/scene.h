// Small hand-made scenes for play tests: an empty map with a few solid
// cells, no enemies, the Camera and the heroine where the test puts them.
#pragma once

#include <cstring>

#include "actors/enemies.h"
#include "actors/player.h"
#include "game_fixture.h"
#include "shell/loop.h"
#include "world/level.h"
#include "world/tilemap.h"

inline void EmptyPlay(int cameraX, int cameraY)
{
    GameMode = Playing;
    memset(TileMap, 0, sizeof TileMap);
    ClearEnemies();
    camX = cameraX;
    camY = cameraY;
}

inline void SetCell(int row, int col, Sint32 code) { TileMap[MAP_SIZE * row + col] = code; }

inline void SolidRow(int row, int firstCol, int lastCol, Sint32 code = 1)
{
    for (int c = firstCol; c <= lastCol; c++)
        SetCell(row, c, code);
}

inline void SolidColumn(int col, int firstRow, int lastRow, Sint32 code = 1)
{
    for (int r = firstRow; r <= lastRow; r++)
        SetCell(r, col, code);
}

inline int WorldX() { return camX + player.rect.x; }
inline int WorldY() { return camY + player.rect.y; }

// The standard stage: the Camera at (209, 488) puts column 20 exactly under
// the heroine at screen x 111 (cell x 112..126 after the one-pixel inset),
// and a floor on row 40, whose rectangles start at screen y 153, holds her
// at y 88 = 153 - 65: one pixel above it.
enum { STAGE_CAM_X = 209, STAGE_CAM_Y = 488, STAGE_FLOOR_ROW = 40 };

inline void Stage()
{
    EmptyPlay(STAGE_CAM_X, STAGE_CAM_Y);
    SolidRow(STAGE_FLOOR_ROW, 5, 60);
    player.rect = {111, 88, 16, 64};
    player.vSpeed = 0;
    player.jumpLatch = 0;
}
