// The level map and its files: 6400 little-endian 32-bit codes, row-major,
// no header. The map is the only record of what has been collected.

#include "world/tilemap.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

#include "frontend/menu.h"
#include "world/tiles.h"

Sint32 TileMap[MAP_CELLS];
SDL_Rect TileFrames[TILE_COUNT];
const char *const LevelFiles[3] = {"data/new1.lvl", "data/new2.lvl", "data/new3.lvl"};
int levelFileMissing;

static const char *lastMissing;

static void ReportMissing(const char *path)
{
    if (lastMissing == path)
        return;
    lastMissing = path;
    fprintf(stderr, "kestravale: %s: cannot open it: %s; back to the title menu\n", path, strerror(errno));
}

int LevelFileReadable(const char *path)
{
    if (access(path, R_OK) == 0)
        return 1;
    ReportMissing(path);
    return 0;
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
// past the map are never read. A file that cannot be opened leaves an empty
// map, and the caller takes the player back to the menu instead of into it.
void LoadLevel(const char *path)
{
    spinnerFrame = 0;
    spinnerTimer = 0;
    memset(TileMap, 0, sizeof TileMap);
    memset(CellRects, 0, sizeof CellRects);
    memset(SolidRects, 0, sizeof SolidRects);

    FILE *f = fopen(path, "rb");
    levelFileMissing = f == NULL;
    if (!f) {
        ReportMissing(path);
        return;
    }
    size_t got = fread(TileMap, 1, sizeof TileMap, f);
    (void)got;
    fclose(f);
    CodesToHostOrder();
}
