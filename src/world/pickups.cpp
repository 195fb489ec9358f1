// Collectables live in the map. Each frame they are listed afresh from it;
// taking one writes 0 into its cell, so it never comes back in this play of
// the level, and a reloaded map brings every item back.

#include "world/pickups.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "actors/enemies.h"
#include "actors/player.h"
#include "actors/shots.h"
#include "core/rects.h"
#include "sound/sound.h"
#include "video/art.h"
#include "video/blit.h"
#include "video/hud.h"
#include "video/video.h"
#include "world/level.h"
#include "world/tilemap.h"

Pickup Pickups[MAX_PICKUPS];
Sint32 pickupCount;
Sint32 score;

// The exit item's art stands ahead of the others in the tile sheet.
const int PickupFrame[PICKUP_KINDS] = {80, 81, 82, 79, 83, 84, 85, 86};
const int PickupPoints[PICKUP_KINDS] = {10, 100, 500, 1000, 50, 250, 450, 750};

static inline void ListItem(Sint32 code, int row, int col)
{
    Pickup &p = Pickups[pickupCount++];
    p.kind = code - FIRST_PICKUP_CODE;
    p.active = 1;
    p.rect.x = (Sint16)(TILE * col - camX);
    p.rect.y = (Sint16)(TILE * row - camY);
    p.col = col;
    p.row = row;
}

// Items beyond the 500th in map order are left out of the list. The map is
// read four cells at a time where SSE2 is there: most of it holds no item.
void ScanPickups()
{
    pickupCount = 0;
    int cell = 0;
#ifdef __SSE2__
    const __m128i below = _mm_set1_epi32(FIRST_PICKUP_CODE - 1), above = _mm_set1_epi32(LAST_PICKUP_CODE + 1);
    for (; cell + 4 <= MAP_CELLS; cell += 4) {
        const __m128i codes = _mm_loadu_si128((const __m128i *)&TileMap[cell]);
        const __m128i item = _mm_and_si128(_mm_cmpgt_epi32(codes, below), _mm_cmplt_epi32(codes, above));
        if (_mm_movemask_epi8(item) == 0)
            continue;
        for (int c = cell; c < cell + 4; c++) {
            const Sint32 code = TileMap[c];
            if (code >= FIRST_PICKUP_CODE && code <= LAST_PICKUP_CODE && pickupCount < MAX_PICKUPS)
                ListItem(code, c / MAP_SIZE, c % MAP_SIZE);
        }
    }
#endif
    for (; cell < MAP_CELLS; cell++) {
        const Sint32 code = TileMap[cell];
        if (code >= FIRST_PICKUP_CODE && code <= LAST_PICKUP_CODE && pickupCount < MAX_PICKUPS)
            ListItem(code, cell / MAP_SIZE, cell % MAP_SIZE);
    }
}

static void Take(Pickup &p)
{
    PlayEffect(SfxCollect);
    SpawnExplosion(p.rect.x, p.rect.y);
    if (p.kind == ExtraHealth && ++player.lives > 5)
        player.lives = 5;
    if (p.kind == ExitLevel)
        ClearEnemies();
    score += PickupPoints[p.kind];
    WriteScoreText(score);
    if (p.kind == ExitLevel)
        levelComplete = 1;
    TileMap[MAP_SIZE * p.row + p.col] = 0;
    p.active = 0;
}

// An item is drawn in the frame in which it is taken and no more after it.
// The blit writes the clipped rectangle back, and the next touch test of the
// slot uses that width and height.
void CollectPickups()
{
    for (int i = 0; i < pickupCount; i++) {
        Pickup &p = Pickups[i];
        if (p.active != 1)
            continue;
        if (RectsOverlap(player.rect, p.rect))
            Take(p);
        Blit(TileSheet, &TileFrames[PickupFrame[p.kind]], BackBuffer, &p.rect);
    }
}
