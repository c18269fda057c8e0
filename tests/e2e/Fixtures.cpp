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
int SurveyColumns(int n)
{
    return static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
}

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
        p->SetXData({1001, 1000, 1000}, {acad::Variant(name), acad::Variant(std::string(elevation)),
                                         acad::Variant(description)});
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

} // namespace

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
        p->SetXData({1001, 1000, 1000}, {acad::Variant(name), acad::Variant(std::string(elevation)),
                                         acad::Variant(std::string())});
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
    p->SetXData({1001, 1000, 1000},
                {acad::Variant(std::string("P1")), acad::Variant(std::string("100.000")), acad::Variant(std::string())});
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

} // namespace e2e::fixtures
