// SDL 1.2's start and stop, errors, window dressing, clock, wait and events
// in the browser. The keys come from the page (the keyboard, gamepads and
// the touch controls): key changes queue up until SDL pumps its events (in
// SDL_PollEvent), as on the desktop, so a pass sees the keys as they were
// at the end of the pass before.

#include <emscripten.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "sdl/web.h"

static char errorText[256];
static double startMs;
static double lastYieldMs;

void WebSetError(const char *text)
{
    snprintf(errorText, sizeof errorText, "%s", text);
}

extern "C" char *SDL_GetError(void)
{
    return errorText;
}

extern "C" int SDL_Init(Uint32)
{
    startMs = lastYieldMs = emscripten_get_now();
    return 0;
}

EM_JS(int, WebHasAudio, (), {
    return (typeof AudioContext != 'undefined' || typeof webkitAudioContext != 'undefined') ? 1 : 0;
});

// The audio output is emscripten's SDL audio, which needs Web Audio.
// The page's canvas is the one display; the game asks, to tell a real
// display from SDL's off-screen stand-in.
extern "C" char *SDL_VideoDriverName(char *name, int maxlen)
{
    if (maxlen > 0)
        snprintf(name, (size_t)maxlen, "%s", "canvas");
    return name;
}

extern "C" int SDL_InitSubSystem(Uint32 flags)
{
    if ((flags & SDL_INIT_AUDIO) && !WebHasAudio()) {
        WebSetError("This browser has no Web Audio");
        return -1;
    }
    return 0;
}

extern "C" void SDL_QuitSubSystem(Uint32) {}

// Pads reach the game in the browser through the page (the Gamepad API),
// as keys: SDL's joystick calls see none.
extern "C" int SDL_NumJoysticks(void) { return 0; }
extern "C" SDL_Joystick *SDL_JoystickOpen(int) { return NULL; }
extern "C" int SDL_JoystickEventState(int) { return 0; }
extern "C" void SDL_JoystickUpdate(void) {}
extern "C" int SDL_JoystickNumButtons(SDL_Joystick *) { return 0; }
extern "C" int SDL_JoystickNumAxes(SDL_Joystick *) { return 0; }
extern "C" int SDL_JoystickNumHats(SDL_Joystick *) { return 0; }
extern "C" Uint8 SDL_JoystickGetButton(SDL_Joystick *, int) { return 0; }
extern "C" Sint16 SDL_JoystickGetAxis(SDL_Joystick *, int) { return 0; }
extern "C" Uint8 SDL_JoystickGetHat(SDL_Joystick *, int) { return 0; }

extern "C" void SDL_Quit(void)
{
    SDL_Surface *s = webScreen;
    webScreen = NULL;
    SDL_FreeSurface(s);
}

EM_JS(void, WebSetTitle, (const char *title), {
    document.title = UTF8ToString(title);
});

extern "C" void SDL_WM_SetCaption(const char *title, const char *)
{
    if (title)
        WebSetTitle(title);
}

EM_JS(void, WebSetIcon, (const Uint8 *pixels, int w, int h, int pitch, const SDL_Color *colors, int ncolors), {
    if (Module.kvSetIcon) Module.kvSetIcon(HEAPU8, pixels, w, h, pitch, colors, ncolors);
});

// The window icon becomes the page's icon.
extern "C" void SDL_WM_SetIcon(SDL_Surface *icon, Uint8 *)
{
    if (icon && icon->format->palette)
        WebSetIcon((const Uint8 *)icon->pixels, icon->w, icon->h, icon->pitch, icon->format->palette->colors,
                   icon->format->palette->ncolors);
}

EM_JS(void, WebShowPointer, (int show), {
    if (Module.kvShowPointer) Module.kvShowPointer(show);
});

extern "C" int SDL_ShowCursor(int toggle)
{
    static int shown = SDL_ENABLE;
    if (toggle == SDL_ENABLE || toggle == SDL_DISABLE) {
        shown = toggle;
        WebShowPointer(shown);
    }
    return shown;
}

static void PayOwedWait();

extern "C" Uint32 SDL_GetTicks(void)
{
    PayOwedWait();
    return (Uint32)(WebRunClock(emscripten_get_now()) - startMs);
}

static void Sleep(Uint32 ms)
{
    emscripten_sleep(ms);
    lastYieldMs = emscripten_get_now();
}

// The sound is handed to the browser a few blocks at once, as one buffer:
// when less than two of the mixer's blocks (of 11.6 ms) are left beyond the
// output's 50 ms delay it is filled up to five, as emscripten's SDL audio
// keeps it, but with a quarter of the buffers to make and start, each of
// which costs a slow phone a fifth of a millisecond. The game's mixer fills
// each block as it would the SDL audio callback's. A device that once let
// the queue run dry (the page held up longer than the queue lasts: a busy
// phone, a long collection of garbage) keeps a block more from then on, up
// to six more: a little more delay for the effects, instead of a gap in
// the music every time it happens again.
EM_JS(void, WebQueueSound, (), {
    const audio = typeof SDL != 'undefined' && SDL.audio;
    const ctx = audio && SDL.audioContext;
    if (!ctx || audio.paused) return;
    if (audio.format != 0x8010 || audio.channels != 2) {  // AUDIO_S16LSB stereo, as the game opens it
        audio.queueNewAudioData();
        return;
    }
    const block = audio.bufferDurationSecs;
    const ahead = audio.nextPlayTime - ctx.currentTime;
    if (audio.nextPlayTime && ahead < 0) audio.kvDeeper = Math.min(6, (audio.kvDeeper || 0) + 1);
    const low = 2 + (audio.kvDeeper || 0);
    if (ahead >= audio.bufferingDelay + low * block) return;
    const blocks = Math.min(16, Math.ceil((audio.bufferingDelay + (low + 3) * block - Math.max(ahead, 0)) / block));
    const frames = audio.samples;
    const buffer = ctx.createBuffer(2, blocks * frames, audio.freq);
    const left = buffer.getChannelData(0), right = buffer.getChannelData(1);
    for (let b = 0; b < blocks; b++) {
        dynCall_viii(audio.callback, audio.userdata, audio.buffer, audio.bufferSize);
        const from = audio.buffer >> 1;
        for (let i = 0, o = b * frames; i < frames; i++, o++) {
            left[o] = HEAP16[from + 2 * i] / 32768;
            right[o] = HEAP16[from + 2 * i + 1] / 32768;
        }
    }
    const source = ctx.createBufferSource();
    source.buffer = buffer;
    source.connect(ctx.destination);
    // While sound is still queued the new buffer follows it exactly. Only a
    // queue that ran dry starts again the output's delay from now: started
    // that far ahead while the queue still held less, it would leave a
    // silence of the difference.
    const at = ahead > 0 ? audio.nextPlayTime : ctx.currentTime + audio.bufferingDelay;
    source.start(at);
    audio.nextPlayTime = at + blocks * block;
});

// The browser's own work is done at the start of a wait, so that it takes
// from the wait instead of delaying its end: the page paints the newest
// frame if the display has refreshed since its last paint, and the sound
// output is topped up. emscripten's SDL audio would top it up at the end of
// every wait and from timers of its own, in the time of the passes; both
// are taken away.
EM_JS(void, WebBeforeWait, (), {
    if (Module.kvPaint) Module.kvPaint();
    const audio = typeof SDL != 'undefined' && SDL.audio;
    if (!audio || !audio.queueNewAudioData) return;
    if (audio.callbackRemover) {
        audio.callbackRemover();
        audio.callbackRemover = null;
        audio.caller = () => {};
    }
});

static void BrowsersTurn()
{
    WebBeforeWait();
    WebQueueSound();
}

// A browser's timer fires late, by more on a slow or busy device (a
// millisecond or two on a phone's processor): the wait sleeps until a
// margin before its end and watches the clock for the rest, so that it ends
// on time, as the desktop's does. The margin is how late nine in ten of the
// last 64 timers were, and a quarter of a millisecond: watching the clock
// burns the processor, so a device whose timers are punctual watches it
// for half a millisecond a wait, one whose timers are late for longer.
// Getting back into the game from the wait (ASYNCIFY's rewinding) takes a
// little time too, a tenth of a millisecond on a slow phone: the watching
// stops that much before the end, and the game watches the rest itself.
EM_ASYNC_JS(void, WebSleepUntil, (double end), {
    const wake = Module.kvWake || (Module.kvWake = { margin: 1, late: new Float64Array(64), next: 0, back: 0, left: 0 });
    const due = end - wake.margin;
    if (due - performance.now() > 0.5) {
        // A timer set from a timer's task five deep waits at least 4 ms, so
        // the wait's timer is set from a message's task, which starts anew.
        if (!wake.channel) {
            wake.channel = new MessageChannel();
            wake.channel.port1.onmessage = () => wake.hop();
        }
        await new Promise((r) => { wake.hop = r; wake.channel.port2.postMessage(0); });
        await new Promise((r) => setTimeout(r, due - performance.now()));
        wake.late[wake.next++ % 64] = performance.now() - due;
        const sorted = wake.late.slice().sort();
        wake.margin = Math.min(4, Math.max(0.5, sorted[57] + 0.25));
    }
    while (performance.now() < end - wake.back) {}
    wake.left = performance.now();
});

// Back in the game: how long the way back took.
EM_JS(void, WebBackFromWait, (), {
    const wake = Module.kvWake;
    wake.back = Math.min(1, 0.9 * wake.back + 0.1 * (performance.now() - wake.left));
});

// A hidden page runs no passes: the game waits at the end of the pass it is
// in, once the keys the page let go of on hiding are in the key table, until
// the page is shown again; the frame pacer starts a new period then, so the
// game goes on from the next pass at its pace. (The page suspends the sound
// meanwhile.)
EM_JS(int, WebPageHidden, (), {
    return typeof document != 'undefined' && document.hidden ? 1 : 0;
});

EM_ASYNC_JS(void, WebWaitUntilShown, (), {
    await new Promise((shown) => {
        const seen = () => {
            if (document.hidden) return;
            document.removeEventListener('visibilitychange', seen);
            shown();
        };
        document.addEventListener('visibilitychange', seen);
    });
});

static void HoldWhileHidden()
{
    if (!WebPageHidden())
        return;
    WebWaitUntilShown();
    lastYieldMs = emscripten_get_now();
}

// When the millisecond clock will have counted ms more than it reads at now:
// the next tick's start, ms - 1 ticks on. The game asks for its waits in
// the clock's whole milliseconds, counted from the tick it read.
static double TicksLater(double now, Uint32 ms)
{
    const double clock = WebRunClock(now) - startMs;
    const double intoTick = clock - floor(clock);
    return now + ms - intoTick + 0.001;  // a microsecond past the boundary, against rounding
}

// The wait gives the browser its turn: the page paints, keys arrive, sound
// is queued. It lasts until the clock has counted ms: the frame pacer asks
// for the whole milliseconds left to its period's end, so the wait ends as
// the period does, and not a fraction of a tick after it. (Ending ms after
// the call, part way into a tick, would leave the next pass less than a
// tick to reach its pacer before the period grows by one, which a slow
// phone's pass does not always do.)
static void WaitUntil(double end)
{
    BrowsersTurn();
    WebSleepUntil(end);
    WebBackFromWait();
    while (emscripten_get_now() < end) {
    }
    lastYieldMs = emscripten_get_now();
}

// The end of a wait the game asked for and has not yet had to see; 0 when
// none is owed.
static double owedEnd;

// A wait is owed until the game next reads the clock, which the frame pacer
// does: the game cannot tell it from a wait made at once, but the work
// between (the rest of the pass, the event poll, the next pass up to its
// pacer) is done before the wait instead of after it. So the pacer reads the
// clock the moment the wait ends, and a slow phone's pass no longer has to
// fit in the tick the wait ends in. Keys and sound are no later for it: the
// same work follows the same wait's end, only one pass on. (An effect
// started reads the clock too, to place its start: a pass that starts one
// pays the wait there.)
static void PayOwedWait()
{
    if (owedEnd == 0)
        return;
    const double end = owedEnd;
    owedEnd = 0;
    WaitUntil(end);
}

// A wait of 0 returns at once, as on the desktop. The page's holds (a test
// stepping the game, a run paused) keep the game here.
extern "C" void SDL_Delay(Uint32 ms)
{
    PayOwedWait();
    while (WebHoldRequested() || WebRunHolds()) {
        BrowsersTurn();
        Sleep(10);
    }
    if (ms == 0)
        return;
    if (WebRunSpeed() > 1) {
        BrowsersTurn();
        Sleep(ms / 2);  // a run watched at double speed: on the timers alone, so that the page answers
        return;
    }
    owedEnd = TicksLater(emscripten_get_now(), ms);
}

// --- Keys and events ---

static Uint8 keyTable[SDLK_LAST];

extern "C" Uint8 *SDL_GetKeyState(int *numkeys)
{
    if (numkeys)
        *numkeys = SDLK_LAST;
    return keyTable;
}

enum { PENDING = 256, QUEUE = 128 };
static struct {
    Uint16 sym;
    Uint8 down;
} pending[PENDING];
static int pendingHead, pendingCount;
static SDL_Event queue[QUEUE];
static int queueHead, queueCount;

// A key change from the page; it waits for the next pump.
extern "C" EMSCRIPTEN_KEEPALIVE void kv_web_key(int sym, int down)
{
    if (sym <= 0 || sym >= SDLK_LAST || pendingCount == PENDING)
        return;
    int i = (pendingHead + pendingCount++) % PENDING;
    pending[i].sym = (Uint16)sym;
    pending[i].down = down != 0;
}

// The page reads the gamepads here, once a pass, just before the key table
// takes the changes: what they hold becomes key changes like the keyboard's.
EM_JS(void, WebPollPads, (), {
    if (Module.kvPoll) Module.kvPoll();
});

// The key table changes for every key change; the event queue keeps what
// fits (SDL 1.2 holds at most 127 events). A game that has not waited for a
// while (passes slower than their period, a timed demo) gives the browser its
// turn here, so that the page never freezes. A hidden page holds the game
// here, with the keys it let go of already taken.
static void Pump()
{
    if (emscripten_get_now() - lastYieldMs >= 50) {
        BrowsersTurn();
        Sleep(0);
    }
    WebPollPads();
    for (; pendingCount > 0; pendingCount--, pendingHead = (pendingHead + 1) % PENDING) {
        const int sym = pending[pendingHead].sym, down = pending[pendingHead].down;
        keyTable[sym] = down ? SDL_PRESSED : SDL_RELEASED;
        if (queueCount == QUEUE - 1)
            continue;
        SDL_Event &e = queue[(queueHead + queueCount++) % QUEUE];
        memset(&e, 0, sizeof e);
        e.key.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = (SDLKey)sym;
    }
    HoldWhileHidden();
}

// The game polls once at the end of every pass.
extern "C" int SDL_PollEvent(SDL_Event *event)
{
    Pump();
    WebRunAfterPass();
    WebAfterPass();
    if (queueCount == 0)
        return 0;
    if (event) {
        *event = queue[queueHead];
        queueHead = (queueHead + 1) % QUEUE;
        queueCount--;
    }
    return 1;
}

// --- Threads ---

// The page gives the game one thread: none more is made, and the sound
// back-end does without (what its thread would do is done on the game's).
extern "C" SDL_Thread *SDL_CreateThread(int (*)(void *), void *)
{
    WebSetError("There are no threads in the browser");
    return NULL;
}

extern "C" void SDL_WaitThread(SDL_Thread *, int *status)
{
    if (status)
        *status = -1;
}

extern "C" SDL_sem *SDL_CreateSemaphore(Uint32)
{
    WebSetError("There are no threads in the browser");
    return NULL;
}

extern "C" void SDL_DestroySemaphore(SDL_sem *) {}

extern "C" int SDL_SemPost(SDL_sem *)
{
    return -1;
}

extern "C" int SDL_SemWait(SDL_sem *)
{
    return -1;
}
