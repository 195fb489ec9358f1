// The level compiler: reads the three readable maps under assets/levels/
// (80 lines of 80 characters each, in the game's map legend,
// src/world/legend.cpp) and writes data/new1.lvl .. data/new3.lvl: 6400
// little-endian 32-bit codes each, row-major, no header. It also writes a
// shipped level as a custom level file, the format players make levels in.
//
//   build_levels <datadir> [<sourcedir>]
//   build_levels --export N [<datadir>]     level N's map from its .lvl, to stdout
//   build_levels --read FILE...             each custom level file as the game reads it
//
// The source folder defaults to assets/levels, the data folder to data,
// under the working directory.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "image.h"
#include "world/custom.h"
#include "world/legend.h"
#include "world/tilemap.h"

namespace {

const char *const LevelTitles[3] = {"The Vale", "The Crystal Caves", "Cyclops Keep"};

bool Fail(const std::string &where, const std::string &why)
{
    fprintf(stderr, "build_levels: %s: %s\n", where.c_str(), why.c_str());
    return false;
}

std::vector<std::string> Lines(const std::vector<uint8_t> &bytes)
{
    std::vector<std::string> lines;
    std::string line;
    for (uint8_t b : bytes) {
        if (b == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line += char(b);
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

bool CompileMap(const std::string &path, int level, std::vector<uint8_t> &out)
{
    bool ok = false;
    const std::vector<uint8_t> bytes = ReadFile(path, &ok);
    if (!ok)
        return Fail(path, "cannot read it");
    const std::vector<std::string> lines = Lines(bytes);
    if (lines.size() != MAP_SIZE)
        return Fail(path, "has " + std::to_string(lines.size()) + " lines; a map has exactly 80");
    out.clear();
    for (int row = 0; row < MAP_SIZE; row++) {
        const std::string &line = lines[row];
        const std::string where = path + ":" + std::to_string(row + 1);
        if (line.size() != MAP_SIZE)
            return Fail(where, "is " + std::to_string(line.size()) + " characters long; a row has exactly 80");
        for (int col = 0; col < MAP_SIZE; col++) {
            const Sint32 code = LegendCode(level, line[col]);
            if (code < 0)
                return Fail(where, std::string("column ") + std::to_string(col) + ": the character '" + line[col] +
                                       "' is not in this level's legend");
            for (int s = 0; s < 32; s += 8)
                out.push_back(uint8_t(uint32_t(code) >> s));
        }
    }
    return true;
}

int Export(int level, const std::string &data)
{
    const std::string path = data + "/new" + std::to_string(level) + ".lvl";
    bool ok = false;
    const std::vector<uint8_t> bytes = ReadFile(path, &ok);
    if (!ok || bytes.size() != LEVEL_FILE_BYTES)
        return Fail(path, "cannot read it as a whole level"), 1;
    printf("kestravale level 1\nlevel %d\ntitle %s\nauthor The Vale crew\n", level, LevelTitles[level - 1]);
    for (int row = 0; row < MAP_SIZE; row++) {
        for (int col = 0; col < MAP_SIZE; col++) {
            const uint8_t *b = &bytes[4 * (row * MAP_SIZE + col)];
            const Sint32 code = Sint32(b[0] | b[1] << 8 | b[2] << 16 | uint32_t(b[3]) << 24);
            const char c = LegendCharacter(level, code);
            if (!c)
                return Fail(path, "code " + std::to_string(code) + " has no character in the legend"), 1;
            putchar(c);
        }
        putchar('\n');
    }
    return 0;
}

// One line for each file: "ok" and its level, or what the game's reader
// refuses in it. The browser's editor is tested against these lines.
int Read(int count, char **paths)
{
    for (int i = 0; i < count; i++) {
        bool ok = false;
        const std::vector<uint8_t> bytes = ReadFile(paths[i], &ok);
        char why[200] = "";
        if (!ok)
            snprintf(why, sizeof why, "cannot read it");
        else if (ReadCustomLevel((const char *)bytes.data(), (int)bytes.size(), why, sizeof why) == 0)
            snprintf(why, sizeof why, "ok level %d", customLevel.level);
        printf("%s: %s\n", paths[i], why);
    }
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc >= 2 && std::string(argv[1]) == "--read")
        return Read(argc - 2, argv + 2);
    if (argc >= 3 && std::string(argv[1]) == "--export") {
        const int level = atoi(argv[2]);
        if (level < 1 || level > 3 || argc > 4) {
            fprintf(stderr, "usage: build_levels --export 1|2|3 [<datadir>]\n");
            return 2;
        }
        return Export(level, argc > 3 ? argv[3] : "data");
    }
    if (argc < 2 || argc > 3) {
        fprintf(stderr, "usage: build_levels <datadir> [<sourcedir>]\n       build_levels --export N [<datadir>]\n");
        return 2;
    }
    const std::string data = argv[1];
    const std::string source = argc > 2 ? argv[2] : "assets/levels";
    for (int level = 1; level <= 3; level++) {
        std::vector<uint8_t> bytes;
        const std::string n = std::to_string(level);
        if (!CompileMap(source + "/level" + n + ".txt", level, bytes))
            return 1;
        const std::string path = data + "/new" + n + ".lvl";
        if (!WriteFile(path, bytes)) {
            Fail(path, "cannot write it");
            return 1;
        }
    }
    return 0;
}
