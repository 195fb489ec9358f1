// Every pass of the four fixed runs (the menu and the help pages, and each
// level's recorded run followed by random play with display switches and
// level skips) must show the same picture, leave the same BackBuffer and the
// same records and start the same sounds as the build the fingerprints in
// tests/golden/passes/ were taken from. This holds every speed-up of the
// game to what was there before it.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "rig.h"
#include "fixed_runs.h"

namespace {

class SamePasses : public testing::TestWithParam<int> {};

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_P(SamePasses, EveryBlockOfPassesMatchesItsFingerprints)
{
    const int run = GetParam();
    const std::string path = std::string(KV_SOURCE_DIR "/tests/golden/passes/") + FixedRunNames[run] + ".txt";
    const std::string expected = ReadFile(path);
    ASSERT_FALSE(expected.empty()) << path;

    RigStart();
    std::string why;
    const std::string actual = FixedRunDigests(run, KV_SOURCE_DIR, why);
    RigStop();
    ASSERT_EQ(why, "");

    // Report the first block that differs: "pass screen back records sound".
    std::istringstream want(expected), got(actual);
    std::string a, b;
    int line = 0;
    while (std::getline(want, a)) {
        line++;
        ASSERT_TRUE(std::getline(got, b)) << "the run ended early, before: " << a;
        ASSERT_EQ(b, a) << "block " << line << " of " << path;
    }
    EXPECT_FALSE(std::getline(got, b)) << "the run ran on past its end: " << b;
}

INSTANTIATE_TEST_SUITE_P(FixedRuns, SamePasses, testing::Range(0, int(FIXED_RUN_COUNT)),
                         [](const testing::TestParamInfo<int> &info) { return std::string(FixedRunNames[info.param]); });

}  // namespace
