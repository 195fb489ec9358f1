// Modules are set back to their beginning in the background. libopenmpt's
// seek takes a moment and a few hundred kilobytes; done on a thread of the
// back-end's own, once a module has stopped and faded out, it costs the
// game's passes nothing, and by the module's next play it is ready.
#pragma once

// Starts the thread (BASS_Init); without it, or offline, a module due is
// rewound by BassRender after it mixes, or at its next play at the latest.
void StartRewinder();
void StopRewinder();

// Some module may be due: wakes the thread. Safe in the audio callback.
void WakeRewinder();
int RewinderRunning();

// Rewinds every module that is marked and has fallen silent, each outside
// the audio lock.
void RewindDueModules();
