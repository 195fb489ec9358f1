// build_art DATADIR [ASSETDIR]: draws every picture of the game from the
// sources in ASSETDIR (assets/art by default) and writes them into DATADIR
// as 8-bit BMPs in the game palette. The same sources always give the
// same bytes.
// build_art --icons DIR [ASSETDIR]: writes the desktop's icons instead,
// DIR/kestravale-<size>.png for each size the desktop asks for.

#include <cstdio>
#include <string>

#include "art.h"
#include "video/art.h"

static int BuildDesktopIcons(const std::string &out)
{
    int faults = 0;
    for (const DesktopIcon &d : DesktopIcons) {
        std::string path = out + "/kestravale-" + std::to_string(d.size) + ".png";
        if (!WritePng(path, IconPicture(d.drawn), d.scale)) {
            fprintf(stderr, "build_art: cannot write %s\n", path.c_str());
            faults++;
        }
    }
    return faults ? 1 : 0;
}

int main(int argc, char **argv)
{
    bool icons = argc > 1 && std::string(argv[1]) == "--icons";
    if (icons) {
        argv++;
        argc--;
    }
    std::string out = argc > 1 ? argv[1] : "data";
    if (argc > 2)
        assetDir = argv[2];
    if (icons)
        return BuildDesktopIcons(out);

    Pictures pics;
    BuildFont(pics);
    BuildHeroine(pics);
    BuildEnemies(pics);
    BuildTiles(pics);
    BuildScreens(pics);
    BuildBackdrops(pics);

    int faults = 0;
    for (const ArtFile &a : ArtFiles) {
        std::string name = a.path + 5;  // past "data/"
        auto it = pics.find(name);
        if (it == pics.end()) {
            fprintf(stderr, "build_art: nothing draws %s\n", name.c_str());
            faults++;
            continue;
        }
        const Image &img = it->second;
        if (img.w != a.w || img.h != a.h) {
            fprintf(stderr, "build_art: %s is %dx%d, the game needs %dx%d\n", name.c_str(), img.w, img.h, a.w,
                    a.h);
            faults++;
            continue;
        }
        if (!WriteBmp8(out + "/" + name, img)) {
            fprintf(stderr, "build_art: cannot write %s/%s\n", out.c_str(), name.c_str());
            faults++;
        }
    }
    return faults ? 1 : 0;
}
