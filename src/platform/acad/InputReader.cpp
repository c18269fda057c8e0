#include "platform/acad/InputReader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/acad/Application.h"
#include "platform/acad/Block.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/Document.h"
#include "platform/acad/Error.h"
#include "platform/acad/Lisp.h"
#include "platform/acad/SelectionSetQuery.h"
#include "platform/acad/SelectionSets.h"
#include "platform/acad/SystemVariables.h"
#include "platform/acad/TextEntities.h"

namespace acad::input {

namespace {

// Collects the snap points of what entities draw near the picked point, as
// the window draws them: references it draws as outlines offer their outline.
class SnapSink : public PlannedSink {
public:
    SnapSink(const Point3d& picked, double aperture, int modes, const DrawPlan& plan, int limit)
        : PlannedSink(plan, limit), p_(picked), aperture_(aperture), modes_(modes)
    {
    }

    void Consider(const Point3d& q) { Consider(q, Distance2d(p_, q)); }
    // `d`: how far the pick is from what offers the snap point.
    void Consider(const Point3d& q, double d)
    {
        if (d <= aperture_ && d < bestDistance_) {
            bestDistance_ = d;
            best_ = q;
        }
    }
    // A snap of a named mode wins over the nearest point, as the host's object snap does.
    std::optional<Point3d> Result() const { return best_ ? best_ : nearest_; }

protected:
    // Only a reference whose box comes within the aperture can offer a point,
    // and once a point of a named mode is found, only one nearer than it.
    bool Wants(const Box& b) override { return b.Expanded(Within()).Contains(p_); }
    // Nor can any other part.
    Box Reach() const override { return Box::Around(p_, Within()); }
    // Filled areas offer no point.
    bool TakesFills() const override { return false; }
    void OnPoint(const Point3d& q) override
    {
        if (modes_ & Osnap::Node) Consider(q);
        if (modes_ & Osnap::Nearest) ConsiderNearest(q);
    }
    void OnSegment(const Point3d& a, const Point3d& b) override
    {
        if (modes_ & Osnap::End) {
            Consider(a);
            Consider(b);
        }
        if (modes_ & Osnap::Mid) Consider(Midpoint(a, b));
        if (modes_ & Osnap::Nearest) {
            const Vector3d d = b - a;
            const double len2 = d.x * d.x + d.y * d.y;
            const double t = len2 > 0 ? std::clamp(((p_.x - a.x) * d.x + (p_.y - a.y) * d.y) / len2, 0.0, 1.0) : 0.0;
            ConsiderNearest(Lerp(a, b, t));
        }
    }
    void OnArc(const CircularArc& arc) override
    {
        const bool full = arc.IsFullCircle();
        if ((modes_ & Osnap::End) && !full) {
            Consider(arc.StartPoint());
            Consider(arc.EndPoint());
        }
        if ((modes_ & Osnap::Mid) && !full) Consider(arc.PointAt(arc.startAngle + arc.Sweep() / 2));
        // The centre is found by pointing at the curve, as with the host.
        if (modes_ & Osnap::Center)
            Consider(arc.center, std::min(Distance2d(p_, arc.center), DistancePointArc(p_, arc)));
        if (modes_ & Osnap::Nearest) {
            const double a = std::atan2(p_.y - arc.center.y, p_.x - arc.center.x);
            if (full || arc.ContainsAngle(a)) {
                ConsiderNearest(arc.PointAt(a));
            } else {
                ConsiderNearest(arc.StartPoint());
                ConsiderNearest(arc.EndPoint());
            }
        }
    }
    void OnText(const TextPrimitive&) override {}
    // A construction line has no end and no middle; a ray ends at its base.
    void OnRay(const Point3d& base, const Vector3d& direction, bool bothWays) override
    {
        if ((modes_ & Osnap::End) && !bothWays) Consider(base);
        if (modes_ & Osnap::Nearest) {
            const double len2 = direction.x * direction.x + direction.y * direction.y;
            if (!(len2 > 0)) return;
            double t = ((p_.x - base.x) * direction.x + (p_.y - base.y) * direction.y) / len2;
            if (!bothWays) t = std::max(t, 0.0);
            ConsiderNearest(base + direction * t);
        }
    }

private:
    double Within() const { return best_ ? std::min(aperture_, bestDistance_) : aperture_; }
    void ConsiderNearest(const Point3d& q)
    {
        const double d = Distance2d(p_, q);
        if (d <= aperture_ && d < nearestDistance_) {
            nearestDistance_ = d;
            nearest_ = q;
        }
    }
    Point3d p_;
    double aperture_;
    int modes_;
    std::optional<Point3d> best_, nearest_;
    double bestDistance_ = std::numeric_limits<double>::infinity();
    double nearestDistance_ = std::numeric_limits<double>::infinity();
};

InputSource* Installed(const Document& doc)
{
    return doc.Application() ? doc.Application()->GetInputSource() : nullptr;
}

std::vector<Entity*> Filtered(const std::vector<Entity*>& in, const SelectionFilter& filter, bool liveOnly)
{
    std::vector<Entity*> out;
    for (Entity* e : in)
        if ((!liveOnly || !e->IsErased()) && filter.Matches(*e)) out.push_back(e);
    return out;
}

}  // namespace

InputRequest Request(InputKind kind, const std::string& prompt, const std::optional<Point3d>& base)
{
    InputRequest r;
    r.kind = kind;
    r.prompt = prompt;
    r.basePoint = base;
    return r;
}

std::string Trim(const std::string& text)
{
    const auto b = text.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    return text.substr(b, text.find_last_not_of(" \t\r\n") - b + 1);
}

InputAnswer Ask(Document& doc, InputRequest request)
{
    request.document = &doc;
    InputSource* src = Installed(doc);
    if (!src)
        throw Error(ErrorCode::NoInputSource,
                    "Nenhuma fonte de entrada do usuário está instalada para responder a \"" + request.prompt + "\"");
    InputAnswer a = src->Ask(request);
    if (a.kind == InputAnswer::Kind::RightClick) {
        doc.BeginRightClick.Raise(a.point);
        return InputAnswer::Enter();
    }
    return a;
}

void Message(const Document& doc, const std::string& text)
{
    if (InputSource* src = Installed(doc)) src->Message(text);
}

std::optional<double> ParseReal(const std::string& text)
{
    std::string t = Trim(text);
    if (!t.empty() && t[0] == '+') t.erase(0, 1);
    if (t.empty()) return std::nullopt;
    double v = 0.0;
    const auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || p != t.data() + t.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<Point3d> ParsePoint(const std::string& text)
{
    std::vector<double> values;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const auto v = ParseReal(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (!v) return std::nullopt;
        values.push_back(*v);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (values.size() < 2 || values.size() > 3) return std::nullopt;
    return Point3d(values[0], values[1], values.size() == 3 ? values[2] : 0.0);
}

Point3d Snap(const Document& doc, const Point3d& picked)
{
    const int modes = doc.Variables().OsMode();
    if (modes == 0 || (modes & Osnap::Suspended)) return picked;
    const double aperture = selection::kAperturePixels * selection::PixelSize(doc);
    const DrawPlan plan = selection::ViewPlan(doc);
    SnapSink sink(picked, aperture, modes, plan, kWholeDepth);
    for (Entity* e : selection::CurrentSpace(doc).QueryBox(Box::Around(picked, aperture))) {
        if (!selection::IsShown(*e, plan)) continue;
        sink.Show(kWholeDepth);
        if (modes & Osnap::Insertion) {
            if (const auto* ref = dynamic_cast<const BlockReference*>(e))
                sink.Consider(ref->InsertionPoint());
            else if (const auto* text = dynamic_cast<const TextBase*>(e))
                sink.Consider(text->InsertionPoint());
            else if (const auto* mtext = dynamic_cast<const MText*>(e))
                sink.Consider(mtext->InsertionPoint());
        }
        if (modes & (Osnap::End | Osnap::Mid | Osnap::Center | Osnap::Node | Osnap::Nearest))
            e->Emit(sink, Transform());
    }
    const auto snapped = sink.Result();
    return snapped ? Point3d(snapped->x, snapped->y, snapped->z) : picked;
}

Point3d Ortho(const Document& doc, const std::optional<Point3d>& base, const Point3d& picked)
{
    if (!base || doc.GetVariable("ORTHOMODE").AsInt() != 1) return picked;
    const double a = doc.GetVariable("SNAPANG").AsDouble();
    const double ux = std::cos(a), uy = std::sin(a);
    const double dx = picked.x - base->x, dy = picked.y - base->y;
    // Along SNAPANG and across it; a pick exactly between the two keeps SNAPANG.
    const double along = dx * ux + dy * uy;
    const double across = -dx * uy + dy * ux;
    if (std::fabs(along) >= std::fabs(across)) return Point3d(base->x + along * ux, base->y + along * uy, base->z);
    return Point3d(base->x - across * uy, base->y + across * ux, base->z);
}

Point3d Picked(const Document& doc, const Point3d& picked, const std::optional<Point3d>& base)
{
    return Ortho(doc, base, Snap(doc, picked));
}

std::optional<std::vector<Entity*>> ObjectsFromText(Document& doc, const std::string& text,
                                                    const SelectionFilter& filter)
{
    const std::string t = Trim(text);
    std::string word = UpperName(t);
    if (!word.empty() && word[0] == '_') word.erase(0, 1);
    Block& space = selection::CurrentSpace(doc);
    if (word == "L" || word == "LAST") {
        Entity* last = space.LastEntity();
        if (last && selection::IsShown(*last) && filter.Matches(*last)) return std::vector<Entity*>{last};
        return std::vector<Entity*>{};
    }
    if (word == "ALL") {
        std::vector<Entity*> out;
        for (Entity* e : space) {
            const Layer* layer = doc.Layers().ByIndex(e->LayerIndex());
            if ((!layer || !layer->Freeze()) && filter.Matches(*e)) out.push_back(e);
        }
        return out;
    }
    if (word == "P" || word == "PREVIOUS") return Filtered(doc.SelectionSets().Previous(), filter, true);
    if (lisp::IsExpression(t)) {
        const lisp::Value v = lisp::Evaluate(doc, t);
        switch (v.type) {
        case lisp::Value::Type::Nil: return std::vector<Entity*>{};
        case lisp::Value::Type::Entity: return Filtered({v.entity}, filter, true);
        case lisp::Value::Type::SelectionSet: return Filtered(v.selection, filter, true);
        default: return std::nullopt;
        }
    }
    if (const auto p = ParsePoint(t)) {
        Entity* e = selection::PickAt(doc, *p);
        if (e && filter.Matches(*e)) return std::vector<Entity*>{e};
        return std::vector<Entity*>{};
    }
    return std::nullopt;
}

std::optional<std::vector<Entity*>> SelectionStep(Document& doc, const std::string& prompt,
                                                  const SelectionFilter& filter, const std::vector<Entity*>* selected)
{
    InputRequest step = Request(InputKind::Selection, prompt);
    step.selected = selected;
    const InputAnswer a = Ask(doc, step);
    switch (a.kind) {
    case InputAnswer::Kind::Enter: return std::nullopt;
    case InputAnswer::Kind::Escape: throw Error(ErrorCode::Cancelled, "Seleção cancelada pelo usuário");
    case InputAnswer::Kind::Window:
    case InputAnswer::Kind::Crossing:
        return selection::ByWindow(doc, Box::FromCorners(a.point, a.corner), a.kind == InputAnswer::Kind::Crossing,
                                   filter);
    case InputAnswer::Kind::Point: {
        // A pick on an entity takes it (when the filter lets it); on empty space
        // it opens a window: to the right a window, to the left a crossing.
        if (Entity* e = selection::PickAt(doc, a.point)) {
            if (filter.Matches(*e)) return std::vector<Entity*>{e};
            return std::vector<Entity*>{};
        }
        InputRequest corner = Request(InputKind::Corner, "Especifique o canto oposto: ", a.point);
        corner.selected = selected;
        const InputAnswer c = Ask(doc, corner);
        std::optional<Point3d> q;
        if (c.kind == InputAnswer::Kind::Point) q = c.point;
        if (c.kind == InputAnswer::Kind::Text) q = ParsePoint(c.text);
        if (c.kind == InputAnswer::Kind::Escape) throw Error(ErrorCode::Cancelled, "Seleção cancelada pelo usuário");
        if (c.kind == InputAnswer::Kind::Window || c.kind == InputAnswer::Kind::Crossing)
            return selection::ByWindow(doc, Box::FromCorners(c.point, c.corner), c.kind == InputAnswer::Kind::Crossing,
                                       filter);
        if (!q) return std::vector<Entity*>{};
        return selection::ByWindow(doc, Box::FromCorners(a.point, *q), q->x < a.point.x, filter);
    }
    case InputAnswer::Kind::Text:
        if (auto objects = ObjectsFromText(doc, a.text, filter)) return objects;
        Message(doc, "Seleção inválida: \"" + a.text + "\"");
        return std::vector<Entity*>{};
    default: Message(doc, "Seleção inválida"); return std::vector<Entity*>{};
    }
}

}  // namespace acad::input
