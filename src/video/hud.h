// The in-game HUD: the frame picture, the score, the health bar, the gun bar.
#pragma once

#include <SDL.h>

extern char scoreText[12];  // decimal text of the score at its last change
extern SDL_Rect HealthFrames[7];
extern SDL_Rect HealthBarRect;
extern SDL_Rect GunBarRect;

// Where the panel's parts stand in the picture.
enum { SCORE_X = 234, SCORE_Y = 25, HEALTH_BAR_X = 224, HEALTH_BAR_Y = 56, GUN_BAR_X = 224, GUN_BAR_Y = 88 };

void WriteScoreText(Sint32 score);  // after every change of score
void DrawHud(Sint32 lives);         // the heroine's lives choose the health bar's frame
void PrepareHud();  // at start-up, once the frame picture is loaded and keyed
