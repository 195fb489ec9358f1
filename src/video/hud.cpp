// The HUD is the last drawing of a playing frame: the frame picture over the
// scene, then the score, the health bar and the gun bar on its panel.

#include "video/hud.h"

#include <cstdio>

#include "actors/player.h"
#include "shell/startup.h"
#include "video/text.h"
#include "video/video.h"
#include "world/pickups.h"

char scoreText[12];
SDL_Rect HealthFrames[7];
SDL_Rect HealthBarRect;
SDL_Rect GunBarRect;

// The text is rewritten only when the score changes, never rebuilt in
// between, so it always shows the value of the last change.
void WriteScoreText()
{
    snprintf(scoreText, sizeof scoreText, "%d", (int)score);
}

void DrawHud()
{
    SDL_Rect origin = {0, 0, 0, 0};
    SDL_UpperBlit(FrameOverlay, NULL, BackBuffer, &origin);
    DrawText(BackBuffer, 234, 25, scoreText);
    int lives = player.lives < 0 ? 0 : player.lives > 6 ? 6 : player.lives;  // 0..5 in play
    SDL_UpperBlit(HealthSheet, &HealthFrames[lives], BackBuffer, &HealthBarRect);
    SDL_UpperBlit(GunBarImage, NULL, BackBuffer, &GunBarRect);
}
