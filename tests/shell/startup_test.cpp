// What start-up leaves behind: the colour key, the frame tables, the first
// values of the records.

#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include "actors/enemies.h"
#include "bass/mixer.h"
#include "actors/player.h"
#include "actors/shots.h"
#include "frontend/menu.h"
#include "game_fixture.h"
#include "core/mode.h"
#include "video/art.h"
#include "sound/sound.h"
#include "video/hud.h"
#include "video/text.h"
#include "video/video.h"
#include "world/level.h"
#include "world/pickups.h"
#include "world/tiles.h"

extern "C" int __real_SDL_PollEvent(SDL_Event *event);

using StartUpTest = GameTest;

TEST_F(StartUpTest, PureGreenIsEntry96AndOnlyTheThirteenSheetsAreKeyed)
{
    EXPECT_EQ(ColorKeyGreen, 96u);
    SDL_Surface *keyed[] = {PlayerSheet, FrameOverlay, GunSheet,    ExplosionSheet, OgreSheet,
                            TileSheet,   LogoImage,    SpinnerSheet, MenuImage,     FontSheet,
                            HealthSheet, SpikeSheet,   BallSheet};
    for (SDL_Surface *s : keyed) {
        EXPECT_TRUE(s->flags & SDL_SRCCOLORKEY);
        EXPECT_EQ(s->format->colorkey, 96u);
    }
    SDL_Surface *opaque[] = {ShotImage, BackBuffer, GunBarImage, Back01, Back02, Back03};
    for (SDL_Surface *s : opaque)
        EXPECT_FALSE(s->flags & SDL_SRCCOLORKEY);
}

TEST_F(StartUpTest, EveryLoadedPictureHasTheGamePalette)
{
    for (int i = 1; i < ART_FILE_COUNT; i++) {
        SDL_Surface *s = *ArtFiles[i].surface;
        ASSERT_EQ(s->format->BitsPerPixel, 8) << ArtFiles[i].path;
        ASSERT_EQ(s->format->palette->ncolors, 256) << ArtFiles[i].path;
        for (int c = 0; c < 256; c++) {
            const SDL_Color &a = s->format->palette->colors[c], &b = GamePalette[c];
            ASSERT_TRUE(a.r == b.r && a.g == b.g && a.b == b.b) << ArtFiles[i].path << " entry " << c;
        }
    }
}

TEST_F(StartUpTest, FrameTablesAreStripsOfEqualCells)
{
    EXPECT_EQ(PlayerFrames[53].x, 16 * 53);
    EXPECT_EQ(PlayerFrames[53].h, 64);
    EXPECT_EQ(GunFrames[1].x, 32);
    EXPECT_EQ(OgreFrames[12].x, 32 * 12);
    EXPECT_EQ(OgreFrames[12].h, 48);
    EXPECT_EQ(TileFrames[89].x, 16 * 89);
    EXPECT_EQ(SpinnerFrames[22].x, 16 * 22);
    EXPECT_EQ(GlyphRects[255].x, 8 * 255);
    EXPECT_EQ(GlyphDestRects[255].w, 8);
    EXPECT_EQ(HealthFrames[6].x, 80 * 6);
    EXPECT_EQ(HealthFrames[6].w, 80);
    EXPECT_EQ(SpikeFrames[7].x, 16 * 7);
    EXPECT_EQ(BallFrames[9].x, 16 * 9);
    EXPECT_EQ(ExplosionFrames[4].x, 16 * 4);
    EXPECT_EQ(ExplosionRects[63].w, 16);
    EXPECT_EQ(Pickups[499].rect.h, 16);
}

TEST_F(StartUpTest, RecordsStartAsTheFirstMenuFrameExpects)
{
    EXPECT_EQ(GameMode, Menu);
    EXPECT_STREQ(scoreText, "0");
    EXPECT_EQ(MenuCursor.x, 40);
    EXPECT_EQ(MenuCursor.y, 99);
    EXPECT_EQ(player.rect.x, 111);
    EXPECT_EQ(player.rect.y, 100);
    EXPECT_EQ(player.hitPoints, 3);
    EXPECT_EQ(player.lives, 5);
    EXPECT_EQ(rightShot.rect.x, 5000);
    EXPECT_EQ(leftShot.rect.y, 5000);
    // The first level is set up, its music chosen but not playing, its map
    // not yet read.
    EXPECT_EQ(camX, 113);
    EXPECT_EQ(camY, 444);
    EXPECT_EQ(currentMusic, 1);
    EXPECT_EQ(audioStarted, 0);
    int active = 0;
    for (const Enemy &e : Enemies)
        active += e.active;
    EXPECT_EQ(active, 9);
    EXPECT_EQ(Enemies[7].active, 0);
    for (Sint32 code : TileMap)
        ASSERT_EQ(code, 0);
    EXPECT_EQ(BackdropRect.x, 16);
    EXPECT_EQ(BackdropRect.y, 16);
}

TEST_F(StartUpTest, TheWindowIsNamedAndHidesThePointer)
{
    char *title = nullptr, *icon = nullptr;
    SDL_WM_GetCaption(&title, &icon);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(std::string(title).rfind("Kestra Vale", 0), 0u) << title;
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
}

TEST_F(StartUpTest, EachEffectSoundsAtMostThreeTimesAtOnce)
{
    for (int i = 0; i < SFX_COUNT; i++) {
        for (int n = 0; n < 4; n++)
            PlayEffect(SoundEffect(i));
        EXPECT_EQ(BassActivePlaybacks(EffectSamples[i]), 3) << EffectFiles[i];
    }
}

TEST_F(StartUpTest, AnInterruptBecomesAWindowCloseRequest)
{
    raise(SIGINT);
    SDL_Event e;
    bool quit = false;
    while (__real_SDL_PollEvent(&e))
        quit = quit || e.type == SDL_QUIT;
    EXPECT_TRUE(quit);
}
