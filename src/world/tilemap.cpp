// The level map and its files: 6400 little-endian 32-bit codes, row-major,
// no header. The map is the only record of what has been collected.

#include "world/tilemap.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "frontend/menu.h"
#include "shell/datacheck.h"
#include "world/tiles.h"

Sint32 TileMap[MAP_CELLS];
SDL_Rect TileFrames[TILE_COUNT];
const char *const LevelFiles[3] = {"data/new1.lvl", "data/new2.lvl", "data/new3.lvl"};
int levelFileMissing;
char levelFault[160];

// A file that opens but gives no byte (empty, or every read failing) holds
// no level: it counts as missing.
static void NoBytes(FILE *f)
{
    if (ferror(f))
        snprintf(levelFault, sizeof levelFault, "cannot read it: %s", strerror(errno));
    else
        snprintf(levelFault, sizeof levelFault, "is empty");
}

int LevelFileReadable(const char *path)
{
    FILE *f = OpenDataFile(path, levelFault, sizeof levelFault);
    if (!f)
        return 0;
    const int readable = fgetc(f) != EOF;
    if (!readable)
        NoBytes(f);
    fclose(f);
    return readable;
}

// The codes are little-endian in the file, whatever the machine.
static void CodesToHostOrder()
{
#if SDL_BYTEORDER == SDL_BIG_ENDIAN
    for (Sint32 &code : TileMap)
        code = (Sint32)SDL_SwapLE32((Uint32)code);
#endif
}

// A short file fills the cells its bytes reach and leaves the rest 0; bytes
// past the map are never read. A file that cannot be opened, or gives no
// byte at all, leaves an empty map, and the caller takes the player to the
// menu instead of into it.
void LoadLevel(const char *path)
{
    spinnerFrame = 0;
    spinnerTimer = 0;
    memset(TileMap, 0, sizeof TileMap);
    memset(CellRects, 0, sizeof CellRects);
    memset(SolidRects, 0, sizeof SolidRects);

    size_t got = 0;
    FILE *f = OpenDataFile(path, levelFault, sizeof levelFault);
    if (f) {
        got = fread(TileMap, 1, sizeof TileMap, f);
        if (got == 0)
            NoBytes(f);
        fclose(f);
    }
    levelFileMissing = got == 0;
    CodesToHostOrder();
}
