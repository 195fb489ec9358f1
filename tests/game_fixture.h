// A game started headless for one test: every test runs in a process of its
// own, so the game's process-wide records start from their first values.
#pragma once

#include <gtest/gtest.h>

#include "rig.h"
#include "vclock.h"

class GameTest : public ::testing::Test {
protected:
    void SetUp() override { RigStart(); }
    void TearDown() override { RigStop(); }
};

// Writes a capture next to the test binary when a picture test fails, so it
// can be looked at.
inline void SaveForLooking(const Image &img, const char *name)
{
    WritePng(std::string(name) + ".png", img, 2);
}
