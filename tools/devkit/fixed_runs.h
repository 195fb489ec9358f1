// The fixed runs: four runs of play, scripted here, each from a fresh start,
// whose every pass is fingerprinted. One is the menu and the help pages; each
// of the other three is a level's recorded run followed by a stretch of
// random keys (walking, jumping, firing, switching the display, skipping the
// level), then the menu and a help page in full screen.
// They are played the same way by tools/dev/passdigest, which writes their
// fingerprints, and by the test that holds every speed-up to them.
#pragma once

#include <functional>
#include <string>

#include "digest.h"

enum { FIXED_RUN_COUNT = 4, DIGEST_BLOCK = 64 };
extern const char *const FixedRunNames[FIXED_RUN_COUNT];  // "menu", "level1", ...

// Plays fixed run `index` in a game started with RigStart(); afterPass sees
// the game after every pass. Returns the number of passes played, or -1 when
// a recorded run could not be read (why says what is wrong).
int PlayFixedRun(int index, const std::string &sourceDir, const std::function<void(int pass)> &afterPass,
                std::string &why);

// Fingerprints chained over a fixed run: one line per block of DIGEST_BLOCK
// passes and one for the last pass, "pass screen back records sound" in hex.
std::string FixedRunDigests(int index, const std::string &sourceDir, std::string &why);
