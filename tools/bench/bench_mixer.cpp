// What the audio back-end costs.
//
// - Mixing: one iteration mixes one second of 44100 Hz stereo in the slices
//   SDL's callback asks for (512 frames), so the time per iteration is the
//   share of one core the sound takes. It must stay well under 1% (10 ms a
//   second) with a module and six effects sounding.
// - Loading: BASS_Init, the eight effects and the four modules, as start-up
//   does them; the first time in a process (libopenmpt builds its tables
//   then) and again.
// - Module changes: the game's passes through the menu, a level and back,
//   with the heap allocations each pass makes on the game thread counted
//   (mixing, and so rewinding, happens between the passes, as a device's
//   callback and the back-end's rewinder would).

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "bass/mixer.h"
#include "rig.h"
#include "sound/sound.h"

// Every allocation the game thread makes while `counting` is set. Not in the
// sanitizer build, which has an allocator of its own.
#if !defined(__SANITIZE_ADDRESS__)
extern "C" void *__libc_malloc(size_t);
extern "C" void *__libc_calloc(size_t, size_t);
extern "C" void *__libc_realloc(void *, size_t);
static thread_local bool counting;
static thread_local long allocations;
extern "C" void *malloc(size_t n)
{
    allocations += counting;
    return __libc_malloc(n);
}
extern "C" void *calloc(size_t n, size_t size)
{
    allocations += counting;
    return __libc_calloc(n, size);
}
extern "C" void *realloc(void *p, size_t n)
{
    allocations += counting;
    return __libc_realloc(p, n);
}
#define KV_COUNTS_ALLOCATIONS 1
#endif

namespace {

HMUSIC modules[4];
HSAMPLE effects[SFX_COUNT];

void LoadAll()
{
    BASS_Init(1, 44100, 0, NULL, NULL);
    for (int i = 0; i < SFX_COUNT; i++)
        effects[i] = BASS_SampleLoad(FALSE, EffectFiles[i], 0, 0, 3, BASS_SAMPLE_OVER_VOL);
    for (int i = 0; i < 4; i++)
        modules[i] = BASS_MusicLoad(FALSE, MusicFiles[i], 0, 0, BASS_MUSIC_RAMP, 0);
}

void Offline()
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    bassOffline = 1;
}

// Every effect and module loaded: the first load in the process is
// registered first, so it runs first, and pays for libopenmpt's tables.
void Loads(benchmark::State &state)
{
    Offline();
    for (auto _ : state) {
        LoadAll();
        state.PauseTiming();
        BASS_Free();
        state.ResumeTiming();
    }
}
BENCHMARK(Loads)->Name("FirstLoadInTheProcess")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(Loads)->Name("LoadAgain")->Unit(benchmark::kMillisecond);

void Open()
{
    static bool open;
    if (open)
        return;
    open = true;
    Offline();
    LoadAll();
    BASS_Start();
    for (int i = 0; i < 4; i++)
        MusicModules[i] = modules[i];
    for (int i = 0; i < SFX_COUNT; i++)
        EffectSamples[i] = effects[i];
}

// Mixes one second; before each slice, every one of the first `sounding`
// effects that has ended starts again, so that many always sound.
void MixSecond(int sounding)
{
    static Sint16 slice[BASS_BLOCK * 2];
    for (int done = 0; done < 44100; done += BASS_BLOCK) {
        for (int i = 0; i < sounding; i++)
            if (BassActivePlaybacks(effects[i]) == 0)
                BASS_SamplePlay(effects[i]);
        BassRender(slice, BASS_BLOCK);
    }
    benchmark::DoNotOptimize(slice);
}

void ModuleAndSixEffects(benchmark::State &state)
{
    Open();
    BASS_Stop();
    BASS_Start();
    BASS_MusicPlay(modules[state.range(0)]);
    for (auto _ : state)
        MixSecond(6);
    state.SetLabel(MusicFiles[state.range(0)]);
}
BENCHMARK(ModuleAndSixEffects)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void ModuleAlone(benchmark::State &state)
{
    Open();
    BASS_Stop();
    BASS_Start();
    BASS_MusicPlay(modules[state.range(0)]);
    for (auto _ : state)
        MixSecond(0);
    state.SetLabel(MusicFiles[state.range(0)]);
}
BENCHMARK(ModuleAlone)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void SixEffectsAlone(benchmark::State &state)
{
    Open();
    BASS_Stop();
    BASS_Start();
    for (auto _ : state)
        MixSecond(6);
}
BENCHMARK(SixEffectsAlone)->Unit(benchmark::kMillisecond);

// The sound calls alone, as the game makes them across module changes: the
// menu's music, a level's, back to the menu, effects on top, the output
// mixed between the calls. None of them may allocate.
void SoundCallsAcrossModuleChanges(benchmark::State &state)
{
    Open();
    static Sint16 heard[397 * 2];
    // What the benchmarks before played is rewound, as the rewinder would.
    StopMusic();
    BassRender(heard, 397);
    long worst = 0, total = 0, calls = 0;
    for (auto _ : state) {
        for (int music : {0, 1, 0, 2, 0, 3}) {
            for (int pass = 0; pass < 60; pass++, calls++) {
#ifdef KV_COUNTS_ALLOCATIONS
                allocations = 0;
                counting = true;
#endif
                SelectMusic(music);
                UpdateMusic();
                if (pass % 7 == 0)
                    BASS_SamplePlay(EffectSamples[pass % SFX_COUNT]);  // PlayEffect, without the rig's log
#ifdef KV_COUNTS_ALLOCATIONS
                counting = false;
                worst = std::max(worst, allocations);
                total += allocations;
#endif
                BassRender(heard, 397);
            }
        }
    }
    state.counters["allocations_worst"] = double(worst);
    state.counters["allocations_total"] = double(total);
    state.counters["passes"] = double(calls);
}
BENCHMARK(SoundCallsAcrossModuleChanges)->Unit(benchmark::kMillisecond);

// One pass of the game, then the 397 frames a device would mix before the
// next; allocations are counted in the pass only.
long PassAndListen(long &worst)
{
    static Sint16 heard[397 * 2];
#ifdef KV_COUNTS_ALLOCATIONS
    allocations = 0;
    counting = true;
#endif
    Pass();
    long made = 0;
#ifdef KV_COUNTS_ALLOCATIONS
    counting = false;
    made = allocations;
#endif
    BassRender(heard, 397);
    worst = std::max(worst, made);
    return made;
}

// The menu, Start, a while of play, Escape back to the menu: every pass a
// module changes in, and every pass between. Runs last: the game opens the
// back-end itself. (What allocates here is not the sound: SDL's first blit
// of a pair of surfaces, the level file's fopen, the rig's log of delays.)
void PassesThroughModuleChanges(benchmark::State &state)
{
    static bool started;
    if (!started) {
        started = true;
        Offline();
        BASS_Free();  // the game opens the back-end itself
        RigStart();
    }
    long worst = 0, total = 0, passes = 0;
    for (auto _ : state) {
        for (int i = 0; i < 20; i++, passes++)
            total += PassAndListen(worst);
        Hold(SDLK_RETURN);
        total += PassAndListen(worst), passes++;
        Release(SDLK_RETURN);
        for (int i = 0; i < 40; i++, passes++)
            total += PassAndListen(worst);
        Hold(SDLK_ESCAPE);
        total += PassAndListen(worst), passes++;
        Release(SDLK_ESCAPE);
        total += PassAndListen(worst), passes++;
    }
    state.counters["allocations_per_pass_worst"] = double(worst);
    state.counters["allocations_total"] = double(total);
    state.counters["passes"] = double(passes);
}
BENCHMARK(PassesThroughModuleChanges)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
