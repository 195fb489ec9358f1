// The mutation check: how many small faults planted in the game would the
// test suite notice? Each edit of a list (a flipped comparison, a constant
// off by one, a dropped call, two steps swapped) is made in a scratch copy of
// the sources; the test program is rebuilt and run, and an edit the suite
// passes with is reported as a survivor.
//
// Run from the top folder (the one holding src/ and tests/):
//
//   build/tools/mutate [--list FILE] [--only 3,17,40-45] [--file src/world/]
//                      [--sample N] [--scratch DIR] [--report FILE] [--jobs N]
//                      [--check] [--no-ctest-checks] [--no-sanitizer]
//
// --check only finds each edit's place in the sources, and builds nothing.
//
// The list (tools/dev/mutants.txt) is read from the source tree; each edit
// finds its place by a short text that must occur exactly once in its file,
// so it survives other changes to the file. An edit whose text is gone or
// ambiguous is reported and not counted. Edits that cannot change anything
// seen or heard are marked equivalent in the list, with the reason, and not
// run. The score is the share of the edits run that the suite rejects; it is
// also given without the guards, the tests that hold the game to
// fingerprints of its own earlier output (--guards, *SamePasses.* by
// default), which catch nearly any change: that share is what the tests
// worked out by hand catch on their own.
//
// An edit is judged as CI judges the game: after the test program, the
// checks only CTest runs (the whole program in its two shuffled orders, no
// heap in a pass, the instruction budget where valgrind is), then, for an
// edit still standing, the sanitizer build (a second scratch build with
// KV_SANITIZE, made the first time it is needed), which sees what the
// optimised build cannot, such as a read past an array. The report names
// the edits only those caught. --no-ctest-checks and --no-sanitizer leave
// them out, for a quicker, less strict run. A run of the suite that
// outlasts --timeout (by default five times the pristine copy's run)
// rejects its edit: a test that waits for ever on a broken game fails.

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Mutant {
    int id = 0;
    int line = 0;  // in the list
    std::string file, what, find, into, same;
};

enum Outcome { Killed, Guarded, ByCtest, BySanitizer, Survived, NoBuild, Missing, Ambiguous, Equivalent };
const char *OutcomeNames[] = {"killed",         "by the guards",   "by ctest only", "by the sanitizer",
                              "SURVIVED",       "does not build",  "text not found", "text not unique",
                              "equivalent"};

std::string Unescape(const std::string &s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); i++) {
        if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == 'n') {
            out += '\n';
            i++;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string Trim(const std::string &s)
{
    size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t\r");
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

// file PATH / edit WHAT / find TEXT / into TEXT / same REASON; # comments.
std::vector<Mutant> ReadList(const std::string &path, std::string &error)
{
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return {};
    }
    std::vector<Mutant> list;
    std::string line, file;
    int n = 0;
    while (std::getline(in, line)) {
        n++;
        const std::string t = Trim(line);
        if (t.empty() || t[0] == '#')
            continue;
        const size_t space = t.find(' ');
        const std::string key = t.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : t.substr(space + 1);
        if (key == "file") {
            file = rest;
        } else if (key == "edit") {
            Mutant m;
            m.id = int(list.size()) + 1;
            m.line = n;
            m.file = file;
            m.what = rest;
            list.push_back(m);
        } else if (key == "find" && !list.empty()) {
            list.back().find = Unescape(rest);
        } else if (key == "into" && !list.empty()) {
            list.back().into = Unescape(rest);
        } else if (key == "same" && !list.empty()) {
            list.back().same = rest;
        } else {
            error = path + ":" + std::to_string(n) + ": cannot read \"" + t + "\"";
            return {};
        }
    }
    for (const Mutant &m : list)
        if (m.file.empty() || m.find.empty()) {
            error = path + ":" + std::to_string(m.line) + ": an edit needs a file and a text to find";
            return {};
        }
    return list;
}

// Where text occurs in s, a run of blanks in text matching any run of blanks
// (line ends included) in s. Returns every match as (start, length).
std::vector<std::pair<size_t, size_t>> Find(const std::string &s, const std::string &text)
{
    std::vector<std::pair<size_t, size_t>> found;
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    for (size_t start = 0; start < s.size(); start++) {
        size_t i = start, j = 0;
        while (j < text.size() && i <= s.size()) {
            if (blank(text[j])) {
                while (j < text.size() && blank(text[j]))
                    j++;
                if (i >= s.size() || !blank(s[i]))
                    break;
                while (i < s.size() && blank(s[i]))
                    i++;
            } else if (i < s.size() && s[i] == text[j]) {
                i++;
                j++;
            } else {
                break;
            }
        }
        if (j == text.size())
            found.push_back({start, i - start});
    }
    return found;
}

std::string ReadText(const fs::path &p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteText(const fs::path &p, const std::string &s)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << s;
}

int Run(const std::string &cmd) { return system(cmd.c_str()); }

bool Ok(int status) { return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0; }

std::string Quote(const fs::path &p) { return "'" + p.string() + "'"; }

// Makes `to` a copy of `from`, writing only the files that differ, so that
// a second run in the same scratch folder compiles only what changed.
void Mirror(const fs::path &from, const fs::path &to)
{
    if (fs::is_symlink(to) || (fs::exists(to) && fs::is_directory(to) != fs::is_directory(from)))
        fs::remove_all(to);
    if (!fs::is_directory(from)) {
        if (!fs::exists(to) || fs::file_size(to) != fs::file_size(from) || ReadText(to) != ReadText(from))
            fs::copy_file(from, to, fs::copy_options::overwrite_existing);
        return;
    }
    fs::create_directories(to);
    for (const auto &e : fs::directory_iterator(from))
        Mirror(e.path(), to / e.path().filename());
    std::vector<fs::path> gone;
    for (const auto &e : fs::directory_iterator(to))
        if (!fs::exists(fs::symlink_status(from / e.path().filename())))
            gone.push_back(e.path());
    for (const fs::path &g : gone)
        fs::remove_all(g);
}

struct Options {
    fs::path source = fs::current_path();
    fs::path list;
    fs::path scratch;
    fs::path report;
    std::set<int> only;
    std::string fileFilter;
    int sample = 0;
    int jobs = 2;
    // Seconds for one run of the suite; 0: five times what the pristine copy's
    // run took (at least two minutes), so that an edit that makes a test wait
    // for ever costs minutes, not a quarter of an hour.
    int timeout = 0;
    bool check = false;
    // Tests that compare with fingerprints of the game's own earlier output:
    // they catch nearly every change, so an edit is first judged without
    // them, and they are asked only about the edits the rest lets through.
    std::string guards = "*SamePasses.*";
    bool ctestChecks = true;  // the shuffled runs, NoHeapInAPass, PassInstructionBudget
    bool sanitizer = true;    // a second scratch build with KV_SANITIZE for what survives
};

std::set<int> ParseIds(const std::string &s)
{
    std::set<int> ids;
    std::stringstream in(s);
    std::string part;
    while (std::getline(in, part, ',')) {
        const size_t dash = part.find('-');
        if (dash == std::string::npos) {
            ids.insert(atoi(part.c_str()));
        } else {
            for (int i = atoi(part.substr(0, dash).c_str()); i <= atoi(part.substr(dash + 1).c_str()); i++)
                ids.insert(i);
        }
    }
    return ids;
}

// Every object file of the scratch build and its time, so that after each
// edit the pristine objects can be put back instead of compiled again.
struct Objects {
    fs::path build, keep;
    std::map<fs::path, fs::file_time_type> times;

    void Save()
    {
        fs::create_directories(keep);
        for (const auto &e : fs::recursive_directory_iterator(build))
            if (e.is_regular_file() && e.path().extension() == ".o") {
                const fs::path copy = keep / fs::relative(e.path(), build);
                fs::create_directories(copy.parent_path());
                fs::copy_file(e.path(), copy, fs::copy_options::overwrite_existing);
                times[e.path()] = fs::last_write_time(e.path());
            }
    }

    fs::file_time_type latest{};  // the newest time given to a restored object

    // Objects compiled again for an edit get their pristine bytes back and a
    // new time, so that make archives and links them again without compiling.
    void Restore()
    {
        for (auto &[path, time] : times) {
            if (!fs::exists(path) || fs::last_write_time(path) == time)
                continue;
            fs::copy_file(keep / fs::relative(path, build), path, fs::copy_options::overwrite_existing);
            fs::last_write_time(path, fs::file_time_type::clock::now());
            time = fs::last_write_time(path);
            latest = std::max(latest, time);
        }
    }

    // The file system stamps a file written now with a clock that may lag a
    // few milliseconds behind the one the restored objects were stamped
    // with: an edited source must still look newer than its object, or make
    // would keep the pristine one.
    void MakeNewer(const fs::path &source) const
    {
        if (fs::last_write_time(source) <= latest)
            fs::last_write_time(source, latest + std::chrono::milliseconds(10));
    }
};

}  // namespace

int main(int argc, char **argv)
{
    Options o;
    o.list = o.source / "tools/dev/mutants.txt";
    for (int i = 1; i < argc; i++) {
        const std::string a = argv[i];
        const std::string next = i + 1 < argc ? argv[i + 1] : "";
        if (a == "--list" && !next.empty()) {
            o.list = next;
            i++;
        } else if (a == "--only" && !next.empty()) {
            o.only = ParseIds(next);
            i++;
        } else if (a == "--file" && !next.empty()) {
            o.fileFilter = next;
            i++;
        } else if (a == "--sample" && !next.empty()) {
            o.sample = atoi(next.c_str());
            i++;
        } else if (a == "--scratch" && !next.empty()) {
            o.scratch = next;
            i++;
        } else if (a == "--report" && !next.empty()) {
            o.report = next;
            i++;
        } else if (a == "--jobs" && !next.empty()) {
            o.jobs = atoi(next.c_str());
            i++;
        } else if (a == "--guards" && !next.empty()) {
            o.guards = next;
            i++;
        } else if (a == "--check") {
            o.check = true;
        } else if (a == "--no-ctest-checks") {
            o.ctestChecks = false;
        } else if (a == "--no-sanitizer") {
            o.sanitizer = false;
        } else if (a == "--timeout" && !next.empty()) {
            o.timeout = atoi(next.c_str());
            i++;
        } else {
            fprintf(stderr,
                    "usage: mutate [--list FILE] [--only IDS] [--file PREFIX] [--sample N] [--scratch DIR]\n"
                    "              [--report FILE] [--jobs N] [--timeout SECONDS] [--guards FILTER] [--check]\n"
                    "              [--no-ctest-checks] [--no-sanitizer]\n");
            return 2;
        }
    }
    if (!fs::exists(o.source / "src") || !fs::exists(o.source / "tests")) {
        fprintf(stderr, "mutate: run me from the top folder, the one holding src/ and tests/\n");
        return 2;
    }
    if (o.scratch.empty())
        o.scratch = fs::temp_directory_path() / ("kv-mutate-" + std::to_string(getpid()));

    std::string error;
    std::vector<Mutant> list = ReadList(o.list.string(), error);
    if (!error.empty()) {
        fprintf(stderr, "mutate: %s\n", error.c_str());
        return 2;
    }
    std::vector<Mutant> chosen;
    for (const Mutant &m : list)
        if ((o.only.empty() || o.only.count(m.id)) && m.file.rfind(o.fileFilter, 0) == 0)
            chosen.push_back(m);
    if (o.sample > 0 && o.sample < int(chosen.size())) {
        // Evenly spread over the list, so every part of the game is sampled.
        std::vector<Mutant> spread;
        for (int i = 0; i < o.sample; i++)
            spread.push_back(chosen[size_t(i) * chosen.size() / o.sample]);
        chosen = spread;
    }

    if (o.check) {
        // Every place found once, and every file of the game edited.
        int bad = 0;
        std::map<std::string, int> perFile;
        for (const auto &e : fs::recursive_directory_iterator(o.source / "src"))
            if (e.is_regular_file())
                perFile[fs::relative(e.path(), o.source).string()] = 0;
        for (const Mutant &m : chosen) {
            const auto found = Find(ReadText(o.source / m.file), m.find);
            perFile[m.file]++;
            if (found.size() != 1) {
                printf("%4d  %-15s %s: %s\n", m.id, OutcomeNames[found.empty() ? Missing : Ambiguous],
                       m.file.c_str(), m.what.c_str());
                bad++;
            }
        }
        int equivalent = 0;
        for (const Mutant &m : chosen)
            equivalent += !m.same.empty();
        for (const auto &[file, n] : perFile)
            if (n == 0 && file.size() > 4 && file.substr(file.size() - 4) == ".cpp")
                printf("      no edit of %s\n", file.c_str());
        printf("%d edits (%d equivalent) in %d files; %d not found or not unique\n", int(chosen.size()), equivalent,
               int(std::count_if(perFile.begin(), perFile.end(), [](const auto &f) { return f.second > 0; })), bad);
        return bad ? 3 : 0;
    }

    // The scratch copy: everything of the top folder but the build folders
    // and what is hidden, copied, not linked: the tests install the game
    // and damage its data, which must never reach the source tree.
    printf("scratch copy in %s\n", o.scratch.c_str());
    fs::create_directories(o.scratch);
    for (const auto &e : fs::directory_iterator(o.source)) {
        const std::string name = e.path().filename().string();
        if (name[0] != '.' && name.rfind("build", 0) != 0)
            Mirror(e.path(), o.scratch / name);
    }

    const fs::path build = o.scratch / "build";
    const std::string jobs = std::to_string(o.jobs);
    // The test program, and the tools the tests run that hold the game (to
    // play a demo back, to render a session's sound); the data builders are
    // built once, as they are.
    // CTest's own checks run two programs more: count_allocs, count_passes.
    // The sanitizer build has neither: its tests are the test program's.
    const std::string testTargets = " --target kvtests passdigest render_session";
    const std::string targets = testTargets + (o.ctestChecks ? " count_allocs count_passes" : "");
    auto makeIn = [&](const fs::path &dir, const std::string &what, const char *log) {
        return "cmake --build " + Quote(dir) + " -j" + jobs + what + " > " + Quote(o.scratch / log) + " 2>&1";
    };
    const std::string make = makeIn(build, targets, "build.log");
    // Fail fast: one failing test is enough to reject an edit. The tests
    // worked out by hand first, then the guards.
    auto testCommand = [&](const std::string &filter) {
        return "cd " + Quote(o.scratch) + " && timeout " + std::to_string(o.timeout) + " " +
               Quote(build / "tests/kvtests") + " --gtest_fail_fast --gtest_brief=1 '--gtest_filter=" + filter +
               "' > " + Quote(o.scratch / "test.log") + " 2>&1";
    };
    const fs::path asan = o.scratch / "build-asan";
    const std::string asanMake = makeIn(asan, testTargets, "build-asan.log");
    std::string test, guardTest, ctestChecks, asanTest;
    const bool timeoutGiven = o.timeout > 0;
    if (!timeoutGiven)
        o.timeout = 900;  // for the pristine copy's run, until its time is known
    auto makeCommands = [&] {
        test = testCommand(o.guards.empty() ? "*" : "-" + o.guards);
        guardTest = o.guards.empty() ? "true" : testCommand(o.guards);
        // The tests that only CTest runs, as tests/CMakeLists.txt defines them.
        ctestChecks = !o.ctestChecks ? "true"
                                     : "cd " + Quote(o.scratch) + " && timeout " + std::to_string(2 * o.timeout) +
                                           " ctest --test-dir " + Quote(build) + " -j" + jobs +
                                           " -R '^(AllInOneProcess[.].*|NoHeapInAPass|PassInstructionBudget)$' > " +
                                           Quote(o.scratch / "ctest.log") + " 2>&1";
        // The sanitizer build, as ./check makes and runs it; the whole
        // program, guards and all, since only edits the normal build let
        // through reach it.
        asanTest = "cd " + Quote(o.scratch) +
                   " && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 LSAN_OPTIONS=suppressions=" +
                   Quote(o.scratch / "scripts/lsan.supp") +
                   ":print_suppressions=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1" + " timeout " +
                   std::to_string(4 * o.timeout) + " " + Quote(asan / "tests/kvtests") +
                   " --gtest_fail_fast --gtest_brief=1 > " + Quote(o.scratch / "test-asan.log") + " 2>&1";
    };
    makeCommands();
    Objects asanObjects{asan, o.scratch / "pristine-asan-objects", {}};
    bool asanReady = false;
    // Made the first time an edit needs it, from the pristine sources: the
    // edit in hand is taken out while it is built. The data builders are
    // built with it, once, as in the normal copy: the tests run them.
    auto prepareSanitizer = [&](const fs::path &file, const std::string &original, const std::string &edited) {
        if (asanReady)
            return true;
        printf("building the pristine sanitizer copy...\n");
        fflush(stdout);
        const auto time = fs::last_write_time(file);
        WriteText(file, original);
        fs::last_write_time(file, time);
        const bool ok = Ok(Run("cmake -S " + Quote(o.scratch) + " -B " + Quote(asan) +
                               " -DCMAKE_BUILD_TYPE=Debug -DKV_SANITIZE=ON > /dev/null")) &&
                        Ok(Run(makeIn(asan, testTargets + " build_art build_audio build_levels", "build-asan.log"))) &&
                        Ok(Run(asanTest));
        WriteText(file, edited);
        if (!ok) {
            fprintf(stderr, "mutate: the pristine sanitizer copy does not build or pass; see %s and %s\n",
                        (o.scratch / "build-asan.log").c_str(), (o.scratch / "test-asan.log").c_str());
            return false;
        }
        asanObjects.Save();
        asanReady = true;
        return true;
    };

    printf("building the pristine copy...\n");
    fflush(stdout);
    if (!Ok(Run("cmake -S " + Quote(o.scratch) + " -B " + Quote(build) +
                " -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null")) ||
        !Ok(Run("cmake --build " + Quote(build) + " -j" + jobs + targets + " build_art build_audio build_levels > " +
                Quote(o.scratch / "build.log") + " 2>&1"))) {
        fprintf(stderr, "mutate: the pristine copy does not build; see %s\n", (o.scratch / "build.log").c_str());
        return 1;
    }
    const auto pristineStart = std::chrono::steady_clock::now();
    if (!Ok(Run(test))) {
        fprintf(stderr, "mutate: the suite fails without any edit; see %s\n", (o.scratch / "test.log").c_str());
        return 1;
    }
    if (!timeoutGiven) {
        const auto took = std::chrono::steady_clock::now() - pristineStart;
        o.timeout = std::max(120, 5 * int(std::chrono::duration_cast<std::chrono::seconds>(took).count()));
        makeCommands();
        printf("a run of the suite may take %d s\n", o.timeout);
    }
    if (!Ok(Run(guardTest)) || !Ok(Run(ctestChecks))) {
        fprintf(stderr, "mutate: the suite fails without any edit; see %s\n", (o.scratch / "test.log").c_str());
        return 1;
    }
    Objects objects{build, o.scratch / "pristine-objects", {}};
    objects.Save();

    std::map<Outcome, int> counts;
    std::vector<std::string> lines;
    const auto started = std::chrono::steady_clock::now();
    for (const Mutant &m : chosen) {
        const fs::path file = o.scratch / m.file;
        const std::string original = ReadText(file);
        const auto found = Find(original, m.find);
        Outcome outcome;
        if (!fs::exists(file) || found.empty()) {
            outcome = Missing;
        } else if (found.size() > 1) {
            outcome = Ambiguous;
        } else if (!m.same.empty()) {
            outcome = Equivalent;
        } else {
            const auto time = fs::last_write_time(file);
            std::string edited = original;
            edited.replace(found[0].first, found[0].second, m.into);
            WriteText(file, edited);
            objects.MakeNewer(file);
            // A source of the game has an object to watch (the audio
            // back-end's in the build the tests link); a header has not.
            fs::path object = build / "CMakeFiles/kvgame.dir" / (m.file + ".o");
            if (!objects.times.count(object))
                object = build / "CMakeFiles/kvbass_dev.dir" / (m.file + ".o");
            const bool watched = objects.times.count(object) > 0;
            const bool built = Ok(Run(make));
            if (built && watched && fs::last_write_time(object) == objects.times[object]) {
                fprintf(stderr, "mutate: edit %d did not reach the build (%s was not compiled again)\n", m.id,
                        object.c_str());
                return 1;
            }
            if (!built)
                outcome = NoBuild;
            else if (!Ok(Run(test)))
                outcome = Killed;
            else if (!Ok(Run(guardTest)))
                outcome = Guarded;
            else if (!Ok(Run(ctestChecks)))
                outcome = ByCtest;
            else
                outcome = Survived;
            if (outcome == Survived && o.sanitizer) {
                if (!prepareSanitizer(file, original, edited))
                    return 1;
                objects.MakeNewer(file);
                asanObjects.MakeNewer(file);
                if (!Ok(Run(asanMake)))
                    outcome = NoBuild;
                else if (!Ok(Run(asanTest)))
                    outcome = BySanitizer;
            }
            WriteText(file, original);
            fs::last_write_time(file, time);
            objects.Restore();
            if (asanReady)
                asanObjects.Restore();
        }
        counts[outcome]++;
        char text[1024];
        snprintf(text, sizeof text, "%4d  %-15s %s: %s%s%s", m.id, OutcomeNames[outcome], m.file.c_str(),
                 m.what.c_str(), outcome == Equivalent ? " -- " : "", outcome == Equivalent ? m.same.c_str() : "");
        lines.push_back(text);
        printf("%s\n", text);
        fflush(stdout);
    }
    // Leave the builds as pristine as they began.
    Run(make);
    if (asanReady)
        Run(asanMake);

    const int ran = counts[Killed] + counts[Guarded] + counts[ByCtest] + counts[BySanitizer] + counts[Survived];
    const double minutes =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count() / 60.0;
    char summary[512];
    const int caught = counts[Killed] + counts[Guarded] + counts[ByCtest] + counts[BySanitizer];
    snprintf(summary, sizeof summary,
             "%d edits: %d killed (%d of them only by the guards %s, %d only by ctest's own checks, %d only by "
             "the sanitizer build), %d survived, %d equivalent, %d do not build, %d not found or not unique\n"
             "score: %d of %d killed (%.1f%%); without the guards %d (%.1f%%); %.0f minutes",
             int(chosen.size()), caught, counts[Guarded], o.guards.c_str(), counts[ByCtest], counts[BySanitizer],
             counts[Survived], counts[Equivalent],
             counts[NoBuild], counts[Missing] + counts[Ambiguous], caught, ran, ran ? 100.0 * caught / ran : 0.0,
             counts[Killed], ran ? 100.0 * counts[Killed] / ran : 0.0, minutes);
    printf("\n%s\n", summary);
    for (const std::string &l : lines)
        if (l.find("SURVIVED") != std::string::npos || l.find("by the guards") != std::string::npos ||
            l.find("by ctest only") != std::string::npos || l.find("by the sanitizer") != std::string::npos ||
            l.find("not found") != std::string::npos ||
            l.find("not unique") != std::string::npos || l.find("does not build") != std::string::npos)
            printf("%s\n", l.c_str());
    if (!o.report.empty()) {
        std::ofstream out(o.report);
        for (const std::string &l : lines)
            out << l << "\n";
        out << "\n" << summary << "\n";
    }
    return counts[Survived] || counts[Missing] || counts[Ambiguous] ? 3 : 0;
}
