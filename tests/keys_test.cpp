// docs/keys.txt is the one list of the game's keys, from which the web
// page's keys table is made. These tests hold it to the game (the keys it
// reads, and what each does in the menu, the help pages and play) and to
// the other places that list the keys: the README's keys table and the man
// page.

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game_fixture.h"
#include "shell/demo.h"
#include "core/mode.h"

namespace {

using Row = std::vector<std::string>;
enum Column { KEY, SDL_NAMES, IN_MENU, IN_HELP, IN_PLAY, COLUMNS };

std::string Trim(const std::string &s)
{
    const size_t first = s.find_first_not_of(" \t"), last = s.find_last_not_of(" \t");
    return first == std::string::npos ? "" : s.substr(first, last - first + 1);
}

// The trimmed pieces of s between the separators.
std::vector<std::string> Split(const std::string &s, const std::string &sep)
{
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t at; (at = s.find(sep, from)) != std::string::npos; from = at + sep.size())
        parts.push_back(Trim(s.substr(from, at - from)));
    parts.push_back(Trim(s.substr(from)));
    return parts;
}

std::vector<std::string> Lines(const std::string &path)
{
    std::ifstream in(KV_SOURCE_DIR "/" + path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// docs/keys.txt, its header row first.
std::vector<Row> KeysFile()
{
    std::vector<Row> rows;
    for (const std::string &line : Lines("docs/keys.txt"))
        if (!Trim(line).empty() && line[0] != '#')
            rows.push_back(Split(line, "|"));
    return rows;
}

Row WithoutSdlNames(Row row)
{
    row.erase(row.begin() + SDL_NAMES);
    return row;
}

// The keys the game reads, by SDL's names for them.
std::map<std::string, SDLKey> GameKeys()
{
    std::map<std::string, SDLKey> keys;
    for (int i = 0; i < DEMO_KEY_COUNT; i++)
        keys[SDL_GetKeyName(DemoKeyCodes[i])] = DemoKeyCodes[i];
    return keys;
}

// What a player sees and hears of some passes.
struct Outcome {
    Image screen;
    int mode;
    int displayModes;
    std::vector<SoundEffect> effects;
    bool operator==(const Outcome &o) const
    {
        return screen.w == o.screen.w && screen.h == o.screen.h && screen.px == o.screen.px && mode == o.mode &&
               displayModes == o.displayModes && effects == o.effects;
    }
};

// A fresh game taken to the menu, the help pages or play (IN_MENU ..
// IN_PLAY), then five passes with the key held (SDLK_UNKNOWN: none).
Outcome Hold5Passes(int where, SDLKey key)
{
    RigStart();
    if (where != IN_MENU) {
        if (where == IN_HELP)
            Press(SDLK_DOWN);
        Hold(SDLK_RETURN);
        Pass();
        ReleaseAll();
        Pass();  // the latch opens
    }
    if (key != SDLK_UNKNOWN)
        Hold(key);
    Passes(5);
    return {CaptureScreen(), (int)GameMode, vclock.videoModeCalls, vclock.effects};
}

// The words of a text, in lower case.
std::set<std::string> Words(const std::string &text)
{
    std::set<std::string> words;
    std::string word;
    for (char c : text + " ") {
        if (std::isalnum((unsigned char)c)) {
            word += (char)std::tolower((unsigned char)c);
        } else if (!word.empty()) {
            words.insert(word);
            word.clear();
        }
    }
    return words;
}

using KeysFileTest = GameTest;  // SDL names the keys once its video is up

}  // namespace

TEST_F(KeysFileTest, ListsEveryKeyTheGameReadsOnce)
{
    const std::vector<Row> rows = KeysFile();
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[0], (Row{"Key", "SDL names", "In the menu", "In the help pages", "In play"}));
    std::multiset<std::string> listed;
    for (size_t r = 1; r < rows.size(); r++) {
        ASSERT_EQ(rows[r].size(), size_t(COLUMNS)) << rows[r][KEY];
        EXPECT_FALSE(rows[r][IN_MENU].empty() && rows[r][IN_HELP].empty() && rows[r][IN_PLAY].empty()) << rows[r][KEY];
        for (const std::string &name : Split(rows[r][SDL_NAMES], "/"))
            listed.insert(name);
    }
    std::multiset<std::string> read;
    for (const auto &[name, key] : GameKeys())
        read.insert(name);
    EXPECT_EQ(listed, read);
}

// A key acts in a mode when holding it there changes what is seen or heard;
// a row acts when one of its keys does (Up on Start, 2 in a window may not).
TEST_F(KeysFileTest, SaysInWhichModeEachKeyActs)
{
    const std::vector<Row> rows = KeysFile();
    const std::map<std::string, SDLKey> keys = GameKeys();
    for (int where : {IN_MENU, IN_HELP, IN_PLAY}) {
        const Outcome still = Hold5Passes(where, SDLK_UNKNOWN);
        for (size_t r = 1; r < rows.size(); r++) {
            bool acts = false;
            for (const std::string &name : Split(rows[r][SDL_NAMES], "/")) {
                ASSERT_TRUE(keys.count(name)) << name;
                acts = acts || !(Hold5Passes(where, keys.at(name)) == still);
            }
            EXPECT_EQ(acts, !rows[r][where].empty()) << rows[r][KEY] << " " << rows[0][where];
        }
    }
}

// The README's keys table is found by its header row, wherever it stands.
TEST_F(KeysFileTest, IsTheReadmesKeysTable)
{
    const std::vector<Row> rows = KeysFile();
    const Row header = WithoutSdlNames(rows[0]);
    std::vector<Row> table;
    bool in = false;
    for (const std::string &line : Lines("README.md")) {
        const bool tableLine = line.size() > 2 && line[0] == '|' && line.back() == '|';
        const Row cells = tableLine ? Split(line.substr(1, line.size() - 2), "|") : Row{};
        if (!in && cells == header)
            in = true;
        else if (in && !tableLine)
            break;
        if (in && cells[0].find_first_not_of("-") != std::string::npos)  // not the |---| line
            table.push_back(cells);
    }
    ASSERT_FALSE(table.empty()) << "README.md has no table headed | " << header[0] << " | ...";
    std::vector<Row> listed;
    for (const Row &row : rows)
        listed.push_back(WithoutSdlNames(row));
    EXPECT_EQ(table, listed);
}

// The man page lists the keys under KEYS, ".B Left\fR, \fBRight" and the
// words of each thing the key does.
TEST_F(KeysFileTest, IsTheManPagesKeys)
{
    std::vector<std::pair<std::string, std::string>> entries;  // the key, what it does
    bool in = false, label = false;
    for (const std::string &line : Lines("packaging/kestravale.6")) {
        if (line.rfind(".SH", 0) == 0) {
            in = line == ".SH KEYS";
        } else if (!in || line.rfind(".PP", 0) == 0) {
            in = false;
        } else if (line == ".TP") {
            entries.emplace_back();
            label = true;
        } else if (!entries.empty() && label) {
            std::string key = line.substr(line.rfind(".B ", 0) == 0 ? 3 : 0);
            for (size_t at; (at = key.find("\\fR, \\fB")) != std::string::npos;)
                key.replace(at, 8, " / ");
            entries.back().first = key;
            label = false;
        } else if (!entries.empty()) {
            entries.back().second += " " + line;
        }
    }
    const std::vector<Row> rows = KeysFile();
    ASSERT_EQ(entries.size(), rows.size() - 1);
    for (size_t r = 1; r < rows.size(); r++) {
        EXPECT_EQ(entries[r - 1].first, rows[r][KEY]);
        const std::set<std::string> said = Words(entries[r - 1].second);
        for (int c : {IN_MENU, IN_HELP, IN_PLAY})
            for (const std::string &word : Words(rows[r][c]))
                EXPECT_TRUE(said.count(word)) << rows[r][KEY] << ": the man page does not say \"" << word << "\"";
    }
}
