#include "app/QuorilApp.h"

#include <QApplication>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "app/Form1.h"
#include "platform/acad/Application.h"
#include "platform/acad/InputSource.h"
#include "platform/acad/RunningObjects.h"
#include "platform/acad/ui/DrawingWindow.h"
#include "platform/forms/Application.h"
#include "platform/forms/Form.h"
#include "platform/forms/Picture.h"
#include "platform/os/QtBridge.h"
#include "shell/modGlobais.h"

namespace {

// The drawing window takes the rest of the screen, beside the main window.
void PlaceBeside(acad::ui::DrawingWindow& drawing, const forms::Form& form1)
{
    QWidget* w = os::WidgetOf(drawing.Handle());
    if (!w || !w->screen()) return;
    const QRect screen = w->screen()->availableGeometry();
    const int twipsPerPixel = 15;
    const int right = static_cast<int>((form1.Left() + form1.Width()) / twipsPerPixel) + 8;
    if (right >= screen.right() - 200) return;
    w->setGeometry(right, screen.top() + 30, screen.right() - right, screen.height() - 40);
}

}  // namespace

int RunQuoril(int& argc, char** argv, const QuorilOptions& options)
{
    std::unique_ptr<QApplication> ownApp;
    if (!QCoreApplication::instance()) ownApp = std::make_unique<QApplication>(argc, argv);
    // The run ends with the main window, not with the last window shown.
    QApplication::setQuitOnLastWindowClosed(false);

    if (!options.programFolder.empty()) DefinePastaPrograma(options.programFolder);
    forms::SetResourcePictureFolder(options.pictureFolder.empty() ? forms::App.Path() + "/pictures"
                                                                  : options.pictureFolder);

    // The drawing host lives for the whole run; the system's code only attaches to it.
    std::unique_ptr<acad::Application> host;
    std::unique_ptr<acad::ActiveObjectRegistration> registration;
    if (options.startHost) {
        host = std::make_unique<acad::Application>();
        host->SetSupportFolders({PastaPrograma()});
        if (options.input) host->SetInputSource(options.input);
        registration = std::make_unique<acad::ActiveObjectRegistration>(*host, acad::kProgID);
    }
    // A person answers the host's requests in its window, which opens on a new
    // drawing; nothing could bring it back once closed, so closing it ends the
    // program (below). Runs driven by a scripted input have no window.
    std::unique_ptr<acad::ui::DrawingWindow> drawing;
    if (host && !options.input) {
        if (host->Documents().Count() == 0) host->Documents().Add("Acad");
        drawing = std::make_unique<acad::ui::DrawingWindow>(*host);
        drawing->Show();
    }

    {
        Form1 form1;
        QEventLoop loop;
        bool ended = false;
        // The drawing window and the main window end the program together:
        // closing either asks about the unsaved drawings first, and "Cancelar"
        // keeps both open.
        form1.QueryUnload += [&](int& Cancel, int) {
            if (!Cancel && drawing && drawing->IsOpen() && !drawing->Close()) Cancel = 1;
        };
        form1.Unload += [&](int& Cancel) {
            if (Cancel) return;
            ended = true;
            // Windows the run left open go with the main window (a modal one
            // ends its wait, so that nothing keeps the run from ending).
            for (forms::Form* f : forms::Forms())
                if (f != &form1) forms::Unload(*f);
            loop.quit();
        };
        platform::ScopedConnection drawingClosed;
        if (drawing)
            drawingClosed = drawing->Closed += [&] {
                // Once the window has finished closing, from the event loop.
                QTimer::singleShot(0, &loop, [&] {
                    if (form1.Loaded()) forms::Unload(form1);
                });
            };
        form1.Show();
        if (drawing) PlaceBeside(*drawing, form1);
        if (!ended && form1.Loaded()) {
            if (options.started) QTimer::singleShot(0, &loop, [&] { options.started(form1, host.get()); });
            loop.exec();
        }
        for (forms::Form* f : forms::Forms())
            if (f != &form1) forms::Unload(*f);
    }
    // Should the main window have gone some other way, the drawings still
    // open are offered for saving.
    if (drawing && drawing->IsOpen()) drawing->Close();
    drawing.reset();
    registration.reset();
    host.reset();
    return 0;
}
