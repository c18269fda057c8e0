// The pipe dialog as the pipe drawing shows it: the pipe types offered for
// the diameter and the preferred one, the contribution, marking a cutting
// point along a long reach in the drawing, and the length it accepts.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "WaterTestSupport.h"
#include "cad/CadTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modGeometria.h"
#include "platform/acad/Acad.h"
#include "platform/acad/CurveEntities.h"
#include "shell/frmMsgBox.h"
#include "shell/modGlobais.h"
#include "water/clsWATDb.h"
#include "water/frmWATTubo.h"

namespace {

TipoTuboRec Tipo(const std::string& nome, const std::string& codigo, const std::string& lista)
{
    TipoTuboRec t;
    t.Nome = nome;
    t.Codigo = codigo;
    t.ListaDN = lista;
    return t;
}

class DialogoTubo : public cadtest::CadTest {
protected:
    DialogoTubo()
    {
        Conecta();
        gTiposTubo = {Tipo("", "", ""), Tipo("PVC PBA", "K1", "_50_75_"), Tipo("PEAD", "K2", "_32_40_"),
                      Tipo("Ferro Fundido", "K3", "_150_"), Tipo("PVC DeFoFo", "K4", "_dn_50_")};
    }
    ~DialogoTubo() override
    {
        gTiposTubo.clear();
        gMdbPath.clear();
        gImagensPath.clear();
    }

    // Shows the dialog the way the pipe drawing does (a long reach shows the
    // marking frame) and lets `usuario` act on it; message boxes the dialog
    // shows are read and answered "OK".
    void Mostra(double comprimento, const std::vector<double>& percurso, const std::string& preferido,
                const std::function<void(frmWATTubo&)>& usuario)
    {
        forms::ScopedTestDriver driver([&](forms::Form& f) {
            if (auto* box = dynamic_cast<frmMsgBox*>(&f)) {
                avisos.push_back(box->Mensagem.Caption());
                forms::user::Click(box->CmdOK);
            } else if (auto* tubo = dynamic_cast<frmWATTubo*>(&f)) {
                usuario(*tubo);
            } else {
                ADD_FAILURE() << "formulário inesperado: " << f.Caption();
            }
        });
        dlg = std::make_unique<frmWATTubo>();
        if (comprimento > 500.0) dlg->Frame1(1).SetVisible(true);
        dlg->SetlCaption(legenda);
        dlg->Text1.SetText(FormatNum(comprimento, 0));
        dlg->Coords = percurso;
        dlg->SetTuboPref(preferido);
        dlg->Show(forms::vbModal, gMainForm);
    }
    void TearDown() override
    {
        if (dlg) forms::Unload(*dlg);
    }

    std::vector<acad::Circle*> Circulos()
    {
        std::vector<acad::Circle*> v;
        for (acad::Entity* e : *gModelSpace)
            if (auto* c = dynamic_cast<acad::Circle*>(e)) v.push_back(c);
        return v;
    }
    static std::vector<std::string> Itens(forms::ComboBox& c)
    {
        std::vector<std::string> v;
        for (int i = 0; i < c.ListCount(); ++i) v.push_back(c.List(i));
        return v;
    }
    static void Digita(forms::TextBox& t, const std::string& texto)
    {
        t.SetText("");
        forms::user::Type(t, texto);
    }

    std::string legenda = "DN50";
    std::unique_ptr<frmWATTubo> dlg;
    std::vector<std::string> avisos;
    // From the first fitting's insertion point, 650 long.
    const std::vector<double> longo = {0, 0, 0, 50, 600, 50};
};

}  // namespace

TEST_F(DialogoTubo, OffersTheTypesOfTheDiameterAndKeepsThePreferredOne)
{
    Mostra(123.4, {0, 0, 123.4, 0}, "PVC PBA", [&](frmWATTubo& f) {
        EXPECT_EQ(f.Titulo.Caption(), "DN50");
        // _150_ does not hold _50_; the case of the list does not matter.
        EXPECT_EQ(Itens(f.Combo1), (std::vector<std::string>{"Indefinido", "PVC PBA", "PVC DeFoFo"}));
        EXPECT_EQ(f.Combo1.Text(), "PVC PBA");
        EXPECT_FALSE(f.Frame1(1).Visible());
        EXPECT_EQ(f.Text1.Text(), "123");
        // A type the diameter does not offer leaves the selection but is kept.
        f.SetTuboPref("PEAD");
        EXPECT_EQ(f.Combo1.ListIndex(), 1);
        EXPECT_EQ(f.TuboPref(), "PEAD");
        forms::user::Choose(f.Combo1, 2);
        EXPECT_EQ(f.TuboPref(), "PVC DeFoFo");
        forms::user::Choose(f.Combo1, 0);
        forms::user::Click(f.CmdOK);
    });
    EXPECT_TRUE(dlg->OK);
    EXPECT_FALSE(dlg->Cancel);
    EXPECT_EQ(dlg->TuboPref(), "Indefinido");
    EXPECT_EQ(dlg->Contrib, "SIM");
    EXPECT_TRUE(avisos.empty());
}

// With the shipped catalogue: the types offered are those that have the
// diameter, and only those.
TEST_F(DialogoTubo, TheShippedCatalogueOffersTheTypesThatHaveTheDiameter)
{
    gMdbPath = (watertest::PastaDoPrograma() / "rereva2000r.mdb").string();
    gImagensPath = watertest::PastaDoPrograma().string();
    ASSERT_TRUE(clsWATDb().LoadDb());
    MontaTiposTubo();
    const auto tem = [](const TipoTuboRec& t, const std::string& d) {
        return std::any_of(t.Diametros.begin(), t.Diametros.end(), [&](const auto& x) { return x.DP == d; });
    };
    const auto primeiro =
        std::find_if(gTiposTubo.begin(), gTiposTubo.end(), [](const TipoTuboRec& t) { return !t.Nome.empty(); });
    ASSERT_NE(primeiro, gTiposTubo.end());
    const std::string d = primeiro->Diametros.at(0).DP;
    std::vector<std::string> esperados = {"Indefinido"};
    for (const TipoTuboRec& t : gTiposTubo)
        if (!t.Nome.empty() && tem(t, d)) esperados.push_back(t.Nome);
    legenda = "DN" + d;
    Mostra(80, {0, 0, 80, 0}, primeiro->Nome, [&](frmWATTubo& f) {
        EXPECT_EQ(Itens(f.Combo1), esperados);
        EXPECT_EQ(f.Combo1.Text(), primeiro->Nome);
        forms::user::Click(f.CmdOK);
    });
    EXPECT_EQ(dlg->TuboPref(), primeiro->Nome);
    EXPECT_TRUE(avisos.empty());
}

TEST_F(DialogoTubo, TheContributionIsChosenAmongItsOptions)
{
    Mostra(80, {0, 0, 80, 0}, "PVC PBA", [&](frmWATTubo& f) {
        EXPECT_TRUE(f.Option1(0).Value());
        EXPECT_EQ(f.Contrib, "SIM");
        forms::user::Click(f.Option1(1));
        EXPECT_EQ(f.Option1(1).Caption(), "NÃO");
        EXPECT_EQ(f.Contrib, "NAO");
        forms::user::Click(f.Option1(2));
        EXPECT_EQ(f.Contrib, "UNI");
        forms::user::Click(f.Option1(1));
        forms::user::Click(f.CmdCancel);
    });
    EXPECT_EQ(dlg->Contrib, "NAO");
    EXPECT_TRUE(dlg->Cancel);
    EXPECT_FALSE(dlg->OK);
}

TEST_F(DialogoTubo, MarkingALongReachDrawsTheCutPointAndCloses)
{
    Mostra(650, longo, "PVC PBA", [&](frmWATTubo& f) {
        EXPECT_TRUE(f.Frame1(1).Visible());
        EXPECT_EQ(f.CortarTxt.Text(), "500");
        forms::user::Click(f.CortarCmd);
    });
    EXPECT_TRUE(dlg->Cancel);
    EXPECT_FALSE(dlg->OK);
    EXPECT_FALSE(dlg->Visible());
    ASSERT_EQ(Circulos().size(), 1u);
    const acad::Circle* c = Circulos()[0];
    EXPECT_NEAR(c->Center().x, 450.0, 1e-9);
    EXPECT_NEAR(c->Center().y, 50.0, 1e-9);
    EXPECT_DOUBLE_EQ(c->Radius(), 2.0);
    EXPECT_NEAR(Centro().X, 450.0, 1e-6);
    EXPECT_NEAR(Centro().Y, 50.0, 1e-6);
    EXPECT_NEAR(Altura(), 50.0, 1e-6);
}

TEST_F(DialogoTubo, MarkingADistanceThatIsNotOnTheRouteNeitherDrawsNorCloses)
{
    Mostra(650, longo, "PVC PBA", [&](frmWATTubo& f) {
        Digita(f.CortarTxt, "abc");
        forms::user::Click(f.CortarCmd);
        EXPECT_TRUE(f.Visible());
        Digita(f.CortarTxt, "700");
        forms::user::Click(f.CortarCmd);
        EXPECT_TRUE(f.Visible());
        Digita(f.CortarTxt, "-5");
        forms::user::Click(f.CortarCmd);
        EXPECT_TRUE(f.Visible());
        EXPECT_FALSE(f.Cancel);
        forms::user::Click(f.CmdCancel);
    });
    EXPECT_TRUE(Circulos().empty());
    EXPECT_EQ(avisos, (std::vector<std::string>{"A distância \"abc\" não é um número.",
                                                "A distância 700m não cai no trecho, que mede 650.00m.",
                                                "A distância -5m não cai no trecho, que mede 650.00m."}));
    EXPECT_TRUE(dlg->Cancel);
}

TEST_F(DialogoTubo, OnlyALengthThatIsANumberIsAccepted)
{
    Mostra(123.4, {0, 0, 123.4, 0}, "PVC PBA", [&](frmWATTubo& f) {
        Digita(f.Text1, "12a");
        forms::user::Click(f.CmdOK);
        EXPECT_TRUE(f.Visible());
        EXPECT_FALSE(f.OK);
        Digita(f.Text1, "  ");
        forms::user::Click(f.CmdOK);
        EXPECT_TRUE(f.Visible());
        Digita(f.Text1, " 124 ");
        forms::user::Click(f.CmdOK);
    });
    const std::string regra = "\" deve ser um número positivo, escrito com algarismos e um só separador decimal.";
    EXPECT_EQ(avisos, (std::vector<std::string>{"O comprimento \"12a" + regra, "O comprimento \"  " + regra}));
    EXPECT_TRUE(dlg->OK);
    EXPECT_EQ(dlg->Text1.Text(), " 124 ");
}
