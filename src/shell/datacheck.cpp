// Start-up checks of the art files. SDL's loader would accept many BMPs the
// game cannot draw correctly (another depth or palette, another size), and
// would give NULL for others; each of those ends start-up here, before the
// window opens, with the file named.

#include "shell/datacheck.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
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

FILE *OpenDataFile(const char *path, char *why, int whyLen)
{
    struct stat st;
    if (stat(path, &st) != 0) {
        snprintf(why, whyLen, "cannot open it: %s", strerror(errno));
        return NULL;
    }
    if (S_ISDIR(st.st_mode)) {
        Fault(why, whyLen, "is a folder, not a file");
        return NULL;
    }
    if (!S_ISREG(st.st_mode)) {
        Fault(why, whyLen, "is not an ordinary file (a pipe or a device)");
        return NULL;
    }
    FILE *f = fopen(path, "rb");
    if (!f)
        snprintf(why, whyLen, "cannot open it: %s", strerror(errno));
    return f;
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

int CheckLoadedSurface(SDL_Surface *s, int w, int h, char *why, int whyLen)
{
    if (!s)
        return Fault(why, whyLen, "SDL could not load it");
    if (s->w != w || s->h != h || s->format->BitsPerPixel != 8 || !s->format->palette)
        return Fault(why, whyLen, "loaded as something other than an 8-bit picture of the expected size");
    return 0;
}
