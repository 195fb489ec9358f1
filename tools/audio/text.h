// Reading the audio sources: statements of words, numbers, notes and
// key=value settings, with the file and line kept for error messages.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

struct Statement {
    std::string where;  // "file:line"
    std::vector<std::string> words;
};

// Splits a file into statements. A word starting with '#' starts a comment. A line starts a new
// statement when isStart(its first word) is true; any other line continues
// the statement before it, so long token lists can run over several lines.
std::vector<Statement> ReadStatements(const std::string &path, const std::function<bool(const std::string &)> &isStart);

// Stops the builder with "where: message".
[[noreturn]] void Fail(const std::string &where, const std::string &message);

// Every word from index `from` on is key=value; a bare word is key="".
std::map<std::string, std::string> Settings(const Statement &s, size_t from);

double ParseNumber(const std::string &where, const std::string &text);
int ParseInt(const std::string &where, const std::string &text);

// "c4" (middle C), "f#3", "bb5": a MIDI-style note number (middle C is 60),
// or -1 when the text is not a note name.
int NoteNumber(const std::string &text);
double NoteHz(int note);

// A frequency: a number in Hz or a note name.
double ParseHz(const std::string &where, const std::string &text);
