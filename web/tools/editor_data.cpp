// Writes what the level editor (web/editor.js) needs to know of the game, as
// JSON on standard output, from the game's own tables: each level's legend
// (character, tile code, the frame that draws it, what it looks like), which
// codes are solid and which are items, the pictures of the tiles, enemies
// and heroine and each level's backdrop, where the heroine starts and where
// every enemy stands and patrols. Built for Node.js by web/CMakeLists.txt and
// run by scripts/web-build.sh, so the editor never keeps a copy of its own.

#include <cstdio>

#include "actors/enemies.h"
#include "actors/player.h"
#include "video/art.h"
#include "world/custom.h"
#include "world/legend.h"
#include "world/level.h"
#include "world/pickups.h"
#include "world/tilemap.h"
#include "world/tiles.h"

namespace {

void String(const char *s)
{
    putchar('"');
    for (; *s; s++) {
        if (*s == '"' || *s == '\\')
            putchar('\\');
        putchar(*s);
    }
    putchar('"');
}

// The file a surface is loaded from, by the art table.
const char *FileOf(SDL_Surface **surface)
{
    for (const ArtFile &a : ArtFiles)
        if (a.surface == surface)
            return a.path;
    return "";
}

// The file of a level's backdrop: the game picks the surface, the art
// table names its file. Each backdrop's pointer is marked for the look-up.
const char *BackdropFile(int level)
{
    SDL_Surface **const backs[3] = {&Back01, &Back02, &Back03};
    for (SDL_Surface **b : backs)
        *b = reinterpret_cast<SDL_Surface *>(b);
    const SDL_Surface *picked = LevelBackdrop(level);
    const char *file = "";
    for (SDL_Surface **b : backs)
        if (picked == reinterpret_cast<SDL_Surface *>(b))
            file = FileOf(b);
    for (SDL_Surface **b : backs)
        *b = NULL;
    return file;
}

int FrameOf(Sint32 code)
{
    if (code >= 0 && code < TILE_COUNT)
        return code;
    if (code >= FIRST_PICKUP_CODE && code <= LAST_PICKUP_CODE)
        return PickupFrame[code - FIRST_PICKUP_CODE];
    return -1;
}

void Level(int index)
{
    const LevelSetup &s = Levels[index];
    printf("    {\"number\": %d, \"backdrop\": ", index + 1);
    String(BackdropFile(index));
    printf(",\n     \"start\": {\"x\": %d, \"y\": %d, \"w\": 16, \"h\": 64},\n     \"legend\": [", s.camX + START_X,
           s.camY + START_Y);
    bool first = true;
    for (int c = 32; c < 127; c++) {
        const Sint32 code = LegendCode(index + 1, (char)c);
        if (code < 0)
            continue;
        const char *what = "";
        for (const LegendEntry &e : Legend)
            if (e.character == c && e.code == code)
                what = e.what;
        const char ch[2] = {(char)c, 0};
        printf("%s\n       {\"char\": ", first ? "" : ",");
        String(ch);
        printf(", \"code\": %d, \"frame\": %d, \"what\": ", (int)code, FrameOf(code));
        String(what);
        printf("}");
        first = false;
    }
    printf("],\n     \"enemies\": [");
    for (int i = 0; i < s.enemyCount; i++) {
        const EnemyPlacement &p = s.enemies[i];
        printf("%s\n       {\"slot\": %d, \"kind\": %d, \"col\": %d, \"row\": %d, \"first\": %d, \"last\": %d}",
               i ? "," : "", p.slot, p.kind, p.col, p.row, p.first, p.last);
    }
    printf("]}");
}

}  // namespace

int main()
{
    printf("{\n  \"mapSize\": %d, \"tile\": %d, \"fileMax\": %d, \"nameMax\": %d,\n", MAP_SIZE, TILE, CUSTOM_FILE_MAX,
           CUSTOM_NAME_MAX);
    printf("  \"solid\": [");
    for (int code = 0, n = 0; code <= LAST_PICKUP_CODE; code++)
        if (IsSolidCode(code))
            printf("%s%d", n++ ? ", " : "", code);
    printf("],\n  \"items\": {\"first\": %d, \"last\": %d, \"exit\": %d},\n", FIRST_PICKUP_CODE, LAST_PICKUP_CODE,
           FIRST_PICKUP_CODE + (int)ExitLevel);
    printf("  \"kinds\": {\"ogre\": %d, \"spikes\": %d, \"ball\": %d},\n", (int)Ogre, (int)SharpSpikes, (int)DeathBall);
    printf("  \"pictures\": {\"tiles\": ");
    String(FileOf(&TileSheet));
    printf(", \"ogre\": ");
    String(FileOf(&OgreSheet));
    printf(", \"ball\": ");
    String(FileOf(&BallSheet));
    printf(", \"spikes\": ");
    String(FileOf(&SpikeSheet));
    printf(", \"heroine\": ");
    String(FileOf(&PlayerSheet));
    printf("},\n  \"levelFiles\": [");
    for (int i = 0; i < 3; i++) {
        printf("%s", i ? ", " : "");
        String(LevelFiles[i]);
    }
    printf("],\n  \"levels\": [\n");
    for (int i = 0; i < 3; i++) {
        Level(i);
        printf(i < 2 ? ",\n" : "\n");
    }
    printf("  ]\n}\n");
    return 0;
}
