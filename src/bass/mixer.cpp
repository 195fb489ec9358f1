// The mixer: runs in SDL's audio callback. It reads the music modules and
// the effect playbacks into a 32-bit sum and saturates it to 16 bits. It
// never allocates, opens a file or waits: everything it touches was made at
// load time, and the game thread changes it only under the audio lock.

#include "bass/mixer.h"

#include <libopenmpt/libopenmpt.h>

#include <cstring>

BassState bass;
int bassOffline;

static Sint32 mixSum[BASS_CHUNK * 2];
static Sint16 moduleFrames[BASS_CHUNK * 2];

static void MixModule(BassModule &m, int count)
{
    size_t got = openmpt_module_read_interleaved_stereo(m.mod, bass.rate, count, moduleFrames);
    for (size_t i = 0; i < got * 2; i++)
        mixSum[i] += moduleFrames[i];
    // Only a broken module ends: the modules are loaded to repeat forever.
    if (got < (size_t)count)
        m.playing = 0;
}

static void MixPlayback(const BassSample &s, BassPlayback &p, int count)
{
    Uint32 left = s.length - p.pos;
    Uint32 n = (Uint32)count < left ? (Uint32)count : left;
    const Sint16 *src = s.frames + size_t(p.pos) * 2;
    for (Uint32 i = 0; i < n * 2; i++)
        mixSum[i] += src[i];
    p.pos += n;
    if (p.pos >= s.length)
        p.active = 0;
}

static void MixChunk(Sint16 *out, int count)
{
    memset(mixSum, 0, sizeof(Sint32) * 2 * count);
    for (BassModule &m : bass.modules)
        if (m.mod && m.playing)
            MixModule(m, count);
    for (BassSample &s : bass.samples) {
        if (!s.loaded)
            continue;
        for (int i = 0; i < s.maxPlaybacks; i++)
            if (s.playbacks[i].active)
                MixPlayback(s, s.playbacks[i], count);
    }
    for (int i = 0; i < count * 2; i++) {
        Sint32 v = mixSum[i];
        out[i] = (Sint16)(v > 32767 ? 32767 : v < -32768 ? -32768 : v);
    }
}

void BassMix(Uint8 *stream, int len)
{
    Sint16 *out = (Sint16 *)stream;
    int frames = len / 4;
    memset(stream, 0, len);
    if (!bass.initialised || !bass.running)
        return;
    while (frames > 0) {
        int n = frames < BASS_CHUNK ? frames : BASS_CHUNK;
        MixChunk(out, n);
        out += n * 2;
        frames -= n;
    }
}

void BassRender(Sint16 *out, int count)
{
    if (bass.deviceOpen)
        SDL_LockAudio();
    BassMix((Uint8 *)out, count * 4);
    if (bass.deviceOpen)
        SDL_UnlockAudio();
}
