#include "sewer/clsSANVerifGen.h"

#include <memory>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "platform/acad/Error.h"
#include "platform/acad/SelectionSet.h"
#include "sewer/clsSANDb.h"
#include "sewer/modRedeSAN.h"
#include "sewer/modTextosSAN.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"
#include "shell/modPainel.h"

clsSANVerifGen::clsSANVerifGen()
    : VerificacaoSAN({"VERIFICAR PVs Gen.", {"PV: Nomes duplicados", "PV: Cotas", "PV: Etapas"}},
                     {"VERIFICAR TRs Gen.",
                      {"TR: Nomes duplicados", "TR: Ver Coordenadas", "TR: Dados dos PVs", "TR: Contibuição",
                       "TR: Materiais", "TR: Comprimentos", "TR: Pavimentos", "TR: Etapas"}})
{
}

void clsSANVerifGen::Falha(int Tipo, std::int32_t Id, const std::string& Mensagem, const Ponto& P,
                           const std::string& TextoMarca, double Escala, int Cor)
{
    Marca(true, P, Escala, TextoMarca, Cor);
    ++falhas_;
    ConfereGenErroMsg.Raise(Tipo, Id, SemObjeto, SemObjeto, Mensagem, P, std::nullopt);
}

// ---------------------------------------------------------------- manholes

long clsSANVerifGen::Conf_PVs(bool& Cancelado)
{
    Cancelado = false;
    const std::string S = TextoEtapas();
    if (!ConectaAcad() || !PreparaMarcas()) return 0;
    bool nenhum = false;
    {
        PasseDeBlocos passe("Verificando PVs...", "E-PVGEN", "Verif. PVs...", true, cProgress, msgLeft_, msgTop_);
        nenhum = passe.Blocos().Count() == 0;
        NomesLidos nomes;
        Cancelado = !passe.ParaCada([&](acad::BlockReference& pv) {
            RegistroNome atual{false, GetAtributo("NUMERO", &pv).value_or(""), pv.ObjectID(), pv.InsertionPoint()};
            const std::string et = GetAtributo("ET", &pv).value_or("");
            const std::string ct = AparaEspacos(GetAtributo("CT", &pv).value_or(""));
            if (Escolhida(PVNomes) && atual.Nome.empty()) {
                Falha(17, atual.Id, "PV sem nome", atual.P, "PV sem nome", 3, 1);
                atual.Nome = "SEMNOME";
            }
            if (Escolhida(PVCotas) && (ct.empty() || !IsNumero(ct)))
                Falha(18, atual.Id, "Erro em Cota", atual.P, "Erro em Cota", 4, 4);
            if (Escolhida(PVEtapas) && S.find("_" + et + "_") == std::string::npos) {
                const std::string texto = "Erro em Etapa (" + et + ")";
                Falha(3, atual.Id, texto, atual.P, texto, 5, 5);
            }
            if (Escolhida(PVNomes)) {
                long novas = 0;
                const auto duplicado = [this](const RegistroNome& r) {
                    Falha(1, r.Id, "Número Duplicado", r.P, "Numero duplicado", 3, 4);
                };
                if (ConfereDuplicados(nomes, atual, duplicado, novas)) ++repetidosPV_;
            }
            nomes.Guarda(atual);
        });
    }
    if (nenhum) {
        ExibeMensagem(0, "Conferindo desenho", "Nenhum bloco genérico localizado.");
        Cancelado = true;
    }
    return falhas_;
}

// ---------------------------------------------------------------- reaches

long clsSANVerifGen::Conf_TRs()
{
    const std::string S = TextoEtapas();
    if (!ConectaAcad() || !PreparaMarcas()) return 0;
    PasseDeBlocos passe("Verificando Trechos...", "E-TRCGEN", "Verif. Trechos...", true, cProgress, msgLeft_, msgTop_);
    NomesLidos nomes;
    passe.ParaCada([&](acad::BlockReference& bloco) {
        acad::BlockReference* tr = &bloco;
        const std::int32_t id = tr->ObjectID();
        const Ponto P = tr->InsertionPoint();
        std::string trecho, comp, contrib, etapa, pavimento, material, pv1, pv2;
        std::optional<Ponto> ipv1, ipv2;
        ReadTRBlockAttribs(tr, trecho, comp, contrib, etapa, pavimento, material, pv1, pv2, ipv1, ipv2);

        bool falhaPonta = false;
        acad::BlockReference* pvA = nullptr;
        acad::BlockReference* pvB = nullptr;
        if (Escolhida(TRCoordenadas)) {
            if (!ipv1 || !ipv2) {
                Falha(19, id, "Falta coordenadas", P, "Falta coordenadas", 4, 1);
                falhaPonta = true;
            } else {
                const auto procura = [&](const Ponto& Ponta, int Tipo, const std::string& Texto) {
                    acad::BlockReference* pv = PVNoPonto(Ponta, "E-PVGEN");
                    if (pv) return pv;
                    // At the reach, then at the end, then raised and joined.
                    Marca(true, P, 2, Texto, 1);
                    Marca(true, Ponta, 3, Texto, 1);
                    ++falhas_;
                    ConfereGenErroMsg.Raise(Tipo, id, SemObjeto, SemObjeto, Texto, P, std::nullopt);
                    LinhaConferencia(P, Ponta, 1);
                    falhaPonta = true;
                    return pv;
                };
                pvA = procura(*ipv1, 4, "PVM não localizado");
                pvB = procura(*ipv2, 5, "PVJ não localizado");
            }
        } else if (Escolhida(TRDadosPVs)) {
            // The names are compared with manholes that are there, never with
            // ones that were not looked for.
            if (ipv1) pvA = PVNoPonto(*ipv1, "E-PVGEN");
            if (ipv2) pvB = PVNoPonto(*ipv2, "E-PVGEN");
        }
        if (!falhaPonta) {
            if (Escolhida(TRComprimentos) && ipv1 && ipv2) {
                const std::string desenhado = FormatNum(Distancia(*ipv1, *ipv2), gPRECDIST);
                if (!IsNumero(comp) || Excede(StrToDbl(desenhado) - StrToDbl(comp), gTolVerifComp))
                    Falha(11, id, "Comp=" + desenhado + "(" + comp + ")", P,
                          "Comprimento = " + desenhado + " e não " + comp, 3, 2);
            }
            if (Escolhida(TRDadosPVs)) {
                const auto confere = [&](acad::BlockReference* pv, const std::string& Nome, const std::string& Qual) {
                    if (!pv) return;
                    const std::string n = GetAtributo("NUMERO", pv).value_or("");
                    if (Nome != n)
                        Falha(20, id, "Nome do " + Qual + ":" + n, P,
                              "Nome do " + Qual + " não coincide. Espera-se " + n, 2, 3);
                };
                confere(pvA, pv1, "PVM");
                confere(pvB, pv2, "PVJ");
            }
        }
        RegistroNome atual{false, trecho, id, P};
        if (Escolhida(TRNomes)) {
            long novas = 0;
            const auto duplicado = [this](const RegistroNome& r) {
                Falha(12, r.Id, "Nome duplicado", r.P, "Nome duplicado", 2, 4);
            };
            if (ConfereDuplicados(nomes, atual, duplicado, novas)) ++repetidosTR_;
        }
        if (Escolhida(TREtapas) && S.find("_" + etapa + "_") == std::string::npos)
            Falha(13, id, "Etapa:(" + etapa + ")", P, "Erro em Etapa", 5, 5);
        if (Escolhida(TRContribuicao)) {
            // The panel's "NÃO" option writes the word with its accent.
            const std::string c = AparaEspacos(contrib);
            if (c != "SIM" && c != "NAO" && c != "NÃO" && c != "UNI")
                Falha(21, id, "Contribuição:(" + contrib + ")", P, "Erro em Contribuição", 3, 5);
        }
        if (Escolhida(TRMateriais)) {
            bool cadastrado = false;
            for (const MaterialRec& m : gMateriais) cadastrado = cadastrado || m.Material == material;
            if (!cadastrado)
                Falha(9, id, "Material:(" + material + ")", P, material + "não é um material cadastrado", 3, 2);
        }
        if (Escolhida(TRPavimentos)) {
            bool cadastrado = false;
            for (const PavimentoRec& p : gPavimentos) cadastrado = cadastrado || p.Nome == pavimento;
            if (!cadastrado)
                Falha(10, id, "Pavimento:(" + pavimento + ")", P, pavimento + "não é pavimento cadastrado", 3, 2);
        }
        nomes.Guarda(atual);
    });
    return falhas_;
}

// ---------------------------------------------------------------- reports

std::string clsSANVerifGen::RelatorioPVs() const
{
    return "ERROS LOCALIZADOS EM PVs:\r\n" + LinhaContagem(ErrCount[17], " Pvs sem nome") +
           LinhaContagem(ErrCount[18], " Erros no valor da Cota") +
           LinhaContagem(ErrCount[3], " Erros na definição de Etapa") +
           LinhaContagem(repetidosPV_, " PVs com nomes duplicados") +
           "\r\nERROS LOCALIZADOS EM TRECHOS:\r\nNão realizado\r\n\r\n";
}

std::string clsSANVerifGen::RelatorioTRs() const
{
    return "ERROS LOCALIZADOS EM TRECHOS:\r\n" + LinhaContagem(ErrCount[4], " PVMs não localizados") +
           LinhaContagem(ErrCount[5], " PVJs não localizados") + LinhaContagem(ErrCount[19], " Faltam Coordenadas") +
           LinhaContagem(ErrCount[20], " Nome do PV não coincide") +
           LinhaContagem(ErrCount[9], " Erros de Material não cadastrado") +
           LinhaContagem(ErrCount[10], " Erros de Pavimento não cadastrado") +
           LinhaContagem(ErrCount[11], " Erros no comprimento") +
           LinhaContagem(repetidosTR_, " Nomes do TR duplicado") +
           LinhaContagem(ErrCount[13], " Erros na definição de Etapa") +
           LinhaContagem(ErrCount[21], " Erros na definição de Contribuição");
}

// ---------------------------------------------------------------- fault list

void clsSANVerifGen::TrataFalha(int i)
{
    forms::ListBox& falhas = *cListBox2();
    const int tipo = ErrList[static_cast<std::size_t>(i)].ErrType;
    std::string valor;
    bool todas = false;
    const auto escolhe = [&](Oferta Tipo, auto Rotina, const std::string& Tag) {
        if (naoOferecer_[Tipo]) return;
        if ((this->*Rotina)(i, valor, todas, naoOferecer_[Tipo])) ApplyFixGen(i, todas, valor, Tag);
    };
    switch (tipo) {
    case 1:
    case 17:
    case 18:
        if (!naoOferecer_[OfNomesCotas])
            PerguntaRemocao(cliques_, falhas, i, naoOferecer_[OfNomesCotas], msgLeft_, msgTop_);
        break;
    case 4:
    case 5:
        if (!naoOferecer_[OfPVsFaltando])
            PerguntaRemocao(cliques_, falhas, i, naoOferecer_[OfPVsFaltando], msgLeft_, msgTop_);
        break;
    case 3:
    case 13: escolhe(OfEtapa, &clsSANVerifGen::Conf_EditEt, "ET"); break;
    case 9: escolhe(OfMaterial, &clsSANVerifGen::Conf_EditMat, "MATERIAL"); break;
    case 10: escolhe(OfPavimento, &clsSANVerifGen::Conf_EditPav, "PAVMTO"); break;
    case 21: escolhe(OfContribuicao, &clsSANVerifGen::Conf_EditContr, "CONTRIB"); break;
    case 11:
        if (!naoOferecer_[OfComprimento]) CorrigeComprimento(i);
        break;
    default:
        // The others are corrected in the drawing; they stay until the next run.
        break;
    }
}

// "Comp=" drawn "(" stored ")": the stored length becomes the drawn one.
void clsSANVerifGen::CorrigeComprimento(int i)
{
    const std::string& m = ErrList[static_cast<std::size_t>(i)].Mensagem;
    const std::size_t igual = m.find('=');
    const std::size_t abre = igual == std::string::npos ? std::string::npos : m.find('(', igual);
    const std::size_t fecha = abre == std::string::npos ? std::string::npos : m.find(')', abre);
    if (fecha == std::string::npos) return;
    const std::string desenhado = m.substr(igual + 1, abre - igual - 1);
    const std::string gravado = m.substr(abre + 1, fecha - abre - 1);
    if (!PerguntaSimNao("Comprimento incorreto", "Alterar o valor de " + gravado + " para " + desenhado,
                        naoOferecer_[OfComprimento], msgLeft_, msgTop_))
        return;
    acad::BlockReference* tr = BlocoDaFalha(i, {"COMP"});
    if (!tr) return;
    SetAtributo("COMP", desenhado, tr);
    RemoveErro(*cListBox2(), i);
}

void clsSANVerifGen::ApplyFixGen(int Index, bool ForAll, const std::string& Value, const std::string& Tag)
{
    if (cListBox2()) AplicaCorrecao(cliques_, *cListBox2(), Index, ForAll, Value, Tag);
}

// ---------------------------------------------------------------- choice corrections

bool clsSANVerifGen::Conf_EditEt(int Item, std::string& Selecionado, bool& ForAll, bool& NoMore)
{
    return EscolheCorrecao(Item, "ET", "Etapa", "'", "' não indica uma etapa válida. Selecione um dos itens abaixo.",
                           editLeft_, editTop_, Selecionado, ForAll, NoMore);
}

bool clsSANVerifGen::Conf_EditMat(int Item, std::string& Selecionado, bool& ForAll, bool& NoMore)
{
    return EscolheCorrecao(Item, "MATERIAL", "Material", "",
                           " não é um material cadastrado. Selecione um dos itens abaixo.", editLeft_, editTop_,
                           Selecionado, ForAll, NoMore);
}

bool clsSANVerifGen::Conf_EditPav(int Item, std::string& Selecionado, bool& ForAll, bool& NoMore)
{
    return EscolheCorrecao(Item, "PAVMTO", "Pavimento", "",
                           " não é um pavimento cadastrado. Selecione um dos itens abaixo.", editLeft_, editTop_,
                           Selecionado, ForAll, NoMore);
}

bool clsSANVerifGen::Conf_EditContr(int Item, std::string& Selecionado, bool& ForAll, bool& NoMore)
{
    return EscolheCorrecao(Item, "CONTRIB", "Contribuicao", "'",
                           "' não indica uma contribuição válida. Selecione um dos itens abaixo.", editLeft_, editTop_,
                           Selecionado, ForAll, NoMore);
}
