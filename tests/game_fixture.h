// A game started headless for one test. RigStart gives the game's
// process-wide records their first values, so a test sees a fresh start
// whether it runs alone or after others in the same process.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "rig.h"
#include "vclock.h"

class GameTest : public ::testing::Test {
protected:
    void SetUp() override { RigStart(); }
    void TearDown() override { RigStop(); }
};

// Writes a capture into the temporary folder when a picture test fails, so
// it can be looked at; returns where.
inline std::string SaveForLooking(const Image &img, const char *name)
{
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("kv-" + std::string(name) + "-" + std::to_string(getpid()) + ".png"))
                                 .string();
    WritePng(path, img, 2);
    return path;
}
