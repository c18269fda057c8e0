// The program's start as a whole: the drawing host registered for the run,
// the main window, and the run's end.

#include <gtest/gtest.h>

#include <memory>

#include "ShellTestSupport.h"
#include "app/Form1.h"
#include "app/QuorilApp.h"
#include "app/frmAbrirDir.h"
#include "platform/acad/Application.h"
#include "platform/acad/InputSource.h"
#include "platform/acad/RunningObjects.h"
#include "shell/modGlobais.h"

using namespace forms;
using shelltest::ModalAnswers;
using shelltest::TempDir;

namespace {

struct Run : ::testing::Test {
    TempDir programa;
    int argc = 1;
    char nome[10] = "quorilcad";
    char* argv[2] = {nome, nullptr};

    void SetUp() override { DoEvents(); }  // the test's own widget application
    void TearDown() override { DefinePastaPrograma(""); }

    QuorilOptions Opcoes()
    {
        QuorilOptions o;
        o.programFolder = programa.path();
        const char* bin = std::getenv("QUORIL_BIN_DIR");
        o.pictureFolder = std::string(bin ? bin : ".") + "/pictures";
        return o;
    }
};

}  // namespace

TEST_F(Run, TheHostIsRegisteredWhileTheMainWindowLives)
{
    shelltest::WriteBytes(programa / "rereva2000r.mdb", "catalogue");
    QuorilOptions o = Opcoes();
    o.input = std::make_shared<acad::ScriptedInput>();
    int started = 0;
    o.started = [&](Form1& f, acad::Application* host) {
        ++started;
        ASSERT_NE(host, nullptr);
        EXPECT_EQ(acad::GetObject(gAcadProgID), host);
        EXPECT_EQ(host->GetInputSource(), o.input.get());
        EXPECT_EQ(gMainForm, &f);
        EXPECT_TRUE(f.Visible());
        EXPECT_EQ(gMdbPath, programa / "rereva2000r.mdb");
        EXPECT_FALSE(gBanner.Empty());
        user::Click(f.cmdEnd);
    };
    EXPECT_EQ(RunQuoril(argc, argv, o), 0);
    EXPECT_EQ(started, 1);
    EXPECT_ANY_THROW(acad::GetObject("AutoCAD.Application"));
    EXPECT_EQ(gMainForm, nullptr);
}

TEST_F(Run, WithoutAHostNothingIsRegistered)
{
    shelltest::WriteBytes(programa / "rereva2000r.mdb", "catalogue");
    QuorilOptions o = Opcoes();
    o.startHost = false;
    bool attached = true;
    o.started = [&](Form1& f, acad::Application* host) {
        EXPECT_EQ(host, nullptr);
        try {
            acad::GetObject(gAcadProgID);
        } catch (const std::exception&) {
            attached = false;
        }
        forms::Unload(f);
    };
    EXPECT_EQ(RunQuoril(argc, argv, o), 0);
    EXPECT_FALSE(attached);
}

TEST_F(Run, CancellingTheDatabaseFolderEndsTheRunAtOnce)
{
    QuorilOptions o = Opcoes();
    bool started = false;
    o.started = [&](Form1&, acad::Application*) { started = true; };
    ModalAnswers answers;
    answers.On("frmAbrirDir", [](Form& f) { user::Click(dynamic_cast<frmAbrirDir&>(f).CmdCancel); });
    EXPECT_EQ(RunQuoril(argc, argv, o), 0);
    EXPECT_EQ(answers.Count("frmAbrirDir"), 1);
    EXPECT_FALSE(started);
    EXPECT_ANY_THROW(acad::GetObject("AutoCAD.Application"));
}
