// The title menu: noise field, logo, spinner cursor, entries, credit line.
#pragma once

#include <SDL.h>

enum { MENU_START_Y = 99, MENU_HELP_Y = 115, MENU_QUIT_Y = 131 };

extern SDL_Rect MenuCursor;  // x 40, y the selected entry
extern SDL_Rect SpinnerFrames[23];
extern SDL_Rect LogoRect;
extern SDL_Rect MenuImageRect;

// Where the menu's parts stand in the picture; the cursor's y is an entry's.
enum { LOGO_X = 40, LOGO_Y = 24, MENU_CURSOR_X = 40, MENU_IMAGE_X = 64, MENU_IMAGE_Y = 100, CREDIT_X = 16, CREDIT_Y = 174 };
extern const char creditLine[];

// Menu and help frames start from black on both surfaces, then the frame.
void ClearToFrame();
void PrepareClearedFrame();  // at start-up, once the frame picture is loaded and keyed
void DrawMenu();
void AdvanceSpinner();
void HandleMenuKeys();
