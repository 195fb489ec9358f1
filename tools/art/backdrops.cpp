// The three level backdrops, 192x168, shown behind the tiles and never
// scrolled. Each is built from far to near in layers of falling
// brightness and kept muted, so the tiles and the actors stand in front.

#include <algorithm>
#include <cmath>

#include "art.h"

namespace {

const double PI = 3.14159265358979;
using Ramp = std::vector<uint8_t>;
const int W = 192, H = 168;

void Gradient(Image &img, const Ramp &ramp, int y0, int y1)
{
    for (int y = y0; y < y1; y++)
        for (int x = 0; x < W; x++)
            img.at(x, y) = Dither(ramp, double(y - y0) / (y1 - y0 - 1), x, y);
}

// A skyline of hills or rocks: a sum of waves, the same every build.
double Ridge(double x, double base, double amp, double seed)
{
    return base - amp * (0.55 * std::sin(x * 0.031 + seed) + 0.3 * std::sin(x * 0.077 + seed * 2.3) +
                         0.15 * std::sin(x * 0.19 + seed * 4.1));
}

// Fills below a ridge with a ramp running down from the ridge line.
void Hills(Image &img, double base, double amp, double seed, const Ramp &ramp, double depth)
{
    for (int x = 0; x < W; x++) {
        double top = Ridge(x, base, amp, seed);
        for (int y = std::max(0, int(top)); y < H; y++)
            img.at(x, y) = Dither(ramp, (y - top) / depth, x, y);
    }
}

void Cloud(Image &img, double cx, double cy, double w, uint8_t light, uint8_t shade)
{
    for (int y = int(cy - w / 2); y < int(cy + w / 4); y++)
        for (int x = int(cx - w); x < int(cx + w); x++) {
            if (!img.inside(x, y))
                continue;
            double dx = (x - cx) / w, dy = (y - cy) / (w * 0.35);
            double puff = dx * dx + dy * dy - 0.15 * std::sin(x * 0.5) - 0.12 * std::cos(x * 0.23 + 1);
            if (puff < 0.55)
                img.at(x, y) = y > cy + 1 ? shade : (puff > 0.45 && Bayer(x, y) < 8 ? shade : light);
        }
}

Image Vale()
{
    Image img(W, H);
    Gradient(img, {131, 130, 129, 128, 137, 136}, 0, 110);
    // Sun, pale, high on the right.
    for (int y = 8; y < 40; y++)
        for (int x = 130; x < 170; x++) {
            double d = std::hypot(x - 150.5, y - 24.5);
            if (d < 9)
                img.at(x, y) = 64;
            else if (d < 12 && Bayer(x, y) < 8)
                img.at(x, y) = 136;
        }
    Cloud(img, 40, 30, 22, 16, 137);
    Cloud(img, 105, 18, 14, 16, 137);
    Cloud(img, 170, 52, 16, 16, 137);
    Hills(img, 88, 14, 0.7, {138, 139, 140}, 60);       // far mountains, hazy
    Hills(img, 112, 12, 2.1, {123, 124, 125}, 50);      // blue-green downs
    Hills(img, 134, 10, 4.4, {106, 107, 108, 109}, 40);  // near hills
    Hills(img, 154, 5, 6.3, {108, 109, 110, 111}, 20);
    // Distant trees on the downs: small dark domes.
    for (int i = 0; i < 9; i++) {
        double x = 12 + i * 21 + (i % 3) * 5;
        double y = Ridge(x, 112, 12, 2.1);
        Disc(img, x, y - 1, 3 + (i % 2), 125);
        Disc(img, x - 0.5, y - 1.5, 1.5 + (i % 2), 124);
    }
    return img;
}

Image Caves()
{
    Image img(W, H);
    Gradient(img, {174, 175, 159, 224, 224}, 0, H);
    // Far cave wall: hanging and standing rock, lit a little from within.
    for (int x = 0; x < W; x++) {
        double hang = 18 + 14 * std::fabs(std::sin(x * 0.045 + 1)) + 10 * std::fabs(std::sin(x * 0.13));
        for (int y = 0; y < int(hang); y++)
            img.at(x, y) = Dither({173, 174, 175}, double(y) / hang, x, y);
        double stand = 130 - 22 * std::fabs(std::sin(x * 0.05 + 2)) - 10 * std::fabs(std::sin(x * 0.15 + 1));
        for (int y = int(stand); y < H; y++)
            img.at(x, y) = Dither({173, 174, 175, 224}, (y - stand) / 45.0, x, y);
    }
    // Columns where stalactite met stalagmite, far back.
    for (int cx : {38, 120, 171}) {
        for (int y = 0; y < H; y++) {
            double half = 4 + 3 * std::cos(y * PI / H * 2) * 0.8;
            for (int x = int(cx - half); x <= int(cx + half); x++)
                if (img.inside(x, y))
                    img.at(x, y) = x < cx - half + 2 ? 172 : Dither({173, 174}, (x - cx + half) / (2 * half), x, y);
        }
    }
    // Faint glints of crystal in the far wall.
    Rng rng(303);
    for (int i = 0; i < 40; i++) {
        int x = rng.range(W), y = rng.range(H);
        uint8_t c = i % 3 ? 125 : 169;
        img.at(x, y) = c;
        if (i % 5 == 0 && img.inside(x + 1, y))
            img.at(x + 1, y) = 126;
    }
    // A pool of dark water glimmering at the bottom.
    for (int y = 156; y < H; y++)
        for (int x = 0; x < W; x++)
            img.at(x, y) = (y == 156 && x % 7 < 3) ? 126 : Dither({127, 158, 159}, (y - 156) / 12.0, x, y);
    return img;
}

Image Keep()
{
    Image img(W, H);
    // The hall's back wall: big, dark blocks in a cold light, larger and
    // dimmer than the keep's brick tiles so that those stand out in front.
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) {
            int course = y / 20, yy = y % 20;
            int xx = (x + (course % 2) * 20) % 40;
            uint8_t c = Dither({29, 31, 159, 224}, 0.25 + 0.35 * ((x * 7 + y * 3) % 13) / 13.0, x, y);
            if (yy == 19 || xx == 39)
                c = 224;
            else if (yy == 0 || xx == 0)
                c = 29;
            img.at(x, y) = c;
        }
    // Two tall arched windows onto the night, a moon in one.
    for (int wx : {48, 144}) {
        for (int y = 18; y < 120; y++)
            for (int x = wx - 22; x <= wx + 22; x++) {
                double dx = x + 0.5 - wx;
                bool inArch = y >= 40 ? std::fabs(dx) < 20 : std::hypot(dx, y - 40) < 20;
                bool inFrame = y >= 40 ? std::fabs(dx) < 23 : std::hypot(dx, y - 40) < 23;
                if (inArch)
                    img.at(x, y) = Dither({157, 158, 159}, (y - 18) / 100.0, x, y);
                else if (inFrame)
                    img.at(x, y) = (dx < 0) ? 28 : 30;
            }
        Fill(img, wx - 1, 20, 3, 100, 29);   // mullion
        Fill(img, wx - 20, 70, 40, 2, 29);   // transom
    }
    Rng rng(101);
    for (int i = 0; i < 30; i++) {
        int x = rng.range(W), y = 20 + rng.range(95);
        if (img.at(x, y) >= 157 && img.at(x, y) <= 159)
            img.at(x, y) = i % 4 ? 137 : 15;
    }
    for (int y = 30; y < 50; y++)
        for (int x = 150; x < 166; x++)
            if (img.at(x, y) >= 157 && img.at(x, y) <= 159) {
                double d = std::hypot(x - 158.5, y - 40.5);
                if (d < 7)
                    img.at(x, y) = std::hypot(x - 161, y - 38.5) < 6 ? 159 : 66;
            }
    // Dim banners between the windows and a gallery below.
    for (int bx : {96}) {
        for (int y = 16; y < 84; y++)
            for (int x = bx - 9; x <= bx + 9; x++) {
                if (y > 72 && std::fabs(x + 0.5 - bx) < (y - 72))
                    continue;
                img.at(x, y) = x == bx - 9 || x == bx + 9 ? 76 : Dither({43, 44, 46}, (x - bx + 9) / 18.0, x, y);
            }
        Fill(img, bx - 12, 14, 25, 2, 77);
        for (int y = 34; y < 46; y++)
            for (int x = bx - 5; x <= bx + 5; x++)
                if (std::hypot(x + 0.5 - bx, (y + 0.5 - 40) * 1.6) < 6)
                    img.at(x, y) = std::hypot(x + 0.5 - bx, y + 0.5 - 40) < 2 ? 224 : 22;
    }
    for (int y = 130; y < H; y++)
        for (int x = 0; x < W; x++)
            img.at(x, y) = y == 130 ? 28 : Dither({31, 159, 224}, (y - 130) / 38.0, x, y);
    for (int x = 8; x < W; x += 24)
        for (int y = 131; y < H; y++)
            img.at(x, y) = y % 2 ? 31 : 28;
    return img;
}

}  // namespace

void BuildBackdrops(Pictures &out)
{
    out["back01.bmp"] = Keep();
    out["back02.bmp"] = Vale();
    out["back03.bmp"] = Caves();
}
