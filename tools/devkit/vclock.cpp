#include "vclock.h"

#include <chrono>

VirtualClock vclock;

void PushEvent(Uint8 type)
{
    SDL_Event e = {};
    e.type = type;
    vclock.events.push_back(e);
}

extern "C" Uint32 __wrap_SDL_GetTicks(void)
{
    return vclock.now;
}

extern "C" void __wrap_SDL_Delay(Uint32 ms)
{
    vclock.delays.push_back(ms);
    vclock.now += ms;
}

// A timed demo measures its passes on std::chrono::steady_clock, the
// machine's own; a test that sets vclock.steady has it read the virtual
// clock, so that every pass takes the time the test gives it. The linker
// sends every call here by the function's C++ name (tools/CMakeLists.txt).
using SteadyNow = std::chrono::steady_clock::time_point();
extern "C" SteadyNow __real__ZNSt6chrono3_V212steady_clock3nowEv, __wrap__ZNSt6chrono3_V212steady_clock3nowEv;
extern "C" std::chrono::steady_clock::time_point __wrap__ZNSt6chrono3_V212steady_clock3nowEv()
{
    if (vclock.steady)
        return std::chrono::steady_clock::time_point(std::chrono::milliseconds(vclock.now));
    return __real__ZNSt6chrono3_V212steady_clock3nowEv();
}

extern "C" int __wrap_SDL_PollEvent(SDL_Event *event)
{
    vclock.polls++;
    if (vclock.events.empty())
        return 0;
    if (event)
        *event = vclock.events.front();
    vclock.events.pop_front();
    return 1;
}

int EffectCount(SoundEffect effect)
{
    int n = 0;
    for (SoundEffect e : vclock.effects)
        n += e == effect;
    return n;
}

// Every effect the game plays is logged, then played as usual. The linker
// sends the game's calls here by PlayEffect's C++ name (tools/CMakeLists.txt).
// Both ends are declared with PlayEffect's own type: a PlayEffect of another
// signature, or a second one beside it, stops the build here rather than
// leaving calls that pass the log by; one of another name finds no
// __real_ to link with.
extern "C" decltype(PlayEffect) __real__Z10PlayEffect11SoundEffect, __wrap__Z10PlayEffect11SoundEffect;
extern "C" void __wrap__Z10PlayEffect11SoundEffect(SoundEffect effect)
{
    vclock.effects.push_back(effect);
    __real__Z10PlayEffect11SoundEffect(effect);
}

extern "C" SDL_Surface *__real_SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags);
extern "C" SDL_Surface *__wrap_SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags)
{
    vclock.videoModeCalls++;
    if (vclock.refuseFullScreen && (flags & SDL_FULLSCREEN)) {
        SDL_SetError("no full-screen mode here");
        return NULL;
    }
    return __real_SDL_SetVideoMode(width, height, bpp, flags);
}
