// SDL 2's calls are reached through the library SDL 1.2's layer loaded,
// by name: the game's own SDL calls have the same names and must stay the
// SDL 1.2 ones.

#include "virtual_pad.h"

#include <SDL2/SDL.h>
#include <dlfcn.h>

namespace {

struct Sdl2 {
    void *lib = nullptr;
    int (*InitSubSystem)(Uint32);
    void (*QuitSubSystem)(Uint32);
    int (*AttachVirtualEx)(const SDL_VirtualJoystickDesc *);
    int (*DetachVirtual)(int);
    SDL_Joystick *(*Open)(int);
    void (*Close)(SDL_Joystick *);
    int (*SetButton)(SDL_Joystick *, int, Uint8);
    int (*SetAxis)(SDL_Joystick *, int, Sint16);
};

Sdl2 sdl2;
SDL_Joystick *pad;

template <typename F>
bool Find(F &to, const char *name)
{
    to = reinterpret_cast<F>(dlsym(sdl2.lib, name));
    return to != nullptr;
}

bool Load()
{
    if (sdl2.lib)
        return true;
    sdl2.lib = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_NOLOAD);
    if (!sdl2.lib)
        return false;
    return Find(sdl2.InitSubSystem, "SDL_InitSubSystem") && Find(sdl2.QuitSubSystem, "SDL_QuitSubSystem") &&
           Find(sdl2.AttachVirtualEx, "SDL_JoystickAttachVirtualEx") &&
           Find(sdl2.DetachVirtual, "SDL_JoystickDetachVirtual") && Find(sdl2.Open, "SDL_JoystickOpen") &&
           Find(sdl2.Close, "SDL_JoystickClose") && Find(sdl2.SetButton, "SDL_JoystickSetVirtualButton") &&
           Find(sdl2.SetAxis, "SDL_JoystickSetVirtualAxis");
}

}  // namespace

bool AttachVirtualPad(int buttons, int axes)
{
    if (!Load() || sdl2.InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        return false;
    SDL_VirtualJoystickDesc desc = {};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = (Uint16)axes;
    desc.nbuttons = (Uint16)buttons;
    desc.button_mask = buttons >= 32 ? ~0u : (1u << buttons) - 1;
    desc.axis_mask = (1u << axes) - 1;
    desc.name = "Test pad";
    const int index = sdl2.AttachVirtualEx(&desc);
    if (index < 0)
        return false;
    pad = sdl2.Open(index);
    if (!pad)
        return false;
    return true;
}

void PressPadButton(int button, bool down) { sdl2.SetButton(pad, button, down ? 1 : 0); }
void MovePadAxis(int axis, int value) { sdl2.SetAxis(pad, axis, (Sint16)value); }

void DetachVirtualPad()
{
    if (!pad)
        return;
    sdl2.Close(pad);
    pad = nullptr;
    // A virtual pad's device index is its place among the pads attached now.
    sdl2.DetachVirtual(0);
    sdl2.QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}
