// The audio back-end: the nine calls the game makes, on SDL audio and
// libopenmpt. Handles are never 0 for something that loaded; every call on a
// 0 handle, or before BASS_Init succeeded, does nothing. A module can only be
// set back to its beginning (position 0).
#pragma once

#include <cstdint>

typedef uint32_t DWORD;
typedef uint64_t QWORD;
typedef int BOOL;
typedef DWORD HSAMPLE;
typedef DWORD HMUSIC;
typedef DWORD HCHANNEL;

#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif

#define BASS_SAMPLE_OVER_VOL 0x10000  // a start beyond the limit replaces the quietest playback
#define BASS_MUSIC_RAMP 0x200         // volume ramping

BOOL BASS_Init(int device, DWORD freq, DWORD flags, void *win, void *clsid);
HSAMPLE BASS_SampleLoad(BOOL mem, const void *file, QWORD offset, DWORD length, DWORD max, DWORD flags);
HMUSIC BASS_MusicLoad(BOOL mem, const void *file, QWORD offset, DWORD length, DWORD flags, DWORD freq);
BOOL BASS_Free();
HCHANNEL BASS_SamplePlay(HSAMPLE handle);
BOOL BASS_MusicPlay(HMUSIC handle);
BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos);
BOOL BASS_Start();
BOOL BASS_Stop();
