#include "water/modCorrigeMaterial.h"

#include <cstddef>
#include <optional>
#include <vector>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modSelecao.h"
#include "cad/modVista.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/SelectionSet.h"
#include "platform/forms/MsgBox.h"
#include "water/clsWATDb.h"

std::string MaterialDoCodigo(const std::string& Codigo)
{
    const std::size_t dn = Codigo.find("DN");
    // A code without "DN" has no pipe type to cut out.
    if (dn == std::string::npos || dn == 0) return "";
    const std::string base = Codigo.substr(0, dn);
    for (const TipoTuboRec& t : gTiposTubo)
        if (t.Codigo == base) return t.NomeCatalogo;
    return "";
}

void CorrigeMaterial()
{
    acad::SelectionSet* ss = RecriaConjunto("SS1");
    AtivaJanelaAcad();
    ss->SelectOnScreen({-4, 2, 2, -4}, {acad::Variant("<XOR"), acad::Variant("A-TUBO"), acad::Variant("R-TUBO"),
                                        acad::Variant("XOR>")});
    std::vector<acad::BlockReference*> rotulos;
    rotulos.reserve(static_cast<std::size_t>(ss->Count()));
    for (acad::Entity* e : *ss)
        if (auto* b = dynamic_cast<acad::BlockReference*>(e)) rotulos.push_back(b);
    forms::MsgBox(std::to_string(ss->Count()));
    for (acad::BlockReference* r : rotulos) {
        ZoomCentro(r->InsertionPoint(), 20.0);
        std::optional<std::string> codigo = GetAtributo("CODIGO", r);
        if (!codigo) codigo = GetAtributo("TUBO", r);
        SetAtributo("MAT", MaterialDoCodigo(codigo.value_or("")), r);
    }
}
