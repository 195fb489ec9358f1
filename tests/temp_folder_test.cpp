// The tests' own folders: two runs of the suite side by side (or a death
// test's child beside its parent) never share a folder or remove another's.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "temp_folder.h"

namespace fs = std::filesystem;

TEST(TestFolders, EveryCallGivesAFreshEmptyFolderNamedAfterTheTest)
{
    fs::path a = MakeTestFolder(), b = MakeTestFolder();
    EXPECT_NE(a, b);
    EXPECT_TRUE(fs::is_directory(a));
    EXPECT_TRUE(fs::is_empty(b));
    EXPECT_NE(a.filename().string().find("EveryCallGivesAFreshEmptyFolder"), std::string::npos);
    EXPECT_EQ(a.parent_path(), fs::temp_directory_path());
}

TEST(TestFolders, AProcessLeavingEarlyRemovesOnlyTheFoldersItMade)
{
    fs::path mine = MakeTestFolder();
    std::ofstream(mine / "keep") << "the parent's";
    // The child inherits the list of folders made so far but owns none of them.
    EXPECT_EXIT(
        {
            fs::path theirs = MakeTestFolder();
            std::ofstream(mine / "child") << theirs.string();
            exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    std::ifstream in(mine / "child");
    std::string theirs;
    std::getline(in, theirs);
    ASSERT_FALSE(theirs.empty());
    EXPECT_FALSE(fs::exists(theirs));
    EXPECT_TRUE(fs::exists(mine / "keep"));
}
