#include "platform/acad/CommandContext.h"

#include <unordered_set>

#include "platform/acad/Document.h"
#include "platform/acad/Error.h"
#include "platform/acad/InputReader.h"
#include "platform/acad/Lisp.h"
#include "platform/acad/SelectionSetQuery.h"
#include "platform/acad/Tables.h"

namespace acad {

namespace {

using input::Request;
using input::Trim;

// An angle typed in degrees, or shown by typed coordinates from `base`.
std::optional<double> AngleFromText(const std::string& text, const Point3d& base)
{
    if (const auto degrees = input::ParseReal(text)) return NormalizeAngle(*degrees * kPi / 180.0);
    if (const auto p = input::ParsePoint(text)) return AngleFromXAxis(base, *p);
    return std::nullopt;
}

}  // namespace

bool IsKeyword(const std::string& typed, const std::string& keyword, std::size_t shortest)
{
    std::string t = UpperName(Trim(typed));
    if (!t.empty() && t[0] == '_') t.erase(0, 1);
    return t.size() >= shortest && t.size() <= keyword.size() && UpperName(keyword).compare(0, t.size(), t) == 0;
}

CommandContext::CommandContext(Document& doc, const std::string& command, std::deque<std::string>& text,
                               std::vector<Answer>& answers, bool interactive, CommandMemory& memory)
    : doc_(doc), command_(command), text_(text), answers_(answers), interactive_(interactive), memory_(memory)
{
}

std::optional<std::string> CommandContext::NextText()
{
    if (!text_.empty()) {
        std::string t = std::move(text_.front());
        text_.pop_front();
        return t;
    }
    if (!interactive_) throw NeedInput{};
    return std::nullopt;
}

void CommandContext::Cancel() const { throw Error(ErrorCode::Cancelled, "Comando " + command_ + " cancelado"); }

void CommandContext::Fail(const std::string& why) const { throw Error(ErrorCode::InvalidInput, command_ + ": " + why); }

void CommandContext::Message(const std::string& text) const
{
    if (!Replaying()) input::Message(doc_, text);
}

std::string CommandContext::Text(const std::string& prompt, bool allowSpaces)
{
    std::string out;
    if (Replay(out)) return out;
    // A quoted word (CommandWord) is its text, whatever blanks or line ends it holds.
    if (auto t = NextText()) {
        if (auto word = lisp::Unquote(*t)) return Record(*word);
        return Record(allowSpaces ? *t : Trim(*t));
    }
    for (;;) {
        InputRequest r = Request(InputKind::String, prompt);
        r.allowSpaces = allowSpaces;
        const InputAnswer a = input::Ask(doc_, r);
        switch (a.kind) {
        case InputAnswer::Kind::Text: {
            if (auto word = lisp::Unquote(a.text)) return Record(*word);
            if (allowSpaces) return Record(a.text);
            const std::string t = Trim(a.text);
            return Record(t.substr(0, t.find(' ')));
        }
        case InputAnswer::Kind::Enter: return Record(std::string());
        case InputAnswer::Kind::Escape: Cancel();
        default: Message("É preciso um texto."); break;
        }
    }
}

std::optional<Point3d> CommandContext::Point(const std::string& prompt, const std::optional<Point3d>& base)
{
    std::optional<Point3d> out;
    if (Replay(out)) return out;
    if (auto t = NextText()) {
        const std::string s = Trim(*t);
        if (s.empty()) return Record(out);
        if (const auto p = input::ParsePoint(s)) return Record(out = p);
        Fail("ponto inválido \"" + s + "\" em \"" + prompt + "\"");
    }
    for (;;) {
        const InputAnswer a = input::Ask(doc_, Request(InputKind::Point, prompt, base));
        switch (a.kind) {
        case InputAnswer::Kind::Point: return Record(out = input::Picked(doc_, a.point, base));
        case InputAnswer::Kind::Text:
            if (const auto p = input::ParsePoint(a.text)) return Record(out = p);
            break;
        case InputAnswer::Kind::Enter: return Record(out);
        case InputAnswer::Kind::Escape: Cancel();
        default: break;
        }
        Message("Ponto inválido.");
    }
}

std::optional<double> CommandContext::Angle(const std::string& prompt, const Point3d& base)
{
    std::optional<double> out;
    if (Replay(out)) return out;
    if (auto t = NextText()) {
        const std::string s = Trim(*t);
        if (s.empty()) return Record(out);
        if ((out = AngleFromText(s, base))) return Record(out);
        Fail("ângulo inválido \"" + s + "\" em \"" + prompt + "\"");
    }
    for (;;) {
        const InputAnswer a = input::Ask(doc_, Request(InputKind::Angle, prompt, base));
        switch (a.kind) {
        case InputAnswer::Kind::Angle: return Record(out = NormalizeAngle(a.angle));
        case InputAnswer::Kind::Point: return Record(out = AngleFromXAxis(base, input::Picked(doc_, a.point, base)));
        case InputAnswer::Kind::Text:
            if ((out = AngleFromText(a.text, base))) return Record(out);
            break;
        case InputAnswer::Kind::Enter: return Record(out);
        case InputAnswer::Kind::Escape: Cancel();
        default: break;
        }
        Message("É preciso um ângulo ou um ponto.");
    }
}

std::optional<std::vector<Entity*>> CommandContext::Objects(const std::string& prompt,
                                                            const std::vector<Entity*>* selected)
{
    std::optional<std::vector<Entity*>> out;
    if (Replay(out)) return out;
    if (auto t = NextText()) {
        if (Trim(*t).empty()) return Record(out);
        if ((out = input::ObjectsFromText(doc_, *t, {}))) return Record(out);
        Fail("seleção inválida \"" + *t + "\"");
    }
    try {
        return Record(input::SelectionStep(doc_, prompt, {}, selected));
    } catch (const Error& e) {
        if (e.Code() == ErrorCode::Cancelled) Cancel();
        throw;
    }
}

std::vector<Entity*> CommandContext::Selection(const std::string& prompt)
{
    std::vector<Entity*> all;
    std::unordered_set<const Entity*> seen;
    while (auto step = Objects(prompt, &all))
        for (Entity* e : *step)
            if (seen.insert(e).second) all.push_back(e);
    return all;
}

Entity* CommandContext::PickEntity(const std::string& prompt)
{
    // nullptr: nothing found; the caller tells the person or fails.
    auto fromText = [&](const std::string& text) -> std::optional<Entity*> {
        const std::string s = Trim(text);
        if (lisp::IsExpression(s)) {
            const lisp::Value v = lisp::Evaluate(doc_, s);
            if (v.type == lisp::Value::Type::Entity) return v.entity;
            if (v.type == lisp::Value::Type::SelectionSet) return v.selection.front();
            return nullptr;
        }
        if (const auto p = input::ParsePoint(s)) return selection::PickAt(doc_, *p);
        return std::nullopt;
    };
    Entity* out = nullptr;
    if (Replay(out)) return out;
    if (auto t = NextText()) {
        if (Trim(*t).empty()) return Record(out);
        const auto e = fromText(*t);
        if (!e) Fail("seleção inválida \"" + *t + "\"");
        if (!*e) Fail("nenhum objeto encontrado para \"" + *t + "\"");
        return Record(*e);
    }
    for (;;) {
        const InputAnswer a = input::Ask(doc_, Request(InputKind::Entity, prompt));
        std::optional<Entity*> e;
        switch (a.kind) {
        case InputAnswer::Kind::Point: e = selection::PickAt(doc_, a.point); break;
        case InputAnswer::Kind::Text: e = fromText(a.text); break;
        case InputAnswer::Kind::Enter: return Record(out);
        case InputAnswer::Kind::Escape: Cancel();
        default: break;
        }
        if (e && *e) return Record(*e);
        Message("Nenhum objeto encontrado.");
    }
}

}  // namespace acad
