#include "fixed_runs.h"

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "../levels/replay.h"
#include "rig.h"
#include "core/mode.h"
#include "world/level.h"

const char *const FixedRunNames[FIXED_RUN_COUNT] = {"menu", "level1", "level2", "level3"};

namespace {

// Our own generator for the random keys, so that the runs are the same on
// every platform and take nothing from any generator the game or the C
// library keeps.
struct Lcg {
    uint32_t state;
    uint32_t Next(uint32_t n)
    {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % n;
    }
};

int counter;
const std::function<void(int)> *observer;

void Step(int n = 1)
{
    for (int i = 0; i < n; i++) {
        Pass();
        counter++;
        (*observer)(counter);
    }
}

void Tap(SDLKey key, int hold = 1, int rest = 2)
{
    Hold(key);
    Step(hold);
    Release(key);
    Step(rest);
}

// Up and down the entries, into the help pages and through all four of them
// twice, and back.
void MenuAndHelp()
{
    Step(70);  // the spinner goes round once
    Tap(SDLK_DOWN);
    Tap(SDLK_DOWN);
    Tap(SDLK_UP, 5, 3);
    Hold(SDLK_UP);
    Hold(SDLK_DOWN);
    Step(2);
    ReleaseAll();
    Step(2);  // cursor on Help
    Tap(SDLK_RETURN, 1, 40);
    for (int page = 0; page < 8; page++)
        Tap(SDLK_SPACE, 2, 37);
    Tap(SDLK_ESCAPE, 1, 30);
    Tap(SDLK_DOWN);
    Step(60);
}

// Random held keys over the level: every key of play, held 1 to 40 passes.
void RandomPlay(uint32_t seed, int passes)
{
    static const SDLKey keys[] = {SDLK_RIGHT, SDLK_LEFT, SDLK_LALT, SDLK_SPACE, SDLK_RIGHT, SDLK_LEFT,
                                  SDLK_SPACE, SDLK_1,    SDLK_2,    SDLK_3};
    Lcg rng{seed};
    int played = 0;
    while (played < passes && GameMode == Playing) {
        ReleaseAll();
        const int count = 1 + rng.Next(3);
        for (int k = 0; k < count; k++) {
            SDLKey key = keys[rng.Next(sizeof keys / sizeof keys[0])];
            if (key == SDLK_3 && rng.Next(8) != 0)
                continue;  // a skip now and then, not every few seconds
            Hold(key);
        }
        const int hold = 1 + rng.Next(40);
        for (int i = 0; i < hold && played < passes && GameMode == Playing; i++, played++)
            Step();
    }
    ReleaseAll();
}

// The menu and a help page in full screen: into the level again, "1", then
// Escape to the menu and on into the help pages.
void FullScreenMenuAndHelp(int index)
{
    ReleaseAll();
    if (GameMode == Playing)
        Tap(SDLK_ESCAPE, 1, 2);
    levelIndex = index - 1;
    Tap(SDLK_RETURN, 1, 0);
    Tap(SDLK_1, 1, 4);
    Tap(SDLK_ESCAPE, 1, 30);
    Tap(SDLK_DOWN);
    Tap(SDLK_RETURN, 1, 20);
    Tap(SDLK_SPACE, 1, 20);
    Tap(SDLK_ESCAPE, 1, 10);
    Tap(SDLK_UP);
}

bool ReadReplay(const std::string &path, Replay &replay, std::string &why)
{
    std::ifstream in(path);
    if (!in) {
        why = path + ": cannot be read";
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    replay = ParseReplay(text.str());
    if (!replay.error.empty()) {
        why = path + ": " + replay.error;
        return false;
    }
    return true;
}

}  // namespace

int PlayFixedRun(int index, const std::string &sourceDir, const std::function<void(int)> &afterPass,
                std::string &why)
{
    counter = 0;
    observer = &afterPass;
    ReleaseAll();
    if (index == 0) {
        MenuAndHelp();
        return counter;
    }
    Replay replay;
    if (!ReadReplay(sourceDir + "/tests/replays/level" + std::to_string(index) + ".txt", replay, why))
        return -1;
    Step(3);  // a few menu frames first
    PlayReplay(replay, [](int) {
        counter++;
        (*observer)(counter);
    });
    // Start the same level again and play it by chance for a while.
    Tap(SDLK_ESCAPE, 1, 3);
    levelIndex = index - 1;
    Tap(SDLK_RETURN, 1, 0);
    RandomPlay(0x5eed0000u + index, 4000);
    FullScreenMenuAndHelp(index);
    return counter;
}

std::string FixedRunDigests(int index, const std::string &sourceDir, std::string &why)
{
    std::ostringstream out;
    PassDigest chain = {};
    flipHook.digest = true;
    auto line = [&](int pass) {
        char buf[128];
        snprintf(buf, sizeof buf, "%d %016" PRIx64 " %016" PRIx64 " %016" PRIx64 " %016" PRIx64 "\n", pass,
                 chain.screen, chain.back, chain.records, chain.sound);
        out << buf;
    };
    int last = 0;
    const int passes = PlayFixedRun(
        index, sourceDir,
        [&](int pass) {
            const PassDigest d = DigestNow();
            chain.screen = Fnv(&d.screen, 8, chain.screen);
            chain.back = Fnv(&d.back, 8, chain.back);
            chain.records = Fnv(&d.records, 8, chain.records);
            chain.sound = Fnv(&d.sound, 8, chain.sound);
            if (pass % DIGEST_BLOCK == 0)
                line(pass);
            last = pass;
        },
        why);
    flipHook.digest = false;
    if (passes < 0)
        return "";
    if (last % DIGEST_BLOCK != 0)
        line(last);
    return out.str();
}
