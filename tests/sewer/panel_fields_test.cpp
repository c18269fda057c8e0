// The sewer panel's fields as a person types into them, its spinner labels
// dragged with the mouse, the elevation labels and their dialog, the
// preferences, the notes and the point information.

#include <gtest/gtest.h>

#include <ctime>

#include "PanelTestSupport.h"
#include "cad/modAcad.h"
#include "platform/os/Clipboard.h"

using namespace sewertest;
using namespace forms;

namespace {

class PainelCampos : public PainelTest {
protected:
    // Drags over a spinner label from its middle by (dx, dy) twips.
    static void Arrasta(Label& L, double dx, double dy)
    {
        const double x = L.Width() / 2, y = L.Height() / 2;
        user::Drag(L, vbLeftButton, x, y, x + dx, y + dy);
    }
    static std::string Agora(const char* Formato)
    {
        const std::time_t t = std::time(nullptr);
        std::tm tm{};
        localtime_r(&t, &tm);
        char buf[32];
        std::strftime(buf, sizeof buf, Formato, &tm);
        return buf;
    }
};

}  // namespace

TEST_F(PainelCampos, DrawingFieldsTakeDigitsAndADecimalPointTypedEitherWay)
{
    user::Type(SD.DesTxt(0), "101,5x");
    EXPECT_EQ(SD.DesTxt(0).Text(), "101.5");
    // The PV number is a name: every key goes in.
    user::Type(SD.DesTxt(3), "A,b-7");
    EXPECT_EQ(SD.DesTxt(3).Text(), "A,b-7");

    // Enter walks ground → invert → depth → ground; from any later field to ground.
    user::PressKey(SD.DesTxt(0), vbKeyReturn);
    EXPECT_TRUE(SD.DesTxt(1).HasFocus());
    user::PressKey(SD.DesTxt(1), vbKeyReturn);
    EXPECT_TRUE(SD.DesTxt(2).HasFocus());
    user::PressKey(SD.DesTxt(2), vbKeyReturn);
    EXPECT_TRUE(SD.DesTxt(0).HasFocus());
    user::ChooseTab(SD.SSDesenho, 1);
    user::Type(SD.DesTxt(5), "0.0-1a");
    EXPECT_EQ(SD.DesTxt(5).Text(), "0.0-1");
    user::PressKey(SD.DesTxt(5), vbKeyReturn);
    EXPECT_TRUE(SD.DesTxt(0).HasFocus());
    // Backspace still edits.
    user::ChooseTab(SD.SSDesenho, 0);
    user::Focus(SD.DesTxt(3));
    SD.DesTxt(3).SetSelStart(5);
    user::PressKey(SD.DesTxt(3), vbKeyBack);
    EXPECT_EQ(SD.DesTxt(3).Text(), "A,b-");
}

TEST_F(PainelCampos, ElevationsLeaveTheirFieldWithTheElevationDecimals)
{
    user::Type(SD.DesTxt(0), "101,5");
    user::Focus(SD.DesTxt(3));
    EXPECT_EQ(SD.DesTxt(0).Text(), "101.500");

    // Not a number: back with "." for ","; blank stays blank.
    SD.DesTxt(1).SetText("1,2,3");
    user::Focus(SD.DesTxt(1));
    user::Focus(SD.DesTxt(3));
    EXPECT_EQ(SD.DesTxt(1).Text(), "1.2.3");
    SD.DesTxt(2).SetText("");
    user::Focus(SD.DesTxt(2));
    user::Focus(SD.DesTxt(3));
    EXPECT_EQ(SD.DesTxt(2).Text(), "");
    // Other fields are left as typed.
    user::Type(SD.DesTxt(8), "5,0");
    user::Focus(SD.DesTxt(3));
    EXPECT_EQ(SD.DesTxt(8).Text(), "5.0");
}

TEST_F(PainelCampos, OnlyTheFieldBeingEditedRecomputesTheOthers)
{
    SD.DesTxt(1).SetText("98.000");
    user::Type(SD.DesTxt(0), "100");
    EXPECT_EQ(SD.DesTxt(1).Text(), "98.000");
    EXPECT_EQ(SD.DesTxt(2).Text(), "2.000");
    // Typing the depth moves the invert.
    user::Focus(SD.DesTxt(2));
    user::Type(SD.DesTxt(2), "1.5");
    EXPECT_EQ(SD.DesTxt(1).Text(), "98.500");
    EXPECT_EQ(SD.DesTxt(0).Text(), "100.000");
    // Changed by code, a field that does not have the focus recomputes nothing.
    SD.DesTxt(1).SetText("90");
    EXPECT_EQ(SD.DesTxt(2).Text(), "1.5");
    EXPECT_EQ(SD.DesTxt(0).Text(), "100.000");
}

TEST_F(PainelCampos, AnEmptyManholeFieldReadsAsZeroAndTextThatIsNoNumberStopsTheRules)
{
    for (int i : {0, 1, 2, 4, 5, 6}) SD.DesTxt(i).SetText("");
    // The ground typed while the invert is empty: the invert is 0, the depth
    // the whole ground.
    user::Type(SD.DesTxt(0), "101.5");
    EXPECT_EQ(SD.DesTxt(1).Text(), "0.000");
    EXPECT_EQ(SD.DesTxt(2).Text(), "101.500");
    // The invert next: the depth follows.
    user::Type(SD.DesTxt(1), "100");
    EXPECT_EQ(SD.DesTxt(0).Text(), "101.500");
    EXPECT_EQ(SD.DesTxt(2).Text(), "1.500");
    // A lone separator or an emptied depth is 0: the invert is the ground.
    user::Type(SD.DesTxt(2), ".");
    EXPECT_EQ(SD.DesTxt(1).Text(), "101.500");
    user::PressKey(SD.DesTxt(2), vbKeyBack);
    EXPECT_EQ(SD.DesTxt(2).Text(), "");
    EXPECT_EQ(SD.DesTxt(1).Text(), "101.500");
    user::Type(SD.DesTxt(2), "1.5");
    EXPECT_EQ(SD.DesTxt(1).Text(), "100.000");
    // The depth from an emptied ground: the invert is below 0.
    SD.DesTxt(0).SetText("");
    user::PressKey(SD.DesTxt(2), vbKeyA, vbCtrlMask);
    user::Type(SD.DesTxt(2), "2");
    EXPECT_EQ(SD.DesTxt(0).Text(), "0.000");
    EXPECT_EQ(SD.DesTxt(1).Text(), "-2.000");
    // The invert emptied: the depth is the ground.
    SD.DesTxt(0).SetText("10");
    user::Focus(SD.DesTxt(1));
    user::PressKey(SD.DesTxt(1), vbKeyDelete);
    EXPECT_EQ(SD.DesTxt(1).Text(), "");
    EXPECT_EQ(SD.DesTxt(2).Text(), "10.000");
    EXPECT_EQ(SD.DesTxt(0).Text(), "10.000");
    // A text that is not a number, in any of the three, stops the rules: the
    // others stay as they are.
    SD.DesTxt(1).SetText("9x");
    user::Type(SD.DesTxt(0), "12");
    EXPECT_EQ(SD.DesTxt(1).Text(), "9x");
    EXPECT_EQ(SD.DesTxt(2).Text(), "10.000");
    SD.DesTxt(1).SetText("5");
    SD.DesTxt(0).SetText("1-0");
    user::Type(SD.DesTxt(2), "3");
    EXPECT_EQ(SD.DesTxt(0).Text(), "1-0");
    EXPECT_EQ(SD.DesTxt(1).Text(), "5");

    // A reach: an empty length is 0, so the slope leaves the whole fall (none
    // here) to the drop, and the drop gives no slope; an emptied slope or drop
    // is 0.
    user::ChooseTab(SD.SSDesenho, 1);
    user::Type(SD.DesTxt(5), "0.01");
    EXPECT_EQ(SD.DesTxt(6).Text(), "0.000");
    user::Type(SD.DesTxt(6), "0.5");
    EXPECT_EQ(SD.DesTxt(5).Text(), "0.01");
    // With a length the slope gives the drop again.
    user::Type(SD.DesTxt(4), "50");
    user::Type(SD.DesTxt(5), "0.02");
    EXPECT_EQ(SD.DesTxt(6).Text(), "-1.000");
}

TEST_F(PainelCampos, EditingShortcutsPassAndAPasteIsTakenAsTyped)
{
    ASSERT_TRUE(os::Clipboard::SetText(""));
    user::Type(SD.DesTxt(0), "101.5");
    user::PressKey(SD.DesTxt(0), vbKeyA, vbCtrlMask);
    EXPECT_EQ(SD.DesTxt(0).SelLength(), 5);
    user::PressKey(SD.DesTxt(0), vbKeyC, vbCtrlMask);
    EXPECT_EQ(os::Clipboard::GetText(), "101.5");
    user::PressKey(SD.DesTxt(0), vbKeyX, vbCtrlMask);
    EXPECT_EQ(SD.DesTxt(0).Text(), "");
    user::PressKey(SD.DesTxt(0), vbKeyA + 25, vbCtrlMask);
    EXPECT_EQ(SD.DesTxt(0).Text(), "101.5");
    // Pasted over the invert: "," becomes ".", letters, blanks and line ends
    // stay out, and the depth follows as it does for typed keys.
    SD.DesTxt(1).SetText("");
    ASSERT_TRUE(os::Clipboard::SetText("9 8,25 m\r\n"));
    user::Focus(SD.DesTxt(1));
    user::PressKey(SD.DesTxt(1), vbKeyV, vbCtrlMask);
    EXPECT_EQ(SD.DesTxt(1).Text(), "98.25");
    EXPECT_EQ(SD.DesTxt(2).Text(), "3.250");
    // At the cursor, in place of the selection.
    SD.DesTxt(1).SetSelStart(2);
    SD.DesTxt(1).SetSelLength(3);
    ASSERT_TRUE(os::Clipboard::SetText("x7"));
    user::PressKey(SD.DesTxt(1), vbKeyV, vbCtrlMask);
    EXPECT_EQ(SD.DesTxt(1).Text(), "987");
    // The PV number is a name: all of it goes in but the line end.
    ASSERT_TRUE(os::Clipboard::SetText("PV-Á,1\n"));
    user::Focus(SD.DesTxt(3));
    user::PressKey(SD.DesTxt(3), vbKeyV, vbCtrlMask);
    EXPECT_EQ(SD.DesTxt(3).Text(), "PV-Á,1");

    // The tolerances take "," for the decimals, pasted too.
    SD.SetInterface(2);
    SD.PrefsTxt(0).SetText("");
    ASSERT_TRUE(os::Clipboard::SetText("0.05 m"));
    user::Focus(SD.PrefsTxt(0));
    user::PressKey(SD.PrefsTxt(0), vbKeyV, vbCtrlMask);
    EXPECT_EQ(SD.PrefsTxt(0).Text(), "0,05");
    EXPECT_DOUBLE_EQ(SD.TolVerifCota(), 0.05);
    user::PressKey(SD.PrefsTxt(0), vbKeyA, vbCtrlMask);
    user::PressKey(SD.PrefsTxt(0), vbKeyX, vbCtrlMask);
    EXPECT_EQ(SD.PrefsTxt(0).Text(), "");
    EXPECT_EQ(os::Clipboard::GetText(), "0,05");
}

TEST_F(PainelCampos, NumericSpinnersStepTheirFieldFromItsValueAtThePress)
{
    PV(Ponto(0, 0), "PV-1", "101.200");
    PV(Ponto(50, 0), "PV-2", "100.000");
    script->Point({0, 0, 0}).Point({50, 0, 0});
    Clica(SD.DesInsertTRcmd(0));
    ASSERT_EQ(SD.DesTxt(5).Text(), "0.024000");
    user::ChooseTab(SD.SSDesenho, 1);

    // Up by 1500 twips adds a tenth of a thousandth to the slope; the drop follows.
    Arrasta(SD.lblMouseI(5), 0, -1500);
    EXPECT_EQ(SD.DesTxt(5).Text(), "0.024100");
    EXPECT_EQ(SD.DesTxt(6).Text(), "-0.005");
    EXPECT_TRUE(SD.DesTxt(5).HasFocus());
    EXPECT_EQ(SD.MousePointer(), vbDefault);
    EXPECT_EQ(SD.lblMouseI(5).BackColor(), vbButtonFace);
    // A new drag starts from the field's value: back down to where it was.
    Arrasta(SD.lblMouseI(5), 0, 1500);
    EXPECT_EQ(SD.DesTxt(5).Text(), "0.024000");
    EXPECT_EQ(SD.DesTxt(6).Text(), "0.000");

    // Length: ten per 15000 twips upwards; the slope follows.
    Arrasta(SD.lblMouseI(4), 0, -1500);
    EXPECT_EQ(SD.DesTxt(4).Text(), "51.00");
    EXPECT_EQ(SD.DesTxt(5).Text(), "0.023529");

    // The PV number: a thousand per 15000 twips, whole numbers.
    user::ChooseTab(SD.SSDesenho, 0);
    SD.DesTxt(3).SetText("10");
    Arrasta(SD.lblMouseI(3), 0, -150);
    EXPECT_EQ(SD.DesTxt(3).Text(), "20");
    // An empty field starts from 0; one that holds no number stays as it is.
    SD.DesTxt(3).SetText("");
    Arrasta(SD.lblMouseI(3), 0, -1500);
    EXPECT_EQ(SD.DesTxt(3).Text(), "100");
    SD.DesTxt(3).SetText("PV-A");
    Arrasta(SD.lblMouseI(3), 0, -1500);
    EXPECT_EQ(SD.DesTxt(3).Text(), "PV-A");
    // The depth from empty: the invert follows from the ground.
    SD.DesTxt(0).SetText("100.000");
    SD.DesTxt(2).SetText("");
    Arrasta(SD.lblMouseI(2), 0, -1500);
    EXPECT_EQ(SD.DesTxt(2).Text(), "0.100");
    EXPECT_EQ(SD.DesTxt(1).Text(), "99.900");
    // Moving without the button changes nothing.
    SD.DesTxt(0).SetText("100.000");
    user::MouseMove(SD.lblMouseI(0), 0, 0, 10, -3000);
    EXPECT_EQ(SD.DesTxt(0).Text(), "100.000");
}

TEST_F(PainelCampos, ListSpinnersStepTheirListRoundItsEnds)
{
    const int n = SD.DesPVcbo.ListCount();
    ASSERT_GT(n, 3);
    // 900 twips to the left from the first entry: three back, round the end.
    Arrasta(SD.lblMouse(0), -900, 0);
    EXPECT_EQ(SD.DesPVcbo.ListIndex(), n - 3);
    EXPECT_EQ(SD.MousePointer(), vbDefault);
    // Every drag starts from step 0: 300 twips to the right is one entry on.
    Arrasta(SD.lblMouse(0), 300, 0);
    EXPECT_EQ(SD.DesPVcbo.ListIndex(), n - 2);
    Arrasta(SD.lblMouse(0), 285, 0);
    EXPECT_EQ(SD.DesPVcbo.ListIndex(), n - 2);

    // The material's spinner brings its diameters.
    user::ChooseTab(SD.SSDesenho, 1);
    Arrasta(SD.lblMouse(1), 600, 0);
    EXPECT_EQ(SD.DesMatTuboCbo(0).ListIndex(), 2);
    EXPECT_EQ(SD.DesTuboDiamlst.List(0), gMateriais[2].Diametros[0].Diametro);
    EXPECT_EQ(SD.DesTuboDiamlst.ListCount(), static_cast<int>(gMateriais[2].Diametros.size()));
    Arrasta(SD.lblMouse(5), 300, 0);
    EXPECT_EQ(SD.DesTuboDiamlst.ListIndex(), 1);

    // The stage list of the bulk change, by its own Tag.
    SD.SetInterface(1);
    user::ChooseTab(SD.SSTabBrivan, 4);
    Arrasta(SD.lblMouse(6), 600, 0);
    EXPECT_EQ(SD.CHEtCbo.ListIndex(), 2);
    EXPECT_EQ(SD.lblMouse(6).Tag(), "ChEtCbo");
}

TEST_F(PainelCampos, TheGroundLabelsComputeAnElevationThroughTheirDialog)
{
    PontoTopografico(Ponto(12, 7, 101.25), "P1", "101.25");
    PontoTopografico(Ponto(0, 0, 10), "A", "10");
    PontoTopografico(Ponto(100, 0, 20), "B", "20");

    // Hovering marks the label; the drawing tab set takes the mark away.
    user::MouseMove(SD.lblDes(0), 0, 0, 10, 10);
    EXPECT_EQ(SD.lblDes(0).BorderStyle(), 1);
    EXPECT_EQ(SD.lblDes(1).BorderStyle(), 0);
    user::MouseMove(SD.SSDesenho, 0, 0, 2560, 3390);
    EXPECT_EQ(SD.lblDes(0).BorderStyle(), 0);

    // Closed without a choice: nothing changes.
    SD.DesTxt(0).SetText("90.000");
    NoDialogoDeCota([](frmCalcCotaPT& d) {
        user::Click(d.Check1);
        user::Click(d.cmdEnd);
    });
    user::Click(SD.lblDes(0));
    EXPECT_EQ(SD.DesTxt(0).Text(), "90.000");
    EXPECT_TRUE(script->Requests().empty());
    EXPECT_EQ(SD.lblDes(0).BorderStyle(), 0);
    EXPECT_EQ(SD.lblDes(0).Appearance(), 0);

    // On the point, marked: the field and a circle round the survey point.
    NoDialogoDeCota([](frmCalcCotaPT& d) {
        user::Click(d.Check1);
        user::Click(d.Command1);
    });
    script->Point({12.2, 7, 0});
    user::Click(SD.lblDes(0));
    EXPECT_EQ(SD.DesTxt(0).Text(), "101.25");
    EXPECT_EQ(Todos<acad::Circle>().size(), 1u);

    // Interpolated, for the generic PV's field.
    user::ChooseTab(SD.SSDesenho, 2);
    NoDialogoDeCota([](frmCalcCotaPT& d) { user::Click(d.Command2); });
    script->Point({25, 7, 0}).Point({0, 0, 0}).Point({100, 0, 0});
    user::Click(SD.lblDes(10));
    EXPECT_EQ(SD.DesTxt(7).Text(), "12.500");
    // The computed point places the next generic PV.
    Clica(SD.DesInsertPVGenCmd);
    ASSERT_EQ(Blocos("E-PVGEN").size(), 1u);
    EXPECT_TRUE(Perto(Blocos("E-PVGEN")[0]->InsertionPoint(), Ponto(25, 7, 0)));

    // Nothing picked: the field stays.
    NoDialogoDeCota([](frmCalcCotaPT& d) { user::Click(d.Command1); });
    script->Enter();
    user::Click(SD.lblDes(10));
    EXPECT_EQ(SD.DesTxt(7).Text(), "12.500");
    // Other captions open nothing.
    user::Click(SD.lblDes(11));
    EXPECT_EQ(dialogosDeCota, 4);
    EXPECT_EQ(script->Remaining(), 0u);

    // Z of the object: any position, its Z the elevation.
    user::ChooseTab(SD.SSDesenho, 0);
    user::Click(SD.CalcCotasUseObjZChk);
    NoDialogoDeCota([](frmCalcCotaPT& d) { user::Click(d.Command1); });
    script->Point({5, 6, 42.5});
    user::Click(SD.lblDes(0));
    EXPECT_EQ(SD.DesTxt(0).Text(), "42.5");
}

TEST_F(PainelCampos, PreferencesSetTheZoomValuesAndTheTolerances)
{
    SD.SetInterface(2);
    user::Scroll(SD.PrefScr1(0), 3);
    EXPECT_EQ(SD.AcadZoomCenter(), 430);
    user::Scroll(SD.PrefScr1(1), 2);
    EXPECT_DOUBLE_EQ(SD.AcadZoomScale(), 0.6);

    // Typed with "," whatever key gives the separator.
    SD.PrefsTxt(0).SetText("");
    user::Type(SD.PrefsTxt(0), "0.02x");
    EXPECT_EQ(SD.PrefsTxt(0).Text(), "0,02");
    EXPECT_DOUBLE_EQ(SD.TolVerifCota(), 0.02);
    // A text that cannot be read, the empty one included, is a tolerance of
    // 0, silently; shown so when the tab comes back.
    SD.PrefsTxt(1).SetText(",");
    EXPECT_DOUBLE_EQ(SD.TolVerifComp(), 0);
    SD.PrefsTxt(1).SetText("");
    user::Type(SD.PrefsTxt(1), "0,5");
    EXPECT_DOUBLE_EQ(SD.TolVerifComp(), 0.5);
    SD.PrefsTxt(1).SetText("0,5,");
    EXPECT_DOUBLE_EQ(SD.TolVerifComp(), 0);
    SD.PrefsTxt(1).SetText("0,25");
    EXPECT_DOUBLE_EQ(SD.TolVerifComp(), 0.25);
    SD.PrefsTxt(1).SetText("");
    EXPECT_DOUBLE_EQ(SD.TolVerifComp(), 0);
    SD.SetInterface(0);
    SD.SetInterface(2);
    EXPECT_EQ(SD.PrefsTxt(1).Text(), "0");
    EXPECT_EQ(SD.PrefsTxt(0).Text(), "0,02");
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(PainelCampos, NotesTakeDateAndTimeStampsAtTheCursor)
{
    user::ChooseTab(SD.SSDesenho, 3);
    SD.Notas.SetText("abcdéf");
    user::Focus(SD.Notas);
    SD.Notas.SetSelStart(5);
    std::string hora;
    do {
        hora = Agora("%H:%M");
        SD.Notas.SetText("abcdéf");
        SD.Notas.SetSelStart(5);
        user::Click(SD.NotasCmd(1));
    } while (hora != Agora("%H:%M"));
    EXPECT_EQ(SD.Notas.Text(), "abcdé " + hora + " f");

    std::string dia;
    do {
        dia = Agora("%d/%m/%y");
        SD.Notas.SetText("");
        user::Click(SD.NotasCmd(0));
    } while (dia != Agora("%d/%m/%y"));
    EXPECT_EQ(SD.Notas.Text(), " " + dia + " ");
    EXPECT_EQ(dia.size(), 8u);
}

TEST_F(PainelCampos, PointInfoShowsTheSurveyPointPicked)
{
    PontoTopografico(Ponto(12, 7, 101.25), "P-77", "101.25");
    script->Point({12.2, 7, 0});
    user::ChooseTab(SD.SSDesenho, 3);
    Clica(SD.PointInfoCmd);
    EXPECT_EQ(script->Prompts(), std::vector<std::string>{"Selecione ponto: "});
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_NE(mensagens.Textos()[0].find("P-77"), std::string::npos);
    EXPECT_NE(mensagens.Textos()[0].find("101.25"), std::string::npos);
}
