#include "digest.h"

#include <cstring>

#include "actors/enemies.h"
#include "actors/player.h"
#include "actors/shots.h"
#include "frontend/help.h"
#include "frontend/menu.h"
#include "core/mode.h"
#include "input/keys.h"
#include "shell/loop.h"
#include "sound/sound.h"
#include "vclock.h"
#include "video/hud.h"
#include "video/text.h"
#include "video/video.h"
#include "world/level.h"
#include "world/pickups.h"
#include "world/tilemap.h"
#include "world/tiles.h"

// Eight bytes a step, then the tail byte by byte: quick enough to take the
// fingerprint of every pass of a long run.
uint64_t Fnv(const void *data, size_t n, uint64_t h)
{
    const unsigned char *p = (const unsigned char *)data;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t word;
        memcpy(&word, p + i, 8);
        h ^= word;
        h *= 0x100000001b3ull;
    }
    for (; i < n; i++) {
        h ^= p[i];
        h *= 0x100000001b3ull;
    }
    return h;
}

template <typename T>
static void Mix(uint64_t &h, const T &value)
{
    h = Fnv(&value, sizeof value, h);
}

FlipHook flipHook;

extern "C" int __real_SDL_Flip(SDL_Surface *s);
extern "C" int __wrap_SDL_Flip(SDL_Surface *s)
{
    flipHook.flips++;
    if (flipHook.digest)
        flipHook.lastDigest = SurfaceDigest(s);
    if (flipHook.skip)
        return 0;
    if (flipHook.around)
        flipHook.around(1);
    const int r = __real_SDL_Flip(s);
    if (flipHook.around)
        flipHook.around(0);
    return r;
}

// Rows only: the padding past a row's width is not part of the picture.
uint64_t SurfaceDigest(SDL_Surface *s)
{
    uint64_t h = Fnv(nullptr, 0);
    if (!s)
        return h;
    Mix(h, s->w);
    Mix(h, s->h);
    SDL_LockSurface(s);
    const int rowBytes = s->w * s->format->BytesPerPixel;
    for (int y = 0; y < s->h; y++)
        h = Fnv((const Uint8 *)s->pixels + y * s->pitch, rowBytes, h);
    SDL_UnlockSurface(s);
    return h;
}

static uint64_t RecordsDigest()
{
    uint64_t h = Fnv(nullptr, 0);
    Mix(h, GameMode);
    Mix(h, keyLatch);
    Mix(h, lastEvent.type);
    Mix(h, nextTick);
    Mix(h, windowed);
    Mix(h, framePeriodMs);
    Mix(h, player);
    Mix(h, camX);
    Mix(h, camY);
    Mix(h, rightShot);
    Mix(h, leftShot);
    Mix(h, Explosions);
    Mix(h, ExplosionRects);
    Mix(h, nextExplosion);
    Mix(h, Enemies);
    Mix(h, worldX);
    Mix(h, worldY);
    Mix(h, enemyMoveTimer);
    Mix(h, enemyAnimTimer);
    Mix(h, pickupCount);
    Mix(h, score);
    Mix(h, scoreText);
    for (int i = 0; i < pickupCount; i++)
        Mix(h, Pickups[i]);
    // Slots past the count keep the rectangle their last draw wrote back.
    for (const Pickup &p : Pickups)
        Mix(h, p.rect);
    Mix(h, solidCount);
    h = Fnv(SolidRects, sizeof(SDL_Rect) * solidCount, h);
    Mix(h, CellRects);
    Mix(h, TileMap);
    Mix(h, levelIndex);
    Mix(h, levelComplete);
    Mix(h, MenuCursor);
    Mix(h, spinnerFrame);
    Mix(h, spinnerTimer);
    Mix(h, helpPage);
    Mix(h, helpAnimFrame);
    Mix(h, helpAnimTimer);
    Mix(h, GlyphDestRects);
    Mix(h, PlayerFrames);
    Mix(h, GunFrames);
    Mix(h, ExplosionFrames);
    Mix(h, OgreFrames);
    Mix(h, SpikeFrames);
    Mix(h, BallFrames);
    Mix(h, TileFrames);
    Mix(h, SpinnerFrames);
    Mix(h, HealthFrames);
    Mix(h, BackdropRect);
    Mix(h, HealthBarRect);
    Mix(h, GunBarRect);
    Mix(h, LogoRect);
    Mix(h, MenuImageRect);
    return h;
}

static uint64_t SoundDigest()
{
    uint64_t h = Fnv(vclock.effects.data(), vclock.effects.size() * sizeof(SoundEffect));
    Mix(h, currentMusic);
    Mix(h, audioStarted);
    h = Fnv(vclock.delays.data(), vclock.delays.size() * sizeof(Uint32), h);
    return h;
}

PassDigest DigestNow()
{
    return {flipHook.lastDigest, SurfaceDigest(BackBuffer), RecordsDigest(), SoundDigest()};
}
