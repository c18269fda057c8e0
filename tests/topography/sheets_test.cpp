// Map sheets of the "Margens" tab through the panel, the real drawing host and
// the shipped catalogue: the grid and the single sheet of "Inserir
// Quadrícula", the reading order and the numbering, the sheets read from the
// drawing or from an attached reference, and the UTM grid inside each sheet.

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <functional>
#include <map>

#include "TopoTestSupport.h"
#include "cad/modAcad.h"
#include "platform/acad/Acad.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Testing.h"
#include "shell/frmCancelar.h"
#include "topography/TOPDes.h"
#include "topography/clsTOPMar.h"
#include "topography/frmMARExe.h"
#include "topography/frmMARQua.h"

using namespace topotest;
using forms::user::Choose;
using forms::user::Click;
using forms::user::Type;

namespace {

constexpr double kPi2 = 1.5707963267948966;

class Margens : public TopoTest {
protected:
    Margens()
    {
        painel.TD.Start();
        forms::user::ChooseTab(painel.TD.SSTopo, 1);
        anterior_ = forms::SetTestDriver([this](forms::Form& f) {
            if (dynamic_cast<frmMARQua*>(&f) || dynamic_cast<frmMARExe*>(&f)) {
                if (dialogos_.empty()) {
                    ADD_FAILURE() << "diálogo sem resposta: " << f.Name();
                    return;
                }
                auto usuario = std::move(dialogos_.front());
                dialogos_.pop_front();
                usuario(f);
                return;
            }
            if (anterior_) anterior_(f);
        });
        app->ZoomCenter({0, 0, 0}, 1000);
    }
    ~Margens() override
    {
        forms::SetTestDriver(std::move(anterior_));
        EXPECT_TRUE(dialogos_.empty()) << "respostas de diálogo não usadas";
    }

    void Quadriculas(std::function<void(frmMARQua&)> usuario)
    {
        dialogos_.push_back([u = std::move(usuario)](forms::Form& f) { u(dynamic_cast<frmMARQua&>(f)); });
    }
    void GradeUTM(std::function<void(frmMARExe&)> usuario)
    {
        dialogos_.push_back([u = std::move(usuario)](forms::Form& f) { u(dynamic_cast<frmMARExe&>(f)); });
    }

    // A sheet as the grid inserts it (the catalogue's block), numbered.
    acad::BlockReference* Folha(double x, double y, double w, double h, const std::string& numero)
    {
        DefineBloco("QUADRICULA2", false);
        acad::BlockReference* b = gModelSpace->InsertBlock({x, y, 0}, "QUADRICULA2", w, h, w, 0);
        for (acad::AttributeReference* a : b->GetAttributes()) a->SetTextString(numero);
        return b;
    }

    std::vector<acad::BlockReference*> Blocos(const std::string& Nome)
    {
        std::vector<acad::BlockReference*> r;
        for (acad::Entity* e : *gModelSpace)
            if (auto* b = dynamic_cast<acad::BlockReference*>(e); b && b->Name() == Nome) r.push_back(b);
        return r;
    }

    void Limpa()
    {
        std::vector<acad::Entity*> todas(gModelSpace->begin(), gModelSpace->end());
        for (acad::Entity* e : todas) e->Delete();
    }

    static std::string Numero(const acad::BlockReference* b) { return b->GetAttributes().front()->TextString(); }

    FormTopo painel;
    std::deque<std::function<void(forms::Form&)>> dialogos_;
    forms::TestDriver anterior_;
};

TEST_F(Margens, TheGridIsCentredOnTheLimitsAndCountsWholeSheets)
{
    // Limits narrower or lower than a sheet: no column or no row.
    EXPECT_EQ(CalculaGrade({0, 0}, {700, 2000}, 786, 499).nx, 0);
    EXPECT_EQ(CalculaGrade({0, 0}, {2000, 400}, 786, 499).ny, 0);

    // 2000 wide: two columns of 786, centred, 214 left out on each side.
    GradeQuadriculas g = CalculaGrade({2000, 1000}, {0, 0}, 786, 499);
    EXPECT_EQ(g.nx, 2);
    EXPECT_EQ(g.ny, 2);
    EXPECT_DOUBLE_EQ(g.P0.X, 214);
    EXPECT_DOUBLE_EQ(g.P0.Y, 1);

    // West and south of the origin the grid lies over the limits.
    g = CalculaGrade({-1000, -1000}, {-3000, -2000}, 786, 499);
    EXPECT_EQ(g.nx, 2);
    EXPECT_EQ(g.ny, 2);
    EXPECT_DOUBLE_EQ(g.P0.X, -2000 - 786);
    EXPECT_DOUBLE_EQ(g.P0.Y, -1500 - 499);

    // At millions of northing the corners keep their decimals.
    g = CalculaGrade({650000, 7000000.25}, {652000, 7001000.75}, 786, 499);
    EXPECT_DOUBLE_EQ(g.P0.Y, 7000500.5 - 499);

    // A sheet inserted at scale 1 is the default viewport at 1:1000.
    EXPECT_EQ(LarguraQuadricula(1), 786);
    EXPECT_EQ(AlturaQuadricula(1), 499);
    EXPECT_EQ(LarguraQuadricula(393), 393);

    EXPECT_EQ(Inteiro(" -10 ", 10), -10);
    EXPECT_EQ(Inteiro("+0010", 10), 10);
    for (const char* ruim : {"11", "-11", "- 3", "+", "1e1"}) EXPECT_FALSE(Inteiro(ruim, 10)) << ruim;
    EXPECT_EQ(InteiroPositivo(" 1000 "), 1000);
    for (const char* ruim : {"0", "-5", "2.5", "abc", "", "99999999999999999999"})
        EXPECT_FALSE(InteiroPositivo(ruim)) << ruim;
}

TEST_F(Margens, AGridOverPickedLimitsCoversTheCellsThatHoldAnythingButSheets)
{
    // Cells of 786 x 499 from (214, 1): top-left holds a line, bottom-right a
    // circle, top-right only a sheet already there, bottom-left nothing.
    gModelSpace->AddLine({300, 700, 0}, {400, 800, 0});
    gModelSpace->AddCircle({1500, 200, 0}, 20);
    Folha(1200, 900, 100, 100, "7");

    Quadriculas([](frmMARQua& f) {
        EXPECT_EQ(f.Text1(0).Text(), "786");
        EXPECT_EQ(f.Text1(1).Text(), "499");
        EXPECT_EQ(f.Combo1.Text(), "1000");
        EXPECT_FALSE(f.LimitesCmd.Enabled());
        Click(f.Check1);
        EXPECT_TRUE(f.LimitesCmd.Enabled());
        Click(f.LimitesCmd);
        Click(f.cmdOK);
    });
    script->Point({2000, 0, 0}).Point({0, 1000, 0});
    Click(painel.TD.InsQuaCmd);

    const auto folhas = Blocos("QUADRICULA2");
    ASSERT_EQ(folhas.size(), 3u);
    EXPECT_EQ(folhas[1]->InsertionPoint(), acad::Point3d(214, 999, 0));
    EXPECT_EQ(Numero(folhas[1]), "1");
    EXPECT_EQ(folhas[2]->InsertionPoint(), acad::Point3d(1000, 500, 0));
    EXPECT_EQ(Numero(folhas[2]), "2");
    for (int i : {1, 2}) {
        EXPECT_EQ(folhas[i]->Layer(), "NUM_QUADRICULA");
        EXPECT_DOUBLE_EQ(folhas[i]->XScaleFactor(), 786);
        EXPECT_DOUBLE_EQ(folhas[i]->YScaleFactor(), 499);
        EXPECT_DOUBLE_EQ(folhas[i]->ZScaleFactor(), 786);
    }
    EXPECT_TRUE(mensagens.Lista().empty());
    EXPECT_EQ(script->Prompts(), (std::vector<std::string>{"Selecione limites: ", "Segundo ponto: "}));
}

TEST_F(Margens, TheCancelWindowStopsTheGridBetweenRows)
{
    gModelSpace->AddLine({0, 0, 0}, {2000, 1000, 0});
    // "Cancelar" pressed once the first row is made: that row stays.
    auto anterior = forms::SetYieldHook([&] {
        if (Blocos("QUADRICULA2").empty()) return;
        for (forms::Form* f : forms::Forms())
            if (auto* c = dynamic_cast<frmCancelar*>(f)) {
                EXPECT_EQ(c->Mensagem(), "Inserindo Quadrículas...");
                Click(c->CmdCancel);
            }
    });
    Quadriculas([](frmMARQua& f) {
        Click(f.Check1);
        Click(f.cmdOK);
    });
    clsTOPMar mar;
    EXPECT_TRUE(mar.InsertQuad());
    forms::SetYieldHook(std::move(anterior));
    const auto folhas = Blocos("QUADRICULA2");
    ASSERT_EQ(folhas.size(), 2u);
    EXPECT_EQ(Numero(folhas[1]), "2");
    EXPECT_DOUBLE_EQ(folhas[1]->InsertionPoint().y, 999);
}

TEST_F(Margens, OneSheetAtAPickedPointTakesTheScaleAndABadScaleInsertsNothing)
{
    // The layer is made when the drawing lacks it.
    Quadriculas([](frmMARQua& f) {
        f.Combo1.SetText("500");
        Click(f.cmdOK);
    });
    script->Point({100, 200, 0});
    Click(painel.TD.InsQuaCmd);
    auto folhas = Blocos("QUADRICULA2");
    ASSERT_EQ(folhas.size(), 1u);
    EXPECT_EQ(folhas[0]->InsertionPoint(), acad::Point3d(100, 200, 0));
    EXPECT_DOUBLE_EQ(folhas[0]->XScaleFactor(), 393);
    EXPECT_DOUBLE_EQ(folhas[0]->YScaleFactor(), 249.5);
    EXPECT_EQ(folhas[0]->Layer(), "NUM_QUADRICULA");
    EXPECT_EQ(script->Prompts(), (std::vector<std::string>{"Ponto de inserção: "}));

    // A scale that is not a whole denominator, a size that is not a number,
    // or "Cancelar": nothing more, nothing asked in the drawing.
    Quadriculas([](frmMARQua& f) {
        f.Combo1.SetText("1:500");
        Click(f.cmdOK);
    });
    Quadriculas([](frmMARQua& f) {
        f.Text1(0).SetText("largo");
        Click(f.cmdOK);
    });
    Quadriculas([](frmMARQua& f) { Click(f.cmdEnd); });
    for (int i = 0; i < 3; ++i) Click(painel.TD.InsQuaCmd);
    EXPECT_EQ(Blocos("QUADRICULA2").size(), 1u);
    EXPECT_EQ(mensagens.Textos(),
              (std::vector<std::string>{"A escala deve ser um número inteiro maior que zero.",
                                        "As dimensões da Viewport devem ser números maiores que zero."}));
    EXPECT_EQ(script->Prompts().size(), 1u);
}

TEST_F(Margens, InALayoutTheSheetIsTheViewportAndAnEmptyDrawingGetsNoGrid)
{
    // Without limits the grid covers the drawing's extents: an empty drawing
    // has none, and gets no sheet.
    Quadriculas([](frmMARQua& f) {
        Click(f.Check1);
        Click(f.cmdOK);
    });
    Click(painel.TD.InsQuaCmd);
    EXPECT_TRUE(Blocos("QUADRICULA2").empty());

    // In a layout the dialog proposes the active viewport's size, and the
    // sheet goes to model space, picked through the viewport.
    Doc().SetActiveSpace(acad::acPaperSpace);
    acad::PViewport* vp = Doc().PaperSpace().AddPViewport({150, 100, 0}, 300, 200);
    Doc().SetActivePViewport(*vp);
    Quadriculas([](frmMARQua& f) {
        EXPECT_EQ(f.Text1(0).Text(), "300");
        EXPECT_EQ(f.Text1(1).Text(), "200");
        f.Combo1.SetText("2000");
        Click(f.cmdOK);
    });
    script->Point({10, 20, 0});
    Click(painel.TD.InsQuaCmd);
    EXPECT_TRUE(Doc().MSpace());
    const auto folhas = Blocos("QUADRICULA2");
    ASSERT_EQ(folhas.size(), 1u);
    EXPECT_DOUBLE_EQ(folhas[0]->XScaleFactor(), 600);
    EXPECT_DOUBLE_EQ(folhas[0]->YScaleFactor(), 400);
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(Margens, SheetsAreReadInRowsFromTheNorthAndWestToEast)
{
    // Y differences of 99.9 share a row, ordered by X; 100 does not.
    clsTOPMar mar;
    mar.AddQuad({1, 500, 1000});
    mar.AddQuad({2, 0, 900.1});
    EXPECT_EQ(mar.Quads[0].ObjectId, 2);
    clsTOPMar mar2;
    mar2.AddQuad({1, 500, 1000});
    mar2.AddQuad({2, 0, 900});
    EXPECT_EQ(mar2.Quads[0].ObjectId, 1);

    // Rows from the north whatever order they come in, extents widened.
    clsTOPMar mar3;
    const double ys[] = {-1000, 0, -500, 0, -1000, -500};
    const double xs[] = {786, 0, 0, 786, 0, 786};
    for (int i = 0; i < 6; ++i) mar3.AddQuad({i, xs[i], ys[i]});
    std::vector<int> ordem;
    for (const QuadriculaRec& q : mar3.Quads) ordem.push_back(q.ObjectId);
    EXPECT_EQ(ordem, (std::vector<int>{1, 3, 2, 5, 4, 0}));
    EXPECT_EQ(mar3.NumQuads, 6);
    EXPECT_DOUBLE_EQ(mar3.MinY, -1000);
    EXPECT_DOUBLE_EQ(mar3.MaxY, 0);

    // The numbering follows that order; negative coordinates included.
    Folha(-1000, -2000, 786, 499, "x");
    Folha(-214, -1501, 786, 499, "x");
    Folha(-1000, -1501, 786, 499, "x");
    Folha(-214, -2000, 786, 499, "x");
    Click(painel.TD.NumQuadCmd);
    const auto folhas = Blocos("QUADRICULA2");
    EXPECT_EQ(Numero(folhas[2]), "1");
    EXPECT_EQ(Numero(folhas[1]), "2");
    EXPECT_EQ(Numero(folhas[0]), "3");
    EXPECT_EQ(Numero(folhas[3]), "4");

    // Rows and columns counted from the north-west sheet, not from the origin.
    clsTOPMar leitura;
    ASSERT_FALSE(leitura.SelectQuads());
    ASSERT_EQ(leitura.NumQuads, 4);
    std::map<int, std::pair<int, int>> posicao;
    for (const QuadriculaRec& q : leitura.Quads) posicao[q.Numero] = {q.Linha, q.Coluna};
    EXPECT_EQ(posicao[1], std::make_pair(1, 1));
    EXPECT_EQ(posicao[2], std::make_pair(1, 2));
    EXPECT_EQ(posicao[3], std::make_pair(2, 1));
    EXPECT_EQ(posicao[4], std::make_pair(2, 2));
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(Margens, ABadSheetStopsTheReadingWithItsPlace)
{
    clsTOPMar vazio;
    EXPECT_TRUE(vazio.NumerarQuads());
    EXPECT_EQ(mensagens.Textos().back(), "Bloco Quadricula2 não encontrado.\n\nOperação cancelada.");

    // A sheet at scale 1 is read as 786 x 499.
    Folha(10, 20, 1, 1, "3");
    clsTOPMar um;
    ASSERT_FALSE(um.SelectQuads());
    EXPECT_EQ(um.Quads[0].Largura, 786);
    EXPECT_EQ(um.Quads[0].Altura, 499);
    EXPECT_EQ(um.Quads[0].Numero, 3);

    // A number that is not whole stops the reading; the numbering rewrites it.
    Folha(1000, 20, 786, 499, "2a");
    mensagens.Limpa();
    clsTOPMar ruim;
    EXPECT_TRUE(ruim.SelectQuads());
    EXPECT_EQ(mensagens.Textos(),
              (std::vector<std::string>{"A quadrícula inserida em 1000.00,20.00 tem o número \"2a\", que não é "
                                        "inteiro.\n\nOperação cancelada."}));

    // A sheet without attributes: nothing is renumbered.
    acad::BlockReference* b = gModelSpace->InsertBlock({-50, 5, 0}, "QUADRICULA2", 786, 499, 786, 0);
    for (acad::AttributeReference* a : b->GetAttributes()) a->Delete();
    mensagens.Limpa();
    clsTOPMar numera;
    EXPECT_TRUE(numera.NumerarQuads());
    EXPECT_EQ(mensagens.Textos(), (std::vector<std::string>{"A quadrícula inserida em -50.00,5.00 não tem "
                                                            "atributos.\n\nOperação cancelada."}));
    EXPECT_EQ(Numero(Blocos("QUADRICULA2")[1]), "2a");
}

TEST_F(Margens, SheetsAreReadFromAPickedReferenceWhereItPlacesThem)
{
    // The sheets drawn in another drawing, attached away from the origin.
    Folha(5000, 3000, 786, 499, "2");
    Folha(4214, 3000, 786, 499, "1");
    Folha(4214, 2501, 786, 499, "3");
    const auto arquivo = pasta / "folhas.dwg";
    Doc().SaveAs(arquivo.string());
    Limpa();
    gModelSpace->AddLine({0, 0, 0}, {10, 0, 0});
    gModelSpace->AttachExternalReference(arquivo.string(), "FOLHAS", {100, 100, 0}, 1, 1, 1, 0, false);
    gModelSpace->AttachExternalReference(arquivo.string(), "FOLHAS2", {0, 0, 0}, 0.5, 0.5, 1, 0, false);

    // The third sheet's south edge (y 2002 there), attached 100, 100 away.
    app->ZoomCenter({4500, 2102, 0}, 1000);
    script->Point({4500, 2102, 0});
    clsTOPMar mar;
    ASSERT_FALSE(mar.SelectQuads());
    ASSERT_EQ(mar.NumQuads, 3);
    EXPECT_EQ(mar.Quads[0].Numero, 1);
    EXPECT_DOUBLE_EQ(mar.Quads[0].X, 4314);
    EXPECT_DOUBLE_EQ(mar.Quads[0].Y, 3100);
    EXPECT_EQ(mar.Quads[1].Numero, 2);
    EXPECT_EQ(mar.Quads[1].Coluna, 2);
    EXPECT_EQ(mar.Quads[2].Numero, 3);
    EXPECT_EQ(mar.Quads[2].Linha, 2);
    EXPECT_EQ(script->Prompts(), (std::vector<std::string>{"Selecione XRef:"}));

    // The same sheets attached at half scale: half as large, half as far.
    app->ZoomCenter({2250, 1001, 0}, 1000);
    script->Point({2250, 1001, 0});
    clsTOPMar metade;
    ASSERT_FALSE(metade.SelectQuads());
    ASSERT_EQ(metade.NumQuads, 3);
    EXPECT_DOUBLE_EQ(metade.Quads[2].X, 2107);
    EXPECT_DOUBLE_EQ(metade.Quads[2].Y, 1250.5);
    EXPECT_DOUBLE_EQ(metade.Quads[2].Largura, 393);
    EXPECT_DOUBLE_EQ(metade.Quads[2].Altura, 249.5);
    EXPECT_EQ(metade.Quads[2].Linha, 2);

    // A pick of something that is not a reference.
    app->ZoomCenter({0, 0, 0}, 1000);
    script->Point({5, 0, 0});
    clsTOPMar linha;
    EXPECT_TRUE(linha.SelectQuads());
    EXPECT_EQ(mensagens.Textos(), (std::vector<std::string>{"O objeto selecionado não é um bloco ou "
                                                            "XRef.\n\nOperação cancelada."}));
}

// The UTM grid: lines and labels of one sheet, by coordinate.
struct GradeDesenhada {
    std::vector<double> Leste, Norte;  // line positions
    std::map<std::string, acad::BlockReference*> Rotulos;
};

TEST_F(Margens, TheUTMGridStartsAtTheFirstMultipleInsideEachSheet)
{
    auto desenhada = [&] {
        GradeDesenhada g;
        for (acad::Entity* e : *gModelSpace) {
            if (auto* l = dynamic_cast<acad::Line*>(e); l && l->Layer() == "UTM") {
                if (l->StartPoint().x == l->EndPoint().x)
                    g.Leste.push_back(l->StartPoint().x);
                else
                    g.Norte.push_back(l->StartPoint().y);
            }
            if (auto* b = dynamic_cast<acad::BlockReference*>(e); b && b->Name() == "TOP_UTM")
                g.Rotulos[b->GetAttributes().front()->TextString()] = b;
        }
        return g;
    };

    // x0 = 650010, 786 x 499 from y0 = 6950499: spacing 100 from the list's first item.
    Folha(650010, 6950499, 786, 499, "1");
    GradeUTM([](frmMARExe& f) {
        EXPECT_EQ(f.Label1.Caption(), "Grade UTM");
        EXPECT_EQ(f.UTMCbo.Text(), "100");
        EXPECT_EQ(f.UTMEscCbo.Text(), "1000");
        Click(f.CmdOK);
    });
    Click(painel.TD.InsUTMCmd);
    GradeDesenhada g = desenhada();
    EXPECT_EQ(g.Leste, (std::vector<double>{650100, 650200, 650300, 650400, 650500, 650600, 650700}));
    EXPECT_EQ(g.Norte, (std::vector<double>{6950000, 6950100, 6950200, 6950300, 6950400}));
    ASSERT_TRUE(g.Rotulos.count("E = 650100 "));
    acad::BlockReference* e = g.Rotulos["E = 650100 "];
    EXPECT_EQ(e->InsertionPoint(), acad::Point3d(650100, 6950499, 0));
    EXPECT_DOUBLE_EQ(e->Rotation(), kPi2);
    EXPECT_DOUBLE_EQ(e->XScaleFactor(), 1);
    EXPECT_EQ(e->Layer(), "UTM");
    acad::BlockReference* n = g.Rotulos["N = 6950000 "];
    ASSERT_TRUE(n);
    EXPECT_EQ(n->InsertionPoint(), acad::Point3d(650796, 6950000, 0));
    EXPECT_DOUBLE_EQ(n->Rotation(), 0);
    EXPECT_EQ(Doc().Layers().Item("UTM")->Color(), 9);

    // Two sheets that touch at 651000, from the west edge 650000 exactly,
    // spacing 250 and labels at 1:2000: the common edge is drawn for each.
    Limpa();
    Folha(650214, 6950499, 786, 499, "1");
    Folha(651000, 6950499, 1, 1, "2");
    GradeUTM([](frmMARExe& f) {
        f.UTMCbo.SetText("250");
        f.UTMEscCbo.SetText("2000");
        Click(f.CmdOK);
    });
    Click(painel.TD.InsUTMCmd);
    g = desenhada();
    EXPECT_EQ(g.Leste, (std::vector<double>{650250, 650500, 650750, 651000, 651000, 651250, 651500, 651750}));
    EXPECT_EQ(g.Norte, (std::vector<double>{6950000, 6950250, 6950000, 6950250}));
    EXPECT_DOUBLE_EQ(g.Rotulos["E = 651000 "]->XScaleFactor(), 2);

    // Labels at 1:500; a spacing that is not a whole number draws nothing.
    Limpa();
    Folha(650000, 6950499, 786, 499, "1");
    GradeUTM([](frmMARExe& f) {
        f.UTMCbo.SetText("1000");
        f.UTMEscCbo.SetText("500");
        Click(f.CmdOK);
    });
    GradeUTM([](frmMARExe& f) {
        f.UTMCbo.SetText("1e3");
        Click(f.CmdOK);
    });
    Click(painel.TD.InsUTMCmd);
    g = desenhada();
    EXPECT_EQ(g.Leste, (std::vector<double>{650000}));
    EXPECT_DOUBLE_EQ(g.Rotulos["E = 650000 "]->XScaleFactor(), 0.5);
    Click(painel.TD.InsUTMCmd);
    EXPECT_EQ(desenhada().Leste.size(), 1u);
    EXPECT_EQ(mensagens.Textos(),
              (std::vector<std::string>{
                  "O distanciamento das linhas e a escala devem ser números inteiros maiores que zero."}));
}

}  // namespace
