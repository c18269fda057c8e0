// The repairs of the "Misc." tab through the panel's buttons: the street-axis
// length, splines turned into polylines (the order checks and splines that
// cannot be raised), every kind brought to elevation 0, and a hatch rebuilt
// where it stood.

#include <gtest/gtest.h>

#include <cmath>

#include "TopoTestSupport.h"
#include "platform/acad/CommandLine.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/Hatch.h"
#include "platform/acad/OtherEntities.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/Spline.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Testing.h"

using namespace topotest;
using namespace forms;

namespace {

class Reparos : public TopoTest {
protected:
    Reparos() : TD(painel.TD)
    {
        TD.Start();
        user::ChooseTab(TD.SSTopo, 5);
        fim = Doc().EndCommand.Connect([this](const std::string& n) { comandos.push_back(n); });
    }
    ~Reparos() override { fim.Disconnect(); }

    acad::LWPolyline* Polilinha(const std::vector<double>& xy, const std::string& Camada)
    {
        if (!Doc().Layers().Find(Camada)) Doc().Layers().Add(Camada);
        acad::LWPolyline* p = Doc().ModelSpace().AddLightWeightPolyline(xy);
        p->SetLayer(Camada);
        return p;
    }
    // A spline through `n` fit points along a wave: n + 2 control points.
    acad::Spline* Spline(int n, double y0)
    {
        std::vector<double> fit;
        for (int i = 0; i < n; ++i) {
            fit.push_back(10.0 * i);
            fit.push_back(y0 + 5 * std::sin(i));
            fit.push_back(0);
        }
        return Doc().ModelSpace().AddSpline(fit, {0, 0, 0}, {0, 0, 0});
    }
    std::vector<acad::Polyline2D*> Polilinhas2D()
    {
        std::vector<acad::Polyline2D*> v;
        for (acad::Entity* e : Doc().ModelSpace())
            if (auto* p = dynamic_cast<acad::Polyline2D*>(e)) v.push_back(p);
        return v;
    }

    FormTopo painel;
    TOPDes98& TD;
    std::vector<std::string> comandos;
    platform::Event<std::string>::Connection fim;
};

TEST_F(Reparos, TheStreetAxesAreMeasuredInKilometres)
{
    user::Click(TD.KMTopogCmd);
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "Medindo Levantamento");
    EXPECT_EQ(mensagens.Lista()[0].Texto, "O Layer EIXO_RUA possui 0.000 Km de LWPolylines.");

    Polilinha({0, 0, 1500, 0}, "EIXO_RUA");
    Polilinha({0, 100, 150, 100, 150, 200}, "EIXO_RUA");
    // Opened from a closed one, it keeps its last vertex's bulge, which draws nothing.
    Polilinha({0, 500, 100, 500, 250, 500}, "EIXO_RUA")->SetBulge(2, 1.0);
    // Not counted: another layer, a line on the layer.
    Polilinha({0, 300, 999, 300}, "LOTES");
    Doc().ModelSpace().AddLine({0, 400, 0}, {800, 400, 0})->SetLayer("EIXO_RUA");
    mensagens.Limpa();
    user::Click(TD.KMTopogCmd);
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Texto, "O Layer EIXO_RUA possui 2.000 Km de LWPolylines.");
    EXPECT_EQ(TD.MISCProgress.CurValue(), 0) << "a barra volta a zero";
}

TEST_F(Reparos, SplinesBecomePolylinesThroughTheirControlPoints)
{
    app->ZoomCenter({50, 50, 0}, 300);
    acad::Spline* doze = Spline(10, 0);
    acad::Spline* oito = Spline(6, 50);
    ASSERT_EQ(doze->NumberOfControlPoints(), 12);
    ASSERT_EQ(oito->NumberOfControlPoints(), 8);

    // Orders outside 4..26: told before anything is selected.
    for (const char* n : {"3", "27", "", "0"}) {
        mensagens.Limpa();
        TD.MISCSpl2PlTxt.SetText(n);
        user::Click(TD.MISCSpl2PlCmd);
        ASSERT_EQ(mensagens.Lista().size(), 1u) << n;
        EXPECT_EQ(mensagens.Lista()[0].Titulo, "Atenção");
        EXPECT_EQ(mensagens.Lista()[0].Texto, "O numero de pontos de suavização é entre 4 e 26");
    }
    EXPECT_TRUE(script->Requests().empty());
    EXPECT_TRUE(Polilinhas2D().empty());

    // Order 10: the spline of 12 control points gets the spline fit, the one
    // of 8 stays a plain polyline; each through the raised control points.
    mensagens.Limpa();
    acad::Spline copia12(Doc(), doze->Data());
    copia12.ElevateOrder(10);
    const std::vector<double> esperado = copia12.ControlPoints();
    TD.MISCSpl2PlTxt.SetText("10");
    script->Window({-10, -20, 0}, {100, 70, 0}).Enter();
    user::Click(TD.MISCSpl2PlCmd);
    EXPECT_TRUE(doze->IsErased());
    EXPECT_TRUE(oito->IsErased());
    auto p = Polilinhas2D();
    ASSERT_EQ(p.size(), 2u);
    acad::Polyline2D* de12 = p[0]->Coordinates().size() == esperado.size() ? p[0] : p[1];
    acad::Polyline2D* de8 = de12 == p[0] ? p[1] : p[0];
    EXPECT_EQ(de12->Type(), 3);
    EXPECT_EQ(de8->Type(), 0);
    const std::vector<double> c = de12->Coordinates();
    ASSERT_EQ(c.size(), esperado.size());
    for (std::size_t i = 0; i < c.size(); ++i) EXPECT_NEAR(c[i], esperado[i], 1e-9) << i;
    EXPECT_EQ(de8->Layer(), Doc().ActiveLayer().Name());
    EXPECT_TRUE(mensagens.Lista().empty());

    // A spline of order 10 already, and one of 12: converted as they stand
    // (the host raises no order downwards), the run goes on to the last.
    acad::Spline* ja10 = Spline(6, 0);
    ja10->ElevateOrder(10);
    acad::Spline* ja12 = Spline(6, 50);
    ja12->ElevateOrder(12);
    const std::size_t n10 = ja10->ControlPoints().size(), n12 = ja12->ControlPoints().size();
    for (acad::Polyline2D* x : p) x->Delete();
    script->Window({-10, -20, 0}, {100, 70, 0}).Enter();
    user::Click(TD.MISCSpl2PlCmd);
    EXPECT_TRUE(ja10->IsErased());
    EXPECT_TRUE(ja12->IsErased());
    p = Polilinhas2D();
    ASSERT_EQ(p.size(), 2u);
    EXPECT_TRUE((p[0]->Coordinates().size() == n10 && p[1]->Coordinates().size() == n12) ||
                (p[0]->Coordinates().size() == n12 && p[1]->Coordinates().size() == n10));
    EXPECT_TRUE(mensagens.Lista().empty());

    // Nothing selected: nothing happens.
    script->Enter();
    user::Click(TD.MISCSpl2PlCmd);
    EXPECT_EQ(Polilinhas2D().size(), 2u);
    EXPECT_EQ(script->Remaining(), 0u);
}

TEST_F(Reparos, EveryListedKindComesToElevationZeroAndOthersStay)
{
    app->ZoomCenter({50, 0, 0}, 300);
    acad::Block& ms = Doc().ModelSpace();
    acad::Block* marco = Doc().Blocks().Add({0, 0, 0}, "MARCO");
    marco->AddCircle({0, 0, 0}, 1);
    acad::Line* linha = ms.AddLine({0, 0, 5}, {10, 0, 7});
    acad::BlockReference* bloco = ms.InsertBlock({20, 0, 12}, "MARCO", 1, 1, 1, 0);
    acad::Text* texto = ms.AddText("T", {30, 0, 3}, 1);
    acad::MText* mtexto = ms.AddMText({40, 0, 4}, 10, "M");
    acad::Arc* arco = ms.AddArc({50, 0, 6}, 2, 0, 1);
    acad::Circle* circulo = ms.AddCircle({60, 0, 6}, 2);
    acad::Ellipse* elipse = ms.AddEllipse({70, 0, 6}, {3, 0, 0}, 0.5);
    acad::LWPolyline* lw = ms.AddLightWeightPolyline({0, 20, 10, 20});
    lw->SetElevation(8);
    acad::Polyline2D* p2 = ms.AddPolyline({20, 20, 9, 30, 20, 9, 30, 30, 9});
    acad::Polyline3D* p3 = ms.Add3DPoly({40, 20, 1, 50, 21, 2, 60, 22, 3});
    acad::Spline* spline = ms.AddSpline({70, 20, 1, 80, 25, 2, 90, 20, 3}, {0, 0, 0}, {0, 0, 0});
    acad::Point* ponto = ms.AddPoint({0, 40, 10});
    // Left alone: a dimension and a hatch.
    acad::LWPolyline* borda = ms.AddLightWeightPolyline({20, 40, 30, 40, 30, 50, 20, 50});
    borda->SetClosed(true);
    acad::Hatch* hatch = ms.AddHatch(0, "SOLID", false);
    hatch->AppendOuterLoop({borda});
    hatch->Evaluate();
    acad::DimAligned* cota = ms.AddDimAligned({40, 40, 3}, {60, 40, 3}, {50, 45, 3});
    const std::string cotaAntes = cota->Handle();
    const auto hatchAntes = hatch->Data().loops.size();

    script->Window({-10, -10, 0}, {100, 60, 0}).Enter();
    user::Click(TD.MISCZzeroCmd);

    EXPECT_EQ(Ponto(linha->StartPoint()), Ponto(0, 0, 0));
    EXPECT_EQ(Ponto(linha->EndPoint()), Ponto(10, 0, 0));
    EXPECT_EQ(Ponto(bloco->InsertionPoint()), Ponto(20, 0, 0));
    EXPECT_DOUBLE_EQ(texto->InsertionPoint().z, 0);
    EXPECT_DOUBLE_EQ(mtexto->InsertionPoint().z, 0);
    EXPECT_DOUBLE_EQ(arco->Center().z, 0);
    EXPECT_DOUBLE_EQ(circulo->Center().z, 0);
    EXPECT_EQ(Ponto(elipse->Center()), Ponto(70, 0, 0));
    EXPECT_DOUBLE_EQ(lw->Elevation(), 0);
    EXPECT_DOUBLE_EQ(p2->Elevation(), 0);
    EXPECT_EQ(p3->Coordinates(), (std::vector<double>{40, 20, 0, 50, 21, 0, 60, 22, 0}));
    const std::vector<double> cp = spline->ControlPoints();
    for (std::size_t i = 2; i < cp.size(); i += 3) EXPECT_DOUBLE_EQ(cp[i], 0) << i;
    EXPECT_DOUBLE_EQ(cp[0], 70);
    EXPECT_EQ(Ponto(ponto->Coordinates()), Ponto(0, 40, 0));
    EXPECT_DOUBLE_EQ(cota->ExtLine1Point().z, 3);
    EXPECT_EQ(cota->Handle(), cotaAntes);
    EXPECT_EQ(hatch->Data().loops.size(), hatchAntes);
    EXPECT_EQ(TD.MISCProgress.CurValue(), 0);
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(Reparos, AHatchIsRebuiltWithItsSettingsAndStaysWhereItWas)
{
    const double x0 = 650000.25, y0 = 7400000.5;
    app->ZoomCenter({x0 + 50, y0 + 50, 0}, 300);
    acad::LWPolyline* borda = Polilinha({x0, y0, x0 + 100, y0, x0 + 100, y0 + 80, x0, y0 + 80}, "HACH");
    borda->SetClosed(true);
    acad::Hatch* h = Doc().ModelSpace().AddHatch(1, "ANSI31", false);
    h->SetPatternScale(2.5);
    h->AppendOuterLoop({borda});
    h->Evaluate();
    const std::vector<acad::Point3d> antes = h->LoopPoints(0, 0.01);

    // A line picked: not a hatch, nothing done.
    Doc().ModelSpace().AddLine({x0 - 50, y0, 0}, {x0 - 50, y0 + 80, 0});
    script->Point({x0 - 50, y0 + 40, 0});
    user::Click(TD.CorrigeHatchCmd);
    EXPECT_TRUE(comandos.empty());

    script->Point({x0 + 100, y0 + 40, 0});
    user::Click(TD.CorrigeHatchCmd);
    EXPECT_EQ(script->Prompts().back(), "Selecione Hachura:");
    EXPECT_EQ(comandos, std::vector<std::string>{"-HATCHEDIT"});
    EXPECT_FALSE(Doc().CommandLine().Active()) << "os cinco Enter respondem ao comando";
    EXPECT_EQ(h->PatternName(), "ANSI31");
    EXPECT_DOUBLE_EQ(h->PatternScale(), 2.5);
    const std::vector<acad::Point3d> depois = h->LoopPoints(0, 0.01);
    ASSERT_EQ(depois.size(), antes.size());
    for (std::size_t i = 0; i < antes.size(); ++i) {
        EXPECT_NEAR(depois[i].x, antes[i].x, 1e-6);
        EXPECT_NEAR(depois[i].y, antes[i].y, 1e-6);
    }
    EXPECT_TRUE(mensagens.Lista().empty());
}

}  // namespace
