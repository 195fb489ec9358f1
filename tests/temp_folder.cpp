#include "temp_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Made {
    fs::path path;
    pid_t owner;  // a forked death-test child inherits the list but owns none of it
};
std::vector<Made> made;

void RemoveOwnFolders()
{
    std::vector<Made> others;
    for (const Made &m : made) {
        if (m.owner != getpid()) {
            others.push_back(m);
            continue;
        }
        std::error_code ec;
        fs::remove_all(m.path, ec);
    }
    made = others;
}

// Runs after the test's TearDown, so a fixture may still use its folder there.
class Cleaner : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo &) override { RemoveOwnFolders(); }
};

}  // namespace

fs::path MakeTestFolder()
{
    static bool listening = false;
    if (!listening) {
        ::testing::UnitTest::GetInstance()->listeners().Append(new Cleaner);
        atexit(RemoveOwnFolders);
        listening = true;
    }
    std::string name = "kv-";
    if (const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info())
        name += std::string(info->test_suite_name()) + "." + info->name() + "-";
    for (char &c : name)
        if (c == '/')
            c = '_';  // parameterised tests carry slashes in their names
    std::string path = (fs::temp_directory_path() / (name + "XXXXXX")).string();
    if (!mkdtemp(path.data())) {
        // Handing back a shared folder would let the test delete others' files.
        fprintf(stderr, "cannot make a folder like %s\n", path.c_str());
        abort();
    }
    made.push_back({path, getpid()});
    return path;
}
