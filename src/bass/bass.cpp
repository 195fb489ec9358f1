// Placeholder back-end: every call succeeds and nothing sounds. The mixer on
// SDL audio and libopenmpt replaces it.

#include "bass/bass.h"

static DWORD nextHandle = 1;

BOOL BASS_Init(int, DWORD, DWORD, void *, void *) { return TRUE; }
HSAMPLE BASS_SampleLoad(BOOL, const void *, QWORD, DWORD, DWORD, DWORD) { return nextHandle++; }
HMUSIC BASS_MusicLoad(BOOL, const void *, QWORD, DWORD, DWORD, DWORD) { return nextHandle++; }
BOOL BASS_Free() { return TRUE; }
HCHANNEL BASS_SamplePlay(HSAMPLE) { return 0; }
BOOL BASS_MusicPlay(HMUSIC) { return TRUE; }
BOOL BASS_ChannelSetPosition(DWORD, QWORD) { return TRUE; }
BOOL BASS_Start() { return TRUE; }
BOOL BASS_Stop() { return TRUE; }
