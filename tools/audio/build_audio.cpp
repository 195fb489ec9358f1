// Builds the game's effects and music from their readable sources:
//   build_audio [OUT_DIR [SOURCE_DIR]]   (data and assets/audio by default)
// effects.txt gives the effects (NAME.wav), instruments.txt the instruments
// the songs share, and every NAME.song a module (NAME.it). The same sources
// always give the same bytes.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "effects.h"
#include "image.h"
#include "instruments.h"
#include "itwriter.h"
#include "score.h"
#include "wav.h"

int main(int argc, char **argv)
{
    std::string out = argc > 1 ? argv[1] : "data";
    std::string src = argc > 2 ? argv[2] : "assets/audio";

    for (const Effect &e : ReadEffects(src + "/effects.txt"))
        if (!WriteFile(out + "/" + e.name + ".wav", EncodeWav(e.rate, 1, e.pcm))) {
            fprintf(stderr, "build_audio: cannot write %s/%s.wav\n", out.c_str(), e.name.c_str());
            return 1;
        }

    auto library = ReadInstruments(src + "/instruments.txt");
    std::vector<std::filesystem::path> songs;
    for (const auto &entry : std::filesystem::directory_iterator(src))
        if (entry.path().extension() == ".song")
            songs.push_back(entry.path());
    std::sort(songs.begin(), songs.end());
    for (const auto &path : songs) {
        ItModule m = ReadSong(path.string(), library);
        std::string file = out + "/" + path.stem().string() + ".it";
        if (!WriteFile(file, EncodeIt(m))) {
            fprintf(stderr, "build_audio: cannot write %s\n", file.c_str());
            return 1;
        }
    }
    return 0;
}
