// The committed pictures: rebuilt byte for byte from their sources, in the
// format the game loads, and drawn to the rules the game relies on (where
// green is transparent, where feet and hands are, which tiles are solid).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "image.h"
#include "video/art.h"
#include "temp_folder.h"
#include "video/video.h"

namespace {

const uint8_t CLEAR = 96;

std::string DataPath(const std::string &name) { return std::string(KV_SOURCE_DIR) + "/data/" + name; }

uint32_t U32(const std::vector<uint8_t> &b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}

// Reads an uncompressed 8-bit BMP and checks its palette against the
// game's on the way.
struct Bmp {
    bool ok = false;
    std::string why;
    Image img;
};

Bmp ReadBmp(const std::string &path)
{
    Bmp r;
    bool read = false;
    std::vector<uint8_t> b = ReadFile(path, &read);
    if (!read || b.size() < 54 + 1024 || b[0] != 'B' || b[1] != 'M') {
        r.why = "not a BMP";
        return r;
    }
    uint32_t off = U32(b, 10), info = U32(b, 14);
    int w = int(U32(b, 18)), h = int(U32(b, 22));
    int bits = b[28] | (b[29] << 8);
    if (bits != 8 || U32(b, 30) != 0) {
        r.why = "not 8-bit uncompressed";
        return r;
    }
    for (int i = 0; i < 256; i++) {
        const uint8_t *e = &b[14 + info + 4 * i];
        const SDL_Color &c = GamePalette[i];
        if (e[0] != c.b || e[1] != c.g || e[2] != c.r) {
            r.why = "palette entry " + std::to_string(i) + " differs from the game's";
            return r;
        }
    }
    int stride = (w + 3) & ~3;
    if (b.size() < off + size_t(stride) * h) {
        r.why = "pixels cut short";
        return r;
    }
    r.img = Image(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            r.img.at(x, y) = b[off + size_t(h - 1 - y) * stride + x];
    r.ok = true;
    return r;
}

Image Load(const std::string &name)
{
    Bmp b = ReadBmp(DataPath(name));
    EXPECT_TRUE(b.ok) << name << ": " << b.why;
    return b.img;
}

Image Cell(const Image &sheet, int w, int h, int i)
{
    Image c(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            c.at(x, y) = sheet.at(w * i + x, y);
    return c;
}


int Count(const Image &img, bool (*test)(uint8_t))
{
    int n = 0;
    for (uint8_t p : img.px)
        n += test(p);
    return n;
}

bool Clear(uint8_t p) { return p == CLEAR; }
bool Opaque(uint8_t p) { return p != CLEAR; }
// Dark enough to edge a shape against the menu's greys.
bool Dark(uint8_t p)
{
    const SDL_Color &c = GamePalette[p];
    return c.r + c.g + c.b < 160;
}

bool RowHas(const Image &img, int y, int x0, int x1)
{
    for (int x = x0; x <= x1; x++)
        if (img.at(x, y) != CLEAR)
            return true;
    return false;
}

// Every pixel that touches the transparent background (its eight
// neighbours inside the picture, or four for sprites) is a dark one: the
// picture is outlined, so it reads over the menu's grey noise or the
// scenery.
int UnoutlinedPixels(const Image &img, bool diagonal = true)
{
    int n = 0;
    for (int y = 0; y < img.h; y++)
        for (int x = 0; x < img.w; x++) {
            uint8_t p = img.at(x, y);
            if (p == CLEAR || Dark(p))
                continue;
            for (int dy = -1; dy <= 1; dy++)
                for (int dx = -1; dx <= 1; dx++)
                    if ((diagonal || dx == 0 || dy == 0) && img.inside(x + dx, y + dy) &&
                        img.at(x + dx, y + dy) == CLEAR)
                        n++;
        }
    return n;
}

}  // namespace

TEST(Art, RebuildsByteForByte)
{
    const std::string dir = MakeTestFolder().string();
    std::string cmd = std::string(KV_TOOLS_DIR) + "/build_art " + dir + " " + KV_SOURCE_DIR + "/assets/art";
    ASSERT_EQ(system(cmd.c_str()), 0) << cmd;
    for (const ArtFile &a : ArtFiles) {
        std::string name = a.path + 5;
        bool okBuilt = false, okCommitted = false;
        std::vector<uint8_t> built = ReadFile(std::string(dir) + "/" + name, &okBuilt);
        std::vector<uint8_t> committed = ReadFile(DataPath(name), &okCommitted);
        EXPECT_TRUE(okBuilt && okCommitted) << name;
        EXPECT_TRUE(built == committed) << name << " differs from what its sources build: run build_art data";
    }
}

TEST(Art, EveryFileHasTheGamesSizeDepthAndPalette)
{
    for (const ArtFile &a : ArtFiles) {
        Bmp b = ReadBmp(DataPath(a.path + 5));
        ASSERT_TRUE(b.ok) << a.path << ": " << b.why;
        EXPECT_EQ(b.img.w, a.w) << a.path;
        EXPECT_EQ(b.img.h, a.h) << a.path;
        if (!a.keyed) {
            EXPECT_EQ(Count(b.img, Clear), 0) << a.path << " is drawn opaque, so green would show";
        }
    }
}

TEST(Art, FrameIsTransparentExactlyOverTheView)
{
    Image bar = Load("bar.bmp");
    int wrong = 0;
    for (int y = 0; y < 200; y++)
        for (int x = 0; x < 320; x++) {
            bool view = x >= 16 && x <= 207 && y >= 16 && y <= 183;
            wrong += (bar.at(x, y) == CLEAR) != view;
        }
    EXPECT_EQ(wrong, 0);
}

TEST(Art, TilesKeepTheirSolidityAndEmptiness)
{
    Image sheet = Load("tiles.bmp");
    ASSERT_EQ(sheet.w, 90 * 16);
    for (int code = 0; code < 90; code++) {
        Image t = Cell(sheet, 16, 16, code);
        int clear = Count(t, Clear);
        bool solid = code == 1 || code == 13 || code == 54 || code == 57;
        if (code == 0) {
            EXPECT_EQ(clear, 256) << "the empty tile shows something";
        } else if (solid) {
            EXPECT_EQ(clear, 0) << "solid tile " << code << " has holes";
        } else {
            // Props must not pass for a block: a good part of the cell
            // lets the backdrop through.
            EXPECT_GE(clear, 40) << "tile " << code << " looks like a solid block";
            EXPECT_LT(clear, 256) << "tile " << code << " is empty";
        }
    }
}

TEST(Art, CollectablesDifferFromEachOther)
{
    Image sheet = Load("tiles.bmp");
    for (int a = 79; a <= 86; a++)
        for (int b = a + 1; b <= 86; b++) {
            Image ta = Cell(sheet, 16, 16, a), tb = Cell(sheet, 16, 16, b);
            int differ = 0;
            for (int i = 0; i < 256; i++)
                differ += ta.px[i] != tb.px[i];
            EXPECT_GT(differ, 64) << "items " << a << " and " << b << " look alike";
        }
}

TEST(Art, HeroineStandsInHerCellAndHoldsTheGunAtItsEdge)
{
    Image sheet = Load("pframe.bmp");
    ASSERT_EQ(sheet.w, 54 * 16);
    auto cell = [&](int i) { return Cell(sheet, 16, 64, i); };
    // Walking, standing and firing, both ways: soles on the bottom row, the
    // head within the top four rows.
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39,
                  40}) {
        Image c = cell(i);
        EXPECT_TRUE(RowHas(c, 63, 0, 15)) << "frame " << i << ": feet off the floor";
        EXPECT_TRUE(RowHas(c, 4, 0, 15)) << "frame " << i << ": head too low";
        EXPECT_FALSE(RowHas(c, 0, 0, 15)) << "frame " << i << ": head cut by the cell";
    }
    // The gun is drawn beside the cell with its grip at her rows 21-27:
    // her hands reach the cell's edge there, on the side she faces.
    for (int i : {0, 1, 2, 3, 4, 11, 12, 13})
        EXPECT_TRUE(RowHas(cell(i), 24, 15, 15) || RowHas(cell(i), 23, 15, 15)) << "frame " << i;
    for (int i : {27, 28, 29, 30, 31, 38, 39, 40})
        EXPECT_TRUE(RowHas(cell(i), 24, 0, 0) || RowHas(cell(i), 23, 0, 0)) << "frame " << i;
}

TEST(Art, HeroinesSharedCellsServeBothRows)
{
    Image sheet = Load("pframe.bmp");
    auto cell = [&](int i) { return Cell(sheet, 16, 64, i); };
    // Facing left is facing right mirrored, row for row.
    for (int i = 0; i <= 13; i++)
        EXPECT_EQ(cell(27 + i).px, Mirror(cell(i)).px) << "left frame " << 27 + i;
    for (int j = 0; j <= 13; j++)
        EXPECT_EQ(cell(40 + j).px, Mirror(cell(14 + j)).px) << "dying left frame " << 40 + j;
    // Cell 27 ends dying facing right and starts walking left; cell 40
    // ends firing left and starts dying facing left. So dying starts on
    // the firing kick and ends formed again, facing the other way.
    EXPECT_EQ(cell(14).px, cell(13).px);
    EXPECT_EQ(cell(53).px, cell(0).px);
}

TEST(Art, GunBoreLinesUpWithTheShot)
{
    Image gun = Load("gun.bmp");
    Image right = Cell(gun, 32, 16, 0), left = Cell(gun, 32, 16, 1);
    EXPECT_EQ(left.px, Mirror(right).px);
    // The gun is drawn at her y + 17 and the shot leaves at her y + 23,
    // four rows high: the barrel runs along the gun's rows 6-9 and ends
    // within the cell.
    EXPECT_TRUE(RowHas(right, 6, 16, 24));
    EXPECT_TRUE(RowHas(right, 7, 16, 24));
    Image shot = Load("shot.bmp");
    EXPECT_EQ(shot.w, 8);
    EXPECT_EQ(shot.h, 4);
}

TEST(Art, EnemiesStandOnTheFloorBelowTheirCells)
{
    Image ogres = Load("mframe2.bmp");
    for (int i = 0; i < 13; i++)
        EXPECT_TRUE(RowHas(Cell(ogres, 32, 48, i), 47, 0, 31)) << "ogre cell " << i;
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(Cell(ogres, 32, 48, 4 + i).px, Mirror(Cell(ogres, 32, 48, i)).px) << "ogre step " << i;
    Image spikes = Load("spike1.bmp");
    for (int i = 0; i < 8; i++)
        EXPECT_TRUE(RowHas(Cell(spikes, 16, 16, i), 15, 0, 15)) << "spike cell " << i;
}

TEST(Art, ExplosionBloomsThenFades)
{
    Image sheet = Load("explo.bmp");
    int size[5];
    for (int i = 0; i < 5; i++)
        size[i] = Count(Cell(sheet, 16, 16, i), Opaque);
    EXPECT_LT(size[0], size[1]);
    EXPECT_LT(size[1], size[2]);
    EXPECT_GT(size[2], size[4]);
    EXPECT_GT(size[4], 0);
}

TEST(Art, HealthBarShowsOneHeartPerLife)
{
    Image sheet = Load("health.bmp");
    auto red = [](uint8_t p) { return p >= 32 && p <= 47; };
    int perLife = 0;
    for (uint8_t p : Cell(sheet, 80, 8, 1).px)
        perLife += red(p);
    ASSERT_GT(perLife, 0);
    for (int lives = 0; lives <= 5; lives++) {
        int n = 0;
        for (uint8_t p : Cell(sheet, 80, 8, lives).px)
            n += red(p);
        EXPECT_EQ(n, lives * perLife) << lives << " lives";
    }
}

TEST(Art, TextAndTitlesAreOutlinedForTheNoise)
{
    Image font = Load("font8x8.bmp");
    for (int c = 33; c <= 126; c++) {
        Image g = Cell(font, 8, 8, c);
        EXPECT_GT(Count(g, Opaque), 0) << "glyph " << c << " is blank";
        EXPECT_EQ(UnoutlinedPixels(g), 0) << "glyph " << c;
    }
    EXPECT_EQ(Count(Cell(font, 8, 8, ' '), Opaque), 0);
    EXPECT_EQ(UnoutlinedPixels(Load("logo.bmp")), 0);
    EXPECT_EQ(UnoutlinedPixels(Load("menu.bmp")), 0);
    Image spin = Load("spin162.bmp");
    for (int i = 0; i < 23; i++)
        EXPECT_EQ(UnoutlinedPixels(Cell(spin, 16, 16, i)), 0) << "spinner frame " << i;
}

TEST(Art, MenuRowsLineUpWithTheSpinner)
{
    // The entries picture sits at y 100 and the spinner at 99, 115 and 131:
    // each row of 16 has its word, and no row spills into the next.
    Image menu = Load("menu.bmp");
    ASSERT_EQ(menu.h, 48);
    for (int row = 0; row < 3; row++) {
        int y0 = 16 * row;
        EXPECT_FALSE(RowHas(menu, y0, 0, menu.w - 1)) << "row " << row << " touches the row above";
        EXPECT_TRUE(RowHas(menu, y0 + 8, 0, menu.w - 1)) << "row " << row << " is empty";
    }
}

int Differ(const Image &a, const Image &b)
{
    int n = 0;
    for (size_t i = 0; i < a.px.size(); i++)
        n += a.px[i] != b.px[i];
    return n;
}

TEST(Art, AnimationsMoveAndLoop)
{
    // The spinner's 22 frames turn once: the step from the last frame back
    // to the first is no bigger than the steps between neighbours, and the
    // spare cell 22 repeats frame 0.
    Image spin = Load("spin162.bmp");
    int largest = 0;
    for (int i = 0; i < 21; i++)
        largest = std::max(largest, Differ(Cell(spin, 16, 16, i), Cell(spin, 16, 16, i + 1)));
    EXPECT_LE(Differ(Cell(spin, 16, 16, 21), Cell(spin, 16, 16, 0)), largest);
    EXPECT_EQ(Cell(spin, 16, 16, 22).px, Cell(spin, 16, 16, 0).px);

    // Every step of a cycle shows something new.
    auto distinct = [](const Image &sheet, int w, int h, int first, int count, const char *what) {
        for (int i = 0; i < count; i++) {
            int next = first + (i + 1) % count;
            EXPECT_GT(Differ(Cell(sheet, w, h, first + i), Cell(sheet, w, h, next)), 0)
                << what << " " << first + i << " and " << next;
        }
    };
    Image heroine = Load("pframe.bmp");
    distinct(heroine, 16, 64, 0, 5, "walking");
    distinct(heroine, 16, 64, 5, 6, "standing");
    distinct(heroine, 16, 64, 11, 2, "firing");
    distinct(Load("mframe2.bmp"), 32, 48, 0, 3, "ogre");
    distinct(Load("ball.bmp"), 16, 16, 0, 5, "ball");
    distinct(Load("ball.bmp"), 16, 16, 5, 5, "ball");
    distinct(Load("spike1.bmp"), 16, 16, 0, 8, "spikes");
}

TEST(Art, GlyphsLeaveAGapBetweenLetters)
{
    // Column 7 of every letter and digit is clear, so neighbours in a line
    // of text never run into each other.
    Image font = Load("font8x8.bmp");
    std::string chars = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.,!?()-<>";
    for (char ch : chars) {
        Image g = Cell(font, 8, 8, uint8_t(ch));
        for (int y = 0; y < 8; y++)
            EXPECT_EQ(g.at(7, y), CLEAR) << "'" << ch << "' row " << y;
    }
}

TEST(Art, HudPanelIsDarkWhereTheValuesGo)
{
    // The score (up to ten digits from x 234, y 25), the health bar and the
    // gun bar are drawn over the frame: the panel is dark there so the gold
    // digits and the bars read.
    Image bar = Load("bar.bmp");
    auto darkArea = [&](int x0, int y0, int w, int h) {
        int light = 0;
        for (int y = y0; y < y0 + h; y++)
            for (int x = x0; x < x0 + w; x++)
                light += !Dark(bar.at(x, y));
        return light;
    };
    EXPECT_EQ(darkArea(234, 25, 80, 8), 0);
    EXPECT_EQ(darkArea(224, 56, 80, 8), 0);
    EXPECT_EQ(darkArea(224, 88, 80, 24), 0);
}

TEST(Art, MenuPicturesStayInsideTheNoiseField)
{
    // The logo at (40, 24), the entries at (64, 100) and the spinner at
    // (40, 99..131) are drawn over the noise, which covers x 16-207 and
    // y 16-183; nothing of them may land on the frame.
    struct Placed {
        const char *file;
        int x, y;
    } placed[] = {{"logo.bmp", 40, 24}, {"menu.bmp", 64, 100}, {"spin162.bmp", 40, 131}};
    for (const Placed &p : placed) {
        Image img = Load(p.file);
        int w = std::string(p.file) == "spin162.bmp" ? 16 : img.w;
        for (int y = 0; y < img.h; y++)
            for (int x = 0; x < w; x++)
                if (img.at(x, y) != CLEAR) {
                    int sx = p.x + x, sy = p.y + y;
                    EXPECT_TRUE(sx >= 16 && sx <= 207 && sy >= 16 && sy <= 183) << p.file << " at " << sx << "," << sy;
                }
    }
}

TEST(Art, CollectablesAreOutlinedLikeTheActors)
{
    Image sheet = Load("tiles.bmp");
    for (int code = 79; code <= 86; code++)
        EXPECT_EQ(UnoutlinedPixels(Cell(sheet, 16, 16, code), false), 0) << "item " << code;
}
