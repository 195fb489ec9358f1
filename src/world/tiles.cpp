// The backdrop and the tile layer. The tiles around the Camera are drawn and,
// in the same pass, every solid cell becomes a 14x14 screen rectangle: the
// only form in which the heroine and the shots ever meet the level.

#include "world/tiles.h"

#include "actors/player.h"
#include "shell/startup.h"
#include "video/video.h"
#include "world/level.h"

SDL_Rect SolidRects[MAP_CELLS];
Sint32 solidCount;
SDL_Rect CellRects[MAP_CELLS];
SDL_Rect BackdropRect;

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
    SDL_UpperBlit(LevelBackdrop(levelIndex), NULL, BackBuffer, &BackdropRect);
}

// The window runs from 14 columns left of the Camera's cell to 13 right of
// it and from 13 rows above to 12 below; cells outside the BackBuffer are
// still visited and still give rectangles. Cells outside the map are empty.
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
            if (code >= 0 && code < TILE_COUNT) {
                SDL_Rect dest = {x, y, TILE, TILE};
                SDL_UpperBlit(TileSheet, &TileFrames[code], BackBuffer, &dest);
            }
            if (IsSolidCode(code)) {
                CellRects[cell] = {(Sint16)(x + 1), (Sint16)(y + 1), 14, 14};
                SolidRects[solidCount++] = CellRects[cell];
            }
        }
    }
}
