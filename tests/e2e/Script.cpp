#include "e2e/Script.h"

#include "e2e/Fixtures.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace e2e {

namespace {

// Top: only outside answer and when blocks.
enum class Where { Top, Anywhere };

struct Shape {
    std::size_t min;
    std::size_t max;  // kMany: no limit
    Where where;
};

constexpr std::size_t kMany = static_cast<std::size_t>(-1);

const std::map<std::string, Shape>& Verbs()
{
    // One verb a line: clang-format packs a list this long.
    // clang-format off
    static const std::map<std::string, Shape> verbs = {
        {"let", {2, 2, Where::Anywhere}},
        {"remove", {1, 1, Where::Top}},
        {"mkdir", {1, 1, Where::Top}},
        {"link", {2, 2, Where::Top}},
        {"copy", {2, 2, Where::Top}},
        {"write", {2, 2, Where::Top}},
        {"timeout", {1, 1, Where::Top}},
        {"start", {0, 3, Where::Top}},
        {"answer", {1, 2, Where::Top}},
        {"when", {1, 1, Where::Top}},
        {"input", {1, 4, Where::Top}},
        {"dialog", {1, 4, Where::Top}},
        {"click", {1, 1, Where::Anywhere}},
        {"dblclick", {1, 1, Where::Anywhere}},
        {"type", {2, 2, Where::Anywhere}},
        {"drag", {2, 2, Where::Anywhere}},
        {"key", {2, 2, Where::Anywhere}},
        {"set", {2, 2, Where::Anywhere}},
        {"choose", {2, 2, Where::Anywhere}},
        {"tab", {2, 2, Where::Anywhere}},
        {"yield", {0, 0, Where::Top}},
        {"new", {0, 0, Where::Top}},
        {"open", {1, 1, Where::Top}},
        {"save", {1, 1, Where::Top}},
        {"call", {1, kMany, Where::Top}},
        {"expect", {1, kMany, Where::Anywhere}},
        {"press", {2, 2, Where::Anywhere}},
        {"hover", {1, 2, Where::Anywhere}},
        {"rightclick", {1, 1, Where::Top}},
        {"fixture", {3, 3, Where::Top}},
        {"zoom", {1, 2, Where::Top}},
    };
    // clang-format on
    return verbs;
}

// Number of value words once an optional unquoted "contains" is left out.
std::size_t WithoutContains(const Statement& s, std::size_t from)
{
    return (s.Args() > from && s.Arg(from).Is("contains")) ? s.Args() - from - 1 : s.Args() - from;
}

[[noreturn]] void Bad(const Statement& s, const std::string& what) { throw SyntaxError(s.line, what); }

void CheckInput(const Statement& s)
{
    static const std::map<std::string, std::size_t> values = {
        {"point", 1},  {"corner", 1},   {"angle", 1},  {"pick", 1},  {"string", 1},
        {"window", 2}, {"crossing", 2}, {"escape", 0}, {"enter", 0},
    };
    const auto it = values.find(s.Arg(0).raw);
    if (s.Arg(0).quoted || it == values.end())
        Bad(s, "input: unknown answer \"" + s.Arg(0).raw +
                   "\" (point, corner, angle, pick, string, window, crossing, escape, enter)");
    std::size_t n = s.Args() - 1;
    if (n >= 2 && s.Arg(s.Args() - 2).Is("prompt")) n -= 2;
    if (n != it->second)
        Bad(s, "input " + it->first + ": " + std::to_string(it->second) +
                   " value(s) expected, then optionally prompt TEXT");
}

void CheckDialog(const Statement& s)
{
    const std::string& k = s.Arg(0).raw;
    const bool withPath = k == "open" || k == "save" || k == "folder";
    const bool accept = k == "accept";
    const bool bare = k == "cancel" || k == "yes" || k == "no" || k == "ok";
    if (s.Arg(0).quoted || (!withPath && !accept && !bare))
        Bad(s, "dialog: unknown answer \"" + k + "\" (open, save, folder PATH; accept; cancel, yes, no, ok)");
    // "in FOLDER" after the answer of a file or folder dialog.
    const std::size_t answer = withPath ? 2u : 1u;
    const bool in = (withPath || accept) && s.Args() == answer + 2 && s.Arg(answer).Is("in");
    if (s.Args() != answer && !in) {
        if (withPath && s.Args() < 2) Bad(s, "dialog " + k + ": a path expected");
        Bad(s, "dialog " + k + ": " + (bare ? "nothing" : "only \"in FOLDER\"") + " may follow");
    }
}

void CheckExpect(const Statement& s)
{
    static const std::set<std::string> properties = {"text",    "caption", "value",      "index", "count",
                                                     "visible", "enabled", "left",       "top",   "width",
                                                     "height",  "tooltip", "windowstate"};
    const Word& what = s.Arg(0);
    const std::string& k = what.raw;
    auto need = [&](bool ok, const std::string& form) {
        if (!ok) Bad(s, "expected: expect " + form);
    };
    if (what.quoted) Bad(s, "expect: a fact to check expected before any text");
    // "in LAYOUT" at i, or nothing there: where the value starts.
    auto space = [&](std::size_t i) { return s.Args() > i + 1 && s.Arg(i).Is("in") ? i + 2 : i; };
    if (k == "entities") {
        need(s.Args() >= 2 && (s.Args() < 3 || !s.Arg(2).Is("in") || s.Args() >= 4),
             "entities N [in LAYOUT] [CODE=VALUE ...]");
    } else if ((k == "text" || k == "string") && s.Args() >= 2 && s.Arg(1).Is("at")) {
        need(s.Args() >= 4 && WithoutContains(s, space(3)) == 1, k + " at X,Y [in LAYOUT] [contains] VALUE");
    } else if (k == "xdata") {
        need(s.Args() >= 4 && s.Arg(1).Is("at") && WithoutContains(s, space(3)) == 1,
             "xdata at X,Y [in LAYOUT] [contains] VALUE");
    } else if (k == "z") {
        need(s.Args() >= 4 && s.Arg(1).Is("at") && WithoutContains(s, space(3)) == 1, "z at X,Y [in LAYOUT] VALUE");
    } else if (k == "query") {
        need(s.Args() >= 4 && WithoutContains(s, 3) == 1, "query PATH \"SQL\" [contains] VALUE");
    } else if (k == "workbook") {
        need(s.Args() >= 5 && WithoutContains(s, 4) == 1, "workbook PATH SHEET CELL [contains] VALUE");
    } else if (k == "dbf") {
        need(s.Args() >= 5 && WithoutContains(s, 4) == 1, "dbf PATH RECORD FIELD [contains] VALUE");
    } else if (k == "cell") {
        const std::size_t n = WithoutContains(s, 4);
        need(s.Args() >= 5 && (n == 1 || (n == 3 && s.Arg(s.Args() - 2).Is("back"))),
             "cell GRID ROW COL [contains] VALUE [back COLOUR]");
    } else if (k == "clipboard") {
        need(WithoutContains(s, 1) == 1, "clipboard [contains] TEXT");
    } else if (k == "opened") {
        need(s.Args() == 2, "opened PATH");
    } else if (properties.count(k)) {
        need(WithoutContains(s, 2) == 1 && s.Args() >= 3, k + " CONTROL [contains] VALUE");
    } else if (k == "message") {
        need(WithoutContains(s, s.Args() > 2 && s.Arg(1).Is("title") ? 2 : 1) == 1, "message [title] [contains] TEXT");
    } else if (k == "result") {
        need(s.Args() >= 3 && WithoutContains(s, 2) == 1, "result NAME [contains] VALUE");
    } else if (k == "attribute") {
        need(s.Args() >= 5 && (s.Arg(2).Is("at") || s.Arg(2).Is("handle")) &&
                 WithoutContains(s, s.Arg(2).Is("at") ? space(4) : 4) == 1,
             "attribute TAG at X,Y [in LAYOUT] [contains] VALUE  or  attribute TAG handle H [contains] VALUE");
    } else if (k == "file" || k == "nofile") {
        need(s.Args() == 2, k + " PATH");
    } else if (k == "layout" || k == "nolayout") {
        need(s.Args() == 2, k + " NAME");
    } else if (k == "line") {
        need(s.Args() >= 3 && WithoutContains(s, 2) == 1, "line PATH [contains] TEXT");
    } else if (k == "content") {
        need(s.Args() == 3, "content PATH TEXT");
    } else if (k == "running" || k == "ended") {
        need(s.Args() == 1, k);
    } else {
        Bad(s,
            "expect: unknown fact \"" + k +
                "\" (text, caption, value, index, count, visible, enabled, left, top, width, height, tooltip, "
                "windowstate, "
                "message, result, entities, attribute, xdata, z at, text at, string at, cell, query, workbook, dbf, clipboard, opened, "
                "file, nofile, line, content, layout, nolayout, running, ended)");
    }
}

void Check(const Statement& s, bool inBlock)
{
    const Word& verb = s.words.front();
    const auto it = Verbs().find(verb.raw);
    if (verb.quoted || it == Verbs().end()) Bad(s, "unknown statement \"" + verb.raw + "\"");
    const Shape& shape = it->second;
    if (s.Args() < shape.min || s.Args() > shape.max) {
        std::string n = shape.min == shape.max ? std::to_string(shape.min)
                        : shape.max == kMany   ? "at least " + std::to_string(shape.min)
                                               : std::to_string(shape.min) + " to " + std::to_string(shape.max);
        Bad(s, verb.raw + ": " + n + " word(s) expected after it, " + std::to_string(s.Args()) + " given");
    }
    if (inBlock && shape.where == Where::Top)
        Bad(s, verb.raw + " cannot be used inside an answer or when block (write it before the action instead)");
    if (verb.raw == "input") CheckInput(s);
    if (verb.raw == "dialog") CheckDialog(s);
    if (verb.raw == "expect") CheckExpect(s);
    if (verb.raw == "fixture" && (s.Arg(0).quoted || !fixtures::KnownKind(s.Arg(0).raw)))
        Bad(s, "fixture: unknown drawing \"" + s.Arg(0).raw + "\" (" + fixtures::KindList() + ")");
    if (verb.raw == "zoom" && (s.Args() == 1) != s.Arg(0).Is("extents"))
        Bad(s, "zoom: \"extents\" or a window X,Y X,Y expected");
    if (verb.raw == "start") {
        // [nohost] [in FOLDER]
        const std::size_t in = s.Args() > 0 && s.Arg(0).Is("nohost") ? 1 : 0;
        if (s.Args() != in && (s.Args() != in + 2 || !s.Arg(in).Is("in")))
            Bad(s, "start: only \"nohost\" and \"in FOLDER\" may follow");
    }
}

std::string Trim(const std::string& s)
{
    const auto a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

}  // namespace

std::vector<Word> SplitWords(const std::string& text, int line)
{
    std::vector<Word> words;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t') {
            ++i;
            continue;
        }
        Word w;
        if (text[i] == '"') {
            w.quoted = true;
            ++i;
            bool closed = false;
            while (i < text.size()) {
                if (text[i] == '\\' && i + 1 < text.size()) {
                    w.raw += text.substr(i, 2);
                    i += 2;
                    continue;
                }
                if (text[i] == '"') {
                    closed = true;
                    ++i;
                    break;
                }
                w.raw += text[i++];
            }
            if (!closed) throw SyntaxError(line, "text without its closing double quote");
            if (i < text.size() && text[i] != ' ' && text[i] != '\t')
                throw SyntaxError(line, "a blank expected after the closing double quote");
        } else {
            while (i < text.size() && text[i] != ' ' && text[i] != '\t') {
                if (text[i] == '"')
                    throw SyntaxError(line, "a double quote inside a word (put the whole text in quotes)");
                w.raw += text[i++];
            }
        }
        words.push_back(std::move(w));
    }
    return words;
}

Script ParseScript(const std::string& name, const std::string& text)
{
    Script script;
    script.name = name;
    std::istringstream in(text);
    std::string raw;
    int line = 0;
    Statement* block = nullptr;  // the open "answer FORM" or "when FORM" block
    while (std::getline(in, raw)) {
        ++line;
        const std::string t = Trim(raw);
        if (t.empty() || t[0] == '#') continue;
        Statement s;
        s.line = line;
        s.source = t;
        s.words = SplitWords(t, line);
        if (s.words.front().Is("end")) {
            if (!block) Bad(s, "end without an answer or when block");
            if (s.words.size() != 1) Bad(s, "nothing may follow end");
            block = nullptr;
            continue;
        }
        Check(s, block != nullptr);
        std::vector<Statement>& into = block ? block->body : script.statements;
        into.push_back(std::move(s));
        const Statement& added = into.back();
        const bool opens = (added.Verb() == "answer" && added.Args() == 1) || added.Verb() == "when";
        if (opens) block = &into.back();
    }
    if (block) throw SyntaxError(block->line, block->Verb() + " block without its end");
    return script;
}

Script LoadScript(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    if (!f) throw std::runtime_error("cannot read the script " + path);
    std::ostringstream text;
    text << f.rdbuf();
    const std::filesystem::path p(path);
    Script s = ParseScript(p.filename().string(), text.str());
    s.folder = std::filesystem::absolute(p).parent_path().string();
    return s;
}

}  // namespace e2e
