// Custom levels: a map of the player's own for one of the three levels,
// drawn with that level's tiles and backdrop, its heroine starting and its
// enemies standing where the level has them. The file is plain text:
//
//   kestravale level 1
//   level N
//   title <a few words>
//   author <a few words>
//   <80 lines of 80 characters in the map legend (world/legend.h)>
//
// docs/levels.md tells the whole format.
#pragma once

#include <SDL.h>

#include "world/tilemap.h"

enum {
    CUSTOM_FILE_MAX = 65536,  // bytes: a level file is about 6.6 KB
    CUSTOM_NAME_MAX = 48,     // characters of a title or an author
};

struct CustomLevel {
    int level;  // 1..3: the level whose map this replaces; 0: none
    char title[CUSTOM_NAME_MAX + 1];
    char author[CUSTOM_NAME_MAX + 1];
    Uint32 checksum;  // of the map's 6400 characters, row by row
    Sint32 codes[MAP_CELLS];
};

extern CustomLevel customLevel;

// Reads a custom level from len bytes of text into customLevel. Returns 0,
// or -1 with what is wrong written into why (at most whyLen bytes), naming
// the line; customLevel.level is then 0.
int ReadCustomLevel(const char *text, int len, char *why, int whyLen);

// The checksum of a map's rows: FNV-1a over their 6400 characters.
Uint32 MapChecksum(const char *const rows[MAP_SIZE]);
