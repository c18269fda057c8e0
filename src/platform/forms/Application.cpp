// The application object, Screen, App, DoEvents and Beep.

#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QScreen>
#include <QTranslator>

#include <filesystem>
#include <fstream>

#include "platform/forms/Application.h"
#include "platform/forms/Form.h"
#include "platform/forms/Private.h"
#include "platform/ProcessState.h"

#ifndef QUORIL_VERSION_MAJOR
#define QUORIL_VERSION_MAJOR 0
#endif
#ifndef QUORIL_VERSION_MINOR
#define QUORIL_VERSION_MINOR 0
#endif
#ifndef QUORIL_VERSION_PATCH
#define QUORIL_VERSION_PATCH 0
#endif

namespace forms::detail {

void EnsureApplication()
{
    static QPointer<QCoreApplication> hooked;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        // Tests and tools that never made one: an application for the run.
        static int argc = 1;
        static char name[] = "quorilcad";
        static char* argv[] = {name, nullptr};
        static QApplication* own = new QApplication(argc, argv);
        own->setQuitOnLastWindowClosed(false);
        app = own;
    }
    if (hooked == app) return;
    hooked = app;
    InstallTabKeys(app);
    // Qt's own windows (file dialogs, standard buttons) speak the program's
    // language, whatever the machine's: Brazilian Portuguese. Without the
    // translations installed they stay in English.
    auto* texts = new QTranslator(app);
    if (texts->load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(texts);
    else
        delete texts;
    // VB's GotFocus/LostFocus follow the focus inside each form.
    QObject::connect(qApp, &QApplication::focusChanged, qApp, [](QWidget*, QWidget* now) {
        if (ControlData* d = ControlOf(now)) {
            Dispatching dispatching;
            FocusMoved(d);
        }
    });
}

void RaiseWindow(QWidget* w)
{
    // Headless platforms have no stacking and say so on every call.
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) w->raise();
}

}  // namespace forms::detail

namespace forms {

using namespace detail;

ScreenObject Screen;
AppObject App;

namespace {

QRect ScreenPixels()
{
    EnsureApplication();
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry() : QRect(0, 0, 800, 600);
}

int g_screenPointer = vbDefault;
// Only when set, so that no application is started for it.
const platform::ProcessStateReset kResetPointer([] {
    if (g_screenPointer != vbDefault) Screen.SetMousePointer(vbDefault);
});

}  // namespace

double ScreenObject::Width() const { return Tw(ScreenPixels().width()); }
double ScreenObject::Height() const { return Tw(ScreenPixels().height()); }
double ScreenObject::TwipsPerPixelX() const { return kTwipsPerPixel; }
double ScreenObject::TwipsPerPixelY() const { return kTwipsPerPixel; }
int ScreenObject::MousePointer() const { return g_screenPointer; }

void ScreenObject::SetMousePointer(int pointer)
{
    EnsureApplication();
    const bool wasSet = g_screenPointer != vbDefault;
    g_screenPointer = pointer;
    if (pointer == vbDefault) {
        if (wasSet) QApplication::restoreOverrideCursor();
    } else if (wasSet) {
        QApplication::changeOverrideCursor(QCursor(CursorShapeFor(pointer)));
    } else {
        QApplication::setOverrideCursor(QCursor(CursorShapeFor(pointer)));
    }
}

Form* ScreenObject::ActiveForm() const
{
    EnsureApplication();
    ControlData* d = ControlOf(QApplication::activeWindow());
    return d ? dynamic_cast<Form*>(d->self) : nullptr;
}

Control* ScreenObject::ActiveControl() const
{
    Form* f = ActiveForm();
    return f ? f->ActiveControl() : nullptr;
}

int AppObject::Major() const { return QUORIL_VERSION_MAJOR; }
int AppObject::Minor() const { return QUORIL_VERSION_MINOR; }
int AppObject::Revision() const { return QUORIL_VERSION_PATCH; }

namespace {

std::filesystem::path Executable()
{
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) return p;
    EnsureApplication();
    return std::filesystem::path(U(QCoreApplication::applicationFilePath()));
}

}  // namespace

std::string AppObject::Path() const { return Executable().parent_path().string(); }
std::string AppObject::EXEName() const { return Executable().stem().string(); }
std::string AppObject::Title() const { return QUORIL_TITLE; }

int DoEvents()
{
    EnsureApplication();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (const auto& hook = CurrentYieldHook()) {
        std::function<void()> run = hook;  // the hook may replace itself
        run();
    }
    return static_cast<int>(LoadedForms().size());
}

namespace {
int beeps = 0;
const platform::ProcessStateReset kResetBeeps([] { beeps = 0; });
}  // namespace

int BeepCount() { return beeps; }

void Beep()
{
    ++beeps;
    EnsureApplication();
    QApplication::beep();
}

std::vector<Form*> Forms() { return LoadedForms(); }

}  // namespace forms
