// Start-up checks of the art files. SDL's loader would accept many BMPs the
// game cannot draw correctly (another depth or palette, another size), and
// would give NULL for others; each of those ends start-up here, before the
// window opens, with the file named.

#include "shell/datacheck.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

#include "video/video.h"

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

int CheckArtFile(const char *path, int w, int h, char *why, int whyLen)
{
    FILE *f = fopen(path, "rb");
    if (!f) {
        snprintf(why, whyLen, "cannot open it: %s", strerror(errno));
        return -1;
    }
    size_t size = fread(fileBytes, 1, sizeof fileBytes, f);
    int tooLong = fgetc(f) != EOF;
    fclose(f);

    if (size < 54 || fileBytes[0] != 'B' || fileBytes[1] != 'M')
        return Fault(why, whyLen, "not a BMP picture");
    if (tooLong)
        return Fault(why, whyLen, "far too large for a picture of the game");
    Uint32 offBits = Read32(fileBytes + 10);
    Uint32 infoSize = Read32(fileBytes + 14);
    if (infoSize < 40 || 14 + infoSize > size)
        return Fault(why, whyLen, "BMP header of an unsupported kind");
    int fw = (int)Read32(fileBytes + 18);
    int fh = (int)Read32(fileBytes + 22);
    int bits = Read16(fileBytes + 28);
    Uint32 compression = Read32(fileBytes + 30);
    Uint32 colours = Read32(fileBytes + 46);
    if (fh < 0)
        fh = -fh;

    if (bits != 8) {
        snprintf(why, whyLen, "has %d bits per pixel, the game needs 8", bits);
        return -1;
    }
    if (compression != 0)
        return Fault(why, whyLen, "compressed BMP, the game needs it uncompressed");
    if (fw != w || fh != h) {
        snprintf(why, whyLen, "is %dx%d pixels, the game needs %dx%d", fw, fh, w, h);
        return -1;
    }
    if (colours != 0 && colours != 256) {
        snprintf(why, whyLen, "palette has %u colours, the game needs all 256", (unsigned)colours);
        return -1;
    }
    if (14 + infoSize + 1024 > size)
        return Fault(why, whyLen, "file ends inside its palette");
    if (CheckPalette(fileBytes + 14 + infoSize, why, whyLen) < 0)
        return -1;
    Uint32 stride = (Uint32)((w + 3) & ~3);
    if (offBits < 14 + infoSize + 1024 || offBits > size || size - offBits < stride * (Uint32)h)
        return Fault(why, whyLen, "file ends before its last row of pixels");
    return 0;
}

// The file is named in full, working directory first, so the line tells
// which copy of the data is at fault: a source tree's or an installed one.
void DataFault(const char *path, const char *why)
{
    char dir[4096];
    if (getcwd(dir, sizeof dir))
        fprintf(stderr, "kestravale: %s%s%s: %s\n", dir, strcmp(dir, "/") ? "/" : "", path, why);
    else
        fprintf(stderr, "kestravale: %s: %s\n", path, why);
    exit(1);
}

void CheckLoadedSurface(const char *path, SDL_Surface *s, int w, int h)
{
    if (!s)
        DataFault(path, "SDL could not load it");
    if (s->w != w || s->h != h || s->format->BitsPerPixel != 8 || !s->format->palette)
        DataFault(path, "loaded as something other than an 8-bit picture of the expected size");
}
