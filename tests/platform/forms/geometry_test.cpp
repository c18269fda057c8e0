// Positions and sizes in twips, container scales, dragging a borderless form,
// the frame laid on Resize, z-order, and tab pages moved out of view.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FormsTestSupport.h"
#include "SampleForm.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"

using namespace forms;

namespace {

using Log = std::vector<std::string>;

TEST(FormsGeometry, TwipsRoundTripAndLandOnWholePixels)
{
    Form f("frmGeo");
    f.Move(1500, 750, 4800, 3000);
    auto& Pic = f.Add<PictureBox>("Pic");
    Pic.SetBorderStyle(0);
    Pic.SetBackColor(vbRed);
    Pic.Move(1500, 750, 300, 150);
    auto& Lbl = f.Add<Label>("Lbl");
    Lbl.Move(1001, 517, 975.5, 375);
    EXPECT_DOUBLE_EQ(Lbl.Left(), 1001);
    EXPECT_DOUBLE_EQ(Lbl.Top(), 517);
    EXPECT_DOUBLE_EQ(Lbl.Width(), 975.5);
    EXPECT_DOUBLE_EQ(Lbl.Height(), 375);

    f.Show();
    EXPECT_DOUBLE_EQ(f.Left(), 1500);
    EXPECT_DOUBLE_EQ(f.Top(), 750);
    EXPECT_DOUBLE_EQ(f.Width(), 4800);
    EXPECT_DOUBLE_EQ(f.ScaleWidth(), 4800);
    EXPECT_DOUBLE_EQ(f.ScaleHeight(), 3000);

    // 1500 twips are 100 pixels: the red box covers pixels 100..119 x 50..59.
    Lbl.SetVisible(false);
    const Picture shot = Snapshot(f);
    EXPECT_DOUBLE_EQ(shot.Width(), 4800);
    EXPECT_DOUBLE_EQ(shot.Height(), 3000);
    EXPECT_EQ(shot.Pixel(100, 50), vbRed);
    EXPECT_EQ(shot.Pixel(119, 59), vbRed);
    EXPECT_NE(shot.Pixel(99, 50), vbRed);
    EXPECT_NE(shot.Pixel(120, 59), vbRed);
    EXPECT_NE(shot.Pixel(100, 60), vbRed);

    EXPECT_DOUBLE_EQ(Screen.TwipsPerPixelX(), 15);
    EXPECT_DOUBLE_EQ(Screen.TwipsPerPixelY(), 15);
    EXPECT_GT(Screen.Width(), 0);
    EXPECT_EQ(static_cast<long>(Screen.Height()) % 15, 0);

    formstest::ExpectError(380, [&] { Lbl.SetWidth(-1); });
    Unload(f);
}

TEST(FormsGeometry, ContainersPlaceTheirControlsInTheirOwnScale)
{
    Form f("frmScale");
    auto& Pic = f.Add<PictureBox>("Pic");
    Pic.SetBorderStyle(0);
    Pic.Move(300, 300, 3000, 1500);  // 200 x 100 pixels
    Pic.SetScaleMode(vbPixels);
    auto& Inner = f.Add<Label>("Inner", Pic);
    Inner.Move(10, 20, 50, 10);
    EXPECT_DOUBLE_EQ(Inner.Left(), 10);
    EXPECT_DOUBLE_EQ(Pic.ScaleWidth(), 200);
    EXPECT_DOUBLE_EQ(Pic.ScaleHeight(), 100);
    Log log;
    Pic.MouseDown +=
        [&](int, int, double X, double Y) { log.push_back(std::to_string(int(X)) + "," + std::to_string(int(Y))); };
    Inner.MouseDown += [&](int, int, double X, double Y) {
        log.push_back("inner " + std::to_string(int(X)) + "," + std::to_string(int(Y)));
    };
    f.Show();
    user::ClickAt(Pic, 150, 70);
    user::ClickAt(Inner, 3, 4);  // inside the label: the label's event, in the box's pixels
    EXPECT_EQ(log, (Log{"150,70", "inner 3,4"}));

    // Back to twips: the label stays where it is, its numbers change.
    Pic.SetScaleMode(vbTwips);
    EXPECT_DOUBLE_EQ(Inner.Left(), 150);
    EXPECT_DOUBLE_EQ(Inner.Width(), 750);

    // A user scale with the y axis upwards.
    Pic.Scale(0, 100, 100, 0);
    EXPECT_DOUBLE_EQ(Pic.ScaleWidth(), 100);
    EXPECT_DOUBLE_EQ(Pic.ScaleHeight(), -100);
    EXPECT_DOUBLE_EQ(Pic.ScaleTop(), 100);
    Pic.Line(0, 0, 100, 10, vbBlue, vbLineBoxFilled);  // the bottom tenth
    EXPECT_EQ(Pic.Point(50, 5), vbBlue);
    EXPECT_NE(Pic.Point(50, 50), vbBlue);
    Unload(f);
}

TEST(FormsGeometry, ABorderlessFormIsDraggedByItsBannerWithTheLeftButtonOnly)
{
    sample::frmSample f;
    f.Show();
    ASSERT_DOUBLE_EQ(f.Left(), 1500);
    ASSERT_DOUBLE_EQ(f.Top(), 1500);

    user::Drag(f.Picture1(1), vbRightButton, 100, 100, 1600, 850);
    EXPECT_DOUBLE_EQ(f.Left(), 1500);
    EXPECT_DOUBLE_EQ(f.Top(), 1500);

    user::Drag(f.Picture1(1), vbLeftButton, 100, 100, 1600, 850);
    EXPECT_DOUBLE_EQ(f.Left(), 3000);
    EXPECT_DOUBLE_EQ(f.Top(), 2250);

    user::Drag(f.Titulo, vbLeftButton, 300, 100, 0, 100);
    EXPECT_DOUBLE_EQ(f.Left(), 2700);
    EXPECT_DOUBLE_EQ(f.Top(), 2250);

    // A drag on a control that does not ask for it moves nothing.
    user::Drag(f.Text1, vbLeftButton, 100, 100, 1600, 850);
    EXPECT_DOUBLE_EQ(f.Left(), 2700);
    Unload(f);
}

TEST(FormsGeometry, TheFrameIsLaidAgainOnEveryResize)
{
    sample::frmSample f;
    f.SetWidth(5000);  // not loaded yet: no Resize
    EXPECT_TRUE(f.events.empty());
    Load(f);
    f.SetWidth(6000);
    EXPECT_EQ(f.events, (Log{"Load", "Resize"}));
    EXPECT_DOUBLE_EQ(f.Shape1(0).Width(), 6000);
    EXPECT_DOUBLE_EQ(f.Shape1(1).Width(), 6100);
    EXPECT_DOUBLE_EQ(f.Shape1(2).Left(), -100);
    EXPECT_DOUBLE_EQ(f.Shape1(2).Height(), 3100);
    f.SetWidth(6000);  // the same size: nothing
    EXPECT_EQ(f.events.size(), 2u);

    // The frame shows along the edges of what is drawn.
    f.Show();
    const Picture shot = Snapshot(f);
    EXPECT_EQ(shot.Pixel(0, 0), ResolveColor(vbButtonShadow));    // Shape1(0), in front
    EXPECT_EQ(shot.Pixel(1, 1), ResolveColor(vb3DHighlight));     // Shape1(1): top and left
    EXPECT_EQ(shot.Pixel(100, 198), ResolveColor(vb3DDKShadow));  // Shape1(2): right and bottom
    EXPECT_EQ(shot.Pixel(398, 100), ResolveColor(vb3DDKShadow));
    EXPECT_EQ(shot.Pixel(100, 199), ResolveColor(vbButtonShadow));
    EXPECT_EQ(shot.Pixel(50, 100), ResolveColor(vbButtonFace));
    Unload(f);
}

TEST(FormsGeometry, LabelsAndShapesStayBeneathTheOtherControls)
{
    Form f("frmZ");
    f.Move(0, 0, 3000, 3000);
    auto& Pic = f.Add<PictureBox>("Pic");
    Pic.SetBorderStyle(0);
    Pic.SetBackColor(vbRed);
    Pic.Move(0, 0, 1500, 1500);
    auto& Box = f.Add<Shape>("Box");
    Box.SetFillStyle(vbFSSolid);
    Box.SetFillColor(vbBlue);
    Box.Move(750, 750, 1500, 1500);
    Box.ZOrder(0);
    f.Show();
    Picture shot = Snapshot(f);
    EXPECT_EQ(shot.Pixel(75, 75), vbRed);     // where they overlap: the picture box
    EXPECT_EQ(shot.Pixel(125, 125), vbBlue);  // the shape alone
    Pic.ZOrder(1);                            // sent back: still above the shape
    shot = Snapshot(f);
    EXPECT_EQ(shot.Pixel(75, 75), vbRed);
    Unload(f);
}

TEST(FormsGeometry, TabPagesKeepTheirControlsOutOfViewUntilChosen)
{
    Form f("frmTabs");
    f.Move(0, 0, 6000, 4000);
    auto& SSTab1 = f.Add<TabControl>("SSTab1");
    SSTab1.Move(0, 0, 6000, 4000);
    SSTab1.SetTabs(4);
    SSTab1.SetTabsPerRow(4);
    for (int i = 0; i < 4; ++i) SSTab1.SetTabCaption(i, "Aba " + std::to_string(i));
    auto& OnPage0 = f.Add<TextBox>("OnPage0", SSTab1.Page(0));
    OnPage0.Move(120, 600, 1200, 285);
    auto& OnPage2 = f.Add<CommandButton>("OnPage2", SSTab1.Page(2));
    OnPage2.Move(240, 600, 1200, 375);
    SSTab1.SetTab(0);  // a design value: no Click
    Log log;
    SSTab1.Click +=
        [&](int PreviousTab) { log.push_back(std::to_string(PreviousTab) + "->" + std::to_string(SSTab1.Tab())); };

    EXPECT_DOUBLE_EQ(OnPage2.Left(), 240);  // design positions as written
    f.Show();
    EXPECT_DOUBLE_EQ(OnPage0.Left(), 120);
    EXPECT_DOUBLE_EQ(OnPage2.Left(), 240 - 75000);

    user::ChooseTab(SSTab1, 2);
    EXPECT_EQ(log, (Log{"0->2"}));
    EXPECT_DOUBLE_EQ(OnPage0.Left(), 120 - 75000);
    EXPECT_DOUBLE_EQ(OnPage2.Left(), 240);
    EXPECT_EQ(SSTab1.Caption(), "Aba 2");

    SSTab1.SetTab(2);  // already shown
    SSTab1.SetTabEnabled(1, false);
    user::ChooseTab(SSTab1, 1);  // a disabled tab does not open
    SSTab1.SetTab(3);            // by code: Click as well
    EXPECT_EQ(log, (Log{"0->2", "2->3"}));
    EXPECT_DOUBLE_EQ(OnPage2.Left(), 240 - 75000);

    // An option panel moved by Left to hide a whole tab control (the panels' layout switch).
    SSTab1.SetLeft(4000);
    EXPECT_DOUBLE_EQ(SSTab1.Left(), 4000);
    formstest::ExpectError(381, [&] { SSTab1.SetTabCaption(4, "x"); });  // 4 tabs: 0 to 3
    Unload(f);
}

}  // namespace
