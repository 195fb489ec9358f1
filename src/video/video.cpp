// Video output: display modes, presentation and PutPixel.

#include "video/video.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

SDL_Surface *screen;
SDL_Surface *BackBuffer;
int windowed;
int framePeriodMs;
int flipEveryFrame;
int framePending;
int screenUnshown;
Uint32 lastFlipTick;

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
    screenUnshown = 1;
    // Setting the palette redraws the window from the screen's pixels, which
    // nothing has written yet: clear them first (nothing seen changes).
    SDL_FillRect(screen, NULL, 0);
    SDL_SetPalette(screen, SDL_LOGPAL | SDL_PHYSPAL, GamePalette, 0, 256);
    // The first blit into a new screen makes SDL's map for it, from the heap:
    // made here, with the switch, the next present takes no memory.
    if (BackBuffer)
        SDL_UpperBlit(BackBuffer, NULL, screen, NULL);
}

int screenClearPending;

// Whether the present writes every pixel of the screen: the doubling does in
// the window, the plain blit does in full screen.
static int PresentCoversScreen()
{
    if (screen->format->BytesPerPixel != 1)
        return 0;
    if (windowed == 1)
        return screen->w == WINDOW_W && screen->h == WINDOW_H;
    return screen->w == BACKBUFFER_W && screen->h == BACKBUFFER_H;
}

// In the window the doubling rewrites all of the screen, so the plain blit
// that would come first is left out; it is made only when the doubling
// cannot be. A clear of the screen asked for by the menu or a help page is
// made only when the present would not cover it anyway.
void PresentFrame()
{
    if (!screen)
        return;  // no frame is ever drawn into a missing surface
    const int covered = PresentCoversScreen();
    if (!(covered && windowed == 1 && DoubleToScreen())) {
        if (screenClearPending && !covered)
            SDL_FillRect(screen, NULL, 0);
        SDL_UpperBlit(BackBuffer, NULL, screen, NULL);
        if (windowed == 1 && !covered)
            DoubleToScreen();  // a screen larger than the window's picture
    }
    screenClearPending = 0;
    if (flipEveryFrame)
        SDL_Flip(screen);
    else
        framePending = 1;
}

int ShowNewestFrame(Uint32 now, int passWaits)
{
    if (!framePending || !screen)
        return 0;
    const Uint32 since = now - lastFlipTick;
    if (!screenUnshown && since < Uint32(passWaits ? FLIP_EARLIEST_MS : FLIP_LATEST_MS))
        return 0;
    SDL_Flip(screen);
    framePending = 0;
    screenUnshown = 0;
    lastFlipTick = now;
    return 1;
}

// One BackBuffer row into two screen rows, every byte twice.
static void DoubleRow(Uint8 *even, Uint8 *odd, const Uint8 *from)
{
#ifdef __SSE2__
    static_assert(BACKBUFFER_W % 16 == 0, "whole steps of sixteen pixels");
    for (int x = 0; x < BACKBUFFER_W; x += 16) {
        const __m128i v = _mm_loadu_si128((const __m128i *)(from + x));
        const __m128i lo = _mm_unpacklo_epi8(v, v), hi = _mm_unpackhi_epi8(v, v);
        _mm_storeu_si128((__m128i *)(even + 2 * x), lo);
        _mm_storeu_si128((__m128i *)(even + 2 * x + 16), hi);
        _mm_storeu_si128((__m128i *)(odd + 2 * x), lo);
        _mm_storeu_si128((__m128i *)(odd + 2 * x + 16), hi);
    }
#elif SDL_BYTEORDER == SDL_LIL_ENDIAN
    // Four pixels at a time, abcd into aabbccdd, where there is no SSE2
    // (the browser's WebAssembly): a byte at a time is a quarter of a pass.
    static_assert(BACKBUFFER_W % 4 == 0, "whole steps of four pixels");
    for (int x = 0; x < BACKBUFFER_W; x += 4) {
        Uint32 four;
        memcpy(&four, from + x, 4);
        Uint64 t = four;
        t = (t | t << 16) & 0x0000FFFF0000FFFFull;
        t = (t | t << 8) & 0x00FF00FF00FF00FFull;
        t |= t << 8;
        memcpy(even + 2 * x, &t, 8);
        memcpy(odd + 2 * x, &t, 8);
    }
#else
    for (int x = 0; x < BACKBUFFER_W; x++)
        even[2 * x] = even[2 * x + 1] = odd[2 * x] = odd[2 * x + 1] = from[x];
#endif
}

// Every BackBuffer byte becomes a 2x2 block of the same palette index, with
// no colour mapping. Rows start at their own surface's pitch. Returns 0 when
// the screen is not a 640x400 8-bit surface or cannot be locked: nothing is
// written then.
int DoubleToScreen()
{
    if (screen->format->BytesPerPixel != 1 || screen->w < WINDOW_W || screen->h < WINDOW_H)
        return 0;
    if (SDL_LockSurface(screen) < 0)
        return 0;  // nothing is written unlocked

    const Uint8 *srcRow = (const Uint8 *)BackBuffer->pixels;
    Uint8 *dstRow = (Uint8 *)screen->pixels;
    for (int y = 0; y < BACKBUFFER_H; y++) {
        DoubleRow(dstRow, dstRow + screen->pitch, srcRow);
        srcRow += BackBuffer->pitch;
        dstRow += 2 * screen->pitch;
    }
    SDL_UnlockSurface(screen);
    return 1;
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
