// Gamepads. A pad is read once a pass, just before the pass, and what it
// holds is handed to the game as the game's own keys, as a keyboard would
// hold them: the game never learns that a pad is there, and a game played
// with one records and plays back as a demo like any other.
//
// The layout, the same on every pad SDL knows (its game-controller view):
// the D-pad and the left stick are the arrow keys, the bottom face button
// (A, Cross) jumps as Left Alt does, the left face button (X, Square) fires
// and turns the help pages as Space does, Start is Enter and Back (Select)
// is Escape.
#pragma once

#include <SDL.h>

enum {
    MAX_PADS = 4,
    PAD_DEAD_ZONE = 16384,   // a stick must lean half its travel to count
    PAD_LOOK_PASSES = 32,    // how often to look whether a pad was plugged in or pulled out
};

struct PadState {
    int started;                   // SDL's joystick part is running
    int controllerLayout;          // pads seen in the standard layout
    int count;                     // pads open
    SDL_Joystick *open[MAX_PADS];
    int passesToLook;
    long devicesSeconds, devicesNanoseconds;  // when the system's input devices last changed
};

extern PadState pads;

// Before SDL starts: the pads in the standard layout, unless the player
// chose otherwise in the environment.
void AskForStandardPads();

// At start-up, once SDL has started: the pads plugged in are opened, and
// their events are kept out of the event queue (a stick sends hundreds a
// second, and the loop takes one event a pass).
void OpenPads();

// SDL lists its pads when its joystick part starts; starting it again is
// the one way to see a pad plugged in since, and to let one go.
void LookForPads();

// Once a pass, before the pass reads its keys. A pad pulled out reads as
// nothing held at once; when the system's input devices change (a pad
// plugged in or pulled out), the pads are looked for again.
void ReadPads();

void ClosePads();

// What one pad holds, as a set of the keys of PadKeyCodes (bit i: key i).
// The readings are given whole so that a test can see what any pad would do.
enum { PAD_KEY_COUNT = 8 };
extern const SDLKey PadKeyCodes[PAD_KEY_COUNT];
struct PadReading {
    Sint16 axisX, axisY;  // the left stick
    Uint8 hat;            // SDL_HAT_* bits, pads outside the standard layout
    Uint8 up, down, left, right, jump, fire, start, back;
};
Uint32 PadKeys(const PadReading &r);
