// The installed game: each test installs this build into a folder of its own
// (as DESTDIR, with the prefix /usr) and runs what landed there, started
// through the kestravale command from folders that have nothing to do with
// the game.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "image.h"
#include "temp_folder.h"

namespace fs = std::filesystem;

namespace {

const std::string APP_ID = KV_APP_ID;
const uint8_t CLEAR = 96;

struct Outcome {
    int status;
    std::string out;
};

// Runs a shell command line and returns its exit status and everything it
// printed (stdout and stderr together).
Outcome Shell(const std::string &cmd)
{
    FILE *p = popen((cmd + " 2>&1").c_str(), "r");
    std::string out;
    char buf[512];
    while (fgets(buf, sizeof buf, p))
        out += buf;
    int status = pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

std::string Quote(const std::string &s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

bool Have(const char *tool) { return Shell(std::string("command -v ") + tool + " >/dev/null").status == 0; }

std::string Text(const fs::path &p)
{
    std::ifstream f(p);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

Image ReadBmp8(const fs::path &path) { return DecodeBmp8(ReadFile(path.string())); }

class InstalledGame : public ::testing::Test {
protected:
    fs::path root;  // the DESTDIR
    fs::path games, program, dataRoot;

    void SetUp() override
    {
        root = MakeTestFolder();
        games = root / "usr" / KV_GAMES_DIR;
        program = root / "usr" / KV_PROGRAM_DIR / "kestravale";
        dataRoot = root / "usr" / KV_DATA_ROOT;
        // The component keeps the manifest this writes apart from the
        // install_manifest.txt of a real install from the same build.
        Outcome o = Shell("DESTDIR=" + Quote(root.string()) + " " + Quote(KV_CMAKE) + " --install " +
                          Quote(KV_BUILD_DIR) + " --prefix /usr --component Unspecified");
        ASSERT_EQ(o.status, 0) << o.out;
    }

    // The kestravale command found on the PATH, started in folder `from`
    // with the dummy drivers.
    Outcome RunCommand(const std::string &from, const std::string &args = "")
    {
        return Shell("cd " + Quote(from) + " && PATH=" + Quote(games.string()) +
                     ":\"$PATH\" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 60 kestravale " + args);
    }
};

// Starts the installed command through the PATH in folder `from` with the
// frame probe preloaded; returns the third frame the game presented, then
// interrupts the game as Control-C would and gives its exit status.
struct InterruptedGame {
    Image frame;
    int status = -1;
};

InterruptedGame PlayUntilThirdFrame(const fs::path &games, const fs::path &from, std::vector<std::string> args = {})
{
    // timeout ends a game that never shows its menu, and hands the
    // interrupt on to it.
    args.insert(args.begin(), {"timeout", "60", "kestravale"});
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    InterruptedGame s;
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return s;
    pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        if (chdir(from.c_str()) != 0)
            _exit(126);
        signal(SIGINT, SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        const char *path = getenv("PATH");
        setenv("PATH", (games.string() + ":" + (path ? path : "/usr/bin:/bin")).c_str(), 1);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("LD_PRELOAD", KV_FRAME_PROBE, 1);
        setenv("KV_FRAME_PROBE_FD", std::to_string(pipeFds[1]).c_str(), 1);
        // A sanitized build: the probe is loaded ahead of the sanitizer's
        // runtime, which is harmless here.
        const char *asan = getenv("ASAN_OPTIONS");
        setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":verify_asan_link_order=0").c_str(), 1);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    // Exactly the frame is read, not up to the end of the pipe: timeout
    // holds the pipe open for as long as the game runs.
    auto readAll = [&](void *to, size_t n) {
        size_t got = 0;
        ssize_t r;
        while (got < n && (r = read(pipeFds[0], (char *)to + got, n - got)) > 0)
            got += size_t(r);
        return got == n;
    };
    int32_t size[2] = {0, 0};
    if (readAll(size, sizeof size) && size[0] > 0 && size[1] > 0 && size[0] <= 4096 && size[1] <= 4096) {
        Image frame(size[0], size[1]);
        if (readAll(frame.px.data(), frame.px.size()))
            s.frame = frame;
    }
    close(pipeFds[0]);
    kill(pid, SIGINT);
    int status = 0;
    waitpid(pid, &status, 0);
    s.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return s;
}

// Pixels of picture `pic` that are not transparent and differ from the
// window at BackBuffer place (x, y), every pixel doubled.
int Mismatches(const Image &window, const Image &pic, int x0, int y0)
{
    int wrong = 0;
    for (int y = 0; y < pic.h; y++)
        for (int x = 0; x < pic.w; x++) {
            uint8_t p = pic.at(x, y);
            if (p == CLEAR)
                continue;
            for (int d = 0; d < 4; d++)
                wrong += window.at(2 * (x0 + x) + d % 2, 2 * (y0 + y) + d / 2) != p;
        }
    return wrong;
}

}  // namespace

TEST_F(InstalledGame, StartsFromAnyFolderOnTheTitleMenuAndEndsCleanlyOnInterrupt)
{
    InterruptedGame s = PlayUntilThirdFrame(games, "/");
    ASSERT_EQ(s.frame.w, 640) << "no frame from the installed game";
    ASSERT_EQ(s.frame.h, 400);
    // The title menu, drawn from the installed data: the frame around the
    // picture, the logo at (40, 24) and the entries at (64, 100).
    EXPECT_EQ(Mismatches(s.frame, ReadBmp8(dataRoot / "data/bar.bmp"), 0, 0), 0);
    Image logo = ReadBmp8(dataRoot / "data/logo.bmp");
    ASSERT_EQ(logo.w, 160);
    EXPECT_EQ(Mismatches(s.frame, logo, 40, 24), 0);
    Image entries = ReadBmp8(dataRoot / "data/menu.bmp");
    ASSERT_EQ(entries.w, 96);
    EXPECT_EQ(Mismatches(s.frame, entries, 64, 100), 0);
    // SDL turns the interrupt into its quit event; the game shuts down.
    EXPECT_EQ(s.status, 0);
}

TEST_F(InstalledGame, EveryFileLandsInItsPlace)
{
    EXPECT_TRUE(access((games / "kestravale").c_str(), X_OK) == 0);
    EXPECT_TRUE(access(program.c_str(), X_OK) == 0);
    int dataFiles = 0;
    for (const auto &e : fs::directory_iterator(fs::path(KV_SOURCE_DIR) / "data")) {
        fs::path installed = dataRoot / "data" / e.path().filename();
        EXPECT_TRUE(ReadFile(installed.string()) == ReadFile(e.path().string())) << installed;
        dataFiles++;
    }
    EXPECT_EQ(dataFiles, 35);  // 20 pictures, 8 effects, 4 modules, 3 maps
    int levels = 0;
    for (const auto &e : fs::directory_iterator(fs::path(KV_SOURCE_DIR) / "assets/levels/more")) {
        fs::path installed = dataRoot / "levels" / e.path().filename();
        EXPECT_TRUE(ReadFile(installed.string()) == ReadFile(e.path().string())) << installed;
        levels++;
    }
    EXPECT_EQ(levels, 3);  // one more level for each of the three
    EXPECT_TRUE(fs::is_regular_file(root / "usr/share/man/man6/kestravale.6"));
    // The README and the changelog the manual points to (a Debian build
    // leaves them to debhelper).
    if (KV_INSTALL_DOCS) {
        EXPECT_TRUE(fs::is_regular_file(root / "usr/share/doc/kestravale/README.md"));
        EXPECT_TRUE(fs::is_regular_file(root / "usr/share/doc/kestravale/CHANGELOG.md"));
    }
    for (int size : {16, 32, 48, 64, 128, 256}) {
        std::string dir = std::to_string(size) + "x" + std::to_string(size);
        Image icon = DecodePng(ReadFile((root / "usr/share/icons/hicolor" / dir / "apps" / (APP_ID + ".png")).string()));
        EXPECT_EQ(icon.w, size) << dir;
        EXPECT_EQ(icon.h, size) << dir;
    }
    // The desktop entry starts the command and shows the installed icon;
    // AppStream names the entry and holds this version's release.
    std::string desktop = Text(root / "usr/share/applications" / (APP_ID + ".desktop"));
    EXPECT_NE(desktop.find("\nExec=kestravale\n"), std::string::npos);
    EXPECT_NE(desktop.find("\nIcon=" + APP_ID + "\n"), std::string::npos);
    EXPECT_NE(desktop.find("\nCategories=Game;ArcadeGame;\n"), std::string::npos);
    std::string metainfo = Text(root / "usr/share/metainfo" / (APP_ID + ".metainfo.xml"));
    EXPECT_NE(metainfo.find("<id>" + APP_ID + "</id>"), std::string::npos);
    EXPECT_NE(metainfo.find(">" + APP_ID + ".desktop</launchable>"), std::string::npos);
    std::smatch release;
    ASSERT_TRUE(std::regex_search(metainfo, release, std::regex("<release version=\"([^\"]+)\"")));
    EXPECT_EQ(release[1], KV_VERSION) << "the newest release in the metainfo is not the project's version";
    std::string changelog = Text(fs::path(KV_SOURCE_DIR) / "debian/changelog");
    EXPECT_EQ(changelog.rfind("kestravale (" + std::string(KV_VERSION) + ")", 0), 0u)
        << "debian/changelog does not start with the project's version";
}

TEST_F(InstalledGame, DesktopEntryMetadataAndManualPassTheirValidators)
{
    fs::path desktop = root / "usr/share/applications" / (APP_ID + ".desktop");
    fs::path metainfo = root / "usr/share/metainfo" / (APP_ID + ".metainfo.xml");
    fs::path manual = root / "usr/share/man/man6/kestravale.6";
    // Docks group the window with its launcher by the window's class, which
    // SDL takes from the name of the program file.
    const std::vector<uint8_t> entryBytes = ReadFile(desktop.string());
    EXPECT_NE(std::string(entryBytes.begin(), entryBytes.end()).find("\nStartupWMClass=" + program.filename().string() + "\n"),
              std::string::npos);
    if (Have("desktop-file-validate")) {
        Outcome o = Shell("desktop-file-validate " + Quote(desktop.string()));
        EXPECT_EQ(o.status, 0) << o.out;
        EXPECT_EQ(o.out, "");
    }
    if (Have("appstreamcli")) {
        Outcome o = Shell("appstreamcli validate --no-net " + Quote(metainfo.string()));
        EXPECT_EQ(o.status, 0) << o.out;
        EXPECT_EQ(o.out.find("E:"), std::string::npos) << o.out;
        EXPECT_EQ(o.out.find("W:"), std::string::npos) << o.out;
    }
    if (Have("man")) {
        // Only what man writes to stderr, its warnings, is kept.
        Outcome o = Shell("{ LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l " + Quote(manual.string()) +
                          " 2>&1 >/dev/null; }");
        EXPECT_EQ(o.status, 0);
        EXPECT_EQ(o.out, "") << "man warns about the manual page";
        // man finds the page by name from the prefix's share/man.
        Outcome byName = Shell("MANPATH=" + Quote((root / "usr/share/man").string()) +
                               " man -w kestravale");
        EXPECT_EQ(byName.out, manual.string() + "\n");
    }
}

TEST_F(InstalledGame, FilesNamedOnTheCommandLineStayTheCallersWhileTheGameRunsInItsDataFolder)
{
    // In place of the program, a script that shows where it runs and the
    // arguments the launcher handed it.
    fs::remove(program);
    {
        std::ofstream stub(program);
        stub << "#!/bin/sh\npwd\nprintf '[%s]\\n' \"$@\"\n";
    }
    fs::permissions(program, fs::perms::owner_all);
    fs::path caller = root / "home with space";
    fs::create_directories(caller);
    Outcome o = RunCommand(caller.string(), "--record run.txt --playdemo /abs/demo.txt --timedemo '../up one.txt' "
                                            "--record --help --help run.txt --timedemo ''");
    EXPECT_EQ(o.status, 0) << o.out;
    EXPECT_EQ(o.out, dataRoot.string() + "\n[--record]\n[" + caller.string() + "/run.txt]\n[--playdemo]\n[/abs/demo.txt]\n"
                     "[--timedemo]\n[" + caller.string() + "/../up one.txt]\n[--record]\n[" + caller.string() +
                     "/--help]\n[--help]\n[run.txt]\n[--timedemo]\n[]\n");
    // From the top folder a name keeps a single slash.
    o = RunCommand("/", "--record run.txt");
    EXPECT_EQ(o.out, dataRoot.string() + "\n[--record]\n[/run.txt]\n");
}

TEST_F(InstalledGame, MissingDataFolderIsOneLineNamingTheInstalledFolder)
{
    fs::remove_all(dataRoot / "data");
    Outcome o = RunCommand("/");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(std::count(o.out.begin(), o.out.end(), '\n'), 1) << o.out;
    EXPECT_NE(o.out.find("no data/ folder in " + dataRoot.string()), std::string::npos) << o.out;
}

// Over ssh, from cron or in a container there is no display, and SDL left to
// itself would draw off screen for ever: the game says so and ends at once.
// The game gets no video driver and no display from the test; the bound is a
// guard against a game that runs on, the line comes in a few milliseconds.
TEST_F(InstalledGame, NoDisplayIsOneLineAndStatusOne)
{
    Outcome o = Shell("cd / && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy PATH=" +
                      Quote(games.string()) + ":\"$PATH\" timeout -k 1 2 kestravale");
    EXPECT_EQ(o.status, 1) << o.out;
    std::vector<std::string> ours;
    std::istringstream lines(o.out);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("kestravale: ", 0) == 0)
            ours.push_back(line);
    ASSERT_EQ(ours.size(), 1u) << o.out;
    EXPECT_EQ(ours[0].rfind("kestravale: no display: ", 0), 0u) << o.out;
}

// The removal the README gives takes every file and folder of the game from
// one prefix and leaves another prefix's copy whole.
TEST_F(InstalledGame, RemovalTakesEverythingFromOnePrefixAndNothingFromAnother)
{
    Outcome o = Shell("DESTDIR=" + Quote(root.string()) + " " + Quote(KV_CMAKE) + " --install " + Quote(KV_BUILD_DIR) +
                      " --prefix /opt/kv --component Unspecified");
    ASSERT_EQ(o.status, 0) << o.out;
    auto ours = [&](const fs::path &under) {
        std::vector<std::string> found;
        for (const auto &e : fs::recursive_directory_iterator(under)) {
            const std::string p = e.path().string();
            if (p.find("kestravale") != std::string::npos || p.find("KestraVale") != std::string::npos)
                found.push_back(p);
        }
        return found;
    };
    ASSERT_FALSE(ours(root / "opt/kv").empty());
    const size_t optFiles = ours(root / "opt/kv").size();

    o = Shell("DESTDIR=" + Quote(root.string()) + " " + Quote(KV_SOURCE_DIR "/scripts/uninstall.sh") + " /usr");
    EXPECT_EQ(o.status, 0) << o.out;
    EXPECT_EQ(ours(root / "usr"), std::vector<std::string>{});
    EXPECT_EQ(ours(root / "opt/kv").size(), optFiles);
    o = Shell("DESTDIR=" + Quote(root.string()) + " " + Quote(KV_SOURCE_DIR "/scripts/uninstall.sh") + " /opt/kv");
    EXPECT_EQ(o.status, 0) << o.out;
    EXPECT_EQ(ours(root / "opt/kv"), std::vector<std::string>{});
}

TEST_F(InstalledGame, DamagedInstalledFileIsOneLineNamingItInFull)
{
    WriteFile((dataRoot / "data/tiles.bmp").string(), std::vector<uint8_t>(300, 'x'));
    Outcome o = RunCommand("/");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "kestravale: " + (dataRoot / "data/tiles.bmp").string() + ": not a BMP picture\n");
}

TEST_F(InstalledGame, ADemoRecordedAndTimedByItsNameIsInTheCallersFolder)
{
    fs::path caller = root / "player's home";
    fs::create_directories(caller);
    InterruptedGame s = PlayUntilThirdFrame(games, caller, {"--record", "run.txt"});
    EXPECT_EQ(s.status, 0);
    ASSERT_TRUE(fs::is_regular_file(caller / "run.txt"));
    EXPECT_FALSE(fs::exists(dataRoot / "run.txt"));
    Outcome o = RunCommand(caller.string(), "--timedemo run.txt");
    EXPECT_EQ(o.status, 0) << o.out;
    EXPECT_EQ(o.out.rfind((caller / "run.txt").string() + ": ", 0), 0u) << o.out;
}

// An installed level, named from the caller's folder, is played to its exit
// by its recorded run: the Lantern Mine's run, as the replay test has it.
TEST_F(InstalledGame, AnInstalledLevelIsPlayedToItsExitByItsRun)
{
    const std::string run = KV_SOURCE_DIR "/tests/replays/more/lantern-mine.txt";
    Outcome o = RunCommand((dataRoot / "levels").string(), "--level lantern-mine.txt --timedemo '" + run + "'");
    EXPECT_EQ(o.status, 0) << o.out;
    EXPECT_NE(o.out.find(run + ": level 2 finished on pass 5247, "), std::string::npos) << o.out;
}
