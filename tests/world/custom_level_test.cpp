// Custom levels: the file format (the shipped maps written in it read back
// to their own level files), what the reader refuses, one step each side of
// its limits, and a custom map played in place of its level's own.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "actors/player.h"
#include "core/mode.h"
#include "game_fixture.h"
#include "image.h"
#include "shell/demo.h"
#include "temp_folder.h"
#include "world/custom.h"
#include "world/level.h"

namespace {

std::string Slurp(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Header(int level, const std::string &title = "Test map", const std::string &author = "Tester")
{
    return "kestravale level 1\nlevel " + std::to_string(level) + "\ntitle " + title + "\nauthor " + author + "\n";
}

// The rows of a map: a border of the level's solid block, open air inside,
// and the floor the heroine of level 1 stands on at her start (rows 38 and
// 39, under her feet at world y 608).
std::vector<std::string> BorderedRows()
{
    std::vector<std::string> rows(80, "#" + std::string(78, '.') + "#");
    rows[0] = rows[79] = rows[38] = rows[39] = std::string(80, '#');
    return rows;
}

std::string Join(const std::vector<std::string> &rows)
{
    std::string text;
    for (const std::string &r : rows)
        text += r + "\n";
    return text;
}

std::string ReadFault(const std::string &text)
{
    char why[200] = "";
    if (ReadCustomLevel(text.data(), (int)text.size(), why, sizeof why) == 0)
        return "";
    return why;
}

}  // namespace

// Each shipped map, written as a custom level from its readable source, is
// read into exactly the codes of its own level file; and the level tool
// writes the same text from the level file.
TEST(CustomLevelFile, TheShippedMapsReadBackToTheirOwnLevelFiles)
{
    const char *titles[3] = {"The Vale", "The Crystal Caves", "Cyclops Keep"};
    for (int level = 1; level <= 3; level++) {
        const std::string text = Header(level, titles[level - 1], "The Vale crew") +
                                 Slurp(KV_SOURCE_DIR "/assets/levels/level" + std::to_string(level) + ".txt");
        ASSERT_EQ(ReadFault(text), "") << level;
        EXPECT_EQ(customLevel.level, level);
        const std::string lvl = Slurp(KV_SOURCE_DIR "/data/new" + std::to_string(level) + ".lvl");
        ASSERT_EQ(lvl.size(), sizeof customLevel.codes);
        EXPECT_EQ(memcmp(lvl.data(), customLevel.codes, lvl.size()), 0) << "level " << level;

        const std::string out = (MakeTestFolder() / "export.txt").string();
        const std::string cmd = "cd '" KV_SOURCE_DIR "' && '" KV_TOOLS_DIR "/build_levels' --export " +
                                std::to_string(level) + " >'" + out + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        EXPECT_EQ(Slurp(out), text) << "level " << level;
    }
}

TEST(CustomLevelFile, RefusesWhatIsNotALevelOneStepPastEachLimit)
{
    std::vector<std::string> rows = BorderedRows();
    const std::string map = Join(rows);
    EXPECT_EQ(ReadFault(Header(1) + map), "");
    EXPECT_EQ(ReadFault(Header(2) + map), "") << "'#' is every level's solid block";
    // Windows line ends and a blank line after the map are fine.
    std::string crlf = Header(1) + map + "\n";
    for (size_t at = 0; (at = crlf.find('\n', at)) != std::string::npos; at += 2)
        crlf.insert(at, "\r");
    EXPECT_EQ(ReadFault(crlf), "");

    struct Case {
        std::string text, why;
    } cases[] = {
        {"", "empty: not a level"},
        {"kestravale level 2\n" + Header(1).substr(19) + map, "line 1: a level of another version; this game reads version 1"},
        {"kestravale demo 1\n", "line 1: not a level: it must begin with \"kestravale level 1\""},
        {Header(4) + map, "line 2: expected \"level 1\", \"level 2\" or \"level 3\""},
        {Header(0) + map, "line 2: expected \"level 1\", \"level 2\" or \"level 3\""},
        {Header(1, "") + map, "line 3: a title is 1 to 48 characters long"},
        {"kestravale level 1\nlevel 1\nauthor A\n" + map, "line 3: expected \"title\" and a few words"},
        {Header(1, std::string(49, 'a')) + map, "line 3: a title is 1 to 48 characters long"},
        {Header(1, "<script>alert(1)</script>") + map,
         "line 3: a title holds letters, digits, spaces and .,!?'-:()+/ only"},
        {Header(1, "Fine", "a&b") + map, "line 4: a author holds letters, digits, spaces and .,!?'-:()+/ only"},
        {Header(1) + Join(std::vector<std::string>(rows.begin(), rows.end() - 1)),
         "line 83: the map ends after 79 rows; a map has 80"},
        {Header(1) + map + "#\n", "line 85: the map has 80 rows; nothing may follow them"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ReadFault(c.text), c.why) << c.text.substr(0, 40);
    EXPECT_EQ(customLevel.level, 0) << "a refused level is no level";

    // A row one character short or long; a character not in the level's
    // legend (level 2's stalactite 'V' in a level 1 map); a byte that is not text.
    std::vector<std::string> bad = rows;
    bad[10] = bad[10].substr(0, 79);
    EXPECT_EQ(ReadFault(Header(1) + Join(bad)), "line 15: a map row is 80 characters, this one 79");
    bad = rows;
    bad[10] += ".";
    EXPECT_EQ(ReadFault(Header(1) + Join(bad)), "line 15: a map row is 80 characters, this one 81");
    bad = rows;
    bad[20][7] = 'V';
    EXPECT_EQ(ReadFault(Header(1) + Join(bad)), "line 25: column 8: 'V' is not in level 1's legend");
    EXPECT_EQ(ReadFault(Header(2) + Join(bad)), "");
    bad[20][7] = '\x01';
    EXPECT_EQ(ReadFault(Header(1) + Join(bad)), "line 25: column 8: byte 1 is not in level 1's legend");

    // The largest file: 64 KB, no more.
    std::string padded = Header(1, std::string(48, 'a')) + map;
    padded += std::string(65536 - padded.size(), '\n');
    EXPECT_EQ(ReadFault(padded), "");
    EXPECT_EQ(ReadFault(padded + "\n"), "too large for a level (a level file is at most 64 KB)");
    EXPECT_EQ(ReadFault(Header(1) + std::string("\0", 1) + map), "not a level: it holds bytes that are not text");
}

class CustomLevelPlay : public GameTest {
protected:
    // Start chosen in the menu (one pass of Enter), then Right held until
    // the level is left or `passes` have gone: the pass it was left on.
    int WalkRight(int passes)
    {
        Hold(SDLK_RETURN);
        Pass();
        Release(SDLK_RETURN);
        EXPECT_EQ(GameMode, Playing);
        Hold(SDLK_RIGHT);
        for (int pass = 1; pass <= passes; pass++) {
            Pass();
            if (levelIndex != 0)
                return pass;
        }
        return 0;
    }
};

// The exit item at row 36, column 20 (world x 320), in the rows the heroine
// stands in. She stands at screen x 111 with the Camera at x 113 and every
// step right moves the Camera one pixel, after the pass's touch test; the
// item is 16 wide and so is she, and rectangles that touch overlap. On
// pass k the Camera is at 112 + k and the item at screen x 208 - k; her
// right edge is at 127, so it would meet her on pass 81. But on a pass
// whose Camera x is a multiple of 16 the solid rectangle of the floor
// block under her left side (one pixel in from its cell, 14 wide) ends
// exactly at her left edge: touching, it pushes her a pixel right before
// the touch test, and nothing pushes her back. Pass 80 is such a pass
// (Camera at 192): her right edge at 128 meets the item there.
TEST_F(CustomLevelPlay, AWalkToTheExitLeavesTheLevelOnThePassWorkedOutForIt)
{
    std::vector<std::string> rows = BorderedRows();
    rows[36][20] = 'X';
    ASSERT_EQ(ReadFault(Header(1) + Join(rows)), "");
    EXPECT_EQ(WalkRight(200), 80);
}

TEST_F(CustomLevelPlay, TheSameWalkOnTheShippedMapLeavesNothing)
{
    EXPECT_EQ(WalkRight(200), 0);
}

namespace {

struct Outcome {
    int status;
    std::string err;
};

Outcome RunGame(const std::string &args, const std::string &dir)
{
    const std::string cmd = "cd '" KV_SOURCE_DIR "' && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy '" KV_GAME_BINARY
                            "' " + args + " >/dev/null 2>'" + dir + "/err'";
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(dir + "/err")};
}

}  // namespace

// A demo says which custom map it was made on, and is refused, in one line,
// on any other.
TEST(CustomLevelDemo, IsPlayedOnlyOnTheMapItWasMadeOn)
{
    const struct {
        std::string path;
    } dir = {MakeTestFolder().string()};
    std::vector<std::string> rows = BorderedRows();
    rows[36][20] = 'X';
    std::ofstream(dir.path + "/a.lvl") << Header(1, "Map A") << Join(rows);
    rows[36][21] = 'o';
    std::ofstream(dir.path + "/b.lvl") << Header(1, "Map B") << Join(rows);
    ASSERT_EQ(ReadFault(Slurp(dir.path + "/a.lvl")), "");
    char sum[16];
    snprintf(sum, sizeof sum, "%08x", (unsigned)customLevel.checksum);
    std::ofstream(dir.path + "/demo.txt") << "kestravale demo 1\nmap 1 " << sum << " Map A\nlevel 1\n100 R\n";

    Outcome o = RunGame("--level " + dir.path + "/a.lvl --timedemo " + dir.path + "/demo.txt", dir.path);
    EXPECT_EQ(o.status, 0) << o.err;
    o = RunGame("--level " + dir.path + "/b.lvl --timedemo " + dir.path + "/demo.txt", dir.path);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "kestravale: " + dir.path + "/demo.txt: made on the custom level \"Map A\", not on \"Map B\"\n");
    o = RunGame("--timedemo " + dir.path + "/demo.txt", dir.path);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "kestravale: " + dir.path +
                         "/demo.txt: made on the custom level \"Map A\"; start the game with --level and its file\n");
    o = RunGame("--level " + dir.path + "/a.lvl --timedemo tests/replays/level1.txt", dir.path);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err,
              "kestravale: tests/replays/level1.txt: made on the game's own maps, not on the custom level \"Map A\"\n");
    // A level file that is not one: one line, status 1, before any window.
    std::ofstream(dir.path + "/bad.lvl") << Header(1, "<b>") << Join(rows);
    o = RunGame("--level " + dir.path + "/bad.lvl", dir.path);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "kestravale: " + dir.path +
                         "/bad.lvl: line 3: a title holds letters, digits, spaces and .,!?'-:()+/ only\n");
}

// A level run recorded begins with Start on its level; timed, it reports
// the pass the level was left on: the walk to the exit above, pass 80, at
// 4.5 ms a pass (two passes to a 9 ms frame) 0.36 s.
TEST_F(CustomLevelPlay, ALevelRunRecordedAndTimedReportsThePassItWasFinishedOn)
{
    const std::string dir = MakeTestFolder().string();
    std::vector<std::string> rows = BorderedRows();
    rows[36][20] = 'X';
    std::ofstream(dir + "/a.lvl") << Header(1, "Map A") << Join(rows);
    const std::string level = dir + "/a.lvl", out = dir + "/run.txt";
    const char *argv[] = {"kestravale", "--level", level.c_str(), "--level-run", "1", "--record", out.c_str()};
    ASSERT_EQ(ReadOptions(7, (char **)argv), -1);
    ASSERT_EQ(BeginDemo(), 0);
    Pass();  // Start, chosen by the run itself
    EXPECT_EQ(GameMode, Playing);
    Hold(SDLK_RIGHT);
    Passes(100);
    EndDemo();
    const std::string text = Slurp(out);
    EXPECT_NE(text.find("\nlevel 1\n100 R\n"), std::string::npos) << text;

    const std::string cmd = "cd '" KV_SOURCE_DIR "' && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy '" KV_GAME_BINARY
                            "' --level '" + level + "' --timedemo '" + out + "' >'" + dir + "/timed' 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << Slurp(dir + "/timed");
    EXPECT_NE(Slurp(dir + "/timed").find(out + ": level 1 finished on pass 80, 0.36 s at the game's pace\n"),
              std::string::npos)
        << Slurp(dir + "/timed");
}

// A recording made on a custom level names it, so that its playback finds it.
TEST_F(CustomLevelPlay, ARecordingNamesTheMapItIsMadeOn)
{
    const struct {
        std::string path;
    } dir = {MakeTestFolder().string()};
    std::vector<std::string> rows = BorderedRows();
    std::ofstream(dir.path + "/a.lvl") << Header(1, "Map A") << Join(rows);
    std::string level = dir.path + "/a.lvl", out = dir.path + "/run.txt";
    const char *argv[] = {"kestravale", "--level", level.c_str(), "--record", out.c_str()};
    ASSERT_EQ(ReadOptions(5, (char **)argv), -1);
    ASSERT_EQ(BeginDemo(), 0);
    Pass();
    EndDemo();
    char sum[16];
    snprintf(sum, sizeof sum, "%08x", (unsigned)customLevel.checksum);
    const std::string text = Slurp(out);
    EXPECT_NE(text.find("\nkestravale demo 1\nmap 1 " + std::string(sum) + " Map A\n"), std::string::npos) << text;
}
