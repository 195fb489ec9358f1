// Collectable items: map cells of codes 200..207, listed afresh every frame.
#pragma once

#include <SDL.h>

enum PickupKind {
    Krugerrand, GreenKey, ExtraHealth, ExitLevel, SoftToy, SuperDawg, DeliciousDessert, RetroJoypad,
    PICKUP_KINDS
};

struct Pickup {
    Sint32 kind;
    Sint32 active;
    SDL_Rect rect;
    Sint32 col;
    Sint32 row;
};

enum { MAX_PICKUPS = 500 };

extern Pickup Pickups[MAX_PICKUPS];
extern Sint32 pickupCount;
extern Sint32 score;
extern const int PickupFrame[PICKUP_KINDS];
extern const int PickupPoints[PICKUP_KINDS];

void ScanPickups();
void CollectPickups();
