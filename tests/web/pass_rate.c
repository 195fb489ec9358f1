/* Counts the desktop game's passes per second, for comparing with the web
 * version (scripts/web-measure.sh). Preloaded into the unchanged game, it
 * counts the frames flipped: one per pass. After a second to settle it
 * counts for KV_SECONDS (default 10) seconds and prints the rate; with
 * KV_PLAY=1 it first holds Enter for one pass, so that the count is of
 * playing passes on level 1 instead of menu passes. With KV_SKIP_FLIP=1 the
 * frames are not shown at all, which leaves the game's own work and its
 * frame pacer: the rhythm to compare with the browser's, whose frames are
 * painted apart from the passes.
 *
 *   cc -shared -fPIC -o pass_rate.so pass_rate.c -ldl
 *   LD_PRELOAD=./pass_rate.so SDL_VIDEODRIVER=dummy build/kestravale
 */
#ifndef _GNU_SOURCE
#define _GNU_SOURCE
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

Uint8 *SDL_GetKeyState(int *numkeys)
{
    Uint8 *(*real)(int *) = (Uint8 * (*)(int *)) dlsym(RTLD_NEXT, "SDL_GetKeyState");
    keys = real(numkeys);
    return keys;
}

int SDL_Flip(SDL_Surface *screen)
{
    static int (*real)(SDL_Surface *);
    static double start, countFrom;
    static long flips, counted, enterAt = -1;
    const double seconds = getenv("KV_SECONDS") ? atof(getenv("KV_SECONDS")) : 10;
    if (!real) {
        real = (int (*)(SDL_Surface *))dlsym(RTLD_NEXT, "SDL_Flip");
        start = Now();
    }
    flips++;
    if (keys && enterAt == flips)
        keys[SDLK_RETURN] = 0;
    if (!countFrom && Now() - start >= 1) {
        if (getenv("KV_PLAY") && keys && enterAt < 0) {
            keys[SDLK_RETURN] = 1;
            enterAt = flips + 1;
            start = Now();  /* a second of play to settle */
        } else {
            countFrom = Now();
            counted = flips;
        }
    }
    if (countFrom && Now() - countFrom >= seconds) {
        printf("%.1f\n", (flips - counted) / (Now() - countFrom));
        fflush(stdout);
        _exit(0);
    }
    return getenv("KV_SKIP_FLIP") ? 0 : real(screen);
}
