#include "rig.h"

#include <cstdlib>
#include <cstring>

#include "bass/mixer.h"
#include "input/keys.h"
#include "shell/loop.h"
#include "shell/startup.h"
#include "vclock.h"
#include "video/video.h"

Uint8 rigKeys[SDLK_LAST];

// Every writable record of the game lies between these marks (rig.ld): the
// initialised ones, then the zero-filled ones.
extern "C" char kvGameDataStart[], kvGameDataEnd[], kvGameBssStart[], kvGameBssEnd[];

static std::vector<char> firstData;  // the initialised records as the process began
static bool haveFirstData, running;

// Byte by byte and unchecked: under AddressSanitizer the padding it puts
// between globals is poisoned, and a plain memcpy over it would be reported.
__attribute__((no_sanitize("address"))) static void CopyBytes(volatile char *to, const volatile char *from,
                                                              size_t n)
{
    for (size_t i = 0; i < n; i++)
        to[i] = from[i];
}

__attribute__((no_sanitize("address"))) static void ZeroBytes(volatile char *to, size_t n)
{
    for (size_t i = 0; i < n; i++)
        to[i] = 0;
}

void RigFreshRecords()
{
    const size_t dataSize = size_t(kvGameDataEnd - kvGameDataStart);
    if (!haveFirstData) {
        firstData.resize(dataSize);
        CopyBytes(firstData.data(), kvGameDataStart, dataSize);
        haveFirstData = true;
    } else {
        CopyBytes(kvGameDataStart, firstData.data(), dataSize);
    }
    ZeroBytes(kvGameBssStart, size_t(kvGameBssEnd - kvGameBssStart));
    vclock = VirtualClock();
    ReleaseAll();
    srand(1);  // the sequence of a program that never seeds it
}

bool RigRunning() { return running; }

void RigStart()
{
    if (running)
        RigStop();
    const int offline = bassOffline;
    RigFreshRecords();
    bassOffline = offline;
    RigStartAsTheyStand();
}

void RigStartAsTheyStand()
{
    StartUp();
    keyState = rigKeys;
    running = true;
}

void RigStop()
{
    ShutDown();
    running = false;
}

void Hold(SDLKey key) { rigKeys[key] = 1; }
void Release(SDLKey key) { rigKeys[key] = 0; }
void ReleaseAll() { memset(rigKeys, 0, sizeof rigKeys); }

void (*rigAroundPass)(int before);

int Pass(Uint32 workMs)
{
    if (rigAroundPass) {
        vclock.now += workMs;
        rigAroundPass(1);
        const int r = RunPass();
        rigAroundPass(0);
        return r;
    }
    vclock.now += workMs;
    return RunPass();
}

int Passes(int n, Uint32 workMs)
{
    int r = 1;
    for (int i = 0; i < n && r; i++)
        r = Pass(workMs);
    return r;
}

static Image Capture(SDL_Surface *s)
{
    Image img(s->w, s->h);
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; y++)
        memcpy(&img.px[size_t(y) * s->w], (Uint8 *)s->pixels + y * s->pitch, s->w);
    SDL_UnlockSurface(s);
    return img;
}

Image CaptureBackBuffer() { return Capture(BackBuffer); }
Image CaptureScreen() { return Capture(screen); }

void Press(SDLKey key)
{
    Hold(key);
    Pass();
    Release(key);
    Pass();
}
