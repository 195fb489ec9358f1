// The level loader and a few dozen playing passes on what it loaded. The
// input's first 25600 bytes are the level file (shorter inputs make short
// files, and an empty one a missing level); each byte after them holds the
// keys of one pass, and the first of those also picks the level's set-up.

#include <cstdint>
#include <cstdlib>

#include <unistd.h>

#include "actors/enemies.h"
#include "actors/player.h"
#include "actors/shots.h"
#include "bass/mixer.h"
#include "digest.h"
#include "frontend/menu.h"
#include "fuzz_file.h"
#include "fuzz_records.h"
#include "rig.h"
#include "core/mode.h"
#include "input/keys.h"
#include "shell/loop.h"
#include "sound/sound.h"
#include "vclock.h"
#include "video/hud.h"
#include "video/video.h"
#include "world/level.h"
#include "world/pickups.h"
#include "world/tiles.h"

namespace {

enum { MAX_PASSES = 24 };

// The keys of play, bit by bit. The display keys are left out: the passes
// run in full screen, where presenting a frame costs no doubling, and SDL's
// own flip is skipped. What is shown does not depend on the map beyond the
// BackBuffer, and showing it took nearly all of the time.
const SDLKey PassKeys[6] = {SDLK_RIGHT, SDLK_LEFT, SDLK_LALT, SDLK_SPACE, SDLK_3, SDLK_ESCAPE};

void KeepPlayRecords()
{
    KeepRecord(player);
    KeepRecord(camX);
    KeepRecord(camY);
    KeepRecord(rightShot);
    KeepRecord(leftShot);
    KeepRecord(Explosions);
    KeepRecord(ExplosionRects);
    KeepRecord(nextExplosion);
    KeepRecord(Enemies);
    KeepRecord(worldX);
    KeepRecord(worldY);
    KeepRecord(enemyMoveTimer);
    KeepRecord(enemyAnimTimer);
    KeepRecord(Pickups);
    KeepRecord(pickupCount);
    KeepRecord(score);
    KeepRecord(scoreText);
    KeepRecord(levelIndex);
    KeepRecord(levelComplete);
    KeepRecord(GameMode);
    KeepRecord(keyLatch);
    KeepRecord(solidCount);
    KeepRecord(spinnerFrame);
    KeepRecord(spinnerTimer);
    KeepRecord(nextTick);
    KeepRecord(windowed);
    KeepRecord(framePeriodMs);
}

// The rig's logs grow with every pass: emptied, keeping their room.
void RewindClock()
{
    vclock.now = 0;
    vclock.delays.clear();
    vclock.effects.clear();
    vclock.events.clear();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (chdir(KV_SOURCE_DIR) != 0)  // the game's data/
        abort();
    bassOffline = 1;  // nothing mixes behind the passes' back
    RigStart();
    // libFuzzer leaves by exit(): SDL's threads must be gone before the
    // libraries are torn down under them, as the game's own exits ensure.
    atexit(RigStop);
    SetDisplayMode(0);
    flipHook.skip = true;
    KeepPlayRecords();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    RestoreRecords();
    RewindClock();
    ReleaseAll();

    const size_t levelBytes = size < LEVEL_FILE_BYTES ? size : LEVEL_FILE_BYTES;
    const uint8_t *keys = data + levelBytes;
    size_t passes = size - levelBytes;
    if (passes > MAX_PASSES)
        passes = MAX_PASSES;
    levelIndex = passes ? keys[0] % 3 : 0;

    const std::string path = WriteInput("new.lvl", data, levelBytes);
    SetUpLevel();
    LoadLevel(path.c_str());
    if (levelFileMissing)
        return 0;
    GameMode = Playing;
    for (size_t i = 0; i < (passes ? passes : MAX_PASSES) && GameMode == Playing; i++) {
        for (int k = 0; k < 6; k++)
            rigKeys[PassKeys[k]] = passes ? (keys[i] >> k) & 1 : 0;
        Pass();
    }
    return 0;
}
