// The level map: 80x80 cells of 32-bit tile codes, read whole from a level file.
#pragma once

#include <SDL.h>

enum { MAP_SIZE = 80, MAP_CELLS = MAP_SIZE * MAP_SIZE, TILE = 16, LEVEL_FILE_BYTES = MAP_CELLS * 4 };

// Tile codes with a meaning of their own.
enum {
    TILE_COUNT = 90,        // codes 0..89 are drawn with their own frame
    FIRST_PICKUP_CODE = 200,
    LAST_PICKUP_CODE = 207,
};

extern Sint32 TileMap[MAP_CELLS];  // cell (row, col) is element 80*row + col
extern SDL_Rect TileFrames[TILE_COUNT];
extern const char *const LevelFiles[3];
extern int levelFileMissing;  // the last LoadLevel found no level in its file
extern char levelFault[160];  // why the last level file could not be read

inline bool IsSolidCode(Sint32 code) { return code == 1 || code == 13 || code == 54 || code == 57; }

void LoadLevel(const char *path);

// Whether a level file is an ordinary file that gives at least one byte;
// if not, levelFault says why.
int LevelFileReadable(const char *path);
