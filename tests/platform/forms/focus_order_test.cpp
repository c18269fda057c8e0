// The keyboard's way through a form: Tab follows the layout, containers take
// their turn, and hidden, disabled and out-of-view controls are never reached.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SampleForm.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"

using namespace forms;

namespace {

// Controls made in an order unlike their places, as forms grow over time.
class frmFocus : public Form {
public:
    frmFocus() : Form("frmFocus")
    {
        Move(0, 0, 4000, 5400);
        Last.Move(2000, 4700, 1200, 375);
        Last.SetCaption("Fim");
        TxtB.Move(1800, 120, 1200, 285);
        TxtA.Move(120, 135, 1200, 285);  // a little lower, on the same row
        SD.Move(120, 600, 2595, 500);
        Fra.Move(120, 1200, 3600, 900);
        OptA.Move(120, 240, 1000, 255);
        OptB.Move(1200, 240, 1000, 255);
        OptC.Move(2400, 240, 1000, 255);
        FraTxt.Move(120, 560, 1200, 285);
        Hidden.Move(120, 2150, 1200, 285);
        Hidden.SetVisible(false);
        Disabled.Move(1800, 2150, 1200, 285);
        Disabled.SetEnabled(false);
        Parked.Move(8000, 2150, 1200, 285);
        Tabs.Move(120, 2550, 3600, 2000);
        Tabs.SetTabs(2);
        P0b.Move(120, 900, 1200, 285);
        P0a.Move(120, 500, 1200, 285);
        P1a.Move(120, 500, 1200, 285);
        Notes.Move(120, 4700, 1500, 500);
        Notes.SetMultiLine(true);
    }

    CommandButton& Last = Add<CommandButton>("Last");
    TextBox& TxtB = Add<TextBox>("TxtB");
    TextBox& TxtA = Add<TextBox>("TxtA");
    Label& Caption1 = Add<Label>("Caption1");
    sample::SamplePanel& SD = Add<sample::SamplePanel>("SD");
    Frame& Fra = Add<Frame>("Fra");
    OptionButton& OptC = Add<OptionButton>("OptC", Fra);
    OptionButton& OptA = Add<OptionButton>("OptA", Fra);
    OptionButton& OptB = Add<OptionButton>("OptB", Fra);
    TextBox& FraTxt = Add<TextBox>("FraTxt", Fra);
    TextBox& Hidden = Add<TextBox>("Hidden");
    TextBox& Disabled = Add<TextBox>("Disabled");
    TextBox& Parked = Add<TextBox>("Parked");
    TabControl& Tabs = Add<TabControl>("Tabs");
    TextBox& P0b = Add<TextBox>("P0b", Tabs.Page(0));
    TextBox& P0a = Add<TextBox>("P0a", Tabs.Page(0));
    TextBox& P1a = Add<TextBox>("P1a", Tabs.Page(1));
    TextBox& Notes = Add<TextBox>("Notes");
};

std::string NameOf(const Control* c) { return c ? c->Name() : "(none)"; }

// Presses Tab (or Shift+Tab) `times` times where the focus is, naming each stop.
std::vector<std::string> Walk(Form& f, int times, bool back = false)
{
    std::vector<std::string> stops;
    for (int i = 0; i < times; ++i) {
        Control* now = f.ActiveControl();
        if (!now) return stops;
        user::PressKey(*now, vbKeyTab, back ? vbShiftMask : 0);
        stops.push_back(NameOf(f.ActiveControl()));
    }
    return stops;
}

using Names = std::vector<std::string>;
using Log = std::vector<std::string>;

TEST(FormsFocusOrder, TabFollowsTheLayoutThroughContainersAndSkipsWhatCannotBeUsed)
{
    frmFocus f;
    f.Show();
    DoEvents();
    // The focus starts on the first control of the layout, not the first made.
    EXPECT_EQ(NameOf(f.ActiveControl()), "TxtA");

    f.OptB.SetValue(true);
    EXPECT_EQ(Walk(f, 9), (Names{"TxtB", "DecimalsTxt", "OptB", "FraTxt", "P0a", "P0b", "Notes", "Last", "TxtA"}));
    EXPECT_EQ(Walk(f, 4, true), (Names{"Last", "Notes", "P0b", "P0a"}));

    // Another page shown: its controls take the place of the first page's,
    // and the field of the page put away lets go of the focus.
    EXPECT_TRUE(f.P0a.HasFocus());
    user::ChooseTab(f.Tabs, 1);
    EXPECT_FALSE(f.P0a.HasFocus());
    user::Focus(f.FraTxt);
    EXPECT_EQ(Walk(f, 3), (Names{"P1a", "Notes", "Last"}));

    // A group of options with none chosen is reached at its first option;
    // a disabled frame hides what it holds; a control shown again is reached.
    f.OptB.SetValue(false);
    ASSERT_FALSE(f.OptA.Value() || f.OptB.Value() || f.OptC.Value());
    user::Focus(f.SD.DecimalsTxt);
    EXPECT_EQ(Walk(f, 1), (Names{"OptA"}));
    f.Fra.SetEnabled(false);
    f.Hidden.SetVisible(true);
    user::Focus(f.SD.DecimalsTxt);
    EXPECT_EQ(Walk(f, 2), (Names{"Hidden", "P1a"}));
    Unload(f);
}

TEST(FormsFocusOrder, TabLeavesAMultiLineBoxAndRaisesTheFocusEvents)
{
    frmFocus f;
    f.Show();
    Log log;
    f.Notes.LostFocus += [&] { log.push_back("Notes.LostFocus"); };
    f.Last.GotFocus += [&] { log.push_back("Last.GotFocus"); };
    f.Notes.SetText("linha");
    user::Focus(f.Notes);
    EXPECT_EQ(Walk(f, 1), (Names{"Last"}));
    EXPECT_EQ(f.Notes.Text(), "linha");  // no tab typed into it
    EXPECT_EQ(log, (Log{"Notes.LostFocus", "Last.GotFocus"}));

    // A form whose controls are all out of use keeps the focus where it is.
    for (Control& c : f.Controls()) c.SetEnabled(false);
    f.Last.SetEnabled(true);
    user::Focus(f.Last);
    EXPECT_EQ(Walk(f, 2), (Names{"Last", "Last"}));
    Unload(f);
}

}  // namespace
