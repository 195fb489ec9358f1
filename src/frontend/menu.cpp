// The title menu. Its keys are read after the frame is shown, so a cursor
// move or a mode change is first seen in the next frame.

#include "frontend/menu.h"

#include <cstdlib>

#include "frontend/help.h"
#include "shell/loop.h"
#include "shell/startup.h"
#include "sound/sound.h"
#include "video/text.h"
#include "video/video.h"
#include "world/level.h"

SDL_Rect MenuCursor;
int spinnerFrame, spinnerTimer;
SDL_Rect SpinnerFrames[23];
SDL_Rect LogoRect;
SDL_Rect MenuImageRect;
const char creditLine[] = "Made by the Vale crew";  // at most 24 characters

enum { NOISE_FIRST = 15, NOISE_COLOURS = 15 };

// The noise field: one rand() per pixel, in rows from the top. The fifteen
// greys are mapped once per frame; mapping every pixel would search the
// palette 32,256 times a frame and slow the whole menu down.
static void DrawNoise()
{
    Uint32 grey[NOISE_COLOURS];
    for (int k = 0; k < NOISE_COLOURS; k++) {
        const SDL_Color &c = GamePalette[NOISE_FIRST + k];
        grey[k] = SDL_MapRGB(BackBuffer->format, c.r, c.g, c.b);
    }
    for (int y = 0; y < 168; y++)
        for (int x = 0; x < 192; x++)
            PutPixel(BackBuffer, 16 + x, 16 + y, grey[rand() % NOISE_COLOURS]);
}

void ClearToFrame()
{
    if (screen)
        SDL_FillRect(screen, NULL, 0);
    SDL_FillRect(BackBuffer, NULL, 0);
    SDL_Rect origin = {0, 0, 0, 0};
    SDL_UpperBlit(FrameOverlay, NULL, BackBuffer, &origin);
}

void DrawMenu()
{
    ClearToFrame();
    DrawNoise();
    SDL_UpperBlit(LogoImage, NULL, BackBuffer, &LogoRect);
    SDL_UpperBlit(SpinnerSheet, &SpinnerFrames[spinnerFrame], BackBuffer, &MenuCursor);
    SDL_UpperBlit(MenuImage, NULL, BackBuffer, &MenuImageRect);
    DrawText(BackBuffer, 16, 174, creditLine);
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
