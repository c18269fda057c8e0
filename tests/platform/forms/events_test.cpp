// Events: order, re-entrancy, several subscribers, values set by code, keys
// filtered through KeyAscii, control arrays loaded at run time, timers.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "FormsTestSupport.h"
#include "SampleForm.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"

using namespace forms;

namespace {

using Log = std::vector<std::string>;

TEST(FormsEvents, ClickRaisedBySettingListIndexInsideAnotherHandlerRunsAtOnce)
{
    Form f("frmReentry");
    auto& Combo1 = f.Add<ComboBox>("Combo1");
    auto& List1 = f.Add<ListBox>("List1");
    for (const char* s : {"a", "b", "c"}) {
        Combo1.AddItem(s);
        List1.AddItem(s);
    }
    Log log;
    Combo1.Click += [&] {
        log.push_back("combo " + std::to_string(Combo1.ListIndex()));
        List1.SetListIndex(2);
        log.push_back("combo done");
    };
    List1.Click += [&] {
        log.push_back("list " + List1.List(List1.ListIndex()));
        // a handler setting the value it handles: VB runs the nested Click too
        if (List1.ListIndex() == 2) List1.SetListIndex(0);
    };

    Combo1.SetListIndex(1);
    EXPECT_EQ(log, (Log{"combo 1", "list c", "list a", "combo done"}));
    EXPECT_EQ(List1.ListIndex(), 0);

    log.clear();
    Combo1.SetListIndex(1);  // the same value: no Click
    List1.SetListIndex(0);
    EXPECT_TRUE(log.empty());
}

TEST(FormsEvents, TwoSubscribersOnOneListClickRunInSubscriptionOrder)
{
    sample::frmSample f;
    auto& List1 = f.Add<ListBox>("List1");
    List1.Move(120, 1000, 2000, 1200);
    for (const char* s : {"primeiro", "segundo", "terceiro"}) List1.AddItem(s);
    f.Show();

    // The panel reads the entry; a worker subscribed later removes it.
    std::string seen;
    int workerCalls = 0;
    List1.Click += [&] { seen = List1.Text(); };
    List1.Click += [&] {
        ++workerCalls;
        if (List1.ListIndex() >= 0) List1.RemoveItem(List1.ListIndex());
    };

    user::Choose(List1, 1);
    EXPECT_EQ(seen, "segundo");
    EXPECT_EQ(workerCalls, 1);
    EXPECT_EQ(List1.ListCount(), 2);
    EXPECT_EQ(List1.ListIndex(), -1);

    // A click on the entry already chosen is a Click again.
    List1.Click.DisconnectAll();
    List1.SetListIndex(0);
    workerCalls = 0;
    List1.Click += [&] { ++workerCalls; };
    user::Choose(List1, 0);
    EXPECT_EQ(workerCalls, 1);
    Unload(f);
}

TEST(FormsEvents, ValuesSetByCodeRaiseTheEventsOfTheUser)
{
    Form f("frmValues");
    auto& Text1 = f.Add<TextBox>("Text1");
    auto& Check1 = f.Add<CheckBox>("Check1");
    auto& Opt = f.AddArray<OptionButton>("Option1", {0, 1, 2});
    auto& Frame1 = f.Add<Frame>("Frame1");
    auto& Other = f.Add<OptionButton>("Other", Frame1);  // another container: another group
    auto& Scr = f.Add<VScrollBar>("VScroll1");
    Log log;
    Text1.Change += [&] { log.push_back("change " + Text1.Text()); };
    Check1.Click += [&] { log.push_back("check " + std::to_string(Check1.Value())); };
    Opt.Click += [&](int i) { log.push_back("option " + std::to_string(i)); };
    Other.Click += [&] { log.push_back("other"); };
    Scr.Change += [&] { log.push_back("scroll " + std::to_string(Scr.Value())); };

    Text1.SetText("10");
    Text1.SetText("10");
    Check1.SetValue(vbChecked);
    Check1.SetValue(vbChecked);
    Opt(1).SetValue(true);
    Opt(2).SetValue(true);
    Other.SetValue(true);
    Opt(2).SetValue(false);  // no Click for False
    Scr.SetMax(7);
    Scr.SetValue(3);
    EXPECT_EQ(log, (Log{"change 10", "check 1", "option 1", "option 2", "other", "scroll 3"}));
    EXPECT_FALSE(Opt(1).Value());
    EXPECT_FALSE(Opt(2).Value());
    EXPECT_TRUE(Other.Value());

    formstest::ExpectError(380, [&] { Scr.SetValue(8); });  // past Max

    // A scroll bar that wraps round in its own Change handler (7 -> 1).
    log.clear();
    Scr.Change.DisconnectAll();
    Scr.Change += [&] {
        log.push_back(std::to_string(Scr.Value()));
        if (Scr.Value() == 7) Scr.SetValue(1);
    };
    user::Scroll(Scr, 4);
    EXPECT_EQ(log, (Log{"4", "5", "6", "7", "1"}));
}

TEST(FormsEvents, KeyAsciiIsRewrittenOrDroppedByTheHandler)
{
    sample::frmSample f;
    f.Show();
    user::Type(f.Text1, "1,5a-x2");
    EXPECT_EQ(f.Text1.Text(), "1.5-2");
    EXPECT_EQ(f.Valor, "1.5-2");  // Change ran for each key that reached the box
    user::PressKey(f.Text1, vbKeyBack);
    EXPECT_EQ(f.Text1.Text(), "1.5-");

    // KeyDown with KeyCode set to 0 swallows the key, KeyPress included.
    Log log;
    f.Text1.KeyDown += [&](int& KeyCode, int Shift) {
        log.push_back("down " + std::to_string(KeyCode) + " " + std::to_string(Shift));
        if (KeyCode == '7') KeyCode = 0;
    };
    f.Text1.KeyPress += [&](int& KeyAscii) { log.push_back("press " + std::to_string(KeyAscii)); };
    user::Type(f.Text1, "78");
    EXPECT_EQ(f.Text1.Text(), "1.5-8");
    EXPECT_EQ(log, (Log{"down 55 0", "down 56 0", "press 56"}));

    // MaxLength limits typing, not code.
    f.Text1.SetMaxLength(6);
    user::Type(f.Text1, "999");
    EXPECT_EQ(f.Text1.Text(), "1.5-89");
    f.Text1.SetText("12345678");
    EXPECT_EQ(f.Text1.Text(), "12345678");

    // With KeyPreview the form sees the key first and may drop it.
    f.SetKeyPreview(true);
    f.KeyPress += [](int& KeyAscii) {
        if (KeyAscii == '0') KeyAscii = 0;
    };
    f.Text1.SetMaxLength(0);
    f.Text1.SetText("");
    user::Type(f.Text1, "102");
    EXPECT_EQ(f.Text1.Text(), "12");
    Unload(f);
}

TEST(FormsEvents, TextBoxesCountLineBreaksAsVbDoes)
{
    sample::frmSample f;
    auto& Notas = f.Add<TextBox>("Notas");
    Notas.SetMultiLine(true);
    Notas.SetScrollBars(vbVertical);
    Notas.Move(120, 1000, 3000, 1000);
    int changes = 0;
    Notas.Change += [&] { ++changes; };
    Notas.SetText("ab\r\ncdef");
    EXPECT_EQ(Notas.Text(), "ab\r\ncdef");
    Notas.SetSelStart(5);  // a b CR LF c | d
    Notas.SetSelLength(2);
    EXPECT_EQ(Notas.SelText(), "de");
    EXPECT_EQ(Notas.SelStart(), 5);
    Notas.SetSelText(" 09:05 ");  // insert at the cursor
    EXPECT_EQ(Notas.Text(), "ab\r\nc 09:05 f");
    EXPECT_EQ(Notas.SelStart(), 12);
    EXPECT_EQ(changes, 2);

    // Locked boxes take no typing; code still writes them.
    f.Show();
    f.Text1.SetLocked(true);
    user::Type(f.Text1, "12");
    EXPECT_EQ(f.Text1.Text(), "");
    f.Text1.SetText("3");
    EXPECT_EQ(f.Valor, "3");

    // A label that fits its caption.
    auto& Lbl = f.Add<Label>("Lbl");
    Lbl.SetAutoSize(true);
    Lbl.SetCaption("x");
    const double narrow = Lbl.Width();
    Lbl.SetCaption("Excedeu o limite de caracteres.");
    EXPECT_GT(Lbl.Width(), narrow);
    Unload(f);
}

TEST(FormsEvents, EnterAndEscapeReachTheDefaultAndCancelButtons)
{
    sample::frmSample f;
    f.CmdOK.SetDefault(true);
    f.CmdCancel.SetCancel(true);
    f.Show();
    user::Type(f.Text1, "4\r");
    EXPECT_TRUE(f.OK);
    EXPECT_EQ(f.Text1.Text(), "4");
    f.Show();
    user::PressKey(f.Text1, vbKeyEscape);
    EXPECT_TRUE(f.Cancel);
    EXPECT_FALSE(f.OK);
    Unload(f);
}

TEST(FormsEvents, CheckBoxesScrollBarsAndFormKeysAnswerTheUser)
{
    sample::frmSample f;
    auto& Check1 = f.Add<CheckBox>("Check1");
    Check1.Move(120, 1200, 2000, 255);
    Check1.SetCaption("Ocultar este diálogo");
    auto& Scr = f.Add<HScrollBar>("Scr");
    Scr.Move(120, 1600, 2000, 255);
    Log log;
    Check1.Click += [&] { log.push_back("check " + std::to_string(Check1.Value())); };
    Scr.Change += [&] { log.push_back("scr " + std::to_string(Scr.Value())); };
    f.Show();

    Check1.SetValue(vbGrayed);
    user::Click(Check1);  // from grayed a click ticks it
    user::Click(Check1);
    user::Click(Check1);
    EXPECT_EQ(log, (Log{"check 2", "check 1", "check 0", "check 1"}));
    // Anywhere on the control, also past the end of a short caption.
    log.clear();
    user::ClickAt(Check1, 1900, 120);
    EXPECT_EQ(log, (Log{"check 0"}));

    // Min above Max: "towards Max" makes the value smaller.
    log.clear();
    Scr.SetMin(10);
    Scr.SetMax(0);
    Scr.SetValue(5);
    user::Scroll(Scr, 2);
    Scr.SetLargeChange(3);
    EXPECT_EQ(Scr.Value(), 3);
    EXPECT_EQ(log, (Log{"scr 5", "scr 4", "scr 3"}));

    // A form with KeyPreview sees the keys before its controls (Ctrl+Home, Down).
    log.clear();
    f.SetKeyPreview(true);
    f.KeyDown += [&](int& KeyCode, int Shift) {
        log.push_back("form " + std::to_string(KeyCode) + "/" + std::to_string(Shift));
    };
    f.Text1.KeyDown += [&](int& KeyCode, int) { log.push_back("text " + std::to_string(KeyCode)); };
    user::PressKey(f.Text1, vbKeyHome, vbCtrlMask);
    user::PressKey(f.Text1, vbKeyDown);
    EXPECT_EQ(log, (Log{"form 36/2", "text 36", "form 40/0", "text 40"}));
    Unload(f);
}

TEST(FormsEvents, ControlArraysLoadedAtRunTime)
{
    Form f("frmArrays");
    auto& lbl = f.AddArray<Label>("TRBlkLbl", {0});
    lbl(0).Move(120, 120, 1200, 255);
    lbl(0).SetCaption("Bloco:");
    lbl(0).SetFontBold(true);
    Log log;
    lbl.Click += [&](int Index) { log.push_back("click " + std::to_string(Index)); };
    lbl.MouseDown += [&](int Index, int Button, int, double X, double Y) {
        log.push_back("down " + std::to_string(Index) + " " + std::to_string(Button) + " " + std::to_string(int(X)) +
                      "," + std::to_string(int(Y)));
    };
    f.Show();

    for (int i = 1; i <= 3; ++i) {
        lbl.Load(i);
        EXPECT_FALSE(lbl(i).Visible());  // loaded elements start hidden
        lbl(i).SetTop(lbl(i - 1).Top() + 315);
        lbl(i).SetVisible(true);
    }
    EXPECT_EQ(lbl.Count(), 4);
    EXPECT_EQ(lbl.UBound(), 3);
    EXPECT_EQ(lbl(3).Caption(), "Bloco:");
    EXPECT_TRUE(lbl(3).FontBold());
    EXPECT_DOUBLE_EQ(lbl(3).Top(), 120 + 3 * 315);
    EXPECT_EQ(&f.Controls("TRBlkLbl", 2), &lbl(2));
    EXPECT_EQ(lbl(2).Index(), 2);

    user::ClickAt(lbl(2), 150, 75);
    EXPECT_EQ(log, (Log{"down 2 1 150,75", "click 2"}));

    lbl.Unload(2);
    EXPECT_FALSE(lbl.Exists(2));
    EXPECT_EQ(f.Controls().Find("TRBlkLbl", 2), nullptr);
    lbl.Load(2);  // the index can be used again
    EXPECT_EQ(lbl.Count(), 4);
    int n = 0;
    for (Label& l : lbl) n += l.Index();
    EXPECT_EQ(n, 0 + 1 + 2 + 3);

    formstest::ExpectError(362, [&] { lbl.Unload(0); });
    formstest::ExpectError(360, [&] { lbl.Load(1); });
    formstest::ExpectError(340, [&] { lbl(9); });

    // Elements of one array may sit in different containers from design time.
    auto& frame = f.Add<Frame>("Frame1");
    frame.Move(2000, 120, 1500, 1000);
    Label& inFrame = lbl.AddElement(10, frame);
    inFrame.Move(60, 200, 1000, 255);
    log.clear();
    user::ClickAt(inFrame, 150, 75);
    EXPECT_EQ(log, (Log{"down 10 1 150,75", "click 10"}));
    Unload(f);
}

TEST(FormsEvents, MouseAndClickOrderOnALabelAndAButton)
{
    Form f("frmMouse");
    auto& Label1 = f.Add<Label>("Label1");
    Label1.Move(300, 300, 1500, 300);
    auto& Cmd = f.Add<CommandButton>("Command1");
    Cmd.Move(300, 900, 1200, 400);
    Log log;
    auto trace = [&](Control& c, const std::string& name) {
        c.MouseDown += [&log, name](int b, int, double, double) { log.push_back(name + " down " + std::to_string(b)); };
        c.MouseUp += [&log, name](int b, int, double, double) { log.push_back(name + " up " + std::to_string(b)); };
        c.Click += [&log, name] { log.push_back(name + " click"); };
        c.DblClick += [&log, name] { log.push_back(name + " dblclick"); };
    };
    trace(Label1, "label");
    trace(Cmd, "button");
    trace(f, "form");
    f.Show();

    user::Click(Label1);
    user::Click(Label1, vbRightButton);  // no Click for the right button
    user::DblClick(Label1);
    user::Click(Cmd);
    user::ClickAt(f, 4000, 3000);
    EXPECT_EQ(log, (Log{"label down 1", "label up 1", "label click", "label down 2", "label up 2", "label down 1",
                        "label up 1", "label click", "label dblclick", "label up 1", "button down 1", "button up 1",
                        "button click", "form down 1", "form up 1", "form click"}));

    log.clear();
    Cmd.SetValue(true);  // clicking by code
    EXPECT_EQ(log, (Log{"button click"}));
    Unload(f);
}

TEST(FormsEvents, FocusMovesRaiseLostFocusThenGotFocus)
{
    sample::frmSample f;
    auto& Text2 = f.Add<TextBox>("Text2");
    Text2.Move(1080, 1000, 1800, 285);
    Log log;
    f.Text1.GotFocus += [&] {
        log.push_back("got 1");
        f.Text1.SetSelStart(0);
        f.Text1.SetSelLength(3);
    };
    f.Text1.LostFocus += [&] { log.push_back("lost 1"); };
    Text2.GotFocus += [&] { log.push_back("got 2"); };
    f.Text1.SetText("123456");
    f.Show();
    DoEvents();  // Paint gives the focus to Text1
    user::Focus(Text2);
    user::Focus(f.Text1);
    EXPECT_EQ(log, (Log{"got 1", "lost 1", "got 2", "got 1"}));
    EXPECT_EQ(f.Text1.SelText(), "123");
    EXPECT_EQ(f.ActiveControl(), &f.Text1);
    Unload(f);
}

TEST(FormsEvents, HandlersMayUnloadWhatRaisedTheirEvent)
{
    sample::frmSample f;
    auto& Btn = f.AddArray<CommandButton>("Btn", {0});
    Btn(0).Move(120, 1200, 900, 300);
    auto& cmdEnd = f.Add<CommandButton>("cmdEnd");
    cmdEnd.Move(3000, 1200, 300, 300);
    cmdEnd.Click += [&] { Unload(f); };
    Btn.Click += [&](int Index) {
        if (Index > 0) Btn.Unload(Index);  // a loaded button that removes itself
    };
    Btn.MouseDown += [&](int Index, int, int, double, double) {
        if (Index == 2) Btn.Unload(2);  // gone before its button is let go
    };
    f.Show();
    Btn.Load(1);
    Btn.Load(2);
    Btn(1).SetTop(1600);  // loaded where element 0 is: moved apart
    Btn(2).SetTop(2000);
    Btn(1).SetVisible(true);
    Btn(2).SetVisible(true);
    user::Click(Btn(1));
    user::Click(Btn(2));
    DoEvents();
    EXPECT_EQ(Btn.Count(), 1);
    user::Click(cmdEnd);
    EXPECT_FALSE(f.Loaded());
    EXPECT_FALSE(f.Visible());
}

TEST(FormsEvents, TimerTicksFromTheEventLoopWhileEnabled)
{
    Form f("frmTimer");
    auto& Timer1 = f.Add<Timer>("Timer1");
    int ticks = 0;
    Timer1.Tick += [&] {
        if (++ticks == 3) Timer1.SetEnabled(false);
    };
    Timer1.SetInterval(5);
    auto wait = [](int ms, auto until) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end && !until()) DoEvents();
    };
    wait(30, [] { return false; });
    EXPECT_EQ(ticks, 0);  // the form is not loaded
    Load(f);
    wait(5000, [&] { return !Timer1.Enabled(); });
    EXPECT_EQ(ticks, 3);
    wait(30, [] { return false; });
    EXPECT_EQ(ticks, 3);
    Timer1.SetEnabled(true);
    Unload(f);  // unloading the form silences its timer
    wait(30, [] { return false; });
    EXPECT_EQ(ticks, 3);
}

}  // namespace
