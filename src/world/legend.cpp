#include "world/legend.h"

const LegendEntry Legend[LEGEND_ENTRIES] = {
    {0, '.', 0, "open air"},
    {0, '=', 57, "riveted girder (solid)"},
    {0, 'o', 200, "Krugerrand"},
    {0, 'k', 201, "Green Key"},
    {0, '+', 202, "Extra Health"},
    {0, 'X', 203, "Exit Level"},
    {0, 't', 204, "Soft Toy"},
    {0, 'd', 205, "SuperDawg(tm)"},
    {0, 'c', 206, "Delicious Dessert"},
    {0, 'j', 207, "Retro Joypad"},
    {0, 'E', 87, "EXIT sign"},
    {0, '!', 88, "danger skull sign"},
    {0, '^', 58, "arrow sign up"},
    {0, '>', 59, "arrow sign right"},
    {0, '<', 60, "arrow sign left"},
    {0, '~', 61, "water surface"},
    {0, 'w', 62, "water body"},
    {0, 'v', 63, "lava glow surface"},
    {0, 'r', 64, "rope"},
    {0, 'F', 65, "chain-link fence"},
    {0, 'C', 68, "small cloud"},
    {0, '*', 69, "star"},
    {0, 'p', 70, "pebbles"},
    {0, 'W', 89, "corner spider web"},
    {1, '#', 1, "grass-topped earth block (solid)"},
    {1, '"', 2, "grass tuft"},
    {1, 'f', 3, "flowers"},
    {1, 'b', 4, "small bush"},
    {1, '|', 5, "tree trunk"},
    {1, '[', 6, "tree canopy, left"},
    {1, '-', 7, "tree canopy, middle"},
    {1, ']', 8, "tree canopy, right"},
    {1, 'h', 9, "wooden fence"},
    {1, '}', 10, "signpost pointing right"},
    {1, 'm', 11, "mushroom"},
    {1, ';', 12, "hanging vine"},
    {1, ',', 66, "grass tuft, second kind"},
    {1, '\'', 67, "flowers, second kind"},
    {1, 'L', 71, "lying log"},
    {1, 's', 72, "tree stump"},
    {1, 'n', 73, "bird's nest"},
    {2, '#', 13, "cave rock (solid)"},
    {2, 'V', 14, "stalactite"},
    {2, 'A', 15, "stalagmite"},
    {2, 'b', 16, "blue crystal cluster"},
    {2, 'u', 17, "purple crystal cluster"},
    {2, 'm', 18, "glowing mushroom"},
    {2, ';', 19, "cave moss"},
    {2, ':', 20, "water drip"},
    {2, 'i', 21, "wall torch"},
    {2, '|', 22, "wooden support beam"},
    {2, '-', 23, "support beam, top"},
    {2, 'l', 24, "lantern"},
    {2, '_', 25, "mine rail"},
    {2, 'z', 26, "skull and bones"},
    {2, '%', 27, "cobweb"},
    {2, '@', 28, "dark cave hole"},
    {2, '\'', 29, "crystal sparkle"},
    {2, 'x', 30, "bones"},
    {2, 'y', 74, "crystal vein"},
    {2, ',', 75, "small stalactite"},
    {2, 'g', 76, "glowing fungus"},
    {3, '#', 54, "fortress stone brick (solid)"},
    {3, 'a', 31, "arched window with night sky"},
    {3, 'B', 32, "red banner, top"},
    {3, 'b', 33, "red banner, bottom"},
    {3, ';', 34, "chain"},
    {3, '-', 35, "pipe, horizontal"},
    {3, '|', 36, "pipe, vertical"},
    {3, 'L', 37, "pipe elbow"},
    {3, 'l', 38, "warning light"},
    {3, 'K', 39, "computer console"},
    {3, 'e', 40, "cyclops-eye emblem"},
    {3, 'G', 41, "background grate"},
    {3, '`', 42, "cable bundle"},
    {3, 'u', 43, "barrel"},
    {3, 'x', 44, "crate"},
    {3, 'i', 45, "torch sconce"},
    {3, 'T', 46, "pillar top"},
    {3, 'I', 47, "pillar middle"},
    {3, '_', 48, "pillar base"},
    {3, 'z', 49, "hazard stripes"},
    {3, 'M', 50, "monitor screen"},
    {3, 'f', 51, "bubbling flask"},
    {3, 'g', 52, "gear"},
    {3, 'V', 53, "vent"},
    {3, 'n', 55, "small window"},
    {3, '%', 56, "wall crack"},
    {3, 'Q', 77, "bookshelf"},
    {3, '\'', 78, "candle"},
};

Sint32 LegendCode(int level, char character)
{
    Sint32 code = -1;
    for (const LegendEntry &e : Legend)
        if (e.character == character && (e.scope == level || (e.scope == 0 && code < 0)))
            code = e.code;
    return code;
}

char LegendCharacter(int level, Sint32 code)
{
    char shared = 0;
    for (const LegendEntry &e : Legend) {
        if (e.code != code)
            continue;
        if (e.scope == level && LegendCode(level, e.character) == code)
            return e.character;
        if (e.scope == 0 && !shared && LegendCode(level, e.character) == code)
            shared = e.character;
    }
    return shared;
}
