// Heap allocations per pass, counted in every pass of the four fixed
// runs (tools/devkit/fixed_runs.h): the menu, the help pages, each level's
// recorded run with its module changes and level loads, random play with
// display switches, the menu and the help pages in full screen.
//
//   count_allocs     (from the top folder, where data/ is)
//
// A pass allocates nothing, apart from a display switch, where SDL makes a
// new video surface; those passes are counted apart, and so is what SDL_Flip
// allocates inside SDL (in full screen SDL2's renderer makes a few blocks
// for every frame it shows). Exits 1 when the game's own work allocated.
// Only the game's own thread is counted: the audio thread belongs to SDL.
// This program replaces malloc and its kin, so it is built only without the
// sanitizers, which replace them too.

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "digest.h"
#include "rig.h"
#include "fixed_runs.h"
#include "vclock.h"

extern "C" {
void *__libc_malloc(size_t);
void *__libc_calloc(size_t, size_t);
void *__libc_realloc(void *, size_t);
void *__libc_memalign(size_t, size_t);
void __libc_free(void *);
}

static thread_local bool counting, inFlip;
static thread_local long allocations, flipAllocations;

static inline void Count()
{
    if (counting && inFlip)
        flipAllocations++;
    else if (counting)
        allocations++;
}

extern "C" void *malloc(size_t n)
{
    Count();
    return __libc_malloc(n);
}

extern "C" void *calloc(size_t n, size_t size)
{
    Count();
    return __libc_calloc(n, size);
}

extern "C" void *realloc(void *p, size_t n)
{
    Count();
    return __libc_realloc(p, n);
}

extern "C" void *memalign(size_t align, size_t n)
{
    Count();
    return __libc_memalign(align, n);
}

extern "C" void *aligned_alloc(size_t align, size_t n)
{
    Count();
    return __libc_memalign(align, n);
}

extern "C" int posix_memalign(void **p, size_t align, size_t n)
{
    Count();
    *p = __libc_memalign(align, n);
    return *p ? 0 : 12;  // ENOMEM
}

extern "C" void free(void *p) { __libc_free(p); }

int main()
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);  // headless unless told otherwise
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    long passes = 0, allocatingPasses = 0, switchPasses = 0, switchAllocations = 0;
    for (int run = 0; run < FIXED_RUN_COUNT; run++) {
        RigStart();
        // The rig's own log of waits and effects grows as play goes on: room
        // for it now, so that only the game's allocations are counted.
        vclock.delays.reserve(1 << 20);
        vclock.effects.reserve(1 << 18);
        std::string why;
        int modeCalls = vclock.videoModeCalls;
        rigAroundPass = [](int starting) { counting = starting; };
        flipHook.around = [](int starting) { inFlip = starting; };
        PlayFixedRun(run, ".",
                    [&](int pass) {
                        passes++;
                        const bool switched = vclock.videoModeCalls != modeCalls;
                        modeCalls = vclock.videoModeCalls;
                        if (allocations > 0) {
                            if (switched) {
                                switchPasses++;
                                switchAllocations += allocations;
                            } else {
                                if (allocatingPasses < 10)
                                    printf("%s, pass %d: %ld allocations\n", FixedRunNames[run], pass,
                                           allocations);
                                allocatingPasses++;
                            }
                        }
                        allocations = 0;
                    },
                    why);
        rigAroundPass = nullptr;
        flipHook.around = nullptr;
        RigStop();
        if (!why.empty()) {
            fprintf(stderr, "count_allocs: %s\n", why.c_str());
            return 1;
        }
    }
    printf("%ld passes; %ld allocated on the heap; %ld display switches made %ld allocations in SDL; "
           "SDL_Flip made %ld allocations of its own\n",
           passes, allocatingPasses, switchPasses, switchAllocations, flipAllocations);
    return allocatingPasses ? 1 : 0;
}
