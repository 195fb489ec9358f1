// Demos. A pass reads the keys only from the key table, so a record of that
// table, pass by pass, replays the game exactly: the same keys give the
// same game, because every speed and timer counts passes. Recording writes
// the table as it stood before each pass; playback puts it back there.

#include "shell/demo.h"

#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

#include "core/datafile.h"
#include "core/mode.h"
#include "frontend/menu.h"
#include "input/keys.h"
#include "sound/sound.h"
#include "world/level.h"

const char DemoKeyLetters[DEMO_KEY_COUNT + 1] = "RLJFUDEX123";
const SDLKey DemoKeyCodes[DEMO_KEY_COUNT] = {SDLK_RIGHT, SDLK_LEFT,   SDLK_LALT,   SDLK_SPACE,
                                             SDLK_UP,    SDLK_DOWN,   SDLK_RETURN, SDLK_ESCAPE,
                                             SDLK_1,     SDLK_2,      SDLK_3};
static const int ENTER_KEY = 6;  // DemoKeyLetters[6] == 'E'

Demo demo;
DemoStep DemoSteps[MAX_DEMO_STEPS];

// The time of each pass of a timed demo, in microseconds, one count per
// microsecond up to a tenth of a second; slower passes share the last.
enum { TIMED_BUCKETS = 100001 };
static Sint32 PassMicros[TIMED_BUCKETS];
static std::chrono::steady_clock::time_point timedStart, passStart;

// ---- Reading a demo file ------------------------------------------------

enum { DEMO_LINE_MAX = 1024, MAX_STEP_PASSES = 10000000 };  // DEMO_LINE_MAX characters before the line's end

struct DemoReader {
    int line;
    int headerSeen;
    char *why;
    int whyLen;
};

static int Fault(DemoReader &r, const char *text)
{
    if (r.line > 0)
        snprintf(r.why, r.whyLen, "line %d: %s", r.line, text);
    else
        snprintf(r.why, r.whyLen, "%s", text);
    return -1;
}

// A whole decimal number of at most nine digits, nothing else.
static int ReadCount(const char *word, Sint32 &value)
{
    int n = 0;
    value = 0;
    for (; word[n]; n++) {
        if (word[n] < '0' || word[n] > '9' || n == 9)
            return -1;
        value = value * 10 + (word[n] - '0');
    }
    return n > 0 ? 0 : -1;
}

static int ReadKeys(const char *word, Uint16 &keys)
{
    keys = 0;
    if (strcmp(word, "-") == 0)
        return 0;
    for (const char *c = word; *c; c++) {
        const char *at = strchr(DemoKeyLetters, *c);
        if (!at || *c == 0 || (keys & (1u << (at - DemoKeyLetters))))
            return -1;
        keys |= (Uint16)(1u << (at - DemoKeyLetters));
    }
    return word[0] ? 0 : -1;
}

static int AddStep(DemoReader &r, Sint32 passes, Uint16 keys)
{
    if (demo.stepCount == MAX_DEMO_STEPS)
        return Fault(r, "the demo has more steps than the game can hold");
    if (passes > MAX_DEMO_PASSES - demo.totalPasses)
        return Fault(r, "the demo is longer than the game can play");
    DemoSteps[demo.stepCount++] = {passes, keys};
    demo.totalPasses += passes;
    return 0;
}

enum { MAX_WORDS = 64 };

static int ReadLine(DemoReader &r, char *text)
{
    char *hash = strchr(text, '#');
    if (hash)
        *hash = 0;
    char *words[MAX_WORDS];
    int count = 0;
    for (char *w = strtok(text, " \t\r\n"); w; w = strtok(NULL, " \t\r\n")) {
        if (count == MAX_WORDS)
            return Fault(r, "too many words on one line");
        words[count++] = w;
    }
    if (count == 0)
        return 0;
    if (!r.headerSeen) {
        Sint32 version;
        if (count != 3 || strcmp(words[0], "kestravale") != 0 || strcmp(words[1], "demo") != 0 ||
            ReadCount(words[2], version) < 0)
            return Fault(r, "not a demo: it must begin with \"kestravale demo 1\"");
        if (version != 1) {
            char text[96];
            snprintf(text, sizeof text, "a demo of version %d; this game plays version 1", (int)version);
            return Fault(r, text);
        }
        r.headerSeen = 1;
        return 0;
    }
    if (strcmp(words[0], "map") == 0) {
        // map <level> <checksum> <title>: made on that custom level.
        char *end = NULL;
        const unsigned long sum = count >= 4 && strlen(words[2]) == 8 ? strtoul(words[2], &end, 16) : 0;
        if (count < 4 || strlen(words[1]) != 1 || words[1][0] < '1' || words[1][0] > '3' || !end || *end)
            return Fault(r, "expected \"map <level> <checksum> <title>\"");
        if (demo.mapLevel || demo.stepCount)
            return Fault(r, "\"map\" comes once, before the first keys");
        demo.mapLevel = words[1][0] - '0';
        demo.mapChecksum = (Uint32)sum;
        demo.mapTitle[0] = 0;
        for (int i = 3; i < count; i++) {
            const size_t used = strlen(demo.mapTitle);
            snprintf(demo.mapTitle + used, sizeof demo.mapTitle - used, "%s%s", i > 3 ? " " : "", words[i]);
        }
        return 0;
    }
    if (strcmp(words[0], "level") == 0) {
        if (count != 2 || strlen(words[1]) != 1 || words[1][0] < '1' || words[1][0] > '3')
            return Fault(r, "expected \"level 1\", \"level 2\" or \"level 3\"");
        if (demo.level || demo.stepCount)
            return Fault(r, "\"level N\" comes once, before the first keys");
        demo.level = words[1][0] - '0';
        return AddStep(r, 1, (Uint16)(1u << ENTER_KEY));  // Start, chosen in the menu
    }
    Sint32 repeat = 1;
    if (count % 2 == 1 && words[count - 1][0] == 'x') {
        if (ReadCount(words[count - 1] + 1, repeat) < 0 || repeat < 1)
            return Fault(r, "a repeat is written x<count>, the count a whole number from 1");
        count--;
    }
    if (count % 2 != 0)
        return Fault(r, "expected pairs of <passes> <keys>, then perhaps x<count>");
    for (Sint32 round = 0; round < repeat; round++) {
        for (int i = 0; i < count; i += 2) {
            Sint32 passes;
            Uint16 keys;
            if (ReadCount(words[i], passes) < 0 || passes < 1 || passes > MAX_STEP_PASSES)
                return Fault(r, "a number of passes is a whole number from 1 to 10000000");
            if (ReadKeys(words[i + 1], keys) < 0)
                return Fault(r, "keys are \"-\" or letters of RLJFUDEX123, each at most once");
            if (AddStep(r, passes, keys) < 0)
                return -1;
        }
    }
    return 0;
}

// One line into text (without its end), at most DEMO_LINE_MAX characters.
// Returns the line's length, -1 at the end of the file, -2 for a line too
// long, -3 for a NUL byte (a binary file, not a demo).
static int NextLine(FILE *f, char *text)
{
    int n = 0, c;
    while ((c = getc(f)) != EOF && c != '\n') {
        if (c == 0)
            return -3;
        if (n == DEMO_LINE_MAX)
            return -2;
        text[n++] = (char)c;
    }
    text[n] = 0;
    return c == EOF && n == 0 ? -1 : n;
}

int ParseDemo(FILE *f, char *why, int whyLen)
{
    demo.level = 0;
    demo.mapLevel = 0;
    demo.mapChecksum = 0;
    demo.mapTitle[0] = 0;
    demo.stepCount = 0;
    demo.totalPasses = 0;
    DemoReader r = {0, 0, why, whyLen};
    char text[DEMO_LINE_MAX + 1];
    for (;;) {
        r.line++;
        const int n = NextLine(f, text);
        if (n == -1)
            break;
        if (n == -2)
            return Fault(r, "line too long (a line holds at most 1024 characters)");
        if (n == -3)
            return Fault(r, "not a demo: it holds bytes that are not text");
        if (ReadLine(r, text) < 0)
            return -1;
    }
    if (ferror(f))
        return Fault(r, "could not be read to its end");
    r.line = 0;
    if (!r.headerSeen)
        return Fault(r, "not a demo: it must begin with \"kestravale demo 1\"");
    if (demo.totalPasses == 0)
        return Fault(r, "the demo holds no passes");
    return 0;
}

// ---- The command line ---------------------------------------------------

static void Usage(FILE *to)
{
    fprintf(to,
            "Usage: kestravale [OPTION]\n"
            "A small platform game: walk, jump and shoot through three levels.\n"
            "\n"
            "With no option the game starts at its title menu.\n"
            "  --record FILE     play, and write the keys of every pass into FILE\n"
            "                    (a FILE that exists is replaced)\n"
            "  --playdemo FILE   play the demo in FILE back, then go on at the title menu\n"
            "  --timedemo FILE   play the demo in FILE back as fast as possible, print\n"
            "                    how many passes it took and how long, and end\n"
            "  --level-run N     begin at once with Start on level N (1, 2 or 3), alone or\n"
            "                    with --record, whose demo then plays that level's run\n"
            "  --level FILE      play the custom level in FILE in place of its level's\n"
            "                    own map (with any option above, or none)\n"
            "  --help            show this help and end\n"
            "  --version         show the version and end\n"
            "\n"
            "Keys: arrows to walk, Left Alt to jump, Space to fire, Escape for the menu,\n"
            "1 and 2 for full screen and window, 3 to skip a level.\n"
            "This game reads its art, sound, music and levels from %s\n",
            FullDataPath("data/"));
}

static int UsageFault(const char *text)
{
    fprintf(stderr, "kestravale: %s; try 'kestravale --help'\n", text);
    return 2;
}

// A file named on the command line, opened for reading if it is an
// ordinary file; otherwise NULL with why written.
static FILE *OpenGivenFile(const char *path, char *why, size_t whyLen)
{
    struct stat st;
    FILE *f = NULL;
    if (stat(path, &st) != 0)
        snprintf(why, whyLen, "cannot read it: %s", strerror(errno));
    else if (!S_ISREG(st.st_mode))
        snprintf(why, whyLen, "not a file that can be read");
    else if (!(f = fopen(path, "rb")))
        snprintf(why, whyLen, "cannot read it: %s", strerror(errno));
    return f;
}

static int LoadDemo(const char *path)
{
    char why[160];
    FILE *f = OpenGivenFile(path, why, sizeof why);
    int fault = !f;
    if (f) {
        fault = ParseDemo(f, why, sizeof why) < 0;
        fclose(f);
    }
    if (fault) {
        fprintf(stderr, "kestravale: %s: %s\n", path, why);
        return 1;
    }
    return 0;
}

// The file to record into is checked before the window opens, so that a
// run is never played for nothing: a file that is there must be one that
// can be written (it is replaced), a new one needs a folder that can take it.
static int CheckRecordFile(const char *path)
{
    char why[160] = "";
    struct stat st;
    if (stat(path, &st) == 0) {
        if (!S_ISREG(st.st_mode))
            snprintf(why, sizeof why, "not a file that can be written");
        else if (access(path, W_OK) != 0)
            snprintf(why, sizeof why, "cannot write it: %s", strerror(errno));
    } else if (errno != ENOENT) {
        snprintf(why, sizeof why, "cannot write it: %s", strerror(errno));
    } else {
        char folder[4096];
        snprintf(folder, sizeof folder, "%s", path);
        char *slash = strrchr(folder, '/');
        if (!slash)
            snprintf(folder, sizeof folder, ".");
        else
            slash[slash == folder] = 0;  // "/name" keeps its "/"
        if (stat(folder, &st) != 0 || !S_ISDIR(st.st_mode))
            snprintf(why, sizeof why, "cannot write it: its folder does not exist");
        else if (access(folder, W_OK | X_OK) != 0)
            snprintf(why, sizeof why, "cannot write it: its folder: %s", strerror(errno));
    }
    if (!why[0])
        return 0;
    fprintf(stderr, "kestravale: %s: %s\n", path, why);
    return 1;
}

// The custom level of --level, read whole and checked before the window
// opens.
static int LoadCustomLevel(const char *path)
{
    static char text[CUSTOM_FILE_MAX + 1];
    char why[160];
    FILE *f = OpenGivenFile(path, why, sizeof why);
    int fault = 1;
    if (f) {
        const size_t n = fread(text, 1, sizeof text, f);
        if (ferror(f))
            snprintf(why, sizeof why, "cannot read it: %s", strerror(errno));
        else
            fault = ReadCustomLevel(text, (int)n, why, sizeof why) < 0;
        fclose(f);
    }
    if (!fault)
        return 0;
    fprintf(stderr, "kestravale: %s: %s\n", path, why);
    return 1;
}

// A demo plays back only on the map it was made on.
static int DemoFitsTheMap()
{
    char why[200] = "";
    if (demo.mapLevel && !customLevel.level)
        snprintf(why, sizeof why, "made on the custom level \"%s\"; start the game with --level and its file",
                 demo.mapTitle);
    else if (!demo.mapLevel && customLevel.level)
        snprintf(why, sizeof why, "made on the game's own maps, not on the custom level \"%s\"",
                 customLevel.title);
    else if (demo.mapLevel && (demo.mapLevel != customLevel.level || demo.mapChecksum != customLevel.checksum))
        snprintf(why, sizeof why, "made on the custom level \"%s\", not on \"%s\"", demo.mapTitle,
                 customLevel.title);
    if (!why[0])
        return 1;
    fprintf(stderr, "kestravale: %s: %s\n", demo.path, why);
    return 0;
}

int ReadOptions(int argc, char *argv[])
{
    demo.mode = DemoOff;
    demo.runLevel = 0;
    customLevel.level = 0;
    const char *levelPath = NULL;
    for (int i = 1; i < argc; i++) {
        const char *arg = argv[i];
        DemoModeValue mode = DemoOff;
        if (strcmp(arg, "--level-run") == 0) {
            if (i + 1 >= argc || strlen(argv[i + 1]) != 1 || argv[i + 1][0] < '1' || argv[i + 1][0] > '3')
                return UsageFault("--level-run needs a level: 1, 2 or 3");
            demo.runLevel = argv[++i][0] - '0';
            continue;
        }
        if (strcmp(arg, "--level") == 0) {
            if (levelPath)
                return UsageFault("one --level at a time");
            if (i + 1 >= argc || argv[i + 1][0] == 0)
                return UsageFault("--level needs a file name");
            levelPath = argv[++i];
            continue;
        }
        if (strcmp(arg, "--help") == 0) {
            Usage(stdout);
            return 0;
        }
        if (strcmp(arg, "--version") == 0) {
            printf("kestravale " KV_VERSION "\n");
            return 0;
        }
        if (strcmp(arg, "--record") == 0)
            mode = DemoRecord;
        else if (strcmp(arg, "--playdemo") == 0)
            mode = DemoPlayback;
        else if (strcmp(arg, "--timedemo") == 0)
            mode = DemoTimed;
        char text[160];
        if (mode == DemoOff) {
            snprintf(text, sizeof text, "unknown option '%.100s'", arg);
            return UsageFault(text);
        }
        if (demo.mode != DemoOff)
            return UsageFault("one demo option at a time");
        if (i + 1 >= argc || argv[i + 1][0] == 0) {
            snprintf(text, sizeof text, "%s needs a file name", arg);
            return UsageFault(text);
        }
        demo.mode = mode;
        demo.path = argv[++i];
    }
    if (demo.runLevel && (demo.mode == DemoPlayback || demo.mode == DemoTimed))
        return UsageFault("--level-run goes with --record, or alone; a demo names its own level");
    if (levelPath && LoadCustomLevel(levelPath) != 0)
        return 1;
    if (demo.mode == DemoPlayback || demo.mode == DemoTimed)
        if (LoadDemo(demo.path) != 0 || !DemoFitsTheMap())
            return 1;
    if (demo.mode == DemoRecord && CheckRecordFile(demo.path) != 0)
        return 1;
    return -1;
}

// ---- Recording and playback ---------------------------------------------

static Uint16 HeldKeys()
{
    Uint16 keys = 0;
    for (int i = 0; i < DEMO_KEY_COUNT; i++)
        if (keyState[DemoKeyCodes[i]])
            keys |= (Uint16)(1u << i);
    return keys;
}

void PendingRunLine(char *text, int size)
{
    text[0] = 0;
    if (demo.runLength == 0)
        return;
    char letters[DEMO_KEY_COUNT + 1];
    int n = 0;
    for (int i = 0; i < DEMO_KEY_COUNT; i++)
        if (demo.lastKeys & (1u << i))
            letters[n++] = DemoKeyLetters[i];
    letters[n] = 0;
    snprintf(text, size, "%d %s\n", (int)demo.runLength, n ? letters : "-");
}

static void WriteRun()
{
    char line[40];
    PendingRunLine(line, sizeof line);
    fputs(line, demo.out);
}

int BeginDemo()
{
    demo.realKeys = keyState;
    demo.step = demo.passInStep = demo.passesDone = 0;
    if (demo.mode == DemoRecord) {
        demo.out = fopen(demo.path, "w");
        if (!demo.out) {
            fprintf(stderr, "kestravale: %s: cannot write it: %s\n", demo.path, strerror(errno));
            return -1;
        }
        fprintf(demo.out, "# recorded by kestravale " KV_VERSION "\nkestravale demo 1\n");
        if (customLevel.level)
            fprintf(demo.out, "map %d %08x %s\n", customLevel.level, (unsigned)customLevel.checksum,
                    customLevel.title);
        if (demo.runLevel)
            fprintf(demo.out, "level %d\n", (int)demo.runLevel);
        demo.runLength = 0;
    } else if (demo.mode == DemoPlayback || demo.mode == DemoTimed) {
        memset(demo.keys, 0, sizeof demo.keys);
        keyState = demo.keys;
        if (demo.level)
            levelIndex = demo.level - 1;
        timedStart = std::chrono::steady_clock::now();
    }
    demo.finishedPass = 0;
    demo.passesInLevel = 0;
    demo.runStarting = demo.runLevel != 0;
    if (demo.runLevel)
        levelIndex = demo.runLevel - 1;
    return 0;
}

// A level run begins as a demo's "level N" line does: Start chosen in the
// menu, Enter held for one pass, with the game set on that level. That pass
// is the "level N" line of a recording, not a run of keys.
static int RunStartPass()
{
    if (!demo.runStarting)
        return 0;
    memset(demo.keys, 0, sizeof demo.keys);
    demo.keys[SDLK_RETURN] = 1;
    keyState = demo.keys;
    return 1;
}

void BeforeDemoPass()
{
    if (RunStartPass())
        return;
    if (demo.mode == DemoRecord) {
        const Uint16 keys = HeldKeys();
        if (demo.runLength > 0 && keys != demo.lastKeys) {
            WriteRun();
            demo.runLength = 0;
        }
        demo.lastKeys = keys;
        demo.runLength++;
    } else if (demo.mode == DemoPlayback || demo.mode == DemoTimed) {
        const Uint16 keys = DemoSteps[demo.step].keys;
        for (int i = 0; i < DEMO_KEY_COUNT; i++)
            demo.keys[DemoKeyCodes[i]] = (keys >> i) & 1;
        if (demo.mode == DemoTimed)
            passStart = std::chrono::steady_clock::now();
    }
}

// The end of a demo played back at the normal pace: the player's keyboard
// again, and the title menu, reached as Escape reaches it.
static void LeaveDemo()
{
    keyState = demo.realKeys;
    if (GameMode == Playing) {
        PlayEffect(SfxMenu2);
        spinnerTimer = 0;
        spinnerFrame = 0;
    } else if (GameMode == Help) {
        PlayEffect(SfxMenu2);
    }
    GameMode = Menu;
    demo.mode = DemoOff;
}

void StopPlayback()
{
    if (demo.mode == DemoPlayback)
        LeaveDemo();
}

// The level a run or a demo began with Start on is left (its exit reached,
// or the last level's end) when the game is set on another level: counted
// from the first pass after Start, as the recorded runs count.
static void WatchTheLevel()
{
    const int level = demo.runLevel ? demo.runLevel : demo.mode != DemoOff ? demo.level : 0;
    if (!level || demo.finishedPass)
        return;
    demo.passesInLevel++;
    if (demo.passesInLevel > 1 && levelIndex != level - 1)
        demo.finishedPass = demo.passesInLevel - 1;
}

int AfterDemoPass()
{
    WatchTheLevel();
    if (demo.runStarting) {
        demo.runStarting = 0;
        keyState = demo.realKeys;
        return 1;
    }
    if (demo.mode != DemoPlayback && demo.mode != DemoTimed)
        return 1;
    if (demo.mode == DemoTimed) {
        const auto micros =
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - passStart);
        const long long us = micros.count();
        PassMicros[us < 0 ? 0 : us >= TIMED_BUCKETS ? TIMED_BUCKETS - 1 : us]++;
    }
    demo.passesDone++;
    if (++demo.passInStep < DemoSteps[demo.step].passes)
        return 1;
    demo.passInStep = 0;
    if (++demo.step < demo.stepCount)
        return 1;
    if (demo.mode == DemoTimed)
        return 0;
    LeaveDemo();
    return 1;
}

// The smallest time per pass that at least the given share of passes took.
static double Percentile(int percent)
{
    const long long wanted = ((long long)demo.passesDone * percent + 99) / 100;
    long long seen = 0;
    for (int us = 0; us < TIMED_BUCKETS; us++) {
        seen += PassMicros[us];
        if (seen >= wanted && wanted > 0)
            return us / 1000.0;
    }
    return (TIMED_BUCKETS - 1) / 1000.0;
}

void EndDemo()
{
    if (demo.mode == DemoRecord && demo.out) {
        WriteRun();
        fclose(demo.out);
        demo.out = NULL;
    } else if (demo.mode == DemoTimed) {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - timedStart).count();
        printf("%s: %d passes in %.3f s, %.1f passes per second; time per pass: 50th percentile %.3f ms, "
               "99th percentile %.3f ms\n",
               demo.path, (int)demo.passesDone, seconds, seconds > 0 ? demo.passesDone / seconds : 0.0,
               Percentile(50), Percentile(99));
        if (demo.finishedPass)
            printf("%s: level %d finished on pass %d, %.2f s at the game's pace\n", demo.path, (int)demo.level,
                   (int)demo.finishedPass, demo.finishedPass * 0.0045);
    }
    demo.mode = DemoOff;
}
