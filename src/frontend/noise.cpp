// The noise of the title menu. Each pixel takes one number from the C
// library's generator, glibc's additive feedback generator in its unseeded
// state, continued from frame to frame: r[i] = r[i-31] + r[i-3] (modulo
// 2^32), the number given out being r[i] shifted right by one. Written here
// it gives the same numbers on every platform and costs a few instructions
// a pixel instead of a locked library call.

#include "frontend/noise.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "video/video.h"

static const int NOISE_X = 16, NOISE_Y = 16, NOISE_W = 192, NOISE_H = 168;
static const int NOISE_FIRST = 15, NOISE_COLOURS = 15;
static const int LAG_LONG = 31, LAG_SHORT = 3;

NoiseRandom noiseRandom;

// line[0..30] holds the last 31 sums; the next n sums go to line[31 ..]
// and the last 31 of line become the new history. line has room for one
// more value past the n, which the grouped sums below may scribble on.
static void ExtendLine(Uint32 *line, int n)
{
    int j = 0;
#ifdef __SSE2__
    // Three sums at a time: each depends on the one three back, so three in
    // a row are independent. The fourth lane is spare and is overwritten.
    __m128i back3 = _mm_loadu_si128((const __m128i *)(line + LAG_LONG - LAG_SHORT));
    for (; j + 3 <= n; j += 3) {
        back3 = _mm_add_epi32(_mm_loadu_si128((const __m128i *)(line + j)), back3);
        _mm_storeu_si128((__m128i *)(line + LAG_LONG + j), back3);
    }
#endif
    for (; j < n; j++)
        line[LAG_LONG + j] = line[j] + line[LAG_LONG - LAG_SHORT + j];
}

// Sums r[i] for the next n numbers (n at most a row) into out, and moves on.
static void NextSums(Uint32 *out, int n)
{
    Uint32 line[LAG_LONG + NOISE_W + 1];
    memcpy(line, noiseRandom.recent, sizeof noiseRandom.recent);
    ExtendLine(line, n);
    memcpy(out, line + LAG_LONG, n * sizeof(Uint32));
    memcpy(noiseRandom.recent, line + n, sizeof noiseRandom.recent);
}

// The library's start for seed 1: 31 values of the minimal standard
// generator, 16807 r mod (2^31 - 1); the next three sums repeat the first
// three values; then 310 numbers are thrown away.
static void Seed()
{
    Sint32 r = 1;
    noiseRandom.recent[0] = 1;
    for (int i = 1; i < LAG_LONG; i++) {
        const Sint32 hi = r / 127773, lo = r % 127773;
        r = 16807 * lo - 2836 * hi;
        if (r < 0)
            r += 2147483647;
        noiseRandom.recent[i] = (Uint32)r;
    }
    Uint32 first[LAG_SHORT];
    memcpy(first, noiseRandom.recent, sizeof first);
    memmove(noiseRandom.recent, noiseRandom.recent + LAG_SHORT, (LAG_LONG - LAG_SHORT) * sizeof(Uint32));
    memcpy(noiseRandom.recent + LAG_LONG - LAG_SHORT, first, sizeof first);
    Uint32 discard[155];
    NextSums(discard, 155);
    NextSums(discard, 155);
    noiseRandom.seeded = 1;
}

// The fifteen greys as the BackBuffer's format maps them; in the game's
// palette they are the entries themselves, 15 to 29.
static Uint8 greys[NOISE_COLOURS];
static int greysMapped, greysInOrder;

// Without SSE2 the remainder is found by folding: 2^16 and 2^8 are both one
// more than a multiple of 15, so adding a number's halves, then its low byte
// to the rest, keeps its remainder and leaves at most 638; a table takes it
// from there to its grey. A division by 15 costs a wide multiply a pixel,
// which WebAssembly does slowly.
static const int FOLDED_MAX = 0xFF + (0xFFFF + 0x7FFF) / 256;
static Uint8 foldedGreys[FOLDED_MAX + 1];

static inline Uint32 FoldTo15(Uint32 sum)
{
    Uint32 v = sum >> 1;
    v = (v & 0xFFFF) + (v >> 16);
    return (v & 0xFF) + (v >> 8);
}

static void MapGreys()
{
    greysInOrder = 1;
    for (int k = 0; k < NOISE_COLOURS; k++) {
        const SDL_Color &c = GamePalette[NOISE_FIRST + k];
        greys[k] = (Uint8)SDL_MapRGB(BackBuffer->format, c.r, c.g, c.b);
        greysInOrder &= greys[k] == NOISE_FIRST + k;
    }
    for (int k = 0; k <= FOLDED_MAX; k++)
        foldedGreys[k] = greys[k % NOISE_COLOURS];
    greysMapped = 1;
}

#ifdef __SSE2__
// (sum >> 1) mod 15 in four lanes: q = v * 0x88888889 >> 35 is v / 15 for
// every v below 2^31, and the remainder is v - 15 q.
static inline __m128i Mod15(__m128i sums)
{
    const __m128i magic = _mm_set1_epi32((int)0x88888889u);
    const __m128i v = _mm_srli_epi32(sums, 1);
    const __m128i q02 = _mm_srli_epi64(_mm_mul_epu32(v, magic), 35);
    const __m128i q13 = _mm_srli_epi64(_mm_mul_epu32(_mm_srli_epi64(v, 32), magic), 35);
    const __m128i q = _mm_or_si128(q02, _mm_slli_epi64(q13, 32));
    return _mm_sub_epi32(v, _mm_sub_epi32(_mm_slli_epi32(q, 4), q));
}

// Sixteen pixels from sixteen sums, when the greys are entries 15 to 29.
static inline void SixteenGreys(Uint8 *to, const Uint32 *sums)
{
    const __m128i a = Mod15(_mm_loadu_si128((const __m128i *)sums));
    const __m128i b = Mod15(_mm_loadu_si128((const __m128i *)(sums + 4)));
    const __m128i c = Mod15(_mm_loadu_si128((const __m128i *)(sums + 8)));
    const __m128i d = Mod15(_mm_loadu_si128((const __m128i *)(sums + 12)));
    const __m128i k = _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d));
    _mm_storeu_si128((__m128i *)to, _mm_add_epi8(k, _mm_set1_epi8(NOISE_FIRST)));
}
#endif

static void GreyRow(Uint8 *to, const Uint32 *sums)
{
    int x = 0;
#ifdef __SSE2__
    if (greysInOrder)
        for (; x + 16 <= NOISE_W; x += 16)
            SixteenGreys(to + x, sums + x);
#endif
    for (; x < NOISE_W; x++)
        to[x] = foldedGreys[FoldTo15(sums[x])];
}

void DrawNoise()
{
    if (!noiseRandom.seeded)
        Seed();
    if (!greysMapped)
        MapGreys();
    Uint8 *row = (Uint8 *)BackBuffer->pixels + NOISE_Y * BackBuffer->pitch + NOISE_X;
    Uint32 line[LAG_LONG + NOISE_W + 1];
    for (int y = 0; y < NOISE_H; y++, row += BackBuffer->pitch) {
        memcpy(line, noiseRandom.recent, sizeof noiseRandom.recent);
        ExtendLine(line, NOISE_W);
        memcpy(noiseRandom.recent, line + NOISE_W, sizeof noiseRandom.recent);
        GreyRow(row, line + LAG_LONG);
    }
}
