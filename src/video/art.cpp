// The art table, and the checks every picture passes before the window
// opens. SDL's loader would accept many BMPs the game cannot draw correctly
// (another depth or palette, another size), and would give NULL for others;
// each of those ends start-up with the file named, before any blit uses it.

#include "video/art.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "core/datafile.h"
#include "video/video.h"

SDL_Surface *PlayerSheet, *FrameOverlay, *ShotImage, *GunSheet, *ExplosionSheet, *OgreSheet,
    *TileSheet, *FontSheet, *HealthSheet, *LogoImage, *SpinnerSheet, *MenuImage, *GunBarImage,
    *SpikeSheet, *BallSheet, *Back01, *Back02, *Back03;

Uint32 ColorKeyGreen;

// The sizes of the pictures drawn whole are ours to choose; the sheets'
// sizes follow from their cells. The BackBuffer is freed first and the
// backdrops last; the sheets are keyed in the order the heroine's comes
// first, the ball's last.
const ArtFile ArtFiles[ART_FILE_COUNT] = {
    // path               surface          keyed freed  w        h
    {"data/icon.bmp",     NULL,            0,    0,     32,      32},
    {"data/pframe.bmp",   &PlayerSheet,    1,    3,     54 * 16, 64},
    {"data/bar.bmp",      &FrameOverlay,   2,    2,     320,     200},
    {"data/shot.bmp",     &ShotImage,      0,    14,    8,       4},
    {"data/gun.bmp",      &GunSheet,       3,    15,    2 * 32,  16},
    {"data/explo.bmp",    &ExplosionSheet, 4,    13,    5 * 16,  16},
    {"data/mframe2.bmp",  &OgreSheet,      5,    10,    13 * 32, 48},
    {"data/tiles.bmp",    &TileSheet,      6,    5,     90 * 16, 16},
    {"data/small.bmp",    &BackBuffer,     0,    1,     320,     200},
    {"data/font8x8.bmp",  &FontSheet,      10,   4,     256 * 8, 8},
    {"data/health.bmp",   &HealthSheet,    11,   9,     7 * 80,  8},
    {"data/logo.bmp",     &LogoImage,      7,    6,     160,     64},
    {"data/spin162.bmp",  &SpinnerSheet,   8,    7,     23 * 16, 16},
    {"data/menu.bmp",     &MenuImage,      9,    8,     96,      48},
    {"data/gunbar.bmp",   &GunBarImage,    0,    16,    80,      24},
    {"data/spike1.bmp",   &SpikeSheet,     12,   11,    8 * 16,  16},
    {"data/ball.bmp",     &BallSheet,      13,   12,    10 * 16, 16},
    {"data/back01.bmp",   &Back01,         0,    17,    192,     168},
    {"data/back02.bmp",   &Back02,         0,    18,    192,     168},
    {"data/back03.bmp",   &Back03,         0,    19,    192,     168},
};

void KeyArt()
{
    ColorKeyGreen = SDL_MapRGB(TileSheet->format, 0, 255, 0);
    for (int n = 1; n <= KEYED_SHEETS; n++)
        for (const ArtFile &a : ArtFiles)
            if (a.keyed == n)
                SDL_SetColorKey(*a.surface, SDL_SRCCOLORKEY, ColorKeyGreen);
}

void FreeArt()
{
    for (int n = 1; n < ART_FILE_COUNT; n++)
        for (const ArtFile &a : ArtFiles)
            if (a.freed == n) {
                SDL_FreeSurface(*a.surface);
                *a.surface = NULL;
            }
}

static Uint32 Read32(const Uint8 *p) { return p[0] | (p[1] << 8) | (p[2] << 16) | ((Uint32)p[3] << 24); }
static int Read16(const Uint8 *p) { return p[0] | (p[1] << 8); }

// The largest art file is the 320x200 picture: 1078 bytes of headers and
// palette plus 64000 of pixels. Anything far beyond that is not ours.
enum { MAX_ART_BYTES = 1 << 20 };
static Uint8 fileBytes[MAX_ART_BYTES];

static int Fault(char *why, int whyLen, const char *text)
{
    snprintf(why, whyLen, "%s", text);
    return -1;
}

static int CheckPalette(const Uint8 *pal, char *why, int whyLen)
{
    for (int i = 0; i < 256; i++) {
        const Uint8 *e = pal + 4 * i;  // blue, green, red, unused
        const SDL_Color &c = GamePalette[i];
        if (e[2] != c.r || e[1] != c.g || e[0] != c.b) {
            snprintf(why, whyLen, "palette entry %d is %02x%02x%02x, the game's palette has %02x%02x%02x",
                     i, e[2], e[1], e[0], c.r, c.g, c.b);
            return -1;
        }
    }
    return 0;
}

// Header fields are read as unsigned and compared in 64 bits, so no crafted
// value can wrap a sum past a bound or overflow a negation.
int CheckArtFile(const char *path, int w, int h, char *why, int whyLen)
{
    FILE *f = OpenDataFile(path, why, whyLen);
    if (!f)
        return -1;
    size_t size = fread(fileBytes, 1, sizeof fileBytes, f);
    int readError = ferror(f);
    int tooLong = !readError && fgetc(f) != EOF;
    fclose(f);

    if (readError && size == 0) {
        snprintf(why, whyLen, "cannot read it: %s", strerror(errno));
        return -1;
    }
    if (size < 54 || fileBytes[0] != 'B' || fileBytes[1] != 'M')
        return Fault(why, whyLen, "not a BMP picture");
    if (tooLong)
        return Fault(why, whyLen, "far too large for a picture of the game");
    const int64_t offBits = Read32(fileBytes + 10);
    const int64_t infoSize = Read32(fileBytes + 14);
    if (infoSize < 40 || 14 + infoSize > (int64_t)size)
        return Fault(why, whyLen, "BMP header of an unsupported kind");
    const int64_t fw = (Sint32)Read32(fileBytes + 18);
    int64_t fh = (Sint32)Read32(fileBytes + 22);  // negative: stored top row first
    const int bits = Read16(fileBytes + 28);
    const Uint32 compression = Read32(fileBytes + 30);
    const Uint32 colours = Read32(fileBytes + 46);
    if (fh < 0)
        fh = -fh;

    if (bits != 8) {
        snprintf(why, whyLen, "has %d bits per pixel, the game needs 8", bits);
        return -1;
    }
    if (compression != 0)
        return Fault(why, whyLen, "compressed BMP, the game needs it uncompressed");
    if (fw != w || fh != h) {
        snprintf(why, whyLen, "is %lldx%lld pixels, the game needs %dx%d", (long long)fw, (long long)fh, w, h);
        return -1;
    }
    if (colours != 0 && colours != 256) {
        snprintf(why, whyLen, "palette has %u colours, the game needs all 256", (unsigned)colours);
        return -1;
    }
    const int64_t palette = 14 + infoSize;
    if (palette + 1024 > (int64_t)size)
        return Fault(why, whyLen, "file ends inside its palette");
    if (CheckPalette(fileBytes + palette, why, whyLen) < 0)
        return -1;
    const int64_t stride = (w + 3) & ~3;
    if (offBits < palette + 1024 || offBits + stride * h > (int64_t)size)
        return Fault(why, whyLen, "file ends before its last row of pixels");
    return 0;
}

int CheckLoadedSurface(SDL_Surface *s, int w, int h, char *why, int whyLen)
{
    if (!s)
        return Fault(why, whyLen, "SDL could not load it");
    if (s->w != w || s->h != h || s->format->BitsPerPixel != 8 || !s->format->palette)
        return Fault(why, whyLen, "loaded as something other than an 8-bit picture of the expected size");
    return 0;
}
