#include "e2e/Fixtures.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "platform/acad/Acad.h"

namespace e2e::fixtures {

namespace {

using acad::Point3d;

acad::Layer* Layer(acad::Document& doc, const std::string& name, int color)
{
    acad::Layer* l = doc.Layers().Add(name);
    l->SetColor(color);
    return l;
}

void Save(acad::Document& doc, const std::string& path)
{
    const std::filesystem::path p(path);
    std::error_code ec;
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), ec);
    doc.SaveAs(path);
}

void Check(int n, const char* what)
{
    if (n < 1) throw std::runtime_error(std::string("a ") + what + " drawing needs at least one item");
}

void SetAttribute(acad::BlockReference& b, const std::string& tag, const std::string& value)
{
    for (acad::AttributeReference* a : b.GetAttributes())
        if (a->TagString() == tag) a->SetTextString(value);
}

// A hatch of `pattern` on `layer` inside the closed polyline through the
// corners (x0, y0) and (x1, y1), the polyline on the same layer.
void Rectangle(acad::Document& doc, const std::string& layer, const std::string& pattern, double x0, double y0,
               double x1, double y1)
{
    acad::LWPolyline* edge = doc.ModelSpace().AddLightWeightPolyline({x0, y0, x1, y0, x1, y1, x0, y1});
    edge->SetClosed(true);
    edge->SetLayer(layer);
    acad::Hatch* h = doc.ModelSpace().AddHatch(acad::HatchPatternType::PreDefined, pattern, true);
    h->SetLayer(layer);
    h->AppendOuterLoop({edge});
    h->Evaluate();
}

// Columns of the survey grid of n points.
int SurveyColumns(int n) { return static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n)))); }

void SurveyPoints(acad::Document& doc, int n)
{
    Layer(doc, "PONTO", 10);
    Layer(doc, "PONTO_TEXTO", 170);
    Layer(doc, "PONTO_COTA", 170);
    Layer(doc, "PONTO_DESCRICAO", 3);
    const int columns = SurveyColumns(n);
    for (int k = 1; k <= n; ++k) {
        const Point3d at{10.0 * ((k - 1) % columns), 10.0 * ((k - 1) / columns), 0};
        const std::string name = "P" + std::to_string(k);
        char elevation[32];
        std::snprintf(elevation, sizeof elevation, "%.3f", 100 + 0.25 * k);
        const std::string description = k % 2 ? "BORDO" : "";
        doc.RegisteredApplications().Add(name);
        acad::Point* p = doc.ModelSpace().AddPoint(at);
        p->SetLayer("PONTO");
        p->SetXData({1001, 1000, 1000},
                    {acad::Variant(name), acad::Variant(std::string(elevation)), acad::Variant(description)});
        const struct {
            const char* layer;
            double up;
            std::string text;
        } texts[] = {{"PONTO_TEXTO", 5.0, name}, {"PONTO_COTA", 3.0, elevation}, {"PONTO_DESCRICAO", 1.0, description}};
        for (const auto& t : texts) {
            acad::Text* x = doc.ModelSpace().AddText(t.text, {at.x, at.y + t.up, 0}, 1.5);
            x->SetLayer(t.layer);
        }
    }
}

}  // namespace

namespace {

const char* const kKinds[] = {"survey", "section",   "erased",  "zones",      "oldwater", "topography", "zonehatches",
                              "spread", "buildings", "streets", "splines",    "farhatch", "elevated",   "sector",
                              "grid",   "numbering", "scatter", "sheetsxref", "sheets"};

}  // namespace

bool KnownKind(const std::string& kind)
{
    for (const char* k : kKinds)
        if (kind == k) return true;
    return false;
}

std::string KindList()
{
    std::string list;
    for (const char* k : kKinds) list += (list.empty() ? "" : ", ") + std::string(k);
    return list;
}

void Section(int n, const std::string& path)
{
    Check(n, "section");
    if (n < 2) throw std::runtime_error("a section drawing needs at least two points");
    acad::Document doc;
    Layer(doc, "PONTO", 10);
    Layer(doc, "PONTO_TEXTO", 170);
    Layer(doc, "PONTO_COTA", 170);
    std::vector<double> xy;
    for (int k = 1; k <= n; ++k) {
        const Point3d at{10.0 * (k - 1), 0, 0};
        const std::string name = "S" + std::to_string(k);
        char elevation[32];
        std::snprintf(elevation, sizeof elevation, "%.3f", 100.0 + k % 3);
        acad::Point* p = doc.ModelSpace().AddPoint(at);
        p->SetLayer("PONTO");
        p->SetXData({1001, 1000, 1000},
                    {acad::Variant(name), acad::Variant(std::string(elevation)), acad::Variant(std::string())});
        doc.ModelSpace().AddText(name, {at.x, at.y + 5, 0}, 1.5)->SetLayer("PONTO_TEXTO");
        doc.ModelSpace().AddText(elevation, {at.x, at.y + 3, 0}, 1.5)->SetLayer("PONTO_COTA");
        xy.push_back(at.x);
        xy.push_back(at.y);
    }
    doc.ModelSpace().AddLightWeightPolyline(xy);
    Save(doc, path);
}

void Erased(int n, const std::string& path)
{
    Check(n, "erased");
    acad::Document doc;
    Layer(doc, "PONTO", 10);
    for (int k = 1; k <= n; ++k) {
        acad::Point* p = doc.ModelSpace().AddPoint({10.0 * k, 0, 0});
        p->SetXData({1001, 1000, 1000}, {acad::Variant("E" + std::to_string(k)), acad::Variant(std::string("1.000")),
                                         acad::Variant(std::string())});
        p->Delete();
    }
    acad::Point* p = doc.ModelSpace().AddPoint({0, 0, 0});
    p->SetLayer("PONTO");
    p->SetXData({1001, 1000, 1000}, {acad::Variant(std::string("P1")), acad::Variant(std::string("100.000")),
                                     acad::Variant(std::string())});
    doc.ModelSpace().AddPoint({0, -10, 0})->SetLayer("PONTO");
    Save(doc, path);
}

void Survey(int n, const std::string& path)
{
    Check(n, "survey");
    acad::Document doc;
    SurveyPoints(doc, n);
    Save(doc, path);
}

void Topography(int n, const std::string& path)
{
    Check(n, "topography");
    acad::Document doc;
    SurveyPoints(doc, n);
    const int columns = SurveyColumns(n);
    const int rows = (n + columns - 1) / columns;
    const double right = 10.0 * (columns - 1) + 5, top = 10.0 * (rows - 1) + 5, middle = (top - 5) / 2;
    Layer(doc, "PAVIMENTO", 1);
    Layer(doc, "QUADRAS", 2);
    Rectangle(doc, "QUADRAS", "ANSI31", -5, -5, right, top);
    Rectangle(doc, "PAVIMENTO", "ASFALTO", -5, -5, right, middle);
    Rectangle(doc, "PAVIMENTO", "PARALELEPIPEDO", -5, middle, right, top);
    Save(doc, path);
}

void ZoneHatches(int n, const std::string& path)
{
    Check(n, "zones");
    acad::Document doc;
    Layer(doc, "ZONAS", 4);
    for (int k = 1; k <= n; ++k) Rectangle(doc, "ZONAS", "ANSI31", 100.0 * (k - 1), 0, 100.0 * k, 100);
    // Drawn after the zones, over part of the first: a hatch that is no zone.
    Layer(doc, "QUADRAS", 8);
    Rectangle(doc, "QUADRAS", "NET", 60, 0, 90, 100);
    Save(doc, path);
}

void Zones(int n, const std::string& path, const std::string& blockFolder)
{
    Check(n, "zones");
    const std::string block = (std::filesystem::path(blockFolder) / "Zon_PorM.dwg").string();
    if (!std::filesystem::is_regular_file(block)) throw std::runtime_error("no zone block file " + block);
    acad::Document doc;
    Layer(doc, "ZONAS", 4);
    for (int k = 1; k <= n; ++k) {
        const double x0 = 100.0 * (k - 1);
        acad::LWPolyline* edge = doc.ModelSpace().AddLightWeightPolyline({x0, 0, x0 + 100, 0, x0 + 100, 100, x0, 100});
        edge->SetClosed(true);
        edge->SetLayer("ZONAS");
        acad::Hatch* h = doc.ModelSpace().AddHatch(acad::HatchPatternType::PreDefined, "SOLID", true);
        h->SetLayer("ZONAS");
        h->AppendOuterLoop({edge});
        h->Evaluate();
        acad::BlockReference* z =
            doc.ModelSpace().InsertBlock({x0 + 50, 50, 0}, k == 1 ? block : "Zon_PorM", 1, 1, 1, 0);
        SetAttribute(*z, "NOME", "Z" + std::to_string(k));
        SetAttribute(*z, "VPM", std::to_string(10 * k));
    }
    Save(doc, path);
}

void OldWater(int n, const std::string& path)
{
    Check(n, "water");
    acad::Document doc;
    Layer(doc, "T_50", 5);
    Layer(doc, "TRECHO", 7);
    acad::Block* label = doc.Blocks().Add({0, 0, 0}, "R-TUBO");
    label->AddAttribute(2.0, 0, "", {0, 1, 0}, "TUBO", "");
    label->AddAttribute(2.0, 0, "", {0, -3, 0}, "ETAPA", "");
    acad::Block* tee = doc.Blocks().Add({0, 0, 0}, "R-TE");
    tee->AddCircle({0, 0, 0}, 1.0);
    tee->AddAttribute(1.0, 0, "", {1.5, 0, 0}, "CÓDIGO", "");
    tee->AddAttribute(1.0, 0, "", {1.5, -1.5, 0}, "MAT", "");
    for (int k = 1; k <= n; ++k) {
        const double x0 = 100.0 * (k - 1);
        acad::Line* pipe = doc.ModelSpace().AddLine({x0, 0, 0}, {x0 + 80, 0, 0});
        pipe->SetLayer("T_50");
        acad::BlockReference* l = doc.ModelSpace().InsertBlock({x0 + 40, 0, 0}, "R-TUBO", 1, 1, 1, 0);
        l->SetLayer("TRECHO");
        SetAttribute(*l, "TUBO", "PVCDN50-X");
        SetAttribute(*l, "ETAPA", "0");
        for (double end : {x0, x0 + 80}) {
            acad::BlockReference* f = doc.ModelSpace().InsertBlock({end, 0, 0}, "R-TE", 1, 1, 1, 0);
            SetAttribute(*f, "CÓDIGO", "TEDN50");
            SetAttribute(*f, "MAT", "PVC");
        }
    }
    Save(doc, path);
}

// --- topography: buildings and repairs

void Spread(int n, const std::string& path, double spacing)
{
    Check(n, "spread");
    acad::Document doc;
    Layer(doc, "DIVERSOS", 3);
    const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
    acad::Block& ms = doc.ModelSpace();
    for (int k = 1; k <= n; ++k) {
        const double x = spacing * ((k - 1) % columns), y = spacing * ((k - 1) / columns);
        acad::Entity* e = nullptr;
        switch ((k - 1) % 5) {
        case 0: e = ms.AddLine({x, y, 0}, {x + 10, y, 0}); break;
        case 1: e = ms.AddCircle({x, y, 0}, 5); break;
        case 2: e = ms.AddText("E" + std::to_string(k), {x, y, 0}, 2); break;
        case 3: e = ms.AddPoint({x, y, 0}); break;
        default: {
            auto* p = ms.AddLightWeightPolyline({x, y, x + 10, y, x + 10, y + 10, x, y + 10});
            p->SetClosed(true);
            e = p;
        }
        }
        e->SetLayer("DIVERSOS");
    }
    Save(doc, path);
}

void Buildings(int n, const std::string& path)
{
    Check(n, "buildings");
    acad::Document doc;
    Layer(doc, "CADASTRO", 250);
    Layer(doc, "CADASTRO_TEXTO", 7);
    for (const auto& [name, half] : {std::pair<const char*, double>{"CAD_RUF", 2.475}, {"CAD_COM", 4.9118}}) {
        acad::Block* b = doc.Blocks().Add({0, 0, 0}, name);
        const double h = half;
        for (const auto& [a, c] : {std::pair<Point3d, Point3d>{{-h, -h, 0}, {h, -h, 0}},
                                   {{h, -h, 0}, {h, h, 0}},
                                   {{h, h, 0}, {-h, h, 0}},
                                   {{-h, h, 0}, {-h, -h, 0}},
                                   {{-h, -h, 0}, {h, h, 0}}})
            b->AddLine(a, c)->SetLayer("CADASTRO");
        const char* tags[] = {"NUMERO", "NOME", "APTOS", "COM", "ECONOMIAS"};
        const double ys[] = {0, h + 0.4, -h - 1.6, -h - 3.0, -h - 4.4};
        for (int t = 0; t < 5; ++t)
            b->AddAttribute(t ? 1.0 : 1.5, 0, "", {0, ys[t], 0}, tags[t], "")->SetLayer("CADASTRO_TEXTO");
    }
    for (int k = 1; k <= n; ++k) {
        const char* name = k % 3 == 0 ? "CAD_COM" : "CAD_RUF";
        acad::BlockReference* b = doc.ModelSpace().InsertBlock({30.0 * (k - 1), 0, 0}, name, 1, 1, 1, 0);
        b->SetLayer("CADASTRO");
        SetAttribute(*b, "NUMERO", std::to_string(k));
        SetAttribute(*b, "ECONOMIAS", std::to_string(k));
    }
    Save(doc, path);
}

void Streets(int n, const std::string& path)
{
    Check(n, "streets");
    acad::Document doc;
    Layer(doc, "EIXO_RUA", 1);
    Layer(doc, "LOTES", 3);
    for (int k = 1; k <= n; ++k) {
        const double y = 100.0 * (k - 1);
        acad::LWPolyline* p = doc.ModelSpace().AddLightWeightPolyline(
            k % 2 ? std::vector<double>{0, y, 1500, y} : std::vector<double>{0, y, 150, y, 150, y + 100});
        p->SetLayer("EIXO_RUA");
    }
    doc.ModelSpace().AddLightWeightPolyline({0, -100, 999, -100})->SetLayer("LOTES");
    doc.ModelSpace().AddLine({0, -200, 0}, {800, -200, 0})->SetLayer("EIXO_RUA");
    Save(doc, path);
}

void Splines(int n, const std::string& path)
{
    Check(n, "splines");
    acad::Document doc;
    Layer(doc, "CURVAS", 4);
    for (int k = 1; k <= n; ++k) {
        const int points = k % 2 ? 10 : 6;
        std::vector<double> fit;
        for (int i = 0; i < points; ++i) {
            fit.push_back(10.0 * i);
            fit.push_back(50.0 * (k - 1) + 5 * std::sin(i));
            fit.push_back(0);
        }
        doc.ModelSpace().AddSpline(fit, {0, 0, 0}, {0, 0, 0})->SetLayer("CURVAS");
    }
    Save(doc, path);
}

void FarHatches(int n, const std::string& path)
{
    Check(n, "hatch");
    acad::Document doc;
    Layer(doc, "HACHURA", 2);
    for (int k = 1; k <= n; ++k) {
        const double x0 = 650000 + 200.0 * (k - 1), y0 = 7400000;
        acad::LWPolyline* edge =
            doc.ModelSpace().AddLightWeightPolyline({x0, y0, x0 + 100, y0, x0 + 100, y0 + 80, x0, y0 + 80});
        edge->SetClosed(true);
        edge->SetLayer("HACHURA");
        acad::Hatch* h = doc.ModelSpace().AddHatch(acad::HatchPatternType::PreDefined, "ANSI31", false);
        h->SetLayer("HACHURA");
        h->SetPatternScale(2.5);
        h->AppendOuterLoop({edge});
        h->Evaluate();
    }
    Save(doc, path);
}

void Elevated(int n, const std::string& path)
{
    Check(n, "elevated");
    acad::Document doc;
    Layer(doc, "ELEVADO", 6);
    acad::Block* marco = doc.Blocks().Add({0, 0, 0}, "MARCO");
    marco->AddCircle({0, 0, 0}, 1);
    acad::Block& ms = doc.ModelSpace();
    for (int k = 1; k <= n; ++k) {
        const double x0 = 200.0 * (k - 1);
        std::vector<acad::Entity*> made;
        made.push_back(ms.AddLine({x0, 0, 5}, {x0 + 10, 0, 7}));
        made.push_back(ms.InsertBlock({x0 + 20, 0, 12}, "MARCO", 1, 1, 1, 0));
        made.push_back(ms.AddText("T", {x0 + 30, 0, 3}, 1));
        made.push_back(ms.AddMText({x0 + 40, 0, 4}, 10, "M"));
        made.push_back(ms.AddArc({x0 + 50, 0, 6}, 2, 0, 1));
        made.push_back(ms.AddCircle({x0 + 60, 0, 6}, 2));
        made.push_back(ms.AddEllipse({x0 + 70, 0, 6}, {3, 0, 0}, 0.5));
        acad::LWPolyline* lw = ms.AddLightWeightPolyline({x0, 20, x0 + 10, 20});
        lw->SetElevation(8);
        made.push_back(lw);
        made.push_back(ms.AddPolyline({x0 + 20, 20, 9, x0 + 30, 20, 9, x0 + 30, 30, 9}));
        made.push_back(ms.Add3DPoly({x0 + 40, 20, 1, x0 + 50, 21, 2, x0 + 60, 22, 3}));
        made.push_back(ms.AddSpline({x0 + 70, 20, 1, x0 + 80, 25, 2, x0 + 90, 20, 3}, {0, 0, 0}, {0, 0, 0}));
        made.push_back(ms.AddPoint({x0, 40, 10}));
        acad::LWPolyline* edge = ms.AddLightWeightPolyline({x0 + 20, 40, x0 + 30, 40, x0 + 30, 50, x0 + 20, 50});
        edge->SetClosed(true);
        edge->SetElevation(2);
        acad::Hatch* h = ms.AddHatch(acad::HatchPatternType::PreDefined, "SOLID", false);
        h->AppendOuterLoop({edge});
        h->Evaluate();
        made.push_back(edge);
        made.push_back(h);
        for (acad::Entity* e : made) e->SetLayer("ELEVADO");
    }
    Save(doc, path);
}

// ---- the parcel grid of the common tools panel

namespace {

// The catalogue's city block number: a circle and its two numbers.
void CityBlockDefinition(acad::Document& doc)
{
    Layer(doc, "COD_QUADRA", 5);
    acad::Block* b = doc.Blocks().Add({0, 0, 0}, "COM_QUADRA");
    b->AddCircle({0, 0, 0}, 5.0)->SetLayer("COD_QUADRA");
    b->AddAttribute(4.0, 0, "", {0, 0, 0}, "QUADRA", "")->SetLayer("COD_QUADRA");
    b->AddAttribute(1.0, 0, "", {0, -6, 0}, "SETOR", "")->SetLayer("COD_QUADRA");
}

void CityBlock(acad::Document& doc, const Point3d& at, const std::string& sector, const std::string& number)
{
    acad::BlockReference* q = doc.ModelSpace().InsertBlock(at, "COM_QUADRA", 1, 1, 1, 0);
    q->SetLayer("SETOR_" + sector);
    SetAttribute(*q, "SETOR", sector);
    SetAttribute(*q, "QUADRA", number);
}

}  // namespace

void Grid(int n, const std::string& path)
{
    Check(n, "grid");
    acad::Document doc;
    Layer(doc, "GRADE_10_LINHA", 7);
    Layer(doc, "SETOR_7", 7);
    CityBlockDefinition(doc);

    const std::vector<Point3d> corners{{0, 0, 0}, {200, 0, 0}, {200, 100, 0}, {0, 100, 0}, {0, 0, 0}};
    const double total = 600.0, piece = total / n;
    // The point at distance d along the outline.
    auto along = [&](double d) {
        for (std::size_t i = 0; i + 1 < corners.size(); ++i) {
            const Point3d& a = corners[i];
            const Point3d& b = corners[i + 1];
            const double len = std::hypot(b.x - a.x, b.y - a.y);
            if (d <= len) return Point3d{a.x + (b.x - a.x) * d / len, a.y + (b.y - a.y) * d / len, 0};
            d -= len;
        }
        return corners.back();
    };
    double reached = 0;  // distance of each corner along the outline
    std::vector<double> at{0};
    for (std::size_t i = 1; i < corners.size(); ++i) {
        reached += std::hypot(corners[i].x - corners[i - 1].x, corners[i].y - corners[i - 1].y);
        at.push_back(reached);
    }
    for (int k = 0; k < n; ++k) {
        const double from = piece * k, to = k + 1 == n ? total : piece * (k + 1);
        const Point3d a = along(from), b = along(to);
        std::vector<double> xy{a.x, a.y};
        for (std::size_t i = 1; i + 1 < at.size(); ++i)
            if (at[i] > from + 1e-9 && at[i] < to - 1e-9) {
                xy.push_back(corners[i].x);
                xy.push_back(corners[i].y);
            }
        xy.push_back(b.x);
        xy.push_back(b.y);
        acad::LWPolyline* p = doc.ModelSpace().AddLightWeightPolyline(xy);
        p->SetLayer("GRADE_10_LINHA");
        p->SetConstantWidth(3.0);
    }
    CityBlock(doc, {100, 50, 0}, "7", "12");

    acad::LWPolyline* curved = doc.ModelSpace().AddLightWeightPolyline({300, 0, 400, 0, 400, 100, 300, 100});
    curved->SetBulge(1, -1.0);
    curved->SetClosed(true);
    CityBlock(doc, {350, 50, 0}, "7", "13");
    Save(doc, path);
}

// ---- the common tools panel's drawings

void Sector(int n, const std::string& path)
{
    Check(n, "sector");
    const std::filesystem::path base = std::filesystem::path(path).parent_path() / "BASE.dwg";
    {
        acad::Document map;
        for (int k = 0; k < n; ++k) {
            const double x = -50 + 200.0 * k / n;
            map.ModelSpace().AddLine({x, -50, 0}, {x + 50, 150, 0});
        }
        Save(map, base.string());
    }
    acad::Document doc;
    doc.ModelSpace().AttachExternalReference(base.string(), "BASE", {0, 0, 0}, 1, 1, 1, 0, false);
    doc.ModelSpace().AddLightWeightPolyline({0, 0, 100, 0, 100, 0.005, 100, 50});
    doc.Blocks().Add({0, 0, 0}, "MARCO")->AddCircle({0, 0, 0}, 2);
    doc.ModelSpace().InsertBlock({300, 0, 0}, "MARCO", 1, 1, 1, 0);
    acad::Block* casa = doc.Blocks().Add({0, 0, 0}, "CAD_RUF");
    casa->AddLine({-2, 0, 0}, {2, 0, 0});
    casa->AddAttribute(1.5, 0, "", {0, 1, 0}, "NUMERO", "");
    acad::Block* soleira = doc.Blocks().Add({0, 0, 0}, "CAD_SBX");
    soleira->AddLine({0, 0, 0}, {1, 0, 0});
    soleira->AddAttribute(1.0, 0, "", {0, 1, 0}, "ANTIGO", "");
    SetAttribute(*doc.ModelSpace().InsertBlock({200, 100, 0}, "CAD_RUF", 1, 1, 1, 0), "NUMERO", "42");
    doc.ModelSpace().InsertBlock({220, 100, 0}, "CAD_SBX", 1, 1, 1, 0);
    Save(doc, path);
}

// --- common tools: buildings and water meters

void Numbering(int n, const std::string& path)
{
    Check(n, "numbering");
    acad::Document doc;
    Layer(doc, "CADASTRO", 250);
    Layer(doc, "CADASTRO_TEXTO", 7);
    acad::Block* casa = doc.Blocks().Add({0, 0, 0}, "CAD_RUF");
    for (const auto& [a, b] : {std::pair<Point3d, Point3d>{{-2.475, -2.475, 0}, {2.475, -2.475, 0}},
                               {{2.475, -2.475, 0}, {2.475, 2.475, 0}},
                               {{2.475, 2.475, 0}, {-2.475, 2.475, 0}},
                               {{-2.475, 2.475, 0}, {-2.475, -2.475, 0}}})
        casa->AddLine(a, b)->SetLayer("CADASTRO");
    const auto atributo = [&](const char* tag, double h, Point3d at) {
        casa->AddAttribute(h, 0, "", at, tag, "")->SetLayer("CADASTRO_TEXTO");
    };
    atributo("NUMERO", 1.5, {0, 0, 0});
    atributo("NOME", 1, {0, 2.875, 0});
    atributo("APTOS", 1, {0, -4.075, 0});
    atributo("COM", 1, {0, -5.475, 0});
    atributo("ECONOMIAS", 1, {0, -6.875, 0});
    const auto insere = [&](int k, double escala) {
        acad::BlockReference* b =
            doc.ModelSpace().InsertBlock({30.0 * (k - 1), 0, 0}, "CAD_RUF", escala, escala, escala, 0);
        b->SetLayer("CADASTRO");
        SetAttribute(*b, "NUMERO", std::to_string(k));
        SetAttribute(*b, "ECONOMIAS", std::to_string(k));
        SetAttribute(*b, "S-Q-L", "1-1-" + std::to_string(k));
    };
    for (int k = 2; k <= n; k += 2) insere(k, 2);
    atributo("UNIDADE", 0.8, {2.775, 1.675, 0});
    atributo("S-Q-L", 0.8, {0, -2.775, 0});
    for (int k = 1; k <= n; k += 2) insere(k, 1);

    doc.Blocks().Add({0, 0, 0}, "CAD_SBX")->AddLine({0, 0, 0}, {1, 0, 0});
    doc.ModelSpace().InsertBlock({0, -20, 0}, "CAD_SBX", 1, 1, 1, 0)->SetLayer("CADASTRO");
    Layer(doc, "GRADE_10", 42);
    acad::Block* grade = doc.Blocks().Add({0, 0, 0}, "COM_GRADE");
    grade->AddLine({0, 0, 0}, {0, 2, 0});
    grade->AddAttribute(1, 0, "", {0.5, 1, 0}, "LOTE", "");
    acad::BlockReference* marca = doc.ModelSpace().InsertBlock({0, -40, 0}, "COM_GRADE", 1, 1, 1, 0);
    marca->SetLayer("GRADE_10");
    SetAttribute(*marca, "LOTE", "120");
    marca->SetXData({1001, 1000}, {acad::Variant(std::string("7-12")), acad::Variant(std::string("120"))});
    Save(doc, path);
}

// ------------------------------------------------------------------ map sheets

void Scatter(int n, const std::string& path)
{
    Check(n, "scatter");
    acad::Document doc;
    const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
    const double step = 1000.0 / columns;
    for (int k = 0; k < n; ++k) {
        const Point3d at{step * (k % columns), step * (k / columns), 0};
        switch (k % 3) {
        case 0: doc.ModelSpace().AddLine(at, {at.x + 10, at.y, 0}); break;
        case 1: doc.ModelSpace().AddCircle(at, 5); break;
        default: doc.ModelSpace().AddPoint(at); break;
        }
    }
    Save(doc, path);
}

void SheetsXRef(int n, const std::string& path)
{
    Check(n, "sheets");
    std::filesystem::path sheets(path);
    sheets.replace_filename(sheets.stem().string() + "-folhas.dwg");
    acad::Document doc;
    Layer(doc, "NUM_QUADRICULA", 3);
    acad::Block* frame = doc.Blocks().Add({0, 0, 0}, "QUADRICULA2");
    frame->AddLine({0, -1, 0}, {1, -1, 0});
    frame->AddLine({1, -1, 0}, {1, 0, 0});
    frame->AddLine({1, 0, 0}, {0, 0, 0});
    frame->AddLine({0, 0, 0}, {0, -1, 0});
    frame->AddAttribute(0.012, 0, "", {0.004, -0.004, 0}, "NUMERO", "");
    for (int k = 1; k <= n; ++k) {
        const Point3d at{786.0 * ((k - 1) % 3), -499.0 * ((k - 1) / 3), 0};
        acad::BlockReference* b = doc.ModelSpace().InsertBlock(at, "QUADRICULA2", 786, 499, 786, 0);
        b->SetLayer("NUM_QUADRICULA");
        SetAttribute(*b, "NUMERO", std::to_string(k));
    }
    Save(doc, sheets.string());
    acad::Document host;
    host.ModelSpace().AttachExternalReference(sheets.string(), "FOLHAS", {1000, 1000, 0}, 1, 1, 1, 0, false);
    Save(host, path);
}


// ---- map sheets and their template layout

void Sheets(int n, const std::string& path)
{
    Check(n, "sheets");
    constexpr double w = 786, h = 499;
    acad::Document doc;
    Layer(doc, "NUM_QUADRICULA", 1);
    acad::Block* frame = doc.Blocks().Add({0, 0, 0}, "QUADRICULA2");
    const Point3d corners[] = {{0, 0, 0}, {1, 0, 0}, {1, -1, 0}, {0, -1, 0}};
    for (int i = 0; i < 4; ++i) frame->AddLine(corners[i], corners[(i + 1) % 4]);
    frame->AddAttribute(0.02, 0, "", {0.5, -0.5, 0}, "NUMERO", "0");
    for (int k = 1; k <= n; ++k) {
        const double x = 650000 + ((k - 1) % 4) * w, y = 7450000 - ((k - 1) / 4) * h;
        acad::BlockReference* q = doc.ModelSpace().InsertBlock({x, y, 0}, "QUADRICULA2", w, h, w, 0);
        q->SetLayer("NUM_QUADRICULA");
        SetAttribute(*q, "NUMERO", std::to_string(k));
        doc.ModelSpace().AddLine({x + 10, y - 10, 0}, {x + w - 10, y - h + 10, 0});
    }

    acad::Block* seal = doc.Blocks().Add({0, 0, 0}, "SELO");
    seal->AddLine({0, 0, 0}, {120, 0, 0});
    seal->AddAttribute(4.0, 0, "", {5, 5, 0}, "NUMERO", "0000");
    acad::Block* key = doc.Blocks().Add({0, 0, 0}, "INDICE");
    key->AddLine({0, 0, 0}, {40, 0, 0});
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c)
            key->AddAttribute(2.0, 0, "", {10.0 * c, -5.0 * r, 0}, "XL" + std::to_string(r) + "C" + std::to_string(c),
                              "");
    // The viewport is the layout's own before the layout is first shown.
    acad::Layout* paper = doc.Layouts().Item("Layout1");
    paper->SetName("Modelo");
    paper->Block().AddPViewport({200, 150, 0}, 393, 249.5);
    paper->Block().InsertBlock({280, 10, 0}, "SELO", 1, 1, 1, 0);
    paper->Block().InsertBlock({280, 60, 0}, "INDICE", 1, 1, 1, 0);
    Save(doc, path);
}

}  // namespace e2e::fixtures
