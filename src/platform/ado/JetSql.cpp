#include "platform/ado/JetSql.h"

#include "platform/ado/Error.h"
#include "platform/ado/JetText.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace ado::detail {

namespace {

bool WordStart(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; }
bool WordChar(unsigned char c) { return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80; }

const std::set<std::string>& Keywords()
{
    static const std::set<std::string> k = {"SELECT", "DISTINCT", "DISTINCTROW", "FROM",   "WHERE", "GROUP",  "BY",
                                            "HAVING", "ORDER",    "ASC",         "DESC",   "INNER", "LEFT",   "RIGHT",
                                            "OUTER",  "FULL",     "CROSS",       "JOIN",   "ON",    "AS",     "AND",
                                            "OR",     "NOT",      "LIKE",        "IS",     "NULL",  "IN",     "BETWEEN",
                                            "EXISTS", "TRUE",     "FALSE",       "INSERT", "INTO",  "VALUES", "UPDATE",
                                            "SET",    "DELETE",   "UNION",       "ALL",    "ANY",   "SOME"};
    return k;
}

bool IsKeyword(const Token& t) { return t.kind == TokenKind::Word && Keywords().count(AsciiUpper(t.text)); }
bool IsWord(const Token& t, const char* upper) { return t.kind == TokenKind::Word && AsciiUpper(t.text) == upper; }
bool IsSymbol(const Token& t, const char* s) { return t.kind == TokenKind::Symbol && t.text == s; }
bool IsComparison(const std::string& s)
{
    return s == "=" || s == "<>" || s == "!=" || s == "<" || s == ">" || s == "<=" || s == ">=";
}

[[noreturn]] void Syntax(std::string_view sql, const std::string& what)
{
    throw Error(adErrSyntax, "Erro de sintaxe (" + what + ") na instrução SQL: " + std::string(sql));
}

class Translator {
public:
    Translator(std::string_view sql, const TableResolver& resolve, bool withRowid)
        : sql_(sql), toks_(Tokenize(sql)), resolve_(resolve), withRowid_(withRowid)
    {
    }

    Translation Run();

private:
    enum class Clause { None, Select, From, Where, GroupBy, Having, OrderBy, Set, Values, Target };
    struct Level {
        Clause clause = Clause::None;
        bool outer = true;         // belongs to the outermost statement, not to a subquery
        bool expectTable = false;  // the next name is a table
        bool inOn = false;         // inside a join condition
        bool termStart = false;    // at the start of an ORDER BY / GROUP BY term
    };

    const Token* At(size_t i) const { return i < toks_.size() ? &toks_[i] : nullptr; }
    bool NameToken(size_t i) const
    {
        const Token* t = At(i);
        return t && (t->kind == TokenKind::Name || (t->kind == TokenKind::Word && !IsKeyword(*t)));
    }
    // Reads name(.name)* from i; returns the parts, leaves i on the last token.
    std::vector<std::string> Chain(size_t& i) const;
    void Emit(std::string s) { out_.push_back(std::move(s)); }
    void Keyword(const std::string& up, size_t& i);
    void Operand(const std::string& text, size_t i);
    void CloseItem(size_t end);
    bool TermEnds(size_t next) const;

    std::string_view sql_;
    std::vector<Token> toks_;
    const TableResolver& resolve_;
    bool withRowid_;

    std::vector<Level> levels_{Level{}};
    std::vector<std::string> out_;
    bool compare_ = false;  // the previous token was a comparison operator

    // About the outermost statement.
    bool isSelect_ = false, distinct_ = false, grouped_ = false, joined_ = false, union_ = false, ordered_ = false;
    std::vector<TableInfo> tables_;
    std::string tableRef_;  // alias or name of the one table
    size_t fromAt_ = std::string::npos;
    size_t selectDepth_ = std::string::npos;
    size_t itemStart_ = 0;
    std::vector<SelectItem> items_;
};

std::vector<std::string> Translator::Chain(size_t& i) const
{
    std::vector<std::string> parts{toks_[i].text};
    while (
        At(i + 1) && IsSymbol(toks_[i + 1], ".") && At(i + 2) &&
        (toks_[i + 2].kind == TokenKind::Word || toks_[i + 2].kind == TokenKind::Name || IsSymbol(toks_[i + 2], "*"))) {
        parts.push_back(toks_[i + 2].text);
        i += 2;
    }
    return parts;
}

bool Translator::TermEnds(size_t next) const
{
    const Token* t = At(next);
    if (!t || IsSymbol(*t, ",") || IsSymbol(*t, ")") || IsSymbol(*t, ";")) return true;
    if (t->kind != TokenKind::Word) return false;
    const std::string u = AsciiUpper(t->text);
    return u == "ASC" || u == "DESC" || u == "HAVING" || u == "ORDER" || u == "UNION";
}

void Translator::CloseItem(size_t end)
{
    // Classifies toks_[itemStart_, end) of the outermost select list.
    SelectItem item;
    size_t n = end - itemStart_;
    auto tok = [&](size_t k) -> const Token& { return toks_[itemStart_ + k]; };
    if (n >= 2 && (tok(n - 1).kind == TokenKind::Name || tok(n - 1).kind == TokenKind::Word) &&
        (IsWord(tok(n - 2), "AS"))) {
        item.alias = tok(n - 1).text;
    } else if (n == 1 && (tok(0).kind == TokenKind::Word || tok(0).kind == TokenKind::Name)) {
        item.column = tok(0).text;
    } else if (n == 3 && IsSymbol(tok(1), ".") && tok(2).kind != TokenKind::Symbol) {
        item.qualifier = tok(0).text;
        item.column = tok(2).text;
    }
    items_.push_back(item);
}

void Translator::Operand(const std::string& text, size_t i)
{
    Emit(text);
    Level& L = levels_.back();
    const bool sortTerm =
        L.termStart && (L.clause == Clause::OrderBy || L.clause == Clause::GroupBy) && TermEnds(i + 1);
    if (compare_ || sortTerm) Emit("COLLATE JET");
    compare_ = false;
    L.termStart = false;
}

void Translator::Keyword(const std::string& up, size_t& i)
{
    Level& L = levels_.back();
    if (up == "TRUE" || up == "FALSE") {
        const bool t = up == "TRUE";
        if (compare_ && !out_.empty() && (out_.back() == "=" || out_.back() == "<>" || out_.back() == "!=")) {
            const bool eq = out_.back() == "=";
            // x = True -> x <> 0 so that both 1 and -1 (the old engine's True) match.
            out_.back() = (eq == t) ? "<>" : "=";
            Emit("0");
        } else {
            Emit(t ? "1" : "0");
        }
        compare_ = false;
        L.termStart = false;
        return;
    }
    compare_ = false;
    L.termStart = false;
    if (up == "SELECT") {
        if (i == 0) isSelect_ = true;
        if (levels_.size() > 1 && i > 0 && !IsWord(toks_[i - 1], "UNION") && !IsWord(toks_[i - 1], "ALL"))
            L.outer = false;
        L.clause = Clause::Select;
        L.expectTable = false;
        if (L.outer && selectDepth_ == std::string::npos) {
            selectDepth_ = levels_.size();
            itemStart_ = i + 1;
        }
        Emit("SELECT");
        if (At(i + 1) && (IsWord(toks_[i + 1], "DISTINCT") || IsWord(toks_[i + 1], "DISTINCTROW"))) {
            Emit("DISTINCT");
            if (L.outer) distinct_ = true;
            itemStart_ = i + 2;
            ++i;
        }
        return;
    }
    if (up == "FROM") {
        if (L.clause == Clause::Select && L.outer && levels_.size() == selectDepth_) {
            if (fromAt_ == std::string::npos) {
                CloseItem(i);
                fromAt_ = out_.size();
            }
        }
        L.clause = (L.clause == Clause::Select) ? Clause::From : Clause::Target;
        L.expectTable = true;
        L.inOn = false;
        Emit("FROM");
        return;
    }
    if (up == "INTO" || up == "UPDATE") {
        L.clause = Clause::Target;
        L.expectTable = true;
        Emit(up);
        return;
    }
    if (up == "DELETE") {
        Emit("DELETE");
        if (At(i + 1) && IsSymbol(toks_[i + 1], "*")) ++i;
        return;
    }
    if (up == "JOIN") {
        L.expectTable = true;
        L.inOn = false;
        if (L.outer) joined_ = true;
        Emit("JOIN");
        return;
    }
    if (up == "ON") {
        L.inOn = true;
        L.expectTable = false;
        Emit("ON");
        return;
    }
    if (up == "WHERE" || up == "HAVING") {
        L.clause = up == "WHERE" ? Clause::Where : Clause::Having;
        L.expectTable = false;
        Emit(up);
        return;
    }
    if ((up == "GROUP" || up == "ORDER") && At(i + 1) && IsWord(toks_[i + 1], "BY")) {
        L.clause = up == "GROUP" ? Clause::GroupBy : Clause::OrderBy;
        if (L.outer) (up == "GROUP" ? grouped_ : ordered_) = true;
        L.expectTable = false;
        L.termStart = true;
        Emit(up);
        Emit("BY");
        ++i;
        return;
    }
    if (up == "SET") {
        L.clause = Clause::Set;
        L.expectTable = false;
        Emit("SET");
        return;
    }
    if (up == "VALUES") {
        L.clause = Clause::Values;
        L.expectTable = false;
        Emit("VALUES");
        return;
    }
    if (up == "UNION") {
        if (L.outer) union_ = true;
        L.clause = Clause::None;
        Emit("UNION");
        return;
    }
    if (up == "DISTINCTROW") {
        Emit("DISTINCT");
        return;
    }
    Emit(up);
}

Translation Translator::Run()
{
    for (size_t i = 0; i < toks_.size(); ++i) {
        const Token& t = toks_[i];
        Level& L = levels_.back();
        const bool inSelectList = L.clause == Clause::Select && L.outer && levels_.size() == selectDepth_;

        if (t.kind == TokenKind::Symbol) {
            const std::string& s = t.text;
            if (s == "(") {
                Level child = L;
                child.termStart = false;
                // The parenthesised part stands in the table's place: the parent has its table.
                if (L.expectTable) L.expectTable = false;
                levels_.push_back(child);
                Emit("(");
                compare_ = false;
            } else if (s == ")") {
                if (levels_.size() == 1) Syntax(sql_, "\")\" sem \"(\"");
                levels_.pop_back();
                Emit(")");
                compare_ = false;
            } else if (s == ",") {
                if (inSelectList) {
                    CloseItem(i);
                    itemStart_ = i + 1;
                }
                if (L.clause == Clause::From && !L.inOn) {
                    L.expectTable = true;
                    if (L.outer) joined_ = true;
                }
                if (L.clause == Clause::OrderBy || L.clause == Clause::GroupBy) L.termStart = true;
                Emit(",");
                compare_ = false;
            } else if (s == ";") {
                if (i + 1 != toks_.size()) Syntax(sql_, "mais de uma instrução");
            } else {
                Emit(s);
                compare_ = IsComparison(s) && L.clause != Clause::Set && L.clause != Clause::Values;
                L.termStart = false;
            }
            continue;
        }
        if (t.kind == TokenKind::String) {
            std::string q = "'";
            for (char c : t.text) q += (c == '\'') ? std::string("''") : std::string(1, c);
            Operand(q + "'", i);
            continue;
        }
        if (t.kind == TokenKind::Number) {
            Emit(t.text);
            compare_ = false;
            L.termStart = false;
            continue;
        }
        if (t.kind == TokenKind::Word && IsKeyword(t)) {
            Keyword(AsciiUpper(t.text), i);
            continue;
        }
        // A name: a table, a function, an alias or a column.
        const bool tableClause = L.clause == Clause::From || L.clause == Clause::Target;
        if (!(tableClause && L.expectTable) && t.kind == TokenKind::Word && At(i + 1) && IsSymbol(toks_[i + 1], "(")) {
            Emit(t.text);
            compare_ = false;
            L.termStart = false;
            continue;
        }
        if (tableClause && L.expectTable) {
            std::vector<std::string> parts = Chain(i);
            std::string written = parts[0];
            for (size_t k = 1; k < parts.size(); ++k) written += "." + parts[k];
            TableInfo info = resolve_(written);
            Emit(QuoteName(info.sqlName));
            L.expectTable = false;
            std::string ref = info.sqlName;
            if (At(i + 1) && IsWord(toks_[i + 1], "AS") && NameToken(i + 2)) {
                Emit("AS");
                ref = toks_[i + 2].text;
                Emit(QuoteName(ref));
                i += 2;
            } else if (L.clause == Clause::From && NameToken(i + 1)) {
                ref = toks_[i + 1].text;
                Emit(QuoteName(ref));
                i += 1;
            }
            if (L.outer && L.clause == Clause::From) {
                tables_.push_back(info);
                tableRef_ = ref;
            }
            continue;
        }
        std::vector<std::string> parts = Chain(i);
        std::string text;
        for (size_t k = 0; k < parts.size(); ++k) {
            if (k) text += ".";
            text += (parts[k] == "*" && k + 1 == parts.size()) ? std::string("*") : QuoteName(parts[k]);
        }
        Operand(text, i);
    }
    if (levels_.size() != 1) Syntax(sql_, "\"(\" sem \")\"");
    if (selectDepth_ == 1 && fromAt_ == std::string::npos && isSelect_) CloseItem(toks_.size());

    Translation tr;
    tr.isSelect = isSelect_;
    tr.items = items_;
    const bool single = isSelect_ && tables_.size() == 1 && !joined_ && !grouped_ && !distinct_ && !union_ &&
                        tables_[0].hasRowid && fromAt_ != std::string::npos;
    if (single) {
        const std::string rowid = QuoteName(tableRef_) + "._rowid_";
        if (!ordered_) {
            out_.push_back("ORDER BY");
            out_.push_back(rowid);
        }
        if (withRowid_) {
            out_.insert(out_.begin() + static_cast<long>(fromAt_), ", " + rowid + " AS " + QuoteName(kRowidColumn));
            tr.rowidColumn = true;
            tr.baseTable = tables_[0].sqlName;
        }
    }
    for (size_t k = 0; k < out_.size(); ++k) {
        if (k) tr.sql += ' ';
        tr.sql += out_[k];
    }
    return tr;
}

}  // namespace

std::string QuoteName(std::string_view name)
{
    std::string q = "\"";
    for (char c : name) q += (c == '"') ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

std::vector<Token> Tokenize(std::string_view s)
{
    std::vector<Token> toks;
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (std::isspace(c)) {
            ++i;
            continue;
        }
        if (c == '[' || c == '`') {
            // A closing mark written twice is one of the name's own characters
            // (a file "rede]a.dbf" is [rede]]a.dbf]).
            const char close = c == '[' ? ']' : '`';
            std::string name;
            size_t j = i + 1;
            for (;;) {
                const size_t end = s.find(close, j);
                if (end == std::string_view::npos)
                    throw Error(adErrSyntax, "Nome sem fechamento na instrução SQL: " + std::string(s));
                name += s.substr(j, end - j);
                j = end + 1;
                if (j < s.size() && s[j] == close) {
                    name += close;
                    ++j;
                    continue;
                }
                break;
            }
            toks.push_back({TokenKind::Name, name});
            i = j;
            continue;
        }
        if (c == '\'' || c == '"') {
            std::string text;
            size_t j = i + 1;
            bool closed = false;
            while (j < s.size()) {
                if (s[j] == static_cast<char>(c)) {
                    if (j + 1 < s.size() && s[j + 1] == static_cast<char>(c)) {
                        text += static_cast<char>(c);
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                text += s[j++];
            }
            if (!closed) throw Error(adErrSyntax, "Texto sem fechamento na instrução SQL: " + std::string(s));
            toks.push_back({TokenKind::String, text});
            i = j + 1;
            continue;
        }
        if (std::isdigit(c) || (c == '.' && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])) &&
                                (toks.empty() || toks.back().kind == TokenKind::Symbol))) {
            size_t j = i;
            while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
            if (j < s.size() && s[j] == '.') {
                ++j;
                while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
            }
            if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
                size_t k = j + 1;
                if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
                if (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) {
                    j = k;
                    while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
                }
            }
            // "1abc" is a name that starts with a digit (the old engine allowed them in FROM).
            if (j < s.size() && WordChar(static_cast<unsigned char>(s[j])) && s[j] != '$') {
                size_t k = j;
                while (k < s.size() && WordChar(static_cast<unsigned char>(s[k]))) ++k;
                toks.push_back({TokenKind::Word, std::string(s.substr(i, k - i))});
                i = k;
                continue;
            }
            toks.push_back({TokenKind::Number, std::string(s.substr(i, j - i))});
            i = j;
            continue;
        }
        if (WordStart(c)) {
            size_t j = i + 1;
            while (j < s.size() && WordChar(static_cast<unsigned char>(s[j]))) ++j;
            toks.push_back({TokenKind::Word, std::string(s.substr(i, j - i))});
            i = j;
            continue;
        }
        static const char* const two[] = {"<=", ">=", "<>", "!=", "||"};
        bool matched = false;
        for (const char* op : two) {
            if (s.substr(i, 2) == op) {
                toks.push_back({TokenKind::Symbol, op});
                i += 2;
                matched = true;
                break;
            }
        }
        if (matched) continue;
        toks.push_back({TokenKind::Symbol, std::string(1, static_cast<char>(c))});
        ++i;
    }
    return toks;
}

Translation TranslateJetSql(std::string_view jetSql, const TableResolver& resolve, bool withRowid)
{
    return Translator(jetSql, resolve, withRowid).Run();
}

}  // namespace ado::detail
