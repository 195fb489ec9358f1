// What the game asks of SDL's display before it starts, and whether the
// display SDL found can show anything at all.
#pragma once

// Before SDL starts: a pixel-art picture stays sharp when it is scaled up to
// fill a screen (nearest-neighbour, not smoothed), unless the player chose
// another scaling method in the environment.
void AskForSharpScaling();

// Whether SDL, left to choose its video driver (chosen is NULL or empty),
// ended up with one that shows nothing: with no display to open a window on,
// it falls back to drawing off screen, and the game would run unseen for
// ever. A driver the player chose is never second-guessed.
int DisplayIsMissing(const char *chosen, const char *inUse);

// Whether the driver in use takes every frame as it is presented: one that
// shows nothing (SDL's dummy and offscreen drivers, whose frames only tools
// read), or the web page's canvas, which keeps the newest and paints it at
// the browser's own refresh. A display server is handed at most one frame
// per refresh instead (video.h).
int DriverTakesEveryFrame(const char *inUse);
