// Gamepads through SDL's joystick calls. Asked before its joystick part
// starts, SDL presents every pad it knows in one standard layout, so the
// buttons are where a player expects them on any pad. A player who turns
// that off (SDL12COMPAT_USE_GAME_CONTROLLERS=0) gets each pad's own
// numbering, read as most pads number their buttons.

#include "input/pad.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

#include "input/keys.h"

PadState pads;

const SDLKey PadKeyCodes[PAD_KEY_COUNT] = {SDLK_RIGHT, SDLK_LEFT, SDLK_UP,     SDLK_DOWN,
                                           SDLK_LALT,  SDLK_SPACE, SDLK_RETURN, SDLK_ESCAPE};
enum { PAD_RIGHT, PAD_LEFT, PAD_UP, PAD_DOWN, PAD_JUMP, PAD_FIRE, PAD_START, PAD_BACK };

// Button numbers of the two layouts.
struct PadButtons {
    int jump, fire, back, start, up, down, left, right;  // -1: read from the hat instead
};
static const PadButtons StandardButtons = {0, 2, 4, 6, 11, 12, 13, 14};
static const PadButtons OwnButtons = {0, 2, 6, 7, -1, -1, -1, -1};

Uint32 PadKeys(const PadReading &r)
{
    Uint32 keys = 0;
    if (r.right || (r.hat & SDL_HAT_RIGHT) || r.axisX >= PAD_DEAD_ZONE)
        keys |= 1u << PAD_RIGHT;
    if (r.left || (r.hat & SDL_HAT_LEFT) || r.axisX <= -PAD_DEAD_ZONE)
        keys |= 1u << PAD_LEFT;
    if (r.up || (r.hat & SDL_HAT_UP) || r.axisY <= -PAD_DEAD_ZONE)
        keys |= 1u << PAD_UP;
    if (r.down || (r.hat & SDL_HAT_DOWN) || r.axisY >= PAD_DEAD_ZONE)
        keys |= 1u << PAD_DOWN;
    if (r.jump)
        keys |= 1u << PAD_JUMP;
    if (r.fire)
        keys |= 1u << PAD_FIRE;
    if (r.start)
        keys |= 1u << PAD_START;
    if (r.back)
        keys |= 1u << PAD_BACK;
    return keys;
}

// A button the pad does not have reads as up.
static Uint8 Button(SDL_Joystick *j, int buttons, int n)
{
    return n >= 0 && n < buttons && SDL_JoystickGetButton(j, n);
}

static Uint32 ReadPad(SDL_Joystick *j)
{
    const PadButtons &b = pads.controllerLayout ? StandardButtons : OwnButtons;
    const int buttons = SDL_JoystickNumButtons(j);
    const int axes = SDL_JoystickNumAxes(j);
    PadReading r = {};
    r.axisX = axes > 0 ? SDL_JoystickGetAxis(j, 0) : 0;
    r.axisY = axes > 1 ? SDL_JoystickGetAxis(j, 1) : 0;
    r.hat = SDL_JoystickNumHats(j) > 0 ? SDL_JoystickGetHat(j, 0) : 0;
    r.up = Button(j, buttons, b.up);
    r.down = Button(j, buttons, b.down);
    r.left = Button(j, buttons, b.left);
    r.right = Button(j, buttons, b.right);
    r.jump = Button(j, buttons, b.jump);
    r.fire = Button(j, buttons, b.fire);
    r.start = Button(j, buttons, b.start);
    r.back = Button(j, buttons, b.back);
    return PadKeys(r);
}

void LookForPads()
{
    if (pads.started)
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    pads.count = 0;
    pads.started = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    if (!pads.started)
        return;
    SDL_JoystickEventState(SDL_IGNORE);
    for (int i = 0; i < SDL_NumJoysticks() && pads.count < MAX_PADS; i++) {
        SDL_Joystick *j = SDL_JoystickOpen(i);
        if (j)
            pads.open[pads.count++] = j;
    }
}

// The folder of the system's input devices changes when one comes or goes:
// a look at its time costs a system call, and starting SDL's joystick part
// again only when it changed keeps the passes free of that work.
static int InputDevicesChanged()
{
    struct stat st;
    if (stat("/dev/input", &st) != 0)
        return 0;
    const int changed = st.st_mtim.tv_sec != pads.devicesSeconds || st.st_mtim.tv_nsec != pads.devicesNanoseconds;
    pads.devicesSeconds = st.st_mtim.tv_sec;
    pads.devicesNanoseconds = st.st_mtim.tv_nsec;
    return changed;
}

void AskForStandardPads()
{
    setenv("SDL12COMPAT_USE_GAME_CONTROLLERS", "1", 0);
}

void OpenPads()
{
    const char *standard = getenv("SDL12COMPAT_USE_GAME_CONTROLLERS");
    pads.controllerLayout = !standard || strcmp(standard, "0") != 0;
    InputDevicesChanged();
    LookForPads();
    pads.passesToLook = PAD_LOOK_PASSES;
}

void ReadPads()
{
    if (--pads.passesToLook <= 0) {
        pads.passesToLook = PAD_LOOK_PASSES;
        if (InputDevicesChanged())
            LookForPads();
    }
    Uint32 held = 0;
    if (pads.count > 0) {
        SDL_JoystickUpdate();
        for (int i = 0; i < pads.count; i++)
            held |= ReadPad(pads.open[i]);
    }
    HoldAlso(PadKeyCodes, PAD_KEY_COUNT, held);
}

void ClosePads()
{
    if (pads.started)
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    pads = {};
}
