// The capture of the generic network into the PV and TR tables, the classes
// of its manholes with their markers and the check of the collector numbers;
// then the collector walks that number the reaches and manholes, automatic
// and picked.

#include <gtest/gtest.h>

#include "VerifTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modVista.h"
#include "platform/acad/PolylineEntities.h"
#include "sewer/clsSANExp.h"
#include "sewer/modRedeSAN.h"
#include "shell/modGlobais.h"

using namespace veriftest;
using sewertest::Atributos;
using sewertest::Perto;

namespace {

class Captura : public VerifTest {
protected:
    Captura()
    {
        exp.cProgress = &listas.Barra;
        gListPLs.clear();
    }

    int Captura_()
    {
        numerados = false;
        menor = -1;
        return exp.CaptureRedeGen(numerados, menor, gListPLs);
    }
    std::string Attr(acad::BlockReference* B, const std::string& Tag) { return Atributos(B).at(Tag); }
    // Separate one-reach collectors, starts carrying the texts given.
    std::vector<acad::BlockReference*> Inicios(const std::vector<std::string>& Coletores)
    {
        std::vector<acad::BlockReference*> v;
        double y = 0;
        for (const std::string& c : Coletores) {
            acad::BlockReference* a = PVg(Ponto(0, y), "S" + std::to_string(v.size()));
            TRg(a, PVg(Ponto(30, y), "E" + std::to_string(v.size())));
            SetAtributo("COLETOR", c, a);
            v.push_back(a);
            y += 40;
        }
        return v;
    }
    const TRRec& TrDe(acad::BlockReference* Tr)
    {
        for (int i = 0; i < gNumTRs; ++i)
            if (gTRs[static_cast<std::size_t>(i)].ObjTR == Tr->ObjectID()) return gTRs[static_cast<std::size_t>(i)];
        throw std::runtime_error("reach not in the table");
    }
    std::vector<acad::LWPolyline*> Tracos()
    {
        std::vector<acad::LWPolyline*> v;
        for (acad::LWPolyline* p : Todos<acad::LWPolyline>())
            if (p->Layer() == gLayerConf && p->ConstantWidth() == 2.0) v.push_back(p);
        return v;
    }

    clsSANExp exp;
    bool numerados = false;
    int menor = -1;
};

// Collector 3 from A through B to the junction C, collector 1 from D to C,
// then C to the end E.
struct Juncao {
    acad::BlockReference *A, *B, *C, *D, *E, *AB, *BC, *DC, *CE;
};

}  // namespace

TEST_F(Captura, ManholesAreClassedByTheirReachesAndMarked)
{
    acad::BlockReference* a = PVg(Ponto(0, 0), "A");
    acad::BlockReference* b = PVg(Ponto(30, 0), "B");
    acad::BlockReference* c = PVg(Ponto(60, 0), "C");
    acad::BlockReference* d = PVg(Ponto(60, 40), "D");
    acad::BlockReference* e = PVg(Ponto(90, 0), "E");
    acad::BlockReference* f = PVg(Ponto(0, 100), "F");
    acad::BlockReference* g = PVg(Ponto(30, 100), "G");
    acad::BlockReference* h = PVg(Ponto(0, 130), "H");
    acad::BlockReference* ab = TRg(a, b, "SIM", "Asfalto", "PVC", 2);
    TRg(b, c);
    TRg(d, c);
    TRg(c, e);
    TRg(f, g);
    TRg(f, h);
    SetAtributo("ET", "1.5", b);  // not a whole number: stage 0
    SetAtributo("TRECHO", "velho", ab);
    Doc().Layers().Add("GEN_TextosPV");

    EXPECT_EQ(Captura_(), 2);
    EXPECT_FALSE(numerados);  // no start carries a number
    EXPECT_EQ(menor, 0);
    EXPECT_EQ(gListPLs, (std::vector<std::int32_t>{a->ObjectID(), d->ObjectID()}));
    EXPECT_EQ(gNumPVs, 8);
    EXPECT_EQ(gNumTRs, 6);
    EXPECT_EQ(exp.CaptureNumPVs, 0);
    EXPECT_FALSE(Doc().Layers().Item("GEN_TextosPV")->Freeze());

    // PV records: one per block, in the order the reaches met them.
    const PVRec& pa = gPVs[static_cast<std::size_t>(TrDe(ab).IndPV1)];
    EXPECT_EQ(pa.Nome, "A");
    EXPECT_EQ(pa.CT, "100.000");
    EXPECT_EQ(pa.Handle, a->Handle());
    EXPECT_EQ(pa.NumSaidas, 1);
    EXPECT_EQ(pa.NumRepeticoes, 0);
    EXPECT_EQ(gPVs[static_cast<std::size_t>(TrDe(ab).IndPV2)].Etapa, "0");
    const TRRec& t = TrDe(ab);
    EXPECT_EQ(t.Trecho, "");
    EXPECT_EQ(t.Comp, "30.00");
    EXPECT_EQ(t.Material, "PVC");
    EXPECT_EQ(t.Pavimento, "Asfalto");
    EXPECT_EQ(t.Contrib, "SIM");
    EXPECT_EQ(t.Etapa, "2");
    EXPECT_EQ(t.ObjPV1, a->ObjectID());
    EXPECT_EQ(t.ObjPV2, b->ObjectID());
    EXPECT_EQ(Attr(ab, "TRECHO"), "");

    // Markers: starts, the junction, the three ends; the through PVs and F
    // (two reaches leave it, none arrives) have none.
    std::vector<std::string> vistos;
    for (const Marcador& m : Marcas()) {
        if (m.Mensagem == "PL") {
            EXPECT_TRUE(Marcou(m, "PL", 10.0, 256));
        } else if (m.Mensagem == "CR") {
            EXPECT_TRUE(Marcou(m, "CR", 3.0, 256));
        } else {
            EXPECT_TRUE(Marcou(m, "FIM", 15.0, 3));
        }
        vistos.push_back(m.Mensagem + "@" + std::to_string(int(m.P.X)) + "," + std::to_string(int(m.P.Y)));
    }
    std::sort(vistos.begin(), vistos.end());
    EXPECT_EQ(vistos,
              (std::vector<std::string>{"CR@60,0", "FIM@0,130", "FIM@30,100", "FIM@90,0", "PL@0,0", "PL@60,40"}));
    // Ends are renamed in the drawing only.
    EXPECT_EQ(Attr(e, "NUMERO"), "FIM");
    EXPECT_EQ(Attr(g, "NUMERO"), "FIM");
    EXPECT_EQ(Attr(c, "NUMERO"), "C");
    EXPECT_EQ(Attr(f, "NUMERO"), "F");
    (void)h;
}

TEST_F(Captura, CollectorNumbersOnTheStartsAreChecked)
{
    struct Caso {
        std::vector<std::string> coletores;
        bool numerados;
        int menor;
    };
    const Caso casos[] = {
        {{"5", "3", "7"}, true, 3},
        {{"1", "001"}, false, 1},
        {{"", "4"}, false, 4},
        {{"x2", "4"}, false, 4},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.coletores[0] + " " + c.coletores[1]);
        for (acad::Entity* e : std::vector<acad::Entity*>(Doc().ModelSpace().begin(), Doc().ModelSpace().end()))
            e->Delete();
        Inicios(c.coletores);
        EXPECT_EQ(Captura_(), static_cast<int>(c.coletores.size()));
        EXPECT_EQ(numerados, c.numerados);
        EXPECT_EQ(menor, c.menor);
        EXPECT_EQ(gListPLs.size(), c.coletores.size());  // this capture's starts only
    }

    // A through PV with a number spoils the numbering.
    for (acad::Entity* e : std::vector<acad::Entity*>(Doc().ModelSpace().begin(), Doc().ModelSpace().end()))
        e->Delete();
    acad::BlockReference* a = PVg(Ponto(0, 0), "A");
    acad::BlockReference* b = PVg(Ponto(30, 0), "B");
    TRg(a, b);
    TRg(b, PVg(Ponto(60, 0), "C"));
    SetAtributo("COLETOR", "1", a);
    SetAtributo("COLETOR", "2", b);
    EXPECT_EQ(Captura_(), 1);
    EXPECT_FALSE(numerados);
    EXPECT_EQ(menor, 1);
}

TEST_F(Captura, AReachEndTakesTheNearestManholeTiesToTheFirstDrawn)
{
    acad::BlockReference* a = PVg(Ponto(0, 0), "A");
    acad::BlockReference* tr = TRg(a, PVg(Ponto(30, 0), "B"));
    acad::BlockReference* x = PVg(Ponto(-1, 0), "X");
    SetAtributo("IPV1", "-0.5,0", tr);  // A and X both 0.5 away
    EXPECT_EQ(Captura_(), 1);
    EXPECT_EQ(gTRs[0].ObjPV1, a->ObjectID());
    SetAtributo("IPV1", "-0.6,0", tr);  // X nearer
    EXPECT_EQ(Captura_(), 1);
    EXPECT_EQ(gTRs[0].ObjPV1, x->ObjectID());
}

TEST_F(Captura, AnEarlyStopGivesBackTheTextLayersAndTheView)
{
    Doc().Layers().Add("GEN_TextosPV");
    Doc().Layers().Add("N_PV")->SetFreeze(true);
    // No reach at all.
    ZoomCentro(Ponto(500, 500), 77);
    numerados = true;
    menor = 9;
    gListPLs = {42};
    EXPECT_EQ(exp.CaptureRedeGen(numerados, menor, gListPLs), 0);
    ASSERT_EQ(respostas.Mostradas().size(), 1u);
    EXPECT_EQ(respostas.Mostradas()[0].Titulo, "Lendo Trechos...");
    EXPECT_EQ(respostas.Mostradas()[0].Texto, "Nenhum trecho localizado.");

    // A reach end with no manhole.
    acad::BlockReference* tr = TRg(PVg(Ponto(0, 0), "A"), PVg(Ponto(30, 0), "B"));
    SetAtributo("IPV2", "300,300", tr);
    SetAtributo("TRECHO", "T1", tr);
    ZoomCentro(Ponto(500, 500), 77);
    EXPECT_EQ(exp.CaptureRedeGen(numerados, menor, gListPLs), 0);
    ASSERT_EQ(respostas.Mostradas().size(), 2u);
    EXPECT_EQ(respostas.Mostradas()[1].Titulo, "Capturando Rede");
    EXPECT_EQ(respostas.Mostradas()[1].Texto, "PV não localizado");
    EXPECT_TRUE(Perto(Centro(), Ponto(500, 500, 0)));
    EXPECT_DOUBLE_EQ(Altura(), 77);
    EXPECT_FALSE(Doc().Layers().Item("GEN_TextosPV")->Freeze());
    EXPECT_TRUE(Doc().Layers().Item("N_PV")->Freeze());
    // What the caller passed stays; nothing was marked.
    EXPECT_TRUE(numerados);
    EXPECT_EQ(menor, 9);
    EXPECT_EQ(gListPLs, std::vector<std::int32_t>{42});
    EXPECT_TRUE(Marcas().empty());
    EXPECT_EQ(Attr(tr, "TRECHO"), "");
}

TEST_F(Captura, AClosedRingHasNoCollectorStart)
{
    acad::BlockReference* a = PVg(Ponto(0, 0), "A");
    acad::BlockReference* b = PVg(Ponto(30, 0), "B");
    acad::BlockReference* c = PVg(Ponto(15, 25), "C");
    TRg(a, b);
    TRg(b, c);
    TRg(c, a);
    EXPECT_EQ(Captura_(), 0);
    EXPECT_TRUE(numerados);
    EXPECT_EQ(menor, 0);
    EXPECT_TRUE(Marcas().empty());
}

// ---------------------------------------------------------------- numbering

namespace {

class Numeracao : public Captura {
protected:
    Juncao Rede()
    {
        Juncao j{};
        j.A = PVg(Ponto(0, 0), "A");
        j.B = PVg(Ponto(30, 0), "B");
        j.C = PVg(Ponto(60, 0), "C");
        j.D = PVg(Ponto(60, 40), "D");
        j.E = PVg(Ponto(90, 0), "E");
        j.AB = TRg(j.A, j.B);
        j.BC = TRg(j.B, j.C);
        j.DC = TRg(j.D, j.C);
        j.CE = TRg(j.C, j.E);
        SetAtributo("COLETOR", "3", j.A);
        SetAtributo("COLETOR", "1", j.D);
        return j;
    }
};

}  // namespace

TEST_F(Numeracao, CollectorsAreWalkedInAscendingOrderOfTheirNumbers)
{
    Juncao j = Rede();
    ASSERT_EQ(Captura_(), 2);
    ASSERT_TRUE(numerados);
    // The second capture, as the export does, reads the "FIM" the first wrote.
    ASSERT_EQ(Captura_(), 2);
    EXPECT_EQ(exp.CaptureAuto(1, false, false, 1, ""), "003");

    EXPECT_EQ(Attr(j.DC, "TRECHO"), "001-001");
    EXPECT_EQ(Attr(j.CE, "TRECHO"), "001-002");
    EXPECT_EQ(Attr(j.AB, "TRECHO"), "003-001");
    EXPECT_EQ(Attr(j.BC, "TRECHO"), "003-002");
    EXPECT_EQ(TrDe(j.DC).Aux1, "-0-");
    EXPECT_EQ(TrDe(j.DC).Aux2, "001-002");
    EXPECT_EQ(TrDe(j.CE).Aux1, "001-001");
    EXPECT_EQ(TrDe(j.CE).Aux2, "FIM");
    EXPECT_EQ(TrDe(j.BC).Aux1, "003-001");
    EXPECT_EQ(TrDe(j.BC).Aux2, "003-003");  // ends at the junction
    EXPECT_EQ(TrDe(j.AB).Trecho, "003-001");
    EXPECT_EQ(Attr(j.D, "COLETOR"), "001");
    EXPECT_EQ(Attr(j.A, "COLETOR"), "003");
    EXPECT_EQ(Attr(j.B, "COLETOR"), " ");
    EXPECT_EQ(Attr(j.C, "COLETOR"), " ");
    EXPECT_EQ(Attr(j.E, "COLETOR"), " ");
    // Names unchanged, written into the reaches.
    EXPECT_EQ(Attr(j.DC, "PV1"), "D");
    EXPECT_EQ(Attr(j.DC, "PV2"), "C");
    EXPECT_EQ(Attr(j.CE, "PV2"), "FIM");

    // The trace of each walk: its start twice, then each manhole reached.
    const auto tracos = Tracos();
    ASSERT_EQ(tracos.size(), 2u);
    EXPECT_EQ(cadtest::Vertices(tracos[0]->Coordinates()),
              (std::vector<Ponto>{Ponto(60, 40), Ponto(60, 40), Ponto(60, 0), Ponto(90, 0)}));
    EXPECT_EQ(cadtest::Vertices(tracos[1]->Coordinates()),
              (std::vector<Ponto>{Ponto(0, 0), Ponto(0, 0), Ponto(30, 0), Ponto(60, 0)}));
}

TEST_F(Numeracao, CollectorsAndManholesAreRenumbered)
{
    Juncao j = Rede();
    SetAtributo("TRECHO", "velho", j.DC);
    ASSERT_EQ(Captura_(), 2);
    EXPECT_EQ(exp.CaptureAuto(10, true, true, 1, "P"), "003");
    EXPECT_EQ(Attr(j.DC, "TRECHO"), "010-001");
    EXPECT_EQ(Attr(j.CE, "TRECHO"), "010-002");
    EXPECT_EQ(Attr(j.AB, "TRECHO"), "011-001");
    EXPECT_EQ(Attr(j.D, "COLETOR"), "010");
    EXPECT_EQ(Attr(j.A, "COLETOR"), "011");
    // Walk order: D, C, then A, B; the end keeps its name.
    EXPECT_EQ(Attr(j.D, "NUMERO"), "P001");
    EXPECT_EQ(Attr(j.C, "NUMERO"), "P002");
    EXPECT_EQ(Attr(j.A, "NUMERO"), "P003");
    EXPECT_EQ(Attr(j.B, "NUMERO"), "P004");
    EXPECT_EQ(Attr(j.E, "NUMERO"), "FIM");
    EXPECT_EQ(exp.CaptureNumPVs, 4);
    EXPECT_EQ(Attr(j.DC, "PV1"), "001");
    EXPECT_EQ(Attr(j.DC, "PV2"), "002");
    EXPECT_EQ(Attr(j.BC, "PV1"), "004");
    EXPECT_EQ(Attr(j.BC, "PV2"), "002");
    EXPECT_EQ(Attr(j.CE, "PV2"), "E");

    // Numbers read from the text's start; nothing positive, nothing walked.
    Captura_();
    SetAtributo("COLETOR", "2 a", j.A);
    SetAtributo("COLETOR", "-1", j.D);
    EXPECT_EQ(exp.CaptureAuto(1, false, false, 1, ""), "002");
    EXPECT_EQ(Attr(j.AB, "TRECHO"), "002-001");
    EXPECT_EQ(Attr(j.CE, "TRECHO"), "002-003");
    EXPECT_EQ(Attr(j.DC, "TRECHO"), "");
    Captura_();
    SetAtributo("COLETOR", "0", j.A);
    SetAtributo("COLETOR", "x", j.D);
    EXPECT_EQ(exp.CaptureAuto(1, false, false, 1, ""), "");
    EXPECT_EQ(Attr(j.AB, "TRECHO"), "");
    EXPECT_EQ(Attr(j.AB, "PV1"), "P003");  // the name the last capture read
}

TEST_F(Numeracao, APickedStartIsWalkedOnceAndEscapeGivesUp)
{
    forms::TextBox& prefixo = listas.form.Add<forms::TextBox>("SANPrefixtxt");
    prefixo.SetText(" Q ");
    exp.cTxtPrefix = &prefixo;
    Juncao j = Rede();
    ASSERT_EQ(Captura_(), 2);
    exp.CaptureNumPVs = 6;
    // Close enough to pick a manhole's own lines clear of its "PL" marker.
    ZoomCentro(Ponto(30, 20), 60);

    // A through PV, then Escape: nothing walked.
    script->Point({30.7071, 0.7071, 0}).Escape();
    EXPECT_FALSE(exp.Capture2("001", true));
    EXPECT_EQ(Attr(j.AB, "TRECHO"), "");
    EXPECT_EQ(script->Prompts(), (std::vector<std::string>{"Selecione PV de Montante:", "Selecione PV de Montante:"}));

    // A wrong pick, then the start A (on its circle).
    script->Point({30.7071, 0.7071, 0}).Point({0.7071, 0.7071, 0});
    EXPECT_TRUE(exp.Capture2("001", true));
    EXPECT_EQ(Attr(j.AB, "TRECHO"), "001-001");
    EXPECT_EQ(Attr(j.CE, "TRECHO"), "001-003");
    EXPECT_EQ(Attr(j.A, "NUMERO"), "Q007");
    EXPECT_EQ(Attr(j.C, "NUMERO"), "Q009");
    EXPECT_EQ(gListPLs[0], 0);

    // A again (where its trace now lies) is refused; D is walked and stops at
    // the junction.
    script->Point({0.7071, 0.7071, 0}).Point({60.7071, 40.7071, 0});
    EXPECT_TRUE(exp.Capture2("002", false));
    EXPECT_EQ(Attr(j.DC, "TRECHO"), "002-001");
    EXPECT_EQ(TrDe(j.DC).Aux2, "002-002");
    // No start left: not asked at all.
    const std::size_t perguntas = script->Prompts().size();
    EXPECT_FALSE(exp.Capture2("003", false));
    EXPECT_EQ(script->Prompts().size(), perguntas);
}

TEST_F(Numeracao, AReachWithTwoNumberTextsTakesOneNumber)
{
    // A block definition whose reaches carry "TRECHO" twice.
    TRg(PVg(Ponto(500, 0), "X"), PVg(Ponto(530, 0), "Y"));
    Doc().Blocks().Item("E-TRCGEN")->AddAttribute(1.0, 0, "", {0, -3, 0}, "TRECHO", "");
    acad::BlockReference* a = PVg(Ponto(0, 0), "A");
    acad::BlockReference* b = PVg(Ponto(30, 0), "B");
    acad::BlockReference* ab = TRg(a, b);
    acad::BlockReference* bc = TRg(b, PVg(Ponto(60, 0), "C"));
    SetAtributo("COLETOR", "1", a);
    ASSERT_EQ(Captura_(), 2);
    exp.CaptureAuto(1, false, false, 1, "");
    std::vector<std::string> numeros;
    for (acad::AttributeReference* t : ab->GetAttributes())
        if (t->TagString() == "TRECHO") numeros.push_back(t->TextString());
    EXPECT_EQ(numeros, (std::vector<std::string>{"001-001", "001-001"}));
    EXPECT_EQ(TrDe(ab).Aux2, "001-002");
    EXPECT_EQ(Attr(bc, "TRECHO"), "001-002");
}
