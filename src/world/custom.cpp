// Reading a custom level. The file comes from anyone, so every line is
// checked before anything of it is kept: the header, the level, a title and
// an author of plain words, exactly 80 rows of exactly 80 characters, each
// in the level's legend.

#include "world/custom.h"

#include <cstdio>
#include <cstring>

#include "world/legend.h"

CustomLevel customLevel;

namespace {

struct Reader {
    const char *at, *end;
    int line;
    char *why;
    int whyLen;
};

// The next line without its end ("\n" or "\r\n"); -1 at the end of the text.
int NextLine(Reader &r, const char *&start)
{
    if (r.at >= r.end)
        return -1;
    start = r.at;
    const char *nl = (const char *)memchr(r.at, '\n', (size_t)(r.end - r.at));
    const char *stop = nl ? nl : r.end;
    r.at = nl ? nl + 1 : r.end;
    r.line++;
    int n = (int)(stop - start);
    if (n > 0 && start[n - 1] == '\r')
        n--;
    return n;
}

int Fault(Reader &r, const char *text)
{
    if (r.line > 0)
        snprintf(r.why, (size_t)r.whyLen, "line %d: %s", r.line, text);
    else
        snprintf(r.why, (size_t)r.whyLen, "%s", text);
    customLevel.level = 0;
    return -1;
}

// A title or an author: plain words, nothing a page or a terminal could
// take for markup or a control.
bool PlainCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           strchr(" .,!?'-:()+/", c) != NULL;
}

int ReadName(Reader &r, const char *word, char *to)
{
    const char *line;
    const int n = NextLine(r, line);
    const int w = (int)strlen(word);
    char text[96];
    if (n < 0 || n < w + 1 || memcmp(line, word, (size_t)w) != 0 || line[w] != ' ') {
        snprintf(text, sizeof text, "expected \"%s\" and a few words", word);
        return Fault(r, text);
    }
    const int len = n - w - 1;
    if (len < 1 || len > CUSTOM_NAME_MAX) {
        snprintf(text, sizeof text, "a %s is 1 to %d characters long", word, CUSTOM_NAME_MAX);
        return Fault(r, text);
    }
    for (int i = 0; i < len; i++)
        if (!PlainCharacter(line[w + 1 + i])) {
            snprintf(text, sizeof text, "a %s holds letters, digits, spaces and .,!?'-:()+/ only", word);
            return Fault(r, text);
        }
    memcpy(to, line + w + 1, (size_t)len);
    to[len] = 0;
    return 0;
}

}  // namespace

Uint32 MapChecksum(const char *const rows[MAP_SIZE])
{
    Uint32 h = 2166136261u;
    for (int row = 0; row < MAP_SIZE; row++)
        for (int col = 0; col < MAP_SIZE; col++) {
            h ^= (Uint8)rows[row][col];
            h *= 16777619u;
        }
    return h;
}

int ReadCustomLevel(const char *text, int len, char *why, int whyLen)
{
    Reader r = {text, text + (len > 0 ? len : 0), 0, why, whyLen};
    customLevel.level = 0;
    if (len > CUSTOM_FILE_MAX)
        return Fault(r, "too large for a level (a level file is at most 64 KB)");
    if (len <= 0)
        return Fault(r, "empty: not a level");
    if (memchr(text, 0, (size_t)len))
        return Fault(r, "not a level: it holds bytes that are not text");

    const char *line;
    int n = NextLine(r, line);
    if (n != 18 || memcmp(line, "kestravale level ", 17) != 0)
        return Fault(r, "not a level: it must begin with \"kestravale level 1\"");
    if (line[17] != '1')
        return Fault(r, "a level of another version; this game reads version 1");
    n = NextLine(r, line);
    if (n != 7 || memcmp(line, "level ", 6) != 0 || line[6] < '1' || line[6] > '3')
        return Fault(r, "expected \"level 1\", \"level 2\" or \"level 3\"");
    const int level = line[6] - '0';
    if (ReadName(r, "title", customLevel.title) < 0 || ReadName(r, "author", customLevel.author) < 0)
        return -1;

    Sint32 codeOf[256];  // the level's legend, by character
    for (int c = 0; c < 256; c++)
        codeOf[c] = LegendCode(level, (char)c);
    const char *rows[MAP_SIZE];
    char what[96];
    for (int row = 0; row < MAP_SIZE; row++) {
        n = NextLine(r, line);
        if (n < 0) {
            snprintf(what, sizeof what, "the map ends after %d rows; a map has 80", row);
            return Fault(r, what);
        }
        if (n != MAP_SIZE) {
            snprintf(what, sizeof what, "a map row is 80 characters, this one %d", n);
            return Fault(r, what);
        }
        for (int col = 0; col < MAP_SIZE; col++) {
            const Sint32 code = codeOf[(unsigned char)line[col]];
            if (code < 0) {
                const unsigned char c = (unsigned char)line[col];
                if (c >= 32 && c < 127)
                    snprintf(what, sizeof what, "column %d: '%c' is not in level %d's legend", col + 1, c, level);
                else
                    snprintf(what, sizeof what, "column %d: byte %d is not in level %d's legend", col + 1, c, level);
                return Fault(r, what);
            }
            customLevel.codes[row * MAP_SIZE + col] = code;
        }
        rows[row] = line;
    }
    while ((n = NextLine(r, line)) >= 0)
        if (n > 0)
            return Fault(r, "the map has 80 rows; nothing may follow them");
    customLevel.checksum = MapChecksum(rows);
    customLevel.level = level;
    return 0;
}
