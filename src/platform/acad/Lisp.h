#pragma once
// The few Lisp forms that command texts embed: (ssget "X" <filter list>) with
// list, cons and quoted dotted pairs building the filter, and (handent "<handle>").
// Function names are read without regard to case; blanks and line breaks
// between items do not matter.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace acad {

class Document;
class Entity;

namespace lisp {

struct Value {
    enum class Type { Nil, True, Integer, Real, String, Symbol, List, Pair, Entity, SelectionSet };
    Type type = Type::Nil;
    long long integer = 0;
    double real = 0.0;
    std::string text;                      // String; Symbol (upper case)
    std::vector<Value> items;              // List; Pair: car then cdr
    acad::Entity* entity = nullptr;        // Entity
    std::vector<acad::Entity*> selection;  // SelectionSet, drawing order

    bool IsNil() const { return type == Type::Nil; }
};

// True when the text opens an expression ("(" or "'(" after blanks).
bool IsExpression(const std::string& text);
// Position just past the expression that opens at or after `pos` (balanced
// parentheses, strings skipped); npos while it is unfinished.
std::size_t ExpressionEnd(const std::string& text, std::size_t pos = 0);
// Reads and evaluates one expression. InvalidInput for text that is not one
// well-formed expression, UnknownCommand for a function the host does not know.
Value Evaluate(Document& doc, const std::string& expression);
// The text of a command-line item that is one string (as CommandWord writes
// it) and nothing else, blanks around it aside; nullopt for any other item.
std::optional<std::string> Unquote(const std::string& item);

}  // namespace lisp
}  // namespace acad
