// Writes the fingerprints of one fixed session of play (see
// tools/devkit/sessions.h): the picture shown, the BackBuffer, the records
// and the sound, chained pass by pass, one line per 64 passes.
//
//   passdigest SESSION [SOURCE_DIR]     SESSION: menu, level1, level2, level3
//
// Run from the top folder (where data/ is). tests/golden/passes/ holds the
// fingerprints every build must reproduce; after a change that is meant to
// alter what is seen, rewrite them with scripts/update-pass-digests.sh.

#include <cstdio>
#include <cstring>
#include <string>

#include "rig.h"
#include "sessions.h"

int main(int argc, char **argv)
{
    if (argc < 2 || argc > 3) {
        fprintf(stderr, "usage: passdigest SESSION [SOURCE_DIR]\n");
        return 2;
    }
    int index = -1;
    for (int i = 0; i < SESSION_COUNT; i++)
        if (strcmp(argv[1], SessionNames[i]) == 0)
            index = i;
    if (index < 0) {
        fprintf(stderr, "passdigest: no session \"%s\" (menu, level1, level2, level3)\n", argv[1]);
        return 2;
    }
    RigStart();
    std::string why;
    const std::string digests = SessionDigests(index, argc == 3 ? argv[2] : ".", why);
    RigStop();
    if (!why.empty()) {
        fprintf(stderr, "passdigest: %s\n", why.c_str());
        return 1;
    }
    fputs(digests.c_str(), stdout);
    return 0;
}
