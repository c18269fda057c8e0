// The import page of the sewer panel: its worker made at the choice of the
// tab and released at every other, the menu's items, switched off while one
// runs, and the recovery button.

#include <gtest/gtest.h>

#include "PanelTestSupport.h"
#include "TabelaTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "platform/acad/CurveEntities.h"
#include "platform/os/Dialogs.h"
#include "sewer/frmList.h"

using namespace sewertest;

namespace {

class PainelImportacaoTest : public PainelTest {
protected:
    PainelImportacaoTest()
    {
        formas_ = forms::SetTestDriver(nullptr);
        forms::SetTestDriver([this](forms::Form& f) {
            if (auto* l = dynamic_cast<frmList*>(&f)) {
                menuDesligado = SD.ImpMenu.MenuOff;
                forms::user::Click(l->Command1(1));
            } else if (formas_) {
                formas_(f);
            }
        });
        arquivos_ = os::SetDialogDriver([this](const os::DialogRequest& r) {
            if (r.kind == os::DialogKind::Open) return os::DialogAnswer::Path(tabela);
            if (r.kind == os::DialogKind::Save) return os::DialogAnswer::Cancel();
            return arquivos_(r);
        });
        SD.SetInterface(1);
        forms::user::ChooseTab(SD.SSTabBrivan, 1);
    }
    ~PainelImportacaoTest() override
    {
        os::SetDialogDriver(std::move(arquivos_));
        forms::SetTestDriver(std::move(formas_));
    }
    // A menu item pressed as the picture menu tells it.
    void Aperta(int Item) { SD.ImpMenu.Click.Raise(Item); }

    std::string tabela;
    bool menuDesligado = false;

private:
    forms::TestDriver formas_;
    os::DialogDriver arquivos_;
};

TEST_F(PainelImportacaoTest, TheMenuNeedsAnOpenTableAndIsOffWhileACommandRuns)
{
    Aperta(2);
    EXPECT_EQ(SD.IMPLbl.Caption(), "Abra uma Tabela primeiro");
    SD.IMPLbl.SetCaption("");
    Aperta(3);
    EXPECT_EQ(SD.IMPLbl.Caption(), "Abra uma Tabela primeiro");
    SD.ImpMenu.Mouse.Raise("Abrir Tabela");
    EXPECT_EQ(SD.IMPLbl.Caption(), "Abrir Tabela");

    RegistroDbf r = Trecho("1", "A", 0, 0, "B", 40, 0);
    r["MATER"] = "Bambu";
    EscreveDbf(pasta / "rede.dbf", CamposDeProjeto(), {r});
    tabela = (pasta / "rede.dbf").string();
    Aperta(1);
    EXPECT_EQ(SD.IMPLbl.Caption(), "rede.dbf");
    EXPECT_FALSE(SD.ImpMenu.MenuOff);

    // The unknown material is asked while the menu is off; cancelled.
    Aperta(2);
    EXPECT_TRUE(menuDesligado);
    EXPECT_FALSE(SD.ImpMenu.MenuOff);
    EXPECT_EQ(mensagens.Textos(), std::vector<std::string>{"Cancelando operação"});

    // Another tab releases the worker and its table; back on the import tab
    // a new worker has none.
    forms::user::ChooseTab(SD.SSTabBrivan, 2);
    forms::user::ChooseTab(SD.SSTabBrivan, 1);
    SD.IMPLbl.SetCaption("");
    Aperta(2);
    EXPECT_EQ(SD.IMPLbl.Caption(), "Abra uma Tabela primeiro");
}

TEST_F(PainelImportacaoTest, TheRecoveryButtonWorksFromAnyTab)
{
    forms::user::ChooseTab(SD.SSTabBrivan, 0);
    GetLayer("REDE", 0, "");
    acad::Line* l = gModelSpace->AddLine(Ponto(0, 0, 101), Ponto(30, 0, 100));
    l->SetLayer("REDE");
    l->SetXData({1001, 1000, 1000, 1000, 1000}, {std::string("NUMEROTRE"), std::string("1"), std::string("1"),
                                                 std::string("Terra"), std::string("NAO")});
    Clica(SD.SanRecuperaCmd);
    EXPECT_EQ(Blocos("E-PVGEN").size(), 2u);
    ASSERT_EQ(Blocos("E-TRCGEN").size(), 1u);
    EXPECT_EQ(Atributos(Blocos("E-TRCGEN")[0])["PAVMTO"], "Terra");
    EXPECT_EQ(mensagens.Textos(), (std::vector<std::string>{"Concluido", "Nenhum arquivo selecionado"}));
}

}  // namespace
