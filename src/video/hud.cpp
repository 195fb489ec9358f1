// The HUD is the last drawing of a playing frame: the frame picture over the
// scene, then the score, the health bar and the gun bar on its panel.

#include "video/hud.h"

#include <cstdio>
#include <cstring>

#include "video/art.h"
#include "video/blit.h"
#include "video/text.h"
#include "video/video.h"

char scoreText[12];
SDL_Rect HealthFrames[7];
SDL_Rect HealthBarRect;
SDL_Rect GunBarRect;

// The frame picture over the scene is its opaque pixels only: the runs of
// them, row by row, found once it is loaded. A picture with more runs than
// the table holds is drawn by the blit instead.
struct OpaqueRun {
    Sint16 y, x, n;
};
enum { MAX_OPAQUE_RUNS = 2048 };
static OpaqueRun OverlayRuns[MAX_OPAQUE_RUNS];
static int overlayRunCount;  // -1: too many, blit it

void PrepareHud()
{
    const Uint8 key = (Uint8)FrameOverlay->format->colorkey;
    const int keyed = (FrameOverlay->flags & SDL_SRCCOLORKEY) != 0;
    overlayRunCount = 0;
    for (int y = 0; y < FrameOverlay->h && y < BACKBUFFER_H; y++) {
        const Uint8 *row = (const Uint8 *)FrameOverlay->pixels + y * FrameOverlay->pitch;
        for (int x = 0; x < FrameOverlay->w && x < BACKBUFFER_W;) {
            if (keyed && row[x] == key) {
                x++;
                continue;
            }
            int end = x;
            while (end < FrameOverlay->w && end < BACKBUFFER_W && !(keyed && row[end] == key))
                end++;
            if (overlayRunCount == MAX_OPAQUE_RUNS) {
                overlayRunCount = -1;
                return;
            }
            OverlayRuns[overlayRunCount++] = {(Sint16)y, (Sint16)x, (Sint16)(end - x)};
            x = end;
        }
    }
}

static void DrawOverlay()
{
    if (overlayRunCount < 0) {
        SDL_Rect origin = {0, 0, 0, 0};
        Blit(FrameOverlay, NULL, BackBuffer, &origin);
        return;
    }
    for (int i = 0; i < overlayRunCount; i++) {
        const OpaqueRun &r = OverlayRuns[i];
        memcpy((Uint8 *)BackBuffer->pixels + r.y * BackBuffer->pitch + r.x,
               (const Uint8 *)FrameOverlay->pixels + r.y * FrameOverlay->pitch + r.x, r.n);
    }
}

// The text is rewritten only when the score changes, never rebuilt in
// between, so it always shows the value of the last change.
void WriteScoreText(Sint32 score)
{
    snprintf(scoreText, sizeof scoreText, "%d", (int)score);
}

void DrawHud(Sint32 lives)
{
    DrawOverlay();
    DrawText(BackBuffer, SCORE_X, SCORE_Y, scoreText);
    lives = lives < 0 ? 0 : lives > 6 ? 6 : lives;  // 0..5 in play
    Blit(HealthSheet, &HealthFrames[lives], BackBuffer, &HealthBarRect);
    Blit(GunBarImage, NULL, BackBuffer, &GunBarRect);
}
