// The desktop's icons (packaging/icons): rebuilt byte for byte by the art
// builder, each a whole-number enlargement of the 16- or 32-pixel drawing,
// the 32-pixel one the very icon the game gives its window.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "image.h"

namespace {

struct Size {
    int size, drawn, scale;
};
const Size SIZES[] = {{16, 16, 1}, {32, 32, 1}, {48, 16, 3}, {64, 32, 2}, {128, 32, 4}, {256, 32, 8}};

std::string Committed(int size)
{
    return std::string(KV_SOURCE_DIR) + "/packaging/icons/kestravale-" + std::to_string(size) + ".png";
}

Image Icon(int size) { return DecodePng(ReadFile(Committed(size))); }

}  // namespace

TEST(DesktopIcons, RebuildByteForByte)
{
    char dir[] = "/tmp/kvicons.XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string cmd = std::string(KV_TOOLS_DIR) + "/build_art --icons " + dir + " " + KV_SOURCE_DIR + "/assets/art";
    ASSERT_EQ(system(cmd.c_str()), 0) << cmd;
    for (const Size &s : SIZES) {
        std::string built = std::string(dir) + "/kestravale-" + std::to_string(s.size) + ".png";
        bool okBuilt = false, okCommitted = false;
        EXPECT_TRUE(ReadFile(built, &okBuilt) == ReadFile(Committed(s.size), &okCommitted))
            << s.size << " px differs from what its sources build: run build_art --icons packaging/icons";
        EXPECT_TRUE(okBuilt && okCommitted) << s.size;
        remove(built.c_str());
    }
    rmdir(dir);
}

TEST(DesktopIcons, EachSizeIsItsDrawingEnlargedPixelForPixel)
{
    const Image small = Icon(16), window = Icon(32);
    for (const Size &s : SIZES) {
        const Image icon = Icon(s.size);
        const Image &drawing = s.drawn == 16 ? small : window;
        ASSERT_EQ(icon.w, s.size);
        ASSERT_EQ(icon.h, s.size);
        int wrong = 0;
        for (int y = 0; y < s.size; y++)
            for (int x = 0; x < s.size; x++)
                wrong += icon.at(x, y) != drawing.at(x / s.scale, y / s.scale);
        EXPECT_EQ(wrong, 0) << s.size << " px is not the " << s.drawn << " px drawing times " << s.scale;
    }
}

TEST(DesktopIcons, TheDesktopShowsTheWindowsIconAndTheSmallOneAddsNoColour)
{
    const Image window = DecodeBmp8(ReadFile(std::string(KV_SOURCE_DIR) + "/data/icon.bmp"));
    const Image icon = Icon(32);
    ASSERT_EQ(window.w, 32);
    EXPECT_EQ(icon.px, window.px);
    // Redrawn at 16, not shrunk: no in-between colour appears that the
    // 32-pixel drawing does not have.
    std::set<uint8_t> colours(window.px.begin(), window.px.end());
    for (uint8_t p : Icon(16).px)
        EXPECT_TRUE(colours.count(p)) << "colour " << int(p);
}
