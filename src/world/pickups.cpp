// Collectables live in the map. Each frame they are listed afresh from it;
// taking one writes 0 into its cell, so it never comes back in this play of
// the level, and a reloaded map brings every item back.

#include "world/pickups.h"

#include "actors/enemies.h"
#include "actors/player.h"
#include "actors/shots.h"
#include "shell/rects.h"
#include "shell/startup.h"
#include "sound/sound.h"
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

// Items beyond the 500th in map order are left out of the list.
void ScanPickups()
{
    pickupCount = 0;
    for (int row = 0; row < MAP_SIZE; row++) {
        for (int col = 0; col < MAP_SIZE; col++) {
            const Sint32 code = TileMap[MAP_SIZE * row + col];
            if (code < FIRST_PICKUP_CODE || code > LAST_PICKUP_CODE || pickupCount >= MAX_PICKUPS)
                continue;
            Pickup &p = Pickups[pickupCount++];
            p.kind = code - FIRST_PICKUP_CODE;
            p.active = 1;
            p.rect.x = (Sint16)(TILE * col - camX);
            p.rect.y = (Sint16)(TILE * row - camY);
            p.col = col;
            p.row = row;
        }
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
    WriteScoreText();
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
        SDL_UpperBlit(TileSheet, &TileFrames[PickupFrame[p.kind]], BackBuffer, &p.rect);
    }
}
