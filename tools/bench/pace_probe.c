/* Counts the game's passes per second where every pass still goes, however
 * often its frames are shown: the game calls SDL_PollEvent once at the end
 * of every pass. Preloaded into the unchanged game by scripts/window-pace.sh,
 * scripts/web-measure.sh and tests/web/run.sh.
 * After a second to settle it counts for KV_SECONDS (default 10) seconds,
 * prints "PASSES_PER_SECOND FLIPS_PER_SECOND" and ends the game; with
 * KV_PLAY=1 it first holds Enter for one pass and lets a second of play
 * settle, so that the count is of playing passes on level 1 instead of
 * menu passes; with KV_FULLSCREEN=1 as well it then holds key 1 for two
 * passes, and play goes on in full screen. With KV_SKIP_FLIP=1 no frame is
 * shown at all, which leaves the game's own work and its frame pacer.
 *
 *   cc -shared -fPIC $(pkg-config --cflags sdl) -o pace_probe.so pace_probe.c -ldl
 *   LD_PRELOAD=./pace_probe.so build/kestravale
 */
#ifndef _GNU_SOURCE
#define _GNU_SOURCE /* RTLD_NEXT */
#endif
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <SDL.h>

static double Now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

static Uint8 *keys;
static long flips;

Uint8 *SDL_GetKeyState(int *numkeys)
{
    Uint8 *(*real)(int *) = (Uint8 * (*)(int *)) dlsym(RTLD_NEXT, "SDL_GetKeyState");
    keys = real(numkeys);
    return keys;
}

int SDL_Flip(SDL_Surface *screen)
{
    static int (*real)(SDL_Surface *);
    if (!real)
        real = (int (*)(SDL_Surface *))dlsym(RTLD_NEXT, "SDL_Flip");
    flips++;
    return getenv("KV_SKIP_FLIP") ? 0 : real(screen);
}

int SDL_PollEvent(SDL_Event *event)
{
    static int (*real)(SDL_Event *);
    static double start, countFrom;
    static long passes, counted, flipsCounted, enterAt = -1;
    const double seconds = getenv("KV_SECONDS") ? atof(getenv("KV_SECONDS")) : 10;
    if (!real) {
        real = (int (*)(SDL_Event *))dlsym(RTLD_NEXT, "SDL_PollEvent");
        start = Now();
    }
    passes++;
    if (keys && enterAt == passes)
        keys[SDLK_RETURN] = 0;
    if (keys && getenv("KV_FULLSCREEN") && enterAt > 0 && passes - enterAt >= 2 && passes - enterAt <= 4)
        keys[SDLK_1] = passes - enterAt < 4;
    if (!countFrom && Now() - start >= 1) {
        if (getenv("KV_PLAY") && keys && enterAt < 0) {
            keys[SDLK_RETURN] = 1;
            enterAt = passes + 1;
            start = Now(); /* a second of play to settle */
        } else {
            countFrom = Now();
            counted = passes;
            flipsCounted = flips;
        }
    }
    if (countFrom && Now() - countFrom >= seconds) {
        const double span = Now() - countFrom;
        printf("%.1f %.1f\n", (passes - counted) / span, (flips - flipsCounted) / span);
        fflush(stdout);
        _exit(0);
    }
    return real(event);
}
