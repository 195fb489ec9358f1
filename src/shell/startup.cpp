// Start-up: SDL, the audio back-end, the window, every asset the game will
// ever use, the sprite-frame tables and the first values of the records.
// Shutdown releases what start-up made.

#include "shell/startup.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "actors/enemies.h"
#include "actors/player.h"
#include "actors/shots.h"
#include "bass/bass.h"
#include "core/datafile.h"
#include "frontend/menu.h"
#include "input/keys.h"
#include "input/pad.h"
#include "sound/sound.h"
#include "video/display.h"
#include "video/hud.h"
#include "video/text.h"
#include "video/video.h"
#include "world/level.h"
#include "world/pickups.h"
#include "world/tiles.h"

// Every art file is checked before SDL starts, so a bad one never opens a
// window and never reaches a blit.
static void CheckData()
{
    struct stat st;
    if (stat("data", &st) != 0 || !S_ISDIR(st.st_mode)) {
        fprintf(stderr, "kestravale: there is no data/ folder here; start the game from its top folder "
                        "(the one holding data/), for example with ./play\n");
        exit(1);
    }
    char why[160];
    for (const ArtFile &a : ArtFiles)
        if (CheckArtFile(a.path, a.w, a.h, why, sizeof why) < 0)
            DataFault(a.path, why);
}

// Started where there is no display (over ssh, from cron, in a container),
// SDL falls back to a driver that draws nowhere; the game says so and ends
// at once instead of running unseen.
static void NeedADisplay(const char *driver)
{
    if (!DisplayIsMissing(getenv("SDL_VIDEODRIVER"), driver))
        return;
    fprintf(stderr, "kestravale: no display: there is no screen to open the window on (DISPLAY and "
                    "WAYLAND_DISPLAY are not set, or no display server answers); start it from a desktop "
                    "session\n");
    SDL_Quit();
    exit(1);
}

// A picture SDL then fails to load (changed since the check, or no memory)
// ends start-up too, but only after the audio and SDL are closed: leaving
// with the audio thread running can crash in exit's clean-up.
SDL_Surface *LoadArt(const ArtFile &a)
{
    SDL_Surface *s = SDL_LoadBMP_RW(SDL_RWFromFile(a.path, "rb"), 1);
    char why[160];
    if (CheckLoadedSurface(s, a.w, a.h, why, sizeof why) < 0) {
        SDL_FreeSurface(s);
        ShutDown();
        DataFault(a.path, why);
    }
    return s;
}

static void FillStrip(SDL_Rect *frames, int count, int w, int h)
{
    for (int i = 0; i < count; i++)
        frames[i] = {(Sint16)(w * i), 0, (Uint16)w, (Uint16)h};
}

static void FillTables()
{
    FillStrip(PlayerFrames, 54, 16, 64);
    FillStrip(GunFrames, 2, 32, 16);
    FillStrip(ExplosionFrames, 5, 16, 16);
    for (int i = 0; i < MAX_EXPLOSIONS; i++) {
        Explosions[i] = {};
        ExplosionRects[i] = {0, 0, 16, 16};
    }
    for (Pickup &p : Pickups) {
        p.active = 0;
        p.rect = {0, 0, 16, 16};
    }
    FillStrip(OgreFrames, 13, 32, 48);
    for (Enemy &e : Enemies)
        e = {};
    FillStrip(TileFrames, TILE_COUNT, 16, 16);
    FillStrip(SpinnerFrames, 23, 16, 16);
    FillStrip(GlyphRects, 256, 8, 8);
    for (SDL_Rect &r : GlyphDestRects)
        r = {0, 0, 8, 8};
    FillStrip(HealthFrames, 7, 80, 8);
    FillStrip(SpikeFrames, 8, 16, 16);
    FillStrip(BallFrames, 10, 16, 16);
}

static void FirstValues()
{
    HealthBarRect = {HEALTH_BAR_X, HEALTH_BAR_Y, 0, 0};
    WriteScoreText(score);
    LogoRect = {LOGO_X, LOGO_Y, 0, 0};
    MenuCursor = {MENU_CURSOR_X, MENU_START_Y, 0, 0};
    MenuImageRect = {MENU_IMAGE_X, MENU_IMAGE_Y, 0, 0};
    GunBarRect = {GUN_BAR_X, GUN_BAR_Y, 0, 0};
    SDL_ShowCursor(SDL_DISABLE);
    levelIndex = 0;
    levelComplete = 0;
    player.rect = {START_X, START_Y, 16, 64};
    player.vSpeed = 0;
    player.jumpLatch = 0;
    rightShot.rect.x = SHOT_PARK;
    rightShot.rect.y = SHOT_PARK;
    leftShot.rect.x = SHOT_PARK;
    leftShot.rect.y = SHOT_PARK;
    SetUpLevel();
    BackdropRect = {VIEW_X, VIEW_Y, 0, 0};
}

void StartUp()
{
    CheckData();

    windowed = 1;
    framePeriodMs = 9;
    AskForSharpScaling();
    AskForStandardPads();
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0) {
        fprintf(stderr, "kestravale: SDL could not start its video: %s\n", SDL_GetError());
        exit(1);
    }
    char driver[32] = "";
    SDL_VideoDriverName(driver, sizeof driver);
    NeedADisplay(driver);
    flipEveryFrame = DriverTakesEveryFrame(driver);
    OpenPads();
    BASS_Init(1, 44100, 0, 0, NULL);

    // SDL keeps its own copy of the icon, so the surface goes at once.
    SDL_Surface *icon = LoadArt(ArtFiles[0]);
    SDL_WM_SetIcon(icon, NULL);
    SDL_FreeSurface(icon);
    SDL_WM_SetCaption("Kestra Vale - made by the Vale crew, 2026", NULL);

    keyState = SDL_GetKeyState(NULL);
    SetDisplayMode(1);
    if (!screen) {
        fprintf(stderr, "kestravale: no 640x400 8-bit window could be opened: %s\n", SDL_GetError());
        ShutDown();
        exit(1);
    }

    for (int i = 1; i < ART_FILE_COUNT; i++)
        *ArtFiles[i].surface = LoadArt(ArtFiles[i]);

    KeyArt();
    PrepareClearedFrame();
    PrepareTiles();
    PrepareHud();

    for (int i = 0; i < SFX_COUNT; i++)
        EffectSamples[i] = BASS_SampleLoad(FALSE, EffectFiles[i], 0, 0, 3, BASS_SAMPLE_OVER_VOL);
    for (int i = 0; i < 4; i++)
        MusicModules[i] = BASS_MusicLoad(FALSE, MusicFiles[i], 0, 0, BASS_MUSIC_RAMP, 0);

    FillTables();
    FirstValues();
}

void ReleaseSurfaces() { FreeArt(); }

void ShutDown()
{
    ReleaseSurfaces();
    BASS_Free();
    ClosePads();
    SDL_Quit();
    screen = NULL;
}
