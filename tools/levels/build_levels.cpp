// The level compiler: reads the three readable maps under assets/levels/
// (80 lines of 80 characters each) and the legend that says which tile code
// every character stands for, and writes data/new1.lvl .. data/new3.lvl:
// 6400 little-endian 32-bit codes each, row-major, no header.
//
//   build_levels <datadir> [<sourcedir>]
//
// The source folder defaults to assets/levels under the working directory.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "image.h"

namespace {

constexpr int SIZE = 80;
constexpr int LEVELS = 3;

// One character-to-code table per level: the "all" entries first, then the
// level's own, which may give a character another meaning.
struct Legend {
    std::map<char, int32_t> codes[LEVELS];
};

bool Fail(const std::string &where, const std::string &why)
{
    fprintf(stderr, "build_levels: %s: %s\n", where.c_str(), why.c_str());
    return false;
}

bool ReadLines(const std::string &path, std::vector<std::string> &lines)
{
    std::ifstream in(path);
    if (!in)
        return Fail(path, "cannot open it");
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return true;
}

// A legend line: <scope> <char> <code> <words...>, scope "all" or 1..3.
// Blank lines and lines starting with '#' followed by a blank are comments.
bool ReadLegend(const std::string &path, Legend &legend)
{
    std::vector<std::string> lines;
    if (!ReadLines(path, lines))
        return false;
    std::map<char, int32_t> all, own[LEVELS];
    for (size_t i = 0; i < lines.size(); i++) {
        const std::string &line = lines[i];
        const std::string where = path + ":" + std::to_string(i + 1);
        if (line.empty() || line.rfind("# ", 0) == 0 || line == "#")
            continue;
        std::istringstream words(line);
        std::string scope, ch;
        long code;
        if (!(words >> scope >> ch >> code) || ch.size() != 1)
            return Fail(where, "expected <all|1|2|3> <one character> <tile code> <description>");
        std::map<char, int32_t> *table = nullptr;
        if (scope == "all")
            table = &all;
        else if (scope.size() == 1 && scope[0] >= '1' && scope[0] <= '3')
            table = &own[scope[0] - '1'];
        else
            return Fail(where, "the scope must be all, 1, 2 or 3");
        if (table->count(ch[0]))
            return Fail(where, std::string("the character '") + ch + "' is given twice in this scope");
        (*table)[ch[0]] = int32_t(code);
    }
    for (int l = 0; l < LEVELS; l++) {
        legend.codes[l] = all;
        for (auto [c, code] : own[l])
            legend.codes[l][c] = code;
    }
    return true;
}

bool CompileMap(const std::string &path, const std::map<char, int32_t> &codes, std::vector<uint8_t> &out)
{
    std::vector<std::string> lines;
    if (!ReadLines(path, lines))
        return false;
    if (lines.size() != SIZE)
        return Fail(path, "has " + std::to_string(lines.size()) + " lines; a map has exactly 80");
    out.clear();
    for (int row = 0; row < SIZE; row++) {
        const std::string &line = lines[row];
        const std::string where = path + ":" + std::to_string(row + 1);
        if (line.size() != SIZE)
            return Fail(where, "is " + std::to_string(line.size()) + " characters long; a row has exactly 80");
        for (int col = 0; col < SIZE; col++) {
            auto it = codes.find(line[col]);
            if (it == codes.end())
                return Fail(where, std::string("column ") + std::to_string(col) + ": the character '" + line[col] +
                                       "' is not in this level's legend");
            const uint32_t v = uint32_t(it->second);
            for (int s = 0; s < 32; s += 8)
                out.push_back(uint8_t(v >> s));
        }
    }
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || argc > 3) {
        fprintf(stderr, "usage: build_levels <datadir> [<sourcedir>]\n");
        return 2;
    }
    const std::string data = argv[1];
    const std::string source = argc > 2 ? argv[2] : "assets/levels";
    Legend legend;
    if (!ReadLegend(source + "/legend.txt", legend))
        return 1;
    for (int l = 0; l < LEVELS; l++) {
        std::vector<uint8_t> bytes;
        const std::string n = std::to_string(l + 1);
        if (!CompileMap(source + "/level" + n + ".txt", legend.codes[l], bytes))
            return 1;
        const std::string path = data + "/new" + n + ".lvl";
        if (!WriteFile(path, bytes)) {
            Fail(path, "cannot write it");
            return 1;
        }
    }
    return 0;
}
