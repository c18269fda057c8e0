#include "water/clsWATQtt.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <tuple>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/Error.h"
#include "platform/acad/SelectionSet.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Application.h"
#include "shell/ProgressBar.h"
#include "shell/frmCancelar.h"
#include "shell/modGlobais.h"
#include "shell/modJanela.h"
#include "shell/modMensagem.h"
#include "water/WATDes.h"
#include "water/clsWATDb.h"

namespace {

const std::string kAnel = "~~~~";

const ConexaoRec* ConexaoPorCodigo(const std::string& Codigo)
{
    for (const ConexaoRec& c : gConexoes)
        if (c.Codigo == Codigo) return &c;
    return nullptr;
}

std::string SemExclamacao(std::string Texto)
{
    Texto.erase(std::remove(Texto.begin(), Texto.end(), '!'), Texto.end());
    return Texto;
}

// A stage written as a number; anything else is the existing network.
int LeEtapa(const std::optional<std::string>& Texto)
{
    if (!Texto || !IsNumero(*Texto)) return 0;
    return static_cast<int>(StrToDbl(*Texto));
}

template <class Item>
bool MesmaLinha(const Item& a, const std::string& Codigo, int Etapa, const std::string& Diametro)
{
    return a.Codigo == Codigo && a.Etapa == Etapa && a.Diametro == Diametro;
}

}  // namespace

std::string PreencheDiametro(const std::string& Diametro)
{
    if (Diametro.size() >= 5) return Diametro;
    return std::string(5 - Diametro.size(), '!') + Diametro;
}

clsWATQtt::clsWATQtt() = default;

clsWATQtt::~clsWATQtt()
{
    if (!cancelar_) return;
    try {
        gMsgLeft = static_cast<int>(std::lround(cancelar_->Left()));
        gMsgTop = static_cast<int>(std::lround(cancelar_->Top()));
        forms::Unload(*cancelar_);
    } catch (...) {
    }
}

bool clsWATQtt::Parou()
{
    forms::DoEvents();
    return cancelar_ && cancelar_->Cancel;
}

void clsWATQtt::Passo()
{
    if (Progresso) Progresso->Progress();
}

void clsWATQtt::INS_Capture(bool& Cancelado, bool SomenteTubos)
{
    Cancelado = false;
    if (!ConectaAcad()) {
        Cancelado = true;
        return;
    }
    // No point, no place for the table: the take-off ends without a word.
    const std::optional<Ponto> p = GetPonto(std::nullopt, "Ponto de inserção: ");
    if (!p) {
        Cancelado = true;
        return;
    }
    ponto_ = *p;
    conexoes_.clear();
    total_ = 0.0;

    acad::SelectionSet* ss = RecriaConjunto("SS1");
    AtivaJanelaAcad();
    try {
        ss->SelectOnScreen({2}, {acad::Variant("A-*")});
    } catch (const acad::Error& e) {
        // A selection given up is a selection of nothing.
        if (e.Code() != acad::ErrorCode::Cancelled) throw;
        ss = RecriaConjunto("SS1");
    }

    cancelar_ = std::make_unique<frmCancelar>();
    cancelar_->Cancel = false;
    PosicionaDialogo(*cancelar_, gMsgLeft, gMsgTop);
    cancelar_->SetMensagem("Levantando Quantitativos...");
    cancelar_->Show(forms::vbModeless, gMainForm);
    // The window goes and the bar clears however the take-off ends.
    struct Fim {
        clsWATQtt& q;
        ~Fim()
        {
            try {
                if (q.Progresso) q.Progresso->Progress_Start(0, "");
                if (q.cancelar_) {
                    gMsgLeft = static_cast<int>(std::lround(q.cancelar_->Left()));
                    gMsgTop = static_cast<int>(std::lround(q.cancelar_->Top()));
                    forms::Unload(*q.cancelar_);
                    q.cancelar_.reset();
                }
            } catch (...) {
            }
        }
    } fim{*this};

    LerTubos(*ss, Cancelado);
    if (!Cancelado && !SomenteTubos) LerConexoes(*ss, Cancelado, false);
    if (!Cancelado) DrawQuantitativos(SomenteTubos, Cancelado);
}

void clsWATQtt::AddTubo(const std::string& Codigo, const std::string& Material, const std::string& Diametro,
                        double Comprimento, int Etapa)
{
    bool achou = false;
    for (ItemTubo& t : tubos_)
        if (MesmaLinha(t, Codigo, Etapa, Diametro)) {
            t.Quantidade += Comprimento;
            achou = true;
        }
    if (!achou) tubos_.push_back({Etapa, Material, Codigo, "", Diametro, Comprimento});
}

void clsWATQtt::AddConexao(const std::string& Codigo, const std::string& Material, const std::string& Diametro,
                           int Etapa, long long Quantidade)
{
    bool achou = false;
    for (ItemConexao& c : conexoes_)
        if (MesmaLinha(c, Codigo, Etapa, Diametro)) {
            c.Quantidade += Quantidade;
            achou = true;
        }
    if (!achou) conexoes_.push_back({Etapa, Material, Codigo, "", Diametro, Quantidade});
}

template <class Item>
void clsWATQtt::DescreveEOrdena(std::vector<Item>& Lista, bool& Cancelado)
{
    for (Item& i : Lista) {
        if (const ConexaoRec* c = ConexaoPorCodigo(i.Codigo)) i.Descricao = c->Conexao + " DN " + i.Diametro;
        Passo();
    }
    if (Parou()) {
        Cancelado = true;
        return;
    }
    // Stage, then material, then description, by character codes; equal rows
    // keep their order.
    std::stable_sort(Lista.begin(), Lista.end(), [](const Item& a, const Item& b) {
        return std::tie(a.Etapa, a.Material, a.Descricao) < std::tie(b.Etapa, b.Material, b.Descricao);
    });
}

void clsWATQtt::LerTubos(acad::SelectionSet& ss, bool& Cancelado)
{
    std::vector<acad::BlockReference*> rotulos;
    for (acad::Entity* e : ss)
        if (auto* b = dynamic_cast<acad::BlockReference*>(e); b && b->Name() == "A-TUBO") rotulos.push_back(b);
    if (rotulos.empty()) {
        ExibeMensagem(0, "Quantitativos", "Nenhuma tubulação encontrada.\r\n\r\nOperação cancelada.");
        Cancelado = true;
        return;
    }
    tubos_.clear();
    if (Progresso) Progresso->Progress_Start(ss.Count(), "Lendo Tubos...");
    for (acad::BlockReference* b : rotulos) {
        if (Parou()) {
            Cancelado = true;
            return;
        }
        std::optional<std::string> codigo = GetAtributo("CODIGO", b);
        if (!codigo) codigo = GetAtributo("TUBO", b);
        const std::string c = codigo.value_or("");
        const std::size_t traco = c.find('-');
        const std::string antes = c.substr(0, traco);
        double comprimento = 0.0;
        if (traco != std::string::npos) {
            std::string resto = c.substr(traco + 1);
            resto.erase(std::remove(resto.begin(), resto.end(), 'm'), resto.end());
            if (IsNumero(resto)) comprimento = StrToDbl(resto);
        }
        const std::size_t dn = antes.find("DN");
        const std::string tipo = antes.substr(0, dn);
        const std::string diametro = dn == std::string::npos ? "" : antes.substr(dn + 2);
        AddTubo(tipo, GetAtributo("MATERIAL", b).value_or(""), PreencheDiametro(diametro), comprimento,
                LeEtapa(GetAtributo("ETAPA", b)));
        Passo();
    }

    if (Progresso) Progresso->Progress_Start(5 * static_cast<long long>(tubos_.size()), "");
    for (const ItemTubo& t : std::vector<ItemTubo>(tubos_)) {
        const ConexaoRec* c = ConexaoPorCodigo(t.Codigo);
        // One ring per whole 6 m; a pipe shorter than that joins without one.
        const auto aneis = static_cast<long long>(std::trunc(t.Quantidade / 6.0));
        if (c && c->TemBolsas && !c->Bolsas.empty() && aneis > 0)
            AddConexao(c->Bolsas.front().Anel, kAnel, t.Diametro, t.Etapa, aneis);
        Passo();
    }
    for (const ItemTubo& t : tubos_) total_ += t.Quantidade;
    DescreveEOrdena(tubos_, Cancelado);
}

void clsWATQtt::LerConexoes(acad::SelectionSet& ss, bool& Cancelado, bool Ignorar)
{
    std::vector<acad::BlockReference*> blocos;
    for (acad::Entity* e : ss)
        if (auto* b = dynamic_cast<acad::BlockReference*>(e); b && b->Name() != "A-TUBO") blocos.push_back(b);
    if (Progresso) Progresso->Progress_Start(ss.Count(), "Lendo Conexões...");
    for (acad::BlockReference* b : blocos) {
        if (Parou()) {
            Cancelado = true;
            return;
        }
        Passo();
        if (Ignorar) continue;
        const std::string material = GetAtributo("MATERIAL", b).value_or("");
        const int etapa = LeEtapa(GetAtributo("ETAPA", b));
        for (acad::AttributeReference* a : b->GetAttributes()) {
            if (a->TagString().compare(0, 5, "CODIG") != 0) continue;
            const std::string texto = a->TextString();
            // The extra codes a fitting does not use stay empty: no item.
            if (texto.empty()) continue;
            const std::size_t dn = texto.find("DN");
            const std::string codigo = texto.substr(0, dn);
            const std::string resto = dn == std::string::npos ? "" : texto.substr(dn + 2);
            std::string d1, d2, diametro;
            if (const std::size_t x = resto.find('x'); x != std::string::npos) {
                d1 = PreencheDiametro(resto.substr(0, x));
                d2 = PreencheDiametro(resto.substr(x + 1));
                diametro = d1 + "x" + d2;
            } else {
                d1 = d2 = diametro = PreencheDiametro(resto);
            }
            if (codigo == "PDR") continue;
            AddConexao(codigo, material, diametro, etapa, 1);
            if (const ConexaoRec* c = ConexaoPorCodigo(codigo); c && c->TemBolsas)
                for (const BolsaRec& bolsa : c->Bolsas)
                    AddConexao(bolsa.Anel, kAnel, bolsa.Principal ? d1 : d2, etapa, 1);
        }
    }
    if (Progresso) Progresso->Progress_Start(static_cast<long long>(conexoes_.size()), "");
    DescreveEOrdena(conexoes_, Cancelado);
}

void clsWATQtt::DrawQuantitativos(bool SomenteTubos, bool& Cancelado)
{
    for (const char* b : {"RQ-A", "RQ-E", "RQ-I", "RQ-T"})
        if (!CriaBlocoConexao(b, false)) {
            Cancelado = true;
            return;
        }
    bool presente[4] = {false, false, false, false};
    for (const ItemTubo& t : tubos_)
        if (t.Etapa >= 0 && t.Etapa <= 3) presente[t.Etapa] = true;
    for (const ItemConexao& c : conexoes_)
        if (c.Etapa >= 0 && c.Etapa <= 3) presente[c.Etapa] = true;

    const auto insere = [this](const char* Bloco) {
        return gModelSpace->InsertBlock(ponto_, Bloco, 1.0, 1.0, 1.0, 0.0);
    };
    insere("RQ-A");
    if (Progresso) Progresso->Progress_Start(static_cast<long long>(tubos_.size() + conexoes_.size()), "");
    long long numero = 1;
    const auto linha = [&](const std::string& Codigo, const std::string& Diametro, const std::string& Descricao,
                           const std::string& Quantidade, const char* Unidade) {
        ponto_.Y -= 3.0;
        acad::BlockReference* r = insere("RQ-I");
        SetAtributo("N", std::to_string(numero), r);
        SetAtributo("COD", Codigo + "DN" + SemExclamacao(Diametro), r);
        SetAtributo("ESP", SemExclamacao(Descricao), r);
        SetAtributo("QTT", Quantidade, r);
        SetAtributo("UN", Unidade, r);
        ++numero;
        Passo();
    };
    for (int etapa = 0; etapa <= 3; ++etapa) {
        if (!presente[etapa]) continue;
        ponto_.Y -= 5.0;
        acad::BlockReference* e = insere("RQ-E");
        const std::vector<acad::AttributeReference*> atts = e->GetAttributes();
        if (!atts.empty() && static_cast<std::size_t>(etapa) < gEtapasAgua.size()) {
            atts.front()->SetTextString(gEtapasAgua[static_cast<std::size_t>(etapa)].Nome);
            atts.front()->Update();
        }
        for (const ItemTubo& t : tubos_) {
            if (t.Etapa != etapa) continue;
            if (Parou()) {
                Cancelado = true;
                return;
            }
            linha(t.Codigo, t.Diametro, t.Descricao, FormatNum(t.Quantidade, 0), "m");
        }
        if (SomenteTubos) continue;
        for (const ItemConexao& c : conexoes_) {
            if (c.Etapa != etapa) continue;
            if (Parou()) {
                Cancelado = true;
                return;
            }
            linha(c.Codigo, c.Diametro, c.Descricao, FormatNum(static_cast<double>(c.Quantidade), 0), "unid.");
        }
    }
    acad::BlockReference* t = insere("RQ-T");
    const std::vector<acad::AttributeReference*> atts = t->GetAttributes();
    if (!atts.empty()) {
        atts.front()->SetTextString(FormatNum(total_, 0));
        atts.front()->Update();
    }
    if (Progresso) Progresso->Progress_Start(0, "");
}
