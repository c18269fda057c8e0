#include "sewer/modRedeSAN.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <unordered_map>

#include "cad/modAcad.h"
#include "cad/modGeometria.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/TextEntities.h"
#include "sewer/clsSANDb.h"
#include "shell/modPainel.h"
#include "platform/ProcessState.h"

std::vector<PVRec> gPVs;
int gNumPVs = 0;
std::vector<TRRec> gTRs;
int gNumTRs = 0;
std::vector<std::int32_t> gListPLs;

namespace {
const platform::ProcessStateReset kResetRedeSAN([] {
    gPVs.clear();
    gNumPVs = 0;
    gTRs.clear();
    gNumTRs = 0;
    gListPLs.clear();
});
}  // namespace

namespace {

// What a reader found wrong, one line per attribute, naming the block.
class Queixas {
public:
    explicit Queixas(const acad::BlockReference& B) : bloco_(B.Name() + " (" + B.Handle() + ")") {}
    void Numero(const std::string& Tag, const std::string& Texto) { Linha(Tag, Texto, "não é um número"); }
    void Linha(const std::string& Tag, const std::string& Texto, const std::string& Motivo)
    {
        if (!texto_.empty()) texto_ += "\r";
        texto_ += bloco_ + ": o atributo " + Tag + " (\"" + Texto + "\") " + Motivo + ".";
    }
    std::string Texto() const { return texto_; }

private:
    std::string bloco_;
    std::string texto_;
};

// A number attribute into `Valor`, left as it was when the text is not a number.
void LeNumero(const std::string& Tag, const std::string& Texto, double& Valor, Queixas& Q)
{
    if (IsNumero(Texto))
        Valor = StrToDbl(Texto);
    else
        Q.Numero(Tag, Texto);
}

// The point a reach's point attribute holds, and the attribute put back on it,
// tiny, on "FLUXO" and visible. None, the attribute untouched, when the text is
// not a coordinate pair.
std::optional<Ponto> LePontoDoTrecho(acad::AttributeReference* A, Queixas& Q)
{
    const std::optional<Ponto> p = SplitCoords(A->TextString());
    if (!p) {
        Q.Linha(A->TagString(), A->TextString(), "não contém coordenadas \"x,y\"");
        return std::nullopt;
    }
    A->SetInsertionPoint(*p);
    A->SetHeight(0.0001);
    // The layer comes back when a purge took it.
    gAcadDoc->Layers().Add("FLUXO");
    A->SetLayer("FLUXO");
    A->SetVisible(true);
    A->Update();
    return p;
}

// The PV records by name and by ObjectID, beside the table, which keeps the
// order of addition. Records are taken in as they appear at the end of the
// table; a shorter table (emptied) starts it anew, and a record found under a
// key it no longer holds is passed over.
class IndicePVs {
public:
    // Indexes of the records that may match, in table order.
    const std::vector<int>& PorNome(const std::string& Nome) { return Busca(porNome_, Nome); }
    const std::vector<int>& PorObjeto(std::int32_t ObjectID) { return Busca(porObjeto_, ObjectID); }

private:
    template <class Mapa, class Chave>
    const std::vector<int>& Busca(Mapa& M, const Chave& K)
    {
        Acompanha();
        static const std::vector<int> nenhum;
        const auto it = M.find(K);
        return it == M.end() ? nenhum : it->second;
    }
    void Acompanha()
    {
        const int n = std::min(gNumPVs, static_cast<int>(gPVs.size()));
        if (n < contados_) {
            porNome_.clear();
            porObjeto_.clear();
            contados_ = 0;
        }
        for (; contados_ < n; ++contados_) {
            const PVRec& r = gPVs[static_cast<std::size_t>(contados_)];
            porNome_[r.Nome].push_back(contados_);
            porObjeto_[r.ObjectID].push_back(contados_);
        }
    }

    std::unordered_map<std::string, std::vector<int>> porNome_;
    std::unordered_map<std::int32_t, std::vector<int>> porObjeto_;
    int contados_ = 0;
};

IndicePVs indicePVs;

acad::BlockReference& Referencia(acad::Entity* Bloco)
{
    auto* ref = acad::As<acad::BlockReference>(Bloco);
    if (!ref) throw std::invalid_argument("o objeto lido não é um bloco");
    return *ref;
}

}  // namespace

int AddPV(const std::string& Nome, double X, double Y, const std::string& CT, const std::string& CC,
          const std::string& PRF, int Etapa, int NumSaidas, int /*NumEntradas*/, const std::string& Diam, double XJ,
          double YJ, std::int32_t ObjectID, const std::string& Handle, int Coletor)
{
    int resultado = -1;
    // Only the records: the blank one an emptied table keeps is not a PV.
    for (int i : Handle.empty() ? indicePVs.PorNome(Nome) : indicePVs.PorObjeto(ObjectID)) {
        PVRec& r = gPVs[static_cast<std::size_t>(i)];
        if (Handle.empty() ? r.Nome != Nome : r.ObjectID != ObjectID) continue;
        r.NumRepeticoes += 1;
        r.NumSaidas += NumSaidas;
        if (IsNumero(Diam) && StrToDbl(Diam) > r.DiamMax) r.DiamMax = static_cast<int>(std::nearbyint(StrToDbl(Diam)));
        resultado = i;
    }
    if (resultado >= 0) return resultado;

    gPVs.resize(static_cast<std::size_t>(gNumPVs) + 1);
    PVRec& r = gPVs[static_cast<std::size_t>(gNumPVs)];
    r = PVRec{};
    r.Nome = Nome;
    r.Coletor = Coletor;
    r.X = X;
    r.Y = Y;
    r.CT = CT;
    r.CC = CC;
    r.PRF = PRF;
    r.Etapa = std::to_string(Etapa);
    r.NumSaidas = NumSaidas;
    r.XJ = XJ;
    r.YJ = YJ;
    r.ObjectID = ObjectID;
    r.Handle = Handle;
    return gNumPVs++;
}

void AddTR(const std::string& Trecho, const std::string& Diam, const std::string& Comp, const std::string& Decl,
           const std::string& Material, const std::string& Etapa, std::int32_t ObjPV1, std::int32_t ObjPV2,
           std::int32_t ObjTR, const std::string& Aux1, const std::string& Aux2, int IndPV1, int IndPV2,
           const std::string& Pavimento, const std::string& Contrib)
{
    gTRs.resize(static_cast<std::size_t>(gNumTRs) + 1);
    gTRs[static_cast<std::size_t>(gNumTRs)] =
        TRRec{Trecho, Diam,  Comp,   Decl,   Material, Pavimento, Etapa, Contrib, ObjPV1,
              ObjPV2, ObjTR, IndPV1, IndPV2, Aux1,     Aux2,      "-0-", "-0-"};
    ++gNumTRs;
}

std::int32_t GetPVKey(const std::string& Nome)
{
    for (int i : indicePVs.PorNome(Nome))
        if (const PVRec& r = gPVs[static_cast<std::size_t>(i)]; r.Nome == Nome) return r.ObjectID;
    return 0;
}

std::string ChoosePVBlock(int NumEntradas, const std::string& Profundidade, int DiamSaida)
{
    if (gPVBlocos.empty()) return "";
    std::string bloco = gPVBlocos.back().Bloco;
    if (!IsNumero(Profundidade)) return bloco;
    const double prof = StrToDbl(Profundidade);
    // The last three types are kept for the cases the rules do not cover: the
    // walk starts before them and the last one is the fallback.
    for (int i = static_cast<int>(gPVBlocos.size()) - 4; i >= 0; --i) {
        const PVBlockRec& t = gPVBlocos[static_cast<std::size_t>(i)];
        if (prof <= t.AlturaMax && DiamSaida <= t.DiamSaida && NumEntradas < t.NumEntradas) bloco = t.Bloco;
    }
    return bloco;
}

std::string GetPVBlockDesc(const std::string& Bloco)
{
    for (const PVBlockRec& t : gPVBlocos)
        if (t.Bloco == Bloco) return t.DiamNominal;
    return "";
}

std::string ReadPVAttribs(acad::Entity* Bloco, std::string& Numero, double& CT, double& CS, double& CP, std::string& ET)
{
    acad::BlockReference& ref = Referencia(Bloco);
    Queixas q(ref);
    for (acad::AttributeReference* a : ref.GetAttributes()) {
        const std::string tag = a->TagString();
        const std::string texto = a->TextString();
        if (tag == "NUMERO")
            Numero = texto;
        else if (tag == "CT")
            LeNumero(tag, texto, CT, q);
        else if (tag == "CS")
            LeNumero(tag, texto, CS, q);
        else if (tag == "CP")
            LeNumero(tag, texto, CP, q);
        else if (tag == "ET")
            ET = AparaEspacos(texto);
    }
    return q.Texto();
}

std::string ReadTRAttribs(acad::Entity* Bloco, std::string& Trecho, std::string& Material, std::string& Diametro,
                          double& Comp, double& Decl, std::string& Pavimento, std::string& CodigoQueda, double& TCS,
                          double& TCP, std::optional<Ponto>& PV1, std::optional<Ponto>& PV2, std::string& Etapa)
{
    acad::BlockReference& ref = Referencia(Bloco);
    Queixas q(ref);
    bool tuboQueda = false, degrau = false;
    for (acad::AttributeReference* a : ref.GetAttributes()) {
        const std::string tag = a->TagString();
        const std::string texto = a->TextString();
        if (tag == "DD") {
            // Diameter "-" length.
            const std::size_t traco = texto.find('-');
            if (traco == std::string::npos) {
                q.Linha(tag, texto, "não separa diâmetro e comprimento com \"-\"");
            } else {
                Diametro = texto.substr(0, traco);
                LeNumero(tag, texto.substr(traco + 1), Comp, q);
            }
        } else if (tag == "DEC") {
            LeNumero(tag, texto, Decl, q);
        } else if (tag == "MAT") {
            Material = texto;
        } else if (tag == "ET") {
            Etapa = texto;
        } else if (tag == "PV1") {
            PV1 = LePontoDoTrecho(a, q);
        } else if (tag == "PV2") {
            PV2 = LePontoDoTrecho(a, q);
        } else if (tag == "TRECHO") {
            Trecho = texto;
        } else if (tag == "PAVMTO") {
            Pavimento = texto;
        } else if (tag == "TCP") {
            LeNumero(tag, texto, TCP, q);
        } else if (tag == "TCS") {
            LeNumero(tag, texto, TCS, q);
        } else if (tag == "TQ") {
            tuboQueda = texto == "O";
        } else if (tag == "DG") {
            degrau = texto == "O";
        }
    }
    CodigoQueda = tuboQueda ? "T" : degrau ? "D" : "";
    return q.Texto();
}

std::string ReadTRBlockAttribs(acad::Entity* Bloco, std::string& Trecho, std::string& Comp, std::string& Contrib,
                               std::string& Etapa, std::string& Pavimento, std::string& Material, std::string& PV1,
                               std::string& PV2, std::optional<Ponto>& IPV1, std::optional<Ponto>& IPV2)
{
    acad::BlockReference& ref = Referencia(Bloco);
    Queixas q(ref);
    for (acad::AttributeReference* a : ref.GetAttributes()) {
        const std::string tag = a->TagString();
        const std::string texto = a->TextString();
        if (tag == "TRECHO")
            Trecho = texto;
        else if (tag == "COMP")
            Comp = texto;
        else if (tag == "CONTRIB")
            Contrib = texto;
        else if (tag == "ET")
            Etapa = texto;
        else if (tag == "PAVMTO")
            Pavimento = texto;
        else if (tag == "MATERIAL")
            Material = texto;
        else if (tag == "PV1")
            PV1 = texto;
        else if (tag == "PV2")
            PV2 = texto;
        else if (tag == "IPV1")
            IPV1 = LePontoDoTrecho(a, q);
        else if (tag == "IPV2")
            IPV2 = LePontoDoTrecho(a, q);
    }
    return q.Texto();
}
