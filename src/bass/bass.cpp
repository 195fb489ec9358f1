// The nine audio calls of the game on SDL audio and libopenmpt. Every load
// happens here, on the game thread, before the mixer may touch the result;
// every change the mixer can see is made under SDL's audio lock. A call that
// fails does so quietly and leaves nothing behind.

#include "bass/bass.h"

#include <libopenmpt/libopenmpt.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bass/mixer.h"

enum { KIND_SAMPLE = 1, KIND_MODULE = 2, KIND_CHANNEL = 3 };

static DWORD lastGeneration;

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

static BassSample *FindSample(HSAMPLE handle)
{
    int i = HandleIndex(handle, KIND_SAMPLE, BASS_MAX_SAMPLES);
    return i >= 0 && bass.samples[i].loaded ? &bass.samples[i] : NULL;
}

BassModule *BassFindModule(HMUSIC handle)
{
    int i = HandleIndex(handle, KIND_MODULE, BASS_MAX_MODULES);
    return i >= 0 && bass.modules[i].mod ? &bass.modules[i] : NULL;
}

static void Lock()
{
    if (bass.deviceOpen)
        SDL_LockAudio();
}

static void Unlock()
{
    if (bass.deviceOpen)
        SDL_UnlockAudio();
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
    want.samples = 1024;  // about 23 ms: short enough that an effect is heard at once
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
    bass.rate = freq >= 8000 && freq <= 192000 ? int(freq) : BASS_DEFAULT_RATE;
    if (!OpenDevice())
        return FALSE;
    bass.deviceOpen = 1;
    bass.generation = ++lastGeneration;
    bass.initialised = 1;
    // The device runs from now on but mixes silence until BASS_Start.
    if (!bassOffline)
        SDL_PauseAudio(0);
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
    // Closing the device first ends the callback, so nothing is freed under it.
    SDL_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    for (BassSample &s : bass.samples)
        FreeSample(s);
    for (BassModule &m : bass.modules)
        if (m.mod)
            openmpt_module_destroy(m.mod);
    memset(&bass, 0, sizeof bass);
    return TRUE;
}

// --- Samples ---

static SDL_RWops *OpenSource(BOOL mem, const void *file, QWORD offset, DWORD length)
{
    if (mem)
        return length ? SDL_RWFromConstMem((const Uint8 *)file + offset, int(length)) : NULL;
    SDL_RWops *rw = SDL_RWFromFile((const char *)file, "rb");
    if (rw && offset)
        SDL_RWseek(rw, int(offset), RW_SEEK_SET);
    return rw;
}

// Reads a WAV and converts it once to the output format.
static int LoadWav(SDL_RWops *rw, BassSample &s)
{
    SDL_AudioSpec spec;
    Uint8 *data;
    Uint32 bytes;
    if (!SDL_LoadWAV_RW(rw, 1, &spec, &data, &bytes))
        return 0;
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, 2, bass.rate) < 0) {
        SDL_FreeWAV(data);
        return 0;
    }
    cvt.len = int(bytes);
    cvt.buf = (Uint8 *)malloc(size_t(bytes) * (cvt.len_mult > 1 ? cvt.len_mult : 1) + 16);
    if (!cvt.buf) {
        SDL_FreeWAV(data);
        return 0;
    }
    memcpy(cvt.buf, data, bytes);
    SDL_FreeWAV(data);
    int outBytes = cvt.len;
    if (cvt.needed) {
        if (SDL_ConvertAudio(&cvt) < 0) {
            free(cvt.buf);
            return 0;
        }
        outBytes = cvt.len_cvt;
    }
    s.frames = (Sint16 *)cvt.buf;
    s.length = Uint32(outBytes / 4);
    return s.length > 0;
}

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

HSAMPLE BASS_SampleLoad(BOOL mem, const void *file, QWORD offset, DWORD length, DWORD max, DWORD flags)
{
    if (!bass.initialised || !file)
        return 0;
    int slot = 0;
    while (slot < BASS_MAX_SAMPLES && bass.samples[slot].loaded)
        slot++;
    if (slot == BASS_MAX_SAMPLES)
        return 0;
    SDL_RWops *rw = OpenSource(mem, file, offset, length);
    if (!rw)
        return 0;
    BassSample s = {};
    if (!LoadWav(rw, s) || !BuildLevels(s)) {
        FreeSample(s);
        return 0;
    }
    s.maxPlaybacks = max < 1 ? 1 : max > BASS_MAX_PLAYBACKS ? BASS_MAX_PLAYBACKS : int(max);
    s.replaceQuietest = (flags & BASS_SAMPLE_OVER_VOL) != 0;
    s.loaded = 1;
    Lock();
    bass.samples[slot] = s;
    Unlock();
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

// A free slot if there is one; else, with the override flag, the quietest
// playback (the one furthest along when levels tie); else none.
static int ChoosePlayback(const BassSample &s)
{
    int chosen = -1, chosenLevel = 0;
    for (int i = 0; i < s.maxPlaybacks; i++) {
        const BassPlayback &p = s.playbacks[i];
        if (!p.active)
            return i;
        int level = PlaybackLevel(s, p);
        if (chosen < 0 || level < chosenLevel || (level == chosenLevel && p.pos > s.playbacks[chosen].pos)) {
            chosen = i;
            chosenLevel = level;
        }
    }
    return s.replaceQuietest ? chosen : -1;
}

HCHANNEL BASS_SamplePlay(HSAMPLE handle)
{
    BassSample *s = FindSample(handle);
    if (!s)
        return 0;
    Lock();
    int i = ChoosePlayback(*s);
    if (i >= 0)
        s->playbacks[i] = {1, 0};
    Unlock();
    if (i < 0)
        return 0;
    return MakeHandle(KIND_CHANNEL, int(s - bass.samples) * BASS_MAX_PLAYBACKS + i);
}

int BassActivePlaybacks(HSAMPLE handle)
{
    BassSample *s = FindSample(handle);
    if (!s)
        return -1;
    int n = 0;
    Lock();
    for (int i = 0; i < s->maxPlaybacks; i++)
        n += s->playbacks[i].active;
    Unlock();
    return n;
}

// --- Modules ---

static void *ReadWholeFile(const char *path, size_t *size)
{
    FILE *f = fopen(path, "rb");
    if (!f)
        return NULL;
    void *data = NULL;
    long n = -1;
    if (fseek(f, 0, SEEK_END) == 0)
        n = ftell(f);
    if (n > 0 && fseek(f, 0, SEEK_SET) == 0) {
        data = malloc(size_t(n));
        if (data && fread(data, 1, size_t(n), f) != size_t(n)) {
            free(data);
            data = NULL;
        }
    }
    fclose(f);
    *size = size_t(n);
    return data;
}

static openmpt_module *OpenModule(const void *data, size_t size, DWORD flags)
{
    int error = 0;
    openmpt_module *mod = openmpt_module_create_from_memory2(data, size, openmpt_log_func_silent, NULL,
                                                              openmpt_error_func_ignore, NULL, &error, NULL, NULL);
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
    if (mem) {
        if (length)
            mod = OpenModule((const Uint8 *)file + offset, length, flags);
    } else {
        size_t size = 0;
        void *data = ReadWholeFile((const char *)file, &size);
        if (data)
            mod = OpenModule(data, size, flags);
        free(data);
    }
    if (!mod)
        return 0;
    Lock();
    bass.modules[slot].mod = mod;
    bass.modules[slot].playing = 0;
    Unlock();
    return MakeHandle(KIND_MODULE, slot);
}

BOOL BASS_MusicPlay(HMUSIC handle)
{
    BassModule *m = BassFindModule(handle);
    if (!m)
        return FALSE;
    Lock();
    m->playing = 1;  // a module already playing simply goes on
    Unlock();
    return TRUE;
}

// Position is in bytes of the output (16-bit stereo); the game only ever
// rewinds to 0, the module's beginning.
BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos)
{
    BassModule *m = BassFindModule(handle);
    if (!m)
        return FALSE;
    Lock();
    if (pos == 0)
        openmpt_module_set_position_order_row(m->mod, 0, 0);
    else
        openmpt_module_set_position_seconds(m->mod, double(pos) / (4.0 * bass.rate));
    Unlock();
    return TRUE;
}

// --- The output ---

BOOL BASS_Start()
{
    if (!bass.initialised)
        return FALSE;
    Lock();
    bass.running = 1;
    Unlock();
    return TRUE;
}

// Everything falls silent: effects are dropped (even one started a moment
// ago), modules stop where they are and wait for BASS_MusicPlay.
BOOL BASS_Stop()
{
    if (!bass.initialised)
        return FALSE;
    Lock();
    bass.running = 0;
    for (BassSample &s : bass.samples)
        for (BassPlayback &p : s.playbacks)
            p.active = 0;
    for (BassModule &m : bass.modules)
        m.playing = 0;
    Unlock();
    return TRUE;
}
