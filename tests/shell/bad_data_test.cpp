// A missing or damaged picture stops start-up with one line naming the file,
// exit status 1, before any window opens. Each case runs the real game in a
// folder of its own with a damaged copy of the data.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "image.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status;
    std::string err;
};

class BadDataTest : public ::testing::Test {
protected:
    fs::path dir;

    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("kv-bad-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::copy(fs::path(KV_SOURCE_DIR) / "data", dir / "data", fs::copy_options::recursive);
    }
    void TearDown() override { fs::remove_all(dir); }

    Outcome Run()
    {
        std::string cmd = "cd '" + dir.string() + "' && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 20 '" +
                          KV_GAME_BINARY + "' 2>&1 >/dev/null";
        FILE *p = popen(cmd.c_str(), "r");
        std::string err;
        char buf[512];
        while (fgets(buf, sizeof buf, p))
            err += buf;
        int status = pclose(p);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, err};
    }

    void Write(const char *name, const std::vector<uint8_t> &bytes) { WriteFile((dir / "data" / name).string(), bytes); }
    std::vector<uint8_t> Read(const char *name) { return ReadFile((dir / "data" / name).string()); }
};

void ExpectOneLineNaming(const Outcome &o, const char *path, const char *words)
{
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
    EXPECT_NE(o.err.find(path), std::string::npos) << o.err;
    EXPECT_NE(o.err.find(words), std::string::npos) << o.err;
}

// A 24-bit picture with the right size, which SDL would happily load.
std::vector<uint8_t> TrueColourBmp(int w, int h)
{
    std::vector<uint8_t> b = {'B', 'M'};
    auto put32 = [&](uint32_t v) { for (int i = 0; i < 4; i++) b.push_back((v >> (8 * i)) & 0xff); };
    auto put16 = [&](uint32_t v) { b.push_back(v & 0xff); b.push_back((v >> 8) & 0xff); };
    const uint32_t stride = (w * 3 + 3) & ~3u;
    put32(54 + stride * h);
    put32(0);
    put32(54);
    put32(40);
    put32(w);
    put32(h);
    put16(1);
    put16(24);
    for (int i = 0; i < 6; i++)
        put32(0);
    b.resize(54 + stride * h, 0x40);
    return b;
}

}  // namespace

TEST_F(BadDataTest, NoDataFolderSaysWhereToStartTheGame)
{
    fs::remove_all(dir / "data");
    Outcome o = Run();
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("data/"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("top folder"), std::string::npos) << o.err;
}

TEST_F(BadDataTest, MissingPicture)
{
    fs::remove(dir / "data" / "gun.bmp");
    ExpectOneLineNaming(Run(), "data/gun.bmp", "cannot open");
}

TEST_F(BadDataTest, NotABmp)
{
    Write("logo.bmp", std::vector<uint8_t>(300, 'x'));
    ExpectOneLineNaming(Run(), "data/logo.bmp", "not a BMP");
}

TEST_F(BadDataTest, WrongDepth)
{
    Write("back02.bmp", TrueColourBmp(192, 168));
    ExpectOneLineNaming(Run(), "data/back02.bmp", "24 bits");
}

TEST_F(BadDataTest, WrongSize)
{
    Write("tiles.bmp", EncodeBmp8(Image(10, 16, 96)));
    ExpectOneLineNaming(Run(), "data/tiles.bmp", "10x16");
}

TEST_F(BadDataTest, PaletteThatDiffers)
{
    std::vector<uint8_t> b = Read("back01.bmp");
    b[54 + 4 * 5 + 1] ^= 0x10;  // green of entry 5
    Write("back01.bmp", b);
    ExpectOneLineNaming(Run(), "data/back01.bmp", "palette entry 5");
}

TEST_F(BadDataTest, TruncatedPixels)
{
    std::vector<uint8_t> b = Read("bar.bmp");
    b.resize(5000);
    Write("bar.bmp", b);
    ExpectOneLineNaming(Run(), "data/bar.bmp", "ends before");
}

TEST_F(BadDataTest, TheIconIsCheckedToo)
{
    Write("icon.bmp", EncodeBmp8(Image(16, 16, 3)));
    ExpectOneLineNaming(Run(), "data/icon.bmp", "16x16");
}
