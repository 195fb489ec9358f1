// A score, one statement a line (a line that starts with neither a keyword
// nor "name:" goes on with the statement above it):
//
//   song TITLE...                  the module's title
//   tempo BPM / speed TICKS        4 rows a beat at speed 6
//   volume GLOBAL MIX              0..128 each
//   rows N                         rows of every pattern that does not say
//   channel NAME INSTRUMENT [pan=0..64] [vol=0..64]
//   alias NAME NOTE INSTRUMENT     a drum hit written as one word
//   phrase NAME TOKENS...          a run of rows to use again as @NAME
//   pattern NAME [rows=N]          followed by one line per channel:
//   NAME: TOKENS...                exactly as many rows as the pattern has
//   order NAME...                  the patterns in playing order
//   loop N                         the order entry the song goes back to
//
// Tokens, each one or more rows:
//   c4 f#3 bb5     a note (c4 is middle C) on the channel's instrument
//   k              an alias
//   .              nothing new this row
//   -  ^  =        release (note off), cut, fade the sounding note
//   @NAME          a phrase; +N/-N transpose it, %P scales its volumes,
//                  >N delays it by N rows (dropping its last N rows)
//   [ ... ]xN      the tokens in brackets N times
//   /N             from here on a token lasts N rows unless it says
//   |              a bar line, for the eye only
// and after the head of a note, an alias or '.':
//   *N             lasts N rows       vN    volume 0..64
//   !Xhh           effect X, hex parameter hh       :NAME  another instrument
//   !!Xhh          effect X on every row the token lasts (an arpeggio held)

#include "score.h"

#include <algorithm>
#include <cctype>

#include "text.h"

namespace {

struct Channel {
    std::string name;
    int instrument;  // 1-based in the song's instrument list
    int pan;
};

struct Alias {
    int note;
    int instrument;
};

struct Song {
    const std::map<std::string, InstrumentDef> *library;
    ItModule module;
    int rows = 64;
    int loop = 0;
    std::vector<std::string> instruments;  // the song's, in order of first use
    std::vector<Channel> channels;
    std::map<std::string, Alias> aliases;
    std::map<std::string, Statement> phrases;
    std::map<std::string, int> patternIndex;
};

const char *const KEYWORDS[] = {"song", "tempo", "speed", "volume", "rows", "channel",
                                "alias", "phrase", "pattern", "order", "loop"};

bool StartsStatement(const std::string &w)
{
    if (!w.empty() && w.back() == ':')
        return true;
    for (const char *k : KEYWORDS)
        if (w == k)
            return true;
    return false;
}

int InstrumentNumber(Song &song, const std::string &where, const std::string &name)
{
    if (!song.library->count(name))
        Fail(where, "no instrument is called '" + name + "'");
    auto it = std::find(song.instruments.begin(), song.instruments.end(), name);
    if (it != song.instruments.end())
        return int(it - song.instruments.begin()) + 1;
    song.instruments.push_back(name);
    return int(song.instruments.size());
}

int DefaultVolume(const Song &song, int instrument)
{
    return song.library->at(song.instruments[instrument - 1]).sample.volume;
}

int Number(const std::string &where, const std::string &text, size_t &i)
{
    size_t start = i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        i++;
    while (i < text.size() && isdigit((unsigned char)text[i]))
        i++;
    if (i == start)
        Fail(where, "a number is missing in '" + text + "'");
    return std::stoi(text.substr(start, i - start));
}

std::string Name(const std::string &text, size_t &i)
{
    size_t start = i;
    while (i < text.size() && (isalnum((unsigned char)text[i]) || text[i] == '_'))
        i++;
    return text.substr(start, i - start);
}

struct Context {
    Song *song;
    std::string where;
    int instrument;  // the channel's
    int depth;
};

std::vector<ItCell> Expand(const Context &c, const std::vector<std::string> &words, size_t &i, int length,
                           std::string *closing);

// One note, alias or '.', with its modifiers.
std::vector<ItCell> Cell(const Context &c, const std::string &token, int length)
{
    const std::string &w = c.where;
    size_t end = token.find_first_of("*!:v", 1);
    std::string head = token.substr(0, end);
    ItCell cell;
    bool everyRow = false;
    if (head == "-") cell.note = NOTE_OFF;
    else if (head == "^") cell.note = NOTE_CUT;
    else if (head == "=") cell.note = NOTE_FADE;
    else if (head != ".") {
        int note = NoteNumber(head);
        if (note >= 0) {
            cell.note = note;
            cell.instrument = c.instrument;
        } else if (c.song->aliases.count(head)) {
            cell.note = c.song->aliases[head].note;
            cell.instrument = c.song->aliases[head].instrument;
        } else {
            Fail(w, "'" + head + "' is neither a note nor an alias");
        }
    }
    for (size_t i = head.size(); i < token.size();) {
        char m = token[i++];
        if (m == '*') {
            length = Number(w, token, i);
        } else if (m == 'v') {
            cell.volume = Number(w, token, i);
            if (cell.volume < 0 || cell.volume > 64)
                Fail(w, "a volume is 0..64");
        } else if (m == ':') {
            cell.instrument = InstrumentNumber(*c.song, w, Name(token, i));
        } else if (m == '!') {
            if (i < token.size() && token[i] == '!')
                everyRow = true, i++;
            if (i + 3 > token.size() || !isupper((unsigned char)token[i]))
                Fail(w, "an effect is a capital letter and two hex digits: '" + token + "'");
            cell.effect = token[i];
            cell.param = std::stoi(token.substr(i + 1, 2), nullptr, 16);
            i += 3;
        } else {
            Fail(w, "cannot read '" + token + "'");
        }
    }
    if (length < 1)
        Fail(w, "a token lasts at least one row");
    std::vector<ItCell> rows(length);
    rows[0] = cell;
    for (int r = 1; r < length && everyRow; r++)
        rows[r].effect = cell.effect, rows[r].param = cell.param;
    return rows;
}

std::vector<ItCell> Phrase(const Context &c, const std::string &token)
{
    size_t i = 1;
    std::string name = Name(token, i);
    auto it = c.song->phrases.find(name);
    if (it == c.song->phrases.end())
        Fail(c.where, "no phrase is called '" + name + "'");
    if (c.depth > 16)
        Fail(c.where, "phrases nest too deep");
    int transpose = 0, percent = 100, delay = 0;
    while (i < token.size()) {
        char m = token[i];
        if (m == '+' || m == '-') transpose = Number(c.where, token, i);
        else if (m == '%') percent = Number(c.where, token, ++i);
        else if (m == '>') delay = Number(c.where, token, ++i);
        else Fail(c.where, "cannot read '" + token + "'");
    }
    const Statement &s = it->second;
    Context inner = {c.song, s.where, c.instrument, c.depth + 1};
    size_t from = 2;
    std::vector<ItCell> rows = Expand(inner, s.words, from, 1, nullptr);
    for (ItCell &cell : rows) {
        if (cell.note >= 0 && cell.note < 120) {
            cell.note += transpose;
            if (cell.note < 0 || cell.note >= 120)
                Fail(c.where, "transposed out of range");
            if (cell.volume < 0 && percent != 100)
                cell.volume = DefaultVolume(*c.song, cell.instrument);
        }
        if (cell.volume >= 0)
            cell.volume = std::min(64, cell.volume * percent / 100);
    }
    if (delay > int(rows.size()))
        Fail(c.where, "a delay longer than the phrase");
    rows.insert(rows.begin(), size_t(delay), ItCell());
    rows.resize(rows.size() - size_t(delay));
    return rows;
}

// Reads tokens from words[i] on, up to the end or (inside brackets) up to
// the closing "]xN", which it stores in *closing.
std::vector<ItCell> Expand(const Context &c, const std::vector<std::string> &words, size_t &i, int length,
                           std::string *closing)
{
    std::vector<ItCell> rows;
    while (i < words.size()) {
        const std::string &t = words[i++];
        std::vector<ItCell> more;
        if (t == "|") {
            continue;
        } else if (t[0] == '/') {
            size_t at = 1;
            length = Number(c.where, t, at);
            continue;
        } else if (t[0] == ']') {
            if (!closing)
                Fail(c.where, "a ']' without its '['");
            *closing = t;
            return rows;
        } else if (t == "[") {
            std::string end;
            std::vector<ItCell> group = Expand(c, words, i, length, &end);
            if (end.empty())
                Fail(c.where, "a '[' without its ']'");
            size_t at = 2;
            int times = end == "]" ? 1 : end[1] == 'x' ? Number(c.where, end, at) : -1;
            if (times < 1)
                Fail(c.where, "a group closes with ']' or ']xN'");
            for (int n = 0; n < times; n++)
                more.insert(more.end(), group.begin(), group.end());
        } else if (t[0] == '@') {
            more = Phrase(c, t);
        } else {
            more = Cell(c, t, length);
        }
        rows.insert(rows.end(), more.begin(), more.end());
    }
    return rows;
}

// "[k" and "h]x4" are read as "[", "k" and "h", "]x4".
std::vector<std::string> SplitBrackets(const std::vector<std::string> &words)
{
    std::vector<std::string> out;
    for (std::string w : words) {
        while (w.size() > 1 && w[0] == '[') {
            out.push_back("[");
            w.erase(0, 1);
        }
        size_t close = w.find(']');
        if (close != std::string::npos && close > 0) {
            out.push_back(w.substr(0, close));
            w.erase(0, close);
        }
        out.push_back(w);
    }
    return out;
}

int ChannelIndex(const Song &song, const std::string &where, const std::string &name)
{
    for (size_t i = 0; i < song.channels.size(); i++)
        if (song.channels[i].name == name)
            return int(i);
    Fail(where, "no channel is called '" + name + "'");
}

void ReadChannelLine(Song &song, const Statement &s)
{
    if (song.module.patterns.empty())
        Fail(s.where, "a channel line outside any pattern");
    std::string name = s.words[0].substr(0, s.words[0].size() - 1);
    int ch = ChannelIndex(song, s.where, name);
    Context c = {&song, s.where, song.channels[ch].instrument, 0};
    size_t from = 1;
    std::vector<ItCell> rows = Expand(c, s.words, from, 1, nullptr);
    ItPattern &p = song.module.patterns.back();
    if (int(rows.size()) != p.rows)
        Fail(s.where, name + " has " + std::to_string(rows.size()) + " rows, the pattern " +
                          std::to_string(p.rows));
    for (int r = 0; r < p.rows; r++)
        p.At(r, ch) = rows[r];
}

void ReadStatement(Song &song, const Statement &s)
{
    const std::string &k = s.words[0];
    const std::string &w = s.where;
    size_t n = s.words.size();
    if (k.back() == ':') {
        ReadChannelLine(song, s);
    } else if (k == "song") {
        for (size_t i = 1; i < n; i++)
            song.module.title += (i > 1 ? " " : "") + s.words[i];
    } else if (k == "tempo" && n == 2) {
        song.module.tempo = ParseInt(w, s.words[1]);
    } else if (k == "speed" && n == 2) {
        song.module.speed = ParseInt(w, s.words[1]);
    } else if (k == "volume" && n == 3) {
        song.module.globalVolume = ParseInt(w, s.words[1]);
        song.module.mixVolume = ParseInt(w, s.words[2]);
    } else if (k == "rows" && n == 2) {
        song.rows = ParseInt(w, s.words[1]);
    } else if (k == "channel" && n >= 3) {
        if (!song.module.patterns.empty())
            Fail(w, "channels come before the patterns");
        auto set = Settings(s, 3);
        int pan = set.count("pan") ? ParseInt(w, set["pan"]) : 32;
        int volume = set.count("vol") ? ParseInt(w, set["vol"]) : 64;
        if (pan < 0 || pan > 64 || volume < 0 || volume > 64)
            Fail(w, "pan and vol are 0..64");
        song.channels.push_back({s.words[1], InstrumentNumber(song, w, s.words[2]), pan});
        song.module.pan.push_back(pan);
        song.module.volume.push_back(volume);
    } else if (k == "alias" && n == 4) {
        int note = NoteNumber(s.words[2]);
        if (note < 0 || NoteNumber(s.words[1]) >= 0 || s.words[1].find_first_of("v*!:") != std::string::npos)
            Fail(w, "alias NAME NOTE INSTRUMENT, the name no note and without v * ! :");
        song.aliases[s.words[1]] = {note, InstrumentNumber(song, w, s.words[3])};
    } else if (k == "phrase" && n >= 2) {
        song.phrases[s.words[1]] = s;
    } else if (k == "pattern" && n >= 2) {
        auto set = Settings(s, 2);
        int rows = set.count("rows") ? ParseInt(w, set["rows"]) : song.rows;
        if (rows < 1 || rows > 200 || song.patternIndex.count(s.words[1]))
            Fail(w, "a pattern has a new name and 1..200 rows");
        song.patternIndex[s.words[1]] = int(song.module.patterns.size());
        song.module.patterns.emplace_back(rows, int(song.channels.size()));
    } else if (k == "order") {
        for (size_t i = 1; i < n; i++) {
            if (!song.patternIndex.count(s.words[i]))
                Fail(w, "no pattern is called '" + s.words[i] + "'");
            song.module.orders.push_back(song.patternIndex[s.words[i]]);
        }
    } else if (k == "loop" && n == 2) {
        song.loop = ParseInt(w, s.words[1]);
    } else {
        Fail(w, "cannot read this '" + k + "' statement");
    }
}

// The jump back to the loop point goes on the last row of the last pattern
// played, in a copy of that pattern if it is played elsewhere too.
void AddLoopJump(Song &song, const std::string &where)
{
    ItModule &m = song.module;
    if (song.loop < 0 || song.loop >= int(m.orders.size()))
        Fail(where, "the loop point is not an order entry");
    if (song.loop == 0)
        return;  // at the end of its orders a module starts again from the first
    int last = m.orders.back();
    if (std::count(m.orders.begin(), m.orders.end(), last) > 1) {
        m.patterns.push_back(m.patterns[last]);
        last = m.orders.back() = int(m.patterns.size()) - 1;
    }
    ItPattern &p = m.patterns[last];
    for (int ch = 0; ch < p.channels; ch++) {
        ItCell &cell = p.At(p.rows - 1, ch);
        if (!cell.effect) {
            cell.effect = 'B';
            cell.param = song.loop;
            return;
        }
    }
    Fail(where, "no free effect on the last row for the jump back");
}

// A held note of a sustaining instrument that is still sounding when the
// song jumps back would ring on into the loop: every channel must release
// or cut it, or strike a new note on the first row of the loop.
void CheckSeam(const Song &song, const std::string &where)
{
    const ItModule &m = song.module;
    const ItPattern &end = m.patterns[m.orders.back()];
    const ItPattern &start = m.patterns[m.orders[song.loop]];
    for (int ch = 0; ch < end.channels; ch++) {
        int lastNote = NOTE_NONE, instrument = 0;
        for (int r = 0; r < end.rows; r++) {
            const ItCell &cell = end.At(r, ch);
            if (cell.note != NOTE_NONE) {
                lastNote = cell.note;
                instrument = cell.instrument;
            }
        }
        bool held = lastNote >= 0 && lastNote < 120 && song.library->at(song.instruments[instrument - 1]).sustains;
        if (held && start.At(0, ch).note == NOTE_NONE)
            Fail(where, "channel " + song.channels[ch].name + " holds a note over the loop");
    }
}

}  // namespace

ItModule ReadSong(const std::string &path, const std::map<std::string, InstrumentDef> &library)
{
    Song song;
    song.library = &library;
    for (Statement s : ReadStatements(path, StartsStatement)) {
        s.words = SplitBrackets(s.words);
        ReadStatement(song, s);
    }
    if (song.module.orders.empty() || song.channels.empty())
        Fail(path, "a song needs channels and an order");
    CheckSeam(song, path);
    AddLoopJump(song, path);
    for (size_t i = 0; i < song.instruments.size(); i++) {
        const InstrumentDef &d = library.at(song.instruments[i]);
        ItInstrument in = d.instrument;
        for (int n = 0; n < 120; n++)
            in.keyboard[n] = int(song.module.samples.size()) + d.zone[n] + 1;
        song.module.instruments.push_back(in);
        song.module.samples.insert(song.module.samples.end(), d.samples.begin(), d.samples.end());
    }
    return song.module;
}
