#include "UiHarness.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>

namespace uitest {

Harness::Harness()
{
    // The window makes the widget application of the run when there is none yet.
    doc = app.Documents().Add("Acad");
    window = std::make_unique<acad::ui::DrawingWindow>(app);
    main = window->Window();
    view = main->View();
    panel = main->Commands();
    main->resize(900, 700);
    window->Show();
    Process();
    // The menu bar, the status bar and the command lines take the height their
    // fonts need, and the fonts are the machine's: the window is sized around
    // the view, so that what a test zooms to falls on the same pixels everywhere.
    main->resize(main->size() + (kViewSize - view->size()));
    Process();
    if (view->size() != kViewSize)
        ADD_FAILURE() << "the drawing view is " << view->width() << " x " << view->height() << " pixels, not "
                      << kViewSize.width() << " x " << kViewSize.height();
    waiting_ = main->Waiting += [this] {
        if (actions_.empty()) {
            ADD_FAILURE() << "unexpected request: \"" << main->CurrentRequest()->prompt << "\"";
            QTimer::singleShot(0, main, [this] { main->Escape(); });
            return;
        }
        auto action = std::move(actions_.front());
        actions_.pop_front();
        QTimer::singleShot(0, main, std::move(action));
    };
}

Harness::~Harness()
{
    waiting_.Reset();
    window.reset();
    Process();
}

void Harness::OnRequest(std::function<void()> action) { actions_.push_back(std::move(action)); }

QPointF Harness::PixelOf(const acad::Point3d& p) const { return view->InputMapping()->ToPixel(p); }

acad::Point3d Harness::WorldAt(const QPointF& px) const { return view->InputMapping()->ToWorld(px); }

double Harness::PixelSize() const { return 1.0 / view->InputMapping()->scale; }

void Harness::Press(const QPointF& px, Qt::MouseButton button)
{
    QMouseEvent e(QEvent::MouseButtonPress, px, view->mapToGlobal(px), button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &e);
}

void Harness::Release(const QPointF& px, Qt::MouseButton button)
{
    QMouseEvent e(QEvent::MouseButtonRelease, px, view->mapToGlobal(px), button, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &e);
}

void Harness::Move(const QPointF& px, Qt::MouseButtons held)
{
    QMouseEvent e(QEvent::MouseMove, px, view->mapToGlobal(px), Qt::NoButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &e);
}

void Harness::Click(const QPointF& px, Qt::MouseButton button)
{
    Move(px);
    Press(px, button);
    Release(px, button);
}

void Harness::Drag(const QPointF& from, const QPointF& to, Qt::MouseButton button)
{
    Move(from);
    Press(from, button);
    for (int i = 1; i <= 4; ++i) Move(from + (to - from) * (i / 4.0), button);
    Release(to, button);
}

void Harness::Wheel(const QPointF& px, int notches)
{
    QWheelEvent e(px, view->mapToGlobal(px), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view, &e);
}

void Harness::Key(int key, bool press, bool autoRepeat)
{
    QString text;
    if (key == Qt::Key_Space) text = QStringLiteral(" ");
    QKeyEvent e(press ? QEvent::KeyPress : QEvent::KeyRelease, key, Qt::NoModifier, text, autoRepeat);
    QCoreApplication::sendEvent(panel->Edit(), &e);
}

void Harness::Tap(int key)
{
    Key(key, true);
    Key(key, false);
}

void Harness::Type(const QString& text)
{
    for (const QChar c : text) {
        const int key = c == QLatin1Char(' ') ? int(Qt::Key_Space) : int(c.toUpper().unicode());
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(panel->Edit(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(panel->Edit(), &release);
    }
}

void Harness::TypeLine(const QString& text)
{
    Type(text);
    Tap(Qt::Key_Return);
}

void Harness::Process()
{
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void Harness::WaitForPicture()
{
    QElapsedTimer waited;
    waited.start();
    while (view->RepaintPending() && waited.elapsed() < 5000) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

QImage Harness::Grab()
{
    WaitForPicture();
    return view->grab().toImage();
}

bool HasColorNear(const QImage& image, const QPointF& px, const QColor& color, int radius)
{
    const int cx = static_cast<int>(std::lround(px.x())), cy = static_cast<int>(std::lround(px.y()));
    for (int y = cy - radius; y <= cy + radius; ++y)
        for (int x = cx - radius; x <= cx + radius; ++x)
            if (image.valid(x, y) && image.pixelColor(x, y).rgb() == color.rgb()) return true;
    return false;
}

}  // namespace uitest
