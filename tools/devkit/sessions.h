// Fixed sessions of play, each from a fresh start: the menu and the help
// pages, and each level's recorded run followed by a stretch of random keys
// (walking, jumping, firing, switching the display, skipping the level),
// then the menu and a help page in full screen.
// They are played the same way by tools/dev/passdigest, which writes their
// fingerprints, and by the test that holds every speed-up to them.
#pragma once

#include <functional>
#include <string>

#include "digest.h"

enum { SESSION_COUNT = 4, DIGEST_BLOCK = 64 };
extern const char *const SessionNames[SESSION_COUNT];  // "menu", "level1", ...

// Plays session `index` in a game started with RigStart(); afterPass sees
// the game after every pass. Returns the number of passes played, or -1 when
// a recorded run could not be read (why says what is wrong).
int PlaySession(int index, const std::string &sourceDir, const std::function<void(int pass)> &afterPass,
                std::string &why);

// Fingerprints chained over a session: one line per block of DIGEST_BLOCK
// passes and one for the last pass, "pass screen back records sound" in hex.
std::string SessionDigests(int index, const std::string &sourceDir, std::string &why);
