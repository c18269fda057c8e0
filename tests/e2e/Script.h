#pragma once
// An end-to-end script: plain text, one statement a line, read whole before
// anything runs so that a typo fails at once with its line instead of half-way
// through a run. The language is described in README.md beside this file.

#include <stdexcept>
#include <string>
#include <vector>

namespace e2e {

struct Word {
    std::string raw;      // as written, escapes and ${variables} not yet applied
    bool quoted = false;  // written between double quotes

    // The keyword itself, not a quoted text that happens to read the same.
    bool Is(const char* keyword) const { return !quoted && raw == keyword; }
};

struct Statement {
    int line = 0;
    std::string source;           // the line as written, without surrounding blanks
    std::vector<Word> words;      // words[0] is the verb
    std::vector<Statement> body;  // "answer FORM" and "when FORM" blocks

    const std::string& Verb() const { return words.front().raw; }
    // Words after the verb.
    std::size_t Args() const { return words.size() - 1; }
    const Word& Arg(std::size_t i) const { return words.at(i + 1); }
};

struct Script {
    std::string name;    // for reports: the file name
    std::string folder;  // the folder of the file (${scripts}); "" for a text
    std::vector<Statement> statements;
};

class SyntaxError : public std::runtime_error {
public:
    SyntaxError(int line, const std::string& what) : std::runtime_error(what), line_(line) {}
    int Line() const { return line_; }

private:
    int line_;
};

// Splits and checks the text; throws SyntaxError naming the first bad line.
Script ParseScript(const std::string& name, const std::string& text);
// Reads and parses a file; throws std::runtime_error when it cannot be read.
Script LoadScript(const std::string& path);

// The words of a statement text (quotes and escapes kept as written).
std::vector<Word> SplitWords(const std::string& text, int line);

}  // namespace e2e
