// The nine audio calls of the game on SDL audio and libopenmpt. Every load
// happens here, on the game thread, before the mixer may touch the result;
// every change the mixer can see is made under SDL's audio lock, and the
// slow work (reading, decoding, seeking a module) is done outside it. A load
// that fails names the file and what is wrong on stderr and leaves nothing
// behind; every other call fails quietly.

#include "bass/bass.h"

#include <libopenmpt/libopenmpt.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bass/mixer.h"
#include "bass/readfile.h"
#include "bass/rewind.h"
#include "bass/wavdecode.h"

enum { KIND_SAMPLE = 1, KIND_MODULE = 2, KIND_CHANNEL = 3 };

static DWORD lastGeneration;

// What the game's thread knows without asking the mixer: a module it has
// seen playing since the last stop or rewind. The game asks every pass for
// the output to run and its module to play; answered from here, those calls
// never wait for the audio lock, which the mixer holds while it mixes.
static Uint8 surelyPlaying[BASS_MAX_MODULES];

// A handle carries the BASS_Init it belongs to, its kind and its slot, so a
// handle kept across BASS_Free and a new BASS_Init does nothing.
static DWORD MakeHandle(int kind, int index)
{
    return ((bass.generation & 0xFFF) << 16) | (DWORD(kind) << 12) | DWORD(index + 1);
}

static int HandleIndex(DWORD handle, int kind, int count)
{
    if (!bass.initialised || (handle >> 16) != (bass.generation & 0xFFF) || int((handle >> 12) & 0xF) != kind)
        return -1;
    int index = int(handle & 0xFFF) - 1;
    return index >= 0 && index < count ? index : -1;
}

BassSample *BassFindSample(HSAMPLE handle)
{
    int i = HandleIndex(handle, KIND_SAMPLE, BASS_MAX_SAMPLES);
    return i >= 0 && bass.samples[i].loaded ? &bass.samples[i] : NULL;
}

BassModule *BassFindModule(HMUSIC handle)
{
    int i = HandleIndex(handle, KIND_MODULE, BASS_MAX_MODULES);
    return i >= 0 && bass.modules[i].mod ? &bass.modules[i] : NULL;
}

void BassLock()
{
    if (bass.deviceOpen)
        SDL_LockAudio();
}

void BassUnlock()
{
    if (bass.deviceOpen)
        SDL_UnlockAudio();
}

static void Report(const char *path, const char *why)
{
    if (!bassQuiet)
        fprintf(stderr, "kestravale: %s: %s; it stays silent\n", path, why);
}

static void AudioCallback(void *, Uint8 *stream, int len)
{
    BassMix(stream, len);
}

static int OpenDevice()
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0)
        return 0;
    SDL_AudioSpec want = {};
    want.freq = bass.rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = BASS_BLOCK;  // 11.6 ms a block
    want.callback = AudioCallback;
    // Nothing asked back: SDL converts to the device's own format if it
    // must, so the mixer always writes exactly this one.
    if (SDL_OpenAudio(&want, NULL) < 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return 0;
    }
    return 1;
}

BOOL BASS_Init(int, DWORD freq, DWORD, void *, void *)
{
    if (bass.initialised)
        return FALSE;
    memset(&bass, 0, sizeof bass);
    memset(surelyPlaying, 0, sizeof surelyPlaying);
    bass.rate = freq >= 8000 && freq <= 192000 ? int(freq) : BASS_DEFAULT_RATE;
    ResetLimiter(bass.limiter);
    bass.effectBus.gain = BASS_UNITY;
    if (!OpenDevice()) {
        if (!bassQuiet)
            fprintf(stderr, "kestravale: no sound: %s\n", SDL_GetError());
        return FALSE;
    }
    bass.deviceOpen = 1;
    bass.generation = ++lastGeneration;
    bass.mixedAtMs = SDL_GetTicks();
    bass.initialised = 1;
    // The device runs from now on but mixes silence until BASS_Start.
    if (!bassOffline) {
        StartRewinder();
        SDL_PauseAudio(0);
    }
    return TRUE;
}

static void FreeSample(BassSample &s)
{
    free(s.frames);
    free(s.levels);
    memset(&s, 0, sizeof s);
}

BOOL BASS_Free()
{
    if (!bass.initialised)
        return FALSE;
    // The rewinder is stopped first, while the device it locks still
    // exists; closing the device then ends the callback; so nothing is
    // freed under either.
    StopRewinder();
    SDL_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    for (BassSample &s : bass.samples)
        FreeSample(s);
    for (BassModule &m : bass.modules)
        if (m.mod)
            openmpt_module_destroy(m.mod);
    memset(&bass, 0, sizeof bass);
    memset(surelyPlaying, 0, sizeof surelyPlaying);
    return TRUE;
}

// --- Samples ---

// The loudest value of every block of the sound, for choosing the quietest
// playback.
static int BuildLevels(BassSample &s)
{
    Uint32 blocks = (s.length + BASS_LEVEL_BLOCK - 1) / BASS_LEVEL_BLOCK;
    s.levels = (Uint16 *)malloc(sizeof(Uint16) * blocks);
    if (!s.levels)
        return 0;
    for (Uint32 b = 0; b < blocks; b++) {
        int peak = 0;
        Uint32 end = (b + 1) * BASS_LEVEL_BLOCK < s.length ? (b + 1) * BASS_LEVEL_BLOCK : s.length;
        for (Uint32 i = b * BASS_LEVEL_BLOCK * 2; i < end * 2; i++) {
            int v = s.frames[i] < 0 ? -s.frames[i] : s.frames[i];
            peak = v > peak ? v : peak;
        }
        s.levels[b] = Uint16(peak);
    }
    return 1;
}

static const char *LoadSound(const Uint8 *data, size_t size, BassSample &s)
{
    const char *why = NULL;
    s.frames = DecodeWav(data, size, bass.rate, &s.length, &why);
    if (!s.frames)
        return why;
    if (!BuildLevels(s))
        return "no memory for it";
    return NULL;
}

HSAMPLE BASS_SampleLoad(BOOL mem, const void *file, QWORD offset, DWORD length, DWORD max, DWORD flags)
{
    if (!bass.initialised || !file)
        return 0;
    int slot = 0;
    while (slot < BASS_MAX_SAMPLES && bass.samples[slot].loaded)
        slot++;
    if (slot == BASS_MAX_SAMPLES)
        return 0;
    BassSample s = {};
    const char *why = NULL;
    if (mem) {
        why = length ? LoadSound((const Uint8 *)file + offset, length, s) : "empty";
    } else {
        size_t size = 0;
        Uint8 *data = ReadSoundFile((const char *)file, &size, &why);
        if (data && offset < size)
            why = LoadSound(data + offset, size - size_t(offset), s);
        else if (data)
            why = "shorter than the offset given";
        free(data);
    }
    if (why) {
        if (!mem)
            Report((const char *)file, why);
        FreeSample(s);
        return 0;
    }
    s.maxPlaybacks = max < 1 ? 1 : max > BASS_MAX_PLAYBACKS ? BASS_MAX_PLAYBACKS : int(max);
    s.replaceQuietest = (flags & BASS_SAMPLE_OVER_VOL) != 0;
    s.loaded = 1;
    BassLock();
    bass.samples[slot] = s;
    BassUnlock();
    return MakeHandle(KIND_SAMPLE, slot);
}

// How loud a playback is now and is about to be: the loudest value in its
// current block of frames and the next one. A playback near its end, or in
// the faded tail of its sound, is the quietest.
static int PlaybackLevel(const BassSample &s, const BassPlayback &p)
{
    Uint32 blocks = (s.length + BASS_LEVEL_BLOCK - 1) / BASS_LEVEL_BLOCK;
    Uint32 b = p.pos / BASS_LEVEL_BLOCK;
    int now = b < blocks ? s.levels[b] : 0;
    int next = b + 1 < blocks ? s.levels[b + 1] : 0;
    return now > next ? now : next;
}

// A free slot if there is one. Else, with the override flag: a playback
// not heard yet (the one placed latest, so the starts before it keep their
// places), and only if every one has been heard, the quietest (of equal
// levels, the one furthest along). Else none.
static int ChoosePlayback(const BassSample &s)
{
    int unheard = -1, quietest = -1, quietestLevel = 0;
    for (int i = 0; i < s.maxPlaybacks; i++) {
        const BassPlayback &p = s.playbacks[i];
        if (!p.active)
            return i;
        if (!p.heard) {
            if (unheard < 0 || p.at > s.playbacks[unheard].at)
                unheard = i;
            continue;
        }
        int level = PlaybackLevel(s, p);
        if (quietest < 0 || level < quietestLevel ||
            (level == quietestLevel && p.pos > s.playbacks[quietest].pos)) {
            quietest = i;
            quietestLevel = level;
        }
    }
    if (!s.replaceQuietest)
        return -1;
    return unheard >= 0 ? unheard : quietest;
}

// A playback that was heard fades out from where it stands. With every
// tail busy, the one nearest its end makes room.
static void StartTail(int sample, const BassPlayback &p)
{
    if (!p.active || !p.heard)
        return;
    BassTail *t = &bass.tails[0];
    for (BassTail &u : bass.tails)
        if (u.left < t->left)
            t = &u;
    *t = {sample, p.pos, BASS_FADE};
}

// Where in the output a start asked for now sounds: as far into the next
// block as the time since the mixer last ran, so starts keep their spacing
// whatever the size of the blocks.
static Uint32 StartDelay(Uint32 now)
{
    Sint32 since = Sint32(now - bass.mixedAtMs);
    if (since <= 0)
        return 0;
    Uint64 frames = Uint64(since) * Uint64(bass.rate) / 1000;
    return frames < BASS_MAX_WAIT ? Uint32(frames) : Uint32(BASS_MAX_WAIT);
}

HCHANNEL BASS_SamplePlay(HSAMPLE handle)
{
    BassSample *s = BassFindSample(handle);
    if (!s)
        return 0;
    Uint32 now = SDL_GetTicks();
    int sample = int(s - bass.samples);
    BassLock();
    int i = ChoosePlayback(*s);
    if (i >= 0) {
        StartTail(sample, s->playbacks[i]);
        Uint32 wait = StartDelay(now);
        s->playbacks[i] = {1, 0, wait, 0, bass.framesMixed + wait};
    }
    BassUnlock();
    if (i < 0)
        return 0;
    return MakeHandle(KIND_CHANNEL, sample * BASS_MAX_PLAYBACKS + i);
}

// --- Modules ---

static openmpt_module *OpenModule(const void *data, size_t size, DWORD flags)
{
    // Nothing is worked out at load time that the game never asks for: the
    // lengths of the subsongs (ours have one, and the game never asks how
    // long it is) and plugins (IT files of ours have none).
    const openmpt_module_initial_ctl ctls[] = {
        {"load.skip_subsongs_init", "1"},
        {"load.skip_plugins", "1"},
        {NULL, NULL},
    };
    int error = 0;
    openmpt_module *mod = openmpt_module_create_from_memory2(data, size, openmpt_log_func_silent, NULL,
                                                              openmpt_error_func_ignore, NULL, &error, NULL, ctls);
    if (!mod)
        return NULL;
    // Players expect music that never stops: at its end a module goes on
    // from its loop point.
    openmpt_module_set_repeat_count(mod, -1);
    openmpt_module_set_render_param(mod, OPENMPT_MODULE_RENDER_VOLUMERAMPING_STRENGTH,
                                    (flags & BASS_MUSIC_RAMP) ? -1 : 0);
    // No dither: the same module always gives the same frames.
    openmpt_module_ctl_set_integer(mod, "dither", 0);
    return mod;
}

HMUSIC BASS_MusicLoad(BOOL mem, const void *file, QWORD offset, DWORD length, DWORD flags, DWORD)
{
    if (!bass.initialised || !file)
        return 0;
    int slot = 0;
    while (slot < BASS_MAX_MODULES && bass.modules[slot].mod)
        slot++;
    if (slot == BASS_MAX_MODULES)
        return 0;
    openmpt_module *mod = NULL;
    const char *why = "not a module the game can play";
    if (mem) {
        if (length)
            mod = OpenModule((const Uint8 *)file + offset, length, flags);
    } else {
        size_t size = 0;
        Uint8 *data = ReadSoundFile((const char *)file, &size, &why);
        if (data && offset < size)
            mod = OpenModule(data + offset, size - size_t(offset), flags);
        free(data);
    }
    if (!mod) {
        if (!mem)
            Report((const char *)file, why);
        return 0;
    }
    BassLock();
    bass.modules[slot] = {mod, 0, 0, 1, 0, 0, 0};
    BassUnlock();
    return MakeHandle(KIND_MODULE, slot);
}

// A module marked to start from its beginning is normally rewound already,
// in the background, by the time it is played again. If not, it is taken
// out of the mix (a fade it may still be in is cut) and handed to the
// rewinder, and heard once the seek is done: a seek takes memory from the
// heap, which the game's passes never do. Without the rewinder's thread
// (offline rendering) it is sought back here, outside the lock.
BOOL BASS_MusicPlay(HMUSIC handle)
{
    BassModule *m = BassFindModule(handle);
    if (!m)
        return FALSE;
    Uint8 &known = surelyPlaying[m - bass.modules];
    if (known)
        return TRUE;
    BassLock();
    const int pending = m->rewind && !m->seeking;
    const int background = pending && RewinderRunning();
    int here = pending && !background;
    if (m->seeking || background)
        m->wanted = 1;
    if (!m->seeking)
        m->playing = !pending;  // a module already playing simply goes on
    if (pending)
        m->fade = 0;
    if (here)
        m->seeking = 1;
    known = m->playing && !m->seeking && !m->rewind && bass.running;
    BassUnlock();
    if (background)
        WakeRewinder();
    if (here) {
        openmpt_module_set_position_order_row(m->mod, 0, 0);
        BassLock();
        *m = {m->mod, 1, 0, 1, 0, 0, 0};
        BassUnlock();
    }
    return TRUE;
}

// The game only ever rewinds to 0, the module's beginning. Nothing is done
// now: the module is only marked, and starts from its beginning at its next
// play, so the mixer never hears a moment of it rewound before the stop
// that follows. A module that has not sounded since it was loaded or
// rewound is already at its beginning.
BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos)
{
    BassModule *m = BassFindModule(handle);
    if (!m || pos != 0)
        return FALSE;
    BassLock();
    if (!m->fresh && !m->seeking)
        m->rewind = 1;
    BassUnlock();
    surelyPlaying[m - bass.modules] = 0;
    return TRUE;
}

// --- The output ---

BOOL BASS_Start()
{
    if (!bass.initialised)
        return FALSE;
    if (bass.running)  // only this thread changes it
        return TRUE;
    BassLock();
    bass.running = 1;
    BassUnlock();
    return TRUE;
}

// Everything falls silent within 5 ms: what was heard fades out from where
// it stood, a start not heard yet is dropped, and modules stop where they
// are (after their fade) and wait for BASS_MusicPlay.
BOOL BASS_Stop()
{
    if (!bass.initialised)
        return FALSE;
    BassLock();
    for (int i = 0; i < BASS_MAX_SAMPLES; i++)
        for (BassPlayback &p : bass.samples[i].playbacks) {
            StartTail(i, p);
            p.active = 0;
        }
    for (BassModule &m : bass.modules) {
        if (m.playing && bass.running && !m.fresh)
            m.fade = BASS_FADE;
        m.playing = 0;
        m.wanted = 0;
    }
    bass.running = 0;
    BassUnlock();
    memset(surelyPlaying, 0, sizeof surelyPlaying);
    WakeRewinder();  // for modules marked that were not sounding
    return TRUE;
}

#ifdef KV_DEV_BUILD
// --- For the tests and the tools (mixer.h) ---

int bassOffline;
int bassQuiet;
int bassMuteMusic, bassMuteEffects;

void BassRender(Sint16 *out, int count)
{
    if (bass.deviceOpen)
        SDL_LockAudio();
    BassMix((Uint8 *)out, count * 4);
    if (bass.deviceOpen)
        SDL_UnlockAudio();
    // Offline there is no thread: what it would have done by now is done here.
    if (!RewinderRunning())
        RewindDueModules();
}

int BassActivePlaybacks(HSAMPLE handle)
{
    BassSample *s = BassFindSample(handle);
    if (!s)
        return -1;
    int n = 0;
    BassLock();
    for (int i = 0; i < s->maxPlaybacks; i++)
        n += s->playbacks[i].active;
    BassUnlock();
    return n;
}

BOOL BASS_SampleFree(HSAMPLE handle)
{
    BassSample *s = BassFindSample(handle);
    if (!s)
        return FALSE;
    BassLock();
    BassSample gone = *s;
    memset(s, 0, sizeof *s);
    for (BassTail &t : bass.tails)
        if (t.left > 0 && &bass.samples[t.sample] == s)
            t.left = 0;
    BassUnlock();
    FreeSample(gone);
    return TRUE;
}

BOOL BASS_MusicFree(HMUSIC handle)
{
    BassModule *m = BassFindModule(handle);
    if (!m)
        return FALSE;
    BassLock();
    openmpt_module *mod = m->mod;
    memset(m, 0, sizeof *m);
    BassUnlock();
    surelyPlaying[m - bass.modules] = 0;
    openmpt_module_destroy(mod);
    return TRUE;
}
#endif
