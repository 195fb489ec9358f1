// Small hand-made scenes for play tests: an empty map with a few solid
// cells, no enemies, the Camera and the heroine where the test puts them.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include "actors/enemies.h"
#include "actors/player.h"
#include "game_fixture.h"
#include "core/mode.h"
#include "video/art.h"
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

// The part of a playing frame that the frame picture leaves open.
inline SDL_Rect View() { return {16, 16, 192, 168}; }
inline SDL_Rect WholePicture() { return {0, 0, 320, 200}; }

// How many of the opaque pixels of a sheet's cell, placed with its top-left
// corner at (x, y), the picture shows, counting only those inside clip; and
// how many there are.
struct SpriteMatch {
    int shown = 0, opaque = 0;
    double share() const { return opaque ? double(shown) / opaque : 0; }
};

inline SpriteMatch MatchSprite(const Image &img, int x, int y, SDL_Surface *sheet, const SDL_Rect &cell,
                               const SDL_Rect &clip = WholePicture())
{
    SpriteMatch m;
    const Uint8 *pixels = (const Uint8 *)sheet->pixels;
    const bool keyed = sheet->flags & SDL_SRCCOLORKEY;
    for (int j = 0; j < cell.h; j++)
        for (int i = 0; i < cell.w; i++) {
            const int px = x + i, py = y + j;
            if (px < clip.x || py < clip.y || px >= clip.x + clip.w || py >= clip.y + clip.h)
                continue;
            const Uint8 src = pixels[(cell.y + j) * sheet->pitch + cell.x + i];
            if (keyed && src == sheet->format->colorkey)
                continue;
            m.opaque++;
            m.shown += img.at(px, py) == src;
        }
    return m;
}

// The picture shows every opaque pixel of the cell (those inside clip).
inline ::testing::AssertionResult ShowsSprite(const Image &img, int x, int y, SDL_Surface *sheet,
                                              const SDL_Rect &cell, const SDL_Rect &clip = WholePicture())
{
    const SpriteMatch m = MatchSprite(img, x, y, sheet, cell, clip);
    if (m.opaque > 0 && m.shown == m.opaque)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << m.shown << " of " << m.opaque << " pixels of the cell at " << x << ","
                                         << y;
}

// The cell is not drawn there: at most a few of its pixels happen to match.
inline ::testing::AssertionResult LacksSprite(const Image &img, int x, int y, SDL_Surface *sheet,
                                              const SDL_Rect &cell, const SDL_Rect &clip = WholePicture())
{
    const SpriteMatch m = MatchSprite(img, x, y, sheet, cell, clip);
    if (m.opaque > 0 && m.share() < 0.5)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << m.shown << " of " << m.opaque << " pixels of the cell at " << x << ","
                                         << y;
}
