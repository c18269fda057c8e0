// The program's start (Form1_Form_Load) with and without "IniFile.txt" and
// the database, and the main window's tabs, option groups and buttons.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "ShellTestSupport.h"
#include "app/Form1.h"
#include "app/frmAbrirDir.h"
#include "shell/frmMsgBox.h"
#include "shell/modGlobais.h"
#include "water/frmTable.h"

using namespace forms;
using shelltest::ModalAnswers;
using shelltest::ReadBytes;
using shelltest::TempDir;
using shelltest::WriteBytes;

namespace {

struct Startup : ::testing::Test {
    TempDir programa;
    TempDir dados;

    void SetUp() override
    {
        shelltest::UseProgramPictures();
        DefinePastaPrograma(programa.path());
        gMdbPath = gBlocosPath = gImagensPath = gAppPath = "";
        gLogo = gBanner = Picture();
    }
    void TearDown() override { DefinePastaPrograma(""); }

    static void Banco(const std::string& pasta) { WriteBytes(pasta + "/rereva2000r.mdb", "catalogue"); }
    // The catalogue the build ships, for the tests that start a panel: the
    // sewer panel really loads it.
    static void CatalogoReal(const std::string& pasta)
    {
        const std::filesystem::path bin = std::getenv("QUORIL_BIN_DIR");
        std::filesystem::copy_file(bin / "rereva2000r.mdb", std::filesystem::path(pasta) / "rereva2000r.mdb");
        // The water panel's material menus lie beside it.
        for (const auto& e : std::filesystem::directory_iterator(bin)) {
            const std::string nome = e.path().filename().string();
            for (const std::string fim : {"_Flat.bmp", "_Move.bmp", "_Click.bmp"})
                if (nome.size() > fim.size() && nome.ends_with(fim))
                    std::filesystem::copy_file(e.path(), std::filesystem::path(pasta) / nome);
        }
    }
    std::string Ini() const { return programa / "IniFile.txt"; }
};

// The picker's answer: go to the folder and confirm it.
std::function<void(Form&)> Escolhe(const std::string& pasta, bool* okHabilitado = nullptr)
{
    return [pasta, okHabilitado](Form& f) {
        auto& p = dynamic_cast<frmAbrirDir&>(f);
        p.Dir1.SetPath(pasta);
        if (okHabilitado) *okHabilitado = p.CmdOK.Enabled();
        user::Click(p.CmdOK);
    };
}

void Cancela(Form& f) { user::Click(dynamic_cast<frmAbrirDir&>(f).CmdCancel); }

}  // namespace

TEST_F(Startup, IniFileNamingAGoodFolderAsksNothingAndKeepsTheFile)
{
    Banco(dados.path());
    WriteBytes(Ini(), dados.path() + "\r\n");
    ModalAnswers answers;
    Form1 f;
    f.Show();
    EXPECT_TRUE(answers.Shown().empty());
    EXPECT_EQ(ReadBytes(Ini()), dados.path() + "\r\n");

    EXPECT_EQ(gAppPath, programa.path());
    EXPECT_EQ(gAcadProgID, "AutoCAD.Application");
    EXPECT_EQ(gLayerConf, "0-Conferencia");
    EXPECT_EQ(gMdbPath, dados.path() + "/rereva2000r.mdb");
    EXPECT_EQ(gBlocosPath, dados.path());
    EXPECT_EQ(gImagensPath, dados.path());
    EXPECT_EQ(gMainForm, &f);

    // Decimals to the panels; none of them started yet.
    EXPECT_EQ(f.SD.PRECCOTA(), 3);
    EXPECT_EQ(f.SD.PRECDECL(), 6);
    EXPECT_EQ(f.SD.PRECDIST(), 2);
    EXPECT_EQ(f.SD.PRECOORD(), 4);
    EXPECT_EQ(f.WC.PRECCOTA(), 3);
    EXPECT_EQ(f.WC.PRECDIST(), 2);
    EXPECT_FALSE(f.SD.Iniciado());
    EXPECT_FALSE(f.WC.Iniciado());

    // The build number, blank, point, blank between the three numbers.
    EXPECT_EQ(f.VersaoLbl.Caption(), "Compilação No. " + std::to_string(App.Major()) + " . " +
                                         std::to_string(App.Minor()) + " . " + std::to_string(App.Revision()));

    // Branding, size and skin.
    EXPECT_EQ(f.Caption(), "QuorilCAD");
    EXPECT_EQ(f.Label1(0).Caption(), "QuorilCAD");
    EXPECT_FALSE(f.Icon().Empty());
    EXPECT_FALSE(gLogo.Empty());
    EXPECT_FALSE(gBanner.Empty());
    EXPECT_TRUE(f.Picture1(0).Picture() == gLogo);
    EXPECT_EQ(f.Width(), 3015);
    EXPECT_EQ(f.Height(), 5775);
    EXPECT_TRUE(f.TopMost());
    EXPECT_EQ(f.BorderStyle(), 0);
    EXPECT_TRUE(f.Visible());
    EXPECT_EQ(f.SSIniciar.Tabs(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(f.SSIniciar.TabPicture(i).Empty()) << i;
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(f.AutorImg(i).Picture().Empty()) << i;
    forms::Unload(f);
}

TEST_F(Startup, WithoutIniFileTheDatabaseBesideTheProgramIsTakenAndWritten)
{
    Banco(programa.path());
    ModalAnswers answers;
    Form1 f;
    f.Show();
    EXPECT_TRUE(answers.Shown().empty());
    EXPECT_EQ(ReadBytes(Ini()), programa.path() + "\r\n");
    EXPECT_EQ(gMdbPath, programa.path() + "/rereva2000r.mdb");
    forms::Unload(f);

    // A file naming a folder without the database is replaced the same way.
    WriteBytes(Ini(), dados.path() + "\r\n");
    Form1 g;
    g.Show();
    EXPECT_EQ(ReadBytes(Ini()), programa.path() + "\r\n");
    EXPECT_EQ(gBlocosPath, programa.path());
    forms::Unload(g);
}

TEST_F(Startup, NeitherAsksForTheFolderBeforeTheWindowShowsAndWritesTheChoice)
{
    Banco(dados.path());
    TempDir vazia;
    // Folders holding the database whose names cannot be kept: "IniFile.txt"
    // is one line, and a "\" is read as a separator of folders.
    const std::vector<std::string> recusadas = {dados / "Obra\\", dados / "linha\nnova", dados / "retorno\r"};
    for (const std::string& r : recusadas) {
        std::filesystem::create_directory(r);
        Banco(r);
    }
    Form1 f;
    bool okEmPastaVazia = true, okComBanco = false, janelaVisivel = true;
    std::vector<bool> okRecusadas;
    std::vector<std::string> motivos;
    ModalAnswers answers;
    // A folder without the database cannot be confirmed; the one with it can.
    answers.On("frmAbrirDir", [&](Form& p) {
        janelaVisivel = f.Visible();
        auto& picker = dynamic_cast<frmAbrirDir&>(p);
        EXPECT_EQ(picker.Label2.Caption(), "Localize o arquivo Rereva2000r.mdb");
        picker.Dir1.SetPath(vazia.path());
        okEmPastaVazia = picker.CmdOK.Enabled();
        // Refused, saying why; the picker stays.
        for (const std::string& r : recusadas) {
            picker.Dir1.SetPath(r);
            if (picker.CmdOK.Enabled()) user::Click(picker.CmdOK);
            okRecusadas.push_back(picker.Visible() && !picker.OK);
        }
        picker.Dir1.SetPath(dados.path());
        okComBanco = picker.CmdOK.Enabled();
        user::Click(picker.CmdOK);
    });
    for (std::size_t i = 0; i < recusadas.size(); ++i)
        answers.On("frmMsgBox", [&](Form& m) {
            motivos.push_back(dynamic_cast<frmMsgBox&>(m).Mensagem.Caption());
            user::Click(dynamic_cast<frmMsgBox&>(m).CmdOK);
        });
    f.Show();
    EXPECT_FALSE(janelaVisivel);
    EXPECT_FALSE(okEmPastaVazia);
    EXPECT_TRUE(okComBanco);
    EXPECT_EQ(okRecusadas, std::vector<bool>(recusadas.size(), true));
    ASSERT_EQ(motivos.size(), recusadas.size());
    EXPECT_NE(motivos[0].find("\"\\\""), std::string::npos) << motivos[0];
    EXPECT_NE(motivos[1].find("quebra de linha"), std::string::npos) << motivos[1];
    EXPECT_NE(motivos[2].find("quebra de linha"), std::string::npos) << motivos[2];
    EXPECT_EQ(answers.Count("frmAbrirDir"), 1);
    EXPECT_EQ(ReadBytes(Ini()), dados.path() + "\r\n");
    EXPECT_EQ(gMdbPath, dados.path() + "/rereva2000r.mdb");
    EXPECT_TRUE(f.Visible());
    forms::Unload(f);
}

TEST_F(Startup, CancellingThePickerEndsTheProgramCleanly)
{
    ModalAnswers answers;
    answers.On("frmAbrirDir", Cancela);
    Form1 f;
    f.Show();
    EXPECT_EQ(answers.Count("frmAbrirDir"), 1);
    EXPECT_FALSE(f.Loaded());
    EXPECT_FALSE(f.Visible());
    EXPECT_FALSE(std::filesystem::exists(Ini()));
    EXPECT_EQ(gMainForm, nullptr);
    EXPECT_EQ(gMdbPath, "");
}

TEST_F(Startup, ChoosingATabStartsItsPanel)
{
    CatalogoReal(programa.path());
    Form1 f;
    f.Show();
    f.SSQuoril.SetTab(2);
    user::ChooseTab(f.SSIniciar, 1);
    EXPECT_TRUE(f.SD.Iniciado());
    EXPECT_FALSE(f.WC.Iniciado());
    user::ChooseTab(f.SSIniciar, 2);
    EXPECT_TRUE(f.WC.Iniciado());
    user::ChooseTab(f.SSIniciar, 3);
    user::ChooseTab(f.SSIniciar, 4);
    // Back on the about tab its first page shows.
    user::ChooseTab(f.SSIniciar, 0);
    EXPECT_EQ(f.SSQuoril.Tab(), 0);
    // A second visit starts the panel again, which returns at once.
    user::ChooseTab(f.SSIniciar, 1);
    EXPECT_EQ(f.SSIniciar.Tab(), 1);
    EXPECT_TRUE(f.SD.Iniciado());

    // The option groups choose the panels' tool sets.
    user::Click(f.ESGOption1(2));
    EXPECT_EQ(f.SD.Interface(), 2);
    user::Click(f.ESGOption1(1));
    EXPECT_EQ(f.SD.Interface(), 1);
    user::ChooseTab(f.SSIniciar, 2);
    user::Click(f.AGUOption1(0));
    EXPECT_EQ(f.WC.Interface(), 0);
    EXPECT_EQ(f.ESGOption1(0).ToolTipText(), "Ferramentas de Desenho");
    EXPECT_EQ(f.ESGOption1(1).ToolTipText(), "Ferramentas de Importação/Exportação");
    EXPECT_EQ(f.AGUOption1(2).ToolTipText(), "Ferramentas de Desenho");
    forms::Unload(f);
}

TEST_F(Startup, ShiftOverAWaterOptionRevealsTheFittingsTable)
{
    CatalogoReal(programa.path());
    Form1 f;
    f.Show();
    user::ChooseTab(f.SSIniciar, 2);
    EXPECT_EQ(f.TableCmd.Left(), 3500);
    EXPECT_EQ(f.TableCmd.Caption(), "Ver Tabela de conexões");
    user::MouseMove(f.AGUOption1(1), 0, 0, 60, 60);
    EXPECT_EQ(f.TableCmd.Left(), 3500);
    user::MouseMove(f.AGUOption1(1), 0, vbShiftMask | vbCtrlMask, 90, 90);
    EXPECT_EQ(f.TableCmd.Left(), 3500);
    user::MouseMove(f.AGUOption1(1), 0, vbShiftMask, 60, 60);
    EXPECT_EQ(f.TableCmd.Left(), 720);

    // The table opens over a minimised main window, which comes back after it.
    int estadoDuranteTabela = -1;
    ModalAnswers answers;
    answers.On("frmTable", [&](Form& t) {
        estadoDuranteTabela = f.WindowState();
        EXPECT_EQ(t.Caption(), "Materiais");
        user::Click(dynamic_cast<frmTable&>(t).Command1);
    });
    user::Click(f.TableCmd);
    EXPECT_EQ(answers.Count("frmTable"), 1);
    EXPECT_EQ(estadoDuranteTabela, vbMinimized);
    EXPECT_EQ(f.WindowState(), vbNormal);
    EXPECT_EQ(f.TableCmd.Left(), 3500);
    forms::Unload(f);
}

TEST_F(Startup, TheWaterExportLocksTheTabsWhileItRuns)
{
    CatalogoReal(programa.path());
    Form1 f;
    f.Show();
    f.WC.Exportando.Raise(false);
    EXPECT_FALSE(f.SSIniciar.Enabled());
    user::ChooseTab(f.SSIniciar, 1);
    EXPECT_EQ(f.SSIniciar.Tab(), 0);
    EXPECT_FALSE(f.SD.Iniciado());
    f.WC.Exportando.Raise(true);
    EXPECT_TRUE(f.SSIniciar.Enabled());
    user::ChooseTab(f.SSIniciar, 1);
    EXPECT_TRUE(f.SD.Iniciado());
    forms::Unload(f);
}

TEST_F(Startup, TheAboutPageShowsThePictureOfTheLabelUnderTheMouse)
{
    Banco(programa.path());
    Form1 f;
    f.Show();
    f.SSQuoril.SetTab(1);
    EXPECT_TRUE(f.AutorImg(0).Visible());
    EXPECT_TRUE(f.AutorLbl(0).FontBold());
    user::MouseMove(f.AutorLbl(2), 0, 0, 60, 60);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(f.AutorImg(i).Visible(), i == 2) << i;
        EXPECT_EQ(f.AutorLbl(i).FontBold(), i == 2) << i;
    }
    EXPECT_EQ(f.AutorLbl(1).Caption(), "Autor");
    user::MouseMove(f.AutorLbl(1), 0, 0, 60, 60);
    EXPECT_TRUE(f.AutorImg(1).Visible());
    EXPECT_FALSE(f.AutorImg(2).Visible());
    forms::Unload(f);
}

TEST_F(Startup, ConfigurationChangesTheFolderOrNothing)
{
    Banco(programa.path());
    Banco(dados.path());
    Form1 f;
    f.Show();
    f.SSQuoril.SetTab(3);
    const std::string ini = ReadBytes(Ini());
    {
        // Cancelar: nothing changes and the picker does not come back.
        ModalAnswers answers;
        answers.On("frmAbrirDir", Cancela);
        user::Click(f.MdbPathCmd);
        EXPECT_EQ(answers.Count("frmAbrirDir"), 1);
        EXPECT_EQ(ReadBytes(Ini()), ini);
        EXPECT_EQ(gMdbPath, programa.path() + "/rereva2000r.mdb");
    }
    {
        ModalAnswers answers;
        answers.On("frmAbrirDir", Escolhe(dados.path()));
        user::Click(f.MdbPathCmd);
        EXPECT_EQ(ReadBytes(Ini()), dados.path() + "\r\n");
        EXPECT_EQ(gMdbPath, dados.path() + "/rereva2000r.mdb");
        EXPECT_EQ(gBlocosPath, dados.path());
        EXPECT_EQ(gImagensPath, dados.path());
    }
    {
        // A second time: the folder chosen before, "OK" disabled until a folder is chosen again.
        bool okAoAbrir = true;
        std::string pastaAoAbrir;
        ModalAnswers answers;
        answers.On("frmAbrirDir", [&](Form& p) {
            auto& picker = dynamic_cast<frmAbrirDir&>(p);
            okAoAbrir = picker.CmdOK.Enabled();
            pastaAoAbrir = picker.Dir1.Path();
            Cancela(p);
        });
        user::Click(f.MdbPathCmd);
        EXPECT_FALSE(okAoAbrir);
        EXPECT_EQ(pastaAoAbrir, dados.path());
        EXPECT_EQ(gMdbPath, dados.path() + "/rereva2000r.mdb");
    }
    forms::Unload(f);
}

TEST_F(Startup, MinimiseAndEnd)
{
    Banco(programa.path());
    Form1 f;
    f.Show();
    user::Click(f.cmdMinimize);
    EXPECT_EQ(f.WindowState(), vbMinimized);
    f.SetWindowState(vbNormal);
    user::DblClick(f.Picture1(0));
    EXPECT_EQ(f.WindowState(), vbMinimized);
    f.SetWindowState(vbNormal);
    int unloads = 0;
    f.Unload += [&](int&) { ++unloads; };
    user::Click(f.cmdEnd);
    EXPECT_EQ(unloads, 1);
    EXPECT_FALSE(f.Loaded());
}

TEST_F(Startup, TheOtherBrand)
{
    Form1 f;
    f.AplicaMarca("TELDRA");
    EXPECT_EQ(f.Caption(), "CADASTRO");
    EXPECT_EQ(f.Label1(0).Caption(), "Cadastro");
    EXPECT_TRUE(gLogo.Empty());  // this build carries no pictures of that brand
    f.AplicaMarca("OUTRA");
    EXPECT_EQ(f.Caption(), "CADASTRO");
    EXPECT_TRUE(gBanner.Empty());
}

TEST_F(Startup, AnIniFileThatCannotBeWrittenIsToldOnlyForTheUsersChoice)
{
    // A folder where the file should be: nothing can be written there.
    std::filesystem::create_directories(Ini());
    Banco(programa.path());
    {
        ModalAnswers answers;
        Form1 f;
        f.Show();
        EXPECT_TRUE(answers.Shown().empty());
        EXPECT_EQ(gMdbPath, programa.path() + "/rereva2000r.mdb");
        forms::Unload(f);
    }
    std::filesystem::remove(programa / "rereva2000r.mdb");
    Banco(dados.path());
    ModalAnswers answers;
    std::string aviso;
    answers.On("frmAbrirDir", Escolhe(dados.path()));
    answers.On("frmMsgBox", [&](Form& m) {
        aviso = dynamic_cast<frmMsgBox&>(m).Mensagem.Caption();
        user::Click(dynamic_cast<frmMsgBox&>(m).CmdOK);
    });
    Form1 f;
    f.Show();
    EXPECT_EQ(aviso.rfind("Não foi possível gravar o arquivo IniFile.txt.", 0), 0u) << aviso;
    EXPECT_TRUE(f.Loaded());
    EXPECT_EQ(gMdbPath, dados.path() + "/rereva2000r.mdb");
    forms::Unload(f);
}
