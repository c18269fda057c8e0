// Moving the code labels of fittings and pipes with their leaders, a right
// click in the drawing repeating the last mover until a command ends, and the
// tie dimension showing the text typed for it.

#include <cmath>

#include "DesenhoAgua.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "platform/acad/OtherEntities.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/Tables.h"
#include "water/WATDes.h"

using namespace watertest;

namespace {

class Rotulos : public DesenhoAgua {
protected:
    Rotulos()
    {
        gAppPath = PastaDoPrograma().string() + "/";
        for (const char* b : {"A-TE", "A-LUVA", "A-TUBO"}) EXPECT_TRUE(CriaBlocoConexao(b, false));
        app->ZoomCenter({0, 0, 0}, 400);
    }

    // A tee as the panel leaves it: scale 0.5, its codes written and hidden.
    acad::BlockReference* Te(const Ponto& P)
    {
        acad::BlockReference* b = gModelSpace->InsertBlock(P, "A-TE", 0.5, 0.5, 0.5, 0);
        const char* tags[] = {"CODIGO", "CODIG1", "CODIG2", "CODIG3", "CODIG4"};
        for (const char* t : tags) SetAtributo(t, std::string("X") + t, b);
        for (acad::AttributeReference* a : b->GetAttributes()) {
            a->SetVisible(false);
            a->SetBackward(true);
            a->SetRotation(0.3);
        }
        return b;
    }
    // A pipe label between two sleeves at X 0 and 50, drawn from left to
    // right or from right to left (mirrored), label at (25, Y).
    acad::BlockReference* RotuloDeTubo(double Y, bool DaDireita)
    {
        gModelSpace->InsertBlock(Ponto(0, Y, 0), "A-LUVA", 1, 1, 1, 0);
        gModelSpace->InsertBlock(Ponto(50, Y, 0), "A-LUVA", 1, 1, 1, 0);
        for (acad::BlockReference* b : Blocos("A-LUVA")) {
            SetAtributo("CODIGO", "LUFFDN100", b);
            SetAtributo("MATERIAL", "Ferro Fundido", b);
        }
        if (DaDireita)
            script->Point({48.1, Y, 0}).Point({1.9, Y, 0});
        else
            script->Point({1.9, Y, 0}).Point({48.1, Y, 0});
        des.DrawTubo("", "", "1");
        std::vector<acad::BlockReference*> r = Blocos("A-TUBO");
        EXPECT_FALSE(r.empty());
        return r.empty() ? nullptr : r.back();
    }

    std::vector<acad::LWPolyline*> Chamadas()
    {
        std::vector<acad::LWPolyline*> v;
        for (acad::Entity* e : Doc().ModelSpace())
            if (auto* p = dynamic_cast<acad::LWPolyline*>(e); p && p->Layer() == "TEXTO_CON") v.push_back(p);
        return v;
    }
    static bool Perto(const Ponto& A, const Ponto& B) { return std::hypot(A.X - B.X, A.Y - B.Y) < 1e-6; }
    // Where a label stands: its alignment point, or its insertion point when left-aligned.
    static Ponto Lugar(acad::AttributeReference* a)
    {
        return Ponto(a->Alignment() == 0 ? a->InsertionPoint() : a->TextAlignmentPoint());
    }
    static double Diferenca(double A, double B) { return std::fabs(std::remainder(A - B, 2 * M_PI)); }
    std::size_t Perguntas() { return script->Requests().size(); }
};

}  // namespace

TEST_F(Rotulos, FittingLabelsGoToEachQuadrantWithTheirOffsetsAndALeader)
{
    struct Caso {
        Ponto Destino;  // from the fitting's point
        int Alinhamento;
    };
    // Up-right left, down-right top left, up-left right, down-left top right;
    // on the fitting's own X or Y the label counts as left of or below it.
    const Caso casos[] = {{{10, 10}, 0}, {{10, -10}, 6}, {{-10, 10}, 2}, {{-10, -10}, 8},
                          {{0, 10}, 2},  {{10, 0}, 6},   {{0, 0}, 8}};
    const double deslocamento[] = {3.9, 1.95, 0, -1.95, -3.9};
    const char* tags[] = {"CODIG1", "CODIG2", "CODIGO", "CODIG3", "CODIG4"};
    int k = 0;
    for (const Caso& c : casos) {
        SCOPED_TRACE(k);
        const Ponto P0(-150 + 50.0 * k, 100, 0);
        acad::BlockReference* te = Te(P0);
        const Ponto D(P0.X + c.Destino.X, P0.Y + c.Destino.Y, 0);
        script->Point(P0).Point(D);
        des.MoverAtt();
        EXPECT_EQ(script->Prompts().back(), "Destino:");
        EXPECT_EQ(script->Prompts()[script->Prompts().size() - 2], "Selecione objeto:");
        for (int i = 0; i < 5; ++i) {
            acad::AttributeReference* a = Atributo(te, tags[i]);
            ASSERT_NE(a, nullptr);
            EXPECT_EQ(a->Alignment(), c.Alinhamento) << tags[i];
            EXPECT_TRUE(Perto(Lugar(a), {D.X, D.Y + deslocamento[i]})) << tags[i];
            EXPECT_TRUE(a->Visible());
            EXPECT_FALSE(a->Invisible());
            EXPECT_FALSE(a->Backward());
            EXPECT_DOUBLE_EQ(a->Rotation(), 0.0);
            EXPECT_DOUBLE_EQ(a->Height(), 1.5);
        }
        // Not a code label: left as it was.
        EXPECT_FALSE(Atributo(te, "MATERIAL")->Visible());
        EXPECT_DOUBLE_EQ(Atributo(te, "MATERIAL")->Rotation(), 0.3);

        // The leader from 2 units out of the fitting, towards the labels.
        std::vector<acad::LWPolyline*> l = Chamadas();
        ASSERT_EQ(l.size(), static_cast<std::size_t>(k + 1));
        const std::vector<double> v = l.back()->Coordinates();
        ASSERT_EQ(v.size(), 4u);
        const double ang = std::atan2(c.Destino.Y, c.Destino.X);
        EXPECT_TRUE(Perto({v[0], v[1]}, {P0.X + 2 * std::cos(ang), P0.Y + 2 * std::sin(ang)}));
        EXPECT_TRUE(Perto({v[2], v[3]}, D));
        EXPECT_EQ(l.back()->Color(), 256);
        EXPECT_EQ(des.Ferramenta(), "MoverAtt");
        EXPECT_EQ(des.DocumentoObservado(), &Doc());
        ++k;
    }
    // Heard once, however many moves.
    EXPECT_EQ(Doc().BeginRightClick.SubscriberCount(), 1u);
    EXPECT_EQ(Doc().EndCommand.SubscriberCount(), 1u);
    EXPECT_TRUE(caixas.empty());
    EXPECT_EQ(script->Remaining(), 0u);
}

TEST_F(Rotulos, ACancelHidesTheLabelsAndTheNextMoveReplacesOnlyItsOwnLeader)
{
    acad::BlockReference* te = Te({0, 0, 0});
    acad::BlockReference* outro = Te({100, 0, 0});
    script->Point({100, 0, 0}).Point({120, 20, 0});
    des.MoverAtt();
    // A line through the labels' place on another layer is no leader.
    acad::LWPolyline* alheia = gModelSpace->AddLightWeightPolyline({10, 0, 10, 30});

    script->Point({0, 0, 0}).Point({10, 10, 0});
    des.MoverAtt();
    ASSERT_EQ(Chamadas().size(), 2u);
    acad::LWPolyline* primeira = Chamadas().back();

    // No destination: the codes hide, the leader stays; the tool is kept.
    script->Point({0, 0, 0}).Enter();
    des.MoverAtt();
    for (const char* t : {"CODIGO", "CODIG1", "CODIG2", "CODIG3", "CODIG4"}) EXPECT_FALSE(Atributo(te, t)->Visible());
    EXPECT_FALSE(primeira->IsErased());
    EXPECT_EQ(des.Ferramenta(), "MoverAtt");

    // Moved again: shown, the old leader (through CODIGO's place) replaced.
    script->Point({0, 0, 0}).Point({-10, -20, 0});
    des.MoverAtt();
    for (const char* t : {"CODIGO", "CODIG1", "CODIG2", "CODIG3", "CODIG4"}) EXPECT_TRUE(Atributo(te, t)->Visible());
    EXPECT_TRUE(primeira->IsErased());
    std::vector<acad::LWPolyline*> l = Chamadas();
    ASSERT_EQ(l.size(), 2u);
    EXPECT_TRUE(Perto({l.back()->Coordinates()[2], l.back()->Coordinates()[3]}, {-10, -20}));
    EXPECT_FALSE(alheia->IsErased());
    EXPECT_TRUE(Perto(Lugar(Atributo(outro, "CODIGO")), {120, 20}));

    // A block with code labels but no CODIGO moves them and looks for no
    // leader to replace.
    acad::Block* def = Doc().Blocks().Add({0, 0, 0}, "A-SEMCOD");
    def->AddCircle({0, 0, 0}, 1);
    def->AddAttribute(1, 0, "", {0, 0, 0}, "CODIG1", "S1");
    acad::BlockReference* sem = gModelSpace->InsertBlock(Ponto(0, -100, 0), "A-SEMCOD", 1, 1, 1, 0);
    script->Point({1, -100, 0}).Point({10, -90, 0});
    des.MoverAtt();
    script->Point({1, -100, 0}).Point({20, -80, 0});
    des.MoverAtt();
    EXPECT_TRUE(Perto(Lugar(Atributo(sem, "CODIG1")), {20, -76.1}));
    EXPECT_EQ(Chamadas().size(), 4u);
    EXPECT_TRUE(caixas.empty());
    EXPECT_EQ(script->Remaining(), 0u);
}

TEST_F(Rotulos, ARightClickRepeatsTheMoverUntilACommandEnds)
{
    acad::BlockReference* a = Te({0, 0, 0});
    acad::BlockReference* b = Te({50, 0, 0});
    acad::BlockReference* c = Te({100, 0, 0});
    // Nothing to repeat yet.
    Doc().BeginRightClick.Raise({5, 5, 0});
    EXPECT_EQ(Perguntas(), 0u);

    script->Point({0, 0, 0}).Point({10, 10, 0});
    des.MoverAtt();
    script->Point({50, 0, 0}).Point({60, 10, 0});
    Doc().BeginRightClick.Raise({5, 5, 0});
    EXPECT_TRUE(Perto(Lugar(Atributo(b, "CODIGO")), {60, 10}));
    // A right click answering the mover's own question is that answer (no
    // destination: the labels hide), not a new move.
    const std::size_t antes = Perguntas();
    script->Point({100, 0, 0}).RightClick({7, 7, 0});
    Doc().BeginRightClick.Raise({5, 5, 0});
    EXPECT_EQ(Perguntas(), antes + 2);
    EXPECT_FALSE(Atributo(c, "CODIGO")->Visible());
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_EQ(des.Ferramenta(), "MoverAtt");

    // While a command waits for input, a right click answers it.
    const std::size_t n = Perguntas();
    Doc().SendCommand("_dimaligned\r");
    ASSERT_TRUE(Doc().CommandActive());
    Doc().BeginRightClick.Raise({5, 5, 0});
    EXPECT_EQ(Perguntas(), n);
    // Any command that ends, cancelled too, ends the repeating.
    Doc().CommandLine().Cancel();
    EXPECT_EQ(des.Ferramenta(), "");
    Doc().BeginRightClick.Raise({5, 5, 0});
    EXPECT_EQ(Perguntas(), n);
    EXPECT_TRUE(Perto(Lugar(Atributo(a, "CODIGO")), {10, 10}));

    // The pipe label mover repeats itself the same way.
    acad::BlockReference* r = RotuloDeTubo(-100, false);
    ASSERT_NE(r, nullptr);
    script->Point({25, -98.85, 0}).Point({40, -80, 0}).Enter();
    des.MoverAttTubo();
    EXPECT_EQ(des.Ferramenta(), "MoverAttTubo");
    script->Point({40.5, -80, 0}).Enter();
    Doc().BeginRightClick.Raise({5, 5, 0});
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_EQ(Atributo(r, "CODIGO")->Alignment(), 10);
    EXPECT_EQ(des.Ferramenta(), "MoverAttTubo");
    EXPECT_TRUE(caixas.empty());
}

TEST_F(Rotulos, TheDrawingIsHeardUntilItOrTheDrawingObjectGoes)
{
    acad::Document& primeiro = Doc();
    acad::Document* segundo = app->Documents().Add("Acad");
    primeiro.Activate();
    Conecta();
    Te({0, 0, 0});
    {
        clsWATDes local;
        script->Point({0, 0, 0}).Point({10, 10, 0});
        local.MoverAtt();
        EXPECT_EQ(local.DocumentoObservado(), &primeiro);
        EXPECT_EQ(primeiro.BeginRightClick.SubscriberCount(), 1u);
    }
    EXPECT_EQ(primeiro.BeginRightClick.SubscriberCount(), 0u);
    EXPECT_EQ(primeiro.EndCommand.SubscriberCount(), 0u);

    // A move in another drawing moves the hearing there.
    script->Point({0, 0, 0}).Point({20, 20, 0});
    des.MoverAtt();
    segundo->Activate();
    Conecta();
    CriaBlocoConexao("A-TE", false);
    acad::BlockReference* te = gModelSpace->InsertBlock(Ponto(0, 0, 0), "A-TE", 0.5, 0.5, 0.5, 0);
    script->Point({0, 0, 0}).Point({-20, 20, 0});
    des.MoverAtt();
    EXPECT_EQ(Atributo(te, "CODIGO")->Alignment(), 2);
    EXPECT_EQ(des.DocumentoObservado(), segundo);
    EXPECT_EQ(primeiro.BeginRightClick.SubscriberCount(), 0u);
    EXPECT_EQ(segundo->BeginRightClick.SubscriberCount(), 1u);

    // The drawing closed takes the hearing with it.
    app->Documents().Close(*segundo);
    EXPECT_EQ(des.DocumentoObservado(), nullptr);
    EXPECT_EQ(primeiro.BeginRightClick.SubscriberCount(), 0u);
}

TEST_F(Rotulos, ThePipeLabelPutBackTurnedAndMoved)
{
    acad::BlockReference* r = RotuloDeTubo(0, false);
    ASSERT_NE(r, nullptr);
    acad::AttributeReference* cod = Atributo(r, "CODIGO");
    ASSERT_TRUE(Perto(Lugar(cod), {25, 1.15}));

    // A point alone: moved there with a leader from the label's point.
    script->Point({25, 1.2, 0}).Point({40, 20, 0}).Enter();
    des.MoverAttTubo();
    EXPECT_EQ(script->Prompts().back(), "Rotação:");
    EXPECT_EQ(cod->Alignment(), 0);
    EXPECT_TRUE(Perto(Lugar(cod), {40, 20}));
    EXPECT_DOUBLE_EQ(cod->Rotation(), 0.0);
    std::vector<acad::LWPolyline*> l = Chamadas();
    ASSERT_EQ(l.size(), 1u);
    const std::vector<double> v = l[0]->Coordinates();
    EXPECT_TRUE(Perto({v[0], v[1]}, {25, 0}));
    EXPECT_TRUE(Perto({v[2], v[3]}, {40, 20}));

    // A second point turns it there, bottom left, towards that point; the
    // leader of the move goes.
    script->Point({40.5, 20.3, 0}).Point({30, 30, 0}).Point({40, 40, 0});
    des.MoverAttTubo();
    EXPECT_TRUE(l[0]->IsErased());
    EXPECT_TRUE(Chamadas().empty());
    EXPECT_EQ(cod->Alignment(), 12);
    EXPECT_TRUE(Perto(Ponto(cod->TextAlignmentPoint()), {30, 30}));
    EXPECT_NEAR(cod->Rotation(), M_PI / 4, 1e-9);

    // Moved down-left, then no point: back beside the pipe, its leader gone.
    script->Point({30.5, 30.3, 0}).Point({10, -10, 0}).Enter();
    des.MoverAttTubo();
    EXPECT_EQ(cod->Alignment(), 8);
    ASSERT_EQ(Chamadas().size(), 1u);
    script->Point({9.5, -10.5, 0}).Enter();
    des.MoverAttTubo();
    EXPECT_TRUE(Chamadas().empty());
    EXPECT_EQ(cod->Alignment(), 10);
    EXPECT_TRUE(Perto(Ponto(cod->TextAlignmentPoint()), {25, 1.15}));
    EXPECT_LT(Diferenca(cod->Rotation(), 0.0), 1e-5);

    // A label drawn from right to left (Y scale -1) turns by the negated angle.
    acad::BlockReference* m = RotuloDeTubo(-100, true);
    ASSERT_NE(m, nullptr);
    ASSERT_DOUBLE_EQ(m->YScaleFactor(), -1.0);
    acad::AttributeReference* cm = Atributo(m, "CODIGO");
    script->Point(Lugar(cm)).Point({30, -90, 0}).Point({40, -80, 0});
    des.MoverAttTubo();
    EXPECT_EQ(cm->Alignment(), 12);
    EXPECT_NEAR(cm->Rotation(), std::fmod(-M_PI / 4 + 2 * M_PI, 2 * M_PI), 1e-9);
    EXPECT_TRUE(caixas.empty());
    EXPECT_EQ(script->Remaining(), 0u);
}

TEST_F(Rotulos, EachMoverRefusesTheOtherOnesBlocksAndIgnoresWhatIsNoBlock)
{
    acad::BlockReference* r = RotuloDeTubo(0, false);
    ASSERT_NE(r, nullptr);
    acad::BlockReference* te = Te({0, 50, 0});
    const Ponto antes = Lugar(Atributo(r, "CODIGO"));

    script->Point({25, 1.2, 0});
    des.MoverAtt();
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Titulo, "Atenção");
    EXPECT_EQ(caixas[0].Texto, "Use Ferramenta específica para Tubulações.");
    EXPECT_EQ(script->Prompts().back(), "Selecione objeto:");
    EXPECT_TRUE(Perto(Lugar(Atributo(r, "CODIGO")), antes));

    script->Point({0, 50, 0});
    des.MoverAttTubo();
    ASSERT_EQ(caixas.size(), 2u);
    EXPECT_EQ(caixas[1].Titulo, "Atenção");
    EXPECT_EQ(caixas[1].Texto, "Use Ferramenta específica para Conexões.");
    EXPECT_FALSE(Atributo(te, "CODIGO")->Visible());
    EXPECT_EQ(des.Ferramenta(), "");

    // A line: the fitting mover ends at once; the pipe mover asks once more.
    gModelSpace->AddLine({200, 0, 0}, {200, 50, 0});
    std::size_t n = Perguntas();
    script->Point({200, 20, 0});
    des.MoverAtt();
    EXPECT_EQ(Perguntas(), n + 1);
    script->Point({200, 20, 0}).Point({200, 30, 0});
    des.MoverAttTubo();
    EXPECT_EQ(Perguntas(), n + 3);
    // Nothing picked twice.
    script->Point({300, 300, 0}).Point({300, 300, 0});
    des.MoverAtt();
    EXPECT_EQ(Perguntas(), n + 5);
    EXPECT_EQ(caixas.size(), 2u);
    EXPECT_TRUE(Chamadas().empty());
    EXPECT_EQ(des.Ferramenta(), "");
    EXPECT_EQ(script->Remaining(), 0u);
}

TEST_F(Rotulos, TheTieDimensionShowsTheTextAsTypedAndGivesTheSnapBack)
{
    Doc().SetVariable("OSMODE", acad::Variant(37));
    des.DimUno();
    EXPECT_EQ(des.Ferramenta(), "DimUno");
    EXPECT_EQ(Doc().Layers().Item("Amarracao")->Color(), 10);
    EXPECT_EQ(Doc().GetVariable("OSMODE").AsInt(), 512);
    ASSERT_TRUE(Doc().CommandLine().Active());
    EXPECT_EQ(Doc().CommandLine().ActiveCommandName(), "DIMALIGNED");

    script->Point({0, 0, 0}).Point({12, 0, 0}).Point({6, 5, 0}).Text("12.5");
    Doc().CommandLine().Continue();
    EXPECT_EQ(script->Prompts().back(), "Distância:");
    auto* cota = dynamic_cast<acad::DimAligned*>(Doc().ModelSpace().Item(Doc().ModelSpace().Count() - 1));
    ASSERT_NE(cota, nullptr);
    EXPECT_EQ(cota->TextOverride(), "12.5");
    EXPECT_EQ(cota->DisplayedText(), "12.5");
    EXPECT_EQ(cota->Layer(), "Amarracao");
    EXPECT_EQ(Doc().GetVariable("OSMODE").AsInt(), 37);
    EXPECT_EQ(des.Ferramenta(), "");
    EXPECT_EQ(des.DocumentoObservado(), nullptr);
    EXPECT_EQ(Doc().EndCommand.SubscriberCount(), 0u);

    // Not a number, and the colour of the layer set again.
    Doc().Layers().Item("Amarracao")->SetColor(3);
    des.DimUno();
    EXPECT_EQ(Doc().Layers().Item("Amarracao")->Color(), 10);
    script->Point({0, 10, 0}).Point({7, 10, 0}).Point({3, 15, 0}).Text("1,20m");
    Doc().CommandLine().Continue();
    auto* outra = dynamic_cast<acad::DimAligned*>(Doc().ModelSpace().Item(Doc().ModelSpace().Count() - 1));
    ASSERT_NE(outra, nullptr);
    EXPECT_EQ(outra->TextOverride(), "1,20m");

    // Escape at "Distância:" keeps the measured distance, on the tie layer.
    Doc().SetVariable("OSMODE", acad::Variant(1));
    des.DimUno();
    script->Point({0, 20, 0}).Point({9, 20, 0}).Point({3, 25, 0}).Escape();
    Doc().CommandLine().Continue();
    auto* medida = dynamic_cast<acad::DimAligned*>(Doc().ModelSpace().Item(Doc().ModelSpace().Count() - 1));
    ASSERT_NE(medida, nullptr);
    EXPECT_EQ(medida->TextOverride(), "");
    EXPECT_EQ(medida->Layer(), "Amarracao");
    EXPECT_EQ(Doc().GetVariable("OSMODE").AsInt(), 1);
    EXPECT_TRUE(caixas.empty());
    EXPECT_EQ(script->Remaining(), 0u);
}

TEST_F(Rotulos, ACancelledTieDimensionTouchesNothingAndGivesTheSnapBack)
{
    Doc().SetVariable("OSMODE", acad::Variant(37));
    // Last in model space: a dimension drawn before, and after it a line.
    acad::DimAligned* velha = gModelSpace->AddDimAligned({0, 0, 0}, {5, 0, 0}, {2, 2, 0});
    velha->SetTextOverride("7");
    des.DimUno();
    const std::size_t n = Perguntas();
    Doc().CommandLine().Cancel();
    EXPECT_EQ(Perguntas(), n);
    EXPECT_EQ(velha->TextOverride(), "7");
    EXPECT_EQ(velha->Layer(), "0");
    EXPECT_EQ(Doc().GetVariable("OSMODE").AsInt(), 37);
    EXPECT_EQ(des.Ferramenta(), "");

    // Cancelled after its first point.
    acad::Line* linha = gModelSpace->AddLine({50, 50, 0}, {60, 60, 0});
    des.DimUno();
    script->Point({100, 0, 0}).Escape();
    Doc().CommandLine().Continue();
    EXPECT_FALSE(Doc().CommandLine().Active());
    EXPECT_EQ(linha->Layer(), "0");
    EXPECT_EQ(Doc().GetVariable("OSMODE").AsInt(), 37);

    // Asked again before its command ended: the first snap still comes back.
    des.DimUno();
    try {
        des.DimUno();
    } catch (const acad::Error&) {
    }
    if (Doc().CommandLine().Active()) Doc().CommandLine().Cancel();
    EXPECT_EQ(Doc().GetVariable("OSMODE").AsInt(), 37);
    EXPECT_EQ(des.Ferramenta(), "");

    // Asked while a fitting still waits for its rotation: that command takes
    // the text and ends, and the snap comes back with it.
    script->Point({0, 100, 0});
    des.InsertConex("A-TE", "Registros", "TEDN50", "1", "", "", "", "");
    ASSERT_EQ(Doc().CommandLine().ActiveCommandName(), "ROTATE");
    try {
        des.DimUno();
    } catch (const acad::Error&) {
    }
    if (Doc().CommandLine().Active()) Doc().CommandLine().Cancel();
    EXPECT_EQ(Doc().GetVariable("OSMODE").AsInt(), 37);
    EXPECT_EQ(des.Ferramenta(), "");
    EXPECT_EQ(des.DocumentoObservado(), nullptr);
    EXPECT_TRUE(caixas.empty());
}
