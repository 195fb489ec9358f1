// What one pass of each mode costs, headless, with the present's SDL_Flip
// and without it (the flip is SDL's conversion of the picture for the
// display, the same work in every pass). Every speed of the game counts
// passes, so a slow pass slows the whole game: the figures are in docs/speed.md.
//
// The time per pass is the main thread's CPU time, as Google Benchmark
// reports it; a pass includes the game's whole work for its mode, the
// present (the doubling into the window) and, in the "flip" rows, SDL_Flip.

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "../levels/replay.h"
#include "digest.h"
#include "frontend/help.h"
#include "frontend/menu.h"
#include "rig.h"
#include "core/mode.h"
#include "video/video.h"
#include "world/level.h"

namespace {

bool started;

void Start()
{
    if (!started)
        RigStart();
    started = true;
    ReleaseAll();
}

// Back to the menu from wherever the last benchmark left the game.
void ToMenu()
{
    Start();
    if (GameMode == Menu)
        return;
    Hold(SDLK_ESCAPE);
    Pass();
    Release(SDLK_ESCAPE);
    Passes(2);
    while (MenuCursor.y != 99)
        Press(SDLK_UP);
}

void Run(benchmark::State &state, bool flip, const std::function<void()> &pass)
{
    flipHook.skip = !flip;
    for (auto _ : state)
        pass();
    flipHook.skip = false;
}

void MenuPass(benchmark::State &state)
{
    ToMenu();
    Run(state, state.range(0), [] { Pass(); });
}

void HelpPass(benchmark::State &state)
{
    ToMenu();
    Press(SDLK_DOWN);
    Press(SDLK_RETURN);
    for (int i = 0; i < state.range(1); i++)
        Press(SDLK_SPACE);
    Run(state, state.range(0), [] { Pass(); });
    Press(SDLK_ESCAPE);
    Press(SDLK_UP);
}

std::vector<ReplayStep> ReplayPasses(int level)
{
    std::ifstream in("tests/replays/level" + std::to_string(level) + ".txt");
    std::stringstream text;
    text << in.rdbuf();
    std::vector<ReplayStep> flat;
    for (const ReplayStep &s : ParseReplay(text.str()).steps)
        for (int i = 0; i < s.passes; i++)
            flat.push_back(s);
    return flat;
}

// The level's recorded run, measured from a busy spot on: ogres, balls,
// items and explosions on screen, the heroine walking and firing.
void PlayingPass(benchmark::State &state)
{
    static const int spots[3] = {1500, 1900, 2600};
    const int level = int(state.range(1));
    ToMenu();
    const std::vector<ReplayStep> flat = ReplayPasses(level);
    levelIndex = level - 1;
    Hold(SDLK_RETURN);
    Pass();
    Release(SDLK_RETURN);
    size_t at = 0;
    auto pass = [&] {
        const ReplayStep &s = flat[at++ % flat.size()];
        HoldStep(s);
        if (GameMode != Playing) {  // the run ended: play it again
            ToMenu();
            levelIndex = level - 1;
            Hold(SDLK_RETURN);
            at = 0;
        }
        Pass();
    };
    while (at < size_t(spots[level - 1]))
        pass();
    Run(state, state.range(0), pass);
}

void FlipAlone(benchmark::State &state)
{
    ToMenu();
    for (auto _ : state)
        SDL_Flip(screen);
}

}  // namespace

BENCHMARK(MenuPass)->ArgName("flip")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(HelpPass)->ArgNames({"flip", "page"})->ArgsProduct({{0, 1}, {0, 1, 2, 3}})->Unit(benchmark::kMicrosecond);
BENCHMARK(PlayingPass)->ArgNames({"flip", "level"})->ArgsProduct({{0, 1}, {1, 2, 3}})->Unit(benchmark::kMicrosecond);
BENCHMARK(FlipAlone)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
