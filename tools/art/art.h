// The art builder's shared pieces: drawing on palette-index images, the
// text pixel maps under assets/art/, a fixed-seed random source, and one
// entry point per group of pictures.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "image.h"

// Palette indices the whole look is built from. Light comes from the top
// left; every sprite is outlined in black.
namespace pal {
constexpr uint8_t CLEAR = 96;   // the transparent green of the keyed sheets
constexpr uint8_t BLACK = 224;  // outlines (0 is black too, kept for fills)
constexpr uint8_t WHITE = 15;
// Greys from light to dark, 16 (efefef) .. 31 (232323).
constexpr uint8_t grey(int i) { return uint8_t(16 + i); }
}  // namespace pal

// Deterministic pseudo-random numbers: the same seed always gives the same
// pictures, whatever the C library does.
struct Rng {
    uint32_t s;
    explicit Rng(uint32_t seed) : s(seed * 2654435761u + 12345u) {}
    uint32_t next()
    {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return s;
    }
    int range(int n) { return int(next() % uint32_t(n)); }  // 0 .. n-1
    double unit() { return (next() & 0xffffff) / double(0x1000000); }
};

// Drawing primitives. All clip to the image.
void Fill(Image &img, int x, int y, int w, int h, uint8_t c);
void Line(Image &img, int x0, int y0, int x1, int y1, uint8_t c);
void Disc(Image &img, double cx, double cy, double r, uint8_t c);
void Thick(Image &img, double x0, double y0, double x1, double y1, double r, uint8_t c);
// Copies src onto dst at (x, y), skipping CLEAR pixels.
void Paste(Image &dst, const Image &src, int x, int y);
Image Crop(const Image &src, int x, int y, int w, int h);
// Lays equal cells side by side: a sheet as the game reads it.
Image Strip(const std::vector<Image> &cells);
// Every CLEAR pixel that touches a coloured one (4 or 8 neighbours)
// becomes c.
void Outline(Image &img, uint8_t c = pal::BLACK, bool diagonal = false);
// Replaces every pixel of colour from with to.
void Recolour(Image &img, uint8_t from, uint8_t to);
// Picks a ramp entry for a shade t in 0..1 with a 4x4 ordered dither at
// (x, y): ramps are listed light to dark.
uint8_t Dither(const std::vector<uint8_t> &ramp, double t, int x, int y);
int Bayer(int x, int y);  // 0..15

// Doubles an image with the Scale2x rule, which rounds diagonal steps
// instead of making blocks: big letters from the small font.
Image Scale2x(const Image &src);

// Text pixel maps. A map file holds a legend ("@ c index" lines) and
// sprites ("sprite NAME" followed by equal-length rows, ended by a blank
// line). '.' is always CLEAR.
struct PixMaps {
    std::map<std::string, Image> sprites;
    const Image &get(const std::string &name) const;
};
PixMaps LoadPixMaps(const std::string &path);

// Where the readable sources are (assets/art), set by main.
extern std::string assetDir;

// The font's glyph shapes, shared by the font sheet, the frame's labels
// and the logo: 1 where the glyph body is, for codes 0..255.
struct GlyphShapes {
    uint8_t rows[256][8];  // bit 7 = left column
};
const GlyphShapes &FontShapes();
// Draws text in the game font's look (body ramp and black outline).
void DrawFontText(Image &img, int x, int y, const std::string &text);

// The blaster, pointing right, as the gun sheet holds it (32x16).
Image GunSprite();
// The heroine's head map, for the icon.
const Image &HeroineHead();

// The game's icon drawn at 16 or 32 pixels (32 is the window's icon.bmp).
Image IconPicture(int size);
// The desktop's icon sizes: each is the 16- or 32-pixel drawing scaled up a
// whole number of times, pixel for pixel, so none is ever blurred.
struct DesktopIcon {
    int size, drawn, scale;
};
constexpr DesktopIcon DesktopIcons[] = {{16, 16, 1}, {32, 32, 1}, {48, 16, 3}, {64, 32, 2}, {128, 32, 4}, {256, 32, 8}};

// One builder per group; each returns its pictures by file name.
using Pictures = std::map<std::string, Image>;
void BuildFont(Pictures &out);
void BuildHeroine(Pictures &out);
void BuildEnemies(Pictures &out);
void BuildTiles(Pictures &out);
void BuildScreens(Pictures &out);
void BuildBackdrops(Pictures &out);
