#include "input/keys.h"

#include <cstring>

Uint8 *keyState;
int keyLatch;

static Uint8 mergedKeys[SDLK_LAST];
static Uint8 *ownKeys;  // the table the merged one copies: the keyboard's

void HoldAlso(const SDLKey *codes, int count, Uint32 held)
{
    if (keyState != mergedKeys) {
        if (!held)
            return;
        ownKeys = keyState;
        keyState = mergedKeys;
    }
    if (!held) {  // all let go: back to the keyboard's own table
        keyState = ownKeys;
        return;
    }
    memcpy(mergedKeys, ownKeys, sizeof mergedKeys);
    for (int i = 0; i < count; i++)
        if (held & (1u << i))
            mergedKeys[codes[i]] = 1;
}
