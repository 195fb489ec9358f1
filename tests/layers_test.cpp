// The game's code is built in layers (src/layers.txt): a file includes only
// headers of its own layer and of the layers listed before it. A lower part
// that reached up into a higher one would tie the two together, and the
// next kind of input or level would have no clear home.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Folder name -> its layer's place in the list, from the lines of the file.
std::map<std::string, int> ReadLayers(std::istream &in)
{
    std::map<std::string, int> layer;
    std::string line;
    int place = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line.substr(0, line.find(':')));  // the folders, then what they are
        std::string word;
        while (words >> word)
            layer[word] = place;
        place++;
    }
    return layer;
}

// Every include of a game header in one file's text that runs to a higher
// layer, as "folder/file.h".
std::vector<std::string> UpwardIncludes(const std::string &folder, const std::string &text,
                                        const std::map<std::string, int> &layer)
{
    std::vector<std::string> wrong;
    const std::regex include(R"(#include\s+"(([a-z]+)/[^"]+)\")");
    for (std::sregex_iterator m(text.begin(), text.end(), include), end; m != end; ++m) {
        const auto to = layer.find((*m)[2]);
        if (to == layer.end() || to->second > layer.at(folder))
            wrong.push_back((*m)[1]);
    }
    return wrong;
}

std::string ReadAll(const fs::path &path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::map<std::string, int> GameLayers()
{
    std::ifstream in(KV_SOURCE_DIR "/src/layers.txt");
    return ReadLayers(in);
}

}  // namespace

TEST(Layers, EveryFolderOfTheGameHasItsLayer)
{
    const auto layer = GameLayers();
    int folders = 0;
    for (const auto &entry : fs::directory_iterator(KV_SOURCE_DIR "/src"))
        if (entry.is_directory()) {
            folders++;
            EXPECT_TRUE(layer.count(entry.path().filename().string())) << entry.path();
        }
    EXPECT_EQ(folders, (int)layer.size());
}

TEST(Layers, NoFileIncludesAHigherLayer)
{
    const auto layer = GameLayers();
    int files = 0;
    for (const auto &entry : fs::recursive_directory_iterator(KV_SOURCE_DIR "/src")) {
        const fs::path &p = entry.path();
        if (p.extension() != ".h" && p.extension() != ".cpp")
            continue;
        const std::string folder = p.parent_path().filename().string();
        ASSERT_TRUE(layer.count(folder)) << p;
        files++;
        for (const std::string &to : UpwardIncludes(folder, ReadAll(p), layer))
            ADD_FAILURE() << p.lexically_relative(KV_SOURCE_DIR "/src").string() << " includes " << to
                          << ", a higher layer";
    }
    EXPECT_GT(files, 40);
}

TEST(Layers, TheCheckSeesWhatItMustRefuse)
{
    std::istringstream list("# lowest first\n\nbass: the back-end\ncore\nvideo: drawing, the art\nworld actors: play\n");
    const auto layer = ReadLayers(list);
    ASSERT_EQ(layer.size(), 5u);
    // Down and sideways are fine.
    EXPECT_TRUE(UpwardIncludes("world", "#include \"actors/player.h\"\n#include \"core/rects.h\"\n", layer).empty());
    EXPECT_TRUE(UpwardIncludes("video", "#include \"video/blit.h\"\n#include <SDL.h>\n", layer).empty());
    // Up, or into a folder with no layer, is not.
    EXPECT_EQ(UpwardIncludes("video", "#include \"actors/player.h\"\n", layer), std::vector<std::string>{"actors/player.h"});
    EXPECT_EQ(UpwardIncludes("bass", "#include  \"core/mode.h\"\n", layer), std::vector<std::string>{"core/mode.h"});
    EXPECT_EQ(UpwardIncludes("core", "#include \"shell/loop.h\"\n", layer), std::vector<std::string>{"shell/loop.h"});
}
