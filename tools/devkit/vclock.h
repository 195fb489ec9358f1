// The headless rig's stand-ins for SDL's clock and event queue. Programs
// linked with kvheadless get these in place of SDL_GetTicks, SDL_Delay and
// SDL_PollEvent: time moves only when the game waits or the rig says so,
// and events come only from the script. SDL_SetVideoMode and PlayEffect are
// watched on their way to the real ones, and a test may make a full-screen
// mode fail.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <deque>
#include <vector>

#include "sound/sound.h"

struct VirtualClock {
    Uint32 now = 0;
    std::vector<Uint32> delays;     // every SDL_Delay argument, in order
    std::deque<SDL_Event> events;   // taken one per SDL_PollEvent
    int polls = 0;                  // SDL_PollEvent calls so far
    std::vector<SoundEffect> effects;  // every PlayEffect, in order
    int videoModeCalls = 0;         // SDL_SetVideoMode calls so far
    bool refuseFullScreen = false;  // full-screen modes fail, as on a display without 320x200
    bool steady = false;            // std::chrono::steady_clock reads this clock too (a timed demo's figures)
};

extern VirtualClock vclock;

void PushEvent(Uint8 type);
int EffectCount(SoundEffect effect);
