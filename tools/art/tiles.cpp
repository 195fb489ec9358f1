// The 90 tiles. The four solid codes (1, 13, 54, 57) are full blocks with
// a lit top-left bevel; everything else is a prop you walk past, drawn
// with transparent space around it and outlined in a dark tone of its own
// colour, never black, so the props sit back behind the actors (which are
// outlined in black). The collectables (79-86) are the exception: they
// are picked up, so they get the actors' black outline.
//
// Props that need a careful hand are pixel maps in assets/art/tiles.txt;
// the patterned ones are drawn here.

#include <algorithm>
#include <cmath>
#include <functional>

#include "art.h"

namespace {

const double PI = 3.14159265358979;
using Ramp = std::vector<uint8_t>;

Image Blank() { return Image(16, 16, pal::CLEAR); }

// --- Ramps, light to dark ---------------------------------------------------
const Ramp Grass = {82, 84, 86, 87, 107};
const Ramp Earth = {211, 213, 215, 217, 219, 221};
const Ramp Bark = {212, 215, 217, 219, 221};
const Ramp Leaves = {84, 86, 87, 106, 109};
const Ramp Rock = {22, 24, 26, 27, 28, 173, 175};
const Ramp Stone = {20, 22, 24, 25, 27, 29};
const Ramp Copper = {56, 58, 60, 62, 63, 217};
const Ramp Wood = {209, 211, 213, 215, 217, 219};
const Ramp Steel = {19, 21, 23, 25, 27, 29};
const Ramp Blue = {136, 130, 132, 134, 135, 154};
const Ramp Purple = {161, 164, 166, 168, 170, 172};
const Ramp Cyan = {112, 116, 119, 121, 123, 125};
const Ramp Water = {114, 130, 132, 134, 135};
const Ramp Red = {53, 33, 36, 39, 42, 45};

uint8_t Shade(const Ramp &r, double t, int x, int y) { return Dither(r, t, x, y); }

// --- The solid blocks -------------------------------------------------------

// Grass over earth: a lit bevel on the top and left, a dark one on the
// bottom and right, so a wall of them reads as one solid mass of blocks.
Image GrassBlock()
{
    Image t = Blank();
    Rng rng(1);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            double s = 0.25 + 0.5 * rng.unit() * 0.5 + y * 0.02;
            if (x == 0 || y == 4)
                s -= 0.15;
            if (x == 15 || y == 15)
                s += 0.35;
            t.at(x, y) = Shade(Earth, s, x, y);
        }
    // Stones in the earth.
    const int stones[][2] = {{3, 8}, {10, 11}, {12, 6}, {5, 13}};
    for (auto &s : stones) {
        t.set(s[0], s[1], 24);
        t.set(s[0] + 1, s[1], 26);
        t.set(s[0], s[1] + 1, 27);
        t.set(s[0] + 1, s[1] + 1, 28);
    }
    // Grass cap, its lower edge ragged.
    static const int depth[16] = {4, 5, 4, 3, 4, 5, 6, 4, 3, 4, 5, 4, 3, 4, 6, 4};
    for (int x = 0; x < 16; x++)
        for (int y = 0; y < depth[x]; y++)
            t.at(x, y) = y == 0 ? Grass[0] : y == depth[x] - 1 ? Grass[3] : (x + y) % 3 ? Grass[1] : Grass[2];
    for (int x = 0; x < 16; x++)
        t.at(x, depth[x]) = Earth[5];  // shadow under the turf
    t.at(15, 0) = Grass[2];
    return t;
}

Image CaveBlock()
{
    Image t = Blank();
    Rng rng(13);
    // Lumps of rock: each pixel is lit by how close it is to the top-left
    // of its own lump, which gives a cracked, faceted surface.
    const double lumps[][3] = {{4, 4, 5}, {12, 3, 4.5}, {8, 10, 5.5}, {2, 12, 4}, {14, 12, 4}};
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            double best = 1e9, lit = 0.5;
            for (auto &l : lumps) {
                double d = std::hypot(x - l[0], y - l[1]) / l[2];
                if (d < best) {
                    best = d;
                    lit = 0.2 + 0.35 * ((x - l[0]) + (y - l[1])) / l[2] * 0.5 + 0.3 * d;
                }
            }
            lit += 0.1 * rng.unit();
            if (x == 0 || y == 0)
                lit -= 0.2;
            if (x == 15 || y == 15)
                lit += 0.3;
            t.at(x, y) = Shade(Rock, lit, x, y);
        }
    // Cracks between the lumps.
    Line(t, 0, 8, 4, 9, Rock[5]);
    Line(t, 9, 0, 8, 5, Rock[5]);
    Line(t, 8, 5, 13, 8, Rock[5]);
    Line(t, 5, 15, 6, 13, Rock[5]);
    t.at(3, 3) = 114;  // a fleck of crystal in the rock
    t.at(12, 11) = 164;
    return t;
}

Image KeepBlock()
{
    Image t = Blank();
    Rng rng(54);
    // Two courses of bricks, offset by half a brick, with dark mortar.
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            int course = y / 8, yy = y % 8;
            int xx = (x + (course ? 8 : 0)) % 16;
            bool mortar = yy == 7 || xx == 15;
            double lit = 0.3 + 0.15 * rng.unit();
            if (yy == 0 || xx == 0)
                lit = 0.05;
            if (yy == 6 || xx == 14)
                lit = 0.7;
            t.at(x, y) = mortar ? Stone[5] : Shade(Stone, lit, x, y);
        }
    t.at(4, 3) = Stone[4];
    t.at(11, 12) = Stone[4];
    t.at(12, 12) = Stone[3];
    return t;
}

Image Girder()
{
    Image t = Blank();
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            double lit = 0.35;
            if (y < 2 || x < 1)
                lit = 0.05;
            if (y > 13 || x > 14)
                lit = 0.8;
            if (y == 2 || y == 13)
                lit = 0.6;  // flanges of the beam
            t.at(x, y) = Shade(Copper, lit, x, y);
        }
    // Cross bracing and rivets.
    Line(t, 2, 4, 13, 11, Copper[3]);
    Line(t, 2, 11, 13, 4, Copper[3]);
    Line(t, 2, 3, 13, 10, Copper[1]);
    for (int x : {2, 7, 12}) {
        t.at(x, 0) = Copper[0];
        t.at(x + 1, 0) = Copper[4];
        t.at(x, 15) = Copper[0];
        t.at(x + 1, 15) = Copper[4];
    }
    for (int y : {4, 11}) {
        t.at(1, y) = 64;
        t.at(14, y) = 64;
    }
    return t;
}

// --- Helpers for the props -------------------------------------------------

void Blades(Image &t, int seed, int count, int height)
{
    Rng rng(seed);
    for (int i = 0; i < count; i++) {
        int x = 1 + rng.range(14), h = height / 2 + rng.range(height / 2 + 1);
        int lean = rng.range(3) - 1;
        for (int j = 0; j < h; j++) {
            int px = x + (j > h / 2 ? lean : 0);
            t.set(px, 15 - j, j > h - 2 ? Grass[0] : j < 2 ? Grass[3] : Grass[i % 2 + 1]);
        }
    }
}

void Foliage(Image &t, double cx, double cy, double rx, double ry, int seed)
{
    Rng rng(seed);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            double nx = (x + 0.5 - cx) / rx, ny = (y + 0.5 - cy) / ry;
            double d = nx * nx + ny * ny + (rng.unit() - 0.5) * 0.35;
            if (d > 1)
                continue;
            double lit = 0.35 + 0.35 * nx + 0.35 * ny + 0.3 * rng.unit();
            t.at(x, y) = Shade(Leaves, lit, x, y);
        }
    // Leaf clusters lit from above.
    for (int i = 0; i < 6; i++) {
        int x = int(cx - rx + 2 + rng.range(int(2 * rx - 3))), y = int(cy - ry + 1 + rng.range(int(ry)));
        if (t.inside(x, y) && t.at(x, y) != pal::CLEAR) {
            t.at(x, y) = Leaves[0];
            if (t.inside(x + 1, y) && t.at(x + 1, y) != pal::CLEAR)
                t.at(x + 1, y) = Leaves[1];
        }
    }
}

// Rows of a rounded column that reads as a cone: lit on the left.
void Cone(Image &t, int cx, int baseY, int tipY, double halfBase, const Ramp &r)
{
    int dir = tipY < baseY ? -1 : 1;
    int len = std::abs(baseY - tipY);
    for (int i = 0; i <= len; i++) {
        int y = baseY + dir * i;
        double half = halfBase * (1.0 - double(i) / (len + 1));
        for (int x = int(std::floor(cx - half)); x <= int(std::ceil(cx + half)); x++) {
            double u = (x + 0.5 - cx) / (half + 0.5);
            if (std::fabs(u) > 1)
                continue;
            t.set(x, y, Shade(r, 0.3 + 0.45 * u + 0.1 * (i % 3 == 0), x, y));
        }
    }
}

void Crystal(Image &t, double bx, double by, double angle, double len, double width, const Ramp &r)
{
    double dx = std::sin(angle), dy = -std::cos(angle);
    for (double s = 0; s <= len; s += 0.25) {
        double w = s < len - width ? width : (len - s);
        for (double o = -w; o <= w; o += 0.25) {
            int x = int(std::floor(bx + dx * s - dy * o)), y = int(std::floor(by + dy * s + dx * o));
            double lit = o < 0 ? 0.1 : 0.55;
            if (s > len - width - 0.5 && o < 0)
                lit = 0.0;
            t.set(x, y, Shade(r, lit + s / len * 0.15, x, y));
        }
    }
}

// Prop outline: the darkest tone of its ramp, where a pixel meets the
// transparent background.
void Edge(Image &t, uint8_t c) { Outline(t, c, false); }

Image Plate(const Ramp &wood)
{
    Image t = Blank();
    Fill(t, 1, 3, 14, 10, wood[2]);
    Fill(t, 1, 3, 14, 1, wood[0]);
    Fill(t, 1, 12, 14, 1, wood[4]);
    for (int x = 2; x < 14; x += 4)
        t.set(x, 7, wood[3]);
    t.set(2, 4, 22);
    t.set(13, 4, 22);
    t.set(2, 11, 22);
    t.set(13, 11, 22);
    return t;
}

void ArrowOn(Image &t, int dir)  // 0 right, 1 left, 2 up
{
    const uint8_t c = pal::WHITE;
    for (int i = 0; i < 4; i++) {
        if (dir == 2) {
            Line(t, 8 - i, 4 + i, 8 + i - 1, 4 + i, c);
        } else {
            int x = dir == 0 ? 11 - i : 4 + i;
            Line(t, x, 8 - i, x, 7 + i, c);
        }
    }
    if (dir == 2)
        Fill(t, 7, 8, 2, 4, c);
    else
        Fill(t, dir == 0 ? 4 : 8, 7, 4, 2, c);
}

// --- Props by theme ----------------------------------------------------------

Image Trunk()
{
    Image t = Blank();
    for (int y = 0; y < 16; y++)
        for (int x = 4; x < 12; x++) {
            double u = (x - 4) / 7.0;
            int stripe = (x * 3 + (y / 3) * 5) % 7 == 0;
            t.at(x, y) = Shade(Bark, 0.15 + 0.65 * u + 0.25 * stripe, x, y);
        }
    t.set(7, 5, Bark[4]);
    t.set(8, 6, Bark[4]);
    t.set(8, 5, Bark[3]);
    return t;
}

Image Canopy(int part)  // 0 left, 1 middle, 2 right
{
    Image t = Blank();
    if (part == 0)
        Foliage(t, 14, 9, 12, 7.5, 6);
    else if (part == 1)
        Foliage(t, 8, 8, 8.6, 7.0, 7);
    else
        Foliage(t, 2, 9, 12, 7.5, 8);
    Edge(t, Leaves[4]);
    return t;
}

Image Fence()
{
    Image t = Blank();
    for (int px : {3, 11}) {
        Fill(t, px, 3, 2, 13, Wood[2]);
        t.set(px, 3, Wood[0]);
        Fill(t, px + 1, 4, 1, 12, Wood[4]);
    }
    for (int ry : {6, 11}) {
        Fill(t, 0, ry, 16, 2, Wood[1]);
        Fill(t, 0, ry + 1, 16, 1, Wood[3]);
    }
    return t;
}

Image Signpost()
{
    Image t = Blank();
    Fill(t, 7, 8, 2, 8, Wood[3]);
    Fill(t, 7, 8, 1, 8, Wood[1]);
    // Board with a point on the right.
    for (int y = 2; y < 9; y++) {
        int end = 12 + (y < 5 ? y - 2 : 8 - y);
        Fill(t, 2, y, end - 2, 1, y == 2 ? Wood[0] : y == 8 ? Wood[4] : Wood[2]);
    }
    Line(t, 4, 5, 10, 5, Wood[5]);
    Line(t, 8, 4, 10, 5, Wood[5]);
    Line(t, 8, 6, 10, 5, Wood[5]);
    Edge(t, Wood[5]);
    return t;
}

Image Mushroom(bool glow)
{
    Image t = Blank();
    const Ramp cap = glow ? Cyan : Red;
    Fill(t, 6, 10, 4, 6, glow ? 113 : 18);
    Fill(t, 9, 10, 1, 6, glow ? 119 : 22);
    for (int y = 4; y < 11; y++) {
        double half = 6.5 * std::sqrt(1 - std::pow((10.5 - y) / 7.0, 2));
        for (int x = int(8 - half); x < int(8 + half); x++)
            t.set(x, y, Shade(cap, 0.15 + 0.5 * (x - 8 + half) / (2 * half) + (y == 10) * 0.3, x, y));
    }
    for (auto &d : std::vector<std::pair<int, int>>{{5, 6}, {9, 5}, {11, 8}, {7, 8}})
        t.set(d.first, d.second, glow ? pal::WHITE : 16);
    Edge(t, glow ? 125 : 42);
    if (glow)
        for (auto &d : std::vector<std::pair<int, int>>{{1, 3}, {14, 2}, {2, 9}, {13, 11}})
            t.set(d.first, d.second, 116);
    return t;
}

Image Vine()
{
    Image t = Blank();
    for (int y = 0; y < 15; y++) {
        int x = 7 + int(std::lround(1.5 * std::sin(y * 0.6)));
        t.set(x, y, Leaves[2]);
        if (y % 3 == 1) {
            int side = (y / 3) % 2 ? 1 : -1;
            t.set(x + side, y, Leaves[0]);
            t.set(x + 2 * side, y + 1, Leaves[1]);
            t.set(x + side, y + 1, Leaves[1]);
        }
    }
    Edge(t, Leaves[4]);
    return t;
}

Image Stalactite(int size)  // 0 full, 1 small
{
    Image t = Blank();
    if (size == 0) {
        Cone(t, 7, 0, 14, 5.5, Rock);
        Cone(t, 12, 0, 6, 2.5, Rock);
    } else {
        Cone(t, 8, 0, 8, 3.0, Rock);
    }
    Edge(t, Rock[6]);
    return t;
}

Image Stalagmite()
{
    Image t = Blank();
    Cone(t, 8, 15, 2, 5.5, Rock);
    Cone(t, 3, 15, 9, 2.5, Rock);
    Edge(t, Rock[6]);
    return t;
}

Image Crystals(const Ramp &r, int seed)
{
    Image t = Blank();
    Crystal(t, 8, 15.5, 0.05 * seed, 13, 2.2, r);
    Crystal(t, 5, 15.5, -0.5, 8, 1.8, r);
    Crystal(t, 11.5, 15.5, 0.55, 9, 1.8, r);
    Edge(t, r.back());
    t.set(7, 4, pal::WHITE);
    return t;
}

Image Moss()
{
    Image t = Blank();
    Rng rng(19);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            double d = std::hypot(x - 7.5, (y - 8) * 1.4) / 8 + (rng.unit() - 0.5) * 0.5;
            if (d < 0.75 && (Bayer(x, y) < 11 || d < 0.5))
                t.at(x, y) = Shade({103, 106, 108, 110, 125}, d + 0.3 * rng.unit(), x, y);
        }
    return t;
}

Image Drip()
{
    Image t = Blank();
    Fill(t, 5, 0, 6, 1, 133);
    Fill(t, 6, 1, 4, 1, 132);
    Fill(t, 7, 2, 2, 2, 130);
    t.set(7, 2, 114);
    // A falling drop and a smaller one.
    Fill(t, 7, 8, 2, 3, 130);
    t.set(7, 8, 114);
    t.set(8, 11, 133);
    t.set(8, 14, 130);
    Edge(t, 135);
    return t;
}

Image BeamV()
{
    Image t = Blank();
    for (int y = 0; y < 16; y++)
        for (int x = 5; x < 11; x++)
            t.at(x, y) = Shade(Wood, 0.2 + 0.12 * (x - 5) + ((y * 7 + x) % 9 == 0) * 0.3, x, y);
    t.set(7, 3, 23);
    t.set(7, 12, 23);
    return t;
}

Image BeamH()
{
    Image t = Blank();
    for (int y = 0; y < 6; y++)
        for (int x = 0; x < 16; x++)
            t.at(x, y) = Shade(Wood, 0.15 + 0.14 * y + ((x * 5 + y) % 11 == 0) * 0.3, x, y);
    t.set(3, 2, 23);
    t.set(12, 2, 23);
    return t;
}

Image Rail()
{
    Image t = Blank();
    for (int x : {1, 9})
        Fill(t, x, 13, 5, 3, Wood[3]);
    Fill(t, 0, 11, 16, 2, Steel[2]);
    Fill(t, 0, 11, 16, 1, Steel[0]);
    Fill(t, 0, 13, 16, 1, Steel[5]);
    return t;
}

Image Cobweb(bool corner)
{
    Image t = Blank();
    const uint8_t c = 18;
    if (corner) {
        for (int a = 0; a < 4; a++) {
            double ang = a * PI / 6;
            Line(t, 0, 0, int(15 * std::cos(ang)), int(15 * std::sin(ang)), c);
        }
        for (int r : {4, 8, 12}) {
            int prevX = r, prevY = 0;
            for (int a = 1; a <= 3; a++) {
                double ang = a * PI / 6;
                int x = int(r * std::cos(ang)), y = int(r * std::sin(ang));
                Line(t, prevX, prevY, x, y, 20);
                prevX = x;
                prevY = y;
            }
        }
        return t;
    }
    for (int a = 0; a < 8; a++) {
        double ang = a * PI / 4;
        Line(t, 8, 8, 8 + int(8 * std::cos(ang)), 8 + int(8 * std::sin(ang)), c);
    }
    for (int r : {3, 6}) {
        for (int a = 0; a < 8; a++) {
            double a0 = a * PI / 4, a1 = (a + 1) * PI / 4;
            Line(t, 8 + int(r * std::cos(a0)), 8 + int(r * std::sin(a0)), 8 + int(r * std::cos(a1)),
                 8 + int(r * std::sin(a1)), 20);
        }
    }
    return t;
}

Image CaveHole()
{
    Image t = Blank();
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            double d = std::hypot((x + 0.5 - 8) / 7.5, (y + 0.5 - 9) / 7);
            if (d < 1)
                t.at(x, y) = d < 0.6 ? 224 : d < 0.8 ? 175 : (Bayer(x, y) < 8 ? 174 : pal::CLEAR);
        }
    return t;
}

Image Sparkles(int seed, const Ramp &r)
{
    Image t = Blank();
    Rng rng(seed);
    for (int i = 0; i < 4; i++) {
        int x = 2 + rng.range(12), y = 2 + rng.range(12);
        t.set(x, y, pal::WHITE);
        if (i % 2 == 0) {
            t.set(x - 1, y, r[1]);
            t.set(x + 1, y, r[1]);
            t.set(x, y - 1, r[1]);
            t.set(x, y + 1, r[1]);
        }
    }
    return t;
}

Image Window(bool arched)
{
    Image t = Blank();
    int x0 = arched ? 2 : 5, x1 = arched ? 13 : 10, top = arched ? 1 : 4, bottom = arched ? 15 : 12;
    for (int y = top; y <= bottom; y++)
        for (int x = x0; x <= x1; x++) {
            double cx = (x0 + x1) / 2.0 + 0.5, r = (x1 - x0 + 1) / 2.0;
            if (arched && y < top + r) {
                double dy = top + r - (y + 0.5);
                if (std::hypot(x + 0.5 - cx, dy) > r)
                    continue;
            }
            t.at(x, y) = Stone[2];
        }
    // The opening: night sky with stars, inside the stone frame.
    Image sky = t;
    Image inner = Blank();
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            bool in = t.at(x, y) != pal::CLEAR;
            bool edge = !in || !t.inside(x - 1, y) || t.at(x - 1, y) == pal::CLEAR || !t.inside(x + 1, y) ||
                        t.at(x + 1, y) == pal::CLEAR || !t.inside(x, y - 1) || t.at(x, y - 1) == pal::CLEAR ||
                        (y == bottom);
            if (in && !edge)
                inner.at(x, y) = y < 6 ? 159 : y < 11 ? 158 : 157;
        }
    Paste(t, inner, 0, 0);
    t.set(6, 5, 15);
    t.set(10, 8, 137);
    if (arched) {
        t.set(8, 11, 137);
        Fill(t, 7, 2, 2, 13, Stone[4]);  // a mullion
        Fill(t, 3, 9, 10, 1, Stone[4]);
    } else {
        for (int x : {6, 8})
            Fill(t, x, 5, 1, 7, Steel[4]);
    }
    Edge(t, Stone[5]);
    return t;
}

Image Banner(bool top)
{
    Image t = Blank();
    if (top) {
        Fill(t, 1, 1, 14, 2, 72);
        Fill(t, 1, 1, 14, 1, 68);
        t.set(1, 2, 74);
        t.set(14, 2, 74);
    }
    int y0 = top ? 3 : 0, y1 = top ? 16 : 12;
    for (int y = y0; y < y1; y++)
        for (int x = 3; x < 13; x++) {
            if (!top && y >= 8 && std::abs(x - 7.5) < (y - 7))
                continue;  // the swallow-tail cut
            uint8_t c = x == 3 || x == 12 ? 72 : Shade(Red, 0.2 + 0.05 * (x - 2) + ((x % 4 == 0) ? 0.25 : 0), x, y);
            t.at(x, y) = c;
        }
    if (top) {
        // The cyclops eye on the banner.
        Fill(t, 5, 7, 6, 4, 16);
        Fill(t, 6, 6, 4, 6, 16);
        Fill(t, 7, 8, 2, 2, 224);
    }
    Edge(t, 45);
    return t;
}

Image Chain()
{
    Image t = Blank();
    // Links alternate: one seen flat (a ring), the next edge-on (a bar).
    for (int y = 0; y < 16; y += 8) {
        Fill(t, 5, y + 1, 6, 6, Steel[1]);
        Fill(t, 6, y + 2, 4, 4, pal::CLEAR);
        Fill(t, 10, y + 1, 1, 6, Steel[3]);
        Fill(t, 5, y + 6, 6, 1, Steel[3]);
        Fill(t, 7, y + 6, 2, 4, Steel[2]);
        t.set(7, y + 7, Steel[0]);
    }
    Edge(t, 29);
    return t;
}

Image Pipe(int kind)  // 0 horizontal, 1 vertical, 2 elbow from the left down
{
    Image t = Blank();
    const Ramp &r = {115, 120, 122, 124, 126, 127};
    auto across = [&](int x, int y, int i) { t.set(x, y, Shade(r, 0.1 + i * 0.15, x, y)); };
    if (kind == 0 || kind == 2)
        for (int x = 0; x < (kind == 2 ? 10 : 16); x++)
            for (int i = 0; i < 6; i++)
                across(x, 5 + i, i);
    if (kind == 1 || kind == 2)
        for (int y = (kind == 2 ? 5 : 0); y < 16; y++)
            for (int i = 0; i < 6; i++)
                across(5 + i, y, i);
    if (kind == 2)
        for (int y = 5; y < 11; y++)
            for (int x = 5; x < 11; x++)
                if (std::hypot(x - 5, y - 5) < 6.5)
                    across(x, y, std::max(0, int(std::hypot(x - 5, y - 5))));
    // Flanges.
    if (kind == 0)
        Fill(t, 12, 4, 2, 8, r[3]);
    if (kind == 1)
        Fill(t, 4, 12, 8, 2, r[3]);
    Edge(t, r.back());
    return t;
}

Image WarningLight()
{
    Image t = Blank();
    Fill(t, 4, 11, 8, 3, Steel[3]);
    Fill(t, 4, 11, 8, 1, Steel[1]);
    for (int y = 4; y < 11; y++)
        for (int x = 5; x < 11; x++)
            if (std::hypot(x + 0.5 - 8, (y + 0.5 - 10) * 1.1) < 6)
                t.at(x, y) = Shade(Red, 0.1 + 0.15 * (x - 5) + 0.05 * (y - 4), x, y);
    t.set(6, 6, pal::WHITE);
    Fill(t, 5, 8, 6, 1, 44);
    Edge(t, 29);
    // Its glow on the wall.
    for (auto &d : std::vector<std::pair<int, int>>{{2, 4}, {13, 4}, {1, 7}, {14, 7}, {8, 1}})
        t.set(d.first, d.second, 51);
    return t;
}

Image Emblem()
{
    Image t = Blank();
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            double d = std::hypot(x + 0.5 - 8, y + 0.5 - 8);
            if (d < 7.5)
                t.at(x, y) = d > 6.3 ? (x + y < 15 ? 68 : 74) : Shade(Red, 0.3 + d * 0.05, x, y);
        }
    for (int y = 5; y < 11; y++)
        for (int x = 3; x < 13; x++)
            if (std::fabs(y + 0.5 - 8) < 3 * std::sqrt(std::max(0.0, 1 - std::pow((x + 0.5 - 8) / 5, 2))))
                t.at(x, y) = 16;
    Fill(t, 7, 6, 2, 4, 224);
    t.set(7, 6, 15);
    return t;
}

Image Grate()
{
    Image t = Blank();
    Fill(t, 1, 1, 14, 14, Steel[4]);
    for (int y = 2; y < 14; y++)
        for (int x = 2; x < 14; x++)
            t.at(x, y) = ((x % 3) == 2) ? Steel[3] : pal::CLEAR;
    Fill(t, 1, 1, 14, 1, Steel[2]);
    Fill(t, 1, 7, 14, 1, Steel[3]);
    return t;
}

Image Cables()
{
    Image t = Blank();
    const uint8_t colours[3] = {36, 130, 70};
    for (int k = 0; k < 3; k++)
        for (int x = 0; x < 16; x++) {
            double sag = 3 + 2.5 * k + 4 * std::sin(PI * x / 15.0);
            t.set(x, int(sag), colours[k]);
            t.set(x, int(sag) + 1, k == 0 ? 40 : k == 1 ? 134 : 74);
        }
    Fill(t, 0, 0, 16, 2, Steel[3]);
    return t;
}

Image Barrel()
{
    Image t = Blank();
    for (int y = 3; y < 16; y++)
        for (int x = 3; x < 13; x++) {
            double bulge = 5 - std::pow((y - 9.5) / 6.5, 2) * 1.5;
            if (std::fabs(x + 0.5 - 8) > bulge)
                continue;
            double u = (x + 0.5 - 8 + bulge) / (2 * bulge);
            t.at(x, y) = Shade({213, 215, 217, 219, 221}, 0.1 + u * 0.8, x, y);
        }
    for (int y : {5, 12})
        for (int x = 3; x < 13; x++)
            if (t.at(x, y) != pal::CLEAR)
                t.at(x, y) = x < 6 ? Steel[3] : Steel[4];
    Edge(t, 222);
    return t;
}

Image Crate()
{
    // Set back in the wall: small, dark, and drawn in the background's
    // muted browns so that nobody takes it for a step.
    Image t = Blank();
    Fill(t, 3, 5, 11, 11, 219);
    Fill(t, 4, 6, 9, 9, 218);
    Line(t, 4, 6, 12, 14, 220);
    Line(t, 4, 14, 12, 6, 220);
    Fill(t, 3, 5, 11, 1, 217);
    Edge(t, 222);
    return t;
}

Image Pillar(int part)  // 0 top, 1 middle, 2 base
{
    Image t = Blank();
    for (int y = 0; y < 16; y++) {
        int half = 3;
        if (part == 0 && y < 5)
            half = y < 2 ? 6 : 5;
        if (part == 2 && y > 10)
            half = y > 13 ? 6 : 5;
        for (int x = 8 - half; x < 8 + half; x++) {
            double u = (x - (8 - half)) / (2.0 * half);
            t.at(x, y) = Shade({22, 24, 26, 27, 28}, 0.2 + 0.7 * u, x, y);
        }
    }
    if (part == 1)
        for (int x = 6; x < 10; x += 2)
            Fill(t, x, 0, 1, 16, 28);
    Edge(t, 29);
    return t;
}

Image Hazard()
{
    Image t = Blank();
    for (int y = 5; y < 11; y++)
        for (int x = 0; x < 16; x++)
            t.at(x, y) = ((x + y) / 3) % 2 ? 224 : 70;
    Fill(t, 0, 4, 16, 1, 27);
    Fill(t, 0, 11, 16, 1, 27);
    return t;
}

Image Gear()
{
    Image t = Blank();
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            double dx = x + 0.5 - 8, dy = y + 0.5 - 8;
            double d = std::hypot(dx, dy), a = std::atan2(dy, dx);
            double outer = std::cos(a * 8) > 0.2 ? 7.5 : 5.8;
            if (d < outer && d > 2)
                t.at(x, y) = Shade(Steel, 0.3 + 0.25 * (dx + dy) / 8 + (d < 4 ? 0.2 : 0), x, y);
        }
    Edge(t, 29);
    return t;
}

Image Vent()
{
    Image t = Blank();
    Fill(t, 2, 3, 12, 10, Steel[3]);
    for (int y = 5; y < 12; y += 3) {
        Fill(t, 4, y, 8, 1, 224);
        Fill(t, 4, y + 1, 8, 1, Steel[2]);
    }
    Fill(t, 2, 3, 12, 1, Steel[1]);
    Edge(t, 29);
    return t;
}

Image Crack()
{
    Image t = Blank();
    const int pts[][2] = {{7, 0}, {6, 4}, {9, 8}, {7, 12}, {9, 15}};
    for (int i = 0; i < 4; i++) {
        Line(t, pts[i][0] + 1, pts[i][1], pts[i + 1][0] + 1, pts[i + 1][1], 24);  // lit lip
        Line(t, pts[i][0], pts[i][1], pts[i + 1][0], pts[i + 1][1], 224);
    }
    Line(t, 6, 4, 3, 6, 224);
    Line(t, 9, 8, 12, 9, 224);
    Line(t, 6, 5, 3, 7, 24);
    t.set(7, 1, 22);
    t.set(10, 8, 22);
    return t;
}

Image WaterSurface()
{
    Image t = Blank();
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            int crest = 4 + int(std::lround(1.2 * std::sin(x * PI / 4)));
            if (y < crest)
                continue;
            if (y == crest)
                t.at(x, y) = 113;
            else if (y == crest + 1)
                t.at(x, y) = 130;
            else if ((x + y) % 2 == 0)
                t.at(x, y) = y < 10 ? 132 : 134;
        }
    return t;
}

Image WaterBody()
{
    Image t = Blank();
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++)
            if ((x + y) % 2 == 0)
                t.at(x, y) = (x * 3 + y * 5) % 13 == 0 ? 130 : 134;
    return t;
}

Image Lava()
{
    Image t = Blank();
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            int crest = 9 + int(std::lround(1.3 * std::sin(x * PI / 5 + 1)));
            if (y > crest)
                t.at(x, y) = Shade({68, 58, 59, 60, 37, 40}, 0.15 + (y - crest) * 0.12, x, y);
            else if (y == crest)
                t.at(x, y) = 64;
        }
    for (auto &d : std::vector<std::pair<int, int>>{{3, 5}, {11, 3}, {7, 6}})
        t.set(d.first, d.second, 58);
    return t;
}

Image Rope()
{
    Image t = Blank();
    for (int y = 0; y < 16; y++) {
        t.at(7, y) = (y % 4 < 2) ? 210 : 214;
        t.at(8, y) = (y % 4 < 2) ? 214 : 210;
    }
    Edge(t, 218);
    return t;
}

Image ChainLink()
{
    Image t = Blank();
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++)
            if ((x + y) % 8 == 0 || (x - y + 16) % 8 == 0)
                t.at(x, y) = (x + y) % 8 == 0 ? Steel[1] : Steel[2];
    return t;
}

Image Cloud()
{
    Image t = Blank();
    Disc(t, 5, 10, 3.6, 16);
    Disc(t, 9, 8, 4.4, 16);
    Disc(t, 12.5, 10.5, 3, 16);
    Fill(t, 2, 10, 13, 3, 16);
    for (int x = 0; x < 16; x++)
        for (int y = 9; y < 16; y++)
            if (t.at(x, y) != pal::CLEAR && (y >= 12 || (y >= 11 && x > 10)))
                t.at(x, y) = 19;
    t.set(8, 5, 15);
    t.set(7, 6, 15);
    Edge(t, 22);
    return t;
}

Image Star()
{
    Image t = Blank();
    t.set(8, 8, 15);
    for (int d = 1; d <= 3; d++) {
        uint8_t c = d == 1 ? 64 : d == 2 ? 66 : 70;
        t.set(8 - d, 8, c);
        t.set(8 + d, 8, c);
        t.set(8, 8 - d, c);
        t.set(8, 8 + d, c);
    }
    t.set(7, 7, 66);
    t.set(9, 7, 66);
    t.set(7, 9, 66);
    t.set(9, 9, 66);
    return t;
}

Image Pebbles()
{
    Image t = Blank();
    const double stones[][3] = {{3, 14, 2}, {8, 14.5, 1.5}, {12, 13.8, 2.4}, {6, 15, 1.2}};
    for (auto &s : stones)
        for (int y = 0; y < 16; y++)
            for (int x = 0; x < 16; x++) {
                double dx = (x + 0.5 - s[0]) / s[2], dy = (y + 0.5 - s[1]) / (s[2] * 0.8);
                if (dx * dx + dy * dy < 1)
                    t.at(x, y) = Shade(Stone, 0.3 + 0.4 * dx + 0.4 * dy, x, y);
            }
    Edge(t, 29);
    return t;
}

Image Log()
{
    Image t = Blank();
    for (int y = 9; y < 16; y++)
        for (int x = 0; x < 14; x++)
            t.at(x, y) = Shade(Bark, 0.1 + (y - 9) * 0.12 + ((x * 5 + y) % 7 == 0) * 0.2, x, y);
    // The cut end shows its rings.
    for (int y = 9; y < 16; y++)
        for (int x = 11; x < 16; x++) {
            double d = std::hypot(x + 0.5 - 13, y + 0.5 - 12.5);
            if (d < 3.5)
                t.at(x, y) = d < 1 ? 215 : int(d) % 2 ? 209 : 212;
        }
    Edge(t, Bark[4]);
    return t;
}

Image Stump()
{
    Image t = Blank();
    for (int y = 7; y < 16; y++) {
        int half = y > 13 ? 6 : 4;
        for (int x = 8 - half; x < 8 + half; x++)
            t.at(x, y) = Shade(Bark, 0.1 + 0.09 * (x - 8 + half) + ((x * 3 + y) % 5 == 0) * 0.2, x, y);
    }
    Fill(t, 4, 7, 8, 2, 209);
    Fill(t, 6, 7, 4, 1, 212);
    Blades(t, 72, 4, 4);
    Edge(t, Bark[4]);
    return t;
}

Image Vein()
{
    Image t = Blank();
    Line(t, 0, 3, 6, 8, 121);
    Line(t, 6, 8, 15, 11, 121);
    Line(t, 6, 8, 8, 15, 123);
    Line(t, 0, 2, 6, 7, 116);
    Line(t, 6, 7, 15, 10, 116);
    t.set(6, 7, pal::WHITE);
    t.set(12, 9, pal::WHITE);
    return t;
}

Image Fungus()
{
    Image t = Blank();
    const double shelves[][3] = {{5, 5, 4}, {10, 9, 3.5}, {6, 12, 3}};
    for (auto &s : shelves)
        for (int y = int(s[1]) - 2; y <= int(s[1]); y++)
            for (int x = int(s[0] - s[2]); x <= int(s[0] + s[2]); x++)
                if (std::hypot((x + 0.5 - s[0]) / s[2], (y + 0.5 - s[1]) / 2.5) < 1)
                    t.set(x, y, y == int(s[1]) ? 119 : 116);
    Edge(t, 124);
    t.set(3, 3, 113);
    t.set(9, 7, 113);
    return t;
}

Image Bookshelf()
{
    Image t = Blank();
    Fill(t, 2, 1, 12, 15, 219);
    for (int shelf : {1, 8}) {
        Fill(t, 3, shelf + 1, 10, 6, 222);
        int x = 3;
        const uint8_t books[] = {39, 134, 87, 62, 171, 40, 124, 214};
        for (int i = 0; x < 13; i++) {
            int w = 1 + (i * 7 + shelf) % 2;
            int h = 4 + (i * 5 + shelf) % 3;
            Fill(t, x, shelf + 7 - h, std::min(w, 13 - x), h, books[(i + shelf / 8 * 3) % 8]);
            x += w;
        }
        Fill(t, 2, shelf + 7, 12, 1, 217);
    }
    return t;
}


Image ExitSign()
{
    Image t = Blank();
    Fill(t, 0, 3, 16, 10, 104);
    Fill(t, 0, 3, 16, 1, 100);
    Fill(t, 0, 12, 16, 1, 108);
    // "EXIT" in 3x5 capitals.
    static const uint8_t glyphs[4][5] = {
        {7, 4, 6, 4, 7},  // E
        {5, 5, 2, 5, 5},  // X
        {7, 2, 2, 2, 7},  // I
        {7, 2, 2, 2, 2},  // T
    };
    for (int l = 0; l < 4; l++)
        for (int y = 0; y < 5; y++)
            for (int x = 0; x < 3; x++)
                if (glyphs[l][y] & (4 >> x))
                    t.set(1 + 4 * l + x, 5 + y, pal::WHITE);
    Edge(t, 110);
    return t;
}

}  // namespace

void BuildTiles(Pictures &out)
{
    PixMaps maps = LoadPixMaps("tiles.txt");
    std::vector<Image> tiles(90, Blank());
    auto map = [&](int code) { tiles[code] = maps.get(std::to_string(code)); };

    tiles[1] = GrassBlock();
    {
        Image g = Blank();
        Blades(g, 2, 9, 8);
        tiles[2] = g;
    }
    map(3);
    {
        Image b = Blank();
        Foliage(b, 8, 11.5, 7.5, 4.8, 4);
        Edge(b, Leaves[4]);
        tiles[4] = b;
    }
    tiles[5] = Trunk();
    for (int i = 0; i < 3; i++)
        tiles[6 + i] = Canopy(i);
    tiles[9] = Fence();
    tiles[10] = Signpost();
    tiles[11] = Mushroom(false);
    tiles[12] = Vine();
    tiles[13] = CaveBlock();
    tiles[14] = Stalactite(0);
    tiles[15] = Stalagmite();
    tiles[16] = Crystals(Blue, 1);
    tiles[17] = Crystals(Purple, -1);
    tiles[18] = Mushroom(true);
    tiles[19] = Moss();
    tiles[20] = Drip();
    map(21);
    tiles[22] = BeamV();
    tiles[23] = BeamH();
    map(24);
    tiles[25] = Rail();
    map(26);
    tiles[27] = Cobweb(false);
    tiles[28] = CaveHole();
    tiles[29] = Sparkles(29, Cyan);
    map(30);
    tiles[31] = Window(true);
    tiles[32] = Banner(true);
    tiles[33] = Banner(false);
    tiles[34] = Chain();
    for (int i = 0; i < 3; i++)
        tiles[35 + i] = Pipe(i);
    tiles[38] = WarningLight();
    map(39);
    tiles[40] = Emblem();
    tiles[41] = Grate();
    tiles[42] = Cables();
    tiles[43] = Barrel();
    tiles[44] = Crate();
    map(45);
    for (int i = 0; i < 3; i++)
        tiles[46 + i] = Pillar(i);
    tiles[49] = Hazard();
    map(50);
    map(51);
    tiles[52] = Gear();
    tiles[53] = Vent();
    tiles[54] = KeepBlock();
    tiles[55] = Window(false);
    tiles[56] = Crack();
    tiles[57] = Girder();
    for (int i = 0; i < 3; i++) {
        Image s = Plate(Wood);
        ArrowOn(s, i == 0 ? 2 : i == 1 ? 0 : 1);
        Edge(s, Wood[5]);
        tiles[58 + i] = s;
    }
    tiles[61] = WaterSurface();
    tiles[62] = WaterBody();
    tiles[63] = Lava();
    tiles[64] = Rope();
    tiles[65] = ChainLink();
    {
        Image g = Blank();
        Blades(g, 66, 12, 10);
        tiles[66] = g;
    }
    map(67);
    tiles[68] = Cloud();
    tiles[69] = Star();
    tiles[70] = Pebbles();
    tiles[71] = Log();
    tiles[72] = Stump();
    map(73);
    tiles[74] = Vein();
    tiles[75] = Stalactite(1);
    tiles[76] = Fungus();
    tiles[77] = Bookshelf();
    map(78);
    for (int code = 79; code <= 86; code++)
        map(code);
    tiles[87] = ExitSign();
    map(88);
    tiles[89] = Cobweb(true);

    out["tiles.bmp"] = Strip(tiles);
}
