// User controls: the property bag of the run, siting, fixed size, events.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "SampleForm.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"

using namespace forms;

namespace {

TEST(FormsUserControls, PropertyBagConvertsAndLeavesDefaultsOut)
{
    PropertyBag bag;
    bag.WriteProperty("PRECCOTA", 5, 3);
    EXPECT_EQ(bag.ReadProperty("preccota", 3), 5);  // names ignore case
    bag.WriteProperty("PRECCOTA", 3, 3);            // the default is not stored
    EXPECT_FALSE(bag.Contains("PRECCOTA"));
    EXPECT_EQ(bag.ReadProperty("PRECCOTA", 3), 3);

    bag.WriteProperty("AcadZoomScale", 0.4, 0.4);
    EXPECT_EQ(bag.Count(), 0);
    bag.WriteProperty("AcadZoomScale", 0.25, 0.4);
    EXPECT_DOUBLE_EQ(bag.ReadProperty("AcadZoomScale", 0.4), 0.25);
    bag.WriteProperty("SeparadorDecimal", 2L, 1);
    EXPECT_EQ(bag.ReadProperty("SeparadorDecimal", 1L), 2L);

    bag.WriteProperty("Caption", std::string("Preparando..."), "");
    EXPECT_EQ(bag.ReadProperty("Caption", ""), "Preparando...");
    bag.WriteProperty("Caption", "", "");
    EXPECT_EQ(bag.ReadProperty("Caption", "x"), "x");
    bag.WriteProperty("EnabledTimer", true, false);
    EXPECT_TRUE(bag.ReadProperty("EnabledTimer", false));
    EXPECT_EQ(bag.ReadProperty("EnabledTimer", 0), -1);  // VB's True

    bag.WriteProperty("Tol", std::string("0,01"));
    EXPECT_DOUBLE_EQ(bag.ReadProperty("Tol", 0.1), 0.01);  // comma or point
    bag.WriteProperty("Half", std::string("2.5"));
    EXPECT_EQ(bag.ReadProperty("Half", 0), 2);  // to the even whole number
    bag.WriteProperty("Word", std::string("abc"));
    EXPECT_EQ(bag.ReadProperty("Word", 7), 7);  // not a number: the default
    EXPECT_EQ(bag.ReadProperty("Missing", 400), 400);
}

TEST(FormsUserControls, SettingsLiveInTheBagForTheRun)
{
    {
        sample::frmHost host;
        EXPECT_EQ(host.SD.readCount, 0);  // not sited before the host loads
        EXPECT_FALSE(host.SD.Loaded());
        Load(host);
        EXPECT_TRUE(host.SD.Loaded());
        EXPECT_EQ(host.SD.BagKey(), "frmHost.SD");
        EXPECT_EQ(host.SD.initCount, 1);  // the first time in the run
        EXPECT_EQ(host.SD.readCount, 1);
        EXPECT_EQ(host.SD.Decimals(), 3);
        EXPECT_DOUBLE_EQ(host.SD.ZoomScale(), 0.4);
        EXPECT_EQ(host.SD.DecimalsTxt.Text(), "3");
        host.SD.SetDecimals(5);
        Unload(host);
        EXPECT_EQ(host.SD.writeCount, 1);
    }
    {
        sample::frmHost host;  // a new instance of the same host
        Load(host);
        EXPECT_EQ(host.SD.initCount, 0);
        EXPECT_EQ(host.SD.Decimals(), 5);
        EXPECT_DOUBLE_EQ(host.SD.ZoomScale(), 0.4);
        EXPECT_EQ(host.SD.DecimalsTxt.Text(), "5");
        Unload(host);  // nothing changed: nothing written, the bag stays
        EXPECT_EQ(host.SD.writeCount, 0);
    }
    {
        sample::frmHost host;
        Load(host);
        EXPECT_EQ(host.SD.Decimals(), 5);
        host.SD.SetDecimals(3);  // back to the default
        host.SD.SetZoomScale(0.5);
        Unload(host);
    }
    sample::frmHost host;
    Load(host);
    EXPECT_EQ(host.SD.initCount, 0);
    EXPECT_EQ(host.SD.Decimals(), 3);
    EXPECT_DOUBLE_EQ(host.SD.ZoomScale(), 0.5);
    Unload(host);
}

TEST(FormsUserControls, KeepTheirSizeAndTheirOwnControls)
{
    sample::frmHost host;
    host.SD.SetWidth(5000);  // a design value: no Resize yet
    EXPECT_EQ(host.SD.resizeCount, 0);
    int shown = 0;
    host.SD.Show += [&] { ++shown; };
    int painted = 0;
    host.SD.Paint += [&] { ++painted; };
    host.Show();
    EXPECT_EQ(shown, 1);
    EXPECT_DOUBLE_EQ(host.SD.Width(), 2595);  // the first Resize fixed it
    const int before = host.SD.resizeCount;
    host.SD.Move(0, 0, 4000, 1000);
    EXPECT_DOUBLE_EQ(host.SD.Width(), 2595);
    EXPECT_DOUBLE_EQ(host.SD.Height(), 3810);
    EXPECT_LE(host.SD.resizeCount - before, 2);  // the handler's own Size ends it
    DoEvents();
    EXPECT_GE(painted, 1);

    // The panel's controls are its own, not its host's.
    EXPECT_EQ(host.Controls().Find("Label1"), nullptr);
    EXPECT_EQ(&host.SD.Controls("Label1"), &host.SD.Label1);
    EXPECT_EQ(&host.Controls("SD"), &host.SD);
    EXPECT_NE(host.SD.hWnd(), host.hWnd());
    EXPECT_EQ(host.SD.hWnd(), host.SD.hWnd());
    EXPECT_EQ(host.SD.Label1.Parent(), &host.SD);

    // Keys typed into a panel's box reach the panel's handlers.
    std::string typed;
    host.SD.DecimalsTxt.KeyPress += [&](int& KeyAscii) { typed += static_cast<char>(KeyAscii); };
    user::Type(host.SD.DecimalsTxt, "4");
    EXPECT_EQ(typed, "4");
    Unload(host);
}

TEST(FormsUserControls, ControlsOfAUserControlLoadedAtRunTimeOnItsTabPages)
{
    // The panels load label and combo rows at run time inside a frame on a tab page.
    class Panel : public UserControl {
    public:
        explicit Panel(Init init) : UserControl(std::move(init))
        {
            Tabs.SetTabs(2);
            Tabs.Move(0, 0, 2595, 3810);
            Frm.Move(120, 600, 2300, 2000);
            Lbl(0).Move(60, 240, 1000, 255);
            Lbl(0).SetCaption("Bloco");
        }
        TabControl& Tabs = Add<TabControl>("Tabs");
        Frame& Frm = Add<Frame>("Frm", Tabs.Page(1));
        ControlArray<Label>& Lbl = AddArray<Label>("Lbl", {0}, Frm);
    };
    Form host("frmPanelHost");
    auto& P = host.Add<Panel>("P");
    host.Show();
    EXPECT_DOUBLE_EQ(P.Frm.Left(), 120 - 75000);  // page 1 is not shown
    P.Lbl.Load(1);
    P.Lbl(1).SetTop(P.Lbl(0).Top() + 315);
    P.Lbl(1).SetVisible(true);
    EXPECT_DOUBLE_EQ(P.Lbl(1).Left(), 60);  // inside the frame: the frame moves, not the label
    user::ChooseTab(P.Tabs, 1);
    EXPECT_DOUBLE_EQ(P.Frm.Left(), 120);
    EXPECT_EQ(&P.Controls("Lbl", 1), &P.Lbl(1));
    Unload(host);
}

}  // namespace
