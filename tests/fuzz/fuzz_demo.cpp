// The demo reader: any input is read whole or refused with a line saying
// why, and what it accepts holds together (every step at least one pass and
// known keys, the passes adding up to the total).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell/demo.h"

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
    return 0;
}
