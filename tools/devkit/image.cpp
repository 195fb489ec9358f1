#include "image.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <zlib.h>

#include "video/video.h"

namespace {

void Put16(std::vector<uint8_t> &b, uint32_t v) { b.push_back(v & 0xff); b.push_back((v >> 8) & 0xff); }
void Put32(std::vector<uint8_t> &b, uint32_t v) { Put16(b, v & 0xffff); Put16(b, v >> 16); }
void Put32BE(std::vector<uint8_t> &b, uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8)
        b.push_back((v >> s) & 0xff);
}

void PngChunk(std::vector<uint8_t> &out, const char *type, const std::vector<uint8_t> &data)
{
    Put32BE(out, uint32_t(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, out.data() + start, uInt(out.size() - start));
    Put32BE(out, uint32_t(crc));
}

}  // namespace

Image Mirror(const Image &src)
{
    Image out(src.w, src.h);
    for (int y = 0; y < src.h; y++)
        for (int x = 0; x < src.w; x++)
            out.at(x, y) = src.at(src.w - 1 - x, y);
    return out;
}

std::vector<uint8_t> EncodeBmp8(const Image &img)
{
    const int stride = (img.w + 3) & ~3;
    const uint32_t offBits = 14 + 40 + 256 * 4;
    const uint32_t imageSize = uint32_t(stride) * img.h;
    std::vector<uint8_t> b;
    b.reserve(offBits + imageSize);
    b.push_back('B');
    b.push_back('M');
    Put32(b, offBits + imageSize);
    Put32(b, 0);
    Put32(b, offBits);
    Put32(b, 40);  // BITMAPINFOHEADER
    Put32(b, uint32_t(img.w));
    Put32(b, uint32_t(img.h));
    Put16(b, 1);
    Put16(b, 8);
    Put32(b, 0);  // BI_RGB
    Put32(b, imageSize);
    Put32(b, 2835);  // 72 dpi
    Put32(b, 2835);
    Put32(b, 256);
    Put32(b, 0);
    for (const SDL_Color &c : GamePalette) {
        b.push_back(c.b);
        b.push_back(c.g);
        b.push_back(c.r);
        b.push_back(0);
    }
    for (int y = img.h - 1; y >= 0; y--) {
        for (int x = 0; x < img.w; x++)
            b.push_back(img.at(x, y));
        for (int x = img.w; x < stride; x++)
            b.push_back(0);
    }
    return b;
}

std::vector<uint8_t> EncodePng(const Image &img, int scale)
{
    const int w = img.w * scale, h = img.h * scale;
    std::vector<uint8_t> raw;
    raw.reserve(size_t(w + 1) * h);
    for (int y = 0; y < h; y++) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < w; x++)
            raw.push_back(img.at(x / scale, y / scale));
    }
    uLongf zlen = compressBound(uLong(raw.size()));
    std::vector<uint8_t> z(zlen);
    compress2(z.data(), &zlen, raw.data(), uLong(raw.size()), 9);
    z.resize(zlen);

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};
    std::vector<uint8_t> ihdr;
    Put32BE(ihdr, uint32_t(w));
    Put32BE(ihdr, uint32_t(h));
    ihdr.insert(ihdr.end(), {8, 3, 0, 0, 0});  // 8-bit indexed
    PngChunk(out, "IHDR", ihdr);
    std::vector<uint8_t> plte;
    for (const SDL_Color &c : GamePalette)
        plte.insert(plte.end(), {c.r, c.g, c.b});
    PngChunk(out, "PLTE", plte);
    PngChunk(out, "IDAT", z);
    PngChunk(out, "IEND", {});
    return out;
}

bool WriteFile(const std::string &path, const std::vector<uint8_t> &bytes)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

std::vector<uint8_t> ReadFile(const std::string &path, bool *ok)
{
    std::vector<uint8_t> bytes;
    FILE *f = fopen(path.c_str(), "rb");
    if (ok)
        *ok = f != nullptr;
    if (!f)
        return bytes;
    uint8_t buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        bytes.insert(bytes.end(), buf, buf + n);
    fclose(f);
    return bytes;
}

bool WriteBmp8(const std::string &path, const Image &img) { return WriteFile(path, EncodeBmp8(img)); }
bool WritePng(const std::string &path, const Image &img, int scale) { return WriteFile(path, EncodePng(img, scale)); }

namespace {

uint32_t Get32BE(const uint8_t *p) { return uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

int Paeth(int a, int b, int c)
{
    int p = a + b - c, pa = abs(p - a), pb = abs(p - b), pc = abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

}  // namespace

Image DecodePng(const std::vector<uint8_t> &bytes)
{
    if (bytes.size() < 8 + 25 || memcmp(bytes.data(), "\x89PNG\r\n\x1a\n", 8) != 0)
        return {};
    int w = 0, h = 0;
    std::vector<uint8_t> z;
    for (size_t at = 8; at + 12 <= bytes.size();) {
        const uint32_t len = Get32BE(&bytes[at]);
        if (at + 12 + len > bytes.size())
            return {};
        const uint8_t *type = &bytes[at + 4], *data = &bytes[at + 8];
        if (!memcmp(type, "IHDR", 4)) {
            w = int(Get32BE(data));
            h = int(Get32BE(data + 4));
            if (data[8] != 8 || data[9] != 3 || data[12] != 0)
                return {};  // only 8-bit indexed, not interlaced
        } else if (!memcmp(type, "IDAT", 4)) {
            z.insert(z.end(), data, data + len);
        }
        at += 12 + len;
    }
    if (w <= 0 || h <= 0)
        return {};
    std::vector<uint8_t> raw(size_t(w + 1) * h);
    uLongf rawLen = uLongf(raw.size());
    if (uncompress(raw.data(), &rawLen, z.data(), uLong(z.size())) != Z_OK || rawLen != raw.size())
        return {};
    Image img(w, h);
    for (int y = 0; y < h; y++) {
        const uint8_t filter = raw[size_t(y) * (w + 1)];
        const uint8_t *line = &raw[size_t(y) * (w + 1) + 1];
        for (int x = 0; x < w; x++) {
            const int a = x ? img.at(x - 1, y) : 0, b = y ? img.at(x, y - 1) : 0;
            const int c = x && y ? img.at(x - 1, y - 1) : 0;
            const int pred = filter == 1 ? a : filter == 2 ? b : filter == 3 ? (a + b) / 2 : filter == 4 ? Paeth(a, b, c) : 0;
            img.at(x, y) = uint8_t(line[x] + pred);
        }
    }
    return img;
}

Image DecodeBmp8(const std::vector<uint8_t> &b)
{
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M')
        return {};
    auto u32 = [&](size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24; };
    const int w = int(u32(18)), h = int(u32(22));
    const uint32_t bits = b[28] | b[29] << 8, compression = u32(30), offset = u32(10);
    if (bits != 8 || compression != 0 || w <= 0 || h <= 0 || w > 4096 || h > 4096)
        return {};
    const size_t stride = size_t(w + 3) & ~size_t(3);
    if (b.size() < offset + stride * h)
        return {};
    Image img(w, h);
    for (int y = 0; y < h; y++)
        memcpy(&img.at(0, y), &b[offset + size_t(h - 1 - y) * stride], size_t(w));
    return img;
}
