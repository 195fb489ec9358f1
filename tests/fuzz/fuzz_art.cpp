// The start-up check of an art file and the load that follows it: any bytes
// as a BMP through CheckArtFile, and when they pass, through SDL's loader and
// the check of what it made. Every file the check passes must load as the
// check promised; anything else would end start-up late, after SDL started.

#include <SDL.h>

#include <cstdint>
#include <cstring>

#include "fuzz_file.h"
#include "video/art.h"

// The size of the art file whose width and height the header names, so the
// fuzzer can reach the palette and pixel checks for every size the game uses.
static const ArtFile &ArtFileFor(const uint8_t *data, size_t size)
{
    if (size >= 26) {
        Sint32 w, h;
        memcpy(&w, data + 18, 4);
        memcpy(&h, data + 22, 4);
        w = (Sint32)SDL_SwapLE32((Uint32)w);
        h = (Sint32)SDL_SwapLE32((Uint32)h);
        for (const ArtFile &a : ArtFiles)
            if (a.w == w && (a.h == h || a.h == -(int64_t)h))
                return a;
    }
    return ArtFiles[0];
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string path = WriteInput("art.bmp", data, size);
    const ArtFile &a = ArtFileFor(data, size);
    char why[160];
    if (CheckArtFile(path.c_str(), a.w, a.h, why, sizeof why) < 0)
        return 0;
    SDL_Surface *s = SDL_LoadBMP_RW(SDL_RWFromFile(path.c_str(), "rb"), 1);
    if (CheckLoadedSurface(s, a.w, a.h, why, sizeof why) < 0) {
        fprintf(stderr, "the check passed a picture that then failed to load: %s (%s)\n", why, SDL_GetError());
        abort();
    }
    SDL_FreeSurface(s);
    return 0;
}
