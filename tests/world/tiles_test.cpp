// The tile window, the solid rectangles, the backdrop.

#include <gtest/gtest.h>

#include "scene.h"
#include "video/art.h"
#include "video/video.h"
#include "world/tiles.h"

using TileTest = GameTest;

namespace {

void AllSolid()
{
    for (Sint32 &c : TileMap)
        c = 1;
}

}  // namespace

TEST_F(TileTest, TheWindowCovers28ColumnsAnd26RowsAroundTheCamerasCell)
{
    EmptyPlay(113, 444);  // the first level's start: cell (27, 7)
    AllSolid();
    DrawTiles();
    // Columns -7..20 of which 0..20 exist, rows 14..39.
    EXPECT_EQ(solidCount, 21 * 26);
    EXPECT_EQ(SolidRects[0].x, 16 * 0 - 113 + 1);
    EXPECT_EQ(SolidRects[0].y, 16 * 14 - 444 + 1);
    EXPECT_EQ(SolidRects[solidCount - 1].x, 16 * 20 - 113 + 1);
    EXPECT_EQ(SolidRects[solidCount - 1].y, 16 * 39 - 444 + 1);
}

TEST_F(TileTest, NegativeCameraCellsRoundTowardZero)
{
    EmptyPlay(-15, 300);
    AllSolid();
    DrawTiles();
    EXPECT_EQ(solidCount, 14 * 26);  // centre column 0: columns -14..13
    camX = -16;
    DrawTiles();
    EXPECT_EQ(solidCount, 13 * 26);  // centre column -1: columns -15..12
    camX = 600;
    camY = -15;
    DrawTiles();
    EXPECT_EQ(solidCount, 28 * 13);  // centre row 0: rows -13..12
}

TEST_F(TileTest, SolidCellsBecomeInsetRectanglesWithAGapBetweenNeighbours)
{
    EmptyPlay(113, 444);
    SetCell(30, 10, 1);
    SetCell(30, 11, 57);
    SetCell(31, 10, 13);
    SetCell(31, 11, 54);
    SetCell(32, 10, 89);   // drawn, not solid
    SetCell(32, 11, 90);   // nothing at all
    SetCell(33, 10, -1);   // nothing at all
    SetCell(33, 11, 201);  // an item: not a tile
    DrawTiles();
    ASSERT_EQ(solidCount, 4);
    const SDL_Rect expected[4] = {{48, 37, 14, 14}, {64, 37, 14, 14}, {48, 53, 14, 14}, {64, 53, 14, 14}};
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(SolidRects[i].x, expected[i].x);
        EXPECT_EQ(SolidRects[i].y, expected[i].y);
        EXPECT_EQ(SolidRects[i].w, 14);
        EXPECT_EQ(SolidRects[i].h, 14);
    }
}

TEST_F(TileTest, AnEmptyWindowLeavesNoRectanglesWhateverTheFrameBefore)
{
    EmptyPlay(113, 444);
    AllSolid();
    DrawTiles();
    ASSERT_GT(solidCount, 0);
    memset(TileMap, 0, sizeof TileMap);
    DrawTiles();
    EXPECT_EQ(solidCount, 0);
}

TEST_F(TileTest, CodesAreDrawnWithTheirOwnFrameAndCodesFrom90OnNot)
{
    EmptyPlay(0, 0);
    SDL_FillRect(BackBuffer, NULL, 0);
    SetCell(2, 2, 89);
    SetCell(2, 4, 90);
    SetCell(2, 6, 205);
    DrawTiles();
    SDL_LockSurface(TileSheet);
    const Uint8 *sheet = (const Uint8 *)TileSheet->pixels;
    const Uint8 *back = (const Uint8 *)BackBuffer->pixels;
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            const Uint8 src = sheet[y * TileSheet->pitch + 16 * 89 + x];
            const Uint8 drawn = back[(32 + y) * BackBuffer->pitch + 32 + x];
            EXPECT_EQ(drawn, src == ColorKeyGreen ? 0 : src);
            EXPECT_EQ(back[(32 + y) * BackBuffer->pitch + 64 + x], 0);
            EXPECT_EQ(back[(32 + y) * BackBuffer->pitch + 96 + x], 0);
        }
    SDL_UnlockSurface(TileSheet);
}

TEST_F(TileTest, EachLevelHasItsOwnBackdrop)
{
    SDL_Surface *expected[3] = {Back02, Back03, Back01};
    for (int level = 0; level < 3; level++) {
        levelIndex = level;
        DrawBackdrop();
        Image drawn = CaptureBackBuffer();
        const Uint8 *pic = (const Uint8 *)expected[level]->pixels;
        for (int y = 0; y < 168; y += 7)
            for (int x = 0; x < 192; x += 5)
                ASSERT_EQ(drawn.at(16 + x, 16 + y), pic[y * expected[level]->pitch + x]) << "level " << level;
    }
}

// Below the map there is nothing: rows from 80 on are not drawn, give no
// rectangle, and the map is never read outside its 80 x 80 cells, however
// far the Camera goes.
TEST_F(TileTest, RowsFrom80OnAreEmpty)
{
    EmptyPlay(600, 1088);  // centre cell (68, 37): rows 55..80, columns 23..50
    AllSolid();
    DrawTiles();
    EXPECT_EQ(solidCount, 25 * 28);
    EXPECT_EQ(SolidRects[solidCount - 1].x, 16 * 50 - 600 + 1);
    EXPECT_EQ(SolidRects[solidCount - 1].y, 16 * 79 - 1088 + 1);
    camY = 1104;  // centre row 69: rows 56..81
    DrawTiles();
    EXPECT_EQ(solidCount, 24 * 28);

    // Far beyond the map on every side: nothing at all.
    SDL_FillRect(BackBuffer, NULL, 0);
    const int far[4][2] = {{600, 100000000}, {600, -100000000}, {100000000, 600}, {-100000000, 600}};
    for (const auto &cam : far) {
        camX = cam[0];
        camY = cam[1];
        DrawTiles();
        EXPECT_EQ(solidCount, 0);
    }
    const Image img = CaptureBackBuffer();
    for (Uint8 px : img.px)
        ASSERT_EQ(px, 0);
}
