// The program as a person runs it: the main window beside the drawing
// window, both real, under the offscreen platform. Closing either window asks
// about unsaved drawings and ends the whole program, or keeps both open on
// "Cancelar"; the connection's Escape keys do not cancel the first question;
// a drawing with unsaved changes is marked in the title and still found.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>

#include "ShellTestSupport.h"
#include "app/Form1.h"
#include "app/QuorilApp.h"
#include "cad/modAcad.h"
#include "platform/acad/Acad.h"
#include "platform/acad/ui/CommandPanel.h"
#include "platform/acad/ui/MainWindow.h"
#include "platform/os/Dialogs.h"
#include "platform/os/QtBridge.h"
#include "platform/os/Window.h"
#include "sewer/SANDes98.h"
#include "shell/modGlobais.h"

using namespace forms;
using shelltest::ModalAnswers;
using shelltest::TempDir;

namespace {

// The drawing window, found the way the program finds it: by its title.
acad::ui::MainWindow* DrawingWindowOf(acad::Application& host)
{
    return qobject_cast<acad::ui::MainWindow*>(os::WidgetOf(os::FindWindowByTitle(host.Caption())));
}

QAction* MenuAction(QMenuBar* bar, const QString& menu, const QString& text)
{
    for (QAction* top : bar->actions())
        if (top->text() == menu && top->menu())
            for (QAction* a : top->menu()->actions())
                if (a->text() == text) return a;
    return nullptr;
}

// Presses a button of the question box once it is shown, and keeps its text.
void AnswerQuestion(const QString& button, QString* text)
{
    QTimer::singleShot(0, [button, text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            ADD_FAILURE() << "no question";
            return;
        }
        *text = box->text();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == button) {
                b->click();
                return;
            }
        ADD_FAILURE() << "no button " << button.toStdString();
        box->reject();
    });
}

// One turn of an event loop that waits for events, as the program's does
// between two actions of the person (the windows do their idle work then).
void Idle()
{
    QEventLoop loop;
    QTimer::singleShot(10, &loop, &QEventLoop::quit);
    loop.exec();
}

// Keys typed on the drawing window's command line, then Enter or Escape.
void Key(acad::ui::MainWindow& w, int key, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w.Commands()->Edit(), &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w.Commands()->Edit(), &release);
}

void TypeLine(acad::ui::MainWindow& w, const QString& line)
{
    for (const QChar c : line) Key(w, c.toUpper().unicode(), QString(c));
    Key(w, Qt::Key_Return);
}

// Answers the drawing window's questions in order, each from the event loop
// once it waits; a question nobody expected fails the test and is answered
// with Enter, then Escape, so that no retrying caller keeps the test waiting.
class Answers {
public:
    explicit Answers(acad::ui::MainWindow& w) : w_(w)
    {
        waiting_ = w.Waiting += [this] {
            prompts.push_back(w_.CurrentRequest()->prompt);
            std::function<void()> next;
            if (!queue_.empty()) {
                next = std::move(queue_.front());
                queue_.pop_front();
            } else {
                ADD_FAILURE() << "unexpected question: \"" << prompts.back() << "\"";
                const bool enter = unexpected_++ % 2 == 0;
                next = [this, enter] { Key(w_, enter ? int(Qt::Key_Return) : int(Qt::Key_Escape)); };
            }
            QTimer::singleShot(0, &w_, std::move(next));
        };
    }
    void Type(const QString& line, const std::function<void()>& first = {})
    {
        queue_.push_back([this, line, first] {
            if (first) first();
            TypeLine(w_, line);
        });
    }
    std::vector<std::string> prompts;

private:
    acad::ui::MainWindow& w_;
    std::deque<std::function<void()>> queue_;
    int unexpected_ = 0;
    platform::ScopedConnection waiting_;
};

struct Program : ::testing::Test {
    TempDir programa;
    int argc = 1;
    char nome[10] = "quorilcad";
    char* argv[2] = {nome, nullptr};

    void SetUp() override
    {
        DoEvents();
        // As at the start of a run: the host's window not found yet, its state never asked.
        gAcadHwnd = 0;
        gAcadState.reset();
        // The shipped catalogue, so that the sewer panel really draws.
        std::filesystem::copy_file(std::filesystem::path(std::getenv("QUORIL_BIN_DIR")) / "rereva2000r.mdb",
                                   programa / "rereva2000r.mdb");
    }
    void TearDown() override { DefinePastaPrograma(""); }

    QuorilOptions Opcoes()
    {
        QuorilOptions o;
        o.programFolder = programa.path();
        o.pictureFolder = std::string(std::getenv("QUORIL_BIN_DIR")) + "/pictures";
        return o;
    }

    // The sewer tab, a manhole's fields, and "Inserir PV".
    static void InsereUmPV(Form1& f)
    {
        user::ChooseTab(f.SSIniciar, 1);
        user::Type(f.SD.DesTxtS(1), "PV-");
        user::Type(f.SD.DesTxt(3), "1");
        user::Type(f.SD.DesTxt(0), "102,5");
        user::PressKey(f.SD.DesTxt(0), vbKeyReturn);
        user::Type(f.SD.DesTxt(1), "100.7");
        user::PressKey(f.SD.DesTxt(1), vbKeyReturn);
        user::Click(f.SD.DesInsertPVcmd);
    }

    static int Manholes(acad::Document& doc)
    {
        int n = 0;
        for (acad::Entity* e : doc.ModelSpace())
            if (auto* b = acad::As<acad::BlockReference>(e); b && b->Name().rfind("E-PV", 0) == 0) ++n;
        return n;
    }
};

}  // namespace

TEST_F(Program, ClosingTheMainWindowAsksAndCancelKeepsEverything)
{
    bool ran = false;
    QuorilOptions o = Opcoes();
    o.started = [&](Form1& f, acad::Application* host) {
        ran = true;
        ASSERT_NE(host, nullptr);
        acad::ui::MainWindow* w = DrawingWindowOf(*host);
        ASSERT_NE(w, nullptr);
        acad::Document* doc = host->ActiveDocument();
        doc->ModelSpace().AddCircle({0, 0, 0}, 5);
        ASSERT_FALSE(doc->Saved());

        // "Fim" and the window's close box: "Cancelar" keeps the program and the drawing.
        QString question;
        AnswerQuestion("Cancelar", &question);
        user::Click(f.cmdEnd);
        EXPECT_TRUE(question.contains(QString::fromUtf8("Salvar as alterações?"))) << question.toStdString();
        question.clear();
        AnswerQuestion("Cancelar", &question);
        user::CloseWindow(f);
        EXPECT_FALSE(question.isEmpty());
        QCoreApplication::processEvents();
        EXPECT_TRUE(f.Loaded());
        EXPECT_TRUE(f.Visible());
        EXPECT_FALSE(w->IsClosed());
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(host->ActiveDocument(), doc);
        EXPECT_EQ(doc->ModelSpace().Count(), 1);
        EXPECT_FALSE(doc->Saved());
        EXPECT_EQ(acad::GetObject(gAcadProgID), host);

        // "Sim" on a drawing without a file asks its name; cancelling that keeps everything too.
        {
            os::ScopedDialogDriver nome([](const os::DialogRequest&) { return os::DialogAnswer::Cancel(); });
            AnswerQuestion("Sim", &question);
            user::Click(f.cmdEnd);
        }
        QCoreApplication::processEvents();
        EXPECT_TRUE(f.Loaded());
        EXPECT_FALSE(w->IsClosed());
        EXPECT_FALSE(doc->Saved());

        // "Não": the drawing window closes with the program.
        AnswerQuestion(QString::fromUtf8("Não"), &question);
        user::Click(f.cmdEnd);
        EXPECT_FALSE(f.Loaded());
        EXPECT_TRUE(w->IsClosed());
    };
    EXPECT_EQ(RunQuoril(argc, argv, o), 0);
    EXPECT_TRUE(ran);
    EXPECT_ANY_THROW(acad::GetObject("AutoCAD.Application"));
    EXPECT_EQ(gMainForm, nullptr);
}

TEST_F(Program, ClosingTheDrawingWindowEndsTheProgramUnlessCancelled)
{
    bool ran = false;
    QuorilOptions o = Opcoes();
    o.started = [&](Form1& f, acad::Application* host) {
        ran = true;
        ASSERT_NE(host, nullptr);
        acad::ui::MainWindow* w = DrawingWindowOf(*host);
        ASSERT_NE(w, nullptr);
        QAction* sair = MenuAction(w->menuBar(), "Arquivo", "Sair");
        ASSERT_NE(sair, nullptr);
        acad::Document* doc = host->ActiveDocument();
        doc->ModelSpace().AddLine({0, 0, 0}, {10, 0, 0});

        // "Sair" and the window's close box: "Cancelar" keeps both windows and the host.
        QString question;
        AnswerQuestion("Cancelar", &question);
        sair->trigger();
        EXPECT_TRUE(question.contains(QString::fromUtf8("Salvar as alterações?")));
        question.clear();
        AnswerQuestion("Cancelar", &question);
        w->close();
        EXPECT_FALSE(question.isEmpty());
        QCoreApplication::processEvents();
        EXPECT_FALSE(w->IsClosed());
        EXPECT_TRUE(f.Loaded());
        EXPECT_FALSE(doc->Saved());
        EXPECT_EQ(acad::GetObject(gAcadProgID), host);
        // The program still reaches the host: no "Inicie o AutoCAD".
        ModalAnswers nada;
        EXPECT_TRUE(ConectaAcad("", ""));
        EXPECT_TRUE(nada.Shown().empty());

        // "Não": the drawing window closes, and the program ends with it.
        AnswerQuestion(QString::fromUtf8("Não"), &question);
        sair->trigger();
        EXPECT_TRUE(w->IsClosed());
        QCoreApplication::processEvents();
        if (f.Loaded()) {
            ADD_FAILURE() << "the main window outlived the drawing window";
            forms::Unload(f);
        }
    };
    EXPECT_EQ(RunQuoril(argc, argv, o), 0);
    EXPECT_TRUE(ran);
    EXPECT_ANY_THROW(acad::GetObject("AutoCAD.Application"));
    EXPECT_EQ(gMainForm, nullptr);
}

TEST_F(Program, TheFirstConnectionsEscapeKeysDoNotCancelTheFirstQuestion)
{
    QuorilOptions o = Opcoes();
    o.started = [&](Form1& f, acad::Application* host) {
        ASSERT_NE(host, nullptr);
        acad::ui::MainWindow* w = DrawingWindowOf(*host);
        ASSERT_NE(w, nullptr);
        acad::Document* doc = host->ActiveDocument();
        Answers answers(*w);
        answers.Type("0,0");
        answers.Type("0");
        ModalAnswers boxes;
        InsereUmPV(f);
        // The connection found the window and sent it its two Escape keys...
        EXPECT_EQ(gAcadHwnd, os::HandleOf(w));
        // ...which cancelled nothing: each question asked once, the manhole drawn.
        EXPECT_EQ(answers.prompts, (std::vector<std::string>{"Ponto de inserção: ", "Direção: "}));
        EXPECT_FALSE(w->Commands()->History().contains(QStringLiteral("*Cancelado*")))
            << w->Commands()->History().toStdString();
        EXPECT_TRUE(boxes.Shown().empty());
        EXPECT_EQ(Manholes(*doc), 1);

        // A command typed at the idle prompt is answered, not lost.
        TypeLine(*w, "linha");
        EXPECT_TRUE(
            w->Commands()->History().endsWith(QString::fromUtf8("Comando: linha\nComando desconhecido: \"linha\"")))
            << w->Commands()->History().toStdString();
        EXPECT_EQ(w->Commands()->Prompt(), QStringLiteral("Comando: "));

        QString question;
        AnswerQuestion(QString::fromUtf8("Não"), &question);
        user::Click(f.cmdEnd);
        EXPECT_FALSE(question.isEmpty());
    };
    EXPECT_EQ(RunQuoril(argc, argv, o), 0);
}

// A panel command started while another waits for the person cancels the
// waiting one first: its question does not come back after the new command.
TEST_F(Program, APanelCommandStartedWhileAnotherWaitsCancelsIt)
{
    QuorilOptions o = Opcoes();
    o.started = [&](Form1& f, acad::Application* host) {
        ASSERT_NE(host, nullptr);
        acad::ui::MainWindow* w = DrawingWindowOf(*host);
        ASSERT_NE(w, nullptr);
        Answers answers(*w);
        answers.Type("", [&] {
            user::Click(f.SD.DesInsertPVcmd);
            EXPECT_EQ(w->Commands()->Prompt(), QStringLiteral("Comando: "));
            EXPECT_TRUE(w->Commands()->History().contains(QString::fromUtf8("Ponto de inserção: *Cancelado*")))
                << w->Commands()->History().toStdString();
            if (w->CurrentRequest()) w->Escape();
        });
        answers.Type("0,0");
        answers.Type("0");
        ModalAnswers boxes;
        InsereUmPV(f);
        EXPECT_EQ(answers.prompts,
                  (std::vector<std::string>{"Ponto de inserção: ", "Ponto de inserção: ", "Direção: "}));
        EXPECT_TRUE(boxes.Shown().empty());
        EXPECT_EQ(Manholes(*host->ActiveDocument()), 1);
        QString question;
        AnswerQuestion(QString::fromUtf8("Não"), &question);
        user::Click(f.cmdEnd);
    };
    EXPECT_EQ(RunQuoril(argc, argv, o), 0);
}

TEST_F(Program, AnUnsavedDrawingIsMarkedInTheTitleAndStillFound)
{
    const TempDir desenhos;
    QuorilOptions o = Opcoes();
    o.started = [&](Form1& f, acad::Application* host) {
        ASSERT_NE(host, nullptr);
        acad::ui::MainWindow* w = DrawingWindowOf(*host);
        ASSERT_NE(w, nullptr);
        const QString caption = QString::fromStdString(host->Caption());
        EXPECT_EQ(w->windowTitle(), caption);
        acad::Document* doc = host->ActiveDocument();
        doc->ModelSpace().AddCircle({100, 100, 0}, 2);
        Idle();
        EXPECT_EQ(w->windowTitle(), caption + "*");
        EXPECT_EQ(os::WindowTitle(os::HandleOf(w)), (caption + "*").toStdString());

        // The program's first connection finds the marked window, and its
        // questions bring it forward.
        Answers answers(*w);
        bool activeWhenAsked = false;
        answers.Type("0,0", [&] {
            QCoreApplication::processEvents();  // the window system's answer to the activation
            activeWhenAsked = QApplication::activeWindow() == w;
        });
        answers.Type("0");
        InsereUmPV(f);
        EXPECT_EQ(gAcadHwnd, os::HandleOf(w));
        EXPECT_TRUE(activeWhenAsked);
        EXPECT_EQ(answers.prompts.size(), 2u);
        EXPECT_EQ(Manholes(*doc), 1);

        // Saved, the mark goes.
        {
            os::ScopedDialogDriver nome(
                [&](const os::DialogRequest&) { return os::DialogAnswer::Path(desenhos / "rede.dwg"); });
            MenuAction(w->menuBar(), "Arquivo", "Salvar")->trigger();
        }
        Idle();
        EXPECT_TRUE(doc->Saved());
        EXPECT_EQ(w->windowTitle().toStdString(), "AutoCAD - [rede.dwg]");
        user::Click(f.cmdEnd);  // nothing to ask
    };
    EXPECT_EQ(RunQuoril(argc, argv, o), 0);
}
