// Runs in the browser (web/runs.js): the page records every session with
// the game's own --record, and is told here when a level ends (its exit
// reached, or the heroine's last life lost), with the pass it ended on,
// counted from the one after Start as a timed demo counts it, and the keys
// the recording has not written yet. While a run is watched (--playdemo)
// the page can pause it, step it a pass at a time, play it at twice the
// pace, or end it and hand the game to the player at the title menu. The
// game's passes are the same at every pace: only the clock runs faster.

#include <emscripten.h>

#include <cstdio>
#include <cstring>

#include "actors/player.h"
#include "core/mode.h"
#include "input/keys.h"
#include "sdl/web.h"
#include "shell/demo.h"
#include "world/level.h"

static struct {
    int passes;            // every pass the game has ended
    int startPass;         // the pass of the last Start
    int inLevel;           // a level is in play since that Start
    int skipped;           // the level was left with key 3
    int lastMode, lastLevel;
    int watching;          // a demo is being played back
    int paused, stepsLeft, stopWanted;
    double speed;          // the clock's pace: 1 or 2
    double realBase, gameBase;  // the clock is gameBase + (real - realBase) * speed
} run = {0, 0, 0, 0, -1, -1, 0, 0, 0, 0, 1.0, 0.0, 0.0};

EM_JS(void, WebRunLevelEnded, (int exitReached, int level, int pass, int skipped, const char *tail), {
    if (Module.kvLevelEnded) Module.kvLevelEnded(exitReached != 0, level, pass, skipped != 0, UTF8ToString(tail));
});

EM_JS(void, WebRunWatchEnded, (), {
    if (Module.kvWatchEnded) Module.kvWatchEnded();
});

// The recording so far is in its file once the file is flushed, but for its
// last run of keys, still being counted: that run is handed over as a line.
static void Report(int exitReached, int level, int pass)
{
    char tail[40] = "";
    if (demo.mode == DemoRecord && demo.out) {
        fflush(demo.out);
        PendingRunLine(tail, sizeof tail);
    }
    WebRunLevelEnded(exitReached, level, pass, run.skipped, tail);
}

// The level played since Start ends when the game is set on another level
// (its exit) or goes to the menu with no life left; Escape to the menu ends
// it unfinished, with nothing to report.
static void WatchTheLevel()
{
    if (GameMode == Playing && run.lastMode != Playing) {
        run.startPass = run.passes;
        run.inLevel = 1;
        run.skipped = 0;
    } else if (run.inLevel && levelIndex != run.lastLevel) {
        run.inLevel = 0;
        Report(1, run.lastLevel + 1, run.passes - run.startPass);
        if (GameMode == Playing) {  // the next level: timed from here, but not a fresh start
            run.startPass = run.passes;
            run.inLevel = 1;
            run.skipped = 0;
        }
    } else if (run.inLevel && GameMode != Playing) {
        run.inLevel = 0;
        if (player.lives <= 0)
            Report(0, levelIndex + 1, run.passes - run.startPass);
    }
    if (GameMode == Playing && keyState[SDLK_3])
        run.skipped = 1;
    run.lastMode = GameMode;
    run.lastLevel = levelIndex;
}

void WebRunAfterPass()
{
    run.passes++;
    if (run.stopWanted) {
        run.stopWanted = 0;
        StopPlayback();
    }
    WatchTheLevel();
    if (run.stepsLeft > 0)
        run.stepsLeft--;
    if (demo.mode == DemoPlayback)
        run.watching = 1;
    else if (run.watching) {
        run.watching = 0;
        run.paused = run.stepsLeft = 0;
        kv_run_speed(1);
        WebRunWatchEnded();
    }
}

int WebRunHolds()
{
    return run.paused && run.stepsLeft == 0;
}

double WebRunSpeed()
{
    return run.speed;
}

double WebRunClock(double realMs)
{
    return run.gameBase + (realMs - run.realBase) * run.speed;
}

// The page's controls while a run is watched.
extern "C" EMSCRIPTEN_KEEPALIVE void kv_run_pause(int paused)
{
    run.paused = paused != 0;
    run.stepsLeft = 0;
}

// Held, the game plays one pass more and holds again in the next one's wait.
extern "C" EMSCRIPTEN_KEEPALIVE void kv_run_step()
{
    if (run.paused)
        run.stepsLeft = 1;
}

extern "C" EMSCRIPTEN_KEEPALIVE void kv_run_speed(int times)
{
    const double now = emscripten_get_now();
    run.gameBase = WebRunClock(now);
    run.realBase = now;
    run.speed = times == 2 ? 2.0 : 1.0;
}

// Ends the run watched after the pass in play, as if its keys had run out.
extern "C" EMSCRIPTEN_KEEPALIVE void kv_run_stop()
{
    run.stopWanted = demo.mode == DemoPlayback;
    run.paused = run.stepsLeft = 0;
}

// Passes ended since the game started.
extern "C" EMSCRIPTEN_KEEPALIVE int kv_run_passes()
{
    return run.passes;
}
