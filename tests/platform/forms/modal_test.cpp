// Showing forms: modal with the test driver or a real nested loop, modeless,
// Hide ending a modal show, Unload as a step of its own.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "FormsTestSupport.h"
#include "SampleForm.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"

using namespace forms;

namespace {

using Log = std::vector<std::string>;

int Count(const Log& log, const std::string& what)
{
    return static_cast<int>(std::count(log.begin(), log.end(), what));
}

TEST(FormsModal, ShowCallsTheDriverWhichAnswersLikeAPerson)
{
    Form owner("frmOwner");
    owner.Show();
    auto f = std::make_unique<sample::frmSample>();
    int driven = 0;
    ScopedTestDriver driver([&](Form& form) {
        ++driven;
        EXPECT_EQ(form.Name(), "frmSample");
        EXPECT_TRUE(form.Visible());
        EXPECT_TRUE(form.IsModal());
        auto& me = dynamic_cast<sample::frmSample&>(form);
        EXPECT_EQ(me.ActiveControl(), &me.Text1);  // Paint gave it the focus
        user::Type(form.Controls<TextBox>("Text1"), "12,5");
        user::Click(form.Controls("CmdOK"));
    });

    f->Show(vbModal, &owner);
    EXPECT_EQ(driven, 1);
    EXPECT_TRUE(f->OK);
    EXPECT_FALSE(f->Cancel);
    EXPECT_EQ(f->Valor, "12.5");
    EXPECT_FALSE(f->Visible());
    EXPECT_FALSE(f->IsModal());
    EXPECT_TRUE(f->Loaded());  // Hide ended the show; the caller unloads

    ASSERT_GE(f->events.size(), 3u);
    EXPECT_EQ(f->events[0], "Load");
    EXPECT_EQ(f->events[1], "Resize");
    EXPECT_EQ(Count(f->events, "Load"), 1);
    EXPECT_GE(Count(f->events, "Paint"), 1);
    EXPECT_EQ(Count(f->events, "Activate"), 1);

    Unload(*f);
    EXPECT_FALSE(f->Loaded());
    EXPECT_EQ(f->events.back(), "Unload");
    EXPECT_EQ(Count(f->events, "QueryUnload 1"), 1);

    // Shown again: loaded again.
    f->Show(vbModal, &owner);
    EXPECT_EQ(Count(f->events, "Load"), 2);
    EXPECT_EQ(driven, 2);
    Unload(*f);
}

TEST(FormsModal, ADialogPutNowhereOpensCentredOnTheWindowThatOpenedIt)
{
    Form owner("frmOwner");
    owner.Move(3000, 1500, 3000, 6000);
    owner.Show();
    auto place = [&](double left, double top) {
        Form dlg("frmDialog");
        dlg.Move(left, top, 4800, 3000);
        std::pair<double, double> shown;
        ScopedTestDriver driver([&](Form& f) { shown = {f.Left(), f.Top()}; });
        dlg.Show(vbModal, &owner);
        Unload(dlg);
        return shown;
    };
    EXPECT_EQ(place(0, 0), std::make_pair(2100.0, 3000.0));
    // A place its caller gave is kept.
    EXPECT_EQ(place(150, 0), std::make_pair(150.0, 0.0));
    // By the screen's edge it stays whole on the screen.
    owner.Move(0, 0, 3000, 6000);
    EXPECT_EQ(place(0, 0), std::make_pair(0.0, 1500.0));
}

TEST(FormsModal, OtherFormsTakeNoInputWhileAFormIsModal)
{
    Form main("frmMain");
    auto& Tool = main.Add<CommandButton>("Tool");
    auto& Field = main.Add<TextBox>("Field");
    Field.SetTop(600);
    int toolClicks = 0;
    Tool.Click += [&] { ++toolClicks; };
    main.Show();
    sample::frmSample dialog;
    ScopedTestDriver driver([&](Form&) {
        user::Click(Tool);  // the main window is out of reach
        user::Type(Field, "9");
        Tool.SetValue(true);  // code is not: it still clicks
        user::Type(dialog.Text1, "7");
        user::Click(dialog.CmdOK);
    });
    dialog.Show(vbModal, &main);
    EXPECT_EQ(toolClicks, 1);
    EXPECT_EQ(Field.Text(), "");
    EXPECT_EQ(dialog.Valor, "7");
    user::Click(Tool);  // reachable again
    EXPECT_EQ(toolClicks, 2);
    Unload(dialog);
    Unload(main);
}

TEST(FormsModal, ADriverThatLeavesTheFormOpenStillReturns)
{
    sample::frmSample f;
    ScopedTestDriver driver([](Form&) {});
    f.Show(vbModal);
    EXPECT_FALSE(f.Visible());
    EXPECT_FALSE(f.OK);
    EXPECT_FALSE(f.Cancel);
    Unload(f);
}

TEST(FormsModal, WithoutADriverAModalShowRunsALoopThatHideEnds)
{
    ASSERT_FALSE(HasTestDriver());
    sample::frmSample f;
    auto& Timer1 = f.Add<Timer>("Timer1");
    int ticks = 0;
    // The form's own timer presses Cancel: the nested loop keeps timers running.
    Timer1.Tick += [&] {
        if (++ticks == 2) f.CmdCancel.SetValue(true);
    };
    Timer1.SetInterval(5);
    f.Show(vbModal);
    EXPECT_EQ(ticks, 2);
    EXPECT_TRUE(f.Cancel);
    EXPECT_FALSE(f.Visible());
    Timer1.SetEnabled(false);
    Unload(f);
}

TEST(FormsModal, NestedModalShowsFromAHandler)
{
    sample::frmSample outer;
    sample::frmSample inner;
    auto& Ask = outer.Add<CommandButton>("Ask");
    Log log;
    Ask.Click += [&] {
        log.push_back("ask");
        inner.Show(vbModal, &outer);
        log.push_back(inner.OK ? "inner ok" : "inner cancel");
        Unload(inner);
    };
    ScopedTestDriver driver([&](Form& form) {
        log.push_back("drive " + std::to_string(form.hWnd() == outer.hWnd() ? 1 : 2));
        if (&form == &outer) {
            user::Click(Ask);
            user::Click(outer.CmdOK);
        } else {
            user::Click(inner.CmdCancel);
        }
    });
    outer.Show(vbModal);
    EXPECT_EQ(log, (Log{"drive 1", "ask", "drive 2", "inner cancel"}));
    EXPECT_TRUE(outer.OK);
    EXPECT_FALSE(inner.Loaded());
    Unload(outer);
}

TEST(FormsModal, AFormMadeAndDestroyedInsideAHandlerLeavesNothingBehind)
{
    // A dialog made locally in a click handler (a message box, a cancel
    // window) is destroyed before the handler returns; its window, deleted
    // later by Qt, must not reach back into the form.
    sample::frmSample outer;
    auto& Ask = outer.Add<CommandButton>("Ask");
    int asked = 0;
    Ask.Click += [&] {
        sample::frmSample local;
        auto& list = local.Add<ListBox>("List1");
        list.Move(120, 2000, 1500, 600);
        list.AddItem("PV-1");
        auto& combo = local.Add<ComboBox>("Combo1");
        combo.Move(1800, 2000, 1500, 300);
        combo.AddItem("PVC");
        local.Show(vbModal, &outer);
        Unload(local);
        sample::frmSample modeless;
        modeless.Show();
        ++asked;
    };
    ScopedTestDriver driver([&](Form& form) {
        if (&form == &outer) {
            user::Click(Ask);
            DoEvents();
            user::Click(Ask);
            DoEvents();
            user::Click(outer.CmdOK);
        } else {
            if (form.Controls().Find("List1")) {
                user::Click(form.Controls("List1"));
                user::Type(form.Controls<ComboBox>("Combo1"), "PEAD");
            }
            user::Click(form.Controls("CmdCancel"));
        }
    });
    outer.Show(vbModal);
    DoEvents();
    EXPECT_EQ(asked, 2);
    Unload(outer);
}

TEST(FormsModal, ADialogOpenedByAPressGetsThePersonsClicks)
{
    // A list's click (raised on the press) opens a modal dialog: the person
    // lets go of the button before clicking in the dialog.
    sample::frmSample outer;
    auto& List1 = outer.Add<ListBox>("List1");
    List1.Move(120, 2000, 1500, 900);
    List1.AddItem("PV-1");
    List1.AddItem("PV-2");
    sample::frmSample dialog;
    List1.Click += [&] {
        dialog.Show(vbModal, &outer);
        Unload(dialog);
    };
    ScopedTestDriver driver([&](Form& form) {
        if (&form == &outer) {
            user::Choose(List1, 1);
            user::Click(outer.CmdOK);
        } else {
            user::Type(form.Controls<TextBox>("Text1"), "7");
            user::Click(form.Controls("CmdOK"));
        }
    });
    outer.Show(vbModal);
    EXPECT_TRUE(dialog.OK);
    EXPECT_EQ(dialog.Valor, "7");
    EXPECT_EQ(List1.ListIndex(), 1);
    Unload(outer);
}

TEST(FormsModal, QueryUnloadMayKeepTheFormLoaded)
{
    sample::frmSample f;
    int cancelNext = 1;
    f.QueryUnload += [&](int& Cancel, int) { Cancel = cancelNext; };
    f.Show();
    Unload(f);
    EXPECT_TRUE(f.Loaded());
    EXPECT_TRUE(f.Visible());

    // The title bar's close button asks the same question, as vbFormControlMenu.
    user::CloseWindow(f);
    EXPECT_TRUE(f.Loaded());
    EXPECT_EQ(f.events.back(), "QueryUnload 0");
    cancelNext = 0;
    user::CloseWindow(f);
    EXPECT_FALSE(f.Loaded());
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(f.events.back(), "Unload");
}

TEST(FormsModal, ModelessShowReturnsAtOnceAndCannotTurnModal)
{
    sample::frmSample f;
    f.Show();
    EXPECT_TRUE(f.Visible());
    EXPECT_FALSE(f.IsModal());
    EXPECT_EQ(DoEvents(), static_cast<int>(Forms().size()));
    EXPECT_NE(std::find(Forms().begin(), Forms().end(), &f), Forms().end());
    formstest::ExpectError(400, [&] { f.Show(vbModal); });  // already shown modeless
    f.SetVisible(false);
    EXPECT_FALSE(f.Visible());
    EXPECT_TRUE(f.Loaded());
    Unload(f);
    EXPECT_EQ(std::find(Forms().begin(), Forms().end(), &f), Forms().end());
}

TEST(FormsModal, ScreenAndAppDescribeTheRun)
{
    Screen.SetMousePointer(vbHourglass);
    EXPECT_EQ(Screen.MousePointer(), vbHourglass);
    Screen.SetMousePointer(vbSizeWE);
    Screen.SetMousePointer(vbDefault);
    EXPECT_EQ(Screen.MousePointer(), vbDefault);
    EXPECT_EQ(App.EXEName(), "test_forms");
    EXPECT_FALSE(App.Path().empty());
    EXPECT_GE(App.Major(), 1);
    EXPECT_GE(App.Minor(), 0);
    EXPECT_GE(App.Revision(), 0);
    sample::frmSample f;
    f.Show();
    DoEvents();
    EXPECT_EQ(Screen.ActiveForm(), &f);
    EXPECT_EQ(Screen.ActiveControl(), &f.Text1);
    Unload(f);
}

TEST(FormsModal, WindowStateMinimisedAndNormal)
{
    sample::frmSample f;
    f.Show();
    f.SetWindowState(vbMinimized);
    EXPECT_EQ(f.WindowState(), vbMinimized);
    f.SetWindowState(vbNormal);
    DoEvents();
    EXPECT_EQ(f.WindowState(), vbNormal);
    EXPECT_TRUE(f.TopMost());
    EXPECT_EQ(f.BorderStyle(), 0);
    Unload(f);
}

}  // namespace
