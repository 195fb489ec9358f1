// The in-game HUD: the frame picture, the score, the health bar, the gun bar.
#pragma once

#include <SDL.h>

extern char scoreText[12];  // decimal text of the score at its last change
extern SDL_Rect HealthFrames[7];
extern SDL_Rect HealthBarRect;  // (224, 56)
extern SDL_Rect GunBarRect;     // (224, 88)

void WriteScoreText();  // after every change of score
void DrawHud();
void PrepareHud();  // at start-up, once the frame picture is loaded and keyed
