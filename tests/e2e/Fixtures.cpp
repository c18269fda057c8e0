#include "e2e/Fixtures.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

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

} // namespace

void Survey(int n, const std::string& path)
{
    Check(n, "survey");
    acad::Document doc;
    Layer(doc, "PONTO", 10);
    Layer(doc, "PONTO_TEXTO", 170);
    Layer(doc, "PONTO_COTA", 170);
    Layer(doc, "PONTO_DESCRICAO", 3);
    const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
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

// ------------------------------------------------------------------ map sheets

void Spread(int n, const std::string& path)
{
    Check(n, "spread");
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
            key->AddAttribute(2.0, 0, "", {10.0 * c, -5.0 * r, 0},
                              "XL" + std::to_string(r) + "C" + std::to_string(c), "");
    // The viewport is the layout's own before the layout is first shown.
    acad::Layout* paper = doc.Layouts().Item("Layout1");
    paper->SetName("Modelo");
    paper->Block().AddPViewport({200, 150, 0}, 393, 249.5);
    paper->Block().InsertBlock({280, 10, 0}, "SELO", 1, 1, 1, 0);
    paper->Block().InsertBlock({280, 60, 0}, "INDICE", 1, 1, 1, 0);
    Save(doc, path);
}

} // namespace e2e::fixtures
