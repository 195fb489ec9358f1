// Drawing into the BackBuffer without SDL's layers: each SDL_UpperBlit call
// costs a few hundred instructions before it copies a pixel, and a playing
// frame makes dozens of them. The clipping below is SDL's own, step for
// step, so the rectangles written back (which the game uses as collision
// boxes) are the same; a test compares both over every case the game meets.

#include "video/blit.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "video/video.h"

namespace {

struct Clipped {
    int srcX, srcY, w, h;
};

// SDL's order: the source cut to its surface (which moves the destination
// for a negative source corner), then the destination cut to the clip
// rectangle, moving the source along.
Clipped Clip(const SDL_Surface *src, const SDL_Rect *srcRect, const SDL_Surface *dst, int &dx, int &dy)
{
    Clipped c;
    if (srcRect) {
        c.srcX = srcRect->x;
        c.w = srcRect->w;
        if (c.srcX < 0) {
            c.w += c.srcX;
            dx -= c.srcX;
            c.srcX = 0;
        }
        if (src->w - c.srcX < c.w)
            c.w = src->w - c.srcX;
        c.srcY = srcRect->y;
        c.h = srcRect->h;
        if (c.srcY < 0) {
            c.h += c.srcY;
            dy -= c.srcY;
            c.srcY = 0;
        }
        if (src->h - c.srcY < c.h)
            c.h = src->h - c.srcY;
    } else {
        c.srcX = c.srcY = 0;
        c.w = src->w;
        c.h = src->h;
    }
    const SDL_Rect &clip = dst->clip_rect;
    int d = clip.x - dx;
    if (d > 0) {
        c.w -= d;
        dx += d;
        c.srcX += d;
    }
    d = dx + c.w - clip.x - clip.w;
    if (d > 0)
        c.w -= d;
    d = clip.y - dy;
    if (d > 0) {
        c.h -= d;
        dy += d;
        c.srcY += d;
    }
    d = dy + c.h - clip.y - clip.h;
    if (d > 0)
        c.h -= d;
    return c;
}

void WriteBack(SDL_Rect *dstRect, int dx, int dy, const Clipped &c)
{
    if (!dstRect)
        return;
    dstRect->x = (Sint16)dx;
    dstRect->y = (Sint16)dy;
    const bool visible = c.w > 0 && c.h > 0;
    dstRect->w = (Uint16)(visible ? c.w : 0);
    dstRect->h = (Uint16)(visible ? c.h : 0);
}

// One row with green left out: sixteen pixels at a time where SSE2 is there.
inline void KeyedRow(Uint8 *to, const Uint8 *from, int n, Uint8 key)
{
    int x = 0;
#ifdef __SSE2__
    const __m128i k = _mm_set1_epi8((char)key);
    for (; x + 16 <= n; x += 16) {
        const __m128i s = _mm_loadu_si128((const __m128i *)(from + x));
        const __m128i d = _mm_loadu_si128((const __m128i *)(to + x));
        const __m128i transparent = _mm_cmpeq_epi8(s, k);
        _mm_storeu_si128((__m128i *)(to + x), _mm_or_si128(_mm_and_si128(transparent, d),
                                                           _mm_andnot_si128(transparent, s)));
    }
#endif
    for (; x < n; x++)
        if (from[x] != key)
            to[x] = from[x];
}

void Copy(const SDL_Surface *src, const Clipped &c, SDL_Surface *dst, int dx, int dy)
{
    const Uint8 *from = (const Uint8 *)src->pixels + c.srcY * src->pitch + c.srcX;
    Uint8 *to = (Uint8 *)dst->pixels + dy * dst->pitch + dx;
    if (src->flags & SDL_SRCCOLORKEY) {
        const Uint8 key = (Uint8)src->format->colorkey;
        for (int y = 0; y < c.h; y++, from += src->pitch, to += dst->pitch)
            KeyedRow(to, from, c.w, key);
    } else {
        for (int y = 0; y < c.h; y++, from += src->pitch, to += dst->pitch)
            memcpy(to, from, c.w);
    }
}

bool OurCase(const SDL_Surface *src, const SDL_Surface *dst)
{
    return dst == BackBuffer && dst && src->format->BytesPerPixel == 1 && dst->format->BytesPerPixel == 1 &&
           !(src->flags & SDL_RLEACCEL);
}

}  // namespace

int Blit(SDL_Surface *src, const SDL_Rect *srcRect, SDL_Surface *dst, SDL_Rect *dstRect)
{
    if (!src || !OurCase(src, dst))
        return SDL_UpperBlit(src, (SDL_Rect *)srcRect, dst, dstRect);
    int dx = dstRect ? dstRect->x : 0, dy = dstRect ? dstRect->y : 0;
    const Clipped c = Clip(src, srcRect, dst, dx, dy);
    WriteBack(dstRect, dx, dy, c);
    if (c.w > 0 && c.h > 0)
        Copy(src, c, dst, dx, dy);
    return 0;
}
