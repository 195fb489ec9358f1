// The title menu: the noise field, the spinner, the entries.

#include <gtest/gtest.h>

#include <cstdlib>

#include "frontend/menu.h"
#include "game_fixture.h"
#include "core/mode.h"
#include "sound/sound.h"

using MenuTest = GameTest;

namespace {

// The noise as the game must draw it: one rand() per pixel, rows from the
// top, entry 15 + rand() mod 15. rand() is never seeded, which is the same
// as seeding it with 1.
Image ExpectedNoise(int frames)
{
    srand(1);
    Image field(192, 168);
    for (int f = 0; f < frames; f++)
        for (int y = 0; y < 168; y++)
            for (int x = 0; x < 192; x++)
                field.at(x, y) = uint8_t(15 + rand() % 15);
    return field;
}

// Parts of the field no picture is drawn over: above the logo, left of the
// spinner, and between the entries and the credit line.
bool OnlyNoise(int x, int y)
{
    return y < 24 || (y < 174 && (x < 40 || y >= 148));
}

}  // namespace

TEST_F(MenuTest, TheNoiseIsOneRandPerPixelInRowsOfGreysAndNewEveryFrame)
{
    Pass();
    Image first = CaptureBackBuffer();
    Image expected = ExpectedNoise(1);
    for (int y = 16; y < 184; y++)
        for (int x = 16; x < 208; x++)
            if (OnlyNoise(x, y)) {
                ASSERT_EQ(first.at(x, y), expected.at(x - 16, y - 16)) << x << "," << y;
            }
    Pass();
    Image second = CaptureBackBuffer();
    expected = ExpectedNoise(2);
    int differ = 0;
    for (int y = 16; y < 184; y++)
        for (int x = 16; x < 208; x++)
            if (OnlyNoise(x, y)) {
                ASSERT_EQ(second.at(x, y), expected.at(x - 16, y - 16));
                differ += second.at(x, y) != first.at(x, y);
            }
    EXPECT_GT(differ, 1000);
}

TEST_F(MenuTest, TheSpinnerShowsEachOf22FramesForThreePasses)
{
    for (int pass = 0; pass < 3 * 22 * 2; pass++) {
        ASSERT_EQ(spinnerFrame, (pass / 3) % 22) << "pass " << pass;
        Pass();
    }
}

TEST_F(MenuTest, CursorMovesPlayTheBlipAndEnterTheConfirmation)
{
    Press(SDLK_DOWN);
    Press(SDLK_UP);
    EXPECT_EQ(EffectCount(SfxMenu1), 2);
    EXPECT_EQ(MenuCursor.y, 99);
    Press(SDLK_DOWN);
    Hold(SDLK_RETURN);
    Pass();
    EXPECT_EQ(EffectCount(SfxMenu2), 1);
    EXPECT_EQ(GameMode, Help);
}
