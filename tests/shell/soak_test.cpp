// Random play for a long time through the rig: every key the game reads,
// each held for 1 to 60 passes at a time, from a fixed seed. The sanitizer
// build reports any fault on the way; here the heap must stay flat after
// the warm-up, and the score and the Camera inside their ranges.
//
// KV_SOAK_PASSES sets the number of passes (20,000 by default, as the suite
// runs it); scripts/soak.sh runs a million in the sanitizer build.
//
// The menu's Quit would end the loop: Enter is never held while the cursor
// stands on Quit (everything else the menu offers is played).

#include <gtest/gtest.h>

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "actors/player.h"
#include "frontend/menu.h"
#include "rig.h"
#include "core/mode.h"
#include "vclock.h"
#include "video/video.h"
#include "world/pickups.h"
#include "world/tilemap.h"

namespace {

long SoakPasses()
{
    const char *n = getenv("KV_SOAK_PASSES");
    return n ? atol(n) : 20000;
}

// Resident memory in kilobytes.
long ResidentKb()
{
    long pages = 0, resident = 0;
    FILE *f = fopen("/proc/self/statm", "r");
    if (!f)
        return 0;
    if (fscanf(f, "%ld %ld", &pages, &resident) != 2)
        resident = 0;
    fclose(f);
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Heap in use in kilobytes: unlike resident memory, it does not depend on
// what the tests that ran before in the same process left mapped.
long HeapKb()
{
    return long(mallinfo2().uordblks / 1024);
}

// The points of every item in the three maps: the most a game can take
// besides one point per shot fired (each level is loaded once per game).
long ItemPointsOfAllLevels()
{
    long points = 0;
    for (const char *path : LevelFiles) {
        LoadLevel(path);
        for (Sint32 code : TileMap)
            if (code >= FIRST_PICKUP_CODE && code <= LAST_PICKUP_CODE)
                points += PickupPoints[code - FIRST_PICKUP_CODE];
    }
    return points;
}

// Each key rests, then is held for 1 to 60 passes, then rests again. The
// rests differ so that play lasts: Escape and the skip key come seldom, and
// full screen (key 1) is left soon (key 2) because presenting there is slow
// with SDL's dummy driver.
struct HeldKey {
    SDLKey key;
    int longestRest;
    int left = 0;
    bool held = false;
};

HeldKey Keys[] = {
    {SDLK_RIGHT, 60}, {SDLK_LEFT, 60},   {SDLK_LALT, 60},  {SDLK_SPACE, 60}, {SDLK_UP, 200}, {SDLK_DOWN, 200},
    {SDLK_RETURN, 200}, {SDLK_ESCAPE, 6000}, {SDLK_3, 4000}, {SDLK_1, 4000},  {SDLK_2, 300},
};

void StepKeys(std::mt19937 &rng)
{
    for (HeldKey &k : Keys) {
        if (k.left-- > 0)
            continue;
        k.held = !k.held;
        k.left = std::uniform_int_distribution<int>(1, k.held ? 60 : k.longestRest)(rng) - 1;
        rigKeys[k.key] = k.held;
    }
    if (GameMode == Menu && MenuCursor.y == MENU_QUIT_Y)
        rigKeys[SDLK_RETURN] = 0;
}

}  // namespace

TEST(Soak, RandomHeldKeysLeaveMemoryFlatAndEveryRecordInRange)
{
    const long passes = SoakPasses();
    const long warmUp = std::min(passes / 5, 100000L);
    std::mt19937 rng(20261206);

    RigStart();
    const long itemPoints = ItemPointsOfAllLevels();
    long passesInGame = 0, games = 0, fullScreenPasses = 0, maxScore = 0;
    long warmKb = 0, maxKb = 0, warmHeapKb = 0;
    GameModeValue lastMode = GameMode;

    for (long i = 0; i < passes; i++) {
        StepKeys(rng);
        ASSERT_NE(Pass(), 0) << "the loop ended on pass " << i;
        if (GameMode == Playing && lastMode != Playing) {
            passesInGame = 0;
            games++;
        }
        lastMode = GameMode;
        passesInGame++;
        fullScreenPasses += windowed == 0;
        maxScore = std::max(maxScore, long(score));

        ASSERT_GE(score, 0) << "pass " << i;
        ASSERT_LE(score, passesInGame + itemPoints) << "pass " << i;
        ASSERT_TRUE(camX >= -16 && camX <= 1070) << "camX " << camX << " on pass " << i;
        // The maps are closed: the heroine stays inside the 1280x1280 level.
        const int worldX = camX + player.rect.x, worldY = camY + player.rect.y;
        ASSERT_TRUE(worldX >= 0 && worldX + 16 <= 1280 && worldY >= 0 && worldY + 64 <= 1280)
            << "the heroine at " << worldX << "," << worldY << " on pass " << i;

        if (i % 1000 == 0) {
            vclock.delays.clear();  // the rig's own logs, emptied with their room kept
            vclock.effects.clear();
            maxKb = std::max(maxKb, ResidentKb());
        }
        if (i == warmUp) {
            warmKb = ResidentKb();
            warmHeapKb = HeapKb();
        }
    }
    const long endKb = ResidentKb(), endHeapKb = HeapKb();
    RigStop();

    printf("soak: %ld passes, %ld games, %ld passes in full screen, highest score %ld\n", passes, games,
           fullScreenPasses, maxScore);
    printf("soak: resident memory %ld kB after %ld passes of warm-up, %ld kB at the end, %ld kB at most\n", warmKb,
           warmUp, endKb, maxKb);
    printf("soak: heap in use %ld kB after the warm-up, %ld kB at the end\n", warmHeapKb, endHeapKb);
    EXPECT_GT(games, passes / 20000);  // the keys really play
    // No pass takes from the heap, so nothing may grow there; SDL's display
    // switches free what they take. Resident memory is only reported: other
    // tests in the same process, and valgrind, change it. Under
    // AddressSanitizer the heap is the sanitizer's own and reads 0 here; its
    // leak check at the exit stands in.
    EXPECT_LE(endHeapKb - warmHeapKb, 64) << "the heap grew after the warm-up";
}
