#include "platform/acad/Lisp.h"

#include <cctype>
#include <charconv>

#include "platform/acad/AcadObject.h"
#include "platform/acad/Document.h"
#include "platform/acad/Entity.h"
#include "platform/acad/Error.h"
#include "platform/acad/Filter.h"
#include "platform/acad/SelectionSetQuery.h"

namespace acad::lisp {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDelimiter(char c) { return IsBlank(c) || c == '(' || c == ')' || c == '\'' || c == '"' || c == ';'; }

class Reader {
public:
    explicit Reader(const std::string& s) : s_(s) {}

    Value ReadAll()
    {
        Value v = Read();
        SkipBlanks();
        if (i_ != s_.size()) Fail("texto após o fim da expressão");
        return v;
    }

private:
    [[noreturn]] void Fail(const std::string& why) const
    {
        throw Error(ErrorCode::InvalidInput, "Expressão LISP inválida (" + why + "): " + s_);
    }

    void SkipBlanks()
    {
        while (i_ < s_.size()) {
            if (IsBlank(s_[i_])) {
                ++i_;
            } else if (s_[i_] == ';') {
                while (i_ < s_.size() && s_[i_] != '\n') ++i_;
            } else {
                break;
            }
        }
    }

    Value Read()
    {
        SkipBlanks();
        if (i_ >= s_.size()) Fail("fim inesperado");
        const char c = s_[i_];
        if (c == '(') return ReadList();
        if (c == ')') Fail("\")\" a mais");
        if (c == '\'') {
            ++i_;
            Value q;
            q.type = Value::Type::List;
            Value sym;
            sym.type = Value::Type::Symbol;
            sym.text = "QUOTE";
            q.items.push_back(std::move(sym));
            q.items.push_back(Read());
            return q;
        }
        if (c == '"') return ReadString();
        return ReadAtom();
    }

    Value ReadList()
    {
        ++i_;  // (
        Value list;
        list.type = Value::Type::List;
        for (;;) {
            SkipBlanks();
            if (i_ >= s_.size()) Fail("falta \")\"");
            if (s_[i_] == ')') {
                ++i_;
                if (list.items.empty()) return Value();  // () is nil
                return list;
            }
            // A lone "." between the two items of a dotted pair.
            if (s_[i_] == '.' && i_ + 1 < s_.size() && IsDelimiter(s_[i_ + 1])) {
                if (list.items.size() != 1) Fail("par pontuado malformado");
                ++i_;
                Value cdr = Read();
                SkipBlanks();
                if (i_ >= s_.size() || s_[i_] != ')') Fail("par pontuado malformado");
                ++i_;
                Value pair;
                pair.type = Value::Type::Pair;
                pair.items = {std::move(list.items[0]), std::move(cdr)};
                return pair;
            }
            list.items.push_back(Read());
        }
    }

    Value ReadString()
    {
        ++i_;  // "
        Value v;
        v.type = Value::Type::String;
        while (i_ < s_.size() && s_[i_] != '"') {
            char c = s_[i_++];
            if (c == '\\' && i_ < s_.size()) {
                const char e = s_[i_++];
                c = e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e == 'e' ? '\x1b' : e;
            }
            v.text.push_back(c);
        }
        if (i_ >= s_.size()) Fail("texto sem aspas de fechamento");
        ++i_;
        return v;
    }

    Value ReadAtom()
    {
        const std::size_t start = i_;
        while (i_ < s_.size() && !IsDelimiter(s_[i_])) ++i_;
        const std::string atom = s_.substr(start, i_ - start);
        Value v;
        const char* b = atom.data();
        const char* e = b + atom.size();
        if (auto [p, ec] = std::from_chars(b, e, v.integer); ec == std::errc() && p == e) {
            v.type = Value::Type::Integer;
            return v;
        }
        if (auto [p, ec] = std::from_chars(b, e, v.real); ec == std::errc() && p == e) {
            v.type = Value::Type::Real;
            return v;
        }
        v.type = Value::Type::Symbol;
        v.text = UpperName(atom);
        return v;
    }

    const std::string& s_;
    std::size_t i_ = 0;
};

class Evaluator {
public:
    Evaluator(Document& doc, const std::string& source) : doc_(doc), source_(source) {}

    Value Eval(const Value& v)
    {
        switch (v.type) {
        case Value::Type::Symbol: {
            Value r;
            if (v.text == "T") r.type = Value::Type::True;
            return r;  // unbound symbols are nil, as in the host's Lisp
        }
        case Value::Type::List: return Call(v);
        default: return v;
        }
    }

private:
    [[noreturn]] void Fail(const std::string& why) const
    {
        throw Error(ErrorCode::InvalidInput, "Expressão LISP inválida (" + why + "): " + source_);
    }

    Value Call(const Value& form)
    {
        const Value& head = form.items[0];
        if (head.type != Value::Type::Symbol) Fail("o primeiro item de uma lista chamada precisa ser uma função");
        const std::string& fn = head.text;
        if (fn == "QUOTE") {
            if (form.items.size() != 2) Fail("quote precisa de um argumento");
            return form.items[1];
        }
        std::vector<Value> args;
        for (std::size_t k = 1; k < form.items.size(); ++k) args.push_back(Eval(form.items[k]));
        if (fn == "LIST") {
            Value r;
            if (args.empty()) return r;
            r.type = Value::Type::List;
            r.items = std::move(args);
            return r;
        }
        if (fn == "CONS") return Cons(args);
        if (fn == "HANDENT") return Handent(args);
        if (fn == "SSGET") return Ssget(args);
        throw Error(ErrorCode::UnknownCommand, "Função LISP desconhecida: " + fn);
    }

    Value Cons(std::vector<Value>& args)
    {
        if (args.size() != 2) Fail("cons precisa de dois argumentos");
        Value r;
        if (args[1].type == Value::Type::List || args[1].IsNil()) {
            r.type = Value::Type::List;
            r.items.push_back(std::move(args[0]));
            for (auto& item : args[1].items) r.items.push_back(std::move(item));
            return r;
        }
        r.type = Value::Type::Pair;
        r.items = {std::move(args[0]), std::move(args[1])};
        return r;
    }

    Value Handent(const std::vector<Value>& args)
    {
        if (args.size() != 1 || args[0].type != Value::Type::String) Fail("handent precisa de um texto");
        Value r;
        try {
            if (auto* e = As<Entity>(doc_.HandleToObject(args[0].text))) {
                r.type = Value::Type::Entity;
                r.entity = e;
            }
        } catch (const Error& err) {
            if (err.Code() != ErrorCode::KeyNotFound) throw;
        }
        return r;  // an unknown handle gives nil
    }

    Value Ssget(const std::vector<Value>& args)
    {
        if (args.empty() || args[0].type != Value::Type::String) Fail("ssget sem modo");
        const std::string mode = UpperName(args[0].text);
        if (mode != "X" && mode != "_X")
            throw Error(ErrorCode::InvalidInput, "Modo de ssget não suportado: \"" + args[0].text + "\"");
        if (args.size() > 2) Fail("ssget \"X\" aceita só uma lista de filtro");
        std::vector<int> types;
        std::vector<Variant> data;
        if (args.size() == 2 && !args[1].IsNil()) {
            if (args[1].type != Value::Type::List) Fail("o filtro de ssget precisa ser uma lista");
            for (const Value& item : args[1].items) {
                if (item.type != Value::Type::Pair || item.items[0].type != Value::Type::Integer)
                    Fail("cada item do filtro de ssget precisa ser um par (código . valor)");
                const Value& value = item.items[1];
                types.push_back(static_cast<int>(item.items[0].integer));
                switch (value.type) {
                case Value::Type::String: data.emplace_back(value.text); break;
                case Value::Type::Integer: data.emplace_back(static_cast<std::int32_t>(value.integer)); break;
                case Value::Type::Real: data.emplace_back(value.real); break;
                default: Fail("valor de filtro de ssget que não é texto nem número");
                }
            }
        }
        Value r;
        r.selection = selection::All(doc_, SelectionFilter(types, data));
        if (!r.selection.empty()) r.type = Value::Type::SelectionSet;
        return r;
    }

    Document& doc_;
    const std::string& source_;
};

}  // namespace

bool IsExpression(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i < text.size() && text[i] == '\'') ++i;
    return i < text.size() && text[i] == '(';
}

std::size_t ExpressionEnd(const std::string& text, std::size_t pos)
{
    int depth = 0;
    bool inString = false;
    bool opened = false;
    for (std::size_t i = pos; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '(') {
            ++depth;
            opened = true;
        } else if (c == ')') {
            if (--depth == 0 && opened) return i + 1;
        }
    }
    return std::string::npos;
}

Value Evaluate(Document& doc, const std::string& expression)
{
    Reader reader(expression);
    const Value form = reader.ReadAll();
    return Evaluator(doc, expression).Eval(form);
}

std::optional<std::string> Unquote(const std::string& item)
{
    const std::size_t first = item.find_first_not_of(" \t");
    if (first == std::string::npos || item[first] != '"') return std::nullopt;
    try {
        Value v = Reader(item).ReadAll();
        if (v.type == Value::Type::String) return std::move(v.text);
    } catch (const Error&) {
    }
    return std::nullopt;
}

}  // namespace acad::lisp

namespace acad {

std::string CommandWord(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        default: out += c;
        }
    }
    return out + '"';
}

}  // namespace acad
