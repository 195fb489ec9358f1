// The custom level reader: any input is read whole or refused with a line
// saying why, and what it accepts is a map the game can play: a level 1 to
// 3, a title and an author of plain words, and every cell a code the
// level's legend gives for some character.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "world/custom.h"
#include "world/legend.h"

// The codes some character of a level's legend stands for, found once.
static bool InLegend(int level, Sint32 code)
{
    static bool known[4][256], made;
    if (!made) {
        for (int l = 1; l <= 3; l++)
            for (int c = 0; c < 256; c++) {
                const Sint32 k = LegendCode(l, (char)c);
                if (k >= 0 && k < 256)
                    known[l][k] = true;
            }
        made = true;
    }
    return code >= 0 && code < 256 && known[level][code];
}

static bool Plain(const char *text)
{
    const size_t n = strlen(text);
    if (n < 1 || n > CUSTOM_NAME_MAX)
        return false;
    for (size_t i = 0; i < n; i++)
        if (text[i] == '<' || text[i] == '>' || text[i] == '&' || text[i] == '"' || (unsigned char)text[i] < 32)
            return false;
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    char why[200];
    why[0] = 0;
    const int fault = ReadCustomLevel((const char *)data, size > (size_t)INT32_MAX ? INT32_MAX : (int)size, why,
                                      sizeof why);
    if (fault < 0) {
        if (!why[0] || customLevel.level != 0)
            abort();  // a refusal says why, and leaves no level
        return 0;
    }
    if (customLevel.level < 1 || customLevel.level > 3 || !Plain(customLevel.title) || !Plain(customLevel.author))
        abort();
    for (Sint32 code : customLevel.codes)
        if (!InLegend(customLevel.level, code))
            abort();
    return 0;
}
