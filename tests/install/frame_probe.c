/* Preloaded (LD_PRELOAD) into the installed game by the install test. When
   the game presents its third frame, the probe writes the window's size and
   its 8-bit pixels, row after row, to the file descriptor named by
   KV_FRAME_PROBE_FD, then closes it: the test reads the frame from a pipe,
   so it waits for no clock. */
#ifndef _GNU_SOURCE
#define _GNU_SOURCE  /* RTLD_NEXT */
#endif
#include <dlfcn.h>
#include <stdint.h>
#include <stdlib.h>
#include <unistd.h>

#include <SDL.h>

static void WriteAll(int fd, const void *bytes, size_t n)
{
    const char *p = bytes;
    while (n > 0) {
        ssize_t done = write(fd, p, n);
        if (done <= 0)
            return;
        p += done;
        n -= (size_t)done;
    }
}

static void SendFrame(SDL_Surface *screen)
{
    const char *fdText = getenv("KV_FRAME_PROBE_FD");
    if (!fdText || !screen || screen->format->BytesPerPixel != 1)
        return;
    int fd = atoi(fdText);
    int32_t size[2] = {screen->w, screen->h};
    WriteAll(fd, size, sizeof size);
    SDL_LockSurface(screen);
    for (int y = 0; y < screen->h; y++)
        WriteAll(fd, (const uint8_t *)screen->pixels + (size_t)y * screen->pitch, (size_t)screen->w);
    SDL_UnlockSurface(screen);
    close(fd);
}

int SDL_Flip(SDL_Surface *screen)
{
    static int (*realFlip)(SDL_Surface *);
    static int flips;
    if (!realFlip)
        realFlip = (int (*)(SDL_Surface *))dlsym(RTLD_NEXT, "SDL_Flip");
    if (++flips == 3)
        SendFrame(screen);
    return realFlip(screen);
}
