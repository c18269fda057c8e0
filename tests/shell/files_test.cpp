// The file dialog object over the platform's dialogs, the database folder
// picker, and the file operations on real files.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "ShellTestSupport.h"
#include "app/frmAbrirDir.h"
#include "platform/os/DialogScript.h"
#include "platform/os/Dialogs.h"
#include "platform/os/ShellOpen.h"
#include "shell/clsCommonDialog.h"
#include "shell/frmMsgBox.h"
#include "shell/modArquivos.h"

using namespace forms;
using shelltest::ModalAnswers;
using shelltest::ReadBytes;
using shelltest::ScopedEnv;
using shelltest::TempDir;
using shelltest::WriteBytes;

using ostest::DialogScript;

TEST(clsCommonDialog, SavePassesItsSettingsAndSplitsTheChoice)
{
    DoEvents();  // the widget application the dialogs need
    TempDir dir;
    DialogScript script;
    script.Then(os::DialogAnswer::Path(dir / "rede"));
    clsCommonDialog dlg;
    EXPECT_EQ(dlg.MaxFileSize(), 256);
    dlg.SetDialogTitle("Salvar Planilha");
    dlg.SetFilter("Planilha do MSExcel *.xls|*.xls");
    dlg.SetDefaultExt("xls");
    dlg.SetInitDir(dir.path());
    dlg.SetFilename("rede.xls");
    dlg.SetFLAGS(2);
    dlg.SetFilterIndex(1);
    EXPECT_GT(dlg.ShowSave(nullptr), 0);

    ASSERT_EQ(script.seen().size(), 1u);
    const os::DialogRequest& r = script.seen()[0];
    EXPECT_EQ(r.kind, os::DialogKind::Save);
    EXPECT_EQ(r.title, "Salvar Planilha");
    EXPECT_EQ(r.initialDir, dir.path());
    EXPECT_EQ(r.fileName, "rede.xls");
    EXPECT_EQ(r.defaultExt, "xls");
    EXPECT_EQ(r.flags, 2);
    ASSERT_EQ(r.filters.size(), 1u);
    EXPECT_EQ(r.filters[0].description, "Planilha do MSExcel *.xls");
    EXPECT_EQ(r.filters[0].patterns, "*.xls");

    // The default extension was added to the name typed without one.
    EXPECT_EQ(dlg.Filename(), dir / "rede.xls");
    EXPECT_EQ(dlg.FileTitle(), "rede.xls");
    EXPECT_EQ(dlg.Path(), dir.path() + "/");
    EXPECT_EQ(dlg.LastError(), 0);
    EXPECT_EQ(dlg.Filter(), "Planilha do MSExcel *.xls|*.xls");
    EXPECT_EQ(dlg.ParseFileNames(), std::vector<std::string>{dir / "rede.xls"});
}

TEST(clsCommonDialog, CancelLeavesTheLastChoiceAndSeveralFilesComeApart)
{
    DoEvents();
    TempDir dir;
    WriteBytes(dir / "a.dwg", "0\nEOF\n");
    WriteBytes(dir / "b.dwg", "0\nEOF\n");
    DialogScript script;
    script.Then(os::DialogAnswer::Path(dir / "a.dwg"));
    script.Then(os::DialogAnswer::Cancel());
    script.Then(os::DialogAnswer::Paths({dir / "a.dwg", dir / "b.dwg"}));
    clsCommonDialog dlg;
    dlg.SetFilter("AutoCAD Drawing *.dwg|*.dwg");
    ASSERT_GT(dlg.ShowOpen(nullptr), 0);
    EXPECT_EQ(dlg.Filename(), dir / "a.dwg");

    EXPECT_EQ(dlg.ShowOpen(nullptr), 0);
    EXPECT_EQ(dlg.LastError(), 0);  // cancelled by the user
    EXPECT_EQ(dlg.Filename(), dir / "a.dwg");
    EXPECT_EQ(dlg.FileTitle(), "a.dwg");
    EXPECT_EQ(dlg.Path(), dir.path() + "/");

    dlg.SetFLAGS(0x200);
    ASSERT_GT(dlg.ShowOpen(nullptr), 0);
    EXPECT_EQ(dlg.Filename(), dir.path() + std::string(1, '\0') + "a.dwg" + std::string(1, '\0') + "b.dwg");
    EXPECT_EQ(dlg.ParseFileNames(), (std::vector<std::string>{dir / "a.dwg", dir / "b.dwg"}));
}

TEST(clsCommonDialog, BrowseGivesTheFolder)
{
    DoEvents();
    TempDir dir;
    DialogScript script;
    script.Then(os::DialogAnswer::Path(dir.path()));
    clsCommonDialog dlg;
    dlg.SetDialogTitle("Pasta dos desenhos");
    EXPECT_GT(dlg.Browse(nullptr), 0);
    EXPECT_EQ(script.seen().at(0).kind, os::DialogKind::Folder);
    EXPECT_EQ(script.seen().at(0).title, "Pasta dos desenhos");
    EXPECT_EQ(dlg.Path(), dir.path());
    EXPECT_EQ(dlg.Browse(nullptr), 0);
    EXPECT_EQ(dlg.Path(), dir.path());
}

TEST(frmAbrirDir, OKOnlyForAFolderWithTheDatabaseAndOnlyAfterAChange)
{
    TempDir dados;
    WriteBytes(dados / "rereva2000r.mdb", "catalogue");
    const auto antes = std::filesystem::current_path();
    std::filesystem::current_path(dados.path());
    {
        frmAbrirDir p;
        p.Show(vbModeless);
        EXPECT_EQ(p.Dir1.Path(), dados.path());
        EXPECT_FALSE(p.CmdOK.Enabled());  // even here: nothing was chosen yet
        EXPECT_EQ(p.Caption(), "Abrir Projeto");
        EXPECT_TRUE(p.TopMost());

        // "/tmp": the last separator within the first nine characters, shown whole.
        p.Dir1.SetPath("/tmp");
        EXPECT_EQ(p.Label1.Caption(), "/tmp");
        EXPECT_FALSE(p.CmdOK.Enabled());

        std::filesystem::create_directories(dados / "Projetos/Rede/Dados");
        WriteBytes(dados / "Projetos/Rede/Dados/rereva2000r.mdb", "catalogue");
        p.Dir1.SetPath(dados / "Projetos/Rede/Dados");
        EXPECT_EQ(p.Label1.Caption(), dados.path().substr(0, 5) + ".../Dados");
        EXPECT_TRUE(p.CmdOK.Enabled());
        forms::Unload(p);
    }
    std::filesystem::current_path(antes);
}

TEST(FileOperations, CopyFileSafeReplacesOrKeepsTheDestination)
{
    TempDir dir;
    WriteBytes(dir / "modelo.xls", "template");
    WriteBytes(dir / "saida.xls", "old");
    // Spaces around the names are not part of them.
    EXPECT_TRUE(CopyFileSafe("  " + (dir / "modelo.xls") + " ", (dir / "saida.xls") + "  "));
    EXPECT_EQ(ReadBytes(dir / "saida.xls"), "template");

    // A failed copy says so and leaves the destination as it was.
    ModalAnswers answers;
    std::string texto, titulo;
    answers.On("frmMsgBox", [&](Form& f) {
        auto& m = dynamic_cast<frmMsgBox&>(f);
        texto = m.Mensagem.Caption();
        titulo = m.Titulo.Caption();
        user::Click(m.CmdOK);
    });
    EXPECT_FALSE(CopyFileSafe(dir / "nao-existe.xls", dir / "saida.xls"));
    EXPECT_EQ(texto, "Erro. Arquivo não copiado!");
    EXPECT_EQ(titulo, "Atenção");
    EXPECT_EQ(ReadBytes(dir / "saida.xls"), "template");
}

TEST(FileOperations, DeleteToRecycleMovesTheFileToTheTrash)
{
    TempDir home;
    ScopedEnv h("HOME", home.path());
    ScopedEnv x("XDG_DATA_HOME", std::nullopt);
    WriteBytes(home / "rede.dwg", "drawing");
    ModalAnswers answers;
    EXPECT_TRUE(DeleteToRecycle(home / "rede.dwg"));
    EXPECT_FALSE(std::filesystem::exists(home / "rede.dwg"));
    EXPECT_EQ(ReadBytes(home / ".local/share/Trash/files/rede.dwg"), "drawing");
    // A missing file: False, and no message from the program.
    EXPECT_FALSE(DeleteToRecycle(home / "rede.dwg"));
    EXPECT_TRUE(answers.Shown().empty());
}

TEST(FileOperations, OpenWithShellHandsTheFileToAProgram)
{
    DoEvents();
    TempDir home;
    ScopedEnv h("HOME", home.path());
    ScopedEnv x("XDG_DATA_HOME", home / "share");
    ScopedEnv d("XDG_DATA_DIRS", home / "none");
    ScopedEnv c("XDG_CONFIG_HOME", home / "config");
    std::vector<os::LaunchRequest> launched;
    const auto previous = os::SetLaunchHook([&](const os::LaunchRequest& r) {
        launched.push_back(r);
        return true;
    });
    // No program for this kind of file: the user is asked and types one.
    DialogScript script;
    script.Then(os::DialogAnswer::Command("leitor"));
    std::string path = home / "relatorio.qzx";
    WriteBytes(path, "texto");
    OpenWithShell(path);
    os::SetLaunchHook(previous);
    ASSERT_FALSE(launched.empty());
    EXPECT_EQ(launched.back().program, "leitor");
    ASSERT_FALSE(launched.back().arguments.empty());
    EXPECT_EQ(launched.back().arguments.back(), path);
}
