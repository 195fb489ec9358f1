// A WAV file is a RIFF header and a list of chunks; only "fmt " and "data"
// matter here. No size in the file is believed before it has been checked
// against the bytes that follow it, so a damaged or hostile header can make
// the load fail but never read past the file or ask for absurd memory.

#include "bass/wavdecode.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

enum { TAG_PCM = 1, TAG_FLOAT = 3, TAG_EXTENSIBLE = 0xFFFE };

struct WavFormat {
    int tag, channels, bits;
    Uint32 rate;
    const Uint8 *data;
    size_t bytes;
};

static Uint32 U16(const Uint8 *p) { return Uint32(p[0]) | Uint32(p[1]) << 8; }
static Uint32 U32(const Uint8 *p) { return U16(p) | U16(p + 2) << 16; }

static const char *ReadFormat(const Uint8 *body, Uint32 len, WavFormat &f)
{
    if (len < 16)
        return "its format chunk is too short";
    f.tag = int(U16(body));
    f.channels = int(U16(body + 2));
    f.rate = U32(body + 4);
    f.bits = int(U16(body + 14));
    // The extensible header names the real format in the first two bytes of
    // its sub-format.
    if (f.tag == TAG_EXTENSIBLE) {
        if (len < 40)
            return "its extensible format chunk is too short";
        f.tag = int(U16(body + 24));
    }
    return NULL;
}

static const char *FindChunks(const Uint8 *d, size_t size, WavFormat &f)
{
    if (size < 12 || memcmp(d, "RIFF", 4) != 0 || memcmp(d + 8, "WAVE", 4) != 0)
        return "not a WAV file";
    int haveFormat = 0;
    f.data = NULL;
    for (size_t at = 12; size - at >= 8 && !(haveFormat && f.data);) {
        const Uint8 *c = d + at;
        Uint32 len = U32(c + 4);
        size_t room = size - at - 8;
        if (memcmp(c, "fmt ", 4) == 0) {
            if (len > room)
                return "its format chunk runs past the end of the file";
            if (const char *why = ReadFormat(c + 8, len, f))
                return why;
            haveFormat = 1;
        } else if (memcmp(c, "data", 4) == 0) {
            if (len > room)
                return "cut short: its data chunk claims more bytes than the file holds";
            f.data = c + 8;
            f.bytes = len;
        }
        if (len > room)
            break;
        at += 8 + size_t(len) + (len & 1);  // chunks are padded to an even length
        if (at > size)
            break;
    }
    if (!haveFormat)
        return "it has no format chunk";
    if (!f.data)
        return "it has no data chunk";
    return NULL;
}

static const char *CheckFormat(const WavFormat &f)
{
    int pcm = f.tag == TAG_PCM && (f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32);
    int flt = f.tag == TAG_FLOAT && (f.bits == 32 || f.bits == 64);
    if (!pcm && !flt)
        return "its sample format is not one the game can play";
    if (f.channels < 1 || f.channels > 8)
        return "it has no channels or more than eight";
    if (f.rate < 1000 || f.rate > 384000)
        return "its rate is outside 1000 to 384000 Hz";
    return NULL;
}

// One value of the file, scaled to the range of 16 bits.
static double Value(const Uint8 *p, const WavFormat &f)
{
    if (f.tag == TAG_FLOAT) {
        double v;
        if (f.bits == 32) {
            float x;
            memcpy(&x, p, 4);  // the file is little-endian, as is every machine we build for
            v = x;
        } else {
            memcpy(&v, p, 8);
        }
        if (!(v == v))
            return 0;  // not a number
        return (v < -1 ? -1 : v > 1 ? 1 : v) * 32767.0;
    }
    switch (f.bits) {
    case 8: return (int(p[0]) - 128) * 256.0;
    case 16: return Sint16(U16(p));
    case 24: return Sint32(Uint32(p[0]) << 8 | Uint32(p[1]) << 16 | Uint32(p[2]) << 24) / 65536.0;
    default: return Sint32(U32(p)) / 65536.0;
    }
}

// Frame i of the file folded down to a left and a right value.
static void Frame(const WavFormat &f, size_t i, double *left, double *right)
{
    const int size = f.bits / 8;
    const Uint8 *p = f.data + i * size_t(f.channels * size);
    if (f.channels == 1) {
        *left = *right = Value(p, f);
        return;
    }
    double l = 0, r = 0;
    for (int c = 0; c < f.channels; c++)
        (c % 2 ? r : l) += Value(p + c * size, f);
    int odd = f.channels / 2, even = f.channels - odd;
    *left = l / even;
    *right = r / odd;
}

static Sint16 Round16(double v)
{
    long r = lround(v);
    return Sint16(r > 32767 ? 32767 : r < -32768 ? -32768 : r);
}

// The game's own effects: 16-bit mono or stereo at the output rate, copied
// as they are.
static int CopyPlain(const WavFormat &f, size_t frames, Sint16 *pcm)
{
    for (size_t j = 0; j < frames; j++) {
        const Uint8 *p = f.data + j * size_t(f.channels) * 2;
        pcm[2 * j] = Sint16(U16(p));
        pcm[2 * j + 1] = Sint16(U16(p + 2 * (f.channels - 1)));
    }
    return 1;
}

Sint16 *DecodeWav(const Uint8 *data, size_t size, int rate, Uint32 *frames, const char **why)
{
    WavFormat f = {};
    if ((*why = FindChunks(data, size, f)) || (*why = CheckFormat(f)))
        return NULL;
    size_t in = f.bytes / size_t(f.channels * (f.bits / 8));
    if (in == 0) {
        *why = "it holds no sound";
        return NULL;
    }
    if (in > size_t(BASS_MAX_SOUND_SECONDS) * f.rate) {
        *why = "longer than a minute, too long for an effect";
        return NULL;
    }
    size_t out = size_t((Uint64(in) * Uint64(rate) + f.rate - 1) / f.rate);
    Sint16 *pcm = (Sint16 *)malloc(out * 4);
    if (!pcm) {
        *why = "no memory for it";
        return NULL;
    }
    *frames = Uint32(out);
    if (f.tag == TAG_PCM && f.bits == 16 && f.channels <= 2 && int(f.rate) == rate && CopyPlain(f, out, pcm))
        return pcm;
    // At another rate, each frame is read between its two neighbours.
    double step = double(f.rate) / rate;
    for (size_t j = 0; j < out; j++) {
        double at = j * step;
        size_t i = size_t(at) < in ? size_t(at) : in - 1;
        double t = at - double(i), l0, r0, l1, r1;
        Frame(f, i, &l0, &r0);
        if (t > 0 && i + 1 < in) {
            Frame(f, i + 1, &l1, &r1);
            l0 += (l1 - l0) * t;
            r0 += (r1 - r0) * t;
        }
        pcm[2 * j] = Round16(l0);
        pcm[2 * j + 1] = Round16(r0);
    }
    return pcm;
}
