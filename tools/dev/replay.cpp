// Plays a replay script headless from the start of its level and says how it
// went: the pass on which the level was completed, the score and the lives.
//
//   replay <script> [--trace N] [--items] [--png p1,p2,...]
//          [--strip first,last,step] [--out prefix] [--level FILE]
//
// --trace N prints every Nth pass: pass, the heroine's world x and y,
// vSpeed, hitPoints, lives and score (and the Camera). --png writes the
// BackBuffer after the listed passes to <prefix>-<pass>.png; --strip writes
// the BackBuffers of a run of passes side by side to <prefix>-strip.png.
// --items lists every item taken: the pass, its kind and its cell.
// --level FILE plays on that custom level, as the game's --level does; a
// script made on a custom map ("map N CHECKSUM TITLE") needs its very file.
// Run it from the top folder, where data/ is.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../levels/replay.h"
#include "actors/enemies.h"
#include "actors/player.h"
#include "image.h"
#include "world/pickups.h"
#include "world/tilemap.h"
#include "rig.h"

namespace {

std::vector<int> Numbers(const char *list)
{
    std::vector<int> out;
    std::stringstream in(list);
    for (std::string s; std::getline(in, s, ',');)
        out.push_back(atoi(s.c_str()));
    return out;
}

// The enemies within a screen of the heroine follow the line: O for an ogre,
// B for a ball, S for spikes, at their world x and y.
void Trace(int pass)
{
    const int x = camX + player.rect.x, y = camY + player.rect.y;
    printf("%6d x %5d y %5d v %4d hp %2d lives %d score %6d cam %5d %5d", pass, x, y, player.vSpeed,
           player.hitPoints, player.lives, score, camX, camY);
    for (int i = 0; i < MAX_ENEMIES; i++) {
        const Enemy &e = Enemies[i];
        const int ex = e.kind == SharpSpikes ? worldX[i] : worldX[i] + e.offset;
        if (e.active == 1 && abs(ex - x) < 200 && abs(worldY[i] - y) < 150)
            printf("  %c%d %d,%d hp%d", "OSB"[e.kind], i, ex, worldY[i], e.hitPoints);
    }
    printf("\n");
}

// The strip holds up to 8 pictures per row.
void AddToStrip(Image &strip, const Image &frame, int index)
{
    const int x0 = (index % 8) * frame.w, y0 = (index / 8) * frame.h;
    for (int y = 0; y < frame.h; y++)
        for (int x = 0; x < frame.w; x++)
            strip.set(x0 + x, y0 + y, frame.at(x, y));
}

// The items of the map as it stands, to see which ones a pass took.
std::vector<Sint32> ItemCells()
{
    std::vector<Sint32> cells(TileMap, TileMap + MAP_CELLS);
    for (Sint32 &c : cells)
        if (c < FIRST_PICKUP_CODE || c > LAST_PICKUP_CODE)
            c = 0;
    return cells;
}

const char *const ItemNames[PICKUP_KINDS] = {"Krugerrand",  "Green Key", "Extra Health",     "Exit Level",
                                             "Soft Toy",    "SuperDawg", "Delicious Dessert", "Retro Joypad"};

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: replay <script> [--trace N] [--png p1,p2,...] [--strip first,last,step] [--out prefix] [--level FILE]\n");
        return 2;
    }
    int every = 0;
    bool listItems = false;
    std::set<int> pngs;
    std::vector<int> strip;
    std::string prefix = "replay", levelPath;
    for (int i = 2; i < argc; i++) {
        if (!strcmp(argv[i], "--trace") && i + 1 < argc)
            every = atoi(argv[++i]);
        else if (!strcmp(argv[i], "--items"))
            listItems = true;
        else if (!strcmp(argv[i], "--png") && i + 1 < argc)
            for (int p : Numbers(argv[++i]))
                pngs.insert(p);
        else if (!strcmp(argv[i], "--strip") && i + 1 < argc)
            strip = Numbers(argv[++i]);
        else if (!strcmp(argv[i], "--out") && i + 1 < argc)
            prefix = argv[++i];
        else if (!strcmp(argv[i], "--level") && i + 1 < argc)
            levelPath = argv[++i];
    }
    bool ok = false;
    const std::vector<uint8_t> bytes = ReadFile(argv[1], &ok);
    if (!ok) {
        fprintf(stderr, "replay: %s: cannot read it\n", argv[1]);
        return 1;
    }
    const Replay script = ParseReplay(std::string(bytes.begin(), bytes.end()));
    if (!script.error.empty()) {
        fprintf(stderr, "replay: %s: %s\n", argv[1], script.error.c_str());
        return 1;
    }
    Image stripImage;
    int stripCount = 0;
    if (strip.size() == 3 && strip[2] > 0) {
        const int n = (strip[1] - strip[0]) / strip[2] + 1;
        stripImage = Image(320 * std::min(n, 8), 200 * ((n + 7) / 8));
    }

    RigStart();
    const std::string misfit = PutMapInPlace(script, levelPath);
    if (!misfit.empty()) {
        fprintf(stderr, "replay: %s: %s\n", argv[1], misfit.c_str());
        RigStop();
        return 1;
    }
    std::vector<Sint32> items;
    int taken[PICKUP_KINDS] = {};
    const ReplayResult r = PlayReplay(script, [&](int pass) {
        if (listItems) {
            if (pass == 1)
                items = ItemCells();
            const std::vector<Sint32> now = ItemCells();
            for (int i = 0; i < MAP_CELLS && levelIndex == script.level - 1; i++)
                if (items[i] && !now[i]) {
                    printf("%6d took %s at (%d, %d)\n", pass, ItemNames[items[i] - FIRST_PICKUP_CODE], i / MAP_SIZE,
                           i % MAP_SIZE);
                    taken[items[i] - FIRST_PICKUP_CODE]++;
                }
            items = now;
        }
        if (every > 0 && pass % every == 0)
            Trace(pass);
        if (pngs.count(pass))
            WritePng(prefix + "-" + std::to_string(pass) + ".png", CaptureBackBuffer(), 2);
        if (stripImage.w && pass >= strip[0] && pass <= strip[1] && (pass - strip[0]) % strip[2] == 0)
            AddToStrip(stripImage, CaptureBackBuffer(), stripCount++);
    });
    if (every > 0)
        Trace(r.passes);
    if (stripImage.w)
        WritePng(prefix + "-strip.png", stripImage);
    if (listItems) {
        int points = 0;
        for (int k = 0; k < PICKUP_KINDS; k++) {
            if (taken[k])
                printf("%3d x %s\n", taken[k], ItemNames[k]);
            points += taken[k] * PickupPoints[k];
        }
        printf("items worth %d points\n", points);
    }
    if (r.completedPass)
        printf("level %d completed on pass %d", script.level, r.completedPass);
    else if (r.gameOver)
        printf("level %d: game over on pass %d", script.level, r.passes);
    else
        printf("level %d not completed after %d passes", script.level, r.passes);
    printf(": score %d, lives %d, hit points %d, fire passes %d (%d launched no shot)\n", r.score, r.lives,
           r.hitPoints, FirePasses(script), r.wastedFire);
    RigStop();
    return r.completedPass ? 0 : 3;
}
