// Replays: a level played from its start by a script of key states, one
// entry per pass of the main loop. Shared by tools/dev/replay.cpp and the
// replay tests, so that both play a script in exactly the same way.
//
// A script is plain text. '#' starts a comment. "level N" (1..3) names the
// level it plays. Every other line holds pairs "<passes> <keys>": hold these
// keys for that many passes, where keys is any of R (Right), L (Left),
// J (jump, Left Alt) and F (fire, Space), or "-" for none. A line may end in
// "x<count>": its pairs are played that many times over.
#pragma once

#include <SDL.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "actors/player.h"
#include "actors/shots.h"
#include "rig.h"
#include "shell/loop.h"
#include "world/level.h"
#include "world/pickups.h"

struct ReplayStep {
    int passes = 0;
    bool right = false, left = false, jump = false, fire = false;
};

struct Replay {
    int level = 0;  // 1..3; 0 when the script names none
    std::vector<ReplayStep> steps;
    std::string error;  // empty when the script was read whole
};

struct ReplayResult {
    int completedPass = 0;  // the pass on which the level was left; 0 if never
    int passes = 0;         // passes played
    bool gameOver = false;
    int score = 0, lives = 0, hitPoints = 0;
    int wastedFire = 0;  // fire passes on which no shot left
};

inline bool ParseKeys(const std::string &word, ReplayStep &step)
{
    if (word == "-")
        return true;
    for (char c : word) {
        switch (c) {
        case 'R': step.right = true; break;
        case 'L': step.left = true; break;
        case 'J': step.jump = true; break;
        case 'F': step.fire = true; break;
        default: return false;
        }
    }
    return !word.empty();
}

inline Replay ParseReplay(const std::string &text)
{
    Replay replay;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); number++) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string s; words >> s;)
            w.push_back(s);
        if (w.empty())
            continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (w[0] == "level") {
            if (w.size() != 2 || w[1].size() != 1 || w[1][0] < '1' || w[1][0] > '3')
                return replay.error = where + "expected \"level 1\", \"level 2\" or \"level 3\"", replay;
            replay.level = w[1][0] - '0';
            continue;
        }
        int repeat = 1;
        if (w.size() % 2 == 1 && w.back().size() > 1 && w.back()[0] == 'x') {
            repeat = atoi(w.back().c_str() + 1);
            w.pop_back();
        }
        if (w.size() % 2 != 0 || repeat < 1)
            return replay.error = where + "expected pairs of <passes> <keys>, then perhaps x<count>", replay;
        std::vector<ReplayStep> pairs;
        for (size_t i = 0; i < w.size(); i += 2) {
            ReplayStep step;
            step.passes = atoi(w[i].c_str());
            if (step.passes < 1 || !ParseKeys(w[i + 1], step))
                return replay.error = where + "\"" + w[i] + " " + w[i + 1] + "\" is not <passes> <keys>", replay;
            pairs.push_back(step);
        }
        for (int r = 0; r < repeat; r++)
            replay.steps.insert(replay.steps.end(), pairs.begin(), pairs.end());
    }
    if (replay.level == 0)
        replay.error = "the script names no level (\"level N\")";
    return replay;
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
            ReleaseAll();
            if (step.right) Hold(SDLK_RIGHT);
            if (step.left) Hold(SDLK_LEFT);
            if (step.jump) Hold(SDLK_LALT);
            if (step.fire) Hold(SDLK_SPACE);
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
