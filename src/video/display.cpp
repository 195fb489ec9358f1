#include "video/display.h"

#include <cstdlib>
#include <cstring>

void AskForSharpScaling()
{
    setenv("SDL12COMPAT_SCALE_METHOD", "nearest", 0);
    setenv("SDL_RENDER_SCALE_QUALITY", "nearest", 0);
}

int DisplayIsMissing(const char *chosen, const char *inUse)
{
    if (chosen && chosen[0])
        return 0;
    return strcmp(inUse, "offscreen") == 0 || strcmp(inUse, "dummy") == 0;
}

int DriverTakesEveryFrame(const char *inUse)
{
    return strcmp(inUse, "dummy") == 0 || strcmp(inUse, "offscreen") == 0 || strcmp(inUse, "canvas") == 0;
}
