// The current view: zooms, the central 95 % that counts as on screen, the
// view kept across a command, and the active paper-space viewport's size.

#include "CadTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modVista.h"

using namespace cadtest;

namespace {

class Vista : public CadTest {
protected:
    Vista() { Conecta(); }
};

class VistaSemHost : public CadTest {
protected:
    VistaSemHost() : CadTest(false) {}
};

}  // namespace

TEST_F(Vista, OnScreenIsTheCentral95PercentOfTheView)
{
    Doc().SetScreenSize(1000, 1000);
    ZoomCentro(Ponto(100, 200), 40);
    EXPECT_FALSE(PontoForaDaVista(Ponto(100, 200)));
    EXPECT_FALSE(PontoForaDaVista(Ponto(100, 200 + 0.95 * 20)));  // the border counts as inside
    EXPECT_TRUE(PontoForaDaVista(Ponto(100, 200 + 0.96 * 20)));
    EXPECT_TRUE(PontoForaDaVista(Ponto(100, 200 - 0.96 * 20)));
    EXPECT_TRUE(PontoForaDaVista(Ponto(100 + 0.96 * 20, 200)));

    // A wide window: points up to 0.95 × the view height away sideways.
    Doc().SetScreenSize(1600, 800);
    EXPECT_FALSE(PontoForaDaVista(Ponto(100 + 0.95 * 40, 200)));
    EXPECT_FALSE(PontoForaDaVista(Ponto(100 - 0.94 * 40, 210)));
    EXPECT_TRUE(PontoForaDaVista(Ponto(100 + 0.96 * 40, 200)));
    EXPECT_TRUE(PontoForaDaVista(Ponto(100, 200 + 0.96 * 20)));
}

TEST_F(Vista, ZoomsToCentreWindowAndExtents)
{
    ZoomCentro(Ponto(50, 60, 7), 30);
    EXPECT_EQ(Centro(), Ponto(50, 60, 0));
    EXPECT_EQ(Altura(), 30);
    ZoomCentro(Ponto(0, 0), 0);  // height 0: nothing happens
    EXPECT_EQ(Centro(), Ponto(50, 60, 0));
    EXPECT_EQ(Altura(), 30);
    EXPECT_THROW(ZoomCentro(Ponto(0, 0), -5), acad::Error);  // the host refuses, the caller hears it

    // A window, then a margin: with 0.5 the window fills half the view.
    Doc().SetScreenSize(1000, 1000);
    ZoomJanela(Ponto(20, 10), Ponto(0, 30), 0.5);
    EXPECT_EQ(Centro(), Ponto(10, 20, 0));
    EXPECT_NEAR(Altura(), 40, 1e-9);

    gModelSpace->AddLine({-500, -500, 0}, {500, 500, 0});
    ZoomTudo();
    EXPECT_NEAR(Centro().X, 0, 1e-9);
    EXPECT_NEAR(Centro().Y, 0, 1e-9);
    EXPECT_FALSE(PontoForaDaVista(Ponto(-470, -470)));
    EXPECT_FALSE(PontoForaDaVista(Ponto(470, 470)));
}

TEST_F(Vista, TheKeptViewComesBackAfterACommandZoomedAround)
{
    // Before anything was kept nothing happens.
    ZoomCentro(Ponto(5, 5), 10);
    RestauraVista();
    EXPECT_EQ(Centro(), Ponto(5, 5, 0));
    EXPECT_EQ(Altura(), 10);

    gAcadDoc = nullptr;  // SalvaVista connects by itself
    SalvaVista();
    EXPECT_EQ(gAcadDoc, &Doc());
    EXPECT_EQ(gVistaSalva.Centro, Ponto(5, 5, 0));
    EXPECT_EQ(gVistaSalva.Altura, 10);
    ZoomCentro(Ponto(900, -900), 3);
    RestauraVista();
    EXPECT_EQ(Centro(), Ponto(5, 5, 0));
    EXPECT_EQ(Altura(), 10);
}

TEST_F(Vista, TheActiveViewportsSizeOnlyInPaperSpace)
{
    double largura = -1, altura = -1;
    bool achou = true;
    TamanhoViewport(largura, altura, achou);
    EXPECT_FALSE(achou);
    EXPECT_EQ(largura, -1);
    EXPECT_EQ(altura, -1);

    Doc().SetActiveSpace(acad::acPaperSpace);
    acad::PViewport* vp = Doc().PaperSpace().AddPViewport({150, 100, 0}, 260, 180);
    Doc().SetActivePViewport(*vp);
    ASSERT_FALSE(Doc().MSpace());
    TamanhoViewport(largura, altura, achou);
    EXPECT_TRUE(achou);
    EXPECT_NEAR(largura, 260, 1e-9);
    EXPECT_NEAR(altura, 180, 1e-9);
    EXPECT_TRUE(Doc().MSpace());  // working inside the viewport now
}

TEST_F(VistaSemHost, KeepingTheViewWithoutAHostKeepsNothing)
{
    SalvaVista();
    EXPECT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(gVistaSalva.Altura, 0);
}
