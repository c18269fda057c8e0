// The Tab key through the program's own forms and panels: the sewer panel's
// manhole fields in their order, and on every form and page the keyboard
// stops only on controls the user sees and can use.

#include <gtest/gtest.h>

#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "ShellTestSupport.h"
#include "app/Form1.h"
#include "app/frmAbrirDir.h"
#include "platform/forms/Private.h"
#include "sewer/frmCalcCotaPT.h"
#include "sewer/frmEditList.h"
#include "sewer/frmEditPV.h"
#include "sewer/frmEditTR.h"
#include "shell/frmInput.h"
#include "shell/frmMsgBox.h"
#include "water/frmWATTubo.h"
#include "shell/modGlobais.h"

using namespace forms;

namespace {

std::string NameOf(const Control* c)
{
    if (!c) return "(none)";
    return c->Index() >= 0 ? c->Name() + "(" + std::to_string(c->Index()) + ")" : c->Name();
}

Control* Tab(Form& f, bool back = false)
{
    Control* now = f.ActiveControl();
    if (now) user::PressKey(*now, vbKeyTab, back ? vbShiftMask : 0);
    return f.ActiveControl();
}

// Tabs once round the form from where the focus is: each stop shows on the
// screen and is enabled, and the round comes back to its start.
void ExpectARoundInView(Form& f, const std::string& where)
{
    Control* start = f.ActiveControl();
    ASSERT_NE(start, nullptr) << where;
    std::set<Control*> seen;
    for (int i = 0; i < 200; ++i) {
        Control* c = Tab(f);
        ASSERT_NE(c, nullptr) << where;
        if (c == start) return;
        QWidget* w = c->Impl().FocusWidget();
        EXPECT_TRUE(c->Visible() && c->Enabled() && w->isEnabled()) << where << ": " << NameOf(c);
        EXPECT_FALSE(w->visibleRegion().isEmpty()) << where << ": " << NameOf(c) << " is out of view";
        EXPECT_TRUE(seen.insert(c).second) << where << ": " << NameOf(c) << " twice";
    }
    ADD_FAILURE() << where << ": the round never came back to " << NameOf(start);
}

// A form of kind F shown (set up by `prepare`): it starts on a control,
// and a round of Tab from there stays on what shows.
template <class F, class Prepare>
void RoundOf(Prepare prepare)
{
    F d;
    prepare(d);
    d.Show();
    DoEvents();
    if (d.ActiveControl())
        ExpectARoundInView(d, d.Name());
    else
        ADD_FAILURE() << d.Name() << " shows with no control focused";
    Unload(d);
}
template <class F>
void RoundOf()
{
    RoundOf<F>([](F&) {});
}

struct TabOrder : ::testing::Test {
    shelltest::TempDir programa;

    void SetUp() override
    {
        shelltest::UseProgramPictures();
        DefinePastaPrograma(programa.path());
        gMdbPath = gBlocosPath = gImagensPath = gAppPath = "";
        gLogo = gBanner = Picture();
        const std::filesystem::path bin = std::getenv("QUORIL_BIN_DIR");
        std::filesystem::copy_file(bin / "rereva2000r.mdb", std::filesystem::path(programa.path()) / "rereva2000r.mdb");
        // The water materials' menu pictures lie beside it.
        for (const auto& e : std::filesystem::directory_iterator(bin)) {
            const std::string nome = e.path().filename().string();
            for (const std::string fim : {"_Flat.bmp", "_Move.bmp", "_Click.bmp"})
                if (nome.size() > fim.size() && nome.ends_with(fim))
                    std::filesystem::copy_file(e.path(), std::filesystem::path(programa.path()) / nome);
        }
    }
    void TearDown() override { DefinePastaPrograma(""); }
};

}  // namespace

TEST_F(TabOrder, TheManholeFieldsFollowTheirRowsDownThePage)
{
    shelltest::ModalAnswers answers;
    Form1 f;
    f.Show();
    user::ChooseTab(f.SSIniciar, 1);
    ASSERT_TRUE(f.SD.Iniciado());
    SANDes98& SD = f.SD;
    user::Focus(SD.DesTxt(3));  // "Número:"
    std::vector<std::string> stops;
    for (int i = 0; i < 6; ++i) stops.push_back(NameOf(Tab(f)));
    EXPECT_EQ(stops, (std::vector<std::string>{"DesTxt(0)", "DesTxt(1)", "DesTxt(2)", "CalcCotasUseObjZChk",
                                               "DesInsertPVcmd", "DesEtapaCbo"}));
    // Back up the page: the prefix and the type above the number.
    user::Focus(SD.DesTxt(3));
    EXPECT_EQ(NameOf(Tab(f, true)), "DesTxtS(1)");
    EXPECT_EQ(NameOf(Tab(f, true)), "DesPVcbo");

    // The generic network's page: number, prefix, ground elevation, in order.
    user::ChooseTab(SD.SSDesenho, 2);
    user::Focus(SD.DesTxt(8));
    EXPECT_EQ(NameOf(Tab(f)), "DesTxtS(0)");
    EXPECT_EQ(NameOf(Tab(f)), "DesTxt(7)");
    Unload(f);
}

TEST_F(TabOrder, EveryPanelAndPageKeepsTheKeyboardOnWhatShows)
{
    shelltest::ModalAnswers answers;
    Form1 f;
    f.Show();
    for (int tab = 1; tab <= 4; ++tab) {
        user::ChooseTab(f.SSIniciar, tab);
        user::Focus(f.cmdEnd);
        ExpectARoundInView(f, "panel " + std::to_string(tab));
    }
    user::ChooseTab(f.SSIniciar, 1);
    for (int page = 0; page < f.SD.SSDesenho.Tabs(); ++page) {
        user::ChooseTab(f.SD.SSDesenho, page);
        user::Focus(f.cmdEnd);
        ExpectARoundInView(f, "sewer page " + std::to_string(page));
    }
    // The network tool set, switched in by its option.
    user::Click(f.ESGOption1(1));
    for (int page = 0; page < f.SD.SSTabBrivan.Tabs(); ++page) {
        user::ChooseTab(f.SD.SSTabBrivan, page);
        user::Focus(f.cmdEnd);
        ExpectARoundInView(f, "sewer network page " + std::to_string(page));
    }
    // The water panel's three tool sets, each switched in by its option.
    user::ChooseTab(f.SSIniciar, 2);
    ASSERT_TRUE(f.WC.Iniciado());
    TabControl* aguas[] = {&f.WC.SSDesenho, &f.WC.SSTools, &f.WC.SSLumbra};
    for (int set = 0; set < 3; ++set) {
        user::Click(f.AGUOption1(set));
        for (int page = 0; page < aguas[set]->Tabs(); ++page) {
            user::ChooseTab(*aguas[set], page);
            user::Focus(f.cmdEnd);
            ExpectARoundInView(f, "water set " + std::to_string(set) + " page " + std::to_string(page));
        }
    }
    Unload(f);
}

TEST_F(TabOrder, TheDialogsKeepTheKeyboardOnWhatShows)
{
    shelltest::ModalAnswers answers;
    Form1 main;
    main.Show();
    user::ChooseTab(main.SSIniciar, 1);
    RoundOf<frmMsgBox>();
    RoundOf<frmInput>();
    RoundOf<frmAbrirDir>();
    RoundOf<frmCalcCotaPT>();
    RoundOf<frmEditList>([](frmEditList& d) { d.SetObjetivo("Material"); });
    RoundOf<frmEditTR>();
    RoundOf<frmEditPV>();
    RoundOf<frmWATTubo>([](frmWATTubo& d) {
        d.Frame1(1).SetVisible(true);
        d.SetlCaption("DN100");
    });
    Unload(main);
}
