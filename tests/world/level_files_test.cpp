// Level files, the start of a game and the walk from level to level. Each
// test plays in a folder of its own whose data/ holds the game's pictures
// and sounds and level files written by the test.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "frontend/menu.h"
#include "game_fixture.h"
#include "sound/sound.h"
#include "scene.h"
#include "video/art.h"
#include "temp_folder.h"
#include "video/hud.h"
#include "world/pickups.h"
#include "world/tiles.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> LevelBytes(const std::vector<Sint32> &cells)
{
    std::vector<uint8_t> b;
    for (Sint32 v : cells)
        for (int i = 0; i < 4; i++)
            b.push_back(uint8_t(uint32_t(v) >> (8 * i)));
    return b;
}

// A level with a floor under each start and one item in the air.
std::vector<Sint32> SimpleLevel()
{
    std::vector<Sint32> cells(MAP_CELLS, 0);
    for (int c = 0; c < MAP_SIZE; c++)
        for (int r : {38, 40, 70})
            cells[MAP_SIZE * r + c] = 1;
    cells[MAP_SIZE * 30 + 40] = 206;
    return cells;
}

class LevelFolderTest : public ::testing::Test {
protected:
    fs::path dir, home;
    bool started = false;

    void SetUp() override
    {
        home = fs::current_path();
        dir = MakeTestFolder();
        fs::create_directories(dir / "data");
        for (const auto &f : fs::directory_iterator(fs::path(KV_SOURCE_DIR) / "data"))
            if (f.path().extension() != ".lvl")
                fs::create_symlink(f.path(), dir / "data" / f.path().filename());
        for (int n = 1; n <= 3; n++)
            WriteLevel(n, LevelBytes(SimpleLevel()));
        fs::current_path(dir);
    }
    void TearDown() override
    {
        if (started)
            RigStop();
        fs::current_path(home);
    }
    void Start()
    {
        RigStart();
        started = true;
    }
    void WriteLevel(int n, const std::vector<uint8_t> &bytes)
    {
        WriteFile((dir / "data" / ("new" + std::to_string(n) + ".lvl")).string(), bytes);
    }
};

}  // namespace

TEST_F(LevelFolderTest, CodesAreReadLittleEndianRowByRowAndTakenAsTheyStand)
{
    std::vector<Sint32> cells(MAP_CELLS, 0);
    cells[1] = 0x12345678;          // bytes 4..7
    cells[80] = -5;                 // bytes 320..323
    cells[MAP_SIZE * 5 + 5] = 13;   // 0D: a carriage return
    cells[MAP_SIZE * 5 + 6] = 26;   // 1A: an old end-of-file mark
    cells[MAP_SIZE * 5 + 7] = 10;   // 0A: a line feed
    cells[MAP_CELLS - 1] = 207;
    std::vector<uint8_t> bytes = LevelBytes(cells);
    ASSERT_EQ(bytes[4], 0x78);
    ASSERT_EQ(bytes[7], 0x12);
    WriteLevel(1, bytes);
    Start();
    LoadLevel("data/new1.lvl");
    for (int i = 0; i < MAP_CELLS; i++)
        ASSERT_EQ(TileMap[i], cells[i]) << "cell " << i;
}

TEST_F(LevelFolderTest, AShortFileFillsWhatItCoversAndALongOneIsCutAtTheMap)
{
    std::vector<uint8_t> bytes(1000);
    for (size_t i = 0; i < bytes.size(); i += 4)
        bytes[i] = 3;
    WriteLevel(1, bytes);
    std::vector<uint8_t> longer = LevelBytes(SimpleLevel());
    longer.resize(30000, 0x01);
    WriteLevel(2, longer);
    Start();
    for (Sint32 &c : TileMap)
        c = 99;  // whatever the map held before
    LoadLevel("data/new1.lvl");
    for (int i = 0; i < MAP_CELLS; i++)
        ASSERT_EQ(TileMap[i], i < 250 ? 3 : 0) << "cell " << i;  // rows 0-2 and ten cells of row 3

    LoadLevel("data/new2.lvl");
    std::vector<Sint32> simple = SimpleLevel();
    for (int i = 0; i < MAP_CELLS; i++)
        ASSERT_EQ(TileMap[i], simple[i]);
}

// One byte either side of a whole map: a file one byte short leaves the
// last cell with the three low bytes it reaches, a byte more is never read;
// a single byte is a map of one cell, not a missing file.
TEST_F(LevelFolderTest, AFileOneByteShortOrLongOrOfOneByte)
{
    std::vector<Sint32> cells(MAP_CELLS);
    for (int i = 0; i < MAP_CELLS; i++)
        cells[i] = 0x01010101 * (i % 7 + 1);  // every byte of a cell alike, so a lost byte shows
    cells[MAP_CELLS - 1] = 0x7F665544;
    std::vector<uint8_t> whole = LevelBytes(cells);
    WriteLevel(1, std::vector<uint8_t>(whole.begin(), whole.end() - 1));
    std::vector<uint8_t> longer = whole;
    longer.push_back(0x99);
    WriteLevel(2, longer);
    WriteLevel(3, {0xC9});
    Start();

    LoadLevel("data/new1.lvl");
    EXPECT_EQ(levelFileMissing, 0);
    for (int i = 0; i < MAP_CELLS - 1; i++)
        ASSERT_EQ(TileMap[i], cells[i]) << "cell " << i;
    EXPECT_EQ(TileMap[MAP_CELLS - 1], 0x665544);

    LoadLevel("data/new2.lvl");
    for (int i = 0; i < MAP_CELLS; i++)
        ASSERT_EQ(TileMap[i], cells[i]) << "cell " << i;

    LoadLevel("data/new3.lvl");
    EXPECT_EQ(levelFileMissing, 0);
    EXPECT_EQ(TileMap[0], 201);
    for (int i = 1; i < MAP_CELLS; i++)
        ASSERT_EQ(TileMap[i], 0) << "cell " << i;
}

TEST_F(LevelFolderTest, LoadingClearsEveryRectangleOfThePreviousLevelAndRewindsTheSpinner)
{
    Start();
    LoadLevel("data/new1.lvl");
    GameMode = Playing;
    Pass();
    ASSERT_GT(solidCount, 0);
    spinnerFrame = 7;
    spinnerTimer = 2;
    Sint32 count = solidCount;
    LoadLevel("data/new2.lvl");
    for (int i = 0; i < MAP_CELLS; i++) {
        ASSERT_EQ(CellRects[i].w, 0);
        ASSERT_EQ(SolidRects[i].x, 0);
        ASSERT_EQ(SolidRects[i].w, 0);
    }
    EXPECT_EQ(solidCount, count);  // rebuilt by the next frame, not here
    EXPECT_EQ(spinnerFrame, 0);
    EXPECT_EQ(spinnerTimer, 0);
}

// Enter never latches in the menu, but a Start that fails waits for Enter
// to be let go: holding it gives one try, one sound and one line.
TEST_F(LevelFolderTest, AMissingLevelFileIsReportedOncePerPressAndStartStaysInTheMenu)
{
    fs::remove(dir / "data" / "new1.lvl");
    Start();
    Pass();  // the menu's music is playing
    ::testing::internal::CaptureStderr();
    Hold(SDLK_RETURN);
    Passes(5);
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "kestravale: " + (fs::current_path() / "data/new1.lvl").string() +
                       ": cannot open it: No such file or directory; the game stays in the title menu\n");
    EXPECT_EQ(EffectCount(SfxMenu2), 1);
    EXPECT_EQ(GameMode, Menu);
    EXPECT_EQ(currentMusic, 0);  // never switched to the level's music

    Release(SDLK_RETURN);
    Pass();
    ::testing::internal::CaptureStderr();
    Press(SDLK_RETURN);  // a new press is a new try
    err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(EffectCount(SfxMenu2), 2);

    WriteLevel(1, LevelBytes(SimpleLevel()));
    Press(SDLK_RETURN);
    EXPECT_EQ(GameMode, Playing);
}

// A file that opens but holds no level is a missing file, whatever it is.
TEST_F(LevelFolderTest, EmptyFolderPipeUnreadableAndLoopedLevelFilesAreMissingFiles)
{
    const fs::path level = dir / "data" / "new1.lvl";
    struct Case {
        const char *what;
        std::function<void()> make;
        const char *says;
    } cases[] = {
        {"empty", [&] { WriteLevel(1, {}); }, "is empty"},
        {"folder", [&] { fs::create_directory(level); }, "is a folder"},
        {"pipe", [&] { ASSERT_EQ(mkfifo(level.c_str(), 0644), 0); }, "is not an ordinary file"},
        {"unreadable", [&] { fs::create_symlink("/proc/self/mem", level); }, "cannot read it"},
        {"symlink loop", [&] { fs::create_symlink("new1.lvl", level); }, "cannot open it: Too many levels of symbolic links"},
    };
    Start();
    for (const Case &c : cases) {
        fs::remove(level);
        c.make();
        ::testing::internal::CaptureStderr();
        Press(SDLK_RETURN);
        std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(std::string("data/new1.lvl: ") + c.says), std::string::npos) << c.what << ": " << err;
        EXPECT_EQ(GameMode, Menu) << c.what;
    }
    // Between the look at Start and the read, the file could still change.
    for (const Case &c : cases) {
        fs::remove(level);
        c.make();
        TileMap[5] = 7;
        LoadLevel("data/new1.lvl");
        EXPECT_EQ(levelFileMissing, 1) << c.what;
        EXPECT_NE(std::string(levelFault).find(c.says), std::string::npos) << c.what << ": " << levelFault;
        EXPECT_EQ(TileMap[5], 0) << c.what;  // the map was cleared all the same
    }
}

// An empty level file is found out before the level is set up: the menu
// goes on as it was, its music never switched and its spinner turning on.
// Ten menu passes leave the spinner on frame 3 (it turns every third pass),
// the eleventh, which takes the Start, one pass further towards frame 4.
TEST_F(LevelFolderTest, AnEmptyLevelFileLeavesTheMenuAsItWas)
{
    WriteLevel(1, {});
    Start();
    Passes(10);
    ::testing::internal::CaptureStderr();
    Hold(SDLK_RETURN);
    Pass();
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("data/new1.lvl: is empty; the game stays in the title menu"), std::string::npos) << err;
    EXPECT_EQ(GameMode, Menu);
    EXPECT_EQ(currentMusic, 0);
    EXPECT_EQ(spinnerFrame, 3);
    EXPECT_EQ(spinnerTimer, 2);
}

// When the next level's file is missing the run ends there, as after the
// last level: the menu, and the next Start begins at the first level.
TEST_F(LevelFolderTest, AMissingNextLevelEndsTheRunAndTheNextStartBeginsAtTheFirstLevel)
{
    fs::remove(dir / "data" / "new2.lvl");
    Start();
    Press(SDLK_RETURN);
    ASSERT_EQ(GameMode, Playing);
    ::testing::internal::CaptureStderr();
    Press(SDLK_3);
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "kestravale: " + (fs::current_path() / "data/new2.lvl").string() +
                       ": cannot open it: No such file or directory; "
                       "back to the title menu; the next Start begins at the first level\n");
    EXPECT_EQ(GameMode, Menu);
    EXPECT_EQ(levelIndex, 0);
    Press(SDLK_RETURN);
    EXPECT_EQ(GameMode, Playing);
    EXPECT_EQ(levelIndex, 0);
    EXPECT_EQ(camX, 113);
}

// Start on a later level whose file has gone: one line, and the next Start
// begins at the first level instead of failing on the same file for ever.
TEST_F(LevelFolderTest, StartOnALaterLevelWhoseFileHasGoneFallsBackToTheFirstLevel)
{
    fs::remove(dir / "data" / "new3.lvl");
    Start();
    levelIndex = 2;  // as after a game over on the third level
    ::testing::internal::CaptureStderr();
    Press(SDLK_RETURN);
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("data/new3.lvl"), std::string::npos) << err;
    EXPECT_NE(err.find("stays in the title menu; the next Start begins at the first level"), std::string::npos) << err;
    EXPECT_EQ(GameMode, Menu);
    Press(SDLK_RETURN);
    EXPECT_EQ(GameMode, Playing);
    EXPECT_EQ(levelIndex, 0);
}

TEST_F(LevelFolderTest, StartPlaysAndEscapeComesBackToTheMenu)
{
    Start();
    Pass();
    Image menu = CaptureBackBuffer();
    for (int y = 16; y < 24; y++)  // the top of the noise field, above the logo
        for (int x = 16; x < 208; x++)
            ASSERT_TRUE(menu.at(x, y) >= 15 && menu.at(x, y) <= 29);
    Press(SDLK_RETURN);
    ASSERT_EQ(GameMode, Playing);
    Image play = CaptureBackBuffer();
    EXPECT_NE(play.px, menu.px);
    const Uint8 *back = (const Uint8 *)Back02->pixels;  // the first level's backdrop
    EXPECT_EQ(play.at(16, 16), back[0]);
    Press(SDLK_ESCAPE);
    EXPECT_EQ(GameMode, Menu);
    EXPECT_EQ(EffectCount(SfxMenu2), 2);
}

TEST_F(LevelFolderTest, TheSkipKeyWalksThroughTheThreeLevelsAndBackToTheMenu)
{
    Start();
    Press(SDLK_RETURN);
    ASSERT_EQ(GameMode, Playing);
    score = 1234;
    player.lives = 3;
    const int cams[3][2] = {{113, 444}, {97, 940}, {257, 476}};
    const int enemies[3] = {9, 9, 13};
    for (int level = 1; level <= 3; level++) {
        Hold(SDLK_3);
        Pass();
        Pass();  // held: one skip only
        Release(SDLK_3);
        const int expected = level % 3;
        EXPECT_EQ(levelIndex, expected);
        EXPECT_EQ(score, 1234);
        EXPECT_EQ(player.lives, 3);
        int active = 0;
        for (const Enemy &e : Enemies)
            active += e.active;
        EXPECT_EQ(active, enemies[expected]);
        if (level < 3) {
            EXPECT_EQ(GameMode, Playing);
            EXPECT_EQ(camX, cams[expected][0]);
        } else {
            EXPECT_EQ(GameMode, Menu);
        }
        Pass();
    }
    Press(SDLK_RETURN);  // the next game starts at the first level
    EXPECT_EQ(GameMode, Playing);
    EXPECT_EQ(levelIndex, 0);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(player.lives, 5);
}

TEST_F(LevelFolderTest, StartAfterEscapeReplaysTheSameLevelWithEveryItemBack)
{
    Start();
    levelIndex = 1;
    Press(SDLK_RETURN);
    ASSERT_EQ(GameMode, Playing);
    TileMap[MAP_SIZE * 30 + 40] = 0;  // as if taken
    score = 500;
    player.lives = 2;
    player.hitPoints = 1;
    Press(SDLK_ESCAPE);
    ASSERT_EQ(GameMode, Menu);
    Press(SDLK_RETURN);
    EXPECT_EQ(levelIndex, 1);
    EXPECT_EQ(TileMap[MAP_SIZE * 30 + 40], 206);
    EXPECT_EQ(score, 0);
    EXPECT_STREQ(scoreText, "0");
    EXPECT_EQ(player.lives, 5);
    EXPECT_EQ(player.hitPoints, 1);  // only a respawn restores them
}

// Codes with no meaning (90 and up outside the items, negative ones, the
// extremes of 32 bits) are empty cells; a map of nothing else has no floor,
// and the heroine falls, the Camera following 4 pixels a pass, until Escape.
TEST_F(LevelFolderTest, HugeAndNegativeCodesAreEmptyCellsAndAFloorlessMapIsPlayedAsItIs)
{
    const Sint32 odd[] = {INT32_MAX, INT32_MIN, 0x12345678, -1, -90, -200, 90, 199, 208, 1000000};
    std::vector<Sint32> cells(MAP_CELLS);
    for (int i = 0; i < MAP_CELLS; i++)
        cells[i] = odd[i % 10];
    WriteLevel(1, LevelBytes(cells));
    Start();
    Press(SDLK_RETURN);
    ASSERT_EQ(GameMode, Playing);
    ClearEnemies();

    DrawBackdrop();
    DrawTiles();
    EXPECT_EQ(solidCount, 0);
    Image drawn = CaptureBackBuffer();
    std::fill(TileMap, TileMap + MAP_CELLS, 90);
    DrawBackdrop();
    DrawTiles();
    EXPECT_TRUE(CaptureBackBuffer().px == drawn.px) << "an odd code drew something";
    LoadLevel("data/new1.lvl");

    Passes(40);  // she has dropped below screen y 88 by now
    const Sint32 y = camY;
    Passes(100);
    EXPECT_EQ(camY, y + 400);
    EXPECT_EQ(solidCount, 0);
    EXPECT_EQ(pickupCount, 0);
    EXPECT_EQ(score, 0);
    Press(SDLK_ESCAPE);
    EXPECT_EQ(GameMode, Menu);
}
