#include "platform/ado/Criteria.h"

#include "platform/ado/Error.h"
#include "platform/ado/JetSql.h"
#include "platform/ado/JetText.h"

namespace ado::detail {

namespace {

// <0, 0, >0 comparing a field's value with a criteria value (neither Null).
int CompareValues(const Value& field, const Value& value)
{
    if (field.Kind() != ValueKind::Text && field.Kind() != ValueKind::Date) {
        std::optional<double> b;
        if (value.Kind() == ValueKind::Text)
            b = ParseNumber(*TextOf(value));
        else if (value.Kind() != ValueKind::Date)
            b = value.ToDouble();
        if (b) {
            const double a = field.ToDouble();
            return a < *b ? -1 : (a > *b ? 1 : 0);
        }
    }
    if (field.Kind() == ValueKind::Date && value.Kind() == ValueKind::Text) {
        if (auto d = Date::FromIso(*TextOf(value))) {
            const Date a = field.ToDate();
            return a < *d ? -1 : (*d < a ? 1 : 0);
        }
    }
    return JetCompare(field.ToText(), value.ToText());
}

class Parser {
public:
    Parser(const std::string& text, const std::vector<ColumnInfo>& columns)
        : text_(text), toks_(Tokenize(text)), columns_(columns)
    {
    }

    template <typename AddNode>
    int Expr(AddNode add)
    {
        int left = Term(add);
        while (Peek("OR")) {
            ++i_;
            int right = Term(add);
            left = add(1, left, right, -1, "", Value());
        }
        return left;
    }

    bool AtEnd() const { return i_ == toks_.size(); }
    [[noreturn]] void Fail(const std::string& why) const
    {
        throw Error(adErrInvalidArgument, "Critério inválido (" + why + "): " + text_);
    }

private:
    bool Peek(const char* word) const
    {
        return i_ < toks_.size() && toks_[i_].kind == TokenKind::Word && AsciiUpper(toks_[i_].text) == word;
    }

    template <typename AddNode>
    int Term(AddNode add)
    {
        int left = Primary(add);
        while (Peek("AND")) {
            ++i_;
            int right = Primary(add);
            left = add(0, left, right, -1, "", Value());
        }
        return left;
    }

    template <typename AddNode>
    int Primary(AddNode add)
    {
        if (i_ < toks_.size() && toks_[i_].kind == TokenKind::Symbol && toks_[i_].text == "(") {
            // Each level is a call here and in Eval: a bound keeps a damaged
            // text from overflowing the stack.
            if (++depth_ > kMaxDepth) Fail("parênteses demais");
            ++i_;
            int inner = Expr(add);
            --depth_;
            if (i_ >= toks_.size() || toks_[i_].text != ")") Fail("falta \")\"");
            ++i_;
            return inner;
        }
        if (i_ >= toks_.size() || (toks_[i_].kind != TokenKind::Word && toks_[i_].kind != TokenKind::Name))
            Fail("esperado o nome de um campo");
        const std::string field = toks_[i_++].text;
        const int column = FindColumn(columns_, field);
        if (column < 0) throw Error(adErrItemNotFound, "Campo '" + field + "' do critério não encontrado: " + text_);
        if (i_ >= toks_.size()) Fail("falta o operador");
        std::string op = toks_[i_].kind == TokenKind::Word ? AsciiUpper(toks_[i_].text) : toks_[i_].text;
        if (op != "=" && op != "<>" && op != "<" && op != ">" && op != "<=" && op != ">=" && op != "LIKE")
            Fail("operador '" + toks_[i_].text + "'");
        ++i_;
        return add(2, -1, -1, column, op, Literal());
    }

    Value Literal()
    {
        if (i_ >= toks_.size()) Fail("falta o valor");
        const Token& t = toks_[i_];
        bool negative = false;
        if (t.kind == TokenKind::Symbol && t.text == "-" && i_ + 1 < toks_.size() &&
            toks_[i_ + 1].kind == TokenKind::Number) {
            negative = true;
            ++i_;
        }
        const Token& v = toks_[i_++];
        switch (v.kind) {
        case TokenKind::String: return Value(v.text);
        case TokenKind::Number: {
            auto x = ParseNumber(v.text);
            if (!x) Fail("número '" + v.text + "'");
            return Value(negative ? -*x : *x);
        }
        case TokenKind::Word: {
            const std::string u = AsciiUpper(v.text);
            if (u == "TRUE") return Value(true);
            if (u == "FALSE") return Value(false);
            if (u == "NULL") return Value();
            break;
        }
        default: break;
        }
        Fail("valor '" + v.text + "'");
    }

    static constexpr int kMaxDepth = 100;

    std::string text_;
    std::vector<Token> toks_;
    const std::vector<ColumnInfo>& columns_;
    size_t i_ = 0;
    int depth_ = 0;
};

}  // namespace

Criteria::Criteria(const std::string& text, const std::vector<ColumnInfo>& columns)
{
    Parser p(text, columns);
    auto add = [this](int kind, int left, int right, int column, const std::string& op, const Value& value) {
        Node n;
        n.kind = static_cast<Node::Kind>(kind);
        n.left = left;
        n.right = right;
        n.column = column;
        n.op = op;
        n.value = value;
        nodes_.push_back(n);
        return static_cast<int>(nodes_.size() - 1);
    };
    root_ = p.Expr(add);
    if (!p.AtEnd()) p.Fail("texto a mais");
}

bool Criteria::Matches(const std::vector<Value>& row) const { return Eval(root_, row); }

bool Criteria::Eval(int index, const std::vector<Value>& row) const
{
    const Node& n = nodes_[static_cast<size_t>(index)];
    if (n.kind != Node::Test) {
        // "a And b And c" is a chain down the left: walked in a loop, so a
        // long criteria text costs no stack, terms tested in their order.
        std::vector<int> rights;
        int first = index;
        while (nodes_[static_cast<size_t>(first)].kind == n.kind) {
            rights.push_back(nodes_[static_cast<size_t>(first)].right);
            first = nodes_[static_cast<size_t>(first)].left;
        }
        const bool stopAt = n.kind == Node::Or;  // Or stops at the first true term, And at the first false
        if (Eval(first, row) == stopAt) return stopAt;
        for (auto it = rights.rbegin(); it != rights.rend(); ++it)
            if (Eval(*it, row) == stopAt) return stopAt;
        return !stopAt;
    }
    const Value& field = row[static_cast<size_t>(n.column)];
    if (n.value.IsNull()) {
        if (n.op == "=") return field.IsNull();
        if (n.op == "<>") return !field.IsNull();
        return false;
    }
    if (field.IsNull()) return false;
    if (n.op == "LIKE") return JetLike(field.ToText(), n.value.ToText());
    // "= True" means "not 0", as in SQL here: True may be stored as 1 or as -1.
    if (n.value.Kind() == ValueKind::Boolean && field.Kind() != ValueKind::Text && (n.op == "=" || n.op == "<>"))
        return (field.ToBool() == n.value.ToBool()) == (n.op == "=");
    const int c = CompareValues(field, n.value);
    if (n.op == "=") return c == 0;
    if (n.op == "<>") return c != 0;
    if (n.op == "<") return c < 0;
    if (n.op == ">") return c > 0;
    if (n.op == "<=") return c <= 0;
    return c >= 0;
}

}  // namespace ado::detail
