// Drawing on picture boxes, pictures from files and resources, rectangle
// copies between pictures, and a sample form rendered offscreen.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "SampleForm.h"
#include "FormsTestSupport.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"

using namespace forms;
using formstest::ExpectError;
using formstest::TempFolder;
namespace fs = std::filesystem;

namespace {

// A 24-bit BMP whose pixel (x, y) has the VB colour colour(x, y).
template <class F>
void WriteBmp(const fs::path& path, int w, int h, F colour)
{
    const int row = (w * 3 + 3) / 4 * 4;
    const std::uint32_t size = 54 + static_cast<std::uint32_t>(row * h);
    std::vector<unsigned char> b(size, 0);
    auto put32 = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[static_cast<std::size_t>(at + i)] = static_cast<unsigned char>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(h));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const long c = colour(x, y);
            const std::size_t at = 54 + static_cast<std::size_t>((h - 1 - y) * row + x * 3);
            b[at] = static_cast<unsigned char>((c >> 16) & 0xFF);  // blue
            b[at + 1] = static_cast<unsigned char>((c >> 8) & 0xFF);
            b[at + 2] = static_cast<unsigned char>(c & 0xFF);
        }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}


TEST(FormsCanvas, DrawingMethodsPaintThePictureBox)
{
    Form f("frmCanvas");
    auto& Picture2 = f.Add<PictureBox>("Picture2");
    Picture2.SetBorderStyle(0);
    Picture2.SetBackColor(vbWhite);
    Picture2.Move(0, 0, 3000, 1500);
    Picture2.SetScaleMode(vbPixels);
    EXPECT_DOUBLE_EQ(Picture2.ScaleWidth(), 200);
    EXPECT_DOUBLE_EQ(Picture2.ScaleHeight(), 100);

    Picture2.Line(10, 10, 50, 10, vbRed);
    EXPECT_EQ(Picture2.Point(30, 10), vbRed);
    EXPECT_EQ(Picture2.Point(30, 11), vbWhite);
    EXPECT_DOUBLE_EQ(Picture2.CurrentX(), 50);

    Picture2.SetFillStyle(vbFSSolid);
    Picture2.SetFillColor(vbGreen);
    Picture2.Line(60, 10, 90, 40, vbBlue, vbLineBox);
    EXPECT_EQ(Picture2.Point(60, 10), vbBlue);
    EXPECT_EQ(Picture2.Point(90, 40), vbBlue);
    EXPECT_EQ(Picture2.Point(75, 25), vbGreen);
    Picture2.Line(100, 10, 120, 30, vbYellow, vbLineBoxFilled);
    EXPECT_EQ(Picture2.Point(110, 20), vbYellow);

    Picture2.Circle(150, 50, 20, vbBlack);  // filled by FillStyle/FillColor
    EXPECT_EQ(Picture2.Point(150, 50), vbGreen);
    EXPECT_EQ(Picture2.Point(150, 75), vbWhite);
    Picture2.SetFillStyle(vbFSTransparent);
    constexpr double pi = std::numbers::pi;
    Picture2.Circle(40, 70, 15, vbRed, 0, pi);  // the upper half only
    EXPECT_EQ(Picture2.Point(40, 55), vbRed);
    EXPECT_EQ(Picture2.Point(40, 85), vbWhite);
    Picture2.Circle(100, 70, 15, vbMagenta, -pi / 2, -pi);  // a quarter pie: both radii drawn
    EXPECT_EQ(Picture2.Point(100, 62), vbMagenta);
    EXPECT_EQ(Picture2.Point(92, 70), vbMagenta);
    EXPECT_EQ(Picture2.Point(108, 70), vbWhite);

    Picture2.SetDrawWidth(5);
    Picture2.Line(10, 90, 190, 90, RGB(0, 0, 128));
    EXPECT_EQ(Picture2.Point(100, 92), RGB(0, 0, 128));
    Picture2.SetDrawWidth(1);
    Picture2.PSet(195, 5, vbCyan);
    EXPECT_EQ(Picture2.Point(195, 5), vbCyan);
    EXPECT_EQ(Picture2.Point(-1, 5), -1);

    const Picture drawn = Picture2.Image();
    EXPECT_EQ(drawn.Pixel(30, 10), vbRed);

    Picture2.SetForeColor(33023);  // orange
    Picture2.SetCurrentX(5);
    Picture2.SetCurrentY(30);
    const double h = Picture2.TextHeight("Ab");
    EXPECT_GT(h, 5);
    Picture2.Print("Ab");
    EXPECT_DOUBLE_EQ(Picture2.CurrentX(), 0);
    EXPECT_DOUBLE_EQ(Picture2.CurrentY(), 30 + h);
    Picture2.Print("x", false);
    EXPECT_DOUBLE_EQ(Picture2.CurrentX(), Picture2.TextWidth("x"));
    bool inked = false;
    for (int y = 30; y < 30 + h && !inked; ++y)
        for (int x = 5; x < 25 && !inked; ++x) inked = Picture2.Point(x, y) == 33023;
    EXPECT_TRUE(inked);

    Picture2.Cls();
    EXPECT_EQ(Picture2.Point(30, 10), vbWhite);
    EXPECT_DOUBLE_EQ(Picture2.CurrentY(), 0);
    EXPECT_EQ(drawn.Pixel(30, 10), vbRed);  // a picture taken before stays as it was
    ExpectError(380, [&] { Picture2.SetDrawWidth(0); });
}

TEST(FormsCanvas, PicturesCopyRectanglesBetweenThemselves)
{
    const fs::path dir = TempFolder("forms-pictures");
    // a 3 x 2 menu of 20 x 10 pixel cells: flat red, raised green
    WriteBmp(dir / "flat.bmp", 60, 20, [](int, int) { return vbRed; });
    WriteBmp(dir / "raised.bmp", 60, 20, [](int x, int) { return x < 30 ? vbGreen : vbBlue; });
    const Picture flat = LoadPicture((dir / "flat.bmp").string());
    const Picture raised = LoadPicture((dir / "raised.bmp").string());
    EXPECT_DOUBLE_EQ(flat.Width(), 900);
    EXPECT_DOUBLE_EQ(flat.Height(), 300);

    Form f("frmMenu");
    auto& Picture1 = f.Add<PictureBox>("Picture1");
    Picture1.SetBorderStyle(0);
    Picture1.SetAutoSize(true);
    Picture1.SetScaleMode(vbPixels);
    Picture1.SetPicture(flat);
    EXPECT_DOUBLE_EQ(Picture1.Width(), 900);  // AutoSize: the picture's size
    EXPECT_DOUBLE_EQ(Picture1.Height(), 300);
    EXPECT_EQ(Picture1.Point(25, 5), vbRed);

    // Redraw the cell (column 1, row 0) from the raised picture.
    Picture1.PaintPicture(raised, 20, 0, 20, 10, 20, 0, 20, 10);
    EXPECT_EQ(Picture1.Point(25, 5), vbGreen);
    EXPECT_EQ(Picture1.Point(25, 15), vbRed);
    EXPECT_EQ(Picture1.Point(45, 5), vbRed);
    // A part of one picture stretched onto another place.
    Picture1.PaintPicture(raised, 0, 10, 60, 10, 40, 0, 10, 10);
    EXPECT_EQ(Picture1.Point(5, 15), vbBlue);
    EXPECT_EQ(Picture1.Point(55, 15), vbBlue);

    // A new Picture starts clean again.
    Picture1.SetPicture(flat);
    EXPECT_EQ(Picture1.Point(25, 5), vbRed);
    ExpectError(481, [&] { Picture1.PaintPicture(Picture(), 0, 0); });

    // An image without Stretch takes its picture's size.
    auto& Img = f.Add<Image>("Img");
    Img.SetPicture(raised);
    EXPECT_DOUBLE_EQ(Img.Width(), 900);
    Img.SetStretch(true);
    Img.Move(0, 0, 300, 300);
    EXPECT_DOUBLE_EQ(Img.Width(), 300);
    fs::remove_all(dir);
}

TEST(FormsCanvas, LoadingPicturesFromFilesAndResources)
{
    const fs::path dir = TempFolder("forms-resources");
    WriteBmp(dir / "MENUFLAT.bmp", 4, 4, [](int, int) { return vbYellow; });
    WriteBmp(dir / "101.bmp", 2, 2, [](int, int) { return vbBlue; });
    std::ofstream(dir / "broken.bmp") << "not a picture";

    EXPECT_TRUE(LoadPicture("").Empty());
    ExpectError(53, [&] { LoadPicture((dir / "none.bmp").string()); });
    ExpectError(481, [&] { LoadPicture((dir / "broken.bmp").string()); });

    const std::string before = ResourcePictureFolder();
    EXPECT_EQ(before, (fs::path(App.Path()) / "pictures").string());
    SetResourcePictureFolder(dir.string());
    EXPECT_EQ(LoadResPicture("MENUFLAT", vbResBitmap).Pixel(1, 1), vbYellow);
    EXPECT_EQ(LoadResPicture("menuflat", vbResBitmap).Pixel(3, 3), vbYellow);  // names ignore case
    EXPECT_EQ(LoadResPicture(101, vbResBitmap).Pixel(0, 0), vbBlue);
    ExpectError(326, [&] { LoadResPicture("_NOTHERE", vbResIcon); });
    SetResourcePictureFolder(before);
    fs::remove_all(dir);
}

TEST(FormsCanvas, ASampleFormRendersOffscreen)
{
    sample::frmSample f;
    f.Text1.SetText("123");
    f.Show();
    DoEvents();
    const Picture shot = Snapshot(f);
    ASSERT_FALSE(shot.Empty());
    EXPECT_DOUBLE_EQ(shot.Width(), 4800);  // 320 x 200 pixels
    EXPECT_DOUBLE_EQ(shot.Height(), 3000);
    EXPECT_EQ(shot.Pixel(20, 20), vbRed);                       // the banner
    EXPECT_EQ(shot.Pixel(0, 0), ResolveColor(vbButtonShadow));  // the frame
    EXPECT_EQ(shot.Pixel(100, 198), ResolveColor(vb3DDKShadow));
    EXPECT_EQ(shot.Pixel(50, 100), ResolveColor(vbButtonFace));        // the form
    EXPECT_EQ(shot.Pixel(185, 50), ResolveColor(vbWindowBackground));  // inside the text box
    Unload(f);
}

}  // namespace
