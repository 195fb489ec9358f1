// Text in the bitmap font and the HUD laid over a playing frame.

#include <gtest/gtest.h>

#include "game_fixture.h"
#include "scene.h"
#include "video/art.h"
#include "video/hud.h"
#include "video/text.h"
#include "video/video.h"
#include "sound/sound.h"
#include "world/level.h"
#include "world/pickups.h"

namespace {

Uint8 SheetPixel(SDL_Surface *s, int x, int y) { return ((const Uint8 *)s->pixels)[y * s->pitch + x]; }

// The picture cell at (x, y) shows source (sx, sy, w, h) of sheet over the
// given background colour, transparent where the sheet holds the key.
::testing::AssertionResult Shows(const Image &img, int x, int y, SDL_Surface *sheet, int sx, int sy, int w, int h,
                                 Uint8 background)
{
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            const Uint8 src = SheetPixel(sheet, sx + i, sy + j);
            const Uint8 want = (sheet->flags & SDL_SRCCOLORKEY) && src == ColorKeyGreen ? background : src;
            if (img.at(x + i, y + j) != want)
                return ::testing::AssertionFailure() << "pixel " << x + i << "," << y + j;
        }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ShowsGlyph(const Image &img, int x, int y, unsigned char c, Uint8 background = 0)
{
    return Shows(img, x, y, FontSheet, 8 * c, 0, 8, 8, background);
}

}  // namespace

using TextTest = GameTest;

TEST_F(TextTest, ATextOfNCharactersCoversNCellsAndNothingElse)
{
    SDL_FillRect(BackBuffer, NULL, 0);
    DrawText(BackBuffer, 234, 25, "1001");
    Image img = CaptureBackBuffer();
    const char *text = "1001";
    for (int i = 0; i < 4; i++)
        EXPECT_TRUE(ShowsGlyph(img, 234 + 8 * i, 25, text[i])) << "character " << i;  // both 1s and both 0s
    for (int y = 0; y < 200; y++)
        for (int x = 0; x < 320; x++)
            if (x < 234 || x > 234 + 8 * 4 - 1 || y < 25 || y > 32) {
                ASSERT_EQ(img.at(x, y), 0) << x << "," << y;
            }
}

TEST_F(TextTest, EveryCodeIsItsOwnGlyphAndNothingWraps)
{
    SDL_FillRect(BackBuffer, NULL, 0);
    const char text[] = {' ', 'A', '\n', '~', (char)200, 0};
    DrawText(BackBuffer, 16, 40, text);
    DrawText(BackBuffer, 300, 100, "wrapping?");  // cut off at the edge
    DrawText(BackBuffer, 16, 60, "");
    Image img = CaptureBackBuffer();
    for (int i = 0; i < 5; i++)
        EXPECT_TRUE(ShowsGlyph(img, 16 + 8 * i, 40, (unsigned char)text[i]));
    EXPECT_TRUE(ShowsGlyph(img, 300, 100, 'w'));
    EXPECT_TRUE(ShowsGlyph(img, 308, 100, 'r'));
    for (int y = 108; y < 200; y++)
        for (int x = 0; x < 320; x++)
            ASSERT_EQ(img.at(x, y), 0);
}

namespace {

// A font made for the test, every glyph unlike every other: the top row
// spells the code in binary (colour 200 for a 1, 201 for a 0), the
// diagonal is transparent green, the rest a colour of the code's own.
Uint8 MadeGlyphPixel(int code, int i, int j)
{
    if (j == 0)
        return (code >> i) & 1 ? 200 : 201;
    if (i == j)
        return 96;
    return Uint8(10 + (code * 7 + i + 8 * j) % 80);
}

SDL_Surface *MadeFont()
{
    SDL_Surface *s = SDL_CreateRGBSurface(SDL_SWSURFACE, 256 * 8, 8, 8, 0, 0, 0, 0);
    SDL_SetPalette(s, SDL_LOGPAL, GamePalette, 0, 256);
    for (int code = 0; code < 256; code++)
        for (int j = 0; j < 8; j++)
            for (int i = 0; i < 8; i++)
                ((Uint8 *)s->pixels)[j * s->pitch + 8 * code + i] = MadeGlyphPixel(code, i, j);
    SDL_SetColorKey(s, SDL_SRCCOLORKEY, ColorKeyGreen);
    return s;
}

}  // namespace

// Codes 1 to 255 (0 ends a text), 32 to a row: each draws its own glyph,
// codes above 127 as well as below, and nothing else is drawn.
TEST_F(TextTest, EveryCodeDrawsItsOwnGlyphOfAFontWhoseGlyphsAllDiffer)
{
    SDL_Surface *shipped = FontSheet;
    FontSheet = MadeFont();
    SDL_FillRect(BackBuffer, NULL, 0);
    for (int row = 0; row < 8; row++) {
        char text[33] = {};
        for (int n = 0; n < 32; n++)
            text[n] = char(32 * row + n);
        const int first = row == 0 ? 1 : 0;  // code 0 would end the text
        DrawText(BackBuffer, 16 + 8 * first, 40 + 8 * row, text + first);
    }
    SDL_FreeSurface(FontSheet);
    FontSheet = shipped;

    const Image img = CaptureBackBuffer();
    for (int y = 0; y < 200; y++)
        for (int x = 0; x < 320; x++) {
            const int code = (y - 40) / 8 * 32 + (x - 16) / 8;
            const bool drawn = x >= 16 && x < 16 + 256 && y >= 40 && y < 40 + 64 && code != 0;
            Uint8 want = drawn ? MadeGlyphPixel(code, (x - 16) % 8, (y - 40) % 8) : 0;
            if (want == 96)
                want = 0;  // transparent: the background shows
            ASSERT_EQ(img.at(x, y), want) << "code " << code << ", pixel " << x << "," << y;
        }
}

// Each code keeps the rectangle of its own last blit, clipped: "wrapping?"
// from x 300 puts w at 300, a at 316 with 4 pixels left, and the second p
// at 332, wholly outside.
TEST_F(TextTest, EachCodeKeepsWhereItWasLastDrawn)
{
    DrawText(BackBuffer, 300, 100, "wrapping?");
    auto rect = [](unsigned char c) {
        const SDL_Rect &r = GlyphDestRects[c];
        return std::vector<int>{r.x, r.y, r.w, r.h};
    };
    EXPECT_EQ(rect('w'), (std::vector<int>{300, 100, 8, 8}));
    EXPECT_EQ(rect('a'), (std::vector<int>{316, 100, 4, 8}));
    EXPECT_EQ(rect('p'), (std::vector<int>{332, 100, 0, 0}));
    EXPECT_EQ(rect('x'), (std::vector<int>{0, 0, 8, 8}));  // never drawn
}

using HudTest = GameTest;

TEST_F(HudTest, TheHudShowsTheScoreTheLivesAndTheGunBarOverTheScene)
{
    Stage();
    score = 12345;
    WriteScoreText(score);
    player.lives = 4;
    Pass();
    Image img = CaptureBackBuffer();
    const char *digits = "12345";
    for (int i = 0; i < 5; i++)
        EXPECT_TRUE(ShowsGlyph(img, 234 + 8 * i, 25, digits[i], SheetPixel(FrameOverlay, 234 + 8 * i, 25)));
    EXPECT_TRUE(Shows(img, 224, 56, HealthSheet, 80 * 4, 0, 80, 8, SheetPixel(FrameOverlay, 224, 56)));
    EXPECT_TRUE(Shows(img, 224, 88, GunBarImage, 0, 0, GunBarImage->w, GunBarImage->h, 0));
    // The frame picture hides whatever the scene drew outside the view.
    for (int x = 0; x < 320; x += 3) {
        ASSERT_EQ(img.at(x, 4), SheetPixel(FrameOverlay, x, 4));
        ASSERT_EQ(img.at(x, 195), SheetPixel(FrameOverlay, x, 195));
    }
}

// The bar's frames are whole 80x8 cells of the sheet, and its rectangle
// keeps the size of the last drawing: all of it, inside the picture.
TEST_F(HudTest, TheHealthBarIsDrawnAsAWholeCell)
{
    Stage();
    Pass();
    EXPECT_EQ(HealthBarRect.x, 224);
    EXPECT_EQ(HealthBarRect.y, 56);
    EXPECT_EQ(HealthBarRect.w, 80);
    EXPECT_EQ(HealthBarRect.h, 8);
}

TEST_F(HudTest, TheScoreTextChangesOnlyWithTheScore)
{
    Stage();
    score = 77;  // a change the text has not been told of
    Pass();
    EXPECT_STREQ(scoreText, "0");
    WriteScoreText(score);
    EXPECT_STREQ(scoreText, "77");
}

TEST_F(HudTest, TheLongestScoreEndsAtX313)
{
    Stage();
    score = 2147483647;
    WriteScoreText(score);
    Pass();
    Image img = CaptureBackBuffer();
    const char *digits = "2147483647";
    for (int i = 0; i < 10; i++)
        EXPECT_TRUE(ShowsGlyph(img, 234 + 8 * i, 25, digits[i], SheetPixel(FrameOverlay, 234 + 8 * i, 25)))
            << "digit " << i;
    for (int y = 25; y < 33; y++)  // past the last digit, the panel as it is
        for (int x = 314; x < 320; x++)
            EXPECT_EQ(img.at(x, y), SheetPixel(FrameOverlay, x, y)) << x << "," << y;
}

// The pass that loses the last life runs to its end: its picture, with the
// bar of no lives, is shown once, and its keys still act; the menu follows.
TEST_F(HudTest, TheGameOverPassShowsTheBarOfNoLivesOnceAndRunsToItsEnd)
{
    Stage();
    player.lives = 1;
    player.hitPoints = 0;
    player.animStep = 13;  // the last dying frame, for one more pass
    player.animTimer = 10;
    const Uint8 panel = SheetPixel(FrameOverlay, 224, 56);
    Pass();
    EXPECT_TRUE(Shows(CaptureBackBuffer(), 224, 56, HealthSheet, 80 * 1, 0, 80, 8, panel));

    Hold(SDLK_LALT);
    Hold(SDLK_3);
    Pass();  // she comes back with no life left: the game is over
    Image last = CaptureBackBuffer();
    EXPECT_TRUE(Shows(last, 224, 56, HealthSheet, 0, 0, 80, 8, panel));
    Image shown = CaptureScreen();
    for (int y = 56; y < 64; y++)
        for (int x = 224; x < 304; x++)
            ASSERT_EQ(shown.at(2 * x, 2 * y), last.at(x, y));
    EXPECT_EQ(GameMode, Menu);
    EXPECT_EQ(EffectCount(SfxJump), 1);  // she had her hit points back, and jumped
    EXPECT_EQ(player.vSpeed, -24);
    EXPECT_EQ(levelIndex, 1);  // the skip key's level advance ran too

    ReleaseAll();
    Pass();  // a menu frame: no bar any more
    EXPECT_FALSE(Shows(CaptureBackBuffer(), 224, 56, HealthSheet, 0, 0, 80, 8, panel));
    EXPECT_EQ(player.lives, 0);
}
