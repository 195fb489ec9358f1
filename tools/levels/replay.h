// Replays: a level played from its start by a script of key states, one
// entry per pass of the main loop. Shared by tools/dev/replay.cpp and the
// replay tests, so that both play a script in exactly the same way.
//
// A script is a demo file of the game's own (docs/demos.md): after its
// "kestravale demo 1" line, "level N" names the level it plays, and pairs
// "<passes> <keys>" hold keys for that many passes (R Right, L Left, J jump,
// F fire, and the menu and display keys), "-" for none; a line may end in
// "x<count>" to play its pairs that many times over. The game's own reader
// reads it, so a script is exactly what --playdemo plays.
#pragma once

#include <SDL.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "actors/player.h"
#include "actors/shots.h"
#include "rig.h"
#include "shell/demo.h"
#include "core/mode.h"
#include "world/level.h"
#include "world/pickups.h"

struct ReplayStep {
    int passes = 0;
    Uint16 keys = 0;  // bit i is DemoKeyCodes[i]
    bool right = false, left = false, jump = false, fire = false;
};

struct Replay {
    int level = 0;  // 1..3; 0 when the script names none
    int mapLevel = 0;       // "map N CHECKSUM TITLE": made on a custom map for level N; 0: on the game's own
    Uint32 mapChecksum = 0;
    std::vector<ReplayStep> steps;  // after the Start that "level N" stands for
    std::string error;  // empty when the script was read whole
};

struct ReplayResult {
    int completedPass = 0;  // the pass on which the level was left; 0 if never
    int passes = 0;         // passes played
    bool gameOver = false;
    int score = 0, lives = 0, hitPoints = 0;
    int wastedFire = 0;  // fire passes on which no shot left
};

inline bool Holds(Uint16 keys, SDLKey key)
{
    for (int i = 0; i < DEMO_KEY_COUNT; i++)
        if (DemoKeyCodes[i] == key)
            return (keys >> i) & 1;
    return false;
}

inline Replay ParseReplay(const std::string &text)
{
    Replay replay;
    std::string copy = text + "\n";  // fmemopen wants at least one byte
    FILE *f = fmemopen(copy.data(), copy.size(), "r");
    char why[200];
    if (!f)
        return replay.error = "cannot read the script", replay;
    const int fault = ParseDemo(f, why, sizeof why);
    fclose(f);
    if (fault < 0)
        return replay.error = why, replay;
    replay.level = demo.level;
    replay.mapLevel = demo.mapLevel;
    replay.mapChecksum = demo.mapChecksum;
    for (int i = demo.level ? 1 : 0; i < demo.stepCount; i++) {
        ReplayStep step;
        step.passes = DemoSteps[i].passes;
        step.keys = DemoSteps[i].keys;
        step.right = Holds(step.keys, SDLK_RIGHT);
        step.left = Holds(step.keys, SDLK_LEFT);
        step.jump = Holds(step.keys, SDLK_LALT);
        step.fire = Holds(step.keys, SDLK_SPACE);
        replay.steps.push_back(step);
    }
    if (replay.level == 0)
        replay.error = "the script names no level (\"level N\")";
    return replay;
}

// Puts the custom level at levelPath (none when empty) in place of its
// level's map through the game's own command line, as "--level FILE" does,
// after RigStart(). Returns "" when the script may be played on the map that
// is then in place, or what is wrong: a script made on a custom map plays
// only on that very map, one made on the game's maps only on those.
inline std::string PutMapInPlace(const Replay &replay, const std::string &levelPath)
{
    if (!levelPath.empty()) {
        const char *argv[] = {"replay", "--level", levelPath.c_str()};
        if (ReadOptions(3, (char **)argv) != -1)
            return "cannot read the level " + levelPath;
    }
    if (replay.mapLevel != customLevel.level || (replay.mapLevel && replay.mapChecksum != customLevel.checksum))
        return !replay.mapLevel          ? "made on the game's own maps, not on this custom level"
               : !customLevel.level ? "made on a custom level: give its file with --level"
                                    : "made on another custom level than this one";
    return "";
}

// Holds exactly the keys of a step.
inline void HoldStep(const ReplayStep &step)
{
    ReleaseAll();
    for (int i = 0; i < DEMO_KEY_COUNT; i++)
        if ((step.keys >> i) & 1)
            Hold(DemoKeyCodes[i]);
}

// How many passes of the script hold the fire key.
inline int FirePasses(const Replay &replay)
{
    int n = 0;
    for (const ReplayStep &s : replay.steps)
        n += s.fire ? s.passes : 0;
    return n;
}

// A shot that left in this pass still stands where it was launched, at the
// heroine's side and chest height; one in flight has moved on by then.
inline bool JustLaunched()
{
    const SDL_Rect &r = player.rect;
    const Shot &s = player.facing == FACING_LEFT ? leftShot : rightShot;
    const int dx = player.facing == FACING_LEFT ? -16 : 16;
    return s.active == 1 && s.rect.x == r.x + dx && s.rect.y == r.y + 23;
}

// Plays the script from the start of its level in a game freshly started with
// RigStart(): the menu's Start (Enter held for one pass) begins the level,
// then each pass gets its keys. Stops when the level is left (the exit item
// or the last level's end), at game over, or when the script runs out.
// afterPass, if given, sees the game after every pass of the script.
inline ReplayResult PlayReplay(const Replay &replay, const std::function<void(int pass)> &afterPass = {})
{
    ReplayResult result;
    const int index = replay.level - 1;
    levelIndex = index;
    ReleaseAll();
    Hold(SDLK_RETURN);
    Pass();
    Release(SDLK_RETURN);
    int pass = 0;
    for (const ReplayStep &step : replay.steps) {
        for (int i = 0; i < step.passes; i++) {
            HoldStep(step);
            Pass();
            pass++;
            if (step.fire && !JustLaunched())
                result.wastedFire++;
            if (afterPass)
                afterPass(pass);
            if (levelIndex != index) {
                result.completedPass = pass;
            } else if (GameMode == Menu) {
                result.gameOver = true;
            }
            if (result.completedPass || result.gameOver)
                goto done;
        }
    }
done:
    ReleaseAll();
    result.passes = pass;
    result.score = score;
    result.lives = player.lives;
    result.hitPoints = player.hitPoints;
    return result;
}
