// The level map and its files: 6400 little-endian 32-bit codes, row-major,
// no header. The map is the only record of what has been collected. A level
// is read during a pass, so it is read without stdio, which would take a
// buffer from the heap.

#include "world/tilemap.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

#include "core/datafile.h"
#include "core/mode.h"
#include "world/custom.h"
#include "world/tiles.h"

Sint32 TileMap[MAP_CELLS];
SDL_Rect TileFrames[TILE_COUNT];
const char *const LevelFiles[3] = {"data/new1.lvl", "data/new2.lvl", "data/new3.lvl"};
int levelFileMissing;
char levelFault[160];

// Reads up to n bytes; fewer only at the end of the file or on a failure,
// which leaves errno set and returns what came before it.
static size_t ReadUpTo(int fd, void *to, size_t n, int &failed)
{
    size_t got = 0;
    failed = 0;
    while (got < n) {
        const ssize_t r = read(fd, (char *)to + got, n - got);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0) {
            failed = r < 0;
            break;
        }
        got += (size_t)r;
    }
    return got;
}

// A file that opens but gives no byte (empty, or every read failing) holds
// no level: it counts as missing.
static void NoBytes(int failed)
{
    if (failed)
        snprintf(levelFault, sizeof levelFault, "cannot read it: %s", strerror(errno));
    else
        snprintf(levelFault, sizeof levelFault, "is empty");
}

// A custom level given on the command line stands in for its level's file:
// that file is then neither looked at nor read.
static int CustomMapFor(const char *path)
{
    return customLevel.level >= 1 && customLevel.level <= 3 && strcmp(path, LevelFiles[customLevel.level - 1]) == 0;
}

int LevelFileReadable(const char *path)
{
    if (CustomMapFor(path))
        return 1;
    const int fd = OpenDataDescriptor(path, levelFault, sizeof levelFault);
    if (fd < 0)
        return 0;
    char byte;
    int failed;
    const int readable = ReadUpTo(fd, &byte, 1, failed) == 1;
    if (!readable)
        NoBytes(failed);
    close(fd);
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

    if (CustomMapFor(path)) {
        memcpy(TileMap, customLevel.codes, sizeof TileMap);
        levelFileMissing = 0;
        return;
    }
    size_t got = 0;
    const int fd = OpenDataDescriptor(path, levelFault, sizeof levelFault);
    if (fd >= 0) {
        int failed;
        got = ReadUpTo(fd, TileMap, sizeof TileMap, failed);
        if (got == 0)
            NoBytes(failed);
        close(fd);
    }
    levelFileMissing = got == 0;
    CodesToHostOrder();
}
