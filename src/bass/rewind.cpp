// The rewinder waits on a semaphore that BASS_Stop and the mixer (when a
// marked module's fade ends) post. A module being rewound is marked
// `seeking`: the mixer leaves it alone, and a play asked for meanwhile
// (`wanted`) is granted when the seek is done.

#include "bass/rewind.h"

#include <libopenmpt/libopenmpt.h>

#include "bass/mixer.h"

static SDL_Thread *thread;
static SDL_sem *wake;
static volatile int quit;

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

void RewindDueModules()
{
    for (BassModule &m : bass.modules) {
        Lock();
        int due = m.mod && m.rewind && !m.playing && m.fade == 0 && !m.seeking;
        m.seeking |= due;
        Unlock();
        if (!due)
            continue;
        openmpt_module_set_position_order_row(m.mod, 0, 0);
        Lock();
        m.seeking = 0;
        m.rewind = 0;
        m.fresh = 1;
        m.playing = m.wanted;
        m.wanted = 0;
        Unlock();
    }
}

static int Run(void *)
{
    while (SDL_SemWait(wake) == 0 && !quit)
        RewindDueModules();
    return 0;
}

void StartRewinder()
{
    quit = 0;
    wake = SDL_CreateSemaphore(0);
    thread = wake ? SDL_CreateThread(Run, NULL) : NULL;
    if (!thread && wake) {
        SDL_DestroySemaphore(wake);
        wake = NULL;
    }
}

void StopRewinder()
{
    if (!thread)
        return;
    quit = 1;
    SDL_SemPost(wake);
    SDL_WaitThread(thread, NULL);
    SDL_DestroySemaphore(wake);
    thread = NULL;
    wake = NULL;
}

void WakeRewinder()
{
    if (wake)
        SDL_SemPost(wake);
}

int RewinderRunning()
{
    return thread != NULL;
}
