// The four help pages: story, keys, collectables, enemies.
#pragma once

extern int helpPage;
extern int helpAnimFrame, helpAnimTimer;  // shared by pages 0 and 3, never reset

void DrawHelpPage();
void HandleHelpKeys();
