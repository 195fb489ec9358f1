// The map legend: which tile code each character of a level's text stands
// for. A custom level is written in it, and the three shipped maps are
// built from their text in it (tools/levels). Scope 0 is every level; a
// level's own entry (scope 1, 2 or 3) wins over a shared one for the same
// character. Solid codes are 1, 13, 54 and 57; 200..207 are the
// collectables; every other code below 90 is walk-through decoration drawn
// with its own frame.
#pragma once

#include <SDL.h>

struct LegendEntry {
    int scope;         // 0: every level; 1..3: that level only
    char character;
    Sint32 code;
    const char *what;  // what it looks like, for people
};

enum { LEGEND_ENTRIES = 90 };
extern const LegendEntry Legend[LEGEND_ENTRIES];

// The code a character stands for in level 1..3, or -1 if none.
Sint32 LegendCode(int level, char character);

// The character that stands for a code in level 1..3 (the level's own entry
// first), or 0 if none.
char LegendCharacter(int level, Sint32 code);
