// The progress bar: steps per pixel, percentage or caption, the remaining
// time, the runs that give nothing to measure, and its kept settings.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ShellTestSupport.h"
#include "shell/ProgressBar.h"

using namespace forms;

namespace {

// Each test its own host name: the bar's settings are kept per host for the run.
struct ProgressHost {
    Form form;
    ProgressBar& bar = form.Add<ProgressBar>("Progress1");
    std::vector<std::string> msgs;
    long long agora = 0;

    explicit ProgressHost(const std::string& name, double width = 3015) : form(name)
    {
        bar.Move(0, 0, width, 255);
        bar.TimerMsg += [this](const std::string& m) { msgs.push_back(m); };
        bar.SetRelogio([this] { return agora; });
        form.Show();
    }
    ~ProgressHost() { forms::Unload(form); }
    std::string Texto() const { return bar.ProgressLbl(0).Caption(); }
};

}  // namespace

TEST(ProgressBar, RedrawsOncePerPixelWithThePercentage)
{
    // 1000 steps on a track of 201 pixels: a redraw every 5 steps.
    ProgressHost h("frmPercentagem");
    h.bar.Progress_Start(1000, "");
    EXPECT_EQ(h.bar.CurValue(), 0);
    EXPECT_EQ(h.bar.ProgressFrm.Width(), 15);
    for (int i = 0; i < 4; ++i) h.bar.Progress();
    EXPECT_EQ(h.Texto(), "");
    EXPECT_EQ(h.bar.ProgressFrm.Width(), 15);
    h.bar.Progress();
    EXPECT_EQ(h.Texto(), "0%");
    const double em5 = h.bar.ProgressFrm.Width();
    EXPECT_NEAR(em5, 3015 * 5 / 1000.0, 1);
    for (int i = 0; i < 4; ++i) h.bar.Progress();
    EXPECT_EQ(h.bar.ProgressFrm.Width(), em5);
    h.bar.Progress();
    EXPECT_EQ(h.Texto(), "1%");
    while (h.bar.CurValue() < 370) h.bar.Progress();
    EXPECT_EQ(h.Texto(), "37%");
    EXPECT_EQ(h.bar.ProgressLbl(1).Caption(), "37%");
    EXPECT_NEAR(h.bar.ProgressFrm.Width(), 3015 * 0.37, 1);

    // Fewer steps than half the pixels: every step redraws.
    h.bar.Progress_Start(99, "");
    h.bar.Progress();
    EXPECT_EQ(h.Texto(), "1%");
    h.bar.Progress();
    EXPECT_EQ(h.Texto(), "2%");

    // More steps than announced: past the track and past 100%.
    h.bar.Progress_Start(10, "");
    for (int i = 0; i < 12; ++i) h.bar.Progress();
    EXPECT_EQ(h.Texto(), "120%");
    EXPECT_GT(h.bar.ProgressFrm.Width(), h.bar.ProgressPic.Width());
}

TEST(ProgressBar, ACaptionStaysInPlaceOfThePercentage)
{
    ProgressHost h("frmLegenda");
    h.bar.Progress_Start(10, "Lendo objetos");
    for (int i = 0; i < 5; ++i) h.bar.Progress();
    EXPECT_EQ(h.Texto(), "Lendo objetos");
    EXPECT_EQ(h.bar.ProgressLbl(1).Caption(), "Lendo objetos");
    EXPECT_NEAR(h.bar.ProgressFrm.Width(), 3015 / 2.0, 1);
    h.bar.SetCaption("Gravando");
    EXPECT_EQ(h.bar.Caption(), "Gravando");
    EXPECT_EQ(h.bar.ProgressLbl(1).Caption(), "Gravando");
}

TEST(ProgressBar, NothingToMeasureNeverDividesByZero)
{
    {
        // Maximum 0 with an empty caption clears the bar, and steps change nothing.
        ProgressHost h("frmMaximoZero");
        h.bar.Progress_Start(10, "");
        for (int i = 0; i < 6; ++i) h.bar.Progress();
        h.bar.Progress_Start(0, "");
        EXPECT_EQ(h.Texto(), "");
        EXPECT_EQ(h.bar.ProgressFrm.Width(), 15);
        h.bar.SetEnabledTimer(true);
        for (int i = 0; i < 3; ++i) h.bar.Progress();
        EXPECT_EQ(h.Texto(), "");
        EXPECT_EQ(h.bar.ProgressFrm.Width(), 15);
    }
    {
        // A control one pixel wide: a redraw at every step.
        ProgressHost h("frmEstreito", 15);
        h.bar.Progress_Start(10, "");
        for (int i = 0; i < 3; ++i) h.bar.Progress();
        EXPECT_EQ(h.Texto(), "30%");
    }
}

TEST(ProgressBar, TheRemainingTimeIsToldWhenItsSecondsChange)
{
    {
        ProgressHost h("frmSemTempo");
        h.bar.Progress_Start(100, "");
        for (int i = 0; i < 10; ++i) h.bar.Progress();
        EXPECT_TRUE(h.msgs.empty());  // not even the empty one while switched off
    }
    ProgressHost h("frmTempo");
    h.bar.SetEnabledTimer(true);
    h.bar.Progress_Start(100, "");
    ASSERT_EQ(h.msgs.size(), 1u);
    EXPECT_EQ(h.msgs[0], "");
    // 1 s per step, 99 steps to go: 1 min. 39 s.
    h.agora = 1000;
    h.bar.Progress();
    ASSERT_EQ(h.msgs.size(), 2u);
    EXPECT_EQ(h.msgs[1], "1 min. e 39 seg.");
    h.agora = 2000;
    h.bar.Progress();
    ASSERT_EQ(h.msgs.size(), 3u);
    EXPECT_EQ(h.msgs[2], "1 min. e 38 seg.");
    // Still 38 seconds: nothing new is told.
    h.agora = 3040;
    h.bar.Progress();
    EXPECT_EQ(h.msgs.size(), 3u);
    // A new run tells the host to clear its label.
    h.bar.Progress_Start(5, "");
    EXPECT_EQ(h.msgs.back(), "");
}

TEST(ProgressBar, CaptionAndTimerSwitchAreKeptForTheRun)
{
    {
        Form host("frmPainel");
        auto& bar = host.Add<ProgressBar>("Progress1");
        host.Show();
        EXPECT_EQ(bar.Caption(), "");
        EXPECT_FALSE(bar.EnabledTimer());
        bar.SetCaption("Lendo");
        bar.SetEnabledTimer(true);
        forms::Unload(host);
    }
    Form host("frmPainel");
    auto& bar = host.Add<ProgressBar>("Progress1");
    host.Show();
    EXPECT_EQ(bar.Caption(), "Lendo");
    EXPECT_TRUE(bar.EnabledTimer());
    EXPECT_EQ(bar.ProgressLbl(0).Caption(), "Lendo");
    // The two labels are one control array, found by name and index as scripts address them.
    EXPECT_EQ(bar.ProgressLbl.Count(), 2);
    EXPECT_EQ(&bar.Controls("ProgressLbl", 0), &bar.ProgressLbl(0));
    EXPECT_EQ(&bar.Controls("ProgressLbl", 1), &bar.ProgressLbl(1));
    EXPECT_EQ(bar.ProgressLbl(1).Index(), 1);
    EXPECT_EQ(bar.ProgressLbl(1).Caption(), "Lendo");

    // The track and the labels follow the control's size.
    bar.Move(0, 0, 4500, 300);
    DoEvents();
    EXPECT_EQ(bar.ProgressPic.Width(), 4500);
    EXPECT_EQ(bar.ProgressLbl(0).Width(), 4500);
    EXPECT_EQ(bar.ProgressLbl(1).Width(), 4500);
    EXPECT_EQ(bar.ProgressFrm.Height(), 300);
    forms::Unload(host);
}
