// The title menu: noise field, logo, spinner cursor, entries, credit line.
#pragma once

#include <SDL.h>

enum { MENU_START_Y = 99, MENU_HELP_Y = 115, MENU_QUIT_Y = 131 };

extern SDL_Rect MenuCursor;  // x 40, y the selected entry
extern int spinnerFrame, spinnerTimer;
extern SDL_Rect SpinnerFrames[23];
extern SDL_Rect LogoRect;       // (40, 24)
extern SDL_Rect MenuImageRect;  // (64, 100)
extern const char creditLine[];

// Menu and help frames start from black on both surfaces, then the frame.
void ClearToFrame();
void PrepareClearedFrame();  // at start-up, once the frame picture is loaded and keyed
void DrawMenu();
void AdvanceSpinner();
void HandleMenuKeys();
