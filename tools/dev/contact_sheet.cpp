// contact_sheet [DATADIR [OUTDIR]]: lays out every picture of DATADIR
// (data by default) cell by cell, numbered, on a checkerboard that shows
// the transparent green, and writes them as PNGs into OUTDIR (docs/art).
//
// contact_sheet --screens [OUTDIR]: starts the game headless from the top
// folder and captures the title menu, the four help pages and a moment of
// play in each level (using the level files found in data/), as the
// player sees them, doubled.

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "image.h"
#include "rig.h"

namespace {

const uint8_t CLEAR = 96;
const uint8_t CHECK_A = 137, CHECK_B = 139, PAPER = 26, FRAME = 28;  // lavender shows greys and greens alike

struct Sheet {
    const char *file;
    int cellW, cellH, count;
    int scale;
    int perRow;
};

const Sheet Sheets[] = {
    {"pframe.bmp", 16, 64, 54, 3, 27},   {"gun.bmp", 32, 16, 2, 4, 2},
    {"shot.bmp", 8, 4, 1, 8, 1},         {"explo.bmp", 16, 16, 5, 4, 5},
    {"mframe2.bmp", 32, 48, 13, 3, 13},  {"tiles.bmp", 16, 16, 90, 3, 15},
    {"font8x8.bmp", 8, 8, 256, 3, 32},   {"health.bmp", 80, 8, 7, 3, 1},
    {"logo.bmp", 0, 0, 1, 3, 1},         {"spin162.bmp", 16, 16, 23, 4, 12},
    {"menu.bmp", 0, 0, 1, 3, 1},         {"gunbar.bmp", 0, 0, 1, 3, 1},
    {"spike1.bmp", 16, 16, 8, 4, 8},     {"ball.bmp", 16, 16, 10, 4, 10},
    {"back01.bmp", 0, 0, 1, 2, 1},       {"back02.bmp", 0, 0, 1, 2, 1},
    {"back03.bmp", 0, 0, 1, 2, 1},       {"bar.bmp", 0, 0, 1, 2, 1},
    {"icon.bmp", 0, 0, 1, 4, 1},
};

bool LoadBmp(const std::string &path, Image &img)
{
    SDL_Surface *s = SDL_LoadBMP(path.c_str());
    if (!s)
        return false;
    bool ok = s->format->BitsPerPixel == 8;
    if (ok) {
        img = Image(s->w, s->h);
        SDL_LockSurface(s);
        for (int y = 0; y < s->h; y++)
            memcpy(&img.px[size_t(y) * s->w], (Uint8 *)s->pixels + y * s->pitch, s->w);
        SDL_UnlockSurface(s);
    }
    SDL_FreeSurface(s);
    return ok;
}

Image font;  // the game's own font, for the cell numbers

void Label(Image &img, int x, int y, const std::string &text)
{
    for (size_t i = 0; i < text.size(); i++) {
        int code = uint8_t(text[i]);
        for (int v = 0; v < 8; v++)
            for (int u = 0; u < 8; u++) {
                uint8_t c = font.w ? font.at(8 * code + u, v) : 0;
                if (c != CLEAR)
                    img.set(x + 8 * int(i) + u, y + v, c);
            }
    }
}

// Cells scaled up on a checkerboard, a number above each.
Image Layout(const Sheet &sh, const Image &src)
{
    int cw = sh.cellW ? sh.cellW : src.w, ch = sh.cellH ? sh.cellH : src.h;
    int s = sh.scale, pad = 4, label = 10;
    int boxW = cw * s + 2 * pad, boxH = ch * s + 2 * pad + label;
    int rows = (sh.count + sh.perRow - 1) / sh.perRow;
    int cols = sh.count < sh.perRow ? sh.count : sh.perRow;
    Image out(cols * boxW + 8, rows * boxH + 8, PAPER);
    for (int i = 0; i < sh.count; i++) {
        int bx = 4 + (i % sh.perRow) * boxW, by = 4 + (i / sh.perRow) * boxH;
        if (sh.count > 1)
            Label(out, bx + pad, by, std::to_string(i));
        int ox = bx + pad, oy = by + label + pad;
        for (int y = -1; y <= ch * s; y++)
            for (int x = -1; x <= cw * s; x++)
                if (x < 0 || y < 0 || x == cw * s || y == ch * s)
                    out.set(ox + x, oy + y, FRAME);
        for (int y = 0; y < ch * s; y++)
            for (int x = 0; x < cw * s; x++) {
                uint8_t c = src.at(i * cw + x / s, y / s);
                if (c == CLEAR)
                    c = ((x / 4 + y / 4) & 1) ? CHECK_A : CHECK_B;
                out.at(ox + x, oy + y) = c;
            }
    }
    return out;
}

int WriteSheets(const std::string &data, const std::string &outDir)
{
    LoadBmp(data + "/font8x8.bmp", font);
    int faults = 0;
    for (const Sheet &sh : Sheets) {
        Image src;
        if (!LoadBmp(data + "/" + sh.file, src)) {
            fprintf(stderr, "contact_sheet: cannot read %s/%s\n", data.c_str(), sh.file);
            faults++;
            continue;
        }
        std::string name = std::string(sh.file, strlen(sh.file) - 4);
        if (!WritePng(outDir + "/" + name + ".png", Layout(sh, src)))
            faults++;
    }
    return faults ? 1 : 0;
}

void Shot(const std::string &outDir, const std::string &name)
{
    Image img = CaptureBackBuffer();
    WritePng(outDir + "/screen_" + name + ".png", img, 2);
}

int Screens(const std::string &outDir)
{
    RigStart();
    Passes(30);
    Shot(outDir, "menu");
    Press(SDLK_DOWN);
    Press(SDLK_RETURN);
    for (int page = 0; page < 4; page++) {
        Passes(40);
        Shot(outDir, "help" + std::to_string(page));
        Press(SDLK_SPACE);
    }
    Press(SDLK_ESCAPE);
    Press(SDLK_UP);
    Press(SDLK_RETURN);
    // Each level: a moment standing, then walking and firing to the right.
    for (int level = 1; level <= 3; level++) {
        Passes(60);
        Shot(outDir, "level" + std::to_string(level));
        Hold(SDLK_RIGHT);
        Passes(40);
        Hold(SDLK_SPACE);
        Passes(14);
        Shot(outDir, "level" + std::to_string(level) + "_fire");
        ReleaseAll();
        Pass();
        Press(SDLK_3);  // on to the next level
    }
    RigStop();
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::string(argv[1]) == "--screens")
        return Screens(argc > 2 ? argv[2] : "docs/art");
    std::string data = argc > 1 ? argv[1] : "data";
    std::string out = argc > 2 ? argv[2] : "docs/art";
    return WriteSheets(data, out);
}
