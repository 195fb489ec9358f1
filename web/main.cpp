// The browser's entry: the game's own SDL_main, as on the desktop, then word
// to the page that the game has ended (Quit in the menu).

#include <emscripten.h>

#include "shell/loop.h"

EM_JS(void, WebGameEnded, (int status), {
    if (Module.kvEnded) Module.kvEnded(status);
});

int main(int argc, char *argv[])
{
    const int status = SDL_main(argc, argv);
    WebGameEnded(status);
    return status;
}
