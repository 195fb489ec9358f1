// The limiter: a gain that is the least any frame of the window ahead needs,
// held over the window, let back up slowly, and averaged over the window, so
// it has come down by the time the loud frame leaves the delay. Every frame
// that leaves is one the whole average was computed over, and each value in
// it is at most the gain that frame needs: no value leaves above the ceiling.
// All of it is integer, so below the ceiling every value passes unchanged.

#include "bass/limiter.h"

#include <cstring>

static_assert(BASS_LOOKAHEAD == 64 && BASS_GAIN_ONE == 65536, "the shift below is 6 + 16 bits");
static const int LIMIT_SHIFT = 22;

void ResetLimiter(BassLimiter &l)
{
    memset(&l, 0, sizeof l);
    for (Uint32 &g : l.smooth)
        g = BASS_GAIN_ONE;
    l.smoothSum = Uint64(BASS_GAIN_ONE) * BASS_LOOKAHEAD;
    l.released = BASS_GAIN_ONE;
}

// The gain that brings the louder side of a frame down to the ceiling.
static Uint32 WantedGain(Sint32 left, Sint32 right)
{
    Uint32 a = left < 0 ? Uint32(-Sint64(left)) : Uint32(left);
    Uint32 b = right < 0 ? Uint32(-Sint64(right)) : Uint32(right);
    Uint32 peak = a > b ? a : b;
    return peak <= BASS_CEILING ? Uint32(BASS_GAIN_ONE) : Uint32((Uint64(BASS_CEILING) << 16) / peak);
}

// The least wanted gain of the window that ends with frame n.
static Uint32 HeldGain(BassLimiter &l, Uint32 n, Uint32 want)
{
    const int mask = BASS_LOOKAHEAD - 1;
    // A queued gain no smaller than this one can never again be the least.
    while (l.queueCount > 0 && l.queueGain[(l.queueHead + l.queueCount - 1) & mask] >= want)
        l.queueCount--;
    int tail = (l.queueHead + l.queueCount) & mask;
    l.queueFrame[tail] = n;
    l.queueGain[tail] = want;
    l.queueCount++;
    // One frame a step leaves the window, at most.
    if (n - l.queueFrame[l.queueHead] >= Uint32(BASS_LOOKAHEAD)) {
        l.queueHead = (l.queueHead + 1) & mask;
        l.queueCount--;
    }
    return l.queueGain[l.queueHead];
}

static Sint16 Clamp16(Sint64 v)
{
    return Sint16(v > 32767 ? 32767 : v < -32768 ? -32768 : v);
}

void Limit(BassLimiter &l, const Sint32 *sum, Sint16 *out, int count)
{
    const int mask = BASS_LOOKAHEAD - 1;
    for (int i = 0; i < count; i++) {
        Uint32 n = l.frame++;
        Sint32 left = sum[2 * i], right = sum[2 * i + 1];
        Uint32 hold = HeldGain(l, n, WantedGain(left, right));
        l.released = l.released + BASS_RELEASE_STEP < hold ? l.released + BASS_RELEASE_STEP : hold;
        int slot = int(n & mask);
        l.smoothSum = l.smoothSum - l.smooth[slot] + l.released;
        l.smooth[slot] = l.released;
        l.delayed[2 * slot] = left;
        l.delayed[2 * slot + 1] = right;
        int oldest = int((n + 1) & mask);
        out[2 * i] = Clamp16((Sint64(l.delayed[2 * oldest]) * Sint64(l.smoothSum)) >> LIMIT_SHIFT);
        out[2 * i + 1] = Clamp16((Sint64(l.delayed[2 * oldest + 1]) * Sint64(l.smoothSum)) >> LIMIT_SHIFT);
    }
}
