// Writes the block drawing files the program inserts by name from its database
// folder ("ErroC.dwg", ...). Each file is a drawing whose model space is the
// block: inserting the file defines a block named after it.
//
//   make_block_files <catalogue database> <output folder>
//
// "E-PVGEN" and "E-TRCGEN" are drawn from their rows in the catalogue, so that a
// drawing that gets them from the file and one that builds them from the rows
// end with the same block, attributes in the same order.

#include "platform/acad/Acad.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using acad::Point3d;

constexpr int kLeft = 0, kCenter = 1, kMiddleCenter = 10, kMiddleLeft = 9, kMiddleRight = 11;

void Style(acad::Document& doc)
{
    doc.TextStyles().Add("ROMANS")->SetFontFile("Romans.shx");
}

acad::Layer* LayerWithColor(acad::Document& doc, const std::string& name, int color)
{
    acad::Layer* layer = doc.Layers().Add(name);
    if (color > 0 && color < 256) layer->SetColor(color);
    return layer;
}

acad::AttributeDefinition* Attribute(acad::Document& doc, const std::string& tag, const Point3d& at, double height,
                                     int alignment, const std::string& layer, const std::string& value = "")
{
    acad::AttributeDefinition* a = doc.ModelSpace().AddAttribute(height, 0, "", at, tag, value);
    a->SetStyleName("ROMANS");
    a->SetAlignment(alignment);
    if (alignment != kLeft) a->SetTextAlignmentPoint(at);
    a->SetLayer(layer);
    return a;
}

// A drawing of the program's settings: layer "0", style ROMANS.
struct BlockDrawing {
    acad::Document doc;
    BlockDrawing() { Style(doc); }
    void Save(const std::filesystem::path& folder, const std::string& name)
    {
        doc.SaveAs((folder / (name + ".dwg")).string());
    }
};

// Fault marker: a circle of radius 1 drawn in the insert's colour (the node
// drawing takes the X scale as the radius) and the message beside it.
void FaultMarker(const std::filesystem::path& out, const std::string& name)
{
    BlockDrawing b;
    acad::Circle* c = b.doc.ModelSpace().AddCircle({0, 0, 0}, 1.0);
    c->SetColor(0); // by block
    acad::Line* h = b.doc.ModelSpace().AddLine({-1.4, 0, 0}, {1.4, 0, 0});
    acad::Line* v = b.doc.ModelSpace().AddLine({0, -1.4, 0}, {0, 1.4, 0});
    h->SetColor(0);
    v->SetColor(0);
    Attribute(b.doc, "MENSAGEM", {1.2, 0, 0}, 0.5, kMiddleLeft, "0")->SetColor(0);
    b.Save(out, name);
}

// Zone blocks: a small flag at the insertion point, the zone's name above and
// its value below.
void Zone(const std::filesystem::path& out, const std::string& name, const std::string& valueTag)
{
    BlockDrawing b;
    auto& ms = b.doc.ModelSpace();
    ms.AddCircle({0, 0, 0}, 0.5);
    ms.AddLine({0, 0, 0}, {0, 3, 0});
    ms.AddLightWeightPolyline({0, 3, 2, 2.5, 0, 2})->SetClosed(true);
    Attribute(b.doc, "NOME", {0, 4.5, 0}, 2.5, kCenter, "0");
    Attribute(b.doc, valueTag, {0, -1.5, 0}, 2.0, 7 /* top centre */, "0");
    b.Save(out, name);
}

// Building quantity table: a heading row and one row per kind of building, the
// counts and the summed units right-aligned in two columns. Base point: top left.
void BuildingTable(const std::filesystem::path& out)
{
    BlockDrawing b;
    auto& ms = b.doc.ModelSpace();
    const double w0 = 60, w1 = 20, w2 = 20, row = 5, width = w0 + w1 + w2;
    const std::vector<std::pair<std::string, std::string>> kinds = {
        {"RUF", "Residencial Unifamiliar"}, {"RMF", "Residencial Multifamiliar"}, {"MIX", "Edificação Mista"},
        {"COM", "Edificação Comercial"},    {"IND", "Edificação Industrial"},    {"SVP", "Serviços Públicos"},
        {"TOTAL", "Total"}};
    const double height = row * (kinds.size() + 1);
    ms.AddLightWeightPolyline({0, 0, width, 0, width, -height, 0, -height})->SetClosed(true);
    for (size_t r = 1; r <= kinds.size(); ++r) ms.AddLine({0, -row * r, 0}, {width, -row * r, 0});
    ms.AddLine({w0, 0, 0}, {w0, -height, 0});
    ms.AddLine({w0 + w1, 0, 0}, {w0 + w1, -height, 0});
    auto text = [&](const std::string& s, const Point3d& at, int alignment) {
        acad::Text* t = ms.AddText(s, at, 2.0);
        t->SetStyleName("ROMANS");
        t->SetAlignment(alignment);
        if (alignment != kLeft) t->SetTextAlignmentPoint(at);
    };
    text("Edificações", {1.5, -row / 2, 0}, kMiddleLeft);
    text("Quantidade", {w0 + w1 / 2, -row / 2, 0}, kMiddleCenter);
    text("Economias", {w0 + w1 + w2 / 2, -row / 2, 0}, kMiddleCenter);
    for (size_t r = 0; r < kinds.size(); ++r) {
        const double y = -row * (r + 1.5);
        text(kinds[r].second, {1.5, y, 0}, kMiddleLeft);
        Attribute(b.doc, "QTT_" + kinds[r].first, {w0 + w1 - 1.5, y, 0}, 2.0, kMiddleRight, "0", "0");
        Attribute(b.doc, "ECO_" + kinds[r].first, {width - 1.5, y, 0}, 2.0, kMiddleRight, "0", "0");
    }
    b.Save(out, "CAD_QTT");
}

// --- blocks drawn from their catalogue rows (the sewer row format)

std::vector<std::string> Split(const std::string& s)
{
    std::vector<std::string> parts;
    std::stringstream in(s);
    for (std::string item; std::getline(in, item, ',');) parts.push_back(item);
    if (!s.empty() && s.back() == ',') parts.emplace_back();
    return parts;
}

double Number(const std::string& s)
{
    if (s.empty()) return 0;
    std::string t = s;
    for (char& c : t)
        if (c == ',') c = '.';
    return std::stod(t);
}

Point3d PointOf(const std::string& s)
{
    const auto p = Split(s);
    if (p.size() < 2) throw std::runtime_error("ponto inválido: " + s);
    return {Number(p[0]), Number(p[1]), p.size() > 2 ? Number(p[2]) : 0.0};
}

struct Row {
    std::string s1, s2, s3, s4;
};

std::vector<Row> CatalogueRows(const std::string& database, const std::string& block)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw std::runtime_error("não foi possível abrir " + database);
    sqlite3_stmt* st = nullptr;
    // The loader's order: by kind, then by S4 (attributes numbered in S4's first element).
    const char* sql = "SELECT S1, S2, S3, S4 FROM E_DXFs WHERE Bloco = ?1 ORDER BY S1, S4";
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("E_DXFs não encontrada em " + database);
    }
    sqlite3_bind_text(st, 1, block.c_str(), -1, SQLITE_TRANSIENT);
    std::vector<Row> rows;
    auto text = [&](int c) {
        const unsigned char* v = sqlite3_column_text(st, c);
        return v ? std::string(reinterpret_cast<const char*>(v)) : std::string();
    };
    while (sqlite3_step(st) == SQLITE_ROW) rows.push_back({text(0), text(1), text(2), text(3)});
    sqlite3_finalize(st);
    sqlite3_close(db);
    if (rows.empty()) throw std::runtime_error("bloco " + block + " sem linhas em E_DXFs");
    return rows;
}

void FromRows(const std::filesystem::path& out, const std::string& database, const std::string& name,
              const std::string& geometryLayer, int geometryColor)
{
    BlockDrawing b;
    auto& ms = b.doc.ModelSpace();
    LayerWithColor(b.doc, geometryLayer, geometryColor);
    for (const Row& r : CatalogueRows(database, name)) {
        if (r.s1 == "Line") {
            ms.AddLine(PointOf(r.s2), PointOf(r.s3))->SetLayer(geometryLayer);
        } else if (r.s1 == "Point") {
            ms.AddPoint(PointOf(r.s2))->SetLayer(geometryLayer);
        } else if (r.s1 == "Circle") {
            ms.AddCircle(PointOf(r.s2), Number(r.s3))->SetLayer(geometryLayer);
        } else if (r.s1 == "Arc") {
            const auto a = Split(r.s3);
            ms.AddArc(PointOf(r.s2), Number(a.at(0)), Number(a.at(1)), Number(a.at(2)))->SetLayer(geometryLayer);
        } else if (r.s1 == "Attribute") {
            const auto list = Split(r.s4);
            const Point3d at = PointOf(r.s3);
            acad::AttributeDefinition* a =
                ms.AddAttribute(Number(r.s2), std::stoi(list.at(3)), "", at, list.at(1), "");
            const int alignment = std::stoi(list.at(4));
            a->SetAlignment(alignment);
            if (a->Alignment() != kLeft) a->SetTextAlignmentPoint(at);
            b.doc.TextStyles().Add(list.at(6));
            a->SetStyleName(list.at(6));
            LayerWithColor(b.doc, list.at(2), std::stoi(list.at(5)));
            a->SetLayer(list.at(2));
        }
    }
    b.Save(out, name);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "uso: %s <catálogo .mdb> <pasta de saída>\n", argv[0]);
        return 2;
    }
    try {
        const std::filesystem::path out = argv[2];
        std::filesystem::create_directories(out);
        FaultMarker(out, "ErroC");
        // One routine names the marker "ERROC": on a case-sensitive file system
        // that file must exist too.
        FaultMarker(out, "ERROC");
        Zone(out, "Zon_PorM", "VPM");
        Zone(out, "Zon_Total", "VTZ");
        BuildingTable(out);
        FromRows(out, argv[1], "E-PVGEN", "PV", 8);
        FromRows(out, argv[1], "E-TRCGEN", "FLUXO", 12);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_block_files: %s\n", e.what());
        return 1;
    }
    return 0;
}
