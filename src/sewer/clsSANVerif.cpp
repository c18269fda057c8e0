#include "sewer/clsSANVerif.h"

#include <cmath>
#include <memory>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "platform/acad/Error.h"
#include "platform/acad/SelectionSet.h"
#include "sewer/clsSANDb.h"
#include "sewer/clsSANDes.h"
#include "sewer/frmEditPV.h"
#include "sewer/frmEditTR.h"
#include "sewer/modRedeSAN.h"
#include "sewer/modTextosSAN.h"
#include "shell/modGlobais.h"
#include "shell/modJanela.h"
#include "shell/modMensagem.h"

namespace {

// The report lines of the reach faults, types 4 to 16.
const char* const kLinhasTR[] = {" PVMs não localizados",
                                 " PVJs não localizados",
                                 " Erros na Declividade",
                                 " Erros na Altura do Degrau",
                                 " Erros na Decliv com Degrau",
                                 " Erros de Material não cadastrado",
                                 " Erros de Pavimento não cadastrado",
                                 " Erros no comprimento",
                                 " Nomes do TR duplicado",
                                 " Erros na definição de Etapa",
                                 " Erros na definição do diâmetro",
                                 " Erros na aplicação do TQ",
                                 " Erros na aplicação do Degrau"};

const char* const kFimRelatorio = "ERROS NO DIMENSINAMENTO DE PVs:\r\nNão Realizado";

// Elevations, lengths and slopes are stored in single precision: the checks
// compare them as stored.
double Simples(double v) { return static_cast<float>(v); }

// The step limit of a diameter: the text between the two "|" after its entry,
// in thousandths; 0 when it is not a number.
double LimiteDegrau(const std::string& Lista, std::size_t Entrada)
{
    const std::size_t a = Lista.find('|', Entrada);
    if (a == std::string::npos) return 0;
    const std::size_t b = Lista.find('|', a + 1);
    const std::string texto = Lista.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
    return IsNumero(texto) ? StrToDbl(texto) / 1000 : 0;
}

// Why the attribute Tag of B is no number a check can use ("CS \"abc\" não é
// um número"); nothing when it reads as one.
std::optional<std::string> Ilegivel(acad::BlockReference* B, const std::string& Tag)
{
    const std::optional<std::string> texto = GetAtributo(Tag, B);
    if (!texto) return "falta o atributo " + Tag;
    if (IsNumero(*texto)) return std::nullopt;
    return Tag + " \"" + *texto + "\" não é um número";
}

// The same for the length in a reach's "DD" (diameter "-" length).
std::optional<std::string> ComprimentoIlegivel(acad::BlockReference* B)
{
    const std::optional<std::string> texto = GetAtributo("DD", B);
    if (!texto) return "falta o atributo DD";
    const std::size_t traco = texto->find('-');
    if (traco != std::string::npos && IsNumero(texto->substr(traco + 1))) return std::nullopt;
    return "DD \"" + *texto + "\" não traz o comprimento após \"-\"";
}

// A number a check needs: whose it is (the block as the user knows it) and
// why it cannot be read, if it cannot.
struct Leitura {
    std::string Quem;
    std::optional<std::string> Falta;
};

// What a check could not read, block by block ("PVM 7: CS \"abc\" não é um
// número; Trecho 6-7: DEC \"?\" não é um número"); "" when it read it all.
std::string Ilegiveis(std::initializer_list<const Leitura*> Leituras)
{
    std::string texto, ultimo;
    for (const Leitura* l : Leituras) {
        if (!l->Falta) continue;
        if (texto.empty())
            texto = l->Quem + ": ";
        else if (l->Quem == ultimo)
            texto += ", ";
        else
            texto += "; " + l->Quem + ": ";
        texto += *l->Falta;
        ultimo = l->Quem;
    }
    return texto;
}

}  // namespace

clsSANVerif::clsSANVerif()
    : VerificacaoSAN({"VERIFICAR PVs", {"PV: Nomes duplicados", "PV: Profundidades", "PV: Etapas"}},
                     {"VERIFICAR TRECHOS",
                      {"TR: Nomes duplicados", "TR: Declividades", "TR: Materiais", "TR: Comprimentos",
                       "TR: Pavimentos", "TR: Etapas"}})
{
}

void clsSANVerif::Falha(int Tipo, std::int32_t Id, std::int32_t PVm, std::int32_t PVj, const std::string& Mensagem,
                        const Ponto& Pt1, const std::optional<Ponto>& Pt2, const std::string& TextoMarca, double Escala,
                        int Cor)
{
    Marca(marcas_, Pt1, Escala, TextoMarca, Cor);
    ConfereErroMsg.Raise(Tipo, Id, PVm, PVj, Mensagem, Pt1, Pt2);
}

// ---------------------------------------------------------------- manholes

long clsSANVerif::Conf_PVs(bool& Cancelado)
{
    Cancelado = false;
    if (!ConectaAcad()) return 0;
    const std::string S = TextoEtapas();
    // Without "ErroC" the faults are still listed and counted, unmarked.
    marcas_ = PreparaMarcas();
    PasseDeBlocos passe("Verificando PVs...", "E-PV*", "Verif. PVs...", false, cProgress, gMsgLeft, gMsgTop);

    long contagem = 0;
    NomesLidos nomes;
    Cancelado = !passe.ParaCada([&](acad::BlockReference& pv) {
        std::string numero, et;
        double ct = 0, cs = 0, cp = 0;
        ReadPVAttribs(&pv, numero, ct, cs, cp, et);
        RegistroNome atual{false, numero, pv.ObjectID(), pv.InsertionPoint()};
        const Ponto& P = atual.P;

        if (Escolhida(PVNomes)) {
            const auto duplicado = [this](const RegistroNome& r) {
                Falha(1, r.Id, SemObjeto, SemObjeto, "Número Duplicado", r.P, std::nullopt, "Numero duplicado", 4, 3);
            };
            if (ConfereDuplicados(nomes, atual, duplicado, contagem)) ++repetidosPV_;
        }
        if (Escolhida(PVProfundidades)) {
            // Elevations that cannot be read are a depth fault of their own:
            // the depth could not be checked.
            const std::string quem = "PV " + numero;
            const Leitura lct{quem, Ilegivel(&pv, "CT")}, lcs{quem, Ilegivel(&pv, "CS")},
                lcp{quem, Ilegivel(&pv, "CP")};
            const std::string ilegiveis = Ilegiveis({&lct, &lcs, &lcp});
            const float t = static_cast<float>(ct), s = static_cast<float>(cs), p = static_cast<float>(cp);
            if (!ilegiveis.empty()) {
                ++contagem;
                Falha(2, atual.Id, SemObjeto, SemObjeto, ilegiveis, P, std::nullopt, ilegiveis, 4, 6);
            } else if (StrToDbl(FormatNum(t - s - p, gPRECCOTA)) != 0) {
                ++contagem;
                const std::string prof = FormatNum(t - s, gPRECCOTA);
                Falha(2, atual.Id, SemObjeto, SemObjeto, "Prof = " + prof, P, std::nullopt,
                      "Erro de Cota: Prof = " + prof, 4, 6);
            }
        }
        if (Escolhida(PVEtapas) && S.find("_" + et + "_") == std::string::npos) {
            ++contagem;
            Falha(3, atual.Id, SemObjeto, SemObjeto, "Etapa: (" + et + ")", P, std::nullopt, "Definição de Etapa", 5,
                  5);
        }
        nomes.Guarda(atual);
    });
    return contagem;
}

// ---------------------------------------------------------------- reaches

long clsSANVerif::Conf_TRs()
{
    const std::string S = TextoEtapas();
    if (!ConectaAcad()) return 0;
    marcas_ = PreparaMarcas();
    PasseDeBlocos passe("Verificando TRs...", "E-TRSAN", "Verif. Trechos...", true, cProgress, gMsgLeft, gMsgTop);

    long contagem = 0;
    NomesLidos nomes;
    passe.ParaCada([&](acad::BlockReference& bloco) {
        acad::BlockReference* tr = &bloco;
        // Everything of the reach is read afresh: nothing of the one before may
        // stand in for what this one lacks.
        std::string trecho, material, diametro, pavimento, codigo, etapa;
        double comp = 0, decl = 0, tcs = 0, tcp = 0;
        std::optional<Ponto> pv1, pv2;
        ReadTRAttribs(tr, trecho, material, diametro, comp, decl, pavimento, codigo, tcs, tcp, pv1, pv2, etapa);
        const double L = Simples(comp), DEC = Simples(decl), I = Simples(tcs), h = Simples(tcp);
        const std::int32_t id = tr->ObjectID();
        const Ponto P = tr->InsertionPoint();

        // The manholes at both ends, looked for whatever was chosen. An end
        // whose text is not a point has no manhole to find.
        acad::BlockReference* pvm = pv1 ? PVNoPonto(*pv1, "E-PV*") : nullptr;
        acad::BlockReference* pvj = pv2 ? PVNoPonto(*pv2, "E-PV*") : nullptr;
        const std::int32_t pvmId = pvm ? pvm->ObjectID() : SemObjeto;
        const std::int32_t pvjId = pvj ? pvj->ObjectID() : SemObjeto;
        // Marked at the reach, then at the end (when it is a point) with a line
        // between them, then raised.
        const auto naoLocalizado = [&](const std::optional<Ponto>& Ponta, int Tipo, const std::string& Texto) {
            ++contagem;
            Marca(marcas_, P, 2, Texto, 1);
            if (Ponta) {
                Marca(marcas_, *Ponta, 2, Texto, 1);
                LinhaConferencia(*Ponta, P, 1);
            }
            ConfereErroMsg.Raise(Tipo, id, SemObjeto, SemObjeto, Texto, P, std::nullopt);
        };
        if (!pvm) naoLocalizado(pv1, 4, "PVM não localizado");
        if (!pvj) naoLocalizado(pv2, 5, "PVJ não localizado");
        const auto falha = [&](int Tipo, const std::string& Mensagem, const Ponto& Pt1, const std::optional<Ponto>& Pt2,
                               const std::string& TextoMarca, double Escala, int Cor) {
            ++contagem;
            Falha(Tipo, id, pvmId, pvjId, Mensagem, Pt1, Pt2, TextoMarca, Escala, Cor);
        };

        // Numbers that cannot be read make a fault of the check that needed
        // them, naming the block and the attribute: a reach is never passed
        // by a check that could not run. A reach without length has no slope
        // (the length test tells it), but its step, which needs no length, is
        // still checked.
        if (pvm && pvj && Escolhida(TRDeclividades)) {
            const std::string quemT = "Trecho " + trecho;
            const Leitura csm{"PVM " + GetAtributo("NUMERO", pvm).value_or(""), Ilegivel(pvm, "CS")};
            const Leitura csj{"PVJ " + GetAtributo("NUMERO", pvj).value_or(""), Ilegivel(pvj, "CS")};
            const Leitura lL{quemT, ComprimentoIlegivel(tr)}, lDEC{quemT, Ilegivel(tr, "DEC")},
                lTCS{quemT, Ilegivel(tr, "TCS")}, lTCP{quemT, Ilegivel(tr, "TCP")};
            const auto ilegivel = [&](int Tipo, const std::string& Texto, double Escala, int Cor) {
                falha(Tipo, Texto, P, std::nullopt, Texto, Escala, Cor);
            };
            const double CSm = csm.Falta ? 0 : StrToDbl(*GetAtributo("CS", pvm));
            const double CSj = csj.Falta ? 0 : StrToDbl(*GetAtributo("CS", pvj));
            const double queda = StrToDbl(FormatNum(L * DEC, gPRECCOTA));
            const auto declividade = [&](int Tipo, double s, double erro, double Escala) {
                const std::string valor = FormatNum(s, gPRECDECL) + "(" + FormatNum(erro, gPRECCOTA) + ")";
                falha(Tipo, "Dec=" + valor, P, std::nullopt, "Decliv.=" + valor, Escala, 4);
            };
            if (!codigo.empty()) {
                if (const std::string q = Ilegiveis({&csm, &lL, &lDEC, &lTCS}); !q.empty()) {
                    ilegivel(6, q, 3, 4);
                } else if (L > 0) {
                    const double erro = CSm - (I + queda);
                    if (Excede(erro, gTolVerifCota)) declividade(6, (CSm - I) / L, erro, 3);
                }
                if (const std::string q = Ilegiveis({&lTCS, &lTCP, &csj}); !q.empty()) {
                    ilegivel(7, q, 4, 5);
                } else {
                    const double erro2 = I - (h + CSj);
                    if (Excede(erro2, gTolVerifCota)) {
                        const std::string valor =
                            FormatNum(I - CSj, gPRECCOTA) + "(" + FormatNum(erro2, gPRECCOTA) + ")";
                        falha(7, "Deg=" + valor, P, std::nullopt, "Degrau=" + valor, 4, 5);
                    }
                }
            } else if (const std::string q = Ilegiveis({&csm, &csj, &lL, &lDEC}); !q.empty()) {
                ilegivel(8, q, 5, 4);
            } else if (L > 0) {
                const double erro = CSm - (CSj + queda);
                if (Excede(erro, gTolVerifCota)) declividade(8, (CSm - CSj) / L, erro, 5);
            }
        }
        if (Escolhida(TREtapas) && S.find("_" + etapa + "_") == std::string::npos)
            falha(13, "Etapa: (" + etapa + ")", P, std::nullopt, "Definição de Etapa", 5, 5);
        if (Escolhida(TRMateriais)) {
            const MaterialRec* mat = nullptr;
            for (const MaterialRec& m : gMateriais)
                if (m.Material == material) mat = &m;
            const std::size_t entrada = mat ? mat->ListaDegraus.find("_" + diametro + "_") : std::string::npos;
            if (!mat) {
                falha(9, "Material: (" + material + ")", P, std::nullopt,
                      "(" + material + ") não é um material cadastrado", 3, 2);
            } else if (entrada == std::string::npos) {
                falha(14, "Diam: (" + diametro + ") em " + material, P, std::nullopt,
                      "(" + diametro + ") não existe para " + material, 2, 2);
            } else {
                const float H = static_cast<float>(LimiteDegrau(mat->ListaDegraus, entrada));
                const float hs = static_cast<float>(h);
                const char* regra = nullptr;
                int tipo = 0;
                if ((codigo == "D" || codigo.empty()) && hs > H) {
                    regra = "Use Tubo de Queda";
                    tipo = 15;
                } else if ((codigo == "T" && hs < H) || (codigo.empty() && hs > 0 && hs <= H)) {
                    regra = "Use Degrau";
                    tipo = 16;
                }
                // At the downstream end, with the reach as second point.
                if (regra) {
                    if (pv2)
                        falha(tipo, regra, *pv2, P, regra, 2, 3);
                    else
                        falha(tipo, regra, P, std::nullopt, regra, 2, 3);
                }
            }
        }
        if (Escolhida(TRPavimentos)) {
            bool cadastrado = false;
            for (const PavimentoRec& p : gPavimentos) cadastrado = cadastrado || p.Nome == pavimento;
            if (!cadastrado)
                falha(10, "Pavimento: (" + pavimento + ")", P, std::nullopt, pavimento + " não é pavimento cadastrado",
                      3, 2);
        }
        if (Escolhida(TRComprimentos) && pv1 && pv2) {
            const double D = Distancia(*pv1, *pv2);
            if (Excede(D - L, gTolVerifComp) || L <= 0)
                falha(11, "Comp=" + FormatNum(D, gPRECDIST) + "(" + FormatNum(D - L, gPRECDIST) + ")", P, std::nullopt,
                      "Comprimento = " + FormatNum(D, gPRECDIST) + " e não " + FormatNum(L, gPRECDIST), 3, 2);
        }
        RegistroNome atual{false, trecho, id, P, pvmId, pvjId};
        if (Escolhida(TRNomes)) {
            const auto duplicado = [this](const RegistroNome& r) {
                Falha(12, r.Id, r.PVmId, r.PVjId, "Nome duplicado", r.P, std::nullopt, "Nome duplicado", 2, 4);
            };
            if (ConfereDuplicados(nomes, atual, duplicado, contagem)) ++repetidosTR_;
        }
        nomes.Guarda(atual);
    });
    return contagem;
}

// ---------------------------------------------------------------- reports

// Duplicates are told by the blocks that repeat an earlier one.
std::string clsSANVerif::RelatorioPVs() const
{
    return "ERROS LOCALIZADOS EM PVs:\r\n" + LinhaContagem(repetidosPV_, " Pvs com número duplicado") +
           LinhaContagem(ErrCount[2], " Erros no valor da Profundidade") +
           LinhaContagem(ErrCount[3], " Erros na definição de Etapa") +
           "\r\nERROS LOCALIZADOS EM TRECHOS:\r\nNão realizado\r\n\r\n" + kFimRelatorio;
}

std::string clsSANVerif::RelatorioTRs() const
{
    std::string texto = "ERROS LOCALIZADOS EM TRECHOS:\r\n";
    for (int tipo = 4; tipo <= 16; ++tipo)
        texto +=
            LinhaContagem(tipo == 12 ? repetidosTR_ : ErrCount[static_cast<std::size_t>(tipo)], kLinhasTR[tipo - 4]);
    return texto + "\r\n" + kFimRelatorio;
}

// ---------------------------------------------------------------- fault list

void clsSANVerif::TrataFalha(int i)
{
    forms::ListBox& falhas = *cListBox2();
    const int tipo = ErrList[static_cast<std::size_t>(i)].ErrType;
    std::string valor, valor2;
    bool todas = false, ok = false;
    switch (tipo) {
    case 1:
    case 12: {
        bool& flag = naoOferecer_[tipo == 1 ? OfDuplicado : OfNomeTR];
        if (!flag) PerguntaRemocao(cliques_, falhas, i, flag, gMsgLeft, gMsgTop);
        break;
    }
    case 2:
        if (naoOferecer_[OfProfundidade]) break;
        Conf_EditPV(i, naoOferecer_[OfProfundidade], ok);
        if (ok) RemoveErro(falhas, i);
        break;
    case 3:
    case 13:
        if (naoOferecer_[OfEtapa]) break;
        Conf_EditEt(i, valor, todas, naoOferecer_[OfEtapa], ok);
        if (ok) ApplyFix(i, todas, valor, "ET");
        break;
    case 4:
    case 5:
        if (acad::BlockReference* tr = BlocoDaFalha(i, {"TRECHO"}))
            MostraRelatorio("Trecho: " + GetAtributo("TRECHO", tr).value_or("") + "\r\n\r\n" +
                            "As coordenadas do trecho não são coerentes ou o PV " + "não existe no desenho." +
                            "\r\n\r\n" + "Insira o PV." + "\r\n" +
                            "Pode ser necessário redesenhar os trechos que ligam a este PV!");
        break;
    case 6:
    case 7:
    case 8:
    case 11:
        if (naoOferecer_[OfTrecho]) break;
        Conf_EditTR(i, naoOferecer_[OfTrecho], ok);
        if (ok) RemoveErro(falhas, i);
        break;
    case 9:
        if (naoOferecer_[OfMaterial]) break;
        Conf_EditMat(i, valor, todas, naoOferecer_[OfMaterial], ok);
        if (ok) ApplyFix(i, todas, valor, "MAT");
        break;
    case 10:
        if (naoOferecer_[OfPavimento]) break;
        Conf_EditPav(i, valor, todas, naoOferecer_[OfPavimento], ok);
        if (ok) ApplyFix(i, todas, valor, "PAVMTO");
        break;
    case 14: {
        if (naoOferecer_[OfDiametro]) break;
        Conf_EditDiam(i, valor, valor2, todas, naoOferecer_[OfDiametro], ok);
        if (!ok) break;
        acad::BlockReference* tr = BlocoDaFalha(i, {"MAT", "DD"});
        if (!tr) break;
        // DD is diameter "-" length: the length stays.
        const std::string dd = GetAtributo("DD", tr).value_or("");
        const std::size_t traco = dd.find('-');
        SetAtributo("MAT", valor, tr);
        SetAtributo("DD", valor2 + (traco == std::string::npos ? "-" : dd.substr(traco)), tr);
        RemoveErro(falhas, i);
        break;
    }
    case 15:
        AplicaQueda(i, naoOferecer_[OfTuboQueda], "Aplicar Tubo de Queda", "Incluir a representação de Tubo de Queda?",
                    "O");
        break;
    case 16: AplicaQueda(i, naoOferecer_[OfDegrau], "Aplicar Degrau", "Incluir a representação de Degrau?", ""); break;
    default: break;
    }
}

// A drop pipe is drawn with both marks, a step with DG alone.
void clsSANVerif::AplicaQueda(int i, bool& NoMore, const std::string& Titulo, const std::string& Texto,
                              const std::string& TQ)
{
    if (NoMore || !PerguntaSimNao(Titulo, Texto, NoMore, gMsgLeft, gMsgTop)) return;
    acad::BlockReference* tr = BlocoDaFalha(i, {"DG", "TQ"});
    if (!tr) return;
    SetAtributo("DG", "O", tr);
    SetAtributo("TQ", TQ, tr);
    RemoveErro(*cListBox2(), i);
}

void clsSANVerif::ApplyFix(int Index, bool ForAll, const std::string& Value, const std::string& Tag)
{
    if (cListBox2()) AplicaCorrecao(cliques_, *cListBox2(), Index, ForAll, Value, Tag);
}

// ---------------------------------------------------------------- choice corrections

void clsSANVerif::Conf_EditEt(int i, std::string& Valor, bool& ForAll, bool& NoMore, bool& OK)
{
    OK = EscolheCorrecao(i, "ET", "Etapa", "'", "' não indica uma etapa válida. Selecione um dos itens abaixo.",
                         listaLeft_, listaTop_, Valor, ForAll, NoMore);
}

void clsSANVerif::Conf_EditMat(int i, std::string& Valor, bool& ForAll, bool& NoMore, bool& OK)
{
    OK = EscolheCorrecao(i, "MAT", "Material", "", " não é um material cadastrado. Selecione um dos itens abaixo.",
                         listaLeft_, listaTop_, Valor, ForAll, NoMore);
}

void clsSANVerif::Conf_EditPav(int i, std::string& Valor, bool& ForAll, bool& NoMore, bool& OK)
{
    OK = EscolheCorrecao(i, "PAVMTO", "Pavimento", "", " não é um pavimento cadastrado. Selecione um dos itens abaixo.",
                         listaLeft_, listaTop_, Valor, ForAll, NoMore);
}

void clsSANVerif::Conf_EditDiam(int i, std::string& Material, std::string& Diametro, bool& ForAll, bool& NoMore,
                                bool& OK)
{
    OK = false;
    ForAll = false;
    acad::BlockReference* tr = BlocoDaFalha(i, {"MAT", "DD"});
    if (!tr) return;
    std::string trecho, mat, diam, pav, codigo, etapa;
    double comp = 0, decl = 0, tcs = 0, tcp = 0;
    std::optional<Ponto> pv1, pv2;
    ReadTRAttribs(tr, trecho, mat, diam, comp, decl, pav, codigo, tcs, tcp, pv1, pv2, etapa);
    OK = EscolheNaLista({"Trecho: " + trecho, "Diametro", "O diametro '" + diam + "' não existe para " + mat, false},
                        listaLeft_, listaTop_, Material, Diametro, ForAll, NoMore);
}

// ---------------------------------------------------------------- reach dialog

void clsSANVerif::Conf_EditTR(int i, bool& NoMore, bool& OK)
{
    OK = false;
    if (i < 0 || i >= static_cast<int>(ErrList.size())) return;
    const ErrRec falha = ErrList[static_cast<std::size_t>(i)];
    // The attribute the dialog will write.
    std::vector<std::string> tags;
    if (falha.ErrType == 6 || falha.ErrType == 8)
        tags = {"DEC"};
    else if (falha.ErrType == 7)
        tags = {"TCP"};
    else if (falha.ErrType == 11)
        tags = {"DD"};
    acad::BlockReference* tr = BlocoDaFalha(i, tags);
    if (!tr) return;
    if (falha.PVmId == SemObjeto || falha.PVjId == SemObjeto) {
        ExibeMensagem(0, "Atenção",
                      "Os PVs deste trecho não foram localizados no desenho: insira os PVs e verifique novamente.");
        return;
    }
    acad::BlockReference* pvm = BlocoDoId(falha.PVmId, {});
    if (!pvm) return;
    acad::BlockReference* pvj = BlocoDoId(falha.PVjId, {});
    if (!pvj) return;
    // The dialog computes from the manholes' inverts: they are mended first.
    const Leitura csm{"PVM " + GetAtributo("NUMERO", pvm).value_or(""), Ilegivel(pvm, "CS")};
    const Leitura csj{"PVJ " + GetAtributo("NUMERO", pvj).value_or(""), Ilegivel(pvj, "CS")};
    if (const std::string q = Ilegiveis({&csm, &csj}); !q.empty()) {
        ExibeMensagem(0, "Atenção",
                      "A cota de soleira de um PV deste trecho não pode ser lida (" + q +
                          "). Corrija o PV (verificação \"PV: Profundidades\") e verifique novamente.");
        return;
    }

    std::string trecho, material, diametro, pavimento, codigo, etapa;
    double comp = 0, decl = 0, tcs = 0, tcp = 0;
    std::optional<Ponto> pv1, pv2;
    ReadTRAttribs(tr, trecho, material, diametro, comp, decl, pavimento, codigo, tcs, tcp, pv1, pv2, etapa);
    std::string numM, etM, numJ, etJ;
    double ctM = 0, csM = 0, cpM = 0, ctJ = 0, csJ = 0, cpJ = 0;
    ReadPVAttribs(pvm, numM, ctM, csM, cpM, etM);
    ReadPVAttribs(pvj, numJ, ctJ, csJ, cpJ, etJ);
    clsSANDes des;
    const double Dm = des.ValorParam(pvm->Name()), Dj = des.ValorParam(pvj->Name());

    // The value the check found, and the size of the error, as it wrote them.
    const std::string& m = falha.Mensagem;
    // A fault about a number of the reach that could not be read says which.
    const bool medida = m.rfind("Dec=", 0) == 0 || m.rfind("Deg=", 0) == 0 || m.rfind("Comp=", 0) == 0;
    const std::size_t igual = m.find('='), abre = m.find('(');
    std::string A, B;
    if (medida && igual != std::string::npos && abre != std::string::npos && abre > igual) {
        A = m.substr(igual + 1, abre - igual - 1);
        if (m.size() > abre + 1) B = m.substr(abre + 1, m.size() - abre - 2);
    }
    std::string explicacao;
    if (!medida)
        explicacao = m;
    else if (falha.ErrType == 6 || falha.ErrType == 8)
        explicacao = "A declividade de " + NumeroTexto(decl) + " causa um erro de " + B + " na cota da soleira.";
    else if (falha.ErrType == 7)
        explicacao = "A altura do Degrau de " + NumeroTexto(tcp) + " tem um erro de " + B + "m.";
    else if (falha.ErrType == 11)
        explicacao = "A diferença entre o comprimento de " + NumeroTexto(comp) + "m e o real de " + A + "m é igual a " +
                     B + "m.";

    Dialogo<frmEditTR> dialogo;
    frmEditTR& frm = *dialogo;
    PosicionaDialogo(frm, trLeft_, trTop_);
    frm.Titulo.SetCaption("Trecho: " + trecho);
    frm.Label1.SetCaption(explicacao);
    frm.CalcCmd(5).SetCaption(A);
    const double queda = codigo.empty() ? csM - csJ : csM - csJ - tcp;
    const std::string rotulos[14] = {
        FormatNum(ctM, gPRECCOTA),     FormatNum(cpM, gPRECCOTA),
        FormatNum(csM, gPRECCOTA),     FormatNum(ctJ, gPRECCOTA),
        FormatNum(cpJ, gPRECCOTA),     FormatNum(csJ, gPRECCOTA),
        FormatNum(comp, gPRECDIST),    FormatNum(decl, gPRECDECL),
        FormatNum(tcs, gPRECCOTA),     FormatNum(tcp, gPRECCOTA),
        FormatNum(queda, gPRECCOTA),   "(" + FormatNum(comp - (Dm + Dj) / 2, gPRECDIST) + ")",
        NumeroTexto(Dm * 1000) + "mm", NumeroTexto(Dj * 1000) + "mm"};
    for (int k = 0; k < 14; ++k) frm.Label3(k).SetCaption(rotulos[k]);
    frm.DrawDegrau(!codigo.empty());
    frm.SetErrType(falha.ErrType);
    frm.Show(forms::vbModal, gMainForm);

    const std::string novo = frm.Text1.Text();
    trLeft_ = static_cast<int>(std::lround(frm.Left()));
    trTop_ = static_cast<int>(std::lround(frm.Top()));
    NoMore = frm.NaoOferecer;
    if (frm.OK) {
        // Written as every number of the drawing is: "." and the panel's decimals.
        if (falha.ErrType == 6 || falha.ErrType == 8)
            SetAtributo("DEC", FormatNum(StrToDbl(novo), gPRECDECL), tr);
        else if (falha.ErrType == 7)
            SetAtributo("TCP", FormatNum(StrToDbl(novo), gPRECCOTA), tr);
        else if (falha.ErrType == 11)
            SetAtributo("DD", diametro + "-" + FormatNum(StrToDbl(novo), gPRECDIST), tr);
        OK = true;
    }
    forms::Unload(frm);
}

// ---------------------------------------------------------------- manhole dialog

void clsSANVerif::Conf_EditPV(int i, bool& NoMore, bool& OK)
{
    OK = false;
    acad::BlockReference* pv = BlocoDaFalha(i, {"CT", "CS", "CP"});
    if (!pv) return;
    std::string numero, et;
    // A value that reads as no number keeps its NaN and shows as an empty
    // field, which OK refuses: a 0 there would be written as if typed.
    double ct = NAN, cs = NAN, cp = NAN;
    ReadPVAttribs(pv, numero, ct, cs, cp, et);
    const auto campo = [&](double Valor) { return std::isnan(Valor) ? std::string() : FormatNum(Valor, gPRECCOTA); };

    Dialogo<frmEditPV> dialogo;
    frmEditPV& frm = *dialogo;
    PosicionaDialogo(frm, pvLeft_, pvTop_);
    frm.Decimais = gPRECCOTA;
    // From empty fields, so that each assignment below runs its rule.
    frm.Text1.SetText("");
    frm.Text2.SetText("");
    frm.Text1.SetText(campo(ct));
    frm.Text2.SetText(campo(cs));
    // The display keeps the depth the elevations imply, the field the stored one.
    frm.CalcCmd(5).SetCaption(frm.Text3.Text());
    frm.Guarda = true;
    frm.Text3.SetText(campo(cp));
    frm.Guarda = false;
    frm.Titulo.SetCaption("PV: " + numero);
    frm.Show(forms::vbModal, gMainForm);

    if (frm.OK) {
        SetAtributo("CT", FormatNum(StrToDbl(frm.Text1.Text()), gPRECCOTA), pv);
        SetAtributo("CS", FormatNum(StrToDbl(frm.Text2.Text()), gPRECCOTA), pv);
        SetAtributo("CP", FormatNum(StrToDbl(frm.Text3.Text()), gPRECCOTA), pv);
        OK = true;
    }
    pvLeft_ = static_cast<int>(std::lround(frm.Left()));
    pvTop_ = static_cast<int>(std::lround(frm.Top()));
    NoMore = frm.NaoOferecer;
    forms::Unload(frm);
}
