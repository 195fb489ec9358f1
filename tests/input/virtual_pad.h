// A pad that exists only inside SDL: SDL 2, which the SDL 1.2 layer the game
// is built on runs on, can attach a virtual joystick that a test presses.
// The game finds it as it finds a real pad, through its joystick calls.
#pragma once

// The buttons and axes of the standard layout, as SDL numbers them.
enum {
    PAD_A = 0, PAD_B = 1, PAD_X = 2, PAD_Y = 3, PAD_BACK = 4, PAD_GUIDE = 5, PAD_START = 6,
    PAD_DPAD_UP = 11, PAD_DPAD_DOWN = 12, PAD_DPAD_LEFT = 13, PAD_DPAD_RIGHT = 14,
    PAD_BUTTONS = 15,
    PAD_LEFT_X = 0, PAD_LEFT_Y = 1, PAD_AXES = 6,
};

// Attaches a pad in the standard layout with the given numbers of buttons and
// axes (fewer than a full pad's to play a poor one); false when SDL cannot.
// SDL's joystick part is kept running by the pad itself, so the game's look
// for pads (which stops and starts that part) does not take it away.
bool AttachVirtualPad(int buttons = PAD_BUTTONS, int axes = PAD_AXES);
void PressPadButton(int button, bool down);
void MovePadAxis(int axis, int value);
void DetachVirtualPad();  // the pad pulled out
