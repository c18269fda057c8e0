#include "platform/acad/Utility.h"

#include "platform/acad/BlockReference.h"
#include "platform/acad/Document.h"
#include "platform/acad/Error.h"
#include "platform/acad/HitTest.h"
#include "platform/acad/InputReader.h"
#include "platform/acad/SelectionSetQuery.h"
#include "platform/acad/TextEntities.h"

namespace acad {

namespace {

using input::Request;

[[noreturn]] void Cancelled(const std::string& prompt)
{
    throw Error(ErrorCode::Cancelled, "Pedido cancelado pelo usuário: \"" + prompt + "\"");
}

[[noreturn]] void Empty(const std::string& prompt)
{
    throw Error(ErrorCode::EmptyInput, "Nenhuma resposta dada a \"" + prompt + "\"");
}

}  // namespace

Utility::Utility(Document& doc) : doc_(doc) {}

Point3d Utility::AskPoint(InputKind kind, const std::optional<Point3d>& base, const std::string& prompt)
{
    for (;;) {
        const InputAnswer a = input::Ask(doc_, Request(kind, prompt, base));
        switch (a.kind) {
        case InputAnswer::Kind::Point:
            // A corner is a rectangle's, never held to ortho's lines.
            return kind == InputKind::Corner ? input::Snap(doc_, a.point) : input::Picked(doc_, a.point, base);
        case InputAnswer::Kind::Text:
            if (const auto p = input::ParsePoint(a.text)) return *p;
            break;
        case InputAnswer::Kind::Escape: Cancelled(prompt);
        case InputAnswer::Kind::Enter: Empty(prompt);
        default: break;
        }
        input::Message(doc_, "Ponto inválido.");
    }
}

Point3d Utility::GetPoint(const std::optional<Point3d>& point, const std::string& prompt)
{
    return AskPoint(InputKind::Point, point, prompt);
}

Point3d Utility::GetCorner(const Point3d& point, const std::string& prompt)
{
    return AskPoint(InputKind::Corner, point, prompt);
}

double Utility::GetAngle(const std::optional<Point3d>& point, const std::string& prompt)
{
    for (;;) {
        const InputAnswer a = input::Ask(doc_, Request(InputKind::Angle, prompt, point));
        std::optional<Point3d> shown;
        switch (a.kind) {
        case InputAnswer::Kind::Angle: return NormalizeAngle(a.angle);
        case InputAnswer::Kind::Point: shown = input::Picked(doc_, a.point, point); break;
        case InputAnswer::Kind::Text:
            if (const auto degrees = input::ParseReal(a.text)) return NormalizeAngle(*degrees * kPi / 180.0);
            shown = input::ParsePoint(a.text);
            break;
        case InputAnswer::Kind::Escape: Cancelled(prompt);
        case InputAnswer::Kind::Enter: Empty(prompt);
        default: break;
        }
        if (shown) {
            // Without a base point the first point is the base and a second shows the angle.
            const Point3d from = point ? *point : *shown;
            const Point3d to = point ? *shown : AskPoint(InputKind::Point, from, "Especifique o segundo ponto: ");
            return acad::AngleFromXAxis(from, to);
        }
        input::Message(doc_, "É preciso um ângulo ou um ponto.");
    }
}

Entity* Utility::AskPick(InputKind kind, const std::string& prompt, Point3d& picked)
{
    for (;;) {
        const InputAnswer a = input::Ask(doc_, Request(kind, prompt));
        std::optional<Point3d> p;
        switch (a.kind) {
        case InputAnswer::Kind::Point: p = a.point; break;
        case InputAnswer::Kind::Text: p = input::ParsePoint(a.text); break;
        case InputAnswer::Kind::Escape: Cancelled(prompt);
        case InputAnswer::Kind::Enter: Empty(prompt);
        default: break;
        }
        if (!p) {
            input::Message(doc_, "Selecione um objeto.");
            continue;
        }
        Entity* e = selection::PickAt(doc_, *p);
        if (!e) throw Error(ErrorCode::Cancelled, "Nenhum objeto no ponto indicado em \"" + prompt + "\"");
        picked = *p;
        return e;
    }
}

void Utility::GetEntity(Entity*& object, Point3d& pickedPoint, const std::string& prompt)
{
    Point3d p;
    Entity* e = AskPick(InputKind::Entity, prompt, p);
    object = e;
    pickedPoint = p;
}

void Utility::GetSubEntity(Entity*& object, Point3d& pickedPoint, Transform& transMatrix,
                           std::vector<BlockReference*>& contextData, const std::string& prompt)
{
    Point3d p;
    Entity* top = AskPick(InputKind::SubEntity, prompt, p);
    const double tolerance = selection::kPickBoxPixels * selection::PixelSize(doc_);
    Entity* picked = top;
    Transform toWorld;
    std::vector<BlockReference*> containers;
    if (auto nested = PickNested(*top, p, tolerance, selection::ViewPlan(doc_))) {
        picked = nested->entity;
        if (!dynamic_cast<AttributeReference*>(picked)) {
            toWorld = nested->toWorld;
            for (auto it = nested->containers.rbegin(); it != nested->containers.rend(); ++it)
                if (auto* ref = dynamic_cast<BlockReference*>(*it)) containers.push_back(ref);
        }
    }
    object = picked;
    pickedPoint = p;
    transMatrix = toWorld;
    contextData = std::move(containers);
}

std::string Utility::GetString(bool hasSpaces, const std::string& prompt)
{
    for (;;) {
        InputRequest r = Request(InputKind::String, prompt);
        r.allowSpaces = hasSpaces;
        const InputAnswer a = input::Ask(doc_, r);
        switch (a.kind) {
        case InputAnswer::Kind::Text:
            if (!hasSpaces) {
                // A space ends the text, as it does at the host's prompt.
                const auto space = a.text.find(' ');
                return space == std::string::npos ? a.text : a.text.substr(0, space);
            }
            return a.text;
        case InputAnswer::Kind::Enter: return "";
        case InputAnswer::Kind::Escape: Cancelled(prompt);
        default: break;
        }
        input::Message(doc_, "É preciso um texto.");
    }
}

void Utility::Prompt(const std::string& message) { input::Message(doc_, message); }

double Utility::AngleFromXAxis(const Point3d& startPoint, const Point3d& endPoint) const
{
    return acad::AngleFromXAxis(startPoint, endPoint);
}

Point3d Utility::PolarPoint(const Point3d& point, double angle, double distance) const
{
    return Polar(point, angle, distance);
}

}  // namespace acad
