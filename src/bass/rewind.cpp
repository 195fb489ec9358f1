// The rewinder waits on a semaphore that BASS_Stop and the mixer (when a
// marked module's fade ends) post. A module being rewound is marked
// `seeking`: the mixer leaves it alone, and a play asked for meanwhile
// (`wanted`) is granted when the seek is done.

#include "bass/rewind.h"

#include <libopenmpt/libopenmpt.h>

#include "bass/mixer.h"

static SDL_Thread *thread;
static SDL_sem *sem;            // the rewinder's own, until it has ended
static SDL_sem *volatile wake;  // what a post uses: NULL from the stop on
static volatile int quit;

void RewindDueModules()
{
    for (BassModule &m : bass.modules) {
        BassLock();
        int due = m.mod && m.rewind && !m.playing && m.fade == 0 && !m.seeking;
        m.seeking |= due;
        BassUnlock();
        if (!due)
            continue;
        openmpt_module_set_position_order_row(m.mod, 0, 0);
        BassLock();
        m.seeking = 0;
        m.rewind = 0;
        m.fresh = 1;
        m.playing = m.wanted;
        m.wanted = 0;
        BassUnlock();
    }
}

static int Run(void *)
{
    while (SDL_SemWait(sem) == 0 && !quit)
        RewindDueModules();
    return 0;
}

void StartRewinder()
{
    quit = 0;
    sem = SDL_CreateSemaphore(0);
    thread = sem ? SDL_CreateThread(Run, NULL) : NULL;
    if (!thread && sem) {
        SDL_DestroySemaphore(sem);
        sem = NULL;
    }
    wake = sem;
}

void StopRewinder()
{
    if (!thread)
        return;
    // The callback posts under the audio lock: once `wake` is cleared under
    // it, no post can reach the semaphore that is destroyed below (one that
    // did crashed the process now and then at shut-down, in glibc's futex).
    BassLock();
    wake = NULL;
    BassUnlock();
    quit = 1;
    SDL_SemPost(sem);
    SDL_WaitThread(thread, NULL);
    SDL_DestroySemaphore(sem);
    thread = NULL;
    sem = NULL;
}

void WakeRewinder()
{
    SDL_sem *w = wake;
    if (w)
        SDL_SemPost(w);
}

int RewinderRunning()
{
    return thread != NULL;
}
