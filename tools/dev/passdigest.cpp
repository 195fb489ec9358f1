// Writes the fingerprints of one fixed run of play (see
// tools/devkit/fixed_runs.h): the picture shown, the BackBuffer, the records
// and the sound, chained pass by pass, one line per 64 passes.
//
//   passdigest RUN [SOURCE_DIR]   RUN: menu, level1, level2, level3
//   passdigest --demo FILE        a demo played back through the game's own
//                                 playback, one line per pass
//
// Run from the top folder (where data/ is). tests/golden/passes/ holds the
// fingerprints every build must reproduce; after a change that is meant to
// alter what is seen, rewrite them with scripts/update-pass-digests.sh.

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "digest.h"
#include "rig.h"
#include "shell/demo.h"
#include "fixed_runs.h"

static void Print(int pass, const PassDigest &d)
{
    printf("%d %016" PRIx64 " %016" PRIx64 " %016" PRIx64 " %016" PRIx64 "\n", pass, d.screen, d.back, d.records,
           d.sound);
}

// Plays a demo as --playdemo would, from a fresh start, until its last pass.
static int PlayDemo(const char *path)
{
    // The fresh start first: it gives every record its first value, the
    // demo's among them, so the options are read after it.
    RigStart();
    char *argv[] = {(char *)"passdigest", (char *)"--playdemo", (char *)path, NULL};
    RigStart();  // first: it gives every record of the game its first value
    const int status = ReadOptions(3, argv);
    if (status >= 0) {
        RigStop();
        return status;
    }
    BeginDemo();
    flipHook.digest = true;
    for (int pass = 1; demo.mode == DemoPlayback; pass++) {
        const int goesOn = Pass();
        Print(pass, DigestNow());
        if (!goesOn)
            break;
    }
    RigStop();
    return 0;
}

int main(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], "--demo") == 0)
        return PlayDemo(argv[2]);
    if (argc < 2 || argc > 3) {
        fprintf(stderr, "usage: passdigest RUN [SOURCE_DIR] | passdigest --demo FILE\n");
        return 2;
    }
    int index = -1;
    for (int i = 0; i < FIXED_RUN_COUNT; i++)
        if (strcmp(argv[1], FixedRunNames[i]) == 0)
            index = i;
    if (index < 0) {
        fprintf(stderr, "passdigest: no fixed run \"%s\" (menu, level1, level2, level3)\n", argv[1]);
        return 2;
    }
    RigStart();
    std::string why;
    const std::string digests = FixedRunDigests(index, argc == 3 ? argv[2] : ".", why);
    RigStop();
    if (!why.empty()) {
        fprintf(stderr, "passdigest: %s\n", why.c_str());
        return 1;
    }
    fputs(digests.c_str(), stdout);
    return 0;
}
