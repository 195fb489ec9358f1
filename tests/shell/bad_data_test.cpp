// A missing or damaged picture stops start-up with one line naming the file,
// exit status 1, before any window opens. Each case runs the real game in a
// folder of its own with a damaged copy of the data.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "image.h"
#include "rig.h"
#include "shell/startup.h"
#include "video/art.h"
#include "temp_folder.h"
#include "vclock.h"

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
        dir = MakeTestFolder();
        fs::copy(fs::path(KV_SOURCE_DIR) / "data", dir / "data", fs::copy_options::recursive);
    }

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

    // The game's own copy of a picture with one 32-bit header field changed.
    void Patch32(const char *name, size_t offset, uint32_t value)
    {
        std::vector<uint8_t> b = Read(name);
        for (int i = 0; i < 4; i++)
            b[offset + i] = uint8_t(value >> (8 * i));
        Write(name, b);
    }
    void Restore(const char *name) { Write(name, ReadFile(std::string(KV_SOURCE_DIR) + "/data/" + name)); }
    // Puts something else where a file should be.
    fs::path Replace(const char *name)
    {
        fs::path p = dir / "data" / name;
        fs::remove(p);
        return p;
    }
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

// The file stores a colour blue, green, red; the line gives both colours red
// first. Entry 6 is aa5500 in the game's palette; its blue raised to 10 in
// the file reads aa5510.
TEST_F(BadDataTest, APaletteFaultGivesBothColoursRedFirst)
{
    std::vector<uint8_t> b = Read("back01.bmp");
    b[54 + 4 * 6 + 0] = 0x10;
    Write("back01.bmp", b);
    char why[160] = "";
    EXPECT_EQ(CheckArtFile((dir / "data/back01.bmp").c_str(), 192, 168, why, sizeof why), -1);
    EXPECT_STREQ(why, "palette entry 6 is aa5510, the game's palette has aa5500");
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

TEST_F(BadDataTest, EmptyPicture)
{
    Write("health.bmp", {});
    ExpectOneLineNaming(Run(), "data/health.bmp", "not a BMP");
}

TEST_F(BadDataTest, PictureCutInsideItsHeaderOrPalette)
{
    std::vector<uint8_t> b = Read("spike1.bmp");
    b.resize(40);
    Write("spike1.bmp", b);
    ExpectOneLineNaming(Run(), "data/spike1.bmp", "not a BMP");
    Restore("spike1.bmp");
    b = Read("ball.bmp");
    b.resize(54 + 600);
    Write("ball.bmp", b);
    ExpectOneLineNaming(Run(), "data/ball.bmp", "inside its palette");
}

TEST_F(BadDataTest, CompressedPicture)
{
    Patch32("explo.bmp", 30, 1);  // run-length encoded, 8 bits
    ExpectOneLineNaming(Run(), "data/explo.bmp", "compressed");
}

TEST_F(BadDataTest, PaletteOfFewerColours)
{
    Patch32("font8x8.bmp", 46, 16);
    ExpectOneLineNaming(Run(), "data/font8x8.bmp", "16 colours");
}

TEST_F(BadDataTest, PictureFarTooLarge)
{
    std::vector<uint8_t> b = Read("menu.bmp");
    b.resize(3 << 20, 0);
    Write("menu.bmp", b);
    ExpectOneLineNaming(Run(), "data/menu.bmp", "far too large");
}

// Sizes and offsets near 2^32 must not wrap a sum past the checks, nor a
// height of -2^31 overflow when it is made positive.
TEST_F(BadDataTest, AbsurdHeaderFieldsNeverReadPastTheFile)
{
    Patch32("shot.bmp", 14, 0xFFFFFFF0u);  // info header size
    ExpectOneLineNaming(Run(), "data/shot.bmp", "unsupported kind");
    Restore("shot.bmp");
    Patch32("shot.bmp", 22, 0x80000000u);  // height
    ExpectOneLineNaming(Run(), "data/shot.bmp", "is 8x2147483648 pixels");
    Restore("shot.bmp");
    Patch32("shot.bmp", 18, 0xFFFFFFF8u);  // width
    ExpectOneLineNaming(Run(), "data/shot.bmp", "is -8x4 pixels");
    Restore("shot.bmp");
    Patch32("shot.bmp", 10, 0xFFFFFFF0u);  // offset of the pixels
    ExpectOneLineNaming(Run(), "data/shot.bmp", "ends before");
}

TEST_F(BadDataTest, AFolderInPlaceOfAPicture)
{
    fs::create_directory(Replace("pframe.bmp"));
    ExpectOneLineNaming(Run(), "data/pframe.bmp", "is a folder");
}

// Opening a pipe for reading waits for a writer: the game never opens one.
TEST_F(BadDataTest, APipeInPlaceOfAPictureDoesNotHoldStartUp)
{
    ASSERT_EQ(mkfifo(Replace("gunbar.bmp").c_str(), 0644), 0);
    ExpectOneLineNaming(Run(), "data/gunbar.bmp", "not an ordinary file");
}

// /proc/self/mem opens but every read at its start fails, whoever we are.
TEST_F(BadDataTest, APictureThatOpensButCannotBeRead)
{
    fs::create_symlink("/proc/self/mem", Replace("mframe2.bmp"));
    ExpectOneLineNaming(Run(), "data/mframe2.bmp", "cannot read it");
}

TEST_F(BadDataTest, APictureWithoutReadPermission)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root";
    chmod((dir / "data" / "tiles.bmp").c_str(), 0);
    ExpectOneLineNaming(Run(), "data/tiles.bmp", "Permission denied");
}

TEST_F(BadDataTest, ASymlinkLoopInPlaceOfAPicture)
{
    fs::create_symlink("small.bmp", Replace("small.bmp"));
    ExpectOneLineNaming(Run(), "data/small.bmp", "symbolic links");
}

namespace {

void ExpectSdlAndAudioClosed()
{
    if (SDL_WasInit(SDL_INIT_EVERYTHING) != 0)
        _exit(3);
}

}  // namespace

// A picture that changes between the check and SDL's load ends start-up
// after the audio and SDL are closed, so exit's clean-up never meets the
// audio thread.
TEST_F(BadDataTest, APictureSdlCannotLoadAfterTheCheckClosesAudioAndSdlFirst)
{
    EXPECT_EXIT(
        {
            fs::current_path(dir);
            RigStart();  // the audio thread is running
            atexit(ExpectSdlAndAudioClosed);
            Write("back03.bmp", std::vector<uint8_t>(100, 'x'));
            LoadArt(ArtFiles[ART_FILE_COUNT - 1]);
        },
        ::testing::ExitedWithCode(1), "data/back03.bmp: SDL could not load it");
}

namespace {

// The check alone, on a copy of the 8x4 shot picture changed by `change`:
// the reason it gives, or "" when it takes the file.
std::string ShotCheck(const fs::path &dir, const std::function<void(std::vector<uint8_t> &)> &change)
{
    const std::string path = (dir / "shot-check.bmp").string();
    std::vector<uint8_t> b = ReadFile(std::string(KV_SOURCE_DIR) + "/data/shot.bmp");
    change(b);
    WriteFile(path, b);
    char why[200] = "";
    return CheckArtFile(path.c_str(), 8, 4, why, sizeof why) == 0 ? "" : why;
}

void Set32(std::vector<uint8_t> &b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        b[at + i] = uint8_t(v >> (8 * i));
}

}  // namespace

// Every limit of the picture check, one step on each side. The shot is
// 8x4: 14 bytes of file header, 40 of picture header, 1024 of palette
// (from byte 54) and four rows of 8 pixels from byte 1078: 1110 bytes.
TEST_F(BadDataTest, EachPictureCheckTakesItsLastGoodValueAndRefusesTheNext)
{
    auto cut = [](size_t n) { return [n](std::vector<uint8_t> &b) { b.resize(n); }; };
    auto field = [](size_t at, uint32_t v) { return [=](std::vector<uint8_t> &b) { Set32(b, at, v); }; };
    struct Side {
        const char *what;
        std::function<void(std::vector<uint8_t> &)> change;
        const char *refusal;  // nullptr: the file is taken
    } sides[] = {
        {"the whole file", [](std::vector<uint8_t> &) {}, nullptr},
        {"one byte short of its last row", cut(1109), "ends before its last row"},
        {"the pixels one byte later", field(10, 1079), "ends before its last row"},
        {"the pixels one byte sooner, inside the palette", field(10, 1077), "ends before its last row"},
        {"the palette's last byte missing", cut(1077), "ends inside its palette"},
        {"the palette whole, no pixels", cut(1078), "ends before its last row"},
        {"53 bytes", cut(53), "not a BMP"},
        {"54 bytes", cut(54), "ends inside its palette"},
        {"a picture header of 39 bytes", field(14, 39), "unsupported kind"},
        {"a picture header as long as the file", field(14, 1110 - 14), "palette"},
        {"a picture header one byte longer than the file", field(14, 1110 - 13), "unsupported kind"},
        {"one column more", field(18, 9), "is 9x4 pixels"},
        {"one column less", field(18, 7), "is 7x4 pixels"},
        {"one row more", field(22, 5), "is 8x5 pixels"},
        {"one row less", field(22, 3), "is 8x3 pixels"},
        {"rows stored top first", field(22, uint32_t(-4)), nullptr},
        {"a palette of 0 colours, meaning all", field(46, 0), nullptr},
        {"a palette of 255 colours", field(46, 255), "255 colours"},
        {"a palette of 257 colours", field(46, 257), "257 colours"},
        {"the unused fourth byte of a palette entry", [](std::vector<uint8_t> &b) { b[54 + 4 * 7 + 3] ^= 0xff; },
         nullptr},
    };
    for (const Side &s : sides) {
        const std::string why = ShotCheck(dir, s.change);
        if (s.refusal)
            EXPECT_NE(why.find(s.refusal), std::string::npos) << s.what << ": " << why;
        else
            EXPECT_EQ(why, "") << s.what;
    }
    // Each channel of an entry on its own, the first entry and the last: a
    // step of one in any of them is another palette. In the file an entry
    // is blue, green, red.
    for (int entry : {0, 255})
        for (int channel = 0; channel < 3; channel++) {
            const std::string why = ShotCheck(dir, [&](std::vector<uint8_t> &b) { b[54 + 4 * entry + channel] ^= 1; });
            EXPECT_NE(why.find("palette entry " + std::to_string(entry) + " "), std::string::npos)
                << "entry " << entry << ", byte " << channel << ": " << why;
        }
}

// The game itself refuses a picture one byte short of its last row as it
// refuses one far too short: one line naming the file, before the window.
TEST_F(BadDataTest, APictureOneByteShortOfItsLastRow)
{
    std::vector<uint8_t> b = Read("gunbar.bmp");
    ASSERT_EQ(b.size(), 1078u + 80 * 24);
    b.pop_back();
    Write("gunbar.bmp", b);
    ExpectOneLineNaming(Run(), "data/gunbar.bmp", "ends before its last row");
    // In the rig, where the display modes asked for are counted: none.
    EXPECT_EXIT(
        {
            fs::current_path(dir);
            atexit([] {
                if (vclock.videoModeCalls != 0 || SDL_WasInit(SDL_INIT_VIDEO))
                    _exit(3);
            });
            RigStart();
        },
        ::testing::ExitedWithCode(1), "data/gunbar.bmp: .*ends before its last row");
}
