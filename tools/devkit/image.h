// Images for the tools and tests: 8-bit palette indices in GamePalette,
// written as BMP (the game's art format) or PNG (for looking at).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Image {
    int w = 0, h = 0;
    std::vector<uint8_t> px;  // row-major palette indices, w*h bytes

    Image() = default;
    Image(int width, int height, uint8_t fill = 0) : w(width), h(height), px(size_t(width) * height, fill) {}
    uint8_t &at(int x, int y) { return px[size_t(y) * w + x]; }
    uint8_t at(int x, int y) const { return px[size_t(y) * w + x]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
    void set(int x, int y, uint8_t c) { if (inside(x, y)) at(x, y) = c; }
};

// The image flipped left to right: the left-facing poses of a sprite.
Image Mirror(const Image &src);

// An 8-bit BMP with GamePalette in all 256 entries, bottom-up, rows padded
// to four bytes. The same image always gives the same bytes.
std::vector<uint8_t> EncodeBmp8(const Image &img);
bool WriteBmp8(const std::string &path, const Image &img);

// An indexed PNG with GamePalette, scaled up by an integer factor.
std::vector<uint8_t> EncodePng(const Image &img, int scale = 1);
bool WritePng(const std::string &path, const Image &img, int scale = 1);

bool WriteFile(const std::string &path, const std::vector<uint8_t> &bytes);
std::vector<uint8_t> ReadFile(const std::string &path, bool *ok = nullptr);

// Reads back an 8-bit indexed PNG such as EncodePng writes (any filter);
// returns an empty image for anything else.
Image DecodePng(const std::vector<uint8_t> &bytes);

// Reads back the pixels of an uncompressed 8-bit BMP such as EncodeBmp8
// writes (palette indices, stored bottom row first); returns an empty image
// for anything else.
Image DecodeBmp8(const std::vector<uint8_t> &bytes);
