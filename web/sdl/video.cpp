// SDL 1.2's software video as the game uses it: 8-bit surfaces with their
// palettes, colour-keyed blits with SDL's clipping, fills, and the video
// surface, whose finished frames the page paints on its canvas. The game's
// pictures stay palette indices all the way to the canvas, as on the desktop.

#include <emscripten.h>

#include <cstdlib>
#include <cstring>

#include "sdl/web.h"

SDL_Surface *webScreen;

// A surface, its format and its palette live in one block; the pixels apart.
struct SurfaceBlock {
    SDL_Surface surface;
    SDL_PixelFormat format;
    SDL_Palette palette;
    SDL_Color colors[256];
};

// A blit between two palettes that differ maps each index to the nearest
// colour; the table is kept with the source surface until a palette changes.
struct BlitMap {
    const SDL_Palette *dst;
    unsigned serial;
    int identity;
    Uint8 table[256];
};

static unsigned paletteSerial = 1;

// The frame last flipped, as the page will paint it: the screen's pixels,
// which nothing changes between a flip and the next present (the game draws
// into its BackBuffer and presents only to flip), and the screen's physical
// palette at that moment. A new video mode holds no flipped frame until its
// first flip.
static int flippedShown;  // the screen holds the frame last flipped
static Uint32 physical[256];  // RGBA, as canvas pixels lie in memory
static Uint32 shownRgba[256];
static Uint32 *rgbaFrame;
static int rgbaW, rgbaH;
static Uint8 *paintIndices;
static int paintIndicesSize;
static unsigned flipCount, paintedCount;

// The game's window is its 320x200 picture doubled, every pixel a 2x2 block
// of the screen (full screen is the picture as it is). So the page paints
// one pixel of each block and the browser doubles them as it scales the
// canvas (pixelated): a quarter of the colours to look up and of the bytes
// to hand over, which a slow phone feels.
static int PaintStep(int w, int h)
{
    return w == 640 && h == 400 ? 2 : 1;
}

SDL_Surface *WebNewSurface(Uint32 flags, int w, int h)
{
    SurfaceBlock *b = (SurfaceBlock *)calloc(1, sizeof(SurfaceBlock));
    if (!b || w < 0 || h < 0 || w > 16384 || h > 16384) {
        free(b);
        WebSetError("Out of memory");
        return NULL;
    }
    SDL_Surface *s = &b->surface;
    s->flags = flags;
    s->format = &b->format;
    s->w = w;
    s->h = h;
    s->pitch = (Uint16)((w + 3) & ~3);  // rows start on four-byte boundaries
    s->clip_rect = {0, 0, (Uint16)w, (Uint16)h};
    s->refcount = 1;
    b->format.palette = &b->palette;
    b->format.BitsPerPixel = 8;
    b->format.BytesPerPixel = 1;
    b->format.Rloss = b->format.Gloss = b->format.Bloss = b->format.Aloss = 8;
    b->format.alpha = 255;
    b->palette.ncolors = 256;
    b->palette.colors = b->colors;
    s->pixels = calloc((size_t)s->pitch * (h ? h : 1), 1);
    if (!s->pixels) {
        free(b);
        WebSetError("Out of memory");
        return NULL;
    }
    return s;
}

extern "C" void SDL_FreeSurface(SDL_Surface *s)
{
    if (!s || s == webScreen || --s->refcount > 0)
        return;
    free(s->map);
    free(s->pixels);
    free(s);
}

EM_JS(void, WebShowMode, (int w, int h, int fullScreen), {
    if (Module.kvSetMode) Module.kvSetMode(w, h, fullScreen);
});

// Any 8-bit mode can be had; the page sizes its canvas to it and asks the
// browser for full screen when the mode is one.
extern "C" SDL_Surface *SDL_SetVideoMode(int w, int h, int bpp, Uint32 flags)
{
    if (bpp != 0 && bpp != 8) {
        WebSetError("Only 8-bit video modes are supported here");
        return NULL;
    }
    SDL_Surface *old = webScreen;
    webScreen = NULL;
    flippedShown = 0;
    SDL_FreeSurface(old);
    webScreen = WebNewSurface((flags & (SDL_FULLSCREEN | SDL_HWPALETTE)) | SDL_SWSURFACE, w, h);
    if (webScreen)
        WebShowMode(w / PaintStep(w, h), h / PaintStep(w, h), (flags & SDL_FULLSCREEN) != 0);
    return webScreen;
}

static Uint32 Rgba(const SDL_Color &c)
{
    return c.r | (c.g << 8) | (c.b << 16) | 0xFF000000u;
}

extern "C" int SDL_SetPalette(SDL_Surface *s, int which, SDL_Color *colors, int first, int n)
{
    if (!s || !s->format->palette || !colors)
        return 0;
    SDL_Palette *pal = s->format->palette;
    int all = 1;
    if (first < 0 || first + n > pal->ncolors) {
        all = 0;
        if (first < 0) {
            colors -= first;
            n += first;
            first = 0;
        }
        if (first + n > pal->ncolors)
            n = pal->ncolors - first;
    }
    if (n <= 0)
        return 0;
    if (which & SDL_LOGPAL) {
        memcpy(pal->colors + first, colors, n * sizeof(SDL_Color));
        paletteSerial++;
    }
    if ((which & SDL_PHYSPAL) && s == webScreen)
        for (int i = 0; i < n; i++)
            physical[first + i] = Rgba(colors[i]);
    return all;
}

// The nearest colour by squared distance; the first of equals wins.
static Uint8 FindColor(const SDL_Palette *pal, Uint8 r, Uint8 g, Uint8 b)
{
    unsigned smallest = ~0u;
    Uint8 pixel = 0;
    for (int i = 0; i < pal->ncolors; i++) {
        int rd = pal->colors[i].r - r, gd = pal->colors[i].g - g, bd = pal->colors[i].b - b;
        unsigned distance = (unsigned)(rd * rd + gd * gd + bd * bd);
        if (distance < smallest) {
            pixel = (Uint8)i;
            if (distance == 0)
                break;
            smallest = distance;
        }
    }
    return pixel;
}

extern "C" Uint32 SDL_MapRGB(const SDL_PixelFormat *fmt, Uint8 r, Uint8 g, Uint8 b)
{
    return fmt && fmt->palette ? FindColor(fmt->palette, r, g, b) : 0;
}

extern "C" int SDL_SetColorKey(SDL_Surface *s, Uint32 flag, Uint32 key)
{
    if (!s)
        return -1;
    if (flag & SDL_SRCCOLORKEY) {
        s->flags |= SDL_SRCCOLORKEY;
        s->format->colorkey = key;
    } else {
        s->flags &= ~SDL_SRCCOLORKEY;
        s->format->colorkey = 0;
    }
    return 0;
}

extern "C" int SDL_LockSurface(SDL_Surface *s)
{
    s->locked++;
    return 0;
}

extern "C" void SDL_UnlockSurface(SDL_Surface *s)
{
    if (s->locked > 0)
        s->locked--;
}

static const Uint8 *MapFor(SDL_Surface *src, const SDL_Surface *dst)
{
    const SDL_Palette *sp = src->format->palette, *dp = dst->format->palette;
    BlitMap *m = (BlitMap *)src->map;
    if (!m) {
        m = (BlitMap *)calloc(1, sizeof(BlitMap));
        if (!m)
            return NULL;
        src->map = m;
    }
    if (m->dst != dp || m->serial != paletteSerial) {
        m->dst = dp;
        m->serial = paletteSerial;
        m->identity = sp->ncolors <= dp->ncolors &&
                      memcmp(sp->colors, dp->colors, sp->ncolors * sizeof(SDL_Color)) == 0;
        for (int i = 0; i < 256; i++)
            m->table[i] = i < sp->ncolors ? FindColor(dp, sp->colors[i].r, sp->colors[i].g, sp->colors[i].b) : i;
    }
    return m->identity ? NULL : m->table;
}

// Copies an already clipped rectangle; pixels equal to the colour key are
// left out.
static int LowerBlit(SDL_Surface *src, const SDL_Rect *sr, SDL_Surface *dst, const SDL_Rect *dr)
{
    if (src->format->BytesPerPixel != 1 || dst->format->BytesPerPixel != 1) {
        WebSetError("Only 8-bit blits are supported here");
        return -1;
    }
    const Uint8 *map = MapFor(src, dst);
    const int keyed = (src->flags & SDL_SRCCOLORKEY) != 0;
    const Uint8 key = (Uint8)src->format->colorkey;
    for (int y = 0; y < sr->h; y++) {
        const Uint8 *s = (const Uint8 *)src->pixels + (sr->y + y) * src->pitch + sr->x;
        Uint8 *d = (Uint8 *)dst->pixels + (dr->y + y) * dst->pitch + dr->x;
        for (int x = 0; x < sr->w; x++) {
            Uint8 c = s[x];
            if (keyed && c == key)
                continue;
            d[x] = map ? map[c] : c;
        }
    }
    return 0;
}

// SDL's clipping: the source rectangle against the source surface, then the
// destination against its clip rectangle. The destination rectangle is
// written back with the place and size actually drawn (0 by 0 for none).
extern "C" int SDL_UpperBlit(SDL_Surface *src, SDL_Rect *srcrect, SDL_Surface *dst, SDL_Rect *dstrect)
{
    if (!src || !dst) {
        WebSetError("SDL_UpperBlit: passed a NULL surface");
        return -1;
    }
    if (src->locked || dst->locked) {
        WebSetError("Surfaces must not be locked during blit");
        return -1;
    }
    SDL_Rect fulldst;
    if (!dstrect) {
        fulldst.x = fulldst.y = 0;
        dstrect = &fulldst;
    }
    int srcx, srcy, w, h;
    if (srcrect) {
        srcx = srcrect->x;
        w = srcrect->w;
        if (srcx < 0) {
            w += srcx;
            dstrect->x -= srcx;
            srcx = 0;
        }
        int maxw = src->w - srcx;
        if (maxw < w)
            w = maxw;
        srcy = srcrect->y;
        h = srcrect->h;
        if (srcy < 0) {
            h += srcy;
            dstrect->y -= srcy;
            srcy = 0;
        }
        int maxh = src->h - srcy;
        if (maxh < h)
            h = maxh;
    } else {
        srcx = srcy = 0;
        w = src->w;
        h = src->h;
    }
    const SDL_Rect *clip = &dst->clip_rect;
    int dx = clip->x - dstrect->x;
    if (dx > 0) {
        w -= dx;
        dstrect->x += dx;
        srcx += dx;
    }
    dx = dstrect->x + w - clip->x - clip->w;
    if (dx > 0)
        w -= dx;
    int dy = clip->y - dstrect->y;
    if (dy > 0) {
        h -= dy;
        dstrect->y += dy;
        srcy += dy;
    }
    dy = dstrect->y + h - clip->y - clip->h;
    if (dy > 0)
        h -= dy;
    if (w > 0 && h > 0) {
        SDL_Rect sr = {(Sint16)srcx, (Sint16)srcy, (Uint16)w, (Uint16)h};
        dstrect->w = (Uint16)w;
        dstrect->h = (Uint16)h;
        return LowerBlit(src, &sr, dst, dstrect);
    }
    dstrect->w = dstrect->h = 0;
    return 0;
}

// The rectangle is clipped to the clip rectangle and, as in SDL 1.2, the
// clipped rectangle is written back.
extern "C" int SDL_FillRect(SDL_Surface *dst, SDL_Rect *dstrect, Uint32 color)
{
    if (!dst || dst->format->BytesPerPixel != 1) {
        WebSetError("Only 8-bit fills are supported here");
        return -1;
    }
    SDL_Rect r = dst->clip_rect;
    if (dstrect) {
        int x0 = dstrect->x > r.x ? dstrect->x : r.x;
        int y0 = dstrect->y > r.y ? dstrect->y : r.y;
        int x1 = dstrect->x + dstrect->w < r.x + r.w ? dstrect->x + dstrect->w : r.x + r.w;
        int y1 = dstrect->y + dstrect->h < r.y + r.h ? dstrect->y + dstrect->h : r.y + r.h;
        if (x1 <= x0 || y1 <= y0) {
            dstrect->w = dstrect->h = 0;
            return 0;
        }
        r = {(Sint16)x0, (Sint16)y0, (Uint16)(x1 - x0), (Uint16)(y1 - y0)};
        *dstrect = r;
    }
    for (int y = 0; y < r.h; y++)
        memset((Uint8 *)dst->pixels + (r.y + y) * dst->pitch + r.x, (Uint8)color, r.w);
    return 0;
}

// The finished frame stays in the screen's pixels; the page paints the
// newest one at its next display refresh (a screen shows no more than that).
// Only its palette is kept aside.
extern "C" int SDL_Flip(SDL_Surface *s)
{
    if (!s || s != webScreen)
        return -1;
    memcpy(shownRgba, physical, sizeof physical);
    flippedShown = 1;
    flipCount++;
    return 0;
}

// --- For the page ---

unsigned WebFlips() { return flipCount; }
unsigned WebPainted() { return paintedCount; }

// The screen, while it holds a flipped frame (none once SDL has quit).
static const SDL_Surface *Shown()
{
    return flippedShown ? webScreen : NULL;
}

const Uint8 *WebFrameIndices()
{
    const SDL_Surface *s = Shown();
    return s && s->pitch == s->w ? (const Uint8 *)s->pixels : NULL;
}

int WebFrameWidth() { return Shown() ? Shown()->w : 0; }
int WebFrameHeight() { return Shown() ? Shown()->h : 0; }

// The size of the picture the page paints: the frame's, or half of it where
// the screen is the picture doubled.
extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_paint_width()
{
    const SDL_Surface *s = Shown();
    return s ? s->w / PaintStep(s->w, s->h) : 0;
}

extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_paint_height()
{
    const SDL_Surface *s = Shown();
    return s ? s->h / PaintStep(s->w, s->h) : 0;
}

// The frame last flipped in RGBA at the painted size, for the canvas; NULL
// when the canvas already shows it.
extern "C" EMSCRIPTEN_KEEPALIVE const Uint32 *kv_web_frame_rgba()
{
    const SDL_Surface *s = Shown();
    if (!s || paintedCount == flipCount)
        return NULL;
    const int step = PaintStep(s->w, s->h), w = s->w / step, h = s->h / step;
    if (rgbaW != w || rgbaH != h) {
        free(rgbaFrame);
        rgbaFrame = (Uint32 *)malloc((size_t)w * h * 4);
        rgbaW = rgbaFrame ? w : 0;
        rgbaH = rgbaFrame ? h : 0;
        if (!rgbaFrame)
            return NULL;
    }
    Uint32 *to = rgbaFrame;
    for (int y = 0; y < h; y++) {
        const Uint8 *from = (const Uint8 *)s->pixels + y * step * s->pitch;
        for (int x = 0; x < w; x++)
            *to++ = shownRgba[from[x * step]];
    }
    paintedCount = flipCount;
    return rgbaFrame;
}

// The frame last flipped as palette indices at the painted size, row after
// row, for the page to look its colours up itself (on the GPU) in
// kv_web_frame_colors; NULL when the canvas already shows it.
extern "C" EMSCRIPTEN_KEEPALIVE const Uint8 *kv_web_frame_indices()
{
    const SDL_Surface *s = Shown();
    const Uint8 *pixels = WebFrameIndices();
    if (!pixels || paintedCount == flipCount)
        return NULL;
    const int step = PaintStep(s->w, s->h), w = s->w / step, h = s->h / step;
    if (step > 1) {
        if (paintIndicesSize != w * h) {
            free(paintIndices);
            paintIndices = (Uint8 *)malloc((size_t)w * h);
            paintIndicesSize = paintIndices ? w * h : 0;
            if (!paintIndices)
                return NULL;
        }
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                paintIndices[y * w + x] = pixels[y * step * s->pitch + x * step];
        pixels = paintIndices;
    }
    paintedCount = flipCount;
    return pixels;
}

// The screen's 256 colours when that frame was flipped, RGBA.
extern "C" EMSCRIPTEN_KEEPALIVE const Uint32 *kv_web_frame_colors()
{
    return shownRgba;
}
