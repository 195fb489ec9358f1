#include "input/keys.h"

Uint8 *keyState;
int keyLatch;
