// Opening the game's data files, and the one line that ends start-up when
// one of them is missing or damaged.
#pragma once

#include <cstdio>

// Opens a data file for reading only if it is an ordinary file: a folder
// opens and reads as nothing, and a pipe would hold fopen for ever. On
// failure writes the fault into why and returns NULL.
FILE *OpenDataFile(const char *path, char *why, int whyLen);

// The same, as a file descriptor (-1 on failure): reading through it takes
// no memory from the heap, as a level read during play must not.
int OpenDataDescriptor(const char *path, char *why, int whyLen);

// The file's path in full, working directory first, so that a line naming
// it tells which copy of the data is at fault: a source tree's or an
// installed one. Valid until the next call.
const char *FullDataPath(const char *path);

// Stops the program with status 1 after one line on stderr naming the file.
[[noreturn]] void DataFault(const char *path, const char *why);
