// The demo reader: any input is read whole or refused with a line saying
// why, and what it accepts holds together (every step at least one pass and
// known keys, the passes adding up to the total). An accepted demo is then
// stepped through its playback to its end (at most 65536 passes) as the main
// loop steps it, without the game's own passes between: each pass must put
// exactly that step's keys into the game's key table, and the end must give
// the player's keys back. Every other input is also ended early, as a run
// watched in the browser is by the player, at a pass its size chooses: the
// menu and the player's keys at once.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell/demo.h"
#include "core/mode.h"
#include "input/keys.h"

enum { MAX_STEPPED_PASSES = 1 << 16 };

static Uint8 playerKeys[SDLK_LAST];

static void StepThroughPlayback(int stopAt)
{
    keyState = playerKeys;
    GameMode = Menu;
    demo.mode = DemoPlayback;
    if (BeginDemo() < 0)
        abort();
    for (int pass = 0; pass < MAX_STEPPED_PASSES && demo.mode == DemoPlayback; pass++) {
        if (pass == stopAt) {
            StopPlayback();
            if (demo.mode != DemoOff || GameMode != Menu)
                abort();  // the playback did not end
            break;
        }
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
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;  // fmemopen wants at least one byte; an empty file is a test's case
    FILE *f = fmemopen((void *)data, size, "r");
    if (!f)
        abort();
    char why[200];
    why[0] = 0;
    const int r = ParseDemo(f, why, sizeof why);
    fclose(f);
    if (r < 0) {
        if (why[0] == 0 || strlen(why) >= sizeof why)
            abort();  // a refusal always says why
        return 0;
    }
    long long total = 0;
    if (demo.stepCount < 1 || demo.stepCount > MAX_DEMO_STEPS || demo.level < 0 || demo.level > 3)
        abort();
    for (int i = 0; i < demo.stepCount; i++) {
        if (DemoSteps[i].passes < 1 || DemoSteps[i].keys >> DEMO_KEY_COUNT)
            abort();
        total += DemoSteps[i].passes;
    }
    if (total != demo.totalPasses || total > MAX_DEMO_PASSES)
        abort();
    StepThroughPlayback(size % 2 ? (int)(size * 37 % 4096) : -1);
    return 0;
}
