#include "rig.h"

#include <cstring>

#include "shell/loop.h"
#include "shell/startup.h"
#include "vclock.h"
#include "video/video.h"

Uint8 rigKeys[SDLK_LAST];

void RigStart()
{
    StartUp();
    keyState = rigKeys;
}

void RigStop()
{
    ShutDown();
}

void Hold(SDLKey key) { rigKeys[key] = 1; }
void Release(SDLKey key) { rigKeys[key] = 0; }
void ReleaseAll() { memset(rigKeys, 0, sizeof rigKeys); }

int Pass(Uint32 workMs)
{
    vclock.now += workMs;
    return RunPass();
}

int Passes(int n, Uint32 workMs)
{
    int r = 1;
    for (int i = 0; i < n && r; i++)
        r = Pass(workMs);
    return r;
}

static Image Capture(SDL_Surface *s)
{
    Image img(s->w, s->h);
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; y++)
        memcpy(&img.px[size_t(y) * s->w], (Uint8 *)s->pixels + y * s->pitch, s->w);
    SDL_UnlockSurface(s);
    return img;
}

Image CaptureBackBuffer() { return Capture(BackBuffer); }
Image CaptureScreen() { return Capture(screen); }

void Press(SDLKey key)
{
    Hold(key);
    Pass();
    Release(key);
    Pass();
}
