#include "cad/modDesenho.h"

#include <filesystem>

#include "cad/modAcad.h"
#include "cad/modSelecao.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/Error.h"
#include "platform/acad/SelectionSet.h"
#include "platform/acad/TextEntities.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"

namespace {

acad::BlockReference& Referencia(acad::Entity* Bloco)
{
    if (!Bloco) throw acad::Error(acad::ErrorCode::InvalidInput, "Nenhum bloco informado");
    Bloco->CheckAlive();
    auto* ref = acad::As<acad::BlockReference>(Bloco);
    if (!ref)
        throw acad::Error(acad::ErrorCode::InvalidInput,
                          "O objeto " + Bloco->ObjectName() + " não é uma referência de bloco");
    return *ref;
}

}  // namespace

acad::Layer* GetLayer(const std::string& Nome, int Cor, const std::string& TipoLinha)
{
    acad::Layer* layer = nullptr;
    for (acad::Layer* l : gAcadDoc->Layers()) {
        if (l->Name() == Nome) {
            layer = l;
            break;
        }
    }
    // A name found only in another case is asked for again: the host answers
    // with its existing layer.
    if (!layer) layer = gAcadDoc->Layers().Add(Nome);
    // The catalogue's colour wins on every call, on the user's layers too.
    if (Cor != 0) layer->SetColor(Cor);

    if (!TipoLinha.empty()) {
        // Asked as the host names them, in any case: "CONTINUOUS" is loaded.
        if (!gAcadDoc->Linetypes().Find(TipoLinha)) {
            try {
                gAcadDoc->Linetypes().Load(TipoLinha, "acad.lin");
            } catch (const acad::Error&) {
            }
        }
        try {
            layer->SetLinetype(TipoLinha);
        } catch (const acad::Error&) {
        }
    }
    return layer;
}

bool InsertBlockFile(const std::string& Nome)
{
    try {
        if (gAcadDoc->Blocks().Find(Nome)) return true;
    } catch (const acad::Error&) {
    }
    const std::filesystem::path arquivo = std::filesystem::path(gBlocosPath) / (Nome + ".dwg");
    std::error_code ec;
    if (!std::filesystem::is_regular_file(arquivo, ec)) {
        ExibeMensagem(0, "Atenção", "Arquivo: " + Nome + " não foi encontrado em " + gBlocosPath);
        return false;
    }
    // Inserting the file defines the block named after it; the reference
    // itself is not wanted.
    try {
        acad::BlockReference* ref = gModelSpace->InsertBlock({0, 0, 0}, arquivo.string(), 1, 1, 1, 0);
        try {
            ref->Delete();
        } catch (const acad::Error&) {
        }
    } catch (const acad::Error& e) {
        ExibeMensagem(0, "Atenção", "Arquivo: " + arquivo.string() + " não pôde ser inserido" + "\r" + e.Description());
        return false;
    }
    try {
        return gAcadDoc->Blocks().Find(Nome) != nullptr;
    } catch (const acad::Error&) {
        return false;
    }
}

std::optional<std::string> GetAtributo(const std::string& Tag, acad::Entity* Bloco)
{
    std::optional<std::string> valor;
    for (acad::AttributeReference* a : Referencia(Bloco).GetAttributes())
        if (a->TagString() == Tag) valor = a->TextString();
    return valor;
}

std::optional<std::string> SetAtributo(const std::string& Tag, const std::string& Valor, acad::Entity* Bloco)
{
    std::optional<std::string> escrito;
    for (acad::AttributeReference* a : Referencia(Bloco).GetAttributes()) {
        if (a->TagString() != Tag) continue;
        a->SetTextString(Valor);
        a->Update();
        escrito = Valor;
    }
    return escrito;
}

void LimpaConferencia()
{
    acad::SelectionSet* ss = RecriaConjunto("SS1");
    ss->Select(5, {}, {}, {8}, {gLayerConf});
    ss->Erase();
    gAcadDoc->Regen(acad::acActiveViewport);
}
