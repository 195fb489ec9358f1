// Presentation: the 2x doubling, PutPixel's byte order, the display modes
// and the keys that switch them in play.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "actors/shots.h"
#include "game_fixture.h"
#include "scene.h"
#include "core/mode.h"
#include "video/video.h"
#include "world/pickups.h"
#include "world/tiles.h"

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

// The display keys of play: "1" to full screen, "2" to the window.
class DisplayKeyTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        Stage();
    }
    static void ExpectWindowed(bool inWindow)
    {
        EXPECT_EQ(windowed, inWindow ? 1 : 0);
        EXPECT_EQ(framePeriodMs, inWindow ? 9 : 13);
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(screen->w, inWindow ? 640 : 320);
        EXPECT_EQ(screen->h, inWindow ? 400 : 200);
        // Every mode shows the game's own colours.
        ASSERT_NE(screen->format->palette, nullptr);
        for (int c = 0; c < 256; c++) {
            const SDL_Color &a = screen->format->palette->colors[c], &b = GamePalette[c];
            ASSERT_TRUE(a.r == b.r && a.g == b.g && a.b == b.b) << "entry " << c;
        }
    }
};

TEST_F(DisplayKeyTest, EachKeySwitchesOnceWhileHeldAndOnlyFromTheOtherMode)
{
    const int opened = vclock.videoModeCalls;
    Hold(SDLK_2);  // already in the window
    Passes(3);
    EXPECT_EQ(vclock.videoModeCalls, opened);
    ReleaseAll();
    Hold(SDLK_1);
    Passes(5);
    EXPECT_EQ(vclock.videoModeCalls, opened + 1);
    ExpectWindowed(false);
    Image shown = CaptureScreen();  // full screen shows the picture as it is
    EXPECT_EQ(shown.px, CaptureBackBuffer().px);
    // The new period paces the passes from the next new period on.
    vclock.delays.clear();
    Passes(4);
    std::vector<Uint32> paced = {0, 13, 0, 13};
    EXPECT_EQ(vclock.delays, paced);

    ReleaseAll();
    Hold(SDLK_2);
    Passes(5);
    EXPECT_EQ(vclock.videoModeCalls, opened + 2);
    ExpectWindowed(true);
}

TEST_F(DisplayKeyTest, BothKeysHeldSwitchTwiceEveryPassAndEndInTheWindow)
{
    const int opened = vclock.videoModeCalls;
    Hold(SDLK_1);
    Hold(SDLK_2);
    Passes(4);
    EXPECT_EQ(vclock.videoModeCalls, opened + 8);  // "1" is looked at first
    ExpectWindowed(true);

    // From full screen, only the switch to the window happens.
    ReleaseAll();
    Hold(SDLK_1);
    Pass();
    ASSERT_EQ(windowed, 0);
    Hold(SDLK_2);
    Pass();
    EXPECT_EQ(vclock.videoModeCalls, opened + 10);
    ExpectWindowed(true);
}

TEST_F(DisplayKeyTest, TheMenuAndTheHelpPagesIgnoreThem)
{
    GameMode = Menu;
    const int opened = vclock.videoModeCalls;
    Hold(SDLK_1);
    Passes(5);
    ReleaseAll();
    Press(SDLK_DOWN);
    Hold(SDLK_RETURN);
    Pass();
    ReleaseAll();
    ASSERT_EQ(GameMode, Help);
    Hold(SDLK_1);
    Passes(5);
    EXPECT_EQ(vclock.videoModeCalls, opened);
    EXPECT_EQ(windowed, 1);

    // In full screen, "2" does nothing in the menu either.
    ReleaseAll();
    GameMode = Playing;
    Hold(SDLK_1);
    Pass();
    ASSERT_EQ(windowed, 0);
    ReleaseAll();
    Press(SDLK_ESCAPE);
    ASSERT_EQ(GameMode, Menu);
    Hold(SDLK_2);
    Passes(5);
    EXPECT_EQ(windowed, 0);
    EXPECT_EQ(vclock.videoModeCalls, opened + 1);
}

TEST_F(DisplayKeyTest, ARefusedSwitchIsNotTriedAgainUntilTheKeyIsLetGo)
{
    vclock.refuseFullScreen = true;
    const int opened = vclock.videoModeCalls;
    Hold(SDLK_1);
    Passes(10);
    // One try, refused, and the window opened again; nothing more while held.
    EXPECT_EQ(vclock.videoModeCalls, opened + 2);
    ExpectWindowed(true);
    Release(SDLK_1);
    Pass();
    vclock.refuseFullScreen = false;
    Hold(SDLK_1);
    Passes(3);
    EXPECT_EQ(vclock.videoModeCalls, opened + 3);
    ExpectWindowed(false);
}

namespace {

// What a run of play leaves behind, pass by pass: the picture composed and
// every record the display must not touch.
struct PlayRecord {
    Image picture;
    Player heroine;
    Sint32 cameraX, cameraY, points, level, mode, solids;
    std::vector<Enemy> enemies;
    std::vector<Explosion> explosions;
    std::vector<SDL_Rect> explosionRects;
    Shot shots[2];
    std::vector<Sint32> map;
};

void ExpectSameRecords(const PlayRecord &a, const PlayRecord &b, int pass)
{
    EXPECT_EQ(a.picture.px, b.picture.px) << "pass " << pass;
    EXPECT_EQ(memcmp(&a.heroine, &b.heroine, sizeof a.heroine), 0) << "pass " << pass;
    EXPECT_TRUE(a.cameraX == b.cameraX && a.cameraY == b.cameraY) << "pass " << pass;
    EXPECT_TRUE(a.points == b.points && a.level == b.level && a.mode == b.mode && a.solids == b.solids)
        << "pass " << pass;
    EXPECT_EQ(memcmp(a.enemies.data(), b.enemies.data(), sizeof(Enemy) * MAX_ENEMIES), 0) << "pass " << pass;
    EXPECT_EQ(memcmp(a.explosions.data(), b.explosions.data(), sizeof(Explosion) * MAX_EXPLOSIONS), 0);
    EXPECT_EQ(memcmp(a.explosionRects.data(), b.explosionRects.data(), sizeof(SDL_Rect) * MAX_EXPLOSIONS), 0);
    EXPECT_EQ(memcmp(a.shots, b.shots, sizeof a.shots), 0) << "pass " << pass;
    EXPECT_TRUE(a.map == b.map) << "pass " << pass;
}

// The first level from its start: a walk right, shots, jumps; with the
// display keys at the passes given (pass -> key held in that pass).
std::vector<PlayRecord> PlayTheFirstLevel(const std::vector<std::pair<int, SDLKey>> &displayKeys)
{
    RigStart();
    Hold(SDLK_RETURN);
    Pass();
    std::vector<PlayRecord> run;
    for (int pass = 0; pass < 140; pass++) {
        ReleaseAll();
        Hold(SDLK_RIGHT);
        if (pass % 30 > 20)
            Hold(SDLK_SPACE);
        if (pass % 40 == 5)
            Hold(SDLK_LALT);
        bool switching = false;
        for (const auto &k : displayKeys)
            if (k.first == pass) {
                Hold(k.second);
                switching = true;
            }
        Pass();
        PlayRecord r;
        r.picture = CaptureBackBuffer();
        // What was shown, unless a switch after it has replaced the screen.
        const Image shown = CaptureScreen();
        EXPECT_EQ(shown.w, windowed ? 640 : 320);
        int differ = 0;
        for (int y = 0; y < 200 && !switching; y++)
            for (int x = 0; x < 320; x++)
                differ += shown.at(windowed ? 2 * x + 1 : x, windowed ? 2 * y + 1 : y) != r.picture.at(x, y);
        EXPECT_EQ(differ, 0) << "pass " << pass;
        r.heroine = player;
        r.cameraX = camX;
        r.cameraY = camY;
        r.points = score;
        r.level = levelIndex;
        r.mode = GameMode;
        r.solids = solidCount;
        r.enemies.assign(Enemies, Enemies + MAX_ENEMIES);
        r.explosions.assign(Explosions, Explosions + MAX_EXPLOSIONS);
        r.explosionRects.assign(ExplosionRects, ExplosionRects + MAX_EXPLOSIONS);
        r.shots[0] = rightShot;
        r.shots[1] = leftShot;
        r.map.assign(TileMap, TileMap + MAP_CELLS);
        run.push_back(r);
    }
    RigStop();
    return run;
}

}  // namespace

TEST(DisplaySwitch, InMidPlayChangesOnlyThePictureSizeAndThePeriod)
{
    const std::vector<PlayRecord> plain = PlayTheFirstLevel({});
    std::vector<std::pair<int, SDLKey>> keys;
    for (int pass = 30; pass < 36; pass++)
        keys.push_back({pass, SDLK_1});
    for (int pass = 70; pass < 73; pass++)
        keys.push_back({pass, SDLK_2});
    keys.push_back({100, SDLK_1});
    keys.push_back({100, SDLK_2});
    const std::vector<PlayRecord> switched = PlayTheFirstLevel(keys);
    ASSERT_EQ(plain.size(), switched.size());
    for (size_t pass = 0; pass < plain.size(); pass++)
        ExpectSameRecords(plain[pass], switched[pass], int(pass));
    EXPECT_GT(plain.back().cameraX, 113);  // the run went somewhere
}
