// The key table every pass reads, and the one-shot latch. The game reads
// keys only here, while they are held; whatever drives the keys (the
// keyboard through SDL's event poll, or a demo being played back) does so
// by setting this table before the pass.
#pragma once

#include <SDL.h>

extern Uint8 *keyState;  // one byte per SDL key code: SDL's own table, or a demo's
extern int keyLatch;     // one-shot latch of Up, Down, Enter, Space (help) and "3"
