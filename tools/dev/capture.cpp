// Headless screenshots: the menu, the four help pages and each level a
// moment after Start, as the player sees them (2x). Used for the README and
// for looking at the game without a display.
//
//   capture <out-folder>

#include <cstdio>
#include <string>

#include "frontend/help.h"
#include "rig.h"
#include "world/level.h"

static void Save(const std::string &dir, const char *name)
{
    std::string path = dir + "/" + name + ".png";
    if (!WritePng(path, CaptureBackBuffer(), 2))
        fprintf(stderr, "capture: cannot write %s\n", path.c_str());
    else
        printf("%s\n", path.c_str());
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: capture <out-folder>\n");
        return 2;
    }
    std::string out = argv[1];
    RigStart();
    Passes(10);
    Save(out, "menu");

    Press(SDLK_DOWN);
    Hold(SDLK_RETURN);
    Pass();
    Release(SDLK_RETURN);
    for (int page = 0; page < 4; page++) {
        Passes(40);
        Save(out, ("help" + std::to_string(page)).c_str());
        Press(SDLK_SPACE);
    }
    Press(SDLK_ESCAPE);
    Press(SDLK_UP);

    for (int level = 0; level < 3; level++) {
        levelIndex = level;
        Press(SDLK_RETURN);
        Passes(120);
        Save(out, ("level" + std::to_string(level + 1)).c_str());
        Press(SDLK_ESCAPE);
    }
    RigStop();
    return 0;
}
