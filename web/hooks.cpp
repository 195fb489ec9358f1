// Hooks for the browser test, driven from web/test.js: hold the game at a
// chosen frame so that the canvas can be read, see which music plays, and
// watch a demo that starts on a level (the game's own --playdemo or
// --timedemo) as tools/levels/replay.h watches a recorded run on the
// desktop: the pass on which the level is left, counted from the one after
// Start, and the frames of chosen passes. Built into the test build of the
// web version only (scripts/web-build.sh --test), never into the page
// players get.

#include <emscripten.h>

#include <cstdlib>
#include <cstring>

#include <libopenmpt/libopenmpt.h>

#include "bass/mixer.h"
#include "sdl/web.h"
#include "shell/demo.h"
#include "core/mode.h"
#include "sound/sound.h"
#include "world/level.h"
#include "world/tilemap.h"

// The size of the frame last flipped (the page paints the window's picture
// at half of it).
extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_frame_width() { return WebFrameWidth(); }
extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_frame_height() { return WebFrameHeight(); }

// How many frames have been flipped, and which of them the canvas shows.
extern "C" EMSCRIPTEN_KEEPALIVE unsigned kv_web_flips() { return WebFlips(); }
extern "C" EMSCRIPTEN_KEEPALIVE unsigned kv_web_painted() { return WebPainted(); }

static unsigned holdAtFlip;  // hold once this many frames have been flipped; 0: never
static int holdInMode = -1;  // hold at the first wait of a pass in this mode; -1: never
static int holdAfterPass;    // hold at the first wait once this many passes have ended; 0: never

// Holds until the next call; kv_web_hold(0, -1) lets the game go on.
extern "C" EMSCRIPTEN_KEEPALIVE void kv_web_hold(int flips, int mode)
{
    holdAtFlip = flips > 0 ? (unsigned)flips : 0;
    holdInMode = mode;
    holdAfterPass = 0;
}

// Steps the game pass by pass: held after pass n, in the wait of pass n + 1,
// a key change the page makes is in the key table from pass n + 2 on.
extern "C" EMSCRIPTEN_KEEPALIVE void kv_web_hold_after(int passes)
{
    holdAfterPass = passes;
}

// Every pass the game has ended since it started; the last pass whose
// Enter in the menu began play, and the one on which that play left its
// first level.
static int passesEnded, startPass, levelLeftAt, lastLevel, lastMode;

int WebHoldRequested()
{
    return (holdAtFlip && WebFlips() >= holdAtFlip) || (holdInMode >= 0 && (int)GameMode == holdInMode) ||
           (holdAfterPass > 0 && passesEnded >= holdAfterPass);
}

extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_passes() { return passesEnded; }
extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_key_held(int sym) { return SDL_GetKeyState(NULL)[sym]; }
extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_game_mode() { return (int)GameMode; }
// The level in play (1..3) and a cell of its map, as the game holds them.
extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_level() { return levelIndex + 1; }
extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_map_cell(int i) { return i >= 0 && i < MAP_CELLS ? TileMap[i] : -1; }

// The pass, counted from the one after Start as a demo counts it, on which
// the play begun last left its first level; 0 while it has not.
extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_level_left() { return levelLeftAt ? levelLeftAt - startPass : 0; }

static void CountPass()
{
    passesEnded++;
    if (GameMode == Playing && lastMode != Playing) {
        startPass = passesEnded;
        levelLeftAt = 0;
    } else if (GameMode == Playing && levelIndex != lastLevel && !levelLeftAt) {
        levelLeftAt = passesEnded;
    }
    lastMode = GameMode;
    lastLevel = levelIndex;
}

// The module heard (0 the menu's, 1 to 3 the levels'), or -1 while none is,
// and how far into it the mixer has played, in milliseconds.
static BassModule *Heard()
{
    if (currentMusic < 0 || currentMusic > 3)
        return NULL;
    BassModule *m = BassFindModule(MusicModules[currentMusic]);
    return m && m->playing && bass.running ? m : NULL;
}

extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_music() { return Heard() ? currentMusic : -1; }

extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_music_ms()
{
    BassModule *m = Heard();
    return m ? (int)(openmpt_module_get_position_seconds(m->mod) * 1000) : -1;
}

// --- Watching a demo ---

enum { MAX_CAPTURES = 64 };
static struct {
    int on, done;
    int passes;  // passes since Start
    int completedPass, gameOver;
    int captures[MAX_CAPTURES];  // passes whose frame goes to the page
    int captureCount;
} watch;

EM_JS(void, WebCaptured, (int pass, const Uint8 *pixels, int w, int h), {
    if (Module.kvCaptured) Module.kvCaptured(pass, HEAPU8.slice(pixels, pixels + w * h), w, h);
});

extern "C" EMSCRIPTEN_KEEPALIVE void kv_web_watch(const int *captures, int count)
{
    memset(&watch, 0, sizeof watch);
    watch.captureCount = count < MAX_CAPTURES ? count : MAX_CAPTURES;
    memcpy(watch.captures, captures, sizeof(int) * watch.captureCount);
    watch.on = 1;
}

extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_watch_done() { return watch.done; }
extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_watch_passes() { return watch.passes; }
extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_watch_completed() { return watch.completedPass; }
extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_watch_game_over() { return watch.gameOver; }

// At the end of every pass. The demo's first pass is the menu's Start.
void WebAfterPass()
{
    CountPass();
    if (!watch.on || watch.done)
        return;
    if (demo.level == 0) {
        watch.done = 1;  // no demo that starts on a level is played
        return;
    }
    watch.passes = demo.passesDone - 1;
    if (watch.passes >= 1) {
        for (int i = 0; i < watch.captureCount; i++)
            if (watch.captures[i] == watch.passes)
                WebCaptured(watch.passes, WebFrameIndices(), WebFrameWidth(), WebFrameHeight());
        if (levelIndex != demo.level - 1)
            watch.completedPass = watch.passes;
        else if (GameMode == Menu)
            watch.gameOver = 1;
    }
    watch.done = watch.completedPass || watch.gameOver || (demo.mode != DemoPlayback && demo.mode != DemoTimed);
}
