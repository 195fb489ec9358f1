// The 8x8 font: glyph shapes from assets/art/font.txt, shaded gold and
// outlined in black so that text reads on black, on the menu's grey noise
// and on the HUD panel alike.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "art.h"

// Body colour of each glyph row: pale at the top, deep gold at the foot.
static const uint8_t BodyRamp[8] = {15, 64, 65, 66, 67, 68, 69, 71};

static void FontFault(int line, const std::string &why)
{
    fprintf(stderr, "build_art: %s/font.txt:%d: %s\n", assetDir.c_str(), line, why.c_str());
    exit(1);
}

static GlyphShapes ReadShapes()
{
    GlyphShapes g = {};
    std::ifstream in(assetDir + "/font.txt");
    if (!in)
        FontFault(0, "cannot open it");
    std::string line, chars;
    int row = -1, lineNo = 0;
    while (std::getline(in, line)) {
        lineNo++;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line == "#" || line.rfind("# ", 0) == 0)
            continue;  // comments; a glyph row never has a blank second
        if (line.rfind("chars ", 0) == 0) {
            chars = line.substr(6);
            if (chars == "space")
                chars = " ";
            row = 0;
            continue;
        }
        if (row < 0 || row > 7)
            FontFault(lineNo, "a glyph row outside a band of eight");
        for (size_t i = 0; i < chars.size(); i++) {
            size_t at = i * 7;
            if (at + 6 > line.size())
                FontFault(lineNo, "row too short for its characters");
            uint8_t bits = 0;
            for (int x = 0; x < 6; x++)
                if (line[at + x] == '#')
                    bits |= uint8_t(0x80 >> (x + 1));  // field column x is cell column x + 1
            g.rows[uint8_t(chars[i])][row] = bits;
        }
        row++;
    }
    // The tilde underlines the help pages' titles: a wave that runs on from
    // one cell into the next.
    const uint8_t wave[8] = {0, 0, 0, 0x70, 0x89, 0x06, 0, 0};
    for (int r = 0; r < 8; r++)
        g.rows[uint8_t('~')][r] = wave[r];
    return g;
}

const GlyphShapes &FontShapes()
{
    static GlyphShapes shapes = ReadShapes();
    return shapes;
}

static Image GlyphImage(int code)
{
    Image cell(8, 8, pal::CLEAR);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++)
            if (FontShapes().rows[code][y] & (0x80 >> x))
                cell.at(x, y) = BodyRamp[y];
    Outline(cell, pal::BLACK, true);
    return cell;
}

void DrawFontText(Image &img, int x, int y, const std::string &text)
{
    for (size_t i = 0; i < text.size(); i++)
        Paste(img, GlyphImage(uint8_t(text[i])), x + 8 * int(i), y);
}

void BuildFont(Pictures &out)
{
    Image sheet(256 * 8, 8, pal::CLEAR);
    for (int c = 0; c < 256; c++)
        Paste(sheet, GlyphImage(c), 8 * c, 0);
    out["font8x8.bmp"] = sheet;
}
