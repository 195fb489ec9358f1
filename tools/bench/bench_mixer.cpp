// What the audio back-end's mixer costs: one iteration mixes one second of
// 44100 Hz stereo in the slices SDL's callback asks for (1024 frames), so the
// time per iteration is the share of one core the sound takes. It must stay
// well under 1% (10 ms a second) with a module and six effects sounding.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "bass/mixer.h"
#include "sound/sound.h"

namespace {

HMUSIC modules[4];
HSAMPLE effects[SFX_COUNT];

void Open()
{
    static bool open;
    if (open)
        return;
    open = true;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    bassOffline = 1;
    BASS_Init(1, 44100, 0, NULL, NULL);
    for (int i = 0; i < SFX_COUNT; i++)
        effects[i] = BASS_SampleLoad(FALSE, EffectFiles[i], 0, 0, 3, BASS_SAMPLE_OVER_VOL);
    for (int i = 0; i < 4; i++)
        modules[i] = BASS_MusicLoad(FALSE, MusicFiles[i], 0, 0, BASS_MUSIC_RAMP, 0);
    BASS_Start();
}

// Mixes one second; before each slice, every one of the first `sounding`
// effects that has ended starts again, so that many always sound.
void MixSecond(int sounding)
{
    static Sint16 slice[1024 * 2];
    for (int done = 0; done < 44100; done += 1024) {
        for (int i = 0; i < sounding; i++)
            if (BassActivePlaybacks(effects[i]) == 0)
                BASS_SamplePlay(effects[i]);
        BassRender(slice, 1024);
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

}  // namespace

BENCHMARK_MAIN();
