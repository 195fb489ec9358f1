// Video output: display modes, presentation and PutPixel.

#include "video/video.h"

#include <cstring>

SDL_Surface *screen;
SDL_Surface *BackBuffer;
int windowed;
int framePeriodMs;

static SDL_Surface *OpenMode(int wantWindowed)
{
    if (wantWindowed)
        return SDL_SetVideoMode(WINDOW_W, WINDOW_H, 8, SDL_HWPALETTE);
    return SDL_SetVideoMode(BACKBUFFER_W, BACKBUFFER_H, 8, SDL_FULLSCREEN | SDL_HWPALETTE);
}

// When the wanted mode cannot be had, the previous one is opened again so
// that play goes on in the mode the player already had.
void SetDisplayMode(int wantWindowed)
{
    int oldWindowed = windowed;
    int oldPeriod = framePeriodMs;
    int hadScreen = screen != NULL;

    framePeriodMs = wantWindowed ? 9 : 13;
    windowed = wantWindowed;
    screen = OpenMode(wantWindowed);
    if (!screen && hadScreen) {
        windowed = oldWindowed;
        framePeriodMs = oldPeriod;
        screen = OpenMode(oldWindowed);
    }
    if (!screen)
        return;
    // Setting the palette redraws the window from the screen's pixels, which
    // nothing has written yet: clear them first (nothing seen changes).
    SDL_FillRect(screen, NULL, 0);
    SDL_SetPalette(screen, SDL_LOGPAL | SDL_PHYSPAL, GamePalette, 0, 256);
}

void PresentFrame()
{
    if (!screen)
        return;  // no frame is ever drawn into a missing surface
    SDL_UpperBlit(BackBuffer, NULL, screen, NULL);
    if (windowed == 1)
        DoubleToScreen();
    SDL_Flip(screen);
}

// Every BackBuffer byte becomes a 2x2 block of the same palette index. The
// even row is written byte pair by byte pair, the odd row below it is one
// block copy of it. Rows start at their own surface's pitch.
void DoubleToScreen()
{
    if (screen->format->BytesPerPixel != 1 || screen->w < WINDOW_W || screen->h < WINDOW_H)
        return;
    if (SDL_LockSurface(screen) < 0)
        return;  // this frame keeps the plain blit; nothing is written unlocked

    const Uint8 *srcRow = (const Uint8 *)BackBuffer->pixels;
    Uint8 *dstRow = (Uint8 *)screen->pixels;
    for (int y = 0; y < BACKBUFFER_H; y++) {
        for (int x = 0; x < BACKBUFFER_W; x++) {
            dstRow[2 * x] = srcRow[x];
            dstRow[2 * x + 1] = srcRow[x];
        }
        memcpy(dstRow + screen->pitch, dstRow, WINDOW_W);
        srcRow += BackBuffer->pitch;
        dstRow += 2 * screen->pitch;
    }
    SDL_UnlockSurface(screen);
}

void PutPixel(SDL_Surface *surface, int x, int y, Uint32 pixel)
{
    int b = surface->format->BytesPerPixel;
    Uint8 *p = (Uint8 *)surface->pixels + y * surface->pitch + x * b;

    switch (b) {
    case 1:
        *p = (Uint8)pixel;
        break;
    case 2: {
        Uint16 v = (Uint16)pixel;
        memcpy(p, &v, 2);
        break;
    }
    case 3:
        p[0] = (Uint8)pixel;
        p[1] = (Uint8)(pixel >> 8);
        p[2] = (Uint8)(pixel >> 16);
        break;
    case 4:
        memcpy(p, &pixel, 4);
        break;
    default:
        break;
    }
}
