// Draws each whole level as one 1280x1280 picture: the backdrop's sky behind,
// the tiles, the items, every enemy at its spawn with a thin line over the
// stretch it patrols, and the heroine where she lands at the start.
//
//   render_level [<outdir>] [--level N] [--crop col row cols rows scale] [--plain]
//                [--file FILE]
//
// Run it from the top folder (it loads data/ as the game does). Without
// --level all three are drawn, to <outdir>/level1.png .. level3.png
// (docs/levels by default). --crop writes only that part of the level,
// scaled up, to <outdir>/levelN-crop.png: handy for a close look. --plain
// draws a diagram instead of the art: walls brown, girders grey, decoration
// as dots, items as squares coloured by kind, enemies and the heroine as boxes.
// --file draws a custom level (as the game's --level reads it) in place of
// its level's own map, and only that level.

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "actors/enemies.h"
#include "image.h"
#include "rig.h"
#include "shell/demo.h"
#include "video/art.h"
#include "world/level.h"
#include "world/pickups.h"
#include "world/tilemap.h"
#include "world/tiles.h"

namespace {

constexpr uint8_t KEY = 96;           // transparent green of the keyed sheets
constexpr uint8_t SPAN_COLOUR = 14;   // light yellow
constexpr uint8_t START_COLOUR = 12;  // light red

// Copies a w x h cell of an 8-bit surface to (dx, dy); keyed surfaces skip
// their transparent green.
void Blit(Image &img, SDL_Surface *s, int sx, int sy, int w, int h, int dx, int dy, bool keyed)
{
    SDL_LockSurface(s);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            if (sx + x >= s->w || sy + y >= s->h)
                continue;
            const uint8_t c = ((const uint8_t *)s->pixels)[(sy + y) * s->pitch + sx + x];
            if (!keyed || c != KEY)
                img.set(dx + x, dy + y, c);
        }
    SDL_UnlockSurface(s);
}

void Line(Image &img, int x0, int x1, int y, uint8_t c)
{
    for (int x = x0; x <= x1; x++)
        img.set(x, y, c);
}

void Box(Image &img, int x, int y, int w, int h, uint8_t c)
{
    Line(img, x, x + w - 1, y, c);
    Line(img, x, x + w - 1, y + h - 1, c);
    for (int i = 0; i < h; i++) {
        img.set(x, y + i, c);
        img.set(x + w - 1, y + i, c);
    }
}

bool plain = false;

void Fill(Image &img, int x, int y, int w, int h, uint8_t c)
{
    for (int j = 0; j < h; j++)
        Line(img, x, x + w - 1, y + j, c);
}

// EGA-style colours from the bottom of the palette.
void DrawPlainCell(Image &img, Sint32 code, int x, int y)
{
    static const uint8_t itemColour[8] = {14, 10, 12, 15, 13, 4, 5, 1};
    if (code == 57) {
        Fill(img, x, y, TILE, TILE, 7);
        Box(img, x, y, TILE, TILE, 8);
    } else if (IsSolidCode(code)) {
        Fill(img, x, y, TILE, TILE, 6);
        Box(img, x, y, TILE, TILE, 8);
    } else if (code >= FIRST_PICKUP_CODE && code <= LAST_PICKUP_CODE) {
        Fill(img, x + 3, y + 3, 10, 10, itemColour[code - FIRST_PICKUP_CODE]);
        Box(img, x + 3, y + 3, 10, 10, 0);
    } else if (code > 0 && code < TILE_COUNT) {
        Fill(img, x + 6, y + 6, 4, 4, code == 87 ? 15 : 2);
    }
}

void DrawMap(Image &img)
{
    if (plain) {
        for (int row = 0; row < MAP_SIZE; row++)
            for (int col = 0; col < MAP_SIZE; col++)
                DrawPlainCell(img, TileMap[MAP_SIZE * row + col], TILE * col, TILE * row);
        return;
    }
    for (int row = 0; row < MAP_SIZE; row++)
        for (int col = 0; col < MAP_SIZE; col++) {
            const Sint32 code = TileMap[MAP_SIZE * row + col];
            int frame = -1;
            if (code >= 0 && code < TILE_COUNT)
                frame = code;
            else if (code >= FIRST_PICKUP_CODE && code <= LAST_PICKUP_CODE)
                frame = PickupFrame[code - FIRST_PICKUP_CODE];
            if (frame >= 0)
                Blit(img, TileSheet, TILE * frame, 0, TILE, TILE, TILE * col, TILE * row, true);
        }
}

// The patrol line runs over every pixel the enemy covers on its way, a
// little above its head, with short ticks at both ends.
void PatrolLine(Image &img, int x0, int x1, int y)
{
    Line(img, x0, x1, y - 3, SPAN_COLOUR);
    for (int x : {x0, x1})
        Line(img, x, x, y - 5, SPAN_COLOUR), Line(img, x, x, y - 4, SPAN_COLOUR);
}

// An ogre walks from 16 * first - 1 to 16 * last + 1 and is 32 wide; a ball
// rolls from 16 * first - 3 to 16 * last + 1 and is 16 wide.
void DrawEnemy(Image &img, const EnemyPlacement &p)
{
    const int x = TILE * p.col, y = TILE * p.row;
    switch (p.kind) {
    case Ogre:
        if (plain)
            Fill(img, x, y, 32, 48, 4);
        else
            Blit(img, OgreSheet, 0, 0, 32, 48, x, y, true);
        PatrolLine(img, TILE * p.first - 1, TILE * p.last + 1 + 31, y);
        break;
    case DeathBall:
        if (plain)
            Fill(img, x + 2, y + 2, 12, 12, 0);
        else
            Blit(img, BallSheet, 0, 0, 16, 16, x, y, true);
        PatrolLine(img, TILE * p.first - 3, TILE * p.last + 1 + 15, y);
        break;
    case SharpSpikes:
        if (plain)
            Fill(img, x, y + 8, 16, 8, 8);
        else
            Blit(img, SpikeSheet, 0, 0, 16, 16, x, y, true);
        break;
    }
}

// She appears at screen (111, 100) and falls to the first floor below her
// column; she is drawn where she comes to rest, her spawn box outlined.
void DrawStart(Image &img, const LevelSetup &level)
{
    const int x = level.camX + 111, y = level.camY + 100;
    int col = x / TILE, row = y / TILE + 4;
    while (row < MAP_SIZE && !IsSolidCode(TileMap[MAP_SIZE * row + col]))
        row++;
    const int standY = TILE * row - 64;
    Box(img, x - 1, y - 1, 18, 66, START_COLOUR);
    if (plain)
        Fill(img, x, standY, 16, 64, 1);
    else
        Blit(img, PlayerSheet, 16 * 5, 0, 16, 64, x, standY, true);
}

Image RenderLevel(int index)
{
    LoadLevel(LevelFiles[index]);
    Image img(TILE * MAP_SIZE, TILE * MAP_SIZE);
    // The backdrop stands still behind the view in play; tiled over a whole
    // level it would only make stripes, so the level sits on its top colour.
    SDL_Surface *back = LevelBackdrop(index);
    SDL_LockSurface(back);
    const uint8_t sky = ((const uint8_t *)back->pixels)[8 * back->pitch + back->w / 2];
    SDL_UnlockSurface(back);
    Fill(img, 0, 0, img.w, img.h, plain ? 11 : sky);
    DrawMap(img);
    const LevelSetup &level = Levels[index];
    for (int i = 0; i < level.enemyCount; i++)
        DrawEnemy(img, level.enemies[i]);
    DrawStart(img, level);
    return img;
}

Image Crop(const Image &src, int col, int row, int cols, int rows)
{
    Image out(TILE * cols, TILE * rows);
    for (int y = 0; y < out.h; y++)
        for (int x = 0; x < out.w; x++)
            if (src.inside(TILE * col + x, TILE * row + y))
                out.at(x, y) = src.at(TILE * col + x, TILE * row + y);
    return out;
}

}  // namespace

int main(int argc, char **argv)
{
    std::string out = "docs/levels";
    int only = 0, crop[5] = {0, 0, 0, 0, 0};
    const char *file = nullptr;
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--level") && i + 1 < argc)
            only = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--file") && i + 1 < argc)
            file = argv[++i];
        else if (!strcmp(argv[i], "--plain"))
            plain = true;
        else if (!strcmp(argv[i], "--crop") && i + 5 < argc)
            for (int k = 0; k < 5; k++)
                crop[k] = atoi(argv[++i]);
        else
            out = argv[i];
    }
    RigStart();
    if (file) {
        const char *options[] = {"render_level", "--level", file};
        if (ReadOptions(3, (char **)options) != -1)
            return 1;
        only = customLevel.level;
    }
    for (int n = 1; n <= 3; n++) {
        if (only && n != only)
            continue;
        const Image img = RenderLevel(n - 1);
        const std::string name = out + "/level" + std::to_string(n);
        const bool ok = crop[4] > 0 ? WritePng(name + "-crop.png", Crop(img, crop[0], crop[1], crop[2], crop[3]), crop[4])
                                    : WritePng(name + ".png", img);
        if (!ok) {
            fprintf(stderr, "render_level: cannot write %s\n", name.c_str());
            return 1;
        }
    }
    RigStop();
    return 0;
}
