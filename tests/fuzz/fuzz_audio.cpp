// libFuzzer target for the sound loading: each input is loaded through the
// audio back-end as a WAV effect and as an IT module (from memory, as a file
// would be once read), both are played, and a second of audio is mixed. A
// load may fail (most inputs are neither); nothing may crash, read out of
// bounds or ask for absurd memory, and the mix stays under the limiter's
// ceiling. The back-end is opened once, offline: only the target mixes.

#include <cstdint>
#include <cstdlib>

#include "bass/mixer.h"

static void OpenOnce()
{
    static int open;
    if (open)
        return;
    open = 1;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    bassOffline = 1;
    bassQuiet = 1;
    if (!BASS_Init(1, 44100, 0, NULL, NULL))
        abort();
    BASS_Start();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    OpenOnce();
    if (size == 0 || size > (1u << 20))
        return 0;
    HSAMPLE sample = BASS_SampleLoad(TRUE, data, 0, DWORD(size), 3, BASS_SAMPLE_OVER_VOL);
    HMUSIC music = BASS_MusicLoad(TRUE, data, 0, DWORD(size), BASS_MUSIC_RAMP, 0);
    if (!sample && !music)
        return 0;  // nothing to hear: the mixer has been shown silence often enough
    BASS_SamplePlay(sample);
    BASS_MusicPlay(music);
    static Sint16 out[BASS_BLOCK * 2];
    for (int done = 0; done < 44100; done += BASS_BLOCK) {
        BassRender(out, BASS_BLOCK);
        for (Sint16 v : out)
            if (v > BASS_CEILING || v < -BASS_CEILING)
                abort();
        if (done == 22016)
            BASS_SamplePlay(sample);  // a second start, and a third over it
    }
    BASS_ChannelSetPosition(music, 0);
    BASS_Stop();
    BassRender(out, BASS_BLOCK);
    BASS_Start();
    BASS_SampleFree(sample);
    BASS_MusicFree(music);
    return 0;
}
