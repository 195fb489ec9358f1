// Hooks for the browser test, all driven from the page: hold the game at a
// chosen frame so that the canvas can be read, and feed a recorded run's
// keys pass by pass from the menu's Start, as tools/levels/replay.h plays it
// on the desktop (levelIndex chosen, Enter held for one pass, then one set of
// keys per pass), noting the pass on which the level was left.

#include <emscripten.h>

#include <cstdlib>
#include <cstring>

#include "sdl/web.h"
#include "shell/loop.h"
#include "world/level.h"

extern "C" unsigned kv_web_flips();

static unsigned holdAtFlip;  // hold once this many frames have been flipped; 0: never
static int holdInMode = -1;  // hold at the first wait of a pass in this mode; -1: never

// Holds until the next call; kv_web_hold(0, -1) lets the game go on.
extern "C" EMSCRIPTEN_KEEPALIVE void kv_web_hold(int flips, int mode)
{
    holdAtFlip = flips > 0 ? (unsigned)flips : 0;
    holdInMode = mode;
}

int WebHoldRequested()
{
    return (holdAtFlip && kv_web_flips() >= holdAtFlip) || (holdInMode >= 0 && (int)GameMode == holdInMode);
}

extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_game_mode() { return (int)GameMode; }

// --- Feeding a recorded run ---

enum { FEED_NONE, FEED_ARMED, FEED_RUNNING, FEED_DONE };
enum { KEY_RIGHT = 1, KEY_LEFT = 2, KEY_JUMP = 4, KEY_FIRE = 8, KEY_UP = 16, KEY_DOWN = 32, KEY_ENTER = 64, KEY_ESCAPE = 128 };

static struct {
    int state;
    Uint8 *keys;  // one set of keys per pass
    int count;
    int level;    // 0-based
    int fed;      // passes run since Start: 0 is the menu pass of Start
    int completedPass, gameOver, wrongMode;
    int *captures;  // passes whose frame goes to the page
    int captureCount;
} feed;

EM_JS(void, WebCaptured, (int pass, const Uint8 *pixels, int w, int h), {
    if (Module.kvCaptured) Module.kvCaptured(pass, HEAPU8.slice(pixels, pixels + w * h), w, h);
});

extern "C" const Uint8 *kv_web_frame_indices();
extern "C" int kv_web_frame_width();
extern "C" int kv_web_frame_height();

// keys and captures are the page's to free once this returns.
extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_feed(int level, const Uint8 *keys, int count, const int *captures,
                                                  int captureCount)
{
    free(feed.keys);
    free(feed.captures);
    memset(&feed, 0, sizeof feed);
    feed.keys = (Uint8 *)malloc(count + 1);
    feed.captures = (int *)malloc(sizeof(int) * (captureCount + 1));
    if (!feed.keys || !feed.captures || level < 1 || level > 3)
        return 0;
    memcpy(feed.keys, keys, count);
    memcpy(feed.captures, captures, sizeof(int) * captureCount);
    feed.count = count;
    feed.captureCount = captureCount;
    feed.level = level - 1;
    feed.state = FEED_ARMED;
    return 1;
}

extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_feed_state() { return feed.state; }
extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_feed_passes() { return feed.fed; }
extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_feed_completed() { return feed.completedPass; }
extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_feed_game_over() { return feed.gameOver; }
extern "C" EMSCRIPTEN_KEEPALIVE int kv_web_feed_wrong_mode() { return feed.wrongMode; }

int WebFeeding()
{
    return feed.state == FEED_ARMED || feed.state == FEED_RUNNING;
}

static void SetKeys(Uint8 *table, int keys)
{
    memset(table, 0, SDLK_LAST);
    table[SDLK_RIGHT] = (keys & KEY_RIGHT) != 0;
    table[SDLK_LEFT] = (keys & KEY_LEFT) != 0;
    table[SDLK_LALT] = (keys & KEY_JUMP) != 0;
    table[SDLK_SPACE] = (keys & KEY_FIRE) != 0;
    table[SDLK_UP] = (keys & KEY_UP) != 0;
    table[SDLK_DOWN] = (keys & KEY_DOWN) != 0;
    table[SDLK_RETURN] = (keys & KEY_ENTER) != 0;
    table[SDLK_ESCAPE] = (keys & KEY_ESCAPE) != 0;
}

static void Finish(Uint8 *table)
{
    feed.state = FEED_DONE;
    SetKeys(table, 0);
}

// At the end of every pass. The pass just run is number feed.fed.
void WebFeedKeys(Uint8 *table)
{
    if (feed.state == FEED_ARMED) {
        if (GameMode != Menu) {
            feed.wrongMode = 1;
            Finish(table);
            return;
        }
        levelIndex = feed.level;
        SetKeys(table, KEY_ENTER);
        feed.state = FEED_RUNNING;
        return;
    }
    if (feed.state != FEED_RUNNING)
        return;
    if (feed.fed > 0) {
        for (int i = 0; i < feed.captureCount; i++)
            if (feed.captures[i] == feed.fed)
                WebCaptured(feed.fed, kv_web_frame_indices(), kv_web_frame_width(), kv_web_frame_height());
        if (levelIndex != feed.level)
            feed.completedPass = feed.fed;
        else if (GameMode == Menu)
            feed.gameOver = 1;
        if (feed.completedPass || feed.gameOver) {
            Finish(table);
            return;
        }
    }
    if (feed.fed == feed.count) {
        Finish(table);
        return;
    }
    SetKeys(table, feed.keys[feed.fed]);
    feed.fed++;
}
