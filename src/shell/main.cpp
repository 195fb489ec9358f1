// On Linux SDL 1.2 brings no start-up library of its own: this hands the
// program over to SDL_main as that start-up code would.

#include "shell/loop.h"

int main(int argc, char *argv[])
{
    return SDL_main(argc, argv);
}
