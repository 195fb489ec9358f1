// Drawing primitives and the text pixel map reader.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "art.h"

std::string assetDir = "assets/art";

void Fill(Image &img, int x, int y, int w, int h, uint8_t c)
{
    for (int j = y; j < y + h; j++)
        for (int i = x; i < x + w; i++)
            img.set(i, j, c);
}

void Line(Image &img, int x0, int y0, int x1, int y1, uint8_t c)
{
    int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        img.set(x0, y0, c);
        if (x0 == x1 && y0 == y1)
            break;
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

// Pixel centres are at +0.5, so a disc of radius r around (cx, cy) covers
// the pixels whose centres lie inside it.
void Disc(Image &img, double cx, double cy, double r, uint8_t c)
{
    for (int y = int(std::floor(cy - r)); y <= int(std::ceil(cy + r)); y++)
        for (int x = int(std::floor(cx - r)); x <= int(std::ceil(cx + r)); x++) {
            double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            if (dx * dx + dy * dy <= r * r)
                img.set(x, y, c);
        }
}

void Thick(Image &img, double x0, double y0, double x1, double y1, double r, uint8_t c)
{
    double len = std::hypot(x1 - x0, y1 - y0);
    int steps = int(len * 4) + 1;
    for (int i = 0; i <= steps; i++) {
        double t = double(i) / steps;
        Disc(img, x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, r, c);
    }
}

void Paste(Image &dst, const Image &src, int x, int y)
{
    for (int j = 0; j < src.h; j++)
        for (int i = 0; i < src.w; i++)
            if (src.at(i, j) != pal::CLEAR)
                dst.set(x + i, y + j, src.at(i, j));
}

Image Crop(const Image &src, int x, int y, int w, int h)
{
    Image out(w, h, pal::CLEAR);
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++)
            if (src.inside(x + i, y + j))
                out.at(i, j) = src.at(x + i, y + j);
    return out;
}


Image Strip(const std::vector<Image> &cells)
{
    Image sheet(int(cells.size()) * cells[0].w, cells[0].h, pal::CLEAR);
    for (size_t i = 0; i < cells.size(); i++)
        Paste(sheet, cells[i], int(i) * cells[0].w, 0);
    return sheet;
}

void Outline(Image &img, uint8_t c, bool diagonal)
{
    Image src = img;
    auto solid = [&](int x, int y) {
        return src.inside(x, y) && src.at(x, y) != pal::CLEAR && src.at(x, y) != c;
    };
    for (int y = 0; y < img.h; y++)
        for (int x = 0; x < img.w; x++) {
            if (src.at(x, y) != pal::CLEAR)
                continue;
            bool near = solid(x - 1, y) || solid(x + 1, y) || solid(x, y - 1) || solid(x, y + 1);
            if (diagonal)
                near = near || solid(x - 1, y - 1) || solid(x + 1, y - 1) || solid(x - 1, y + 1) ||
                       solid(x + 1, y + 1);
            if (near)
                img.at(x, y) = c;
        }
}

void Recolour(Image &img, uint8_t from, uint8_t to)
{
    for (uint8_t &p : img.px)
        if (p == from)
            p = to;
}

int Bayer(int x, int y)
{
    static const int m[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return m[y & 3][x & 3];
}

uint8_t Dither(const std::vector<uint8_t> &ramp, double t, int x, int y)
{
    if (t < 0)
        t = 0;
    if (t > 1)
        t = 1;
    double f = t * (ramp.size() - 1);
    int i = int(f);
    double frac = f - i;
    if (i >= int(ramp.size()) - 1)
        return ramp.back();
    return (frac * 16 > Bayer(x, y) + 0.5) ? ramp[i + 1] : ramp[i];
}

Image Scale2x(const Image &src)
{
    Image out(src.w * 2, src.h * 2);
    auto px = [&](int x, int y) {
        x = x < 0 ? 0 : x >= src.w ? src.w - 1 : x;
        y = y < 0 ? 0 : y >= src.h ? src.h - 1 : y;
        return src.at(x, y);
    };
    for (int y = 0; y < src.h; y++)
        for (int x = 0; x < src.w; x++) {
            uint8_t p = px(x, y), a = px(x, y - 1), b = px(x + 1, y), c = px(x - 1, y), d = px(x, y + 1);
            uint8_t e0 = p, e1 = p, e2 = p, e3 = p;
            if (c == a && c != d && a != b)
                e0 = a;
            if (a == b && a != c && b != d)
                e1 = b;
            if (d == c && d != b && c != a)
                e2 = c;
            if (b == d && b != a && d != c)
                e3 = d;
            out.at(2 * x, 2 * y) = e0;
            out.at(2 * x + 1, 2 * y) = e1;
            out.at(2 * x, 2 * y + 1) = e2;
            out.at(2 * x + 1, 2 * y + 1) = e3;
        }
    return out;
}

const Image &PixMaps::get(const std::string &name) const
{
    auto it = sprites.find(name);
    if (it == sprites.end()) {
        fprintf(stderr, "build_art: no sprite named %s\n", name.c_str());
        exit(1);
    }
    return it->second;
}

static void MapFault(const std::string &path, int line, const std::string &why)
{
    fprintf(stderr, "build_art: %s:%d: %s\n", path.c_str(), line, why.c_str());
    exit(1);
}

PixMaps LoadPixMaps(const std::string &name)
{
    std::string path = assetDir + "/" + name;
    std::ifstream in(path);
    if (!in)
        MapFault(path, 0, "cannot open it");
    PixMaps maps;
    int legend[256];
    for (int &l : legend)
        l = -1;
    legend[uint8_t('.')] = pal::CLEAR;
    std::string line, current;
    std::vector<std::string> rows;
    int lineNo = 0;
    auto finish = [&]() {
        if (current.empty())
            return;
        if (rows.empty())
            MapFault(path, lineNo, "sprite " + current + " has no rows");
        Image img(int(rows[0].size()), int(rows.size()), pal::CLEAR);
        for (int y = 0; y < img.h; y++) {
            if (rows[y].size() != rows[0].size())
                MapFault(path, lineNo, "rows of " + current + " differ in length");
            for (int x = 0; x < img.w; x++) {
                int c = legend[uint8_t(rows[y][x])];
                if (c < 0)
                    MapFault(path, lineNo, std::string("colour '") + rows[y][x] + "' is not in the legend");
                img.at(x, y) = uint8_t(c);
            }
        }
        maps.sprites[current] = img;
        current.clear();
        rows.clear();
    };
    while (std::getline(in, line)) {
        lineNo++;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '#')
            continue;
        if (line.rfind("@ ", 0) == 0) {
            std::istringstream ls(line.substr(2));
            char c;
            int index;
            if (!(ls >> c >> index) || index < 0 || index > 255)
                MapFault(path, lineNo, "a legend line is \"@ c index\"");
            legend[uint8_t(c)] = index;
        } else if (line.rfind("sprite ", 0) == 0) {
            finish();
            current = line.substr(7);
        } else if (line.find_first_not_of(' ') == std::string::npos) {
            finish();
        } else if (!current.empty()) {
            rows.push_back(line);
        } else {
            MapFault(path, lineNo, "a row outside any sprite");
        }
    }
    finish();
    return maps;
}
