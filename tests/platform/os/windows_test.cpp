#include "Support.h"

#include "platform/os/QtBridge.h"
#include "platform/os/Window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <memory>

using namespace ostest;

namespace {

// A window that records the keys its focused child receives.
class KeyLog : public QLineEdit {
public:
    std::vector<std::pair<QEvent::Type, int>> keys;

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        keys.emplace_back(e->type(), e->key());
        QLineEdit::keyPressEvent(e);
    }
    void keyReleaseEvent(QKeyEvent* e) override
    {
        keys.emplace_back(e->type(), e->key());
        QLineEdit::keyReleaseEvent(e);
    }
};

std::unique_ptr<QWidget> Window(const char* title, bool show = true)
{
    auto w = std::make_unique<QWidget>();
    w->setWindowTitle(QString::fromUtf8(title));
    w->resize(200, 100);
    if (show) w->show();
    return w;
}

bool Listed(os::WindowHandle h, const std::string& title, bool visible)
{
    const auto all = os::TopLevelWindows();
    return std::any_of(all.begin(), all.end(),
                       [&](const auto& w) { return w.handle == h && w.title == title && w.visible == visible; });
}

}  // namespace

TEST(Windows, TheProgramsWindowsAreListedWithTheirTitles)
{
    EnsureQtApp();
    auto host = Window("Quoril Host - [Rede Esgoto.dwg]");
    auto panel = Window("QuorilCAD – Painéis");
    auto hidden = Window("Oculta");
    hidden->hide();
    const auto hHost = os::HandleOf(host.get()), hPanel = os::HandleOf(panel.get()),
               hHidden = os::HandleOf(hidden.get());
    ASSERT_NE(hHost, 0u);
    EXPECT_NE(hHost, hPanel);

    EXPECT_TRUE(Listed(hHost, "Quoril Host - [Rede Esgoto.dwg]", true));
    EXPECT_TRUE(Listed(hPanel, "QuorilCAD – Painéis", true));
    EXPECT_TRUE(Listed(hHidden, "Oculta", false));
    EXPECT_EQ(os::WindowTitle(hPanel), "QuorilCAD – Painéis");

    // A title set later is what the list shows.
    host->setWindowTitle("Quoril Host - [Outro.dwg]");
    EXPECT_TRUE(Listed(hHost, "Quoril Host - [Outro.dwg]", true));

    // Handles map back to the live widgets; a destroyed window is gone.
    EXPECT_EQ(os::WidgetOf(hPanel), panel.get());
    panel.reset();
    EXPECT_FALSE(os::WindowExists(hPanel));
    EXPECT_EQ(os::WidgetOf(hPanel), nullptr);
    EXPECT_FALSE(os::ActivateWindow(hPanel));
    EXPECT_FALSE(os::SendEscape(hPanel));
    EXPECT_FALSE(os::SetTopmost(hPanel));
}

TEST(Windows, FindByTitleIsExactFirstThenByBeginningWithoutCase)
{
    EnsureQtApp();
    auto longer = Window("Quoril Host - [a.dwg] extra");
    auto exact = Window("Quoril Host - [a.dwg]");
    auto hiddenTwin = Window("Quoril Host - [a.dwg]", false);
    os::HandleOf(hiddenTwin.get());

    EXPECT_EQ(os::FindWindowByTitle("quoril host - [A.DWG]"), os::HandleOf(exact.get()));
    EXPECT_EQ(os::FindWindowByTitle("Quoril Host - [a.dwg] ex"), os::HandleOf(longer.get()));
    EXPECT_EQ(os::FindWindowByTitle("Nenhuma"), 0u);
    EXPECT_FALSE(os::ActivateWindow("Nenhuma"));

    // A visible window whose title begins so is preferred to a hidden one of the same title.
    exact.reset();
    EXPECT_EQ(os::FindWindowByTitle("Quoril Host - [a.dwg]"), os::HandleOf(longer.get()));
    // With no visible one left, the hidden twin is found but cannot be activated.
    longer.reset();
    EXPECT_EQ(os::FindWindowByTitle("Quoril Host - [a.dwg]"), os::HandleOf(hiddenTwin.get()));
    EXPECT_FALSE(os::ActivateWindow(os::HandleOf(hiddenTwin.get())));
}

TEST(Windows, ActivationByTitleBringsTheWindowForward)
{
    EnsureQtApp();
    auto host = Window("Quoril Host - [b.dwg]");
    auto panel = Window("QuorilCAD");
    ASSERT_TRUE(os::ActivateWindow("QuorilCAD"));
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), panel.get());

    host->showMinimized();
    QApplication::processEvents();
    ASSERT_TRUE(os::ActivateWindow("Quoril Host - [b.dwg]"));
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), host.get());
    EXPECT_FALSE(host->isMinimized());
}

TEST(Windows, EscapeReachesTheFocusedWidgetOfTheTitledWindow)
{
    EnsureQtApp();
    QWidget host;
    host.setWindowTitle("Quoril Host - [c.dwg]");
    auto* layout = new QVBoxLayout(&host);
    auto* prompt = new KeyLog;
    layout->addWidget(prompt);
    host.show();
    prompt->setFocus();
    auto other = Window("QuorilCAD");

    ASSERT_TRUE(os::SendEscape("Quoril Host - [c.dwg]"));
    ASSERT_TRUE(os::SendEscape("Quoril Host - [c.dwg]"));
    // Delivered at once, not kept for a later event loop.
    const std::vector<std::pair<QEvent::Type, int>> twice{{QEvent::KeyPress, Qt::Key_Escape},
                                                          {QEvent::KeyRelease, Qt::Key_Escape},
                                                          {QEvent::KeyPress, Qt::Key_Escape},
                                                          {QEvent::KeyRelease, Qt::Key_Escape}};
    EXPECT_EQ(prompt->keys, twice);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &host);

    // A dialog closes on Escape, as it would if the user pressed the key.
    QDialog dlg;
    dlg.setWindowTitle("Pergunta");
    dlg.show();
    bool rejected = false;
    QObject::connect(&dlg, &QDialog::rejected, [&] { rejected = true; });
    ASSERT_TRUE(os::SendEscape(os::HandleOf(&dlg)));
    QApplication::processEvents();
    EXPECT_TRUE(rejected);
    EXPECT_FALSE(dlg.isVisible());
}

TEST(Windows, TopmostWithoutMovingOrHiding)
{
    EnsureQtApp();
    auto w = Window("Inserir Ponto");
    w->move(40, 60);
    QApplication::processEvents();
    const QRect before = w->geometry();
    const auto h = os::HandleOf(w.get());

    ASSERT_TRUE(os::SetTopmost(h));
    QApplication::processEvents();
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->geometry(), before);
    EXPECT_EQ(os::HandleOf(w.get()), h);  // same window, not a new one

    ASSERT_TRUE(os::SetTopmost(h, false));
    EXPECT_FALSE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w->isVisible());

    // The offscreen window system cannot move windows for us: the answer says so.
    EXPECT_FALSE(os::BeginSystemMove(0));
}
