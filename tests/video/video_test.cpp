// Presentation: the 2x doubling, PutPixel's byte order, the display modes.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "game_fixture.h"
#include "shell/loop.h"
#include "video/video.h"

namespace {

// A surface over our own memory, so that its pitch can be wider than its
// rows and the bytes past each row can be watched.
struct PaddedSurface {
    std::vector<Uint8> bytes;
    SDL_Surface *s;
    PaddedSurface(int w, int h, int pitch, Uint8 fill) : bytes(size_t(pitch) * h, fill)
    {
        s = SDL_CreateRGBSurfaceFrom(bytes.data(), w, h, 8, pitch, 0, 0, 0, 0);
    }
    ~PaddedSurface() { SDL_FreeSurface(s); }
    Uint8 at(int x, int y) const { return bytes[size_t(y) * s->pitch + x]; }
};

}  // namespace

TEST(DoubleToScreen, EveryPixelBecomesATwoByTwoBlockAndPaddingIsUntouched)
{
    SDL_Init(SDL_INIT_VIDEO);
    PaddedSurface back(320, 200, 336, 0xEE);
    PaddedSurface scr(640, 400, 660, 0xDD);
    for (int y = 0; y < 200; y++)
        for (int x = 0; x < 320; x++)
            back.bytes[size_t(y) * 336 + x] = Uint8((x * 7 + y * 13) & 0xff);
    BackBuffer = back.s;
    screen = scr.s;

    DoubleToScreen();

    for (int y = 0; y < 400; y++) {
        for (int x = 0; x < 640; x++)
            ASSERT_EQ(scr.at(x, y), back.at(x / 2, y / 2)) << "screen pixel " << x << "," << y;
        for (int x = 640; x < 660; x++)
            ASSERT_EQ(scr.at(x, y), 0xDD) << "padding written in row " << y;
    }
    for (int y = 0; y < 200; y++)
        for (int x = 320; x < 336; x++)
            ASSERT_EQ(back.at(x, y), 0xEE);
    screen = BackBuffer = nullptr;
    SDL_Quit();
}

TEST(PutPixel, StoresTheValueLowestByteFirstForEveryDepth)
{
    SDL_Init(SDL_INIT_VIDEO);
    const Uint32 value = 0x44332211;
    const Uint8 expected[4][4] = {
        {0x11, 0xAA, 0xAA, 0xAA},
        {0x11, 0x22, 0xAA, 0xAA},
        {0x11, 0x22, 0x33, 0xAA},
        {0x11, 0x22, 0x33, 0x44},
    };
    for (int b = 1; b <= 4; b++) {
        SDL_Surface *s = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 4, 8 * b, 0, 0, 0, 0);
        ASSERT_EQ(s->format->BytesPerPixel, b);
        memset(s->pixels, 0xAA, size_t(s->pitch) * 4);
        PutPixel(s, 1, 2, value);
        const Uint8 *p = (const Uint8 *)s->pixels;
        const int at = 2 * s->pitch + 1 * b;
        for (int i = 0; i < 4; i++)
            EXPECT_EQ(p[at + i], expected[b - 1][i]) << b << " bytes per pixel, byte " << i;
        for (int i = 0; i < at; i++)
            ASSERT_EQ(p[i], 0xAA) << "byte before the pixel changed";
        SDL_FreeSurface(s);
    }
    SDL_Quit();
}

using VideoTest = GameTest;

TEST_F(VideoTest, TheWindowShowsTheBackBufferDoubled)
{
    Pass();  // a menu frame: noise, logo, entries
    Image back = CaptureBackBuffer();
    Image shown = CaptureScreen();
    ASSERT_EQ(shown.w, 640);
    ASSERT_EQ(shown.h, 400);
    for (int y = 0; y < 400; y++)
        for (int x = 0; x < 640; x++)
            ASSERT_EQ(shown.at(x, y), back.at(x / 2, y / 2));
}

TEST_F(VideoTest, ModesSetTheFramePeriodAndKeepThePaletteIndices)
{
    EXPECT_EQ(windowed, 1);
    EXPECT_EQ(framePeriodMs, 9);
    SetDisplayMode(0);
    EXPECT_EQ(windowed, 0);
    EXPECT_EQ(framePeriodMs, 13);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->w, 320);
    EXPECT_EQ(screen->h, 200);
    EXPECT_EQ(screen->format->BitsPerPixel, 8);

    Pass();  // presented without doubling: the picture is the BackBuffer itself
    Image back = CaptureBackBuffer();
    Image shown = CaptureScreen();
    EXPECT_EQ(shown.px, back.px);

    SetDisplayMode(1);
    EXPECT_EQ(windowed, 1);
    EXPECT_EQ(framePeriodMs, 9);
    EXPECT_EQ(screen->w, 640);
}
