// The main loop. Each pass runs one frame of the current mode; a mode change
// made during a pass takes effect at the next pass. Every speed and timer of
// the game counts passes, so the FramePacer's rhythm is the game's speed.

#include "shell/loop.h"

#include "actors/enemies.h"
#include "actors/player.h"
#include "actors/shots.h"
#include "core/mode.h"
#include "frontend/help.h"
#include "frontend/menu.h"
#include "input/keys.h"
#include "input/pad.h"
#include "shell/demo.h"
#include "shell/startup.h"
#include "sound/sound.h"
#include "video/hud.h"
#include "video/video.h"
#include "world/level.h"
#include "world/pickups.h"
#include "world/tiles.h"

SDL_Event lastEvent;
Uint32 nextTick;

// The period restarts from the moment it is found over, not from its old
// end: a quick pass waits out the period and the pass after it waits nothing.
Uint32 FramePacer()
{
    Uint32 now = SDL_GetTicks();
    if (nextTick > now)
        return nextTick - now;
    nextTick = now + framePeriodMs;
    return 0;
}

// Every pass waits out its frame, except in a demo timed as fast as the
// machine goes; the pacer runs all the same. A display's frame is flipped
// here, at the start of the wait, which is shortened by what the flip took:
// the passes keep their times.
static void FrameWait()
{
    Uint32 wait = FramePacer();
    if (framePending && ShowNewestFrame(SDL_GetTicks(), wait > 0) && wait > 0) {
        const Uint32 now = SDL_GetTicks();
        wait = nextTick > now ? nextTick - now : 0;
    }
    if (DemoWaits())
        SDL_Delay(wait);
}

static void MenuPass()
{
    SelectMusic(0);
    UpdateMusic();
    DrawMenu();
    PresentFrame();
    FrameWait();
    AdvanceSpinner();
    HandleMenuKeys();  // Up, Down, Enter, then the latch release; Quit ends here
}

static void HelpPass()
{
    DrawHelpPage();
    HandleHelpKeys();  // Escape, Space, then the latch release
    PresentFrame();
    FrameWait();
}

// A switch the display refused leaves the mode as it was; it is not tried
// again until its key has been let go, so a held key does not reopen the
// window every pass.
static SDLKey refusedSwitchKey;

static void SwitchDisplay(SDLKey key, int wantWindowed)
{
    if (!keyState[key] || windowed == wantWindowed || refusedSwitchKey == key)
        return;
    SetDisplayMode(wantWindowed);
    if (windowed != wantWindowed)
        refusedSwitchKey = key;
}

static void DisplayKeys()
{
    if (refusedSwitchKey != SDLK_UNKNOWN && !keyState[refusedSwitchKey])
        refusedSwitchKey = SDLK_UNKNOWN;
    SwitchDisplay(SDLK_1, 0);
    SwitchDisplay(SDLK_2, 1);
}

static void LevelSkipKey()
{
    if (keyState[SDLK_3] && keyLatch == 0) {
        keyLatch = 1;
        levelComplete = 1;
    } else if (!keyState[SDLK_3]) {
        keyLatch = 0;
    }
}

static void EscapeFromPlay()
{
    if (!keyState[SDLK_ESCAPE])
        return;
    PlayEffect(SfxMenu2);
    spinnerTimer = 0;
    spinnerFrame = 0;
    GameMode = Menu;
}

static void PlayingPass()
{
    UpdateMusic();
    DrawBackdrop();
    DrawTiles();
    DrawEnemies();
    CheckPlayerDeath();
    DrawPlayer();
    DrawShots();
    UpdateExplosions();
    if (player.hitPoints > 0)
        DrawGun();
    ApplyGravity();
    ScanPickups();
    CollideWithSolids();
    CollectPickups();
    ShootEnemies();
    DrawHud(player.lives);
    PresentFrame();
    FrameWait();
    // Everything from here on acts on the picture of the next frame.
    UpdateEnemies();
    MoveShots();
    AdvancePlayerAnimation();
    UpdateIdlePose();
    DisplayKeys();
    LevelSkipKey();
    if (player.hitPoints > 0)
        HandlePlayerKeys();
    AdvanceLevel();
    EscapeFromPlay();
}

int RunPass()
{
    if (!DemoHoldsKeys())
        ReadPads();  // what the pads hold joins the keyboard's keys
    BeforeDemoPass();
    quitChosen = 0;
    switch (GameMode) {
    case Menu:
        MenuPass();
        break;
    case Help:
        HelpPass();
        break;
    case Playing:
        PlayingPass();
        break;
    }
    const int demoGoesOn = AfterDemoPass();
    if (quitChosen || !demoGoesOn)
        return 0;
    // One event per pass. A window close ends the loop only when the pass
    // after it finds nothing pending; another event taken first overwrites it.
    int pending = SDL_PollEvent(&lastEvent);
    return !(pending == 0 && lastEvent.type == SDL_QUIT);
}

// The command line holds nothing but the demo options; with none the game
// starts at its title menu.
extern "C" int SDL_main(int argc, char *argv[])
{
    const int status = ReadOptions(argc, argv);
    if (status >= 0)
        return status;
    StartUp();
    if (BeginDemo() < 0) {
        ShutDown();
        return 1;
    }
    while (RunPass()) {
    }
    EndDemo();
    ShutDown();
    return 0;
}
