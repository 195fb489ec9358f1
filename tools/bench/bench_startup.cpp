// Start-up to the first presented frame: SDL and the audio back-end opened,
// every picture, effect and module loaded and prepared, the first menu pass
// composed and presented. Each iteration starts the game from nothing and
// shuts it down again (the shutdown is not timed). The process starts with
// the dynamic libraries loaded and nothing else done.

#include <benchmark/benchmark.h>

#include "rig.h"

namespace {

void StartUpToFirstFrame(benchmark::State &state)
{
    for (auto _ : state) {
        // The rig's own reset of every record to its first value is not
        // the game's: it is left out of the time.
        state.PauseTiming();
        RigFreshRecords();
        state.ResumeTiming();
        RigStartAsTheyStand();
        Pass();
        state.PauseTiming();
        RigStop();
        state.ResumeTiming();
    }
}

}  // namespace

// The first start of the process pays for loading SDL's back-ends too: it is
// what a player waits for. Process CPU time, all threads.
BENCHMARK(StartUpToFirstFrame)->Name("FirstStartUp")->Unit(benchmark::kMillisecond)->Iterations(1)->MeasureProcessCPUTime();
BENCHMARK(StartUpToFirstFrame)->Name("LaterStartUps")->Unit(benchmark::kMillisecond)->Iterations(10)->MeasureProcessCPUTime();
BENCHMARK_MAIN();
