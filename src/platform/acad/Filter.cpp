#include "platform/acad/Filter.h"

#include "platform/acad/BlockReference.h"
#include "platform/acad/Document.h"
#include "platform/acad/Error.h"
#include "platform/acad/Hatch.h"
#include "platform/acad/TextEntities.h"

namespace acad {

namespace {

// --- characters

// Decodes UTF-8 into code points; a malformed byte stands for itself (Latin-1),
// so no text is ever refused.
std::u32string Decode(const std::string& s)
{
    std::u32string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        int len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        bool ok = len > 0 && i + len <= s.size();
        char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        for (int k = 1; ok && k < len; ++k) {
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (d & 0x3F);
        }
        if (!ok) {
            out.push_back(c);
            ++i;
        } else {
            out.push_back(cp);
            i += static_cast<std::size_t>(len);
        }
    }
    return out;
}

char32_t Fold(char32_t c)
{
    if (c >= U'a' && c <= U'z') return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;  // à..þ → À..Þ
    return c;
}

bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }
bool IsLetter(char32_t c)
{
    c = Fold(c);
    return (c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || c == 0xDF || c == 0xFF;
}

// --- patterns

// One element of a pattern: a literal character, a class of one character, or a
// run of any characters.
struct Element {
    enum Kind : std::uint8_t { Literal, Any, Digit, Letter, Other, Set, Star } kind = Literal;
    char32_t ch = 0;
    bool negated = false;                               // Set
    std::vector<std::pair<char32_t, char32_t>> ranges;  // Set, folded
};

struct Alternative {
    bool negated = false;
    std::vector<Element> elements;
};

// Parses one alternative from p[i..], stopping at an unescaped comma.
Alternative ParseAlternative(const std::u32string& p, std::size_t& i)
{
    Alternative alt;
    if (i < p.size() && p[i] == U'~') {
        alt.negated = true;
        ++i;
    }
    while (i < p.size() && p[i] != U',') {
        Element e;
        const char32_t c = p[i];
        if (c == U'`' && i + 1 < p.size()) {
            e.ch = Fold(p[i + 1]);
            i += 2;
        } else if (c == U'[') {
            // A bracket without its closing ']' is an ordinary character.
            std::size_t j = i + 1;
            Element set;
            set.kind = Element::Set;
            if (j < p.size() && p[j] == U'~') {
                set.negated = true;
                ++j;
            }
            bool closed = false;
            bool first = true;
            while (j < p.size()) {
                char32_t a = p[j];
                if (a == U']' && !first) {
                    closed = true;
                    break;
                }
                first = false;
                if (a == U'`' && j + 1 < p.size()) a = p[++j];
                char32_t b = a;
                if (j + 2 < p.size() && p[j + 1] == U'-' && p[j + 2] != U']') {
                    b = p[j + 2];
                    if (b == U'`' && j + 3 < p.size()) {
                        b = p[j + 3];
                        ++j;
                    }
                    j += 2;
                }
                a = Fold(a);
                b = Fold(b);
                set.ranges.emplace_back(std::min(a, b), std::max(a, b));
                ++j;
            }
            if (closed) {
                e = std::move(set);
                i = j + 1;
            } else {
                e.ch = c;
                ++i;
            }
        } else {
            switch (c) {
            case U'*': e.kind = Element::Star; break;
            case U'?': e.kind = Element::Any; break;
            case U'#': e.kind = Element::Digit; break;
            case U'@': e.kind = Element::Letter; break;
            case U'.': e.kind = Element::Other; break;
            default: e.ch = Fold(c); break;
            }
            ++i;
        }
        alt.elements.push_back(std::move(e));
    }
    return alt;
}

bool MatchOne(const Element& e, char32_t c)
{
    switch (e.kind) {
    case Element::Literal: return Fold(c) == e.ch;
    case Element::Any: return true;
    case Element::Digit: return IsDigit(c);
    case Element::Letter: return IsLetter(c);
    case Element::Other: return !IsDigit(c) && !IsLetter(c);
    case Element::Set: {
        const char32_t f = Fold(c);
        bool in = false;
        for (const auto& [a, b] : e.ranges)
            if (f >= a && f <= b) in = true;
        return in != e.negated;
    }
    case Element::Star: return false;
    }
    return false;
}

// Every element but '*' takes exactly one character, so the usual single
// backtracking point over the last star is enough.
bool MatchElements(const std::vector<Element>& pat, const std::u32string& text)
{
    std::size_t p = 0, t = 0;
    std::size_t starP = std::string::npos, starT = 0;
    while (t < text.size()) {
        if (p < pat.size() && pat[p].kind == Element::Star) {
            starP = p++;
            starT = t;
        } else if (p < pat.size() && MatchOne(pat[p], text[t])) {
            ++p;
            ++t;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pat.size() && pat[p].kind == Element::Star) ++p;
    return p == pat.size();
}

}  // namespace

bool WildcardMatch(const std::string& text, const std::string& pattern)
{
    const std::u32string p = Decode(pattern);
    const std::u32string t = Decode(text);
    std::size_t i = 0;
    for (;;) {
        const Alternative alt = ParseAlternative(p, i);
        if (MatchElements(alt.elements, t) != alt.negated) return true;
        if (i >= p.size()) return false;
        ++i;  // the comma
    }
}

// --- filters

SelectionFilter::SelectionFilter(const std::vector<int>& filterType, const std::vector<Variant>& filterData)
{
    if (filterType.size() != filterData.size())
        throw Error(ErrorCode::InvalidInput, "Filtro de seleção inválido: " + std::to_string(filterType.size()) +
                                                 " códigos de grupo para " + std::to_string(filterData.size()) +
                                                 " valores");
    struct Open {
        std::size_t node;
        std::string closer;
    };
    std::vector<Open> open;
    auto attach = [&](std::size_t n) {
        if (open.empty())
            roots_.push_back(n);
        else
            nodes_[open.back().node].children.push_back(n);
    };
    for (std::size_t i = 0; i < filterType.size(); ++i) {
        const int code = filterType[i];
        const Variant& v = filterData[i];
        const std::string where = "item " + std::to_string(i) + " do filtro de seleção";
        if (!v.IsString() && !v.IsNumber())
            throw Error(ErrorCode::InvalidInput,
                        "Valor inválido no " + where + " (código " + std::to_string(code) + "): é preciso um texto");
        const std::string value = v.ToString();
        if (code == -4) {
            const std::string op = UpperName(value);
            static const std::pair<const char*, Node::Kind> kOpen[] = {
                {"<AND", Node::And}, {"<OR", Node::Or}, {"<XOR", Node::Xor}, {"<NOT", Node::Not}};
            bool handled = false;
            for (const auto& [text, kind] : kOpen) {
                if (op != text) continue;
                Node n;
                n.kind = kind;
                nodes_.push_back(std::move(n));
                attach(nodes_.size() - 1);
                open.push_back({nodes_.size() - 1, std::string(text + 1) + ">"});
                handled = true;
            }
            if (handled) continue;
            if (op.size() > 1 && op.back() == '>') {
                if (open.empty() || open.back().closer != op)
                    throw Error(ErrorCode::InvalidInput, "Filtro de seleção inválido: \"" + value + "\" sem o \"<" +
                                                             op.substr(0, op.size() - 1) + "\" correspondente (" +
                                                             where + ")");
                const Node& n = nodes_[open.back().node];
                const std::size_t count = n.children.size();
                if (n.kind == Node::Not && count != 1)
                    throw Error(ErrorCode::InvalidInput,
                                "Filtro de seleção inválido: \"<NOT\" precisa de exatamente uma condição");
                if (n.kind == Node::Xor && count != 2)
                    throw Error(ErrorCode::InvalidInput,
                                "Filtro de seleção inválido: \"<XOR\" precisa de exatamente duas condições");
                if (count == 0)
                    throw Error(ErrorCode::InvalidInput, "Filtro de seleção inválido: \"" + value + "\" sem condições");
                open.pop_back();
                continue;
            }
            throw Error(ErrorCode::InvalidInput, "Operador de filtro não suportado: \"" + value + "\" (" + where + ")");
        }
        if (code != 0 && code != 2 && code != 8 && code != 1001)
            throw Error(ErrorCode::InvalidInput,
                        "Código de grupo não suportado no filtro de seleção: " + std::to_string(code));
        Node n;
        n.kind = Node::Leaf;
        n.code = code;
        n.pattern = value;
        nodes_.push_back(std::move(n));
        attach(nodes_.size() - 1);
    }
    if (!open.empty())
        throw Error(ErrorCode::InvalidInput,
                    "Filtro de seleção inválido: falta \"" + open.back().closer + "\" no fim do filtro");
    memo_.resize(nodes_.size());
}

bool SelectionFilter::Matches(const Entity& e) const
{
    for (std::size_t r : roots_)
        if (!Eval(r, e)) return false;
    return true;
}

bool SelectionFilter::Eval(std::size_t index, const Entity& e) const
{
    const Node& n = nodes_[index];
    switch (n.kind) {
    case Node::Leaf: return MatchLeaf(n, index, e);
    case Node::And:
        for (std::size_t c : n.children)
            if (!Eval(c, e)) return false;
        return true;
    case Node::Or:
        for (std::size_t c : n.children)
            if (Eval(c, e)) return true;
        return false;
    case Node::Xor: return Eval(n.children[0], e) != Eval(n.children[1], e);
    case Node::Not: return !Eval(n.children[0], e);
    }
    return false;
}

bool SelectionFilter::MatchLeaf(const Node& n, std::size_t index, const Entity& e) const
{
    // Names held by record index (layers, blocks) are compared once per record.
    auto memoized = [&](std::uint32_t record, auto&& name) {
        auto& m = memo_[index];
        if (record >= m.size()) m.resize(record + 1, 0);
        if (m[record] == 0) m[record] = WildcardMatch(name(), n.pattern) ? 2 : 1;
        return m[record] == 2;
    };
    switch (n.code) {
    case 0: return WildcardMatch(e.DxfName(), n.pattern);
    case 8: return memoized(e.LayerIndex(), [&] { return e.Layer(); });
    case 2:
        if (const auto* ref = dynamic_cast<const BlockReference*>(&e))
            return memoized(ref->Data().block, [&] { return ref->Name(); });
        if (const auto* hatch = dynamic_cast<const Hatch*>(&e)) return WildcardMatch(hatch->PatternName(), n.pattern);
        if (const auto* def = dynamic_cast<const AttributeDefinition*>(&e))
            return WildcardMatch(def->TagString(), n.pattern);
        return false;
    case 1001: {
        const auto& apps = e.Document().RegisteredApplications();
        for (std::uint32_t a : e.XDataApplications()) {
            const RegisteredApplication* app = apps.ByIndex(a);
            if (app && WildcardMatch(app->Name(), n.pattern)) return true;
        }
        return false;
    }
    }
    return false;
}

}  // namespace acad
