// The material quantities of a designed network and the table drawn from
// them: pipe between manhole walls, chimneys and extra height, drop pipes and
// steps, stages apart and found by number, blocks left out and reported, the
// table's rows, steps, numbering and total, and a table block missing.

#include <gtest/gtest.h>

#include <QTimer>

#include "SewerTestSupport.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "sewer/clsSANDb.h"
#include "sewer/clsSANQtt.h"
#include "sewer/modBlocosSAN.h"
#include "shell/frmCancelar.h"

using sewertest::Atributo;
using sewertest::Atributos;

namespace {

class Quantidades : public sewertest::SewerTest {
protected:
    Quantidades()
    {
        // "E-PV" is the DN 1000 type (the first of its block); the special
        // manhole stands for a DN 600 one here.
        for (PVBlockRec& t : gPVBlocos)
            if (t.Bloco == "E-PV250") t.DiamNominal = "600";
        qtt.gPRECCOTA = 2;
        qtt.gPRECDIST = 2;
    }

    acad::BlockReference* Pv(const Ponto& P, const std::string& Numero, const std::string& CP, int Etapa = 1,
                             const std::string& Tipo = "E-PV")
    {
        return des.DrawPV(P, 0.0, Tipo, Numero, "100.000", "98.000", CP, Etapa, false);
    }
    // A reach with the drop marks and height written as given.
    acad::BlockReference* Tr(acad::BlockReference* A, acad::BlockReference* B, const std::string& Nome,
                             const std::string& Comp, int Etapa = 1, const std::string& Diam = "150",
                             const std::string& TQ = "", const std::string& DG = "", const std::string& TCP = "")
    {
        std::string codigo;
        acad::BlockReference* t = des.DrawTR(A, B, Diam, Comp, "0.000000", "PVC", Etapa, Nome, "Asfalto", codigo);
        SetAtributo("TQ", TQ, t);
        SetAtributo("DG", DG, t);
        SetAtributo("TCP", TCP, t);
        return t;
    }
    const QttEtapaRec& Etapa(int Numero)
    {
        for (const QttEtapaRec& e : qtt.Etapas())
            if (e.Etapa == Numero) return e;
        throw std::runtime_error("etapa");
    }
    static const QttDiametroRec& Diam(const QttEtapaRec& E, const std::string& Mat, const std::string& D)
    {
        for (const QttMaterialRec& m : E.Materiais)
            if (m.Material == Mat)
                for (const QttDiametroRec& d : m.Diametros)
                    if (d.Diametro == D) return d;
        throw std::runtime_error("diâmetro");
    }
    static const QttPVRec& Tipo(const QttEtapaRec& E, const std::string& Bloco)
    {
        for (const QttPVRec& t : E.PVs)
            if (t.Bloco == Bloco) return t;
        throw std::runtime_error("tipo");
    }
    bool Materiais()
    {
        bool cancelado = false;
        qtt.QTTMateriais(cancelado);
        return cancelado;
    }
    // The table's rows, top to bottom: block name, Y and its attributes.
    struct Linha {
        std::string Bloco;
        double Y;
        std::map<std::string, std::string> Att;
    };
    std::vector<Linha> Tabela()
    {
        std::vector<Linha> v;
        for (acad::BlockReference* b : Todos<acad::BlockReference>())
            if (b->Name().rfind("RQ-", 0) == 0) v.push_back({b->Name(), b->InsertionPoint().y, Atributos(b)});
        return v;
    }
    void DefineTabela()
    {
        for (const char* b : {"RQ-A", "RQ-E", "RQ-I", "RQ-T"}) ASSERT_TRUE(DefineBlocoSAN(b));
    }

    clsSANQtt qtt;
};

TEST_F(Quantidades, PipesRunBetweenTheWallsWithDropPipesAndStepsPerStage)
{
    acad::BlockReference* a = Pv(Ponto(0, 0), "1", "1.000", 1, "E-PV250");
    acad::BlockReference* b = Pv(Ponto(40, 0), "2", "1.000");
    acad::BlockReference* c = Pv(Ponto(80, 0), "3", "1.000");
    acad::BlockReference* d = Pv(Ponto(120, 0), "4", "1.000", 2);
    acad::BlockReference* e = Pv(Ponto(160, 0), "5", "1.000", 2);
    Tr(a, b, "1", "40.00");                              // 40 - (600 + 1000) / 2000
    Tr(b, c, "2", "40.00", 1, "150", "", "O", "0.30");   // a step
    Tr(c, d, "3", "40.00", 2, "150", "O", "O", "0.80");  // both marks: a drop pipe
    Tr(d, e, "4", "40.00", 2, "200", "O", "", "1.20");
    // Found wherever the view is.
    app->ZoomCenter({5000, 5000, 0}, 10);

    EXPECT_FALSE(Materiais());
    EXPECT_TRUE(mensagens.Lista().empty()) << mensagens.Textos()[0];
    const QttEtapaRec& e1 = Etapa(1);
    EXPECT_TRUE(e1.Usada);
    // 39.20 + 39.00
    EXPECT_EQ(FormatNum(Diam(e1, "PVC", "150").Comprimento, 2), "78.20");
    EXPECT_EQ(Diam(e1, "PVC", "150").Degraus, 1);
    EXPECT_EQ(FormatNum(Diam(e1, "PVC", "150").AlturaDegraus, 2), "0.30");
    EXPECT_EQ(Diam(e1, "PVC", "150").TubosQueda, 0);
    const QttEtapaRec& e2 = Etapa(2);
    EXPECT_EQ(FormatNum(Diam(e2, "PVC", "150").Comprimento, 2), "39.00");
    EXPECT_EQ(Diam(e2, "PVC", "150").TubosQueda, 1);
    EXPECT_EQ(Diam(e2, "PVC", "150").Degraus, 0);
    EXPECT_EQ(FormatNum(Diam(e2, "PVC", "200").AlturaTubosQueda, 2), "1.20");
    EXPECT_FALSE(Etapa(0).Usada);
    EXPECT_FALSE(Etapa(3).Usada);
}

TEST_F(Quantidades, OneReachOfFortyMetresBetweenDn1000And600Gives3920)
{
    Tr(Pv(Ponto(0, 0), "1", "1.000", 1, "E-PV250"), Pv(Ponto(40, 0), "2", "1.000"), "1", "40.00");
    EXPECT_FALSE(Materiais());
    EXPECT_EQ(FormatNum(Diam(Etapa(1), "PVC", "150").Comprimento, 2), "39.20");
}

TEST_F(Quantidades, ASlopeOrTopElevationThatIsNoNumberLeavesTheLengthCounted)
{
    acad::BlockReference* t = Tr(Pv(Ponto(0, 0), "1", "1.000"), Pv(Ponto(40, 0), "2", "1.000"), "1", "40.00");
    EXPECT_FALSE(Materiais());
    EXPECT_EQ(FormatNum(Diam(Etapa(1), "PVC", "150").Comprimento, 2), "39.00");

    // Neither is read for a quantity: the reach counts as before and is not reported.
    SetAtributo("DEC", "0,5%", t);
    SetAtributo("TCS", "?", t);
    EXPECT_FALSE(Materiais());
    EXPECT_TRUE(mensagens.Lista().empty()) << mensagens.Textos()[0];
    EXPECT_EQ(FormatNum(Diam(Etapa(1), "PVC", "150").Comprimento, 2), "39.00");

    // The drop height is read: one that is no number leaves the reach out,
    // and the report names it alone.
    SetAtributo("TCP", "x", t);
    EXPECT_FALSE(Materiais());
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    const std::string r = mensagens.Lista()[0].Texto;
    EXPECT_NE(r.find("o atributo TCP (\"x\") não é um número."), std::string::npos) << r;
    EXPECT_EQ(r.find("DEC"), std::string::npos) << r;
    EXPECT_EQ(r.find("TCS"), std::string::npos) << r;
    EXPECT_EQ(FormatNum(Diam(Etapa(1), "PVC", "150").Comprimento, 2), "0.00");
}

TEST_F(Quantidades, ManholesCountChimneysAndExtraHeightShallowOnesLowerIt)
{
    // The first "E-PV" type has a chimney of 1.00 m.
    Pv(Ponto(0, 0), "1", "2.50");   // chimney; 0.50
    Pv(Ponto(10, 0), "2", "2.00");  // exactly chimney + 1: no chimney; 1.00
    Pv(Ponto(20, 0), "3", "0.80");  // -0.20
    Pv(Ponto(30, 0), "4", "2.00", 3);
    EXPECT_FALSE(Materiais());
    const QttPVRec& t1 = Tipo(Etapa(1), "E-PV");
    EXPECT_EQ(t1.Quantidade, 3);
    EXPECT_EQ(t1.Chamines, 1);
    EXPECT_EQ(FormatNum(t1.Acrescimo, 2), "1.30");
    EXPECT_EQ(Tipo(Etapa(3), "E-PV").Quantidade, 1);
    EXPECT_FALSE(Etapa(2).Usada);
}

TEST_F(Quantidades, BlocksThatCannotBeCountedAreLeftOutAndNamedOnce)
{
    acad::BlockReference* a = Pv(Ponto(0, 0), "1", "1.50");
    acad::BlockReference* b = Pv(Ponto(40, 0), "2", "1.50");
    acad::BlockReference* c = Pv(Ponto(80, 0), "3", "1.50");
    acad::BlockReference* d = Pv(Ponto(120, 0), "4", "1.50");
    Tr(a, b, "1", "40.00");
    // Read after a good reach, this one must not borrow its stage.
    SetAtributo("ET", "", Tr(b, c, "2", "40.00"));
    SetAtributo("ET", "9", Tr(c, d, "3", "40.00"));
    acad::BlockReference* semPV = Tr(a, d, "4", "40.00");
    d->Delete();
    SetAtributo("CP", "fundo", c);
    SetAtributo("ET", "7", b);

    EXPECT_FALSE(Materiais());
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    const std::string r = mensagens.Lista()[0].Texto;
    EXPECT_NE(r.find("Blocos deixados fora dos quantitativos:"), std::string::npos) << r;
    EXPECT_NE(r.find("Trecho 2 (E-TRSAN"), std::string::npos) << r;
    EXPECT_NE(r.find("etapa \"9\" fora do catálogo"), std::string::npos) << r;
    EXPECT_NE(r.find("Trecho 4 (E-TRSAN, " + semPV->Handle() + "): PVJ não localizado."), std::string::npos) << r;
    EXPECT_NE(r.find("PV 3 (E-PV, " + c->Handle() + "): a profundidade (CP) não é um número."), std::string::npos) << r;
    EXPECT_NE(r.find("PV 2 (E-PV, " + b->Handle() + "): etapa \"7\" fora do catálogo."), std::string::npos) << r;
    EXPECT_EQ(FormatNum(Diam(Etapa(1), "PVC", "150").Comprimento, 2), "39.00");
    EXPECT_EQ(Tipo(Etapa(1), "E-PV").Quantidade, 1);
}

TEST_F(Quantidades, TheTableHasItsRowsStepsNumberingAndTotal)
{
    for (PVBlockRec& t : gPVBlocos)
        if (t.Bloco == "E-PV") t.Chamine = 0.5;
    acad::BlockReference* a = Pv(Ponto(0, 0), "1", "2.00");
    Pv(Ponto(0, 20), "2", "2.00");
    acad::BlockReference* b = Pv(Ponto(40, 0), "3", "2.00");
    acad::BlockReference* c = Pv(Ponto(80, 0), "4", "1.00", 2);
    Tr(a, b, "1", "41.00");
    Tr(b, c, "2", "31.00", 2, "150", "O", "O", "0.80");
    DefineTabela();
    EXPECT_FALSE(Materiais());
    qtt.QTTPrint(Ponto(500, 100));

    const std::vector<Linha> t = Tabela();
    std::vector<std::string> v;
    for (const Linha& l : t) {
        std::string s = l.Bloco + " " + FormatNum(l.Y, 1);
        for (const char* tag : {"ETA", "N", "ESP", "UN", "QTT", "TOTAL"})
            if (l.Att.count(tag)) s += "|" + l.Att.at(tag);
        v.push_back(s);
    }
    const std::vector<std::string> esperado = {
        "RQ-A 100.0",
        "RQ-E 95.0|1a. Etapa",
        "RQ-I 92.0|1|Poço de visita DN 1000 até 2,50 m|Un.|3",
        "RQ-I 89.0|2|Acréscimo de Poço de visita DN 1000 até 2,50 m|m|1.50",
        "RQ-I 86.0|3|Chaminé para Poço de visita DN 1000 até 2,50 m|Un.|3",
        "RQ-I 83.0|4|Tubos de PVC DN 150|m|40.00",
        "RQ-E 78.0|2a. Etapa",
        "RQ-I 75.0|5|Poço de visita DN 1000 até 2,50 m|Un.|1",
        "RQ-I 72.0|6|Tubos de PVC DN 150|m|30.00",
        "RQ-I 69.0|7|Tubos de Queda em PVC DN 150|Un.|1",
        "RQ-I 66.0|8|Altura de Tubos de Queda em PVC DN 150|m|0.80",
        "RQ-T 66.0|70.00",
    };
    EXPECT_EQ(v, esperado);
    // The code column keeps its defined value.
    EXPECT_EQ(t[2].Att.at("COD"), "");
}

TEST_F(Quantidades, AnEmptyNetworkGivesTheHeadAndATotalOfZero)
{
    DefineTabela();
    EXPECT_FALSE(Materiais());
    qtt.QTTPrint(Ponto(0, 0));
    const std::vector<Linha> t = Tabela();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].Bloco, "RQ-A");
    EXPECT_EQ(t[1].Bloco, "RQ-T");
    EXPECT_EQ(t[1].Y, 0.0);
    EXPECT_EQ(t[1].Att.at("TOTAL"), "0.00");
}

TEST_F(Quantidades, AMissingTableBlockDrawsNothing)
{
    Pv(Ponto(0, 0), "1", "2.00");
    for (const char* b : {"RQ-A", "RQ-E", "RQ-T"}) ASSERT_TRUE(DefineBlocoSAN(b));
    EXPECT_FALSE(Materiais());
    qtt.QTTPrint(Ponto(0, 0));
    EXPECT_TRUE(Tabela().empty());
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Texto,
              "A tabela de quantitativos não foi desenhada: falta no desenho a definição do bloco RQ-I.");
}

TEST_F(Quantidades, CancelStopsTheReachPassAndSkipsTheManholes)
{
    std::vector<acad::BlockReference*> pvs;
    for (int i = 0; i < 10; ++i) pvs.push_back(Pv(Ponto(i * 40.0, 0), std::to_string(i), "1.50"));
    for (int i = 0; i + 1 < 10; ++i) Tr(pvs[i], pvs[i + 1], std::to_string(i), "40.00");
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
    EXPECT_TRUE(Materiais());
    timer.stop();
    EXPECT_EQ(mensagem, "Levantando Quantitativos...");
    EXPECT_EQ(Tipo(Etapa(1), "E-PV").Quantidade, 0);
    EXPECT_LT(Diam(Etapa(1), "PVC", "150").Comprimento, 9 * 39.0f);
    for (forms::Form* f : forms::Forms()) EXPECT_EQ(dynamic_cast<frmCancelar*>(f), nullptr);
}

}  // namespace
