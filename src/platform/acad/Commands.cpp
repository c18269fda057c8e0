#include "platform/acad/Commands.h"

#include <charconv>
#include <cmath>
#include <filesystem>

#include "platform/acad/Block.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/CommandContext.h"
#include "platform/acad/Document.h"
#include "platform/acad/DxfFile.h"
#include "platform/acad/Error.h"
#include "platform/acad/Filter.h"
#include "platform/acad/Hatch.h"
#include "platform/acad/InputReader.h"
#include "platform/acad/Layout.h"
#include "platform/acad/SelectionSetQuery.h"
#include "platform/acad/Tables.h"

namespace acad::commands {

namespace {

// Numbers in prompts, written the same whatever the machine's locale.
std::string Number(double v)
{
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 6);
    return std::string(buf, r.ptr);
}

std::string Degrees(double radians) { return Number(radians * 180.0 / kPi); }

std::optional<int> WholeNumber(const std::string& text)
{
    const auto v = input::ParseReal(text);
    if (!v || *v != static_cast<double>(static_cast<long long>(*v)) || std::abs(*v) > 1e9) return std::nullopt;
    return static_cast<int>(*v);
}

// Asks `prompt` until a point is given: the host repeats a required point.
Point3d RequiredPoint(CommandContext& ctx, const std::string& prompt, const std::optional<Point3d>& base = {})
{
    for (;;)
        if (auto p = ctx.Point(prompt, base)) return *p;
}

// --- DXFOUT

void DxfOut(CommandContext& ctx)
{
    Document& doc = ctx.Doc();
    std::filesystem::path fallback = doc.FullName().empty() ? std::filesystem::path(doc.Name()) : doc.FilePath();
    fallback.replace_extension(".dxf");
    const std::string name = ctx.Text("Digite o nome do arquivo <" + fallback.string() + ">: ", true);
    // A name without a folder, or a relative one, is beside the drawing, as
    // SaveAs places it: never in whatever folder the program runs from.
    std::filesystem::path path = FileOfName(name.empty() ? fallback.string() : name, doc.Path());
    if (!path.has_extension()) path += ".dxf";

    std::optional<std::vector<const Entity*>> objects;
    int precision = 16;
    for (;;) {
        const std::string answer =
            ctx.Text(objects ? "Digite as casas decimais de precisão (0 a 16) ou [Binário] <16>: "
                             : "Digite as casas decimais de precisão (0 a 16) ou [Objetos/Binário] <16>: ");
        if (answer.empty()) break;
        if (!objects && (IsKeyword(answer, "OBJECTS") || IsKeyword(answer, "OBJETOS"))) {
            objects.emplace();
            for (Entity* e : ctx.Selection("Selecione objetos: ")) objects->push_back(e);
            continue;
        }
        if (IsKeyword(answer, "BINARY") || IsKeyword(answer, "BINÁRIO"))
            ctx.Fail("DXF binário não é suportado; use um número de casas decimais");
        const auto digits = WholeNumber(answer);
        if (!digits || *digits < 0 || *digits > 16) ctx.Fail("casas decimais inválidas \"" + answer + "\" (0 a 16)");
        precision = *digits;
        break;
    }
    DxfWriteOptions options;
    options.precision = precision;
    if (objects) {
        // An empty selection still writes a file (with no entities): readers of it
        // then find nothing instead of a missing file.
        options.entities.emplace();
        for (const Entity* e : *objects)
            if (!e->IsErased()) options.entities->push_back(e);
    }
    WriteDxf(doc, path, options);
}

// --- -LAYER

void Layer(CommandContext& ctx)
{
    Document& doc = ctx.Doc();
    auto matching = [&](const std::string& list) {
        std::vector<acad::Layer*> out;
        for (acad::Layer* l : doc.Layers())
            if (WildcardMatch(l->Name(), list)) out.push_back(l);
        if (out.empty()) ctx.Message("Nenhuma camada corresponde a \"" + list + "\".");
        return out;
    };
    for (;;) {
        const std::string option = ctx.Text("Digite uma opção [Color/Freeze/Thaw]: ");
        if (option.empty()) return;
        if (IsKeyword(option, "COLOR")) {
            static const char* const kNames[] = {"RED", "YELLOW", "GREEN", "CYAN", "BLUE", "MAGENTA", "WHITE"};
            const std::string answer = ctx.Text("Digite o nome ou o número da cor (1-255): ");
            std::optional<int> color = WholeNumber(answer);
            for (int k = 0; k < 7; ++k)
                if (UpperName(answer) == kNames[k]) color = k + 1;
            if (!color || *color < 1 || *color > 255) ctx.Fail("cor inválida \"" + answer + "\" (1 a 255)");
            const std::string current = doc.ActiveLayer().Name();
            std::string list = ctx.Text("Digite a lista de nomes de camadas para a cor " + std::to_string(*color) +
                                        " <" + current + ">: ");
            if (list.empty()) list = current;
            for (acad::Layer* l : matching(list)) l->SetColor(*color);
        } else if (IsKeyword(option, "FREEZE")) {
            const std::string list = ctx.Text("Digite a lista de nomes de camadas a congelar: ");
            if (list.empty()) continue;
            for (acad::Layer* l : matching(list)) {
                // The host freezes the others and leaves the current layer, saying so.
                if (l == &doc.ActiveLayer()) {
                    ctx.Message("Não é possível congelar a camada \"" + l->Name() + "\": é a camada atual.");
                    continue;
                }
                l->SetFreeze(true);
            }
        } else if (IsKeyword(option, "THAW")) {
            const std::string list = ctx.Text("Digite a lista de nomes de camadas a descongelar: ");
            if (list.empty()) continue;
            for (acad::Layer* l : matching(list)) l->SetFreeze(false);
        } else {
            ctx.Fail("opção não suportada \"" + option + "\" (Color, Freeze, Thaw)");
        }
    }
}

// --- ROTATE

void Rotate(CommandContext& ctx)
{
    const std::vector<Entity*> objects = ctx.Selection("Selecione objetos: ");
    if (objects.empty()) {
        ctx.Message("Nenhum objeto selecionado.");
        return;
    }
    const Point3d base = RequiredPoint(ctx, "Especifique o ponto base: ");
    double& last = ctx.Memory().lastRotation;
    const double angle = ctx.Angle("Especifique o ângulo de rotação <" + Degrees(last) + ">: ", base).value_or(last);
    for (Entity* e : objects) {
        if (e->IsErased()) continue;
        try {
            e->Rotate(base, angle);
        } catch (const Error& err) {
            if (err.Code() != ErrorCode::LockedLayer) throw;
            ctx.Message("Objeto " + e->Handle() + " em camada bloqueada não foi girado.");
        }
    }
    last = angle;
}

// --- -HATCHEDIT

void HatchEdit(CommandContext& ctx)
{
    Entity* picked = ctx.PickEntity("Selecione o objeto de hachura: ");
    if (!picked) return;
    auto* hatch = dynamic_cast<Hatch*>(picked);
    if (!hatch) ctx.Fail("o objeto selecionado (" + picked->ObjectName() + ") não é uma hachura");
    const std::string option = ctx.Text("Digite uma opção de hachura [Properties] <Properties>: ");
    if (!option.empty() && !IsKeyword(option, "PROPERTIES"))
        ctx.Fail("opção não suportada \"" + option + "\" (Properties)");
    const HatchData& data = hatch->Data();
    const bool user = data.patternType == HatchPatternType::UserDefined;
    const std::string shownName = user ? "_USER" : data.patternName;
    const std::string pattern = ctx.Text("Digite o nome de um padrão ou [?/Solid/User defined] <" + shownName + ">: ");
    if (!pattern.empty()) ctx.Fail("só a resposta vazia (manter o padrão \"" + shownName + "\") é suportada");

    // Every answer may be Enter: the hatch keeps that setting.
    auto number = [&](const std::string& prompt) -> std::optional<double> {
        const std::string answer = ctx.Text(prompt);
        if (answer.empty()) return std::nullopt;
        const auto v = input::ParseReal(answer);
        if (!v) ctx.Fail("número inválido \"" + answer + "\"");
        return v;
    };
    std::optional<double> scale, angle;
    std::optional<bool> doubled;
    if (!data.solid && user) {
        angle = number("Especifique o ângulo das linhas de hachura <" + Degrees(data.patternAngle) + ">: ");
        scale = number("Especifique o espaçamento entre as linhas <" + Number(data.patternScale) + ">: ");
        const std::string answer =
            ctx.Text(std::string("Hachura dupla na área? [Yes/No] <") + (data.patternDouble ? "Y" : "N") + ">: ");
        if (!answer.empty()) {
            if (IsKeyword(answer, "YES") || IsKeyword(answer, "SIM"))
                doubled = true;
            else if (IsKeyword(answer, "NO") || IsKeyword(answer, "NÃO"))
                doubled = false;
            else
                ctx.Fail("resposta inválida \"" + answer + "\" (Yes ou No)");
        }
    } else if (!data.solid) {
        scale = number("Especifique uma escala para o padrão <" + Number(data.patternScale) + ">: ");
        angle = number("Especifique um ângulo para o padrão <" + Degrees(data.patternAngle) + ">: ");
    }
    if (scale && *scale <= 0) ctx.Fail("a escala ou o espaçamento precisa ser maior que zero");

    if (doubled) {
        HatchData d = hatch->Data();
        d.patternDouble = *doubled;
        hatch->SetData(d);
    }
    if (scale) hatch->SetPatternScale(*scale);
    if (angle) hatch->SetPatternAngle(*angle);
    hatch->Evaluate();
}

// --- LAYOUT

void LayoutCommand(CommandContext& ctx)
{
    Document& doc = ctx.Doc();
    const std::string option = ctx.Text("Digite uma opção de layout [Copy]: ");
    if (!IsKeyword(option, "COPY")) ctx.Fail("opção não suportada \"" + option + "\" (Copy)");
    const std::string current = doc.ActiveLayout().Name();
    std::string from = ctx.Text("Digite o nome do layout a copiar <" + current + ">: ", true);
    if (from.empty()) from = current;
    acad::Layout* source = doc.Layouts().Find(from);
    if (!source) throw Error(ErrorCode::KeyNotFound, "LAYOUT: layout \"" + from + "\" não encontrado");
    if (source->ModelType()) ctx.Fail("o layout \"" + source->Name() + "\" não pode ser copiado");
    std::string to = ctx.Text("Digite o nome do layout da cópia <" + source->Name() + " (2)>: ", true);
    if (to.empty()) to = source->Name() + " (2)";
    doc.Layouts().Copy(*source, to);
    ctx.Message("Layout \"" + source->Name() + "\" copiado para \"" + to + "\".");
}

// --- XCLIP

void XClip(CommandContext& ctx)
{
    std::vector<ExternalReference*> references;
    for (Entity* e : ctx.Selection("Selecione objetos: "))
        if (auto* x = dynamic_cast<ExternalReference*>(e)) references.push_back(x);
    if (references.empty()) ctx.Fail("nenhuma referência externa selecionada");
    const std::string option = ctx.Text("Digite uma opção de recorte [New boundary] <New>: ");
    if (!option.empty() && !IsKeyword(option, "NEW")) ctx.Fail("opção não suportada \"" + option + "\" (New boundary)");
    const std::string shape = ctx.Text("Especifique o limite de recorte: [Polygonal/Rectangular] <Rectangular>: ");
    std::vector<Point3d> boundary;
    if (IsKeyword(shape, "POLYGONAL")) {
        boundary.push_back(RequiredPoint(ctx, "Especifique o primeiro ponto: "));
        while (auto p = ctx.Point("Especifique o próximo ponto: ", boundary.back())) boundary.push_back(*p);
        if (boundary.size() < 3)
            ctx.Fail("contorno de recorte com " + std::to_string(boundary.size()) +
                     " ponto(s): são precisos ao menos 3");
    } else if (shape.empty() || IsKeyword(shape, "RECTANGULAR")) {
        const Point3d a = RequiredPoint(ctx, "Especifique o primeiro canto: ");
        const Point3d b = RequiredPoint(ctx, "Especifique o canto oposto: ", a);
        if (a.x == b.x || a.y == b.y) ctx.Fail("retângulo de recorte sem área");
        boundary = {a, b};
    } else {
        ctx.Fail("opção não suportada \"" + shape + "\" (Polygonal, Rectangular)");
    }
    for (ExternalReference* x : references)
        if (!x->IsErased()) x->SetClipBoundary(boundary);
}

// --- DIMALIGNED

void DimAligned(CommandContext& ctx)
{
    const auto first = ctx.Point("Especifique a origem da primeira linha de extensão ou <selecionar objeto>: ");
    if (!first) {
        // Dimensioning a picked object is not offered; Enter ends the command.
        ctx.Message("Seleção de objeto para cotar não disponível.");
        return;
    }
    const Point3d second = RequiredPoint(ctx, "Especifique a origem da segunda linha de extensão: ", *first);
    const Point3d place = RequiredPoint(ctx, "Especifique a posição da linha de cota: ", second);
    selection::CurrentSpace(ctx.Doc()).AddDimAligned(*first, second, place);
}

const Definition kCommands[] = {
    {"DXFOUT", DxfOut},        {"-LAYER", Layer},          {"ROTATE", Rotate}, {"-HATCHEDIT", HatchEdit},
    {"LAYOUT", LayoutCommand}, {"-LAYOUT", LayoutCommand}, {"XCLIP", XClip},   {"DIMALIGNED", DimAligned},
};

}  // namespace

const Definition* Find(const std::string& typed)
{
    std::string name = UpperName(typed);
    // "_" asks for the command by its language-neutral name, "." for the built-in one.
    while (!name.empty() && (name[0] == '_' || name[0] == '.')) name.erase(0, 1);
    for (const Definition& d : kCommands)
        if (name == d.name) return &d;
    return nullptr;
}

}  // namespace acad::commands
