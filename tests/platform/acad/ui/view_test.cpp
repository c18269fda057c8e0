// Pan and zoom in the window keep the engine's view (VIEWCTR, VIEWSIZE,
// SCREENSIZE) in step, and the engine's zooms move the window.

#include <gtest/gtest.h>

#include "UiHarness.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>

using acad::Point3d;
using uitest::Harness;

namespace {

Point3d Center(acad::Document& d) { return d.GetVariable("VIEWCTR").AsPoint(); }
double Size(acad::Document& d) { return d.GetVariable("VIEWSIZE").AsDouble(); }

TEST(View, ScreenSizeAndEngineZoomsFollowTheWindow)
{
    Harness h;
    const Point3d screen = h.doc->GetVariable("SCREENSIZE").AsPoint();
    EXPECT_EQ(screen.x, h.view->width());
    EXPECT_EQ(screen.y, h.view->height());

    // A zoom of the engine moves what the window shows.
    h.app.ZoomCenter({100, 200, 0}, 50);
    const QPointF middle(h.view->width() / 2.0, h.view->height() / 2.0);
    EXPECT_NEAR(h.WorldAt(middle).x, 100, 1e-9);
    EXPECT_NEAR(h.WorldAt(middle).y, 200, 1e-9);
    EXPECT_NEAR(h.PixelSize(), 50.0 / h.view->height(), 1e-12);
    // The visible box the selections see is what the window shows.
    const acad::Box vis = h.doc->ActiveView().VisibleBox();
    EXPECT_NEAR(h.WorldAt({0, 0}).x, vis.min.x, 1e-6);
    EXPECT_NEAR(h.WorldAt({0, 0}).y, vis.max.y, 1e-6);
    EXPECT_NEAR(h.WorldAt(QPointF(h.view->width(), h.view->height())).x, vis.max.x, 1e-6);

    // A wider window: SCREENSIZE and the view's proportions follow.
    h.main->resize(1200, 700);
    Harness::Process();
    EXPECT_EQ(h.doc->GetVariable("SCREENSIZE").AsPoint().x, h.view->width());
    EXPECT_NEAR(h.doc->ActiveView().AspectRatio(), double(h.view->width()) / h.view->height(), 1e-12);

    // Zoom extents from the menu.
    h.doc->ModelSpace().AddLine({1000, 1000, 0}, {1100, 1040, 0});
    h.main->ZoomExtentsAction()->trigger();
    EXPECT_NEAR(Center(*h.doc).x, 1050, 1e-6);
    EXPECT_NEAR(Center(*h.doc).y, 1020, 1e-6);
    // With a margin: the outermost lines are not on the window's border.
    EXPECT_GT(h.PixelOf({1000, 1000}).x(), 10);
    EXPECT_LT(h.PixelOf({1100, 1040}).x(), h.view->width() - 10);
}

TEST(View, PanAndWheelZoomKeepTheEngineViewInStep)
{
    Harness h;
    h.app.ZoomCenter({0, 0, 0}, 100);
    const double px = h.PixelSize();
    const QPointF from(300, 200);

    // Middle drag: the drawing follows the cursor.
    h.Drag(from, from + QPointF(120, -40), Qt::MiddleButton);
    EXPECT_NEAR(Center(*h.doc).x, -120 * px, 1e-9);
    EXPECT_NEAR(Center(*h.doc).y, -40 * px, 1e-9);
    EXPECT_DOUBLE_EQ(Size(*h.doc), 100);

    // Space held, left drag: a pan too; Space released after it is no Enter.
    const Point3d before = Center(*h.doc);
    h.Key(Qt::Key_Space, true);
    h.Key(Qt::Key_Space, true, true);  // the key repeats while held
    h.Drag(from, from + QPointF(-60, 30));
    h.Key(Qt::Key_Space, false);
    EXPECT_NEAR(Center(*h.doc).x, before.x + 60 * px, 1e-9);
    EXPECT_NEAR(Center(*h.doc).y, before.y + 30 * px, 1e-9);

    // The wheel zooms at the cursor: the point under it stays there.
    const QPointF at(150, 420);
    const Point3d under = h.WorldAt(at);
    h.Wheel(at, 2);
    EXPECT_NEAR(Size(*h.doc), 100 / (1.25 * 1.25), 1e-9);
    EXPECT_NEAR(h.WorldAt(at).x, under.x, 1e-9);
    EXPECT_NEAR(h.WorldAt(at).y, under.y, 1e-9);
    h.Wheel(at, -1);
    EXPECT_NEAR(Size(*h.doc), 100 / 1.25, 1e-9);

    // The read-out shows where the cursor is.
    h.Move(h.PixelOf({12.5, -3.25}));
    const QString shown = h.main->Coordinates()->text();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("12.")) && shown.contains(QStringLiteral(", -3.")))
        << shown.toStdString();

    // A pan during a request leaves the request waiting.
    h.OnRequest([&] {
        h.Drag(from, from + QPointF(10, 10), Qt::MiddleButton);
        EXPECT_NE(h.main->CurrentRequest(), nullptr);
        h.Click(h.PixelOf({1, 1}));
    });
    const Point3d p = h.doc->Utility().GetPoint(std::nullopt, "Ponto de inserção: ");
    EXPECT_NEAR(p.x, 1, h.PixelSize());
}

TEST(View, PaperSpaceShowsTheSheetAndPointsGoThroughTheViewport)
{
    Harness h;
    h.doc->ModelSpace().AddLine({0, 0, 0}, {100, 0, 0});
    h.doc->SetActiveSpace(acad::acPaperSpace);
    acad::PViewport* vp = h.doc->ActivePViewport();
    h.doc->SetMSpace(true);
    // Inside the viewport, zooms and picks are in model space.
    h.app.ZoomCenter({50, 0, 0}, 40);
    const QPointF vpCenter = h.view->DisplayMapping()->ToPixel(vp->Center());
    EXPECT_NEAR(h.WorldAt(vpCenter).x, 50, 1e-9);
    h.OnRequest([&] { h.Click(vpCenter + QPointF(10, 0)); });
    const Point3d p = h.doc->Utility().GetPoint(std::nullopt, "Ponto de inserção: ");
    EXPECT_GT(p.x, 50);
    EXPECT_NEAR(p.y, 0, 1e-6);
    // The model line shows inside the viewport's frame (the crosshair moved away first).
    h.Move({5, 5});
    const QImage img = h.Grab();
    EXPECT_TRUE(uitest::HasColorNear(img, vpCenter, acad::ui::AciColor(7)));
}

}  // namespace

namespace {
// Pixels of the image inside the rectangle that are not background.
int InkedIn(const QImage& img, const QRectF& r)
{
    int n = 0;
    const QRect px = r.toAlignedRect();
    for (int y = px.top(); y <= px.bottom(); ++y)
        for (int x = px.left(); x <= px.right(); ++x)
            if (img.valid(x, y) && img.pixelColor(x, y).rgb() != acad::ui::BackgroundColor().rgb()) ++n;
    return n;
}
}  // namespace

// A program loop that changes the drawing and yields at every step: the window
// redraws only now and then while it runs, but the last change is always shown
// once the loop stops, and a zoom in the middle is drawn at once.
TEST(View, ALoopThatYieldsEndsWithItsLastChangeOnScreen)
{
    Harness h;
    acad::Block& ms = h.doc->ModelSpace();
    for (int i = 0; i < 2000; ++i)
        ms.AddLine({(i % 50) * 2.0, (i / 50) * 2.0, 0}, {(i % 50) * 2.0 + 1, (i / 50) * 2.0, 0});
    h.app.ZoomWindow({0, 0, 0}, {200, 150, 0});
    h.Grab();
    const std::size_t rendersBefore = h.view->Renders();
    acad::Text* last = nullptr;
    for (int i = 0; i < 300; ++i) {
        const double x = 110 + (i % 10) * 8.0, y = 5 + (i / 10) * 4.0;
        ms.AddPoint({x, y, 0})->Update();
        last = ms.AddText("P" + std::to_string(i), {x + 0.5, y + 0.5, 0}, 1.5);
        last->Update();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    // The loop stops: without any other event, the window catches up by itself.
    h.WaitForPicture();
    EXPECT_FALSE(h.view->RepaintPending());
    EXPECT_GT(h.view->Renders(), rendersBefore);
    const QImage img = h.view->grab().toImage();
    const QPointF a = h.PixelOf({last->InsertionPoint().x, last->InsertionPoint().y, 0});
    EXPECT_GT(InkedIn(img, QRectF(a, QSizeF(8, -8)).normalized().adjusted(-1, -1, 1, 1)), 0) << "last text not drawn";

    // A change while redraws are being spaced out, then a zoom: the zoom (and the
    // change with it) is drawn at the next paint, without waiting.
    ms.AddCircle({150, 100, 0}, 5)->Update();
    h.app.ZoomCenter({150, 100, 0}, 40);
    h.Process();
    EXPECT_FALSE(h.view->RepaintPending());
}

// A long loop that changes the drawing and yields at every step (survey
// points imported into a large drawing): the window redraws at most once per
// interval while it runs, whatever the number of steps, and once more at most
// when it stops.
TEST(View, ALoopOfUpdatesWithYieldsRepaintsABoundedNumberOfTimes)
{
    Harness h;
    acad::Block& ms = h.doc->ModelSpace();
    for (int i = 0; i < 5000; ++i)
        ms.AddLine({(i % 100) * 2.0, (i / 100) * 2.0, 0}, {(i % 100) * 2.0 + 1, (i / 100) * 2.0, 0});
    h.app.ZoomExtents();
    h.Grab();
    const std::size_t antes = h.view->Renders();
    QElapsedTimer relogio;
    relogio.start();
    constexpr int kPassos = 3000;
    for (int i = 0; i < kPassos; ++i) {
        const double x = (i % 60) * 3.0, y = (i / 60) * 2.0;
        ms.AddPoint({x, y, 0})->Update();
        ms.AddText("P" + std::to_string(i), {x, y + 5, 0}, 1.5)->Update();
        ms.AddText("812.35", {x, y + 3, 0}, 1.5)->Update();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    const qint64 decorrido = relogio.elapsed();
    const std::size_t noLaco = h.view->Renders() - antes;
    EXPECT_LE(noLaco, static_cast<std::size_t>(decorrido / acad::ui::DrawingView::kRepaintIntervalMs) + 2)
        << kPassos << " passos em " << decorrido << " ms";
    EXPECT_LT(noLaco, static_cast<std::size_t>(kPassos));
    h.WaitForPicture();
    EXPECT_FALSE(h.view->RepaintPending());
    EXPECT_LE(h.view->Renders() - antes, noLaco + 1);
}
