// The backdrop and the tile layer. The tiles around the Camera are drawn and,
// in the same pass, every solid cell becomes a 14x14 screen rectangle: the
// only form in which the heroine and the shots ever meet the level.

#include "world/tiles.h"

#include "actors/player.h"
#include "video/art.h"
#include "video/blit.h"
#include "video/video.h"
#include "world/level.h"

SDL_Rect SolidRects[MAP_CELLS];
Sint32 solidCount;
SDL_Rect CellRects[MAP_CELLS];
SDL_Rect BackdropRect;

// Tiles with no pixel but green draw nothing (tile 0, the empty cell, is
// one); found once the sheet is loaded.
static Uint8 TileEmpty[TILE_COUNT];

void PrepareTiles()
{
    const Uint8 key = (Uint8)TileSheet->format->colorkey;
    const int keyed = (TileSheet->flags & SDL_SRCCOLORKEY) != 0;
    for (int t = 0; t < TILE_COUNT; t++) {
        int empty = keyed;
        for (int y = 0; y < TILE && empty; y++) {
            const Uint8 *row = (const Uint8 *)TileSheet->pixels + y * TileSheet->pitch + TILE * t;
            for (int x = 0; x < TILE; x++)
                empty &= row[x] == key;
        }
        TileEmpty[t] = (Uint8)empty;
    }
}

// The pairing does not follow the file names.
SDL_Surface *LevelBackdrop(int level)
{
    switch (level) {
    case 0:
        return Back02;
    case 1:
        return Back03;
    default:
        return Back01;
    }
}

void DrawBackdrop()
{
    Blit(LevelBackdrop(levelIndex), NULL, BackBuffer, &BackdropRect);
}

// The window runs from 14 columns left of the Camera's cell to 13 right of
// it and from 13 rows above to 12 below; cells outside the BackBuffer are
// still visited and still give rectangles. Cells outside the map are empty.
// Only a tile that shows is drawn: one wholly outside the BackBuffer, or
// all green, would leave every pixel as it is.
void DrawTiles()
{
    const int centreCol = camX / TILE;  // toward zero, as C divides
    const int centreRow = camY / TILE;
    solidCount = 0;
    for (int row = centreRow - 13; row < centreRow + 13; row++) {
        for (int col = centreCol - 14; col < centreCol + 14; col++) {
            if (row < 0 || row >= MAP_SIZE || col < 0 || col >= MAP_SIZE)
                continue;
            const Sint16 x = (Sint16)(TILE * col - camX);
            const Sint16 y = (Sint16)(TILE * row - camY);
            const int cell = MAP_SIZE * row + col;
            const Sint32 code = TileMap[cell];
            if (code >= 0 && code < TILE_COUNT && !TileEmpty[code] && x > -TILE && x < BACKBUFFER_W &&
                y > -TILE && y < BACKBUFFER_H) {
                SDL_Rect dest = {x, y, TILE, TILE};
                Blit(TileSheet, &TileFrames[code], BackBuffer, &dest);
            }
            if (IsSolidCode(code)) {
                CellRects[cell] = {(Sint16)(x + 1), (Sint16)(y + 1), 14, 14};
                SolidRects[solidCount++] = CellRects[cell];
            }
        }
    }
}
