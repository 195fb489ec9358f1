// What the web's SDL pieces share with each other and with the browser glue.
// The game sees only SDL 1.2's own interface (the desktop's headers).
#pragma once

#include <SDL.h>

void WebSetError(const char *text);

// The video surface and the frame the page shows.
extern SDL_Surface *webScreen;
SDL_Surface *WebNewSurface(Uint32 flags, int w, int h);  // 8-bit, zeroed

// The test's hooks (web/hooks.cpp): SDL_Delay asks whether to hold the game
// where it stands; the event pump at the end of every pass lets the test
// watch a demo.
int WebHoldRequested();
void WebAfterPass();
