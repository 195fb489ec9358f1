// The demo reader: any bytes as a demo file through ParseDemo, and when they
// are a demo, its playback stepped through to its end (up to a bound) as the
// main loop steps it, pass by pass, without the game's own passes between:
// the steps, their counts and the keys put into the game's key table.

#include <cstdint>
#include <cstdio>

#include "fuzz_file.h"
#include "shell/demo.h"
#include "shell/loop.h"

enum { MAX_STEPPED_PASSES = 1 << 16 };

static Uint8 playerKeys[SDLK_LAST];

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string path = WriteInput("input.demo", data, size);
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        abort();
    char why[160];
    const int parsed = ParseDemo(f, why, sizeof why);
    fclose(f);
    if (parsed < 0)
        return 0;

    keyState = playerKeys;
    GameMode = Menu;
    demo.mode = DemoPlayback;
    demo.path = path.c_str();
    if (BeginDemo() < 0)
        abort();
    for (int pass = 0; pass < MAX_STEPPED_PASSES && demo.mode == DemoPlayback; pass++) {
        BeforeDemoPass();
        const Uint16 keys = DemoSteps[demo.step].keys;
        for (int i = 0; i < DEMO_KEY_COUNT; i++)
            if (keyState[DemoKeyCodes[i]] != ((keys >> i) & 1))
                abort();
        AfterDemoPass();
    }
    if (demo.mode == DemoPlayback && demo.totalPasses <= MAX_STEPPED_PASSES)
        abort();  // a demo that should have ended did not
    if (demo.mode == DemoOff && keyState != playerKeys)
        abort();  // the player's keys were not given back
    demo.mode = DemoOff;
    return 0;
}
