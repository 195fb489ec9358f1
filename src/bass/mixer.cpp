// The mixer: runs in SDL's audio callback. It adds the playing modules and
// the effect playbacks into a 32-bit sum, the effects a little under the
// music and held down when many pile up, lets whatever was cut short fade
// out, and hands the sum to the limiter. It never allocates, opens a file or waits: everything it touches
// was made at load time, and the game thread changes it only under the
// audio lock.

#include "bass/mixer.h"
#include "bass/rewind.h"

#include <libopenmpt/libopenmpt.h>

#include <cstring>

BassState bass;

static Sint32 mixSum[BASS_BLOCK * 2];
static Sint32 effectSum[BASS_BLOCK * 2];
static int rewindDue;  // a marked module has just fallen silent
static Sint16 moduleFrames[BASS_BLOCK * 2];

// The gain of a fade-out with `left` of its BASS_FADE frames to go, times
// `gain`: it falls as the square of the time left, so the last steps before
// silence are tiny.
static Sint32 FadeGain(int left, Sint32 gain)
{
    return Sint32(Sint64(gain) * left * left / (BASS_FADE * BASS_FADE));
}

static void AddFrames(Sint32 *sum, const Sint16 *src, int count, Sint32 gain)
{
    if (gain == BASS_UNITY) {
        for (int i = 0; i < count * 2; i++)
            sum[i] += src[i];
        return;
    }
    for (int i = 0; i < count * 2; i++)
        sum[i] += (src[i] * gain) >> 15;
}

static void AddFading(Sint32 *sum, const Sint16 *src, int count, int left, Sint32 gain)
{
    for (int i = 0; i < count; i++) {
        Sint32 g = FadeGain(left - i, gain);
        sum[2 * i] += (src[2 * i] * g) >> 15;
        sum[2 * i + 1] += (src[2 * i + 1] * g) >> 15;
    }
}

static Sint32 MusicGain()
{
    return bassMuteMusic ? 0 : BASS_MUSIC_GAIN;
}

static Sint32 EffectGain()
{
    return bassMuteEffects ? 0 : BASS_EFFECT_GAIN;
}

static void MixModule(BassModule &m, int count)
{
    int n = m.playing ? count : (m.fade < count ? m.fade : count);
    int got = int(openmpt_module_read_interleaved_stereo(m.mod, bass.rate, size_t(n), moduleFrames));
    m.fresh = 0;
    if (m.playing) {
        AddFrames(mixSum, moduleFrames, got, MusicGain());
        // Only a broken module ends: the modules are loaded to repeat forever.
        if (got < n)
            m.playing = 0;
        return;
    }
    AddFading(mixSum, moduleFrames, got, m.fade, MusicGain());
    m.fade = got < n ? 0 : m.fade - n;
    if (m.fade == 0 && m.rewind)
        rewindDue = 1;
}

static void MixPlayback(BassSample &s, BassPlayback &p, int count)
{
    if (p.wait >= Uint32(count)) {
        p.wait -= Uint32(count);
        return;
    }
    int offset = int(p.wait);
    p.wait = 0;
    p.heard = 1;
    Uint32 left = s.length - p.pos;
    Uint32 n = Uint32(count - offset) < left ? Uint32(count - offset) : left;
    AddFrames(effectSum + offset * 2, s.frames + size_t(p.pos) * 2, int(n), EffectGain());
    p.pos += n;
    if (p.pos >= s.length)
        p.active = 0;
}

static void MixTail(BassTail &t, int count)
{
    const BassSample &s = bass.samples[t.sample];
    Uint32 left = s.length - t.pos;
    int n = count < t.left ? count : t.left;
    n = Uint32(n) < left ? n : int(left);
    AddFading(effectSum, s.frames + size_t(t.pos) * 2, n, t.left, EffectGain());
    t.pos += Uint32(n);
    t.left = t.pos >= s.length ? 0 : t.left - n;
}

// Many effects at once (fire held point-blank at a wall starts a shot and a
// bang every pass) are brought down together, so they cannot bury the
// music: above BASS_EFFECTS_LEVEL their sum is held to it, the gain falling
// within a couple of milliseconds and recovering over about 50. One effect
// alone never reaches the level and passes unchanged.
static void MixEffects(int count)
{
    BassEffectBus &bus = bass.effectBus;
    for (int i = 0; i < count; i++) {
        Sint32 l = effectSum[2 * i], r = effectSum[2 * i + 1];
        Sint32 a = l < 0 ? -l : l, b = r < 0 ? -r : r;
        Sint32 peak = a > b ? a : b;
        bus.envelope = peak > bus.envelope ? peak : bus.envelope - (bus.envelope >> 11);
        Sint32 wanted = bus.envelope > BASS_EFFECTS_LEVEL
                            ? Sint32((Sint64(BASS_EFFECTS_LEVEL) << 15) / bus.envelope)
                            : BASS_UNITY;
        bus.gain += (wanted - bus.gain) >> 6;
        if (bus.gain >= BASS_UNITY - 64 && wanted == BASS_UNITY)
            bus.gain = BASS_UNITY;  // back to exactly unity once it is near
        if (bus.gain == BASS_UNITY) {
            mixSum[2 * i] += l;
            mixSum[2 * i + 1] += r;
        } else {
            mixSum[2 * i] += Sint32((Sint64(l) * bus.gain) >> 15);
            mixSum[2 * i + 1] += Sint32((Sint64(r) * bus.gain) >> 15);
        }
    }
}

static void MixChunk(Sint16 *out, int count)
{
    memset(mixSum, 0, sizeof(Sint32) * 2 * size_t(count));
    memset(effectSum, 0, sizeof(Sint32) * 2 * size_t(count));
    for (BassModule &m : bass.modules)
        if (m.mod && ((m.playing && bass.running) || m.fade > 0))
            MixModule(m, count);
    for (BassSample &s : bass.samples) {
        if (!s.loaded || !bass.running)
            continue;
        for (int i = 0; i < s.maxPlaybacks; i++)
            if (s.playbacks[i].active)
                MixPlayback(s, s.playbacks[i], count);
    }
    for (BassTail &t : bass.tails)
        if (t.left > 0)
            MixTail(t, count);
    MixEffects(count);
    Limit(bass.limiter, mixSum, out, count);
    bass.framesMixed += Uint64(count);
}

void BassMix(Uint8 *stream, int len)
{
    Sint16 *out = (Sint16 *)stream;
    int frames = len / 4;
    if (!bass.initialised) {
        memset(stream, 0, size_t(len));
        return;
    }
    // Starts asked for from now on are placed this far into the next block.
    bass.mixedAtMs = SDL_GetTicks();
    while (frames > 0) {
        int n = frames < BASS_BLOCK ? frames : BASS_BLOCK;
        MixChunk(out, n);
        out += n * 2;
        frames -= n;
    }
    if (rewindDue) {
        rewindDue = 0;
        WakeRewinder();
    }
}
