// Bitmap font text. Every character, a space or a control code included, is
// one blit of its own glyph; nothing wraps, nothing is measured.

#include "video/text.h"

#include "video/art.h"
#include "video/blit.h"

SDL_Rect GlyphRects[256];
SDL_Rect GlyphDestRects[256];

void DrawText(SDL_Surface *surface, int x, int y, const char *text)
{
    int offset = 0;
    for (const unsigned char *p = (const unsigned char *)text; *p; p++) {
        SDL_Rect &dest = GlyphDestRects[*p];
        dest.x = (Sint16)(x + offset);
        dest.y = (Sint16)y;
        Blit(FontSheet, &GlyphRects[*p], surface, &dest);
        offset += 8;
    }
}
