// First art: plain shapes in the right sizes, so the game runs end to end.

#include <cstdio>
#include <string>

#include "image.h"
#include "shell/startup.h"

static const uint8_t GREEN = 96;

int main(int argc, char **argv)
{
    std::string out = argc > 1 ? argv[1] : "data";
    for (const ArtFile &a : ArtFiles) {
        bool keyed = a.keyed;
        Image img(a.w, a.h, keyed ? GREEN : 0);
        std::string name = a.path + 5;
        for (int y = 0; y < a.h; y++)
            for (int x = 0; x < a.w; x++) {
                int cell = a.h <= 64 ? x / a.h : 0;
                if ((x + y) % 7 == 0)
                    img.at(x, y) = uint8_t(32 + (cell * 13) % 200);
            }
        if (name == "bar.bmp") {
            for (int y = 0; y < 200; y++)
                for (int x = 0; x < 320; x++)
                    img.at(x, y) = (x >= 16 && x < 208 && y >= 16 && y < 184) ? GREEN : 8;
        }
        if (name == "tiles.bmp")
            for (int y = 0; y < 16; y++)
                for (int x = 0; x < 16; x++)
                    img.at(x, y) = GREEN;
        if (!WriteBmp8(out + "/" + name, img)) {
            fprintf(stderr, "build_art: cannot write %s/%s\n", out.c_str(), name.c_str());
            return 1;
        }
    }
    return 0;
}
