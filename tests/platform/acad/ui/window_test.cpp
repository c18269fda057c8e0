// The window's title, its menu of files and drawings, and closing it: unsaved
// drawings asked about, whatever is asked answered with Escape, the host no
// longer registered.

#include <gtest/gtest.h>

#include "../CoreTestUtil.h"
#include "UiHarness.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <unistd.h>

#include "platform/acad/DxfFile.h"
#include "platform/os/Dialogs.h"
#include "platform/os/Window.h"

using acad::Point3d;
using uitest::Harness;

namespace {

std::filesystem::path TempFolder(const std::string& name)
{
    auto p = std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(p);
    std::filesystem::create_directories(p);
    return p;
}

QAction* MenuAction(QMenuBar* bar, const QString& menu, const QString& text)
{
    for (QAction* top : bar->actions())
        if (top->text() == menu && top->menu())
            for (QAction* a : top->menu()->actions())
                if (a->text() == text) return a;
    return nullptr;
}

// Presses the button of the question box once it is shown.
void AnswerQuestion(const QString& button, QString* text = nullptr)
{
    QTimer::singleShot(0, [button, text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        if (text) *text = box->text();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == button) {
                b->click();
                return;
            }
        ADD_FAILURE() << "no button " << button.toStdString();
        box->reject();
    });
}

// One turn of an event loop that waits, when the window does its idle work.
void Idle()
{
    QEventLoop loop;
    QTimer::singleShot(10, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST(Window, TitleMenusAndDrawings)
{
    Harness h;
    const QString title = h.main->windowTitle();
    EXPECT_EQ(title.toStdString(), h.app.Caption());
    EXPECT_TRUE(title.contains('[') && title.contains("AutoCAD") && title.contains(']'));
    QMenuBar* bar = h.main->menuBar();
    for (const char* item : {"Novo", "Abrir", "Salvar", "Salvar como", "Sair"})
        EXPECT_NE(MenuAction(bar, "Arquivo", QString::fromUtf8(item)), nullptr) << item;

    // "Novo": a second drawing, shown and named in the title; the list switches back.
    MenuAction(bar, "Arquivo", "Novo")->trigger();
    ASSERT_EQ(h.app.Documents().Count(), 2);
    acad::Document* second = h.app.ActiveDocument();
    EXPECT_NE(second, h.doc);
    EXPECT_EQ(h.main->windowTitle().toStdString(), "AutoCAD - [" + second->Name() + "]");
    emit h.main->DrawingsMenu()->aboutToShow();
    const QList<QAction*> listed = h.main->DrawingsMenu()->actions();
    ASSERT_EQ(listed.size(), 2);
    EXPECT_EQ(listed[0]->text().toStdString(), h.doc->Name());
    EXPECT_TRUE(listed[1]->isChecked());
    listed[0]->trigger();
    EXPECT_EQ(h.app.ActiveDocument(), h.doc);
    EXPECT_EQ(h.main->windowTitle().toStdString(), "AutoCAD - [" + h.doc->Name() + "]");

    // Unsaved changes are marked after the Caption, so the title still begins
    // with it; the drawing shown decides.
    h.doc->ModelSpace().AddLine({0, 0, 0}, {1, 1, 0});
    Idle();
    EXPECT_EQ(h.main->windowTitle().toStdString(), h.app.Caption() + "*");
    EXPECT_EQ(os::FindWindowByTitle(h.app.Caption()), h.window->Handle());
    listed[1]->trigger();
    Idle();
    EXPECT_EQ(h.main->windowTitle().toStdString(), "AutoCAD - [" + second->Name() + "]");

    // Text typed at the idle prompt is answered as an unknown command; Enter alone is nothing.
    const QString before = h.panel->History();
    h.TypeLine("");
    EXPECT_EQ(h.panel->History(), before);
    h.TypeLine("zoom");
    EXPECT_TRUE(h.panel->History().endsWith(QString::fromUtf8("Comando: zoom\nComando desconhecido: \"zoom\"")))
        << h.panel->History().toStdString();
    EXPECT_EQ(h.panel->Prompt(), QStringLiteral("Comando: "));
}

using acadcore_test::ScopedHome;

TEST(Window, SaveAsOpenAndBadFiles)
{
    Harness h;
    const auto dir = TempFolder("acadui-files");
    // The user's documents, where a drawing never saved lies.
    ScopedHome home(dir / "home");
    std::filesystem::create_directories(dir / "home/Documentos");
    h.doc->ModelSpace().AddLine({0, 0, 0}, {5, 5, 0});
    QMenuBar* bar = h.main->menuBar();

    // "Salvar" of a drawing without a file asks for the name; the DXF type adds ".dxf".
    std::vector<os::DialogRequest> asked;
    {
        os::ScopedDialogDriver driver([&](const os::DialogRequest& r) {
            asked.push_back(r);
            os::DialogAnswer a = os::DialogAnswer::Path((dir / "rede").string());
            a.filterIndex = 2;
            return a;
        });
        MenuAction(bar, "Arquivo", "Salvar")->trigger();
    }
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].initialDir, (dir / "home/Documentos").string());
    EXPECT_EQ(asked[0].fileName, "Drawing1.dwg");
    ASSERT_EQ(asked[0].filters.size(), 2u);
    EXPECT_EQ(asked[0].filters[0].patterns, "*.dwg");
    EXPECT_EQ(asked[0].filters[1].patterns, "*.dxf");
    EXPECT_TRUE(std::filesystem::exists(dir / "rede.dxf"));
    EXPECT_EQ(h.doc->Name(), "rede.dxf");
    EXPECT_TRUE(h.doc->Saved());
    Harness::Process();
    EXPECT_EQ(h.main->windowTitle().toStdString(), "AutoCAD - [rede.dxf]");

    // "Salvar como" a ".dwg" beside it.
    {
        os::ScopedDialogDriver driver(
            [&](const os::DialogRequest&) { return os::DialogAnswer::Path((dir / "copia.dwg").string()); });
        EXPECT_TRUE(h.main->SaveDrawingAs());
    }
    EXPECT_TRUE(std::filesystem::exists(dir / "copia.dwg"));
    EXPECT_EQ(h.doc->Name(), "copia.dwg");

    // Into a folder named "Obra\" beside last year's "Obra": refused, saying
    // why, and last year's drawing stays as it was.
    std::filesystem::create_directories(dir / "Obra\\");
    std::filesystem::create_directories(dir / "Obra");
    {
        std::ofstream(dir / "Obra/rede.dwg") << "last year";
    }
    std::vector<os::DialogRequest> refused;
    {
        os::ScopedDialogDriver driver([&](const os::DialogRequest& r) {
            refused.push_back(r);
            if (r.kind == os::DialogKind::Message) return os::DialogAnswer::Yes();
            if (refused.size() > 1) return os::DialogAnswer::Cancel();
            return os::DialogAnswer::Path((dir / "Obra\\/rede.dwg").string());
        });
        EXPECT_FALSE(h.main->SaveDrawingAs());
    }
    ASSERT_EQ(refused.size(), 3u);
    EXPECT_EQ(refused[1].kind, os::DialogKind::Message);
    EXPECT_NE(refused[1].text.find("\"\\\""), std::string::npos) << refused[1].text;
    {
        std::ifstream in(dir / "Obra/rede.dwg");
        std::string text;
        std::getline(in, text);
        EXPECT_EQ(text, "last year");
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir / "Obra\\"));
    EXPECT_EQ(h.doc->Name(), "copia.dwg");

    // "Abrir" of a drawing already open brings it forward; another one is read.
    // Over a drawing never saved the dialog opens in the user's documents.
    h.app.Documents().Add("Acad");
    {
        os::ScopedDialogDriver driver([&](const os::DialogRequest& r) {
            EXPECT_EQ(r.initialDir, (dir / "home/Documentos").string());
            return os::DialogAnswer::Path((dir / "copia.dwg").string());
        });
        MenuAction(bar, "Arquivo", "Abrir")->trigger();
    }
    EXPECT_EQ(h.app.Documents().Count(), 2);
    EXPECT_EQ(h.app.ActiveDocument(), h.doc);
    {
        os::ScopedDialogDriver driver(
            [&](const os::DialogRequest&) { return os::DialogAnswer::Path((dir / "rede.dxf").string()); });
        EXPECT_TRUE(h.main->OpenDrawing());
    }
    ASSERT_EQ(h.app.Documents().Count(), 3);
    EXPECT_EQ(h.app.ActiveDocument()->Name(), "rede.dxf");
    EXPECT_EQ(h.app.ActiveDocument()->ModelSpace().Count(), 1);

    // A file that is no drawing: the reason is shown and nothing else changes.
    {
        std::ofstream bad(dir / "ruim.dwg");
        bad << "LINE\n10\nabc\n";
    }
    std::string warning;
    {
        os::ScopedDialogDriver driver([&](const os::DialogRequest& r) {
            if (r.kind == os::DialogKind::Message) {
                warning = r.text;
                return os::DialogAnswer::Yes();
            }
            return os::DialogAnswer::Path((dir / "ruim.dwg").string());
        });
        EXPECT_FALSE(h.main->OpenDrawing());
    }
    EXPECT_NE(warning.find("ruim.dwg"), std::string::npos) << warning;
    EXPECT_EQ(h.app.Documents().Count(), 3);
    std::filesystem::remove_all(dir);
}

// A damaged drawing opened from the window: what can be read is shown, and the
// note saying what was left out is on the command line. Saved, it opens again
// with nothing to say.
TEST(Window, ADamagedDrawingOpensWithItsNoteAndSavesASoundFile)
{
    Harness h;
    const auto dir = TempFolder("acadui-damaged");
    std::filesystem::copy_file(
        std::filesystem::path(std::getenv("QUORIL_SOURCE_DIR")) / "tests/platform/acad/damaged/cut_in_section.dxf",
        dir / "cortado.dxf");
    auto open = [&](const std::string& name) {
        os::ScopedDialogDriver driver(
            [&](const os::DialogRequest&) { return os::DialogAnswer::Path((dir / name).string()); });
        return h.main->OpenDrawing();
    };
    ASSERT_TRUE(open("cortado.dxf"));
    acad::Document* damaged = h.app.ActiveDocument();
    ASSERT_EQ(damaged->Name(), "cortado.dxf");
    EXPECT_EQ(damaged->ModelSpace().Count(), 2);
    const QString note = h.panel->History();
    EXPECT_NE(note.indexOf(QString::fromStdString("Desenho \"" + (dir / "cortado.dxf").string() +
                                                  "\" aberto; 1 entidade deixada de fora: LINE")),
              -1)
        << note.toStdString();
    EXPECT_NE(note.indexOf("Arquivo truncado: termina na linha 37"), -1) << note.toStdString();
    {
        os::ScopedDialogDriver driver(
            [&](const os::DialogRequest&) { return os::DialogAnswer::Path((dir / "salvo.dxf").string()); });
        EXPECT_TRUE(h.main->SaveDrawingAs());
    }
    h.app.Documents().Close(*damaged);
    ASSERT_TRUE(open("salvo.dxf"));
    EXPECT_EQ(h.app.ActiveDocument()->Name(), "salvo.dxf");
    EXPECT_EQ(h.app.ActiveDocument()->ModelSpace().Count(), 2);
    EXPECT_EQ(h.panel->History(), note);
    std::filesystem::remove_all(dir);
}

TEST(Window, ClosingAsksAboutUnsavedDrawingsAndStopsTheHost)
{
    Harness h;
    acad::RegisterActiveObject(h.app);
    int closed = 0;
    auto c = h.window->Closed += [&] { ++closed; };
    h.doc->ModelSpace().AddCircle({0, 0, 0}, 1);
    ASSERT_FALSE(h.doc->Saved());

    // "Cancelar" keeps the window and the host.
    QString question;
    AnswerQuestion("Cancelar", &question);
    EXPECT_FALSE(h.window->Close());
    EXPECT_TRUE(h.window->IsOpen());
    EXPECT_NE(question.indexOf(QString::fromStdString(h.doc->Name())), -1);
    EXPECT_EQ(acad::GetObject(acad::kProgID), &h.app);

    // "Não": closed without saving; whatever is asked later has nobody to answer it.
    AnswerQuestion(QString::fromUtf8("Não"));
    EXPECT_TRUE(h.window->Close());
    EXPECT_FALSE(h.window->IsOpen());
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(h.app.Visible());
    EXPECT_EQ(h.app.GetInputSource(), nullptr);
    try {
        acad::GetObject(acad::kProgID);
        ADD_FAILURE() << "still registered";
    } catch (const acad::Error& e) {
        EXPECT_EQ(e.Code(), acad::ErrorCode::NotRunning);
    }
    try {
        h.doc->Utility().GetPoint(std::nullopt, "Ponto de inserção: ");
        ADD_FAILURE() << "answered";
    } catch (const acad::Error& e) {
        EXPECT_EQ(e.Code(), acad::ErrorCode::NoInputSource);
    }
    c.Disconnect();
}

TEST(Window, ClosedWhileAskingAnswersEscape)
{
    Harness h;
    h.OnRequest([&] { h.main->close(); });  // a drawing never changed: no question
    try {
        h.doc->Utility().GetPoint(std::nullopt, "Ponto de inserção: ");
        ADD_FAILURE() << "answered";
    } catch (const acad::Error& e) {
        EXPECT_EQ(e.Code(), acad::ErrorCode::Cancelled);
    }
    EXPECT_TRUE(h.main->IsClosed());
    // "Sim" on an unsaved drawing with a file saves it before closing.
    Harness k;
    const auto dir = TempFolder("acadui-close");
    k.doc->SaveAs((dir / "a.dwg").string());
    k.doc->ModelSpace().AddLine({0, 0, 0}, {1, 1, 0});
    AnswerQuestion("Sim");
    EXPECT_TRUE(k.window->Close());
    EXPECT_TRUE(k.doc->Saved());
    acad::Document reread;
    acad::ReadDxf(reread, dir / "a.dwg");
    EXPECT_EQ(reread.ModelSpace().Count(), 1);
    std::filesystem::remove_all(dir);
}

// The window's first size fits the screen, whatever the screen.
TEST(Window, FirstSizeFitsTheScreen)
{
    acad::Application app;
    app.Documents().Add("Acad");
    acad::ui::DrawingWindow window(app);
    window.Show();
    const QWidget* w = window.Window();
    EXPECT_TRUE(w->screen()->availableGeometry().contains(w->frameGeometry()))
        << w->frameGeometry().width() << "x" << w->frameGeometry().height();
}

// A menu closed with Escape while a point is asked: what the person types
// next, wherever the window sends it, still answers the request.
TEST(Window, AMenuClosedWithEscapeLeavesTheKeysToTheCommandLine)
{
    Harness h;
    auto key = [&](int k, const QString& text = {}) {
        for (const auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent e(type, k, Qt::NoModifier, text);
            QCoreApplication::sendEvent(h.main->windowHandle(), &e);
        }
    };
    h.OnRequest([&] {
        QMenuBar* bar = h.main->menuBar();
        const QPoint at = bar->actionGeometry(bar->actions().at(1)).center();
        for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, at, bar->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(bar, &e);
        }
        ASSERT_NE(QApplication::activePopupWidget(), nullptr);
        key(Qt::Key_Escape);
        Harness::Process();
        for (const QChar c : QStringLiteral("3,4")) key(c.unicode(), QString(c));
        key(Qt::Key_Return);
        if (h.main->CurrentRequest()) {
            ADD_FAILURE() << "the keys did not reach the command line";
            h.main->Escape();
        }
    });
    const Point3d p = h.doc->Utility().GetPoint(std::nullopt, "Ponto: ");
    EXPECT_EQ(p.x, 3);
    EXPECT_EQ(p.y, 4);
}

}  // namespace
