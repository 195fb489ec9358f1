// A game started headless for one test. RigStart gives the game's
// process-wide records their first values, so a test sees a fresh start
// whether it runs alone or after others in the same process.
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
