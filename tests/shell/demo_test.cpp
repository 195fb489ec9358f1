// Demos: what the game records plays back pass for pass, the reader takes
// what the format allows and names the line of anything else, and the
// command line says what is wrong in one line with the right status.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "digest.h"
#include "rig.h"
#include "vclock.h"
#include "core/mode.h"
#include "input/keys.h"
#include "shell/demo.h"
#include "shell/loop.h"
#include "world/level.h"

namespace {

struct TempDir {
    std::string path;
    TempDir()
    {
        char name[] = "/tmp/kv-demo-XXXXXX";
        path = mkdtemp(name) ? name : "";
    }
    ~TempDir() { std::system(("rm -rf '" + path + "'").c_str()); }
};

struct Outcome {
    int status;
    std::string out, err;
};

// Runs a command in the source folder, with SDL's dummy drivers.
Outcome RunCommand(const std::string &args, const std::string &dir)
{
    const std::string out = dir + "/out", err = dir + "/err";
    const std::string cmd = "cd '" KV_SOURCE_DIR "' && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " + args + " >'" +
                            out + "' 2>'" + err + "'";
    const int raw = std::system(cmd.c_str());
    auto slurp = [](const std::string &path) {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    };
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
}

std::string Line(int pass, const PassDigest &d)
{
    char buf[128];
    snprintf(buf, sizeof buf, "%d %016" PRIx64 " %016" PRIx64 " %016" PRIx64 " %016" PRIx64, pass, d.screen, d.back,
             d.records, d.sound);
    return buf;
}

int ParseText(const std::string &text, std::string &why)
{
    std::string copy = text + "\n";
    FILE *f = fmemopen(copy.data(), copy.size(), "r");
    char buf[200] = "";
    const int r = ParseDemo(f, buf, sizeof buf);
    fclose(f);
    why = buf;
    return r;
}

}  // namespace

// A session played through the rig with recording on: the menu, the help
// pages, the first level with walking, jumping, firing and a display switch,
// Escape, and Start again. Played back by the game's own playback in another
// process, every pass shows the same picture and leaves the same records.
TEST(Demo, ARecordedSessionPlaysBackToTheSameFramesPassForPass)
{
    TempDir dir;
    const std::string file = dir.path + "/session.txt";
    RigStart();
    demo.mode = DemoRecord;
    demo.path = file.c_str();
    ASSERT_EQ(BeginDemo(), 0);
    flipHook.digest = true;
    std::vector<std::string> recorded;
    int pass = 0;
    auto step = [&](int n) {
        for (int i = 0; i < n; i++) {
            Pass();
            recorded.push_back(Line(++pass, DigestNow()));
        }
    };
    auto tap = [&](SDLKey key, int hold, int rest) {
        Hold(key);
        step(hold);
        Release(key);
        step(rest);
    };
    step(10);
    tap(SDLK_DOWN, 1, 3);
    tap(SDLK_RETURN, 2, 20);  // the help pages
    tap(SDLK_SPACE, 3, 20);
    tap(SDLK_ESCAPE, 1, 5);
    tap(SDLK_UP, 1, 5);
    tap(SDLK_RETURN, 1, 10);  // the first level
    unsigned seed = 7;
    const SDLKey keys[] = {SDLK_RIGHT, SDLK_LEFT, SDLK_LALT, SDLK_SPACE};
    for (int i = 0; i < 60; i++) {
        seed = seed * 1103515245u + 12345u;
        ReleaseAll();
        Hold(keys[(seed >> 8) % 4]);
        if ((seed >> 16) % 3 == 0)
            Hold(keys[(seed >> 20) % 4]);
        step(1 + (seed >> 24) % 30);
    }
    ReleaseAll();
    tap(SDLK_1, 1, 20);  // full screen and back
    tap(SDLK_2, 1, 20);
    tap(SDLK_ESCAPE, 1, 10);
    tap(SDLK_RETURN, 1, 30);
    EndDemo();
    RigStop();

    const Outcome played = RunCommand(std::string("'" KV_TOOLS_DIR "/passdigest' --demo '") + file + "'", dir.path);
    ASSERT_EQ(played.status, 0) << played.err;
    std::istringstream lines(played.out);
    std::string line;
    size_t i = 0;
    while (std::getline(lines, line)) {
        ASSERT_LT(i, recorded.size()) << "playback ran on past the recording";
        if (i + 1 < recorded.size()) {
            ASSERT_EQ(line, recorded[i]) << "pass " << i + 1;
        } else {
            // After its last pass the playback returns to the title menu (a
            // change of records and a sound the recording never made); the
            // pass itself showed the same picture.
            ASSERT_EQ(line.substr(0, line.rfind(' ', line.rfind(' ') - 1)),
                      recorded[i].substr(0, recorded[i].rfind(' ', recorded[i].rfind(' ') - 1)))
                << "the last pass";
            EXPECT_NE(line, recorded[i]);
        }
        i++;
    }
    EXPECT_EQ(i, recorded.size());
}

// Runs of equal keys become one line each, in the file's key letters.
TEST(Demo, RecordingWritesOneLinePerRunOfKeys)
{
    TempDir dir;
    const std::string file = dir.path + "/keys.txt";
    RigStart();
    demo.mode = DemoRecord;
    demo.path = file.c_str();
    ASSERT_EQ(BeginDemo(), 0);
    Passes(3);
    Hold(SDLK_DOWN);
    Pass();
    Hold(SDLK_UP);
    Passes(2);
    ReleaseAll();
    Pass();
    EndDemo();
    RigStop();
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "# recorded by kestravale 1.0.0\nkestravale demo 1\n3 -\n1 D\n2 UD\n1 -\n");
}

// "level N" begins with Start chosen on that level; pairs, repeats and
// comments read as written.
TEST(DemoFile, ReadsTheLevelLinePairsRepeatsAndComments)
{
    std::string why;
    ASSERT_EQ(ParseText("# hello\n  kestravale demo 1  # the header\nlevel 3\n2 RJ 1 - x3\n5 UDEX123F\n", why), 0)
        << why;
    EXPECT_EQ(demo.level, 3);
    ASSERT_EQ(demo.stepCount, 1 + 6 + 1);
    EXPECT_EQ(DemoSteps[0].passes, 1);  // Start
    EXPECT_EQ(DemoSteps[0].keys, 1u << 6);
    EXPECT_EQ(DemoSteps[1].passes, 2);
    EXPECT_EQ(DemoSteps[1].keys, (1u << 0) | (1u << 2));
    EXPECT_EQ(DemoSteps[6].keys, 0u);
    EXPECT_EQ(DemoSteps[7].keys, 0x7f8u);
    EXPECT_EQ(demo.totalPasses, 1 + 3 * 3 + 5);
}

TEST(DemoFile, NamesTheLineOfWhatItCannotRead)
{
    struct Bad {
        const char *text, *why;
    } bad[] = {
        {"", "not a demo: it must begin with \"kestravale demo 1\""},
        {"# only a comment", "not a demo: it must begin with \"kestravale demo 1\""},
        {"\x89PNG\r\n\x1a\n", "line 1: not a demo: it must begin with \"kestravale demo 1\""},
        {"kestravale demo 2\n10 R", "line 1: a demo of version 2; this game plays version 1"},
        {"kestravale demo 1\n", "the demo holds no passes"},
        {"kestravale demo 1\n10 R\n20", "line 3: expected pairs of <passes> <keys>, then perhaps x<count>"},
        {"kestravale demo 1\n10 Q", "line 2: keys are \"-\" or letters of RLJFUDEX123, each at most once"},
        {"kestravale demo 1\n10 RR", "line 2: keys are \"-\" or letters of RLJFUDEX123, each at most once"},
        {"kestravale demo 1\n0 R", "line 2: a number of passes is a whole number from 1 to 10000000"},
        {"kestravale demo 1\n-5 R", "line 2: a number of passes is a whole number from 1 to 10000000"},
        {"kestravale demo 1\n10000001 R", "line 2: a number of passes is a whole number from 1 to 10000000"},
        {"kestravale demo 1\n9999999999 R", "line 2: a number of passes is a whole number from 1 to 10000000"},
        // Ten digits whose value, taken in 32 bits, would be 5.
        {"kestravale demo 1\n4294967301 R", "line 2: a number of passes is a whole number from 1 to 10000000"},
        {"kestravale demo 1\n10 R x0", "line 2: a repeat is written x<count>, the count a whole number from 1"},
        {"kestravale demo 1\nlevel 4", "line 2: expected \"level 1\", \"level 2\" or \"level 3\""},
        {"kestravale demo 1\n10 R\nlevel 1", "line 3: \"level N\" comes once, before the first keys"},
        {"kestravale demo 1\n10000000 R x200", "line 2: the demo is longer than the game can play"},
    };
    for (const Bad &b : bad) {
        std::string why;
        EXPECT_EQ(ParseText(b.text, why), -1) << b.text;
        EXPECT_EQ(why, b.why) << b.text;
    }
    std::string why;
    EXPECT_EQ(ParseText("kestravale demo 1\n" + std::string(1100, ' ') + "1 R", why), -1);
    EXPECT_EQ(why, "line 2: line too long (a line holds at most 1024 characters)");
    EXPECT_EQ(ParseText(std::string("kestravale demo 1\n1 R\0 junk", 28), why), -1);
    EXPECT_EQ(why, "line 2: not a demo: it holds bytes that are not text");
}

// Every limit of the demo reader, one step on each side: a line of 1024
// characters and 64 words, a step of 10000000 passes, a count of nine
// digits, 2^18 steps and 2^30 passes in all are taken; one more is not.
TEST(DemoFile, EachLimitTakesItsLastGoodValueAndRefusesTheNext)
{
    const std::string head = "kestravale demo 1\n";
    std::string words64;
    for (int i = 0; i < 32; i++)
        words64 += "1 R ";
    struct Side {
        std::string text;
        const char *why;  // "" when the demo is taken
    } sides[] = {
        {head + std::string(1021, ' ') + "1 R", ""},
        {head + std::string(1022, ' ') + "1 R", "line 2: line too long (a line holds at most 1024 characters)"},
        {head + words64, ""},
        {head + words64 + "x2", "line 2: too many words on one line"},
        {head + "10000000 R", ""},
        {head + "1 R x262144", ""},
        {head + "1 R x262144\n1 R", "line 3: the demo has more steps than the game can hold"},
        {head + "1 R x999999999", "line 2: the demo has more steps than the game can hold"},
        {head + "1 R x1000000000", "line 2: a repeat is written x<count>, the count a whole number from 1"},
        {head + "10000000 R x107\n3741824 R", ""},
        {head + "10000000 R x107\n3741824 R\n1 R", "line 4: the demo is longer than the game can play"},
        {head + "10000000 R x107\n3741825 R", "line 3: the demo is longer than the game can play"},
    };
    for (const Side &s : sides) {
        std::string why;
        EXPECT_EQ(ParseText(s.text, why), s.why[0] ? -1 : 0) << s.text.substr(0, 80);
        EXPECT_EQ(why, s.why) << s.text.substr(0, 80);
    }
    std::string why;
    ASSERT_EQ(ParseText(head + "10000000 R x107\n3741824 R", why), 0);
    EXPECT_EQ(demo.totalPasses, 1 << 30);
    ASSERT_EQ(ParseText(head + "1 R x262144", why), 0);
    EXPECT_EQ(demo.stepCount, 1 << 18);
    EXPECT_EQ(DemoSteps[(1 << 18) - 1].passes, 1);
}

// A demo holds up to 2^18 steps: "1 R 1 -" repeated 131072 times fills
// them, and one step more is refused on the line that brings it.
TEST(DemoFile, HoldsUpTo262144Steps)
{
    std::string why;
    const std::string full = "kestravale demo 1\n1 R 1 - x131072";
    ASSERT_EQ(ParseText(full, why), 0) << why;
    EXPECT_EQ(demo.stepCount, 262144);
    EXPECT_EQ(ParseText(full + "\n1 R", why), -1);
    EXPECT_EQ(why, "line 3: the demo has more steps than the game can hold");
}

// The command line: help and version on standard output with status 0; a
// wrong command line, one line and status 2; a demo that cannot be played,
// one line naming the file and status 1. Nothing is recorded then.
TEST(DemoCommandLine, SaysWhatIsWrongInOneLineWithItsStatus)
{
    TempDir dir;
    const std::string game = "'" KV_GAME_BINARY "'";
    Outcome r = RunCommand(game + " --version", dir.path);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "kestravale 1.0.0\n");
    r = RunCommand(game + " --help", dir.path);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--timedemo FILE"), std::string::npos);
    // It names the data folder it would read, in full: the source tree's here.
    EXPECT_NE(r.out.find(" from " KV_SOURCE_DIR "/data/\n"), std::string::npos) << r.out;

    struct Case {
        std::string args;
        int status;
        std::string err;
    } cases[] = {
        {" --bogus", 2, "kestravale: unknown option '--bogus'; try 'kestravale --help'\n"},
        {" level1.txt", 2, "kestravale: unknown option 'level1.txt'; try 'kestravale --help'\n"},
        {" --playdemo", 2, "kestravale: --playdemo needs a file name; try 'kestravale --help'\n"},
        {" --record " + dir.path + "/new.txt --timedemo x", 2,
         "kestravale: one demo option at a time; try 'kestravale --help'\n"},
        {" --playdemo " + dir.path + "/none.txt", 1,
         "kestravale: " + dir.path + "/none.txt: cannot read it: No such file or directory\n"},
        {" --timedemo " + dir.path, 1, "kestravale: " + dir.path + ": not a file that can be read\n"},
        {" --timedemo data/menu.it", 1,
         "kestravale: data/menu.it: line 1: not a demo: it holds bytes that are not text\n"},
        {" --record " + dir.path + "/no/such/folder/run.txt", 1,
         "kestravale: " + dir.path + "/no/such/folder/run.txt: cannot write it: its folder does not exist\n"},
        {" --record " + dir.path, 1, "kestravale: " + dir.path + ": not a file that can be written\n"},
    };
    for (const Case &c : cases) {
        r = RunCommand(game + c.args, dir.path);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
    }
    EXPECT_NE(access((dir.path + "/new.txt").c_str(), F_OK), 0) << "a file was written";
}

// A timed demo plays every pass of the demo as fast as it can and says how
// many: the first level's recorded run is Start and then its pairs.
TEST(DemoCommandLine, ATimedDemoPlaysEveryPassAndEnds)
{
    TempDir dir;
    std::ofstream(dir.path + "/short.txt") << "kestravale demo 1\nlevel 1\n100 R 50 RJ 20 F x2\n";
    const Outcome r = RunCommand("'" KV_GAME_BINARY "' --timedemo " + dir.path + "/short.txt", dir.path);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind(dir.path + "/short.txt: 341 passes in ", 0), 0u) << r.out;
    EXPECT_NE(r.out.find(" passes per second; time per pass: 50th percentile "), std::string::npos) << r.out;
}

// A timed demo says the smallest time per pass that at least half of its
// passes took, and 99 in 100. Three passes of 1, 2 and 3 ms on the virtual
// clock (the first flip of each takes it): half of three is two passes, the
// 2 ms one; 99 in 100 of three is all three, the 3 ms one. In all, 6 ms.
TEST(Demo, ATimedDemoSaysThePassTimesAtLeastHalfAnd99In100OfItsPassesTook)
{
    RigStart();
    vclock.steady = true;
    std::string why;
    ASSERT_EQ(ParseText("kestravale demo 1\nlevel 1\n2 R", why), 0) << why;
    demo.mode = DemoTimed;
    ASSERT_EQ(BeginDemo(), 0);
    static Uint32 cost;
    flipHook.around = [](int before) {
        if (before)
            vclock.now += cost;
        cost = 0;
    };
    testing::internal::CaptureStdout();
    int going = 1;
    for (Uint32 ms = 1; ms <= 3; ms++) {
        ASSERT_TRUE(going) << "the demo ended before pass " << ms;
        cost = ms;
        going = RunPass();
    }
    EXPECT_FALSE(going);
    EndDemo();
    const std::string out = testing::internal::GetCapturedStdout();
    flipHook = FlipHook();
    EXPECT_NE(out.find(": 3 passes in 0.006 s, 500.0 passes per second; time per pass: 50th percentile 2.000 ms, "
                       "99th percentile 3.000 ms\n"),
              std::string::npos)
        << out;
    RigStop();
}

// A demo that runs out in play leaves for the menu as Escape does: the
// menu's confirm sound once, and the spinner from its first frame.
TEST(Demo, PlaybackRunOutInPlayLeavesAsEscapeDoes)
{
    RigStart();
    std::string why;
    ASSERT_EQ(ParseText("kestravale demo 1\nlevel 1\n20 R", why), 0) << why;
    demo.mode = DemoPlayback;
    ASSERT_EQ(BeginDemo(), 0);
    Pass();  // Start chosen: the level begins, with the confirm sound
    ASSERT_EQ(GameMode, Playing);
    spinnerTimer = 3;
    spinnerFrame = 2;
    const int before = EffectCount(SfxMenu2);
    for (int i = 0; i < 40 && demo.mode != DemoOff; i++)
        Pass();
    ASSERT_EQ(demo.mode, DemoOff);
    EXPECT_EQ(GameMode, Menu);
    EXPECT_EQ(EffectCount(SfxMenu2), before + 1);
    EXPECT_EQ(spinnerFrame, 0);
    RigStop();
}

// A demo watched can be ended early, between two passes: the game goes to
// the title menu as it does when the demo's keys run out, and the keys are
// the player's again: Enter held on the keyboard starts play, where the
// demo held Right only.
TEST(Demo, PlaybackStoppedEarlyLeavesForTheMenuWithThePlayersKeys)
{
    RigStart();
    std::string why;
    ASSERT_EQ(ParseText("kestravale demo 1\nlevel 1\n200 R", why), 0) << why;
    demo.mode = DemoPlayback;
    ASSERT_EQ(BeginDemo(), 0);
    Passes(50);
    ASSERT_EQ(GameMode, Playing);
    ASSERT_EQ(demo.passesDone, 50);
    StopPlayback();
    EXPECT_EQ(GameMode, Menu);
    EXPECT_EQ(demo.mode, DemoOff);
    Hold(SDLK_RETURN);
    Pass();
    EXPECT_EQ(GameMode, Playing);
    EXPECT_FALSE(keyState[SDLK_RIGHT]);
    ReleaseAll();
    StopPlayback();  // nothing is played back: nothing changes
    EXPECT_EQ(GameMode, Playing);
    RigStop();
}
