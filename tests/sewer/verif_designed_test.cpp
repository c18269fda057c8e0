// The verification of the designed network: the option list, the manhole and
// reach checks with their markers, events, joining lines and report, missing
// manholes, duplicates, a reach without length, a missing marker file and the
// cancel window stopping a run.

#include <gtest/gtest.h>

#include <QTimer>

#include "VerifTestSupport.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "platform/acad/PolylineEntities.h"
#include "sewer/clsSANVerif.h"
#include "sewer/frmEditPV.h"
#include "shell/frmCancelar.h"
#include "shell/modGlobais.h"

using namespace veriftest;
using sewertest::Atributo;
using sewertest::Atributos;

namespace {

const std::set<std::string> kTodas = {"VERIFICAR PVs",     "PV: Nomes duplicados", "PV: Profundidades", "PV: Etapas",
                                      "VERIFICAR TRECHOS", "TR: Nomes duplicados", "TR: Declividades",  "TR: Materiais",
                                      "TR: Comprimentos",  "TR: Pavimentos",       "TR: Etapas"};
const std::set<std::string> kTRs = {"VERIFICAR TRECHOS", "TR: Nomes duplicados", "TR: Declividades", "TR: Materiais",
                                    "TR: Comprimentos",  "TR: Pavimentos",       "TR: Etapas"};

class Projetada : public VerifTest {
protected:
    Projetada() { Nova(verif, &clsSANVerif::ConfereErroMsg); }

    void Executa(const std::set<std::string>& Opcoes) { VerifTest::Executa(*verif, Opcoes); }
    void Escreve(acad::BlockReference* B, const std::string& Tag, const std::string& Valor)
    {
        Atributo(B, Tag)->SetTextString(Valor);
    }
    const ErrRec& Falha(int i) { return ErrList[static_cast<std::size_t>(i)]; }

    std::unique_ptr<clsSANVerif> verif;
};

}  // namespace

TEST_F(Projetada, TheOptionListOpensAndClosesItsGroups)
{
    forms::ListBox& l = listas.Opcoes;
    ASSERT_EQ(LinhasDaLista().size(), 0u);
    ASSERT_EQ(l.ListCount(), 2);
    EXPECT_EQ(l.List(0), "VERIFICAR PVs");
    EXPECT_EQ(l.List(1), "VERIFICAR TRECHOS");

    forms::user::Choose(l, 0);
    ASSERT_EQ(l.ListCount(), 5);
    EXPECT_EQ(l.List(3), "PV: Etapas");
    EXPECT_EQ(l.List(4), "VERIFICAR TRECHOS");
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(l.Selected(i)) << i;
    EXPECT_FALSE(l.Selected(4));

    forms::user::Choose(l, 4);
    ASSERT_EQ(l.ListCount(), 11);
    EXPECT_EQ(l.List(5), "TR: Nomes duplicados");
    EXPECT_EQ(l.List(10), "TR: Etapas");
    for (int i = 4; i < 11; ++i) EXPECT_TRUE(l.Selected(i)) << i;

    // A sub-option clicked is only unchosen; the header closes its group.
    forms::user::Choose(l, 2);
    EXPECT_EQ(l.ListCount(), 11);
    EXPECT_FALSE(l.Selected(2));
    forms::user::Choose(l, 0);
    ASSERT_EQ(l.ListCount(), 8);
    EXPECT_EQ(l.List(0), "VERIFICAR PVs");
    EXPECT_FALSE(l.Selected(0));
    EXPECT_EQ(l.List(1), "VERIFICAR TRECHOS");
    forms::user::Choose(l, 1);
    EXPECT_EQ(l.ListCount(), 2);

    // A new prepare starts the list afresh.
    verif->Prepare();
    EXPECT_EQ(l.ListCount(), 2);
}

TEST_F(Projetada, ACleanNetworkGivesNoFaultAndNoWindow)
{
    RedeLimpa();
    Executa(kTodas);
    EXPECT_TRUE(LinhasDaLista().empty());
    EXPECT_EQ(ErrN, 0);
    EXPECT_TRUE(Marcas().empty());
    EXPECT_TRUE(respostas.Mostradas().empty());
    EXPECT_EQ(listas.Opcoes.ListCount(), 0);  // the options are read once
    EXPECT_EQ(listas.Barra.Caption(), "");
    for (forms::Form* f : forms::Forms()) EXPECT_EQ(dynamic_cast<frmCancelar*>(f), nullptr);
    // Nothing left frozen: the text layers are as they were.
    EXPECT_FALSE(Doc().Layers().Item("N_PV")->Freeze());
}

TEST_F(Projetada, ManholeFaultsAreMarkedRaisedAndReportedBeforeAnyReach)
{
    acad::BlockReference* a = PVd(Ponto(0, 0), "PV-1", 100.5);
    acad::BlockReference* b = PVd(Ponto(40, 0), "PV-1", 100.0);  // same number
    acad::BlockReference* c = des.DrawPV(Ponto(80, 0), 0.0, "E-PV", "PV-3", "102.000", "100.000", "1.900", 1, false);
    acad::BlockReference* d = PVd(Ponto(120, 0), "PV-4", 99.5, 7);  // stage 7 is not registered
    // Within the elevation decimals: no fault (single precision elevations).
    des.DrawPV(Ponto(160, 0), 0.0, "E-PV", "PV-5", "101.3", "99.1", "2.2", 1, false);
    // A depth greater than ground minus invert is as wrong as a smaller one.
    acad::BlockReference* e = des.DrawPV(Ponto(200, 0), 0.0, "E-PV", "PV-6", "102.000", "100.000", "2.100", 1, false);
    TRd(a, c, "T-1", "80.00", "0.5");  // a reach with faults: never looked at
    Executa(kTodas);

    ASSERT_EQ(Tipos(), (std::vector<int>{1, 1, 2, 3, 2}));
    EXPECT_EQ(LinhasDaLista(), (std::vector<std::string>{"Número Duplicado", "Número Duplicado", "Prof = 2.000",
                                                         "Etapa: (7)", "Prof = 2.000"}));
    EXPECT_EQ(Falha(0).ObjectId, b->ObjectID());
    EXPECT_EQ(Falha(1).ObjectId, a->ObjectID());
    EXPECT_EQ(Falha(2).ObjectId, c->ObjectID());
    EXPECT_EQ(Falha(3).ObjectId, d->ObjectID());
    EXPECT_EQ(Falha(4).ObjectId, e->ObjectID());
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Falha(i).PVmId, 1);
        EXPECT_EQ(Falha(i).PVjId, 1);
        EXPECT_FALSE(Falha(i).Pt2);
    }
    EXPECT_EQ(Falha(1).Pt1, Ponto(0, 0, 0));
    EXPECT_EQ(ErrCount[1], 2);
    EXPECT_EQ(ErrCount[2], 2);
    EXPECT_EQ(ErrCount[3], 1);

    const std::vector<Marcador> m = Marcas();
    ASSERT_EQ(m.size(), 5u);
    EXPECT_EQ(m[0].Mensagem, "Numero duplicado");
    EXPECT_EQ(m[0].P, Ponto(40, 0, 0));
    EXPECT_DOUBLE_EQ(m[0].Escala, 4);
    EXPECT_EQ(m[0].Cor, 3);
    EXPECT_EQ(m[1].P, Ponto(0, 0, 0));
    EXPECT_TRUE(Marcou(m[2], "Erro de Cota: Prof = 2.000", 4, 6));
    EXPECT_TRUE(Marcou(m[3], "Definição de Etapa", 5, 5));
    EXPECT_TRUE(Marcou(m[4], "Erro de Cota: Prof = 2.000", 4, 6));
    EXPECT_EQ(m[4].P, Ponto(200, 0, 0));

    const auto linhas = Linhas();
    ASSERT_EQ(linhas.size(), 1u);
    EXPECT_EQ(linhas[0]->Coordinates(), (std::vector<double>{40, 0, 0, 0}));
    EXPECT_DOUBLE_EQ(linhas[0]->ConstantWidth(), 0.5);
    EXPECT_EQ(linhas[0]->Color(), 4);

    EXPECT_EQ(respostas.Relatorios(),
              std::vector<std::string>{"ERROS LOCALIZADOS EM PVs:\r\n1 Pvs com número duplicado\r\n"
                                       "2 Erros no valor da Profundidade\r\n1 Erros na definição de Etapa\r\n\r\n"
                                       "ERROS LOCALIZADOS EM TRECHOS:\r\nNão realizado\r\n\r\n"
                                       "ERROS NO DIMENSINAMENTO DE PVs:\r\nNão Realizado"});
}

TEST_F(Projetada, DuplicatesAreCountedAsTheRepeatedEntries)
{
    PVd(Ponto(0, 0), "X", 100);
    PVd(Ponto(20, 0), "X", 100);
    PVd(Ponto(40, 0), "X", 100);
    Executa({"VERIFICAR PVs", "PV: Nomes duplicados"});
    // The first is shown again for the third; the third once per earlier one.
    EXPECT_EQ(Tipos(), std::vector<int>(5, 1));
    EXPECT_EQ(Marcas().size(), 5u);
    EXPECT_EQ(Linhas().size(), 3u);
    ASSERT_EQ(respostas.Relatorios().size(), 1u);
    EXPECT_TRUE(Comeca(respostas.Relatorios()[0], "ERROS LOCALIZADOS EM PVs:\r\n2 Pvs com número duplicado\r\n\r\n"));
}

TEST_F(Projetada, OnlyChosenChecksRunAndSubOptionsNeedTheirHeader)
{
    PVd(Ponto(0, 0), "PV-1", 100, 9);
    acad::BlockReference* a = PVd(Ponto(60, 0), "PV-2", 99);
    acad::BlockReference* b = PVd(Ponto(120, 0), "PV-3", 98.4);
    TRd(a, b, "T-1", "60.00", "0.010000", "150", "PVC", 9);
    Executa({"PV: Etapas", "TR: Etapas"});
    EXPECT_EQ(ErrN, 0);

    // Without the manhole header the reach pass runs all the same.
    Nova(verif, &clsSANVerif::ConfereErroMsg);
    Executa({"VERIFICAR TRECHOS", "TR: Etapas"});
    EXPECT_EQ(LinhasDaLista(), std::vector<std::string>{"Etapa: (9)"});
    EXPECT_EQ(Falha(0).ErrType, 13);
    EXPECT_EQ(Falha(0).PVmId, a->ObjectID());
    EXPECT_EQ(Falha(0).PVjId, b->ObjectID());
}

TEST_F(Projetada, SlopeAndStepFaultsOfReachesWithAndWithoutADropCode)
{
    acad::BlockReference* p1 = PVd(Ponto(0, 0), "PV-1", 100.5);
    acad::BlockReference* p2 = PVd(Ponto(60, 0), "PV-2", 99.9);
    acad::BlockReference* p3 = PVd(Ponto(60, -50), "PV-3", 99.2);
    acad::BlockReference* p4 = PVd(Ponto(120, -50), "PV-4", 98.6);
    acad::BlockReference* t1 = TRd(p1, p2, "T-1", "60.00", "0.010000");
    acad::BlockReference* t2 = TRd(p2, p3, "T-2", "50.00", "0.010000");
    acad::BlockReference* t3 = TRd(p3, p4, "T-3", "60.00", "0.010000");
    Escreve(t1, "DEC", "0.009000");  // no drop code: 0.06 off at PV-2
    Escreve(t2, "TCS", "99.450");    // a step: slope and step height both off
    Escreve(t3, "DEC", "0.0101");    // 0.006 off: within the tolerance
    // A drop reach typed without length: no slope, but its step is still checked.
    acad::BlockReference* p5 = PVd(Ponto(0, -100), "PV-5", 100);
    acad::BlockReference* p6 = PVd(Ponto(100, -100), "PV-6", 99);
    acad::BlockReference* t4 = TRd(p5, p6, "T-4", "0", "0.010000");
    ASSERT_EQ(Atributos(t4).at("TQ"), "O");
    Escreve(t4, "TCP", "0.800");
    Executa(kTRs);

    ASSERT_EQ(Tipos(), (std::vector<int>{8, 6, 7, 7, 11}));
    EXPECT_EQ(LinhasDaLista(),
              (std::vector<std::string>{"Dec=0.010000(0.060)", "Dec=0.009000(-0.050)", "Deg=0.250(0.050)",
                                        "Deg=1.000(0.200)", "Comp=100.00(100.00)"}));
    EXPECT_EQ(Falha(0).ObjectId, t1->ObjectID());
    EXPECT_EQ(Falha(0).PVmId, p1->ObjectID());
    EXPECT_EQ(Falha(0).PVjId, p2->ObjectID());
    EXPECT_EQ(Falha(1).PVmId, p2->ObjectID());
    EXPECT_EQ(Falha(2).PVjId, p3->ObjectID());
    EXPECT_EQ(Falha(1).Pt1, Ponto(t2->InsertionPoint()));
    EXPECT_EQ(Falha(3).ObjectId, t4->ObjectID());
    const auto m = Marcas();
    ASSERT_EQ(m.size(), 5u);
    EXPECT_TRUE(Marcou(m[0], "Decliv.=0.010000(0.060)", 5, 4));
    EXPECT_EQ(m[1].Mensagem, "Decliv.=0.009000(-0.050)");
    EXPECT_DOUBLE_EQ(m[1].Escala, 3);
    EXPECT_TRUE(Marcou(m[2], "Degrau=0.250(0.050)", 4, 5));
    EXPECT_TRUE(Marcou(m[3], "Degrau=1.000(0.200)", 4, 5));
    EXPECT_EQ(m[3].P, Ponto(50, -100, 0));
    EXPECT_EQ(respostas.Relatorios(),
              std::vector<std::string>{"ERROS LOCALIZADOS EM TRECHOS:\r\n1 Erros na Declividade\r\n"
                                       "2 Erros na Altura do Degrau\r\n1 Erros na Decliv com Degrau\r\n"
                                       "1 Erros no comprimento\r\n\r\n"
                                       "ERROS NO DIMENSINAMENTO DE PVs:\r\nNão Realizado"});
}

TEST_F(Projetada, CatalogueFaultsOfStageMaterialDiameterDropAndPavement)
{
    std::vector<acad::BlockReference*> pv;
    for (int i = 0; i < 8; ++i) pv.push_back(PVd(Ponto(i * 60.0, 0), "PV-" + std::to_string(i), 100 - i * 0.6));
    acad::BlockReference* etapa = TRd(pv[0], pv[1], "T-1", "60.00", "0.010000", "150", "PVC", 8);
    acad::BlockReference* material = TRd(pv[1], pv[2], "T-2", "60.00", "0.010000", "150", "Ferro");
    acad::BlockReference* diametro = TRd(pv[2], pv[3], "T-3", "60.00", "0.010000", "175", "PVC");
    acad::BlockReference* pavimento = TRd(pv[3], pv[4], "T-4", "60.00", "0.010000", "150", "PVC", 1, "Grama");
    // The drop pipe drawn as a step, a step drawn as a drop pipe, and a step
    // without its mark.
    acad::BlockReference* p8 = PVd(Ponto(0, -60), "PV-8", 100);
    acad::BlockReference* p9 = PVd(Ponto(60, -60), "PV-9", 98.8);  // 0.6 below the pipe
    acad::BlockReference* queda = TRd(p8, p9, "T-5", "60.00", "0.010000");
    ASSERT_EQ(Atributos(queda).at("TQ"), "O");
    Escreve(queda, "TQ", "");
    acad::BlockReference* p10 = PVd(Ponto(120, -60), "PV-10", 98);  // 0.2 below
    acad::BlockReference* degrau = TRd(p9, p10, "T-6", "60.00", "0.010000");
    Escreve(degrau, "TQ", "O");
    acad::BlockReference* p11 = PVd(Ponto(180, -60), "PV-11", 97.2);
    acad::BlockReference* semMarca = TRd(p10, p11, "T-7", "60.00", "0.010000");
    Escreve(semMarca, "DG", "");
    // Exactly at the limit: the step is right.
    acad::BlockReference* p12 = PVd(Ponto(240, -60), "PV-12", 96.1);
    TRd(p11, p12, "T-8", "60.00", "0.010000");
    // A drop pipe exactly at the limit is right too.
    acad::BlockReference* p13 = PVd(Ponto(300, -60), "PV-13", 95.0);
    acad::BlockReference* tuboNoLimite = TRd(p12, p13, "T-9", "60.00", "0.010000");
    Escreve(tuboNoLimite, "TQ", "O");
    ASSERT_EQ(Atributos(tuboNoLimite).at("TCP"), "0.500");
    Executa({"VERIFICAR TRECHOS", "TR: Materiais", "TR: Pavimentos", "TR: Etapas"});

    EXPECT_EQ(LinhasDaLista(),
              (std::vector<std::string>{"Etapa: (8)", "Material: (Ferro)", "Diam: (175) em PVC", "Pavimento: (Grama)",
                                        "Use Tubo de Queda", "Use Degrau", "Use Degrau"}));
    EXPECT_EQ(Tipos(), (std::vector<int>{13, 9, 14, 10, 15, 16, 16}));
    EXPECT_EQ(Falha(0).ObjectId, etapa->ObjectID());
    EXPECT_EQ(Falha(1).ObjectId, material->ObjectID());
    EXPECT_EQ(Falha(2).ObjectId, diametro->ObjectID());
    EXPECT_EQ(Falha(3).ObjectId, pavimento->ObjectID());
    // The drop faults lie at the downstream end, with the reach as second point.
    EXPECT_EQ(Falha(4).Pt1, Ponto(60, -60, 0));
    ASSERT_TRUE(Falha(4).Pt2);
    EXPECT_EQ(*Falha(4).Pt2, Ponto(queda->InsertionPoint()));

    const auto m = Marcas();
    ASSERT_EQ(m.size(), 7u);
    EXPECT_EQ(m[0].Mensagem, "Definição de Etapa");
    EXPECT_TRUE(Marcou(m[1], "(Ferro) não é um material cadastrado", 3, 2));
    EXPECT_EQ(m[2].Mensagem, "(175) não existe para PVC");
    EXPECT_DOUBLE_EQ(m[2].Escala, 2);
    EXPECT_EQ(m[3].Mensagem, "Grama não é pavimento cadastrado");
    EXPECT_EQ(m[4].Mensagem, "Use Tubo de Queda");
    EXPECT_EQ(m[4].P, Ponto(60, -60, 0));
    EXPECT_DOUBLE_EQ(m[4].Escala, 2);
    EXPECT_EQ(m[4].Cor, 3);
    ASSERT_EQ(respostas.Relatorios().size(), 1u);
    EXPECT_EQ(respostas.Relatorios()[0],
              "ERROS LOCALIZADOS EM TRECHOS:\r\n1 Erros de Material não cadastrado\r\n"
              "1 Erros de Pavimento não cadastrado\r\n1 Erros na definição de Etapa\r\n"
              "1 Erros na definição do diâmetro\r\n1 Erros na aplicação do TQ\r\n2 Erros na aplicação do Degrau\r\n\r\n"
              "ERROS NO DIMENSINAMENTO DE PVs:\r\nNão Realizado");
}

TEST_F(Projetada, LengthAndNameFaultsAndAReachWithoutLength)
{
    acad::BlockReference* p1 = PVd(Ponto(0, 0), "PV-1", 100.5);
    acad::BlockReference* p2 = PVd(Ponto(60, 0), "PV-2", 99.9);
    acad::BlockReference* p3 = PVd(Ponto(120, 0), "PV-3", 99.3);
    acad::BlockReference* p4 = PVd(Ponto(180, 0), "PV-4", 98.7);
    acad::BlockReference* longo = TRd(p1, p2, "T-1", "60.00", "0.010000");
    acad::BlockReference* nulo = TRd(p2, p3, "T-2", "60.00", "0.010000");
    acad::BlockReference* repetido = TRd(p3, p4, "T-1", "60.00", "0.010000");
    Escreve(longo, "DD", "150-60.20");  // 0.2 beyond the drawn length
    Escreve(nulo, "DD", "150-0");       // no length: no slope to compute
    Executa(kTRs);

    EXPECT_EQ(LinhasDaLista(),
              (std::vector<std::string>{"Comp=60.00(-0.20)", "Comp=60.00(60.00)", "Nome duplicado", "Nome duplicado"}));
    EXPECT_EQ(Tipos(), (std::vector<int>{11, 11, 12, 12}));
    EXPECT_EQ(Falha(1).ObjectId, nulo->ObjectID());
    EXPECT_EQ(Falha(2).ObjectId, repetido->ObjectID());
    EXPECT_EQ(Falha(3).ObjectId, longo->ObjectID());
    // Each side of a duplicate carries its own reach's manholes.
    EXPECT_EQ(Falha(2).PVmId, p3->ObjectID());
    EXPECT_EQ(Falha(3).PVmId, p1->ObjectID());
    EXPECT_EQ(Falha(3).PVjId, p2->ObjectID());
    const auto m = Marcas();
    ASSERT_EQ(m.size(), 4u);
    EXPECT_TRUE(Marcou(m[0], "Comprimento = 60.00 e não 60.20", 3, 2));
    EXPECT_TRUE(Marcou(m[2], "Nome duplicado", 2, 4));
    ASSERT_EQ(Linhas().size(), 1u);
    EXPECT_EQ(
        respostas.Relatorios(),
        std::vector<std::string>{"ERROS LOCALIZADOS EM TRECHOS:\r\n2 Erros no comprimento\r\n"
                                 "1 Nomes do TR duplicado\r\n\r\nERROS NO DIMENSINAMENTO DE PVs:\r\nNão Realizado"});
}

TEST_F(Projetada, AReachWhoseManholeIsMissingCarriesOnlyItsOwnManholes)
{
    acad::BlockReference* p1 = PVd(Ponto(0, 0), "PV-1", 100.5);
    acad::BlockReference* p2 = PVd(Ponto(60, 0), "PV-2", 99.9);
    acad::BlockReference* p3 = PVd(Ponto(120, 0), "PV-3", 99.3);
    acad::BlockReference* p4 = PVd(Ponto(180, 0), "PV-4", 98.7);
    acad::BlockReference* semJ = TRd(p1, p2, "T-1", "60.00", "0.010000");
    acad::BlockReference* semM = TRd(p2, p3, "T-2", "60.00", "0.010000", "150", "PVC", 1, "Grama");
    acad::BlockReference* semAmbos = TRd(p3, p4, "T-3", "60.00", "0.010000");
    acad::BlockReference* ruim = TRd(p1, p4, "T-4", "180.00", "0.010000", "150", "PVC", 1, "Grama");
    p4->Delete();
    // The upstream manhole moved away from its reach.
    p2->SetInsertionPoint({60, 5, 0});
    // An end point that is no point at all.
    Escreve(ruim, "PV1", "sem coordenadas");
    Executa(kTRs);

    // T-1 lost its downstream manhole, T-2 its upstream one, T-3 its
    // downstream one; T-4 both, one of them for want of a point.
    EXPECT_EQ(LinhasDaLista(),
              (std::vector<std::string>{"PVJ não localizado", "PVM não localizado", "Pavimento: (Grama)",
                                        "PVJ não localizado", "PVM não localizado", "PVJ não localizado",
                                        "Pavimento: (Grama)"}));
    EXPECT_EQ(Tipos(), (std::vector<int>{5, 4, 10, 5, 4, 5, 10}));
    EXPECT_EQ(Falha(2).ObjectId, semM->ObjectID());
    EXPECT_EQ(Falha(2).PVmId, 1);
    EXPECT_EQ(Falha(2).PVjId, p3->ObjectID());
    EXPECT_EQ(Falha(3).ObjectId, semAmbos->ObjectID());
    EXPECT_EQ(Falha(6).ObjectId, ruim->ObjectID());
    for (int i : {0, 1, 3, 4, 5, 6}) {
        EXPECT_EQ(Falha(i).PVmId, 1) << i;
        EXPECT_EQ(Falha(i).PVjId, 1) << i;
    }
    // Two markers per missing manhole (at the reach and at its end) joined by
    // a red line; an end that is no point has only the reach's.
    const auto m = Marcas();
    EXPECT_EQ(m.size(), 2u * 4 + 1 + 2);
    // At the reach first, then where its manhole was looked for.
    ASSERT_GE(m.size(), 2u);
    EXPECT_EQ(m[0].Mensagem, "PVJ não localizado");
    EXPECT_EQ(m[0].P, Ponto(semJ->InsertionPoint()));
    EXPECT_EQ(m[1].Mensagem, "PVJ não localizado");
    EXPECT_EQ(m[1].P, Ponto(60, 0, 0));
    for (const Marcador& k : m) {
        if (k.Mensagem.find("localizado") == std::string::npos) continue;
        EXPECT_DOUBLE_EQ(k.Escala, 2);
        EXPECT_EQ(k.Cor, 1);
    }
    const auto linhas = Linhas();
    ASSERT_EQ(linhas.size(), 4u);
    for (auto* l : linhas) EXPECT_EQ(l->Color(), 1);
    ASSERT_EQ(respostas.Relatorios().size(), 1u);
    EXPECT_TRUE(Comeca(respostas.Relatorios()[0],
                       "ERROS LOCALIZADOS EM TRECHOS:\r\n2 PVMs não localizados\r\n3 PVJs não localizados\r\n"));
}

TEST_F(Projetada, NumbersThatCannotBeReadAreFaultsNamingTheirBlockAndAttribute)
{
    acad::BlockReference* p1 = PVd(Ponto(0, 0), "PV-1", 100.5);
    acad::BlockReference* p2 = PVd(Ponto(60, 0), "PV-2", 99.9);
    acad::BlockReference* p3 = PVd(Ponto(120, 0), "PV-3", 99.3);
    acad::BlockReference* p4 = PVd(Ponto(180, 0), "PV-4", 98.2);
    acad::BlockReference* t1 = TRd(p1, p2, "T-1", "60.00", "0.010000");
    acad::BlockReference* t2 = TRd(p2, p3, "T-2", "60.00", "0.010000");
    acad::BlockReference* t3 = TRd(p3, p4, "T-3", "60.00", "0.010000");  // a step of 0.5
    ASSERT_EQ(Atributos(t3).at("DG"), "O");
    Escreve(p2, "CS", "abc");
    Escreve(t3, "TCS", "9x.7");
    Executa(kTRs);

    // Both reaches of the manhole, and both checks of the step's invert.
    const std::string cs = "CS \"abc\" não é um número";
    const std::string tcs = "Trecho T-3: TCS \"9x.7\" não é um número";
    EXPECT_EQ(LinhasDaLista(), (std::vector<std::string>{"PVJ PV-2: " + cs, "PVM PV-2: " + cs, tcs, tcs}));
    EXPECT_EQ(Tipos(), (std::vector<int>{8, 8, 6, 7}));
    EXPECT_EQ(Falha(0).ObjectId, t1->ObjectID());
    EXPECT_EQ(Falha(1).ObjectId, t2->ObjectID());
    EXPECT_EQ(Falha(1).PVmId, p2->ObjectID());
    const auto m = Marcas();
    ASSERT_EQ(m.size(), 4u);
    EXPECT_TRUE(Marcou(m[0], "PVJ PV-2: " + cs, 5, 4));
    EXPECT_EQ(m[0].P, Ponto(t1->InsertionPoint()));
    EXPECT_TRUE(Marcou(m[2], tcs, 3, 4));
    EXPECT_TRUE(Marcou(m[3], tcs, 4, 5));
    EXPECT_EQ(respostas.Relatorios(),
              std::vector<std::string>{"ERROS LOCALIZADOS EM TRECHOS:\r\n1 Erros na Declividade\r\n"
                                       "1 Erros na Altura do Degrau\r\n2 Erros na Decliv com Degrau\r\n\r\n"
                                       "ERROS NO DIMENSINAMENTO DE PVs:\r\nNão Realizado"});

    // The reach's dialog would compute from the unreadable invert: the user
    // is sent to the manhole instead, and the fault stays.
    ClicaFalha(0);
    ASSERT_EQ(respostas.Mensagens().size(), 1u);
    EXPECT_EQ(respostas.Mensagens()[0],
              "A cota de soleira de um PV deste trecho não pode ser lida (PVJ PV-2: " + cs +
                  "). Corrija o PV (verificação \"PV: Profundidades\") e verifique novamente.");
    EXPECT_EQ(LinhasDaLista().size(), 4u);

    // The manhole pass tells it as a depth fault, whose dialog mends it.
    Nova(verif, &clsSANVerif::ConfereErroMsg);
    Executa({"VERIFICAR PVs", "PV: Profundidades"});
    EXPECT_EQ(LinhasDaLista(), std::vector<std::string>{"PV PV-2: " + cs});
    EXPECT_EQ(Tipos(), std::vector<int>{2});
    ASSERT_EQ(Marcas().size(), 5u);  // the reaches' markers are still drawn
    EXPECT_TRUE(Marcou(Marcas().back(), "PV PV-2: " + cs, 4, 6));
    respostas.Proxima<frmEditPV>([](frmEditPV& f) {
        EXPECT_EQ(f.Text2.Text(), "");  // no 0 that nobody typed
        f.Text2.SetText("99.9");
        forms::user::Click(f.CmdOK);
    });
    ClicaFalha(0);
    EXPECT_EQ(Atributos(p2).at("CS"), "99.900");
    Escreve(t3, "TCS", "98.700");
    Nova(verif, &clsSANVerif::ConfereErroMsg);
    Executa(kTodas);
    EXPECT_TRUE(LinhasDaLista().empty());
}

TEST_F(Projetada, WithoutTheMarkerFileFaultsAreStillListedAndTheUserIsToldOnce)
{
    PVd(Ponto(0, 0), "PV-1", 100, 9);
    PVd(Ponto(60, 0), "PV-2", 100, 9);
    gBlocosPath = pasta.Caminho().string();
    Executa(kTodas);
    EXPECT_EQ(LinhasDaLista(), (std::vector<std::string>{"Etapa: (9)", "Etapa: (9)"}));
    EXPECT_TRUE(Marcas().empty());
    EXPECT_EQ(respostas.Mensagens(),
              std::vector<std::string>{"Arquivo: ErroC não foi encontrado em " + pasta.Caminho().string()});
    EXPECT_EQ(respostas.Relatorios().size(), 1u);
}

TEST_F(Projetada, TheCancelWindowStopsTheRun)
{
    for (int i = 0; i < 20; ++i) PVd(Ponto(i * 10.0, 0), "PV-" + std::to_string(i), 100, 9);
    acad::BlockReference* a = PVd(Ponto(0, 50), "PV-A", 100);
    acad::BlockReference* b = PVd(Ponto(60, 50), "PV-B", 100);
    TRd(a, b, "T-1", "60.00", "0.010000", "150", "PVC", 1, "Grama");

    // The user presses "Cancelar" at the third yield of the manhole pass.
    int yields = 0;
    std::string mensagem;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        for (forms::Form* f : forms::Forms()) {
            auto* c = dynamic_cast<frmCancelar*>(f);
            if (!c || !c->Visible()) continue;
            mensagem = c->Mensagem();
            if (++yields == 3) forms::user::Click(c->CmdCancel);
        }
    });
    timer.start();
    Executa(kTodas);
    timer.stop();

    EXPECT_EQ(mensagem, "Verificando PVs...");
    // Some manholes were checked; no reach pass follows a cancelled one, and
    // the faults found so far are reported.
    const auto lista = LinhasDaLista();
    EXPECT_GT(lista.size(), 0u);
    EXPECT_LT(lista.size(), 20u);
    EXPECT_EQ(lista, std::vector<std::string>(lista.size(), "Etapa: (9)"));
    EXPECT_EQ(respostas.Relatorios().size(), 1u);
    for (forms::Form* f : forms::Forms()) EXPECT_EQ(dynamic_cast<frmCancelar*>(f), nullptr);
    EXPECT_EQ(listas.Barra.Caption(), "");
}
