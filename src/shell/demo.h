// Demos: the key state of every pass, recorded from play or played back,
// at the normal pace or as fast as the machine goes. A demo is a text file:
// see docs/demos.md. Started with no arguments the game records nothing and
// plays nothing back.
#pragma once

#include <SDL.h>

#include <cstdio>

#include "world/custom.h"

enum DemoModeValue { DemoOff, DemoRecord, DemoPlayback, DemoTimed };

// The keys a demo holds, one letter each in its files, in this order.
enum { DEMO_KEY_COUNT = 11, MAX_DEMO_STEPS = 1 << 18, MAX_DEMO_PASSES = 1 << 30 };
extern const char DemoKeyLetters[DEMO_KEY_COUNT + 1];  // "RLJFUDEX123"
extern const SDLKey DemoKeyCodes[DEMO_KEY_COUNT];

// One step of a demo: this many passes with these keys held (bit i is key
// i of the tables above).
struct DemoStep {
    Sint32 passes;
    Uint16 keys;
};

struct Demo {
    DemoModeValue mode;
    const char *path;
    Sint32 level;       // 1..3: the demo begins by choosing Start there; 0: at the game's first pass
    Sint32 runLevel;    // 1..3: a level run, begun by choosing Start there (--level-run)
    Sint32 runStarting; // the run's first pass, Start, is yet to come
    Sint32 passesInLevel; // passes since Start, counted while the level is watched
    Sint32 finishedPass;  // the pass after Start on which the level was left; 0: not (yet)
    Sint32 mapLevel;    // 1..3: made on a custom level for that level; 0: on the game's own maps
    Uint32 mapChecksum;
    char mapTitle[CUSTOM_NAME_MAX + 1];
    Sint32 stepCount;
    Sint32 totalPasses;
    Sint32 step, passInStep;  // where playback stands
    Sint32 passesDone;
    FILE *out;                // the file being recorded
    Uint16 lastKeys;          // recording: the keys of the run being counted
    Sint32 runLength;
    Uint8 keys[SDLK_LAST];    // the key table the game reads during playback
    Uint8 *realKeys;          // SDL's own key table
};

extern Demo demo;
extern DemoStep DemoSteps[MAX_DEMO_STEPS];

// Reads a demo from an open file into the tables. Returns 0, or -1 with the
// fault written into why (at most whyLen bytes), naming the line.
int ParseDemo(FILE *f, char *why, int whyLen);

// The command line. Returns -1 to go on and start the game, or the exit
// status after --help, --version or a fault (one line on stderr: 2 for a
// wrong command line, 1 for a demo file that cannot be read or is not one).
int ReadOptions(int argc, char *argv[]);

// After start-up: opens the file to record into (-1 with a message when it
// cannot be written), or points the game's key table at the demo's.
int BeginDemo();
// Around every pass of the main loop. AfterDemoPass returns 0 when a timed
// demo has run out and the game is to end.
void BeforeDemoPass();
int AfterDemoPass();
// While recording: the run of keys still being counted, as its line of the
// file ("12 RJ" and the line's end), or an empty text when there is none.
void PendingRunLine(char *text, int size);

// Ends a demo being played back at the normal pace between two passes, as
// if its keys had run out: the title menu, and the player's keys.
void StopPlayback();
// When the loop has ended: the recording's last run written and the file
// closed, or the timed demo's figures printed.
void EndDemo();

// Whether the pass is to wait out its frame: not in a timed demo.
inline int DemoWaits() { return demo.mode != DemoTimed; }

// Whether a demo being played back holds the keys: then nothing else does.
inline int DemoHoldsKeys() { return demo.mode == DemoPlayback || demo.mode == DemoTimed; }
