#include "image.h"

#include <cstdio>
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
