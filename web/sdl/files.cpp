// SDL 1.2's file reading as the game uses it: read streams over files, and
// BMP pictures (uncompressed 8-bit, the game's art). Files come from the data
// package, mounted at /data.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sdl/web.h"

static int StdioSeek(SDL_RWops *rw, int offset, int whence)
{
    if (fseek(rw->hidden.stdio.fp, offset, whence) != 0) {
        WebSetError("Error seeking in datastream");
        return -1;
    }
    return (int)ftell(rw->hidden.stdio.fp);
}

static int StdioRead(SDL_RWops *rw, void *ptr, int size, int maxnum)
{
    return (int)fread(ptr, size, maxnum, rw->hidden.stdio.fp);
}

static int StdioWrite(SDL_RWops *rw, const void *ptr, int size, int num)
{
    return (int)fwrite(ptr, size, num, rw->hidden.stdio.fp);
}

static int StdioClose(SDL_RWops *rw)
{
    if (rw->hidden.stdio.autoclose)
        fclose(rw->hidden.stdio.fp);
    free(rw);
    return 0;
}

extern "C" SDL_RWops *SDL_RWFromFile(const char *file, const char *mode)
{
    FILE *fp = file && mode ? fopen(file, mode) : NULL;
    if (!fp) {
        WebSetError("Couldn't open the file");
        return NULL;
    }
    SDL_RWops *rw = (SDL_RWops *)calloc(1, sizeof(SDL_RWops));
    if (!rw) {
        fclose(fp);
        return NULL;
    }
    rw->seek = StdioSeek;
    rw->read = StdioRead;
    rw->write = StdioWrite;
    rw->close = StdioClose;
    rw->hidden.stdio.autoclose = 1;
    rw->hidden.stdio.fp = fp;
    return rw;
}

static Uint32 Le32(const Uint8 *p) { return p[0] | (p[1] << 8) | (p[2] << 16) | ((Uint32)p[3] << 24); }
static Uint16 Le16(const Uint8 *p) { return (Uint16)(p[0] | (p[1] << 8)); }

static int ReadAll(SDL_RWops *rw, void *to, int n)
{
    return n == 0 || rw->read(rw, to, n, 1) == 1;
}

static SDL_Surface *ReadBmp(SDL_RWops *rw)
{
    Uint8 head[54];
    const int start = rw->seek(rw, 0, RW_SEEK_CUR);
    if (!ReadAll(rw, head, 54) || head[0] != 'B' || head[1] != 'M') {
        WebSetError("File is not a Windows BMP file");
        return NULL;
    }
    const Uint32 offBits = Le32(head + 10), infoSize = Le32(head + 14);
    const int w = (int)Le32(head + 18), rawH = (int)Le32(head + 22);
    const int bits = Le16(head + 28);
    const Uint32 compression = Le32(head + 30);
    Uint32 used = Le32(head + 46);
    if (infoSize < 40 || bits != 8 || compression != 0 || w <= 0 || rawH == 0 || rawH < -16384 || rawH > 16384) {
        WebSetError("Only uncompressed 8-bit BMP files are supported here");
        return NULL;
    }
    if (used == 0 || used > 256)
        used = 256;
    const int h = rawH < 0 ? -rawH : rawH;
    SDL_Surface *s = WebNewSurface(SDL_SWSURFACE, w, h);
    if (!s)
        return NULL;
    Uint8 entries[256 * 4];
    rw->seek(rw, start + 14 + (int)infoSize, RW_SEEK_SET);
    if (!ReadAll(rw, entries, (int)used * 4)) {
        SDL_FreeSurface(s);
        WebSetError("Error reading from datastream");
        return NULL;
    }
    s->format->palette->ncolors = (int)used;
    for (Uint32 i = 0; i < used; i++)
        s->format->palette->colors[i] = {entries[4 * i + 2], entries[4 * i + 1], entries[4 * i], 0};
    rw->seek(rw, start + (int)offBits, RW_SEEK_SET);
    const int stride = (w + 3) & ~3;
    for (int row = 0; row < h; row++) {
        const int y = rawH > 0 ? h - 1 - row : row;  // bottom-up unless the height is negative
        if (!ReadAll(rw, (Uint8 *)s->pixels + y * s->pitch, stride)) {
            SDL_FreeSurface(s);
            WebSetError("Error reading from datastream");
            return NULL;
        }
    }
    return s;
}

extern "C" SDL_Surface *SDL_LoadBMP_RW(SDL_RWops *rw, int freesrc)
{
    if (!rw) {
        WebSetError("No BMP file to read");
        return NULL;
    }
    SDL_Surface *s = ReadBmp(rw);
    if (freesrc)
        rw->close(rw);
    return s;
}
