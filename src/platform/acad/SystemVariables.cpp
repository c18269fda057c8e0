#include "platform/acad/SystemVariables.h"

#include <cctype>
#include <cmath>

#include "platform/acad/Document.h"
#include "platform/acad/Error.h"
#include "platform/acad/OtherEntities.h"
#include "platform/acad/Tables.h"

namespace acad {

namespace {
// The host's answer for the extents of an empty drawing.
constexpr double kNoExtents = 1e20;

std::string Upper(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// CECOLOR: "BYLAYER", "BYBLOCK" or a colour number 1..255.
std::string ColorText(const Variant& v)
{
    if (v.IsNumber()) {
        int c = v.AsInt();
        if (c == 256) return "BYLAYER";
        if (c == 0) return "BYBLOCK";
        if (c >= 1 && c <= 255) return std::to_string(c);
    } else if (v.IsString()) {
        std::string s = Upper(v.AsString());
        if (s == "BYLAYER" || s == "BYBLOCK") return s;
        bool digits = !s.empty() && s.size() <= 3;
        for (char c : s) digits = digits && std::isdigit(static_cast<unsigned char>(c));
        if (digits && std::stoi(s) >= 1 && std::stoi(s) <= 255) return std::to_string(std::stoi(s));
    }
    throw Error(ErrorCode::InvalidInput, "Valor inválido para CECOLOR: \"" + v.ToString() + "\"");
}
}  // namespace

SystemVariables::SystemVariables(Document& doc) : doc_(doc)
{
    auto number = [this](const char* n, Entry::Kind kind, double v, double lo, double hi) {
        Entry e;
        e.kind = kind;
        e.value = kind == Entry::Int ? Variant(static_cast<int>(v)) : Variant(v);
        e.minValue = lo;
        e.maxValue = hi;
        Define(n, std::move(e));
    };
    auto integer = [&](const char* n, int v, double lo, double hi) { number(n, Entry::Int, v, lo, hi); };
    auto real = [&](const char* n, double v, double lo = -1e300, double hi = 1e300) {
        number(n, Entry::Real, v, lo, hi);
    };
    auto text = [this](const char* n, const char* v, bool readOnly = false) {
        Entry e;
        e.kind = Entry::Text;
        e.value = v;
        e.readOnly = readOnly;
        Define(n, std::move(e));
    };
    auto point = [this](const char* n, Point3d v) {
        Entry e;
        e.kind = Entry::Point;
        e.value = v;
        Define(n, std::move(e));
    };
    auto computed = [this](const char* n, Entry::Kind kind, std::function<Variant(const Document&)> get,
                           std::function<void(Document&, const Variant&)> set = {}) {
        Entry e;
        e.kind = kind;
        e.get = std::move(get);
        e.set = std::move(set);
        e.readOnly = !e.set;
        Define(n, std::move(e));
    };

    // Stored values with the host's defaults.
    integer("OSMODE", 0, 0, 32767);
    integer("ORTHOMODE", 0, 0, 1);
    integer("FILEDIA", 1, 0, 1);
    integer("CMDECHO", 1, 0, 1);
    integer("ATTREQ", 1, 0, 1);
    integer("ATTDIA", 0, 0, 1);
    integer("ATTMODE", 1, 0, 2);
    integer("MIRRTEXT", 1, 0, 1);
    integer("PDMODE", 0, -32768, 32767);
    integer("DIMDEC", 4, 0, 8);
    integer("DIMZIN", 0, 0, 15);
    integer("LUNITS", 2, 1, 5);
    integer("LUPREC", 4, 0, 8);
    integer("AUNITS", 0, 0, 4);
    integer("AUPREC", 0, 0, 8);
    integer("ANGDIR", 0, 0, 1);
    integer("PICKBOX", 3, 0, 50);
    integer("APERTURE", 10, 1, 50);
    integer("SNAPMODE", 0, 0, 1);
    integer("GRIDMODE", 0, 0, 1);
    integer("HIGHLIGHT", 1, 0, 1);
    integer("PLINEGEN", 0, 0, 1);
    integer("PSLTSCALE", 1, 0, 1);
    integer("SPLINESEGS", 8, -32768, 32767);
    integer("SPLINETYPE", 6, 5, 6);
    integer("EXPERT", 0, 0, 5);
    integer("LIMCHECK", 0, 0, 1);
    real("LTSCALE", 1.0, 1e-300);
    real("CELTSCALE", 1.0, 1e-300);
    real("SNAPANG", 0.0);
    real("ANGBASE", 0.0);
    real("TEXTSIZE", 0.2, 1e-300);
    real("PDSIZE", 0.0);
    real("DIMSCALE", 1.0, 0.0);
    real("DIMTXT", 0.18, 1e-300);
    real("DIMASZ", 0.18, 0.0);
    real("DIMEXO", 0.0625, 0.0);
    real("DIMEXE", 0.18, 0.0);
    real("THICKNESS", 0.0);
    real("ELEVATION", 0.0);
    real("PLINEWID", 0.0, 0.0);
    real("FILLETRAD", 0.0, 0.0);
    text("DWGCODEPAGE", "ANSI_1252");
    text("DIMSTYLE", "Standard", true);
    text("ACADVER", "15.0", true);
    text("CECOLOR", "BYLAYER");
    point("INSBASE", {0, 0, 0});
    point("LIMMIN", {0, 0, 0});
    point("LIMMAX", {12, 9, 0});
    point("SNAPBASE", {0, 0, 0});
    point("SNAPUNIT", {0.5, 0.5, 0});
    point("GRIDUNIT", {0.5, 0.5, 0});

    // Views onto the document.
    computed(
        "CLAYER", Entry::Text, [](const Document& d) { return Variant(d.ActiveLayer().Name()); },
        [](Document& d, const Variant& v) {
            Layer* l = d.Layers().Find(v.AsString());
            if (!l) ThrowKeyNotFound("Layer \"" + v.AsString() + "\"");
            d.SetActiveLayer(*l);
        });
    computed(
        "CELTYPE", Entry::Text,
        [](const Document& d) {
            std::string n = d.ActiveLinetype().Name();
            return Variant(NamesEqual(n, "ByLayer") || NamesEqual(n, "ByBlock") ? Upper(n) : n);
        },
        [](Document& d, const Variant& v) {
            Linetype* l = d.Linetypes().Find(v.AsString());
            if (!l) ThrowKeyNotFound("Tipo de linha \"" + v.AsString() + "\"");
            d.SetActiveLinetype(*l);
        });
    computed(
        "TEXTSTYLE", Entry::Text, [](const Document& d) { return Variant(d.ActiveTextStyle().Name()); },
        [](Document& d, const Variant& v) {
            TextStyle* s = d.TextStyles().Find(v.AsString());
            if (!s) ThrowKeyNotFound("Estilo de texto \"" + v.AsString() + "\"");
            d.SetActiveTextStyle(*s);
        });
    computed("EXTMIN", Entry::Point, [](const Document& d) {
        Box b = d.ModelExtents();
        return Variant(b.IsEmpty() ? Point3d{kNoExtents, kNoExtents, kNoExtents} : b.min);
    });
    computed("EXTMAX", Entry::Point, [](const Document& d) {
        Box b = d.ModelExtents();
        return Variant(b.IsEmpty() ? Point3d{-kNoExtents, -kNoExtents, -kNoExtents} : b.max);
    });
    computed("VIEWCTR", Entry::Point, [](const Document& d) { return Variant(d.ActiveView().Center()); });
    computed("VIEWSIZE", Entry::Real, [](const Document& d) { return Variant(d.ActiveView().Height()); });
    computed("SCREENSIZE", Entry::Point, [](const Document& d) {
        // Inside a viewport the screen is the viewport: same height, its own proportions.
        const double h = d.ScreenHeight();
        return Variant(Point3d{std::round(h * d.ActiveView().AspectRatio()), h, 0.0});
    });
    computed(
        "TILEMODE", Entry::Int, [](const Document& d) { return Variant(d.ActiveSpace() == acModelSpace ? 1 : 0); },
        [](Document& d, const Variant& v) {
            int m = v.AsInt();
            if (m != 0 && m != 1) ThrowInvalidInput("TILEMODE (use 0 ou 1)");
            d.SetActiveSpace(m == 1 ? acModelSpace : acPaperSpace);
        });
    computed(
        "CTAB", Entry::Text, [](const Document& d) { return Variant(d.ActiveLayout().Name()); },
        [](Document& d, const Variant& v) { d.SetActiveLayout(*d.Layouts().Item(v.AsString())); });
    computed("CVPORT", Entry::Int, [](const Document& d) {
        if (d.ActiveSpace() == acModelSpace) return Variant(2);
        return Variant(d.MSpace() ? d.ActivePViewport()->Data().number : 1);
    });
    computed("DWGNAME", Entry::Text, [](const Document& d) { return Variant(d.Name()); });
    computed("DWGPREFIX", Entry::Text, [](const Document& d) {
        std::string p = d.Path();
        return Variant(p.empty() ? p : p + "/");
    });
    computed("DWGTITLED", Entry::Int, [](const Document& d) { return Variant(d.FullName().empty() ? 0 : 1); });
    computed("DBMOD", Entry::Int, [](const Document& d) { return Variant(d.Saved() ? 0 : 1); });
    computed("CMDACTIVE", Entry::Int, [](const Document& d) { return Variant(d.CommandActive() ? 1 : 0); });
    computed("HANDSEED", Entry::Text, [](const Document& d) { return Variant(AcadObject::HandleText(d.HandSeed())); });
}

void SystemVariables::Define(const std::string& name, Entry e) { vars_[Upper(name)] = std::move(e); }

SystemVariables::Entry* SystemVariables::Find(const std::string& name)
{
    auto it = vars_.find(Upper(name));
    return it == vars_.end() ? nullptr : &it->second;
}

const SystemVariables::Entry* SystemVariables::Find(const std::string& name) const
{
    auto it = vars_.find(Upper(name));
    return it == vars_.end() ? nullptr : &it->second;
}

bool SystemVariables::Exists(const std::string& name) const { return Find(name) != nullptr; }

Variant SystemVariables::Get(const std::string& name) const
{
    const Entry* e = Find(name);
    if (!e) throw Error(ErrorCode::UnknownVariable, "Variável de sistema desconhecida: \"" + name + "\"");
    return e->get ? e->get(doc_) : e->value;
}

namespace {
void CheckKind(const std::string& name, int kind, const Variant& v, double lo, double hi)
{
    auto fail = [&](const std::string& why) {
        throw Error(ErrorCode::InvalidInput, "Valor inválido para " + name + ": " + why);
    };
    switch (kind) {
    case 0:  // integer
        if (!v.IsNumber() || std::fabs(v.AsDouble() - std::round(v.AsDouble())) > 1e-9) fail("esperado um inteiro");
        if (v.AsDouble() < lo || v.AsDouble() > hi) fail("fora do intervalo");
        break;
    case 1:  // real
        if (!v.IsNumber() || !std::isfinite(v.AsDouble())) fail("esperado um número");
        if (v.AsDouble() < lo || v.AsDouble() > hi) fail("fora do intervalo");
        break;
    case 2:
        if (!v.IsString()) fail("esperado um texto");
        break;
    default:
        if (!v.IsPoint()) fail("esperado um ponto");
        // Points feed zooms and limits: a coordinate that is no number shows nothing.
        if (!v.AsPoint().IsFinite()) fail("esperado um número");
        break;
    }
}
}  // namespace

void SystemVariables::Set(const std::string& name, const Variant& value)
{
    Entry* e = Find(name);
    if (!e) throw Error(ErrorCode::UnknownVariable, "Variável de sistema desconhecida: \"" + name + "\"");
    if (e->readOnly)
        throw Error(ErrorCode::InvalidInput, "A variável de sistema " + Upper(name) + " é somente leitura");
    const std::string up = Upper(name);
    if (up == "CECOLOR") {
        e->value = ColorText(value);
        doc_.RefreshCurrentColor();
        return;
    }
    CheckKind(up, static_cast<int>(e->kind), value, e->minValue, e->maxValue);
    if (e->set) {
        e->set(doc_, value);
        return;
    }
    e->value = e->kind == Entry::Int    ? Variant(value.AsInt())
               : e->kind == Entry::Real ? Variant(value.AsDouble())
                                        : value;
    if (up == "CELTSCALE") doc_.RefreshCurrentLinetypeScale();
    doc_.NoteChange();
}

void SystemVariables::SetStored(const std::string& name, const Variant& value)
{
    const std::string up = Upper(name);
    if (up == "VIEWCTR" && value.IsPoint()) {
        doc_.ModelView().SetCenter(value.AsPoint());
        return;
    }
    if (up == "VIEWSIZE" && value.IsNumber() && value.AsDouble() > 0) {
        doc_.ModelView().SetHeight(value.AsDouble());
        return;
    }
    Entry* e = Find(name);
    if (!e || (e->get && !e->set)) return;  // computed from the drawing itself
    if (up == "CECOLOR") {
        e->value = ColorText(value);
        doc_.RefreshCurrentColor();
        return;
    }
    CheckKind(up, static_cast<int>(e->kind), value, e->minValue, e->maxValue);
    if (e->set)
        e->set(doc_, value);
    else
        e->value = e->kind == Entry::Int    ? Variant(value.AsInt())
                   : e->kind == Entry::Real ? Variant(value.AsDouble())
                                            : value;
    if (up == "CELTSCALE") doc_.RefreshCurrentLinetypeScale();
}

std::vector<std::string> SystemVariables::StoredNames() const
{
    std::vector<std::string> r;
    for (const auto& [name, e] : vars_)
        if (!e.get) r.push_back(name);
    return r;
}

int SystemVariables::OsMode() const { return Get("OSMODE").AsInt(); }

double SystemVariables::LtScale() const { return Get("LTSCALE").AsDouble(); }

}  // namespace acad
