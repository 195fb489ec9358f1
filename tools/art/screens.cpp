// The pictures around play: the frame with its HUD panel, the health bar,
// the gun bar, the title logo, the menu entries, the spinner, the window
// icon and the BackBuffer's own picture.

#include <algorithm>
#include <cmath>

#include "art.h"

namespace {

const double PI = 3.14159265358979;
using Ramp = std::vector<uint8_t>;

const uint8_t ON = 1;  // body pixels of a mask

// The font's glyph bodies, set tight (advance pixels a letter), as a mask.
Image TextMask(const std::string &text, int advance)
{
    Image m(int(text.size()) * advance + 2, 8, pal::CLEAR);
    for (size_t i = 0; i < text.size(); i++)
        for (int y = 0; y < 8; y++)
            for (int x = 0; x < 8; x++)
                if (FontShapes().rows[uint8_t(text[i])][y] & (0x80 >> x))
                    m.set(int(i) * advance + x, y, ON);
    return m;
}

// Colours a mask: a vertical ramp, a light edge on the top and left of
// every stroke, a dark one on the bottom and right; then an outline in
// each colour of outlines, innermost first.
Image Emboss(const Image &mask, const Ramp &ramp, uint8_t light, uint8_t dark, const Ramp &outlines)
{
    Image img(mask.w, mask.h, pal::CLEAR);
    int top = mask.h, bottom = 0;
    for (int y = 0; y < mask.h; y++)
        for (int x = 0; x < mask.w; x++)
            if (mask.at(x, y) == ON) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    auto on = [&](int x, int y) { return mask.inside(x, y) && mask.at(x, y) == ON; };
    for (int y = 0; y < mask.h; y++)
        for (int x = 0; x < mask.w; x++) {
            if (!on(x, y))
                continue;
            double t = bottom > top ? double(y - top) / (bottom - top) : 0;
            uint8_t c = ramp[std::min(int(ramp.size()) - 1, int(t * ramp.size()))];
            if (!on(x, y - 1) || !on(x - 1, y))
                c = light;
            if (!on(x, y + 1) || !on(x + 1, y))
                c = dark;
            img.at(x, y) = c;
        }
    for (uint8_t o : outlines)
        Outline(img, o, true);
    return img;
}

Image Pad(const Image &src, int margin)
{
    Image out(src.w + 2 * margin, src.h + 2 * margin, pal::CLEAR);
    Paste(out, src, margin, margin);
    return out;
}

// Shadow: every opaque pixel casts black dx, dy down and right.
void PasteShadowed(Image &dst, const Image &src, int x, int y, int d)
{
    for (int j = 0; j < src.h; j++)
        for (int i = 0; i < src.w; i++)
            if (src.at(i, j) != pal::CLEAR)
                dst.set(x + i + d, y + j + d, pal::BLACK);
    Paste(dst, src, x, y);
}

const Ramp Gold = {64, 66, 68, 70, 72, 74};
const Ramp Ember = {66, 68, 58, 59, 60, 61};

// --- The frame and its panel ----------------------------------------------

const uint8_t METAL_HI = 25, METAL = 27, METAL_LO = 28, METAL_DEEP = 31, RIVET = 22;

void Bevel(Image &img, int x, int y, int w, int h, uint8_t hi, uint8_t lo)
{
    Fill(img, x, y, w, 1, hi);
    Fill(img, x, y, 1, h, hi);
    Fill(img, x, y + h - 1, w, 1, lo);
    Fill(img, x + w - 1, y, 1, h, lo);
}

// A sunken box on the panel: dark inside, shadowed on top and left.
void Inset(Image &img, int x, int y, int w, int h)
{
    Fill(img, x, y, w, h, 224);
    Bevel(img, x - 1, y - 1, w + 2, h + 2, METAL_DEEP, METAL_HI);
}

void Rivet(Image &img, int x, int y)
{
    img.set(x, y, RIVET);
    img.set(x + 1, y, METAL_LO);
    img.set(x, y + 1, METAL_LO);
    img.set(x + 1, y + 1, METAL_DEEP);
}

Image Frame()
{
    Image img(320, 200, METAL);
    // Brushed plate: faint horizontal streaks.
    Rng rng(200);
    for (int y = 0; y < 200; y++)
        for (int x = 0; x < 320; x++)
            if (rng.range(9) == 0)
                img.at(x, y) = rng.range(2) ? METAL_LO : 26;
    Bevel(img, 0, 0, 320, 200, METAL_HI, METAL_DEEP);
    Bevel(img, 1, 1, 318, 198, 26, METAL_LO);
    // The view: a sunken window with a two-pixel rim.
    Bevel(img, 14, 14, 196, 172, METAL_DEEP, METAL_HI);
    Bevel(img, 15, 15, 194, 170, 224, 26);
    for (int y = 16; y < 184; y++)
        for (int x = 16; x < 208; x++)
            img.at(x, y) = pal::CLEAR;
    // The panel: plates split by grooves, rivets at their corners.
    Fill(img, 212, 3, 1, 194, METAL_DEEP);
    Fill(img, 213, 3, 1, 194, METAL_HI);
    for (int x : {5, 204, 216, 312})
        for (int y : {5, 193})
            Rivet(img, x, y);
    // Score.
    DrawFontText(img, 222, 9, "SCORE");
    Inset(img, 228, 21, 88, 16);
    // Lives.
    DrawFontText(img, 222, 42, "LIVES");
    Inset(img, 222, 54, 84, 12);
    // Gun.
    DrawFontText(img, 222, 74, "GUN");
    Inset(img, 223, 87, 82, 26);
    // The crest: a round plate with the monogram.
    const int cx = 264, cy = 152;
    for (int y = cy - 28; y <= cy + 28; y++)
        for (int x = cx - 28; x <= cx + 28; x++) {
            double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            if (d < 27)
                img.set(x, y, d > 25 ? ((x - cx) + (y - cy) < 0 ? METAL_HI : METAL_DEEP)
                              : d > 23 ? 224
                                       : Dither({159, 158, 157, 156}, (y - cy + 23) / 46.0, x, y));
        }
    Image kv = Emboss(Scale2x(Scale2x(TextMask("KV", 6))), Gold, 64, 73, {223, pal::BLACK});
    Paste(img, Crop(kv, 0, 0, kv.w, 26), cx - 23, cy - 13);
    for (int i = 0; i < 3; i++) {  // three little stars over the crest
        int sx = cx - 10 + 10 * i, sy = cy - 19 + (i == 1 ? -1 : 0);
        img.set(sx, sy, pal::WHITE);
        img.set(sx - 1, sy, 66);
        img.set(sx + 1, sy, 66);
        img.set(sx, sy - 1, 66);
        img.set(sx, sy + 1, 66);
    }
    return img;
}

// --- Health, gun bar ------------------------------------------------------

Image Heart(bool full)
{
    static const char *shape[6] = {".##.##.", "#######", "#######", ".#####.", "..###..", "...#..."};
    Image h(9, 8, pal::CLEAR);
    for (int y = 0; y < 6; y++)
        for (int x = 0; x < 7; x++)
            if (shape[y][x] == '#')
                h.at(x + 1, y + 1) = full ? (y < 2 ? 33 : y < 4 ? 36 : 40) : (y < 2 ? 27 : 29);
    if (full) {
        h.at(2, 2) = pal::WHITE;
        h.at(2, 1) = 51;
    }
    Outline(h, pal::BLACK, false);
    return h;
}

Image HealthBar()
{
    Image img(7 * 80, 8, pal::CLEAR);
    for (int lives = 0; lives < 7; lives++) {
        for (int slot = 0; slot < 5; slot++) {
            bool full = slot < lives;
            Paste(img, Heart(full), 80 * lives + 16 * slot + 4, 0);
        }
        if (lives == 6)  // never shown: a golden sixth heart at the end
            Paste(img, Heart(true), 80 * 6 + 71, 0);
    }
    return img;
}

Image GunBar()
{
    Image img(80, 24, 224);
    Bevel(img, 0, 0, 80, 24, 29, 26);
    // A dim screen with scan lines behind the gun.
    for (int y = 1; y < 23; y++)
        for (int x = 1; x < 79; x++)
            img.at(x, y) = y % 2 ? 127 : 224;
    Image gun = GunSprite();
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 32; x++)
            if (gun.at(x, y) != pal::CLEAR)
                img.set(4 + x, 3 + y, gun.at(x, y));
    // Six charge cells, all lit: the gun never runs dry.
    for (int i = 0; i < 6; i++) {
        Fill(img, 40 + 6 * i, 6, 4, 12, 123);
        Fill(img, 40 + 6 * i, 6, 4, 11, 119);
        Fill(img, 40 + 6 * i, 6, 1, 11, 114);
    }
    return img;
}

// --- Title logo, menu entries, spinner ---------------------------------------

Image Logo()
{
    Image img(160, 64, pal::CLEAR);
    Image kestra = Pad(Scale2x(Scale2x(TextMask("KESTRA", 6))), 3);
    Image vale = Pad(Scale2x(Scale2x(TextMask("VALE", 6))), 3);
    Image top = Emboss(kestra, Gold, 15, 74, {222, pal::BLACK});
    Image bottom = Emboss(vale, Ember, 64, 62, {222, pal::BLACK});
    // Crop away the empty rows the font leaves above the capitals.
    top = Crop(top, 0, 2, top.w, 30);
    bottom = Crop(bottom, 0, 2, bottom.w, 30);
    PasteShadowed(img, top, (160 - top.w) / 2 + 2, 0, 2);
    PasteShadowed(img, bottom, (160 - bottom.w) / 2 + 2, 31, 2);
    // Wings of a kestrel either side of VALE, tapering outwards.
    Image wings(160, 64, pal::CLEAR);
    for (int side = 0; side < 2; side++)
        for (int i = 0; i < 22; i++) {
            int x = side ? 133 + i : 26 - i;
            int y = 42 + i / 3;
            int len = 6 - i / 4;
            for (int k = 0; k < len; k++)
                wings.set(x, y + k, k == 0 ? 66 : k < len - 1 ? 70 : 74);
        }
    Outline(wings, pal::BLACK, true);
    Paste(img, wings, 0, 0);
    return img;
}

Image MenuEntries()
{
    Image img(96, 48, pal::CLEAR);
    const char *labels[3] = {"Start", "Help", "Quit"};
    for (int row = 0; row < 3; row++) {
        int y0 = 16 * row;
        // A dark plate with rounded ends keeps the word clear of the noise.
        for (int y = 1; y < 15; y++)
            for (int x = 0; x < 92; x++) {
                if ((x == 0 || x == 91) && (y == 1 || y == 14))
                    continue;  // rounded corners
                bool rim = x == 0 || x == 91 || y == 1 || y == 14 || ((x == 1 || x == 90) && (y == 2 || y == 13));
                img.at(x, y0 + y) = rim ? pal::BLACK : (y < 8 ? 29 : 31);
            }
        Image word = Emboss(Scale2x(TextMask(labels[row], 6)), Gold, 15, 73, {pal::BLACK});
        Paste(img, Crop(word, 0, 1, word.w, 15), 10, y0 + 1);
        // The plate's rim runs over the tips of the tallest letters and
        // descenders, keeping them inside the plate's dark edge.
        for (int x = 0; x < 96; x++)
            for (int y : {y0 + 1, y0 + 14})
                if (img.at(x, y) != pal::CLEAR)
                    img.at(x, y) = pal::BLACK;
        for (int x = 0; x < 96; x++)
            img.at(x, y0 + 15) = pal::CLEAR;
    }
    return img;
}

// A four-pointed star turning about its upright axis: 22 frames make one
// full turn, so the loop closes without a jump.
Image SpinnerFrame(int i)
{
    Image img(16, 16, pal::CLEAR);
    double a = 2 * PI * i / 22.0;
    double squash = std::cos(a);
    bool front = squash >= 0;
    double s = std::max(0.12, std::fabs(squash));
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            double u = (x + 0.5 - 8) / s, v = y + 0.5 - 8;
            double r = std::fabs(u) + std::fabs(v);
            double star = std::pow(std::fabs(u), 0.5) + std::pow(std::fabs(v), 0.5);
            if (star > 3.3 || r > 7.6)
                continue;
            double lit = 0.5 + 0.08 * (u + v) * (front ? 1 : -1);
            if (star < 1.6)
                lit -= 0.4;
            img.at(x, y) = front ? Gold[std::clamp(int(lit * 6), 0, 5)] : Ember[std::clamp(int(lit * 6), 0, 5)];
        }
    Outline(img, pal::BLACK, true);
    return img;
}

Image Spinner()
{
    std::vector<Image> cells;
    for (int i = 0; i < 23; i++)
        cells.push_back(SpinnerFrame(i % 22));
    return Strip(cells);
}

}  // namespace

// The icon, drawn at 32 pixels for the window and again at 16 for the desktop's
// smallest size: the head as the sheet has it, in place of doubled, so no
// pixel of it is lost to a shrink.
Image IconPicture(int size)
{
    Image img(size, size);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++)
            img.at(x, y) = Dither({122, 123, 124, 125, 126, 127}, y / double(size - 1), x, y);
    Image head = size == 32 ? Scale2x(HeroineHead()) : HeroineHead();
    Image outlined = Pad(head, 1);
    Outline(outlined, pal::BLACK, false);
    if (size == 32)
        Paste(img, outlined, 4, 5);
    else
        Paste(img, outlined, 1, 1);
    Bevel(img, 0, 0, size, size, 119, 127);
    return img;
}

void BuildScreens(Pictures &out)
{
    out["bar.bmp"] = Frame();
    out["health.bmp"] = HealthBar();
    out["gunbar.bmp"] = GunBar();
    out["logo.bmp"] = Logo();
    out["menu.bmp"] = MenuEntries();
    out["spin162.bmp"] = Spinner();
    out["icon.bmp"] = IconPicture(32);
    out["small.bmp"] = Image(320, 200, 0);
}
