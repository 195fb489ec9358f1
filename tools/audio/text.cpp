#include "text.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

void Fail(const std::string &where, const std::string &message)
{
    fprintf(stderr, "build_audio: %s: %s\n", where.c_str(), message.c_str());
    exit(1);
}

std::vector<Statement> ReadStatements(const std::string &path, const std::function<bool(const std::string &)> &isStart)
{
    std::ifstream in(path);
    if (!in)
        Fail(path, "cannot be read");
    std::vector<Statement> out;
    std::string line;
    for (int n = 1; std::getline(in, line); n++) {
        // A comment starts with a '#' that starts a word, so f#4 stays a note.
        for (size_t i = 0; i < line.size(); i++)
            if (line[i] == '#' && (i == 0 || isspace((unsigned char)line[i - 1]))) {
                line.erase(i);
                break;
            }
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;)
            w.push_back(word);
        if (w.empty())
            continue;
        std::string where = path + ":" + std::to_string(n);
        if (isStart(w[0]))
            out.push_back({where, w});
        else if (out.empty())
            Fail(where, "'" + w[0] + "' does not start a statement");
        else
            out.back().words.insert(out.back().words.end(), w.begin(), w.end());
    }
    return out;
}

std::map<std::string, std::string> Settings(const Statement &s, size_t from)
{
    std::map<std::string, std::string> out;
    for (size_t i = from; i < s.words.size(); i++) {
        const std::string &w = s.words[i];
        size_t eq = w.find('=');
        std::string key = w.substr(0, eq);
        if (out.count(key))
            Fail(s.where, "'" + key + "' is given twice");
        out[key] = eq == std::string::npos ? "" : w.substr(eq + 1);
    }
    return out;
}

double ParseNumber(const std::string &where, const std::string &text)
{
    char *end = nullptr;
    double v = strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(v))
        Fail(where, "'" + text + "' is not a number");
    return v;
}

int ParseInt(const std::string &where, const std::string &text)
{
    double v = ParseNumber(where, text);
    if (v != std::floor(v))
        Fail(where, "'" + text + "' is not a whole number");
    return int(v);
}

int NoteNumber(const std::string &text)
{
    static const int steps[7] = {9, 11, 0, 2, 4, 5, 7};  // a b c d e f g
    if (text.size() < 2 || text[0] < 'a' || text[0] > 'g')
        return -1;
    int note = steps[text[0] - 'a'];
    size_t i = 1;
    if (text[i] == '#')
        note++, i++;
    else if (text[i] == 'b' && i + 1 < text.size())
        note--, i++;
    if (i + 1 != text.size() || text[i] < '0' || text[i] > '9')
        return -1;
    return note + 12 * (text[i] - '0' + 1);
}

double NoteHz(int note)
{
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

double ParseHz(const std::string &where, const std::string &text)
{
    int note = NoteNumber(text);
    return note >= 0 ? NoteHz(note) : ParseNumber(where, text);
}
