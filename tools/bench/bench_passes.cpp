// What one pass of each mode costs, headless. Every speed of the game counts
// passes, so a slow pass slows the whole game: the figures go in the README.

#include <benchmark/benchmark.h>

#include <cstdlib>

#include "frontend/help.h"
#include "frontend/menu.h"
#include "rig.h"
#include "shell/loop.h"
#include "shell/startup.h"
#include "video/video.h"
#include "world/level.h"
#include "world/tilemap.h"

namespace {

bool started;

void Start()
{
    if (!started)
        RigStart();
    started = true;
}

void MenuFrame(benchmark::State &state)
{
    Start();
    for (auto _ : state)
        DrawMenu();
}

// The noise field as it would be with a palette search per pixel, for
// comparison with the fifteen colours mapped once per frame.
void NoiseWithMapPerPixel(benchmark::State &state)
{
    Start();
    for (auto _ : state)
        for (int y = 0; y < 168; y++)
            for (int x = 0; x < 192; x++) {
                const SDL_Color &c = GamePalette[15 + rand() % 15];
                PutPixel(BackBuffer, 16 + x, 16 + y, SDL_MapRGB(BackBuffer->format, c.r, c.g, c.b));
            }
}

void HelpFrame(benchmark::State &state)
{
    Start();
    helpPage = int(state.range(0));
    for (auto _ : state)
        DrawHelpPage();
}

void PlayingPass(benchmark::State &state)
{
    Start();
    levelIndex = 0;
    StartNewGame();
    Passes(100);  // she has landed
    for (auto _ : state)
        Pass();
}

void Present(benchmark::State &state)
{
    Start();
    for (auto _ : state)
        PresentFrame();
}

}  // namespace

BENCHMARK(MenuFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(NoiseWithMapPerPixel)->Unit(benchmark::kMicrosecond);
BENCHMARK(HelpFrame)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(PlayingPass)->Unit(benchmark::kMicrosecond);
BENCHMARK(Present)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
