// The title menu. Its keys are read after the frame is shown, so a cursor
// move or a mode change is first seen in the next frame.

#include "frontend/menu.h"

#include <cstring>

#include "core/mode.h"
#include "frontend/help.h"
#include "frontend/noise.h"
#include "input/keys.h"
#include "sound/sound.h"
#include "video/art.h"
#include "video/blit.h"
#include "video/text.h"
#include "video/video.h"
#include "world/level.h"

SDL_Rect MenuCursor;
SDL_Rect SpinnerFrames[23];
SDL_Rect LogoRect;
SDL_Rect MenuImageRect;
const char creditLine[] = "Made by the Vale crew";  // at most 24 characters

// The menu and the help pages start every frame from black with the frame
// picture over it: always the same picture, so it is made once.
static Uint8 ClearedFrame[BACKBUFFER_H][BACKBUFFER_W];

void PrepareClearedFrame()
{
    const int keyed = (FrameOverlay->flags & SDL_SRCCOLORKEY) != 0;
    const Uint8 key = (Uint8)FrameOverlay->format->colorkey;
    const Uint8 *row = (const Uint8 *)FrameOverlay->pixels;
    for (int y = 0; y < BACKBUFFER_H; y++, row += FrameOverlay->pitch)
        for (int x = 0; x < BACKBUFFER_W; x++)
            ClearedFrame[y][x] = keyed && row[x] == key ? 0 : row[x];
}

// Black on both surfaces, then the frame picture on the BackBuffer. The
// screen's clear is left to the present, which covers the whole screen in
// either display mode and then needs none.
void ClearToFrame()
{
    if (screen)
        screenClearPending = 1;
    Uint8 *row = (Uint8 *)BackBuffer->pixels;
    for (int y = 0; y < BACKBUFFER_H; y++, row += BackBuffer->pitch)
        memcpy(row, ClearedFrame[y], BACKBUFFER_W);
}

void DrawMenu()
{
    ClearToFrame();
    DrawNoise();
    Blit(LogoImage, NULL, BackBuffer, &LogoRect);
    Blit(SpinnerSheet, &SpinnerFrames[spinnerFrame], BackBuffer, &MenuCursor);
    Blit(MenuImage, NULL, BackBuffer, &MenuImageRect);
    DrawText(BackBuffer, CREDIT_X, CREDIT_Y, creditLine);
}

// Each of the 22 spinner frames shows for three menu frames.
void AdvanceSpinner()
{
    spinnerTimer++;
    if (spinnerTimer > 2) {
        spinnerFrame++;
        if (spinnerFrame >= 22)
            spinnerFrame = 0;
        spinnerTimer = 0;
    }
}

static void ChooseEntry()
{
    PlayEffect(SfxMenu2);
    switch (MenuCursor.y) {
    case MENU_START_Y:
        StartNewGame();
        break;
    case MENU_HELP_Y:
        helpPage = 0;
        GameMode = Help;
        break;
    case MENU_QUIT_Y:
        quitChosen = 1;
        break;
    }
}

// Up acts before Down, and a cursor move latches, so an Enter held with it
// waits until all three keys have been released. Enter never latches.
void HandleMenuKeys()
{
    if (keyState[SDLK_UP] && keyLatch == 0) {
        PlayEffect(SfxMenu1);
        MenuCursor.y -= 16;
        if (MenuCursor.y < MENU_START_Y)
            MenuCursor.y = MENU_QUIT_Y;
        keyLatch = 1;
    }
    if (keyState[SDLK_DOWN] && keyLatch == 0) {
        PlayEffect(SfxMenu1);
        MenuCursor.y += 16;
        if (MenuCursor.y > MENU_QUIT_Y)
            MenuCursor.y = MENU_START_Y;
        keyLatch = 1;
    }
    if (keyState[SDLK_RETURN] && keyLatch == 0) {
        ChooseEntry();
        if (quitChosen)
            return;  // the loop ends at once
    }
    if (!keyState[SDLK_UP] && !keyState[SDLK_DOWN] && !keyState[SDLK_RETURN])
        keyLatch = 0;
}
