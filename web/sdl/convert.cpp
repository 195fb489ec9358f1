// SDL 1.2's audio conversion as the game's sound back-end uses it, once per
// effect at load time: 8- or 16-bit samples, mono or stereo, any rate, into
// the output's format. A rate change interpolates linearly between frames.
// (The output itself is emscripten's SDL audio on Web Audio.)

#include <cstdlib>
#include <cstring>

#include "sdl/web.h"

static int Known(Uint16 format)
{
    return format == AUDIO_U8 || format == AUDIO_S8 || format == AUDIO_S16LSB || format == AUDIO_S16MSB;
}

static int Bytes(Uint16 format)
{
    return (format & 0xFF) / 8;
}

// The conversion's own values ride in SDL's record: rate_incr is the ratio of
// the rates, filter_index holds the two channel counts.
extern "C" int SDL_BuildAudioCVT(SDL_AudioCVT *cvt, Uint16 srcFormat, Uint8 srcChannels, int srcRate,
                                 Uint16 dstFormat, Uint8 dstChannels, int dstRate)
{
    memset(cvt, 0, sizeof *cvt);
    if (!Known(srcFormat) || !Known(dstFormat) || srcChannels < 1 || srcChannels > 2 || dstChannels < 1 ||
        dstChannels > 2 || srcRate <= 0 || dstRate <= 0) {
        WebSetError("Audio conversion not supported here");
        return -1;
    }
    cvt->src_format = srcFormat;
    cvt->dst_format = dstFormat;
    cvt->rate_incr = (double)dstRate / srcRate;
    cvt->filter_index = srcChannels | (dstChannels << 4);
    const double bytes = (double)Bytes(dstFormat) / Bytes(srcFormat), chans = (double)dstChannels / srcChannels;
    cvt->len_ratio = bytes * chans * cvt->rate_incr;
    cvt->len_mult = (int)(cvt->len_ratio + 1.999);
    cvt->needed = srcFormat != dstFormat || srcChannels != dstChannels || srcRate != dstRate;
    return cvt->needed;
}

static int Sample(const Uint8 *p, Uint16 format)
{
    switch (format) {
    case AUDIO_U8:
        return (p[0] - 128) << 8;
    case AUDIO_S8:
        return (Sint8)p[0] << 8;
    case AUDIO_S16LSB:
        return (Sint16)(p[0] | (p[1] << 8));
    default:
        return (Sint16)(p[1] | (p[0] << 8));
    }
}

static void Store(Uint8 *p, Uint16 format, int v)
{
    switch (format) {
    case AUDIO_U8:
        p[0] = (Uint8)((v >> 8) + 128);
        break;
    case AUDIO_S8:
        p[0] = (Uint8)(v >> 8);
        break;
    case AUDIO_S16LSB:
        p[0] = (Uint8)v;
        p[1] = (Uint8)(v >> 8);
        break;
    default:
        p[0] = (Uint8)(v >> 8);
        p[1] = (Uint8)v;
        break;
    }
}

// Channel c of frame i, after the change of channel count.
static int FrameValue(const SDL_AudioCVT *cvt, int i, int c)
{
    const int in = cvt->filter_index & 15, out = cvt->filter_index >> 4, b = Bytes(cvt->src_format);
    const Uint8 *f = cvt->buf + (size_t)i * in * b;
    if (in == out)
        return Sample(f + c * b, cvt->src_format);
    if (in == 1)
        return Sample(f, cvt->src_format);
    return (Sample(f, cvt->src_format) + Sample(f + b, cvt->src_format)) / 2;
}

extern "C" int SDL_ConvertAudio(SDL_AudioCVT *cvt)
{
    if (!cvt->buf) {
        WebSetError("No buffer allocated for conversion");
        return -1;
    }
    const int in = cvt->filter_index & 15, out = cvt->filter_index >> 4;
    const int inFrames = cvt->len / (in * Bytes(cvt->src_format));
    const int outFrames = (int)(inFrames * cvt->rate_incr);
    const int ob = Bytes(cvt->dst_format);
    Uint8 *result = (Uint8 *)malloc((size_t)outFrames * out * ob + 1);
    if (!result) {
        WebSetError("Out of memory");
        return -1;
    }
    for (int j = 0; j < outFrames; j++) {
        const double pos = j / cvt->rate_incr;
        const int i = (int)pos;
        const double frac = pos - i;
        const int next = i + 1 < inFrames ? i + 1 : i;
        for (int c = 0; c < out; c++) {
            const int a = FrameValue(cvt, i, c), z = FrameValue(cvt, next, c);
            Store(result + ((size_t)j * out + c) * ob, cvt->dst_format, a + (int)((z - a) * frac));
        }
    }
    cvt->len_cvt = outFrames * out * ob;
    memcpy(cvt->buf, result, (size_t)cvt->len_cvt);
    free(result);
    return 0;
}
