#include "sewer/clsSANDb.h"

#include <cmath>
#include <stdexcept>

#include "platform/ado/Ado.h"
#include "shell/modCatalogo.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"
#include "platform/ProcessState.h"

std::vector<PVBlockRec> gPVBlocos;
std::vector<MaterialRec> gMateriais;
std::vector<TRLayerColorRec> gCoresTR;
std::vector<TRLayerParamRec> gEtapas;
std::vector<PavimentoRec> gPavimentos;
std::vector<BlocoDefRec> gBlocosSAN;

namespace {
const platform::ProcessStateReset kResetSANDb([] {
    gPVBlocos.clear();
    gMateriais.clear();
    gCoresTR.clear();
    gEtapas.clear();
    gPavimentos.clear();
    gBlocosSAN.clear();
});
}  // namespace

namespace {

// Everything one load reads; it reaches the arrays only when all of it was read.
struct Catalogo {
    std::vector<PVBlockRec> PVBlocos;
    std::vector<MaterialRec> Materiais;
    std::vector<TRLayerColorRec> CoresTR;
    std::vector<TRLayerParamRec> Etapas;
    std::vector<PavimentoRec> Pavimentos;
    std::vector<BlocoDefRec> BlocosSAN;
};

// The current row of one table, read column by column: every failure names the
// table and the column, so the user's message says what is missing.
class Linha {
public:
    Linha(ado::Recordset& Rs, std::string Tabela) : rs_(Rs), tabela_(std::move(Tabela)) {}

    // A value that must be there; a Null is a missing value, not "".
    ado::Value Valor(const std::string& Coluna) const
    {
        ado::Value v;
        try {
            v = rs_.Fields(Coluna).Value();
        } catch (const ado::Error& e) {
            throw ErroCatalogo("Tabela " + tabela_ + ": " + e.Description());
        }
        if (v.IsNull()) throw ErroCatalogo("Tabela " + tabela_ + ": o campo " + Coluna + " está vazio.");
        return v;
    }
    std::string Texto(const std::string& Coluna) const
    {
        return Converte(Coluna, [](const ado::Value& v) { return v.ToText(); });
    }
    // Only the stage suffix may be empty.
    std::string TextoOuVazio(const std::string& Coluna) const
    {
        try {
            const ado::Value v = rs_.Fields(Coluna).Value();
            return v.IsNull() ? std::string() : v.ToText();
        } catch (const ado::Error& e) {
            throw ErroCatalogo("Tabela " + tabela_ + ": " + e.Description());
        }
    }
    double Numero(const std::string& Coluna) const
    {
        return Converte(Coluna, [](const ado::Value& v) { return v.ToDouble(); });
    }
    int Inteiro(const std::string& Coluna) const
    {
        return Converte(Coluna, [](const ado::Value& v) { return static_cast<int>(v.ToLong()); });
    }

private:
    template <typename F>
    auto Converte(const std::string& Coluna, F converte) const -> decltype(converte(ado::Value()))
    {
        const ado::Value v = Valor(Coluna);
        try {
            return converte(v);
        } catch (const ado::Error&) {
            throw ErroCatalogo("Tabela " + tabela_ + ": o valor \"" + v.TextOr() + "\" do campo " + Coluna +
                               " não serve.");
        }
    }

    ado::Recordset& rs_;
    std::string tabela_;
};

ado::Recordset Abre(const std::string& Sql, const ado::Connection& Cn, const std::string& Tabela)
{
    ado::Recordset rs;
    try {
        rs.Open(Sql, Cn, ado::adOpenStatic, ado::adLockReadOnly);
    } catch (const ado::Error& e) {
        throw ErroCatalogo("Tabela " + Tabela + ": " + e.Description());
    }
    return rs;
}

void LeTiposPV(const ado::Connection& Cn, Catalogo& C)
{
    ado::Recordset rs = Abre("select * from E_PVBlocks order by Inserir,DiamNominal", Cn, "E_PVBlocks");
    try {
        rs.SetFilter("[Inserir] = True");
    } catch (const ado::Error& e) {
        throw ErroCatalogo("Tabela E_PVBlocks: " + e.Description());
    }
    const Linha l(rs, "E_PVBlocks");
    for (; !rs.Eof(); rs.MoveNext())
        C.PVBlocos.push_back({l.Texto("Abrev"), l.Texto("Descricao"), l.Texto("Bloco"), l.Numero("DwgDiam"),
                              l.Numero("Chamine") / 1000, l.Numero("AlturaMax") / 1000, l.Inteiro("DiamSaida"),
                              l.Inteiro("NumEntradas"), l.Texto("DiamNominal")});
    rs.Close();
}

// The code goes into the diameters' query as a whole number.
std::string CodigoInteiro(const MaterialRec& M)
{
    const double v = std::nearbyint(ado::ParseNumber(M.CodMaterial).value_or(NAN));
    if (!std::isfinite(v) || std::fabs(v) > 2147483647.0)
        throw ErroCatalogo("Tabela E_Materiais: o código \"" + M.CodMaterial + "\" do material " + M.Material +
                           " não é um número inteiro.");
    return std::to_string(static_cast<long long>(v));
}

void LeMateriais(const ado::Connection& Cn, Catalogo& C)
{
    ado::Recordset rs = Abre(
        "select Material,CodMaterial,Abrev from E_Materiais group by Material,CodMaterial,Abrev "
        "order by material",
        Cn, "E_Materiais");
    const Linha l(rs, "E_Materiais");
    for (; !rs.Eof(); rs.MoveNext()) {
        MaterialRec m;
        m.Material = l.Texto("Material");
        m.CodMaterial = l.Texto("CodMaterial");
        m.Abrev = l.Texto("Abrev");
        C.Materiais.push_back(std::move(m));
    }
    rs.Close();

    for (MaterialRec& m : C.Materiais) {
        ado::Recordset d = Abre(std::string("SELECT E_Materiais.CodMaterial, E_Materiais.Diametro, "
                                            "E_Materiais.DegrauAte, E_CodDiam.Index") +
                                    " FROM E_Materiais INNER JOIN E_CodDiam ON E_Materiais.Diametro = "
                                    "E_CodDiam.Diametro" +
                                    " WHERE E_Materiais.CodMaterial = " + CodigoInteiro(m) +
                                    " ORDER BY E_Materiais.CodMaterial, E_CodDiam.Index;",
                                Cn, "E_Materiais/E_CodDiam");
        const Linha ld(d, "E_Materiais");
        m.ListaDegraus = "_";
        for (; !d.Eof(); d.MoveNext()) {
            const std::string diametro = ld.Texto("Diametro");
            const ado::Value degrau = ld.Valor("DegrauAte");
            m.ListaDegraus += diametro + "_" + "|" + degrau.ToText() + "|_";
            m.Diametros.push_back({diametro, ld.Numero("DegrauAte")});
        }
        d.Close();
    }
}

void LeCores(const ado::Connection& Cn, Catalogo& C)
{
    ado::Recordset rs = Abre("select Diametro,Cor from E_TRLayerColor order by Diametro", Cn, "E_TRLayerColor");
    const Linha l(rs, "E_TRLayerColor");
    for (; !rs.Eof(); rs.MoveNext()) C.CoresTR.push_back({l.Inteiro("Diametro"), l.Inteiro("Cor")});
    rs.Close();
}

void LeEtapas(const ado::Connection& Cn, Catalogo& C)
{
    ado::Recordset rs =
        Abre("select Descricao,Etapa,Sufixo,LineType from E_TRLayerParam order by Etapa", Cn, "E_TRLayerParam");
    const Linha l(rs, "E_TRLayerParam");
    for (; !rs.Eof(); rs.MoveNext())
        C.Etapas.push_back({l.Inteiro("Etapa"), l.TextoOuVazio("Sufixo"), l.Texto("Linetype"), l.Texto("Descricao")});
    rs.Close();
}

void LePavimentos(const ado::Connection& Cn, Catalogo& C)
{
    ado::Recordset rs = Abre("select * from E_Pavimentos", Cn, "E_Pavimentos");
    const Linha l(rs, "E_Pavimentos");
    for (; !rs.Eof(); rs.MoveNext()) C.Pavimentos.push_back({l.Texto("Nome")});
    rs.Close();
}

void LeBlocos(const ado::Connection& Cn, Catalogo& C)
{
    ado::Recordset rs = Abre("SELECT * FROM E_DXFs ORDER BY Bloco,S1,S4", Cn, "E_DXFs");
    try {
        C.BlocosSAN = LeBlocosDXF(rs, "E_DXFs");
    } catch (const ado::Error& e) {
        throw ErroCatalogo("Tabela E_DXFs: " + e.Description());
    }
    rs.Close();
}

}  // namespace

bool clsSANDb::LoadDb()
{
    Catalogo c;
    const std::string erro = LeCatalogo([&](const ado::Connection& cn) {
        LeTiposPV(cn, c);
        LeMateriais(cn, c);
        LeCores(cn, c);
        LeEtapas(cn, c);
        LePavimentos(cn, c);
        LeBlocos(cn, c);
    });

    if (!erro.empty()) {
        ExibeMensagem(0, "Atenção",
                      "Não foi possível carregar o catálogo de esgoto de " + gMdbPath + ":\r" + erro +
                          "\r\rO catálogo não foi carregado.");
        return false;
    }
    gPVBlocos = std::move(c.PVBlocos);
    gMateriais = std::move(c.Materiais);
    gCoresTR = std::move(c.CoresTR);
    gEtapas = std::move(c.Etapas);
    gPavimentos = std::move(c.Pavimentos);
    gBlocosSAN = std::move(c.BlocosSAN);
    return true;
}

int EtapaDoItem(int ListIndex)
{
    if (ListIndex < 0 || ListIndex >= static_cast<int>(gEtapas.size())) return -1;
    return gEtapas[static_cast<std::size_t>(ListIndex)].Etapa;
}
