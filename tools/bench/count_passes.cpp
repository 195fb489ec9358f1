// Instructions per pass of each mode, counted by callgrind: run it as
//
//   valgrind --tool=callgrind --instr-atstart=no --collect-atstart=no --callgrind-out-file=OUT
//       build/tools/count_passes
//
// (scripts/count-passes.sh does that and prints the table). Each phase is
// dumped on its own: the game's passes with SDL_Flip skipped, the same
// passes with it, and SDL_Flip alone on the window, so that every figure can
// be read as a ratio to SDL_Flip's own count, which holds on any machine.
// Outside valgrind the client requests do nothing and it just runs.

#include <valgrind/callgrind.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "../levels/replay.h"
#include "digest.h"
#include "frontend/help.h"
#include "rig.h"
#include "video/video.h"
#include "world/level.h"

namespace {

enum { MEASURED = 32 };

// Between the measured stretches nothing is counted and the flip is left
// out: the game's records do not depend on it, and the way to the busy
// spots is long.
void Measure(const char *name, bool flip, const std::function<void()> &pass)
{
    flipHook.skip = !flip;
    CALLGRIND_START_INSTRUMENTATION;
    CALLGRIND_ZERO_STATS;
    CALLGRIND_TOGGLE_COLLECT;
    for (int i = 0; i < MEASURED; i++)
        pass();
    CALLGRIND_TOGGLE_COLLECT;
    CALLGRIND_DUMP_STATS_AT(name);
    CALLGRIND_STOP_INSTRUMENTATION;
    flipHook.skip = true;
}

void MeasureBoth(const std::string &name, const std::function<void()> &pass)
{
    pass();  // the first pass of a mode may differ (a module change)
    Measure((name + " without-flip").c_str(), false, pass);
    Measure((name + " with-flip").c_str(), true, pass);
}

Replay ReadReplay(int level)
{
    std::ifstream in("tests/replays/level" + std::to_string(level) + ".txt");
    std::stringstream text;
    text << in.rdbuf();
    return ParseReplay(text.str());
}

// A replay played up to a busy spot, where the measured passes go on with
// the replay's own keys (the heroine walks and fires among enemies).
void PlayingAt(int level, int spot)
{
    const Replay replay = ReadReplay(level);
    std::vector<ReplayStep> flat;
    for (const ReplayStep &s : replay.steps)
        for (int i = 0; i < s.passes; i++)
            flat.push_back(s);
    ReleaseAll();
    Hold(SDLK_ESCAPE);
    Pass();
    Release(SDLK_ESCAPE);
    Pass();
    levelIndex = level - 1;
    Hold(SDLK_RETURN);
    Pass();
    Release(SDLK_RETURN);
    int at = 0;
    auto pass = [&] {
        const ReplayStep &s = flat[at++ % flat.size()];
        HoldStep(s);
        Pass();
    };
    while (at < spot)
        pass();
    MeasureBoth("playing-level" + std::to_string(level), pass);
}

}  // namespace

int main()
{
    RigStart();
    flipHook.skip = true;
    MeasureBoth("menu", [] { Pass(); });
    Passes(3);
    Press(SDLK_DOWN);
    Press(SDLK_RETURN);  // the help pages
    for (int page = 0; page < 4; page++) {
        MeasureBoth("help" + std::to_string(page), [] { Pass(); });
        Press(SDLK_SPACE);
    }
    Press(SDLK_ESCAPE);
    Press(SDLK_UP);  // back on Start
    Measure("flip", true, [] { SDL_Flip(screen); });

    // Busy spots: ogres, balls, items and explosions on screen.
    PlayingAt(1, 1500);
    PlayingAt(2, 1900);
    PlayingAt(3, 2600);
    RigStop();
    return 0;
}
