// The game mode: which frame the main loop runs next, and what the modes
// share across a change. The menu, Start, game over and the end of the last
// level change the mode; the change takes effect at the next pass, when the
// loop reads it.
#pragma once

enum GameModeValue { Menu, Help, Playing };

extern GameModeValue GameMode;  // Menu at start
extern int quitChosen;          // set by the menu's Quit: the loop ends inside that pass

// The title menu's spinner: its frame, and the menu frames counted towards
// the next. It does not turn during play, and a level load and Escape from
// play set it back, so the menu always comes back on its first frame.
extern int spinnerFrame, spinnerTimer;
