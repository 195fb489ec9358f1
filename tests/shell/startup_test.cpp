// What start-up leaves behind: the colour key, the frame tables, the first
// values of the records.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include "actors/enemies.h"
#include "bass/mixer.h"
#include "bass/wavdecode.h"
#include "image.h"
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

// Every entry of every frame table is its cell of a strip: frame i of a
// sheet of w x h cells at (w * i, 0). The counts and cell sizes are the
// game's own; the glyphs' places on the screen are set as each is drawn.
TEST_F(StartUpTest, FrameTablesAreStripsOfEqualCells)
{
    struct Strip {
        const char *name;
        const SDL_Rect *frames;
        int count, w, h;
    } strips[] = {
        {"heroine", PlayerFrames, 54, 16, 64}, {"gun", GunFrames, 2, 32, 16},
        {"explosion", ExplosionFrames, 5, 16, 16}, {"ogre", OgreFrames, 13, 32, 48},
        {"tiles", TileFrames, 90, 16, 16}, {"spinner", SpinnerFrames, 23, 16, 16},
        {"font", GlyphRects, 256, 8, 8}, {"health", HealthFrames, 7, 80, 8},
        {"spikes", SpikeFrames, 8, 16, 16}, {"ball", BallFrames, 10, 16, 16},
    };
    for (const Strip &s : strips)
        for (int i = 0; i < s.count; i++) {
            const SDL_Rect &r = s.frames[i];
            ASSERT_TRUE(r.x == s.w * i && r.y == 0 && r.w == s.w && r.h == s.h)
                << s.name << " frame " << i << " is (" << r.x << ", " << r.y << ", " << r.w << ", " << r.h << ")";
        }
    for (const SDL_Rect &r : GlyphDestRects)
        ASSERT_TRUE(r.x == 0 && r.y == 0 && r.w == 8 && r.h == 8);
    for (const SDL_Rect &r : ExplosionRects)
        ASSERT_TRUE(r.x == 0 && r.y == 0 && r.w == 16 && r.h == 16);
    for (const Pickup &p : Pickups)
        ASSERT_TRUE(p.active == 0 && p.rect.x == 0 && p.rect.y == 0 && p.rect.w == 16 && p.rect.h == 16);
}

// Each surface holds the picture of its own file, pixel for pixel, and
// each sheet is as large as its cells make it.
TEST_F(StartUpTest, EachSurfaceHoldsThePictureOfItsOwnFile)
{
    struct Art {
        SDL_Surface *surface;
        const char *file;
        int w, h;  // 0: a picture drawn whole, of the size its file gives
    } art[] = {
        {PlayerSheet, "data/pframe.bmp", 54 * 16, 64}, {FrameOverlay, "data/bar.bmp", 320, 200},
        {ShotImage, "data/shot.bmp", 0, 0},            {GunSheet, "data/gun.bmp", 2 * 32, 16},
        {ExplosionSheet, "data/explo.bmp", 5 * 16, 16}, {OgreSheet, "data/mframe2.bmp", 13 * 32, 48},
        {TileSheet, "data/tiles.bmp", 90 * 16, 16},    {BackBuffer, "data/small.bmp", 320, 200},
        {FontSheet, "data/font8x8.bmp", 256 * 8, 8},   {HealthSheet, "data/health.bmp", 7 * 80, 8},
        {LogoImage, "data/logo.bmp", 0, 0},            {SpinnerSheet, "data/spin162.bmp", 23 * 16, 16},
        {MenuImage, "data/menu.bmp", 0, 0},            {GunBarImage, "data/gunbar.bmp", 0, 0},
        {SpikeSheet, "data/spike1.bmp", 8 * 16, 16},   {BallSheet, "data/ball.bmp", 10 * 16, 16},
        {Back01, "data/back01.bmp", 0, 0},             {Back02, "data/back02.bmp", 0, 0},
        {Back03, "data/back03.bmp", 0, 0},
    };
    for (const Art &a : art) {
        SDL_Surface *file = SDL_LoadBMP(a.file);
        ASSERT_NE(file, nullptr) << a.file;
        ASSERT_NE(a.surface, nullptr) << a.file;
        EXPECT_EQ(a.surface->w, file->w) << a.file;
        EXPECT_EQ(a.surface->h, file->h) << a.file;
        if (a.w) {
            EXPECT_EQ(a.surface->w, a.w) << a.file;
            EXPECT_EQ(a.surface->h, a.h) << a.file;
        }
        bool same = a.surface->w == file->w && a.surface->h == file->h;
        for (int y = 0; same && y < file->h; y++)
            same = memcmp((Uint8 *)a.surface->pixels + y * a.surface->pitch, (Uint8 *)file->pixels + y * file->pitch,
                          file->w) == 0;
        if (a.surface != BackBuffer) {  // the BackBuffer is drawn into from the first pass on
            EXPECT_TRUE(same) << a.file;
        }
        SDL_FreeSurface(file);
    }
}

// Each effect is the sound of its own file, as the back-end decodes it.
TEST_F(StartUpTest, EachEffectIsTheSoundOfItsOwnFile)
{
    const struct {
        SoundEffect effect;
        const char *file;
    } effects[] = {
        {SfxBang, "data/sfxbang.wav"},   {SfxCollect, "data/sfxcollect.wav"}, {SfxHit, "data/sfxhit.wav"},
        {SfxJump, "data/sfxjump.wav"},   {SfxMenu1, "data/sfxmenu1.wav"},     {SfxMenu2, "data/sfxmenu2.wav"},
        {SfxShoot, "data/sfxshoot.wav"}, {SfxMdead, "data/sfxmdead.wav"},
    };
    for (const auto &e : effects) {
        const BassSample *s = BassFindSample(EffectSamples[e.effect]);
        ASSERT_NE(s, nullptr) << e.file;
        const std::vector<uint8_t> bytes = ReadFile(e.file);
        Uint32 frames = 0;
        const char *why = nullptr;
        Sint16 *pcm = DecodeWav(bytes.data(), bytes.size(), 44100, &frames, &why);
        ASSERT_NE(pcm, nullptr) << e.file << ": " << why;
        EXPECT_EQ(s->length, frames) << e.file;
        EXPECT_TRUE(s->length == frames && memcmp(s->frames, pcm, 4 * size_t(frames)) == 0) << e.file;
        free(pcm);
    }
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
