#pragma once
// Turns the old engine's SQL into SQLite's, private to the ado layer.
//
// A tokenizer cuts the text into words, [bracketed] names, strings, numbers and
// symbols; one pass over the tokens, aware of the clause it is in (select
// list, FROM, ON, WHERE, GROUP BY, ORDER BY, SET, VALUES) and of parentheses,
// rewrites what differs:
//
// | the old engine's SQL                          | what SQLite is given                              |
// |-----------------------------------------------|---------------------------------------------------|
// | [Pressure Pipe], `name`                       | "Pressure Pipe" (quoted name)                     |
// | unbracketed names, reserved in SQLite or not  | quoted too: E_CodDiam.Index -> "E_CodDiam"."Index" |
// | "text" (double quotes are strings here)       | 'text'                                            |
// | x = True, x <> True, x = False, x <> False    | x <> 0, x = 0, x = 0, x <> 0 (True is stored 1 or -1) |
// | True / False elsewhere (SET x = True, VALUES) | 1 / 0                                             |
// | a = 'b', a = b.c (and <>, <, >, <=, >=)       | ... COLLATE JET: texts compare without case       |
// | ORDER BY / GROUP BY name                      | name COLLATE JET: the old engine's text order     |
// | Like with % * _ ?, Like without wildcards     | unchanged: like() is replaced by the old engine's |
// | Is Null, Is Not Null, AS aliases, ON (..) AND (..) | unchanged                                   |
// | (((..))) and nested (A JOIN B ON ..) JOIN C   | unchanged (SQLite reads them as they are)         |
// | table names in FROM/JOIN/INTO/UPDATE          | the stored table's own name, looked up without case; a missing one fails naming it |
// | a.dbf in FROM (a dotted table name)           | one table name "a.dbf"                            |
// | DELETE * FROM t                               | DELETE FROM t                                     |
// | a trailing ";"                                | dropped (a second statement is refused)           |
// | SELECT from one table without ORDER BY        | ... ORDER BY its rowid: the table's own order     |
// | SELECT from one table (for writing back)      | the rowid added as a last, hidden column          |

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ado::detail {

enum class TokenKind { Word, Name, String, Number, Symbol };

struct Token {
    TokenKind kind;
    std::string text;  // a Name or String without its quotes
};

// Throws ado::Error (adErrSyntax) for an unterminated string or name.
std::vector<Token> Tokenize(std::string_view sql);

struct TableInfo {
    std::string sqlName;  // the name to give SQLite
    bool hasRowid = false;
};
// Maps a table name as written to the stored table; throws when there is none.
using TableResolver = std::function<TableInfo(const std::string& writtenName)>;

// One item of the outermost select list: "q.c" gives qualifier q and column c;
// "x AS a" gives alias a; anything else leaves all three empty.
struct SelectItem {
    std::string qualifier, column, alias;
};

inline constexpr const char* kRowidColumn = "__quoril_rowid__";

struct Translation {
    std::string sql;
    bool isSelect = false;
    std::string baseTable;     // when the rows can be written back through their rowid
    bool rowidColumn = false;  // the last column of the result is the hidden rowid
    std::vector<SelectItem> items;
};

Translation TranslateJetSql(std::string_view jetSql, const TableResolver& resolve, bool withRowid);

// "name" with embedded quotes doubled.
std::string QuoteName(std::string_view name);

}  // namespace ado::detail
