// The game's own blit against SDL_UpperBlit, and the menu's generator
// against the C library's rand(): both stand in for what SDL and the C
// library did, and must give exactly what they gave.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "frontend/noise.h"
#include "game_fixture.h"
#include "video/art.h"
#include "video/blit.h"
#include "video/video.h"

namespace {

std::vector<Uint8> Pixels(SDL_Surface *s)
{
    std::vector<Uint8> bytes(size_t(s->w) * s->h);
    for (int y = 0; y < s->h; y++)
        memcpy(&bytes[size_t(y) * s->w], (Uint8 *)s->pixels + y * s->pitch, s->w);
    return bytes;
}

void SetPixels(SDL_Surface *s, const std::vector<Uint8> &bytes)
{
    for (int y = 0; y < s->h; y++)
        memcpy((Uint8 *)s->pixels + y * s->pitch, &bytes[size_t(y) * s->w], s->w);
}

struct Case {
    SDL_Surface *src;
    bool wholeSource;
    SDL_Rect srcRect, dstRect;
};

}  // namespace

using BlitLikeSdl = GameTest;

// Every art sheet, keyed and opaque, whole and by frames (some reaching past
// the sheet's edge or starting left of it), at positions all around and
// across the BackBuffer's edges: the same pixels and the same rectangle
// written back as SDL_UpperBlit gives.
TEST_F(BlitLikeSdl, SamePixelsAndSameRectangleWrittenBackEverywhere)
{
    std::vector<Uint8> base(320 * 200);
    for (size_t i = 0; i < base.size(); i++)
        base[i] = Uint8(i * 31 / 7);
    SDL_Surface *sheets[] = {PlayerSheet, FrameOverlay, ShotImage, GunSheet, ExplosionSheet, OgreSheet,
                             TileSheet, FontSheet, HealthSheet, LogoImage, SpinnerSheet, MenuImage,
                             GunBarImage, SpikeSheet, BallSheet, Back01};
    unsigned seed = 12345;
    auto next = [&](int n) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % unsigned(n));
    };
    int compared = 0;
    for (SDL_Surface *sheet : sheets) {
        for (int i = 0; i < 400; i++) {
            Case c{sheet, next(4) == 0, {}, {}};
            c.srcRect = {Sint16(next(sheet->w + 40) - 20), Sint16(next(sheet->h + 20) - 10),
                         Uint16(next(70)), Uint16(next(70))};
            c.dstRect = {Sint16(next(420) - 60 - (next(10) == 0 ? 30000 : 0)), Sint16(next(300) - 60),
                         Uint16(next(50)), Uint16(next(50))};

            SetPixels(BackBuffer, base);
            SDL_Rect sdlRect = c.dstRect, srcCopy = c.srcRect;
            SDL_UpperBlit(c.src, c.wholeSource ? NULL : &srcCopy, BackBuffer, &sdlRect);
            const std::vector<Uint8> sdlPixels = Pixels(BackBuffer);

            SetPixels(BackBuffer, base);
            SDL_Rect ourRect = c.dstRect;
            Blit(c.src, c.wholeSource ? NULL : &c.srcRect, BackBuffer, &ourRect);
            const std::vector<Uint8> ourPixels = Pixels(BackBuffer);

            ASSERT_EQ(ourRect.x, sdlRect.x) << "sheet " << sheet->w << " case " << i;
            ASSERT_EQ(ourRect.y, sdlRect.y) << "sheet " << sheet->w << " case " << i;
            ASSERT_EQ(ourRect.w, sdlRect.w) << "sheet " << sheet->w << " case " << i;
            ASSERT_EQ(ourRect.h, sdlRect.h) << "sheet " << sheet->w << " case " << i;
            ASSERT_TRUE(ourPixels == sdlPixels) << "sheet " << sheet->w << " case " << i;
            compared++;
        }
    }
    EXPECT_EQ(compared, 16 * 400);
}

TEST_F(BlitLikeSdl, TheNoiseFieldIsTheCLibrarysNumbersModuloFifteen)
{
    noiseRandom = {};
    srand(1);
    for (int frame = 0; frame < 3; frame++) {
        DrawNoise();
        for (int y = 0; y < 168; y++)
            for (int x = 0; x < 192; x++) {
                const Uint8 shown = ((Uint8 *)BackBuffer->pixels)[(16 + y) * BackBuffer->pitch + 16 + x];
                ASSERT_EQ(shown, 15 + rand() % 15) << "frame " << frame << " at " << x << "," << y;
            }
    }
}
