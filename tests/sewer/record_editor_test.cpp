// The record editor of a design table over a real dBase file: the first
// record in reach order, the moves of the buttons and keys with the beep at
// both ends, changes written by the moves and by "X", values the file refuses,
// the orders, and the editor opened from the import menu.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>

#include <sys/resource.h>

#include "ImportTestSupport.h"
#include "ProjetoTestSupport.h"
#include "cad/CadTestSupport.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Testing.h"
#include "sewer/frmDBF.h"

using namespace sewertest;
using namespace forms;

namespace {

enum Campo { CLTAT = 0, PVM = 5, PVJ = 6, COMP = 7, DIAM = 8, PAVIM = 10, OBS = 13 };

class EditorTest : public ::testing::Test {
protected:
    EditorTest()
    {
        // Stored out of order; PVM sorts them another way.
        std::vector<RegistroDbf> regs;
        const char* pvm[] = {"PV-E", "PV-C", "PV-A", "PV-D", "PV-B"};
        for (int i : {3, 1, 5, 2, 4}) {
            RegistroDbf r = Trecho(std::to_string(i), pvm[i - 1], 0, 0, "J" + std::to_string(i), 10, 0);
            r["OBS"] = "obs " + std::to_string(i);
            regs.push_back(r);
        }
        EscreveDbf(Tabela(), CamposCompletos(true), regs);
    }
    std::filesystem::path Tabela() const { return pasta / "rede.dbf"; }

    // The editor of rede.dbf, opened and shown as EditTable shows it.
    frmDBF& Abre()
    {
        f.FilePath = pasta.Caminho().string() + "/";
        f.Filename = "rede.dbf";
        EXPECT_TRUE(f.Start());
        f.Show();
        return f;
    }
    std::string Atual() { return f.txtFields(CLTAT).Text(); }
    void Redigita(int Campo, const std::string& Texto)
    {
        TextBox& t = f.txtFields(Campo);
        user::Focus(t);
        t.SetSelStart(0);
        t.SetSelLength(static_cast<int>(t.Text().size()));
        user::PressKey(t, vbKeyDelete);
        user::Type(t, Texto);
    }
    void Tecla(int Codigo, int Shift = 0) { user::PressKey(f.txtFields(OBS), Codigo, Shift); }
    bool Carregado() const
    {
        const auto todos = forms::Forms();
        return std::find(todos.begin(), todos.end(), &f) != todos.end();
    }

    cadtest::PastaTemporaria pasta;
    cadtest::Mensagens mensagens;
    frmDBF f;
};

TEST_F(EditorTest, OpensOnTheFirstReachAndWalksWithButtonsAndKeysBeepingAtBothEnds)
{
    Abre();
    EXPECT_EQ(f.Label1.Caption(), "rede.dbf");
    EXPECT_EQ(f.lblLabels(12).Caption(), "MAT.:");
    EXPECT_EQ(f.Combo1.ListCount(), 9);
    EXPECT_EQ(f.Combo1.Text(), " Order By CLTAT");
    EXPECT_EQ(Atual(), "1");
    EXPECT_EQ(f.txtFields(PVM).Text(), "PV-E");
    EXPECT_EQ(f.txtFields(DIAM).Text(), "0.15");
    EXPECT_EQ(f.txtFields(4).Text(), "");  // CLTLC is blank: Null
    EXPECT_EQ(f.lblStatus.Caption(), "Record: 1");

    int beeps = BeepCount();
    user::Click(f.cmdPrevious);  // already on the first
    EXPECT_EQ(BeepCount(), beeps + 1);
    EXPECT_EQ(Atual(), "1");
    EXPECT_EQ(f.lblStatus.Caption(), "Record: 1");

    beeps = BeepCount();
    user::Click(f.CmdFront);  // four steps to the last, six beeps there
    EXPECT_EQ(Atual(), "5");
    EXPECT_EQ(f.lblStatus.Caption(), "Record: 5");
    EXPECT_EQ(BeepCount(), beeps + 6);
    user::Click(f.cmdNext);
    EXPECT_EQ(Atual(), "5");
    EXPECT_EQ(BeepCount(), beeps + 7);
    user::Click(f.CmdBack);
    EXPECT_EQ(Atual(), "1");
    user::Click(f.cmdLast);
    EXPECT_EQ(Atual(), "5");
    user::Click(f.cmdFirst);
    EXPECT_EQ(Atual(), "1");
    Tecla(vbKeyPageDown, vbCtrlMask);  // the keys themselves: the end-to-end script
    EXPECT_EQ(Atual(), "5");
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(EditorTest, ChangesAreWrittenByTheMovesAndByTheCloseButtonEvenOnTheLastRecord)
{
    Abre();
    Redigita(DIAM, "0.2");
    EXPECT_EQ(Gravado(Tabela(), "1", "DIAM"), "0.15");
    Tecla(vbKeyHome);  // on the first record already: the change is still written
    EXPECT_EQ(Gravado(Tabela(), "1", "DIAM"), "0.2");
    EXPECT_EQ(Atual(), "1");

    user::Click(f.cmdNext);
    Redigita(COMP, "");  // emptied: Null
    user::Click(f.cmdNext);
    EXPECT_EQ(Gravado(Tabela(), "2", "COMP"), "<null>");

    user::Click(f.cmdLast);
    Redigita(OBS, "revisar");
    user::Click(f.cmdEnd);
    EXPECT_EQ(Gravado(Tabela(), "5", "OBS"), "revisar");
    EXPECT_FALSE(Carregado());
    EXPECT_EQ(Screen.MousePointer(), vbDefault);
    EXPECT_TRUE(mensagens.Lista().empty());
    EXPECT_EQ(Gravado(Tabela(), "3", "OBS"), "obs 3");  // nothing else changed
}

TEST_F(EditorTest, AValueTheFileRefusesIsToldAndTheRecordAndTheTextStay)
{
    Abre();
    user::Click(f.cmdNext);
    Redigita(DIAM, "1234.5");  // does not fit in N(6,3)
    user::Click(f.cmdNext);
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "Atenção");
    EXPECT_NE(mensagens.Lista()[0].Texto.find("DIAM"), std::string::npos);
    EXPECT_EQ(f.lblStatus.Caption(), "Record: 2");
    EXPECT_EQ(f.txtFields(DIAM).Text(), "1234.5");
    EXPECT_EQ(Gravado(Tabela(), "2", "DIAM"), "0.15");

    // Letters in a number field: told at the move, nothing of them reaches the file.
    mensagens.Limpa();
    Redigita(DIAM, "0,3x");
    user::Click(f.CmdFront);
    ASSERT_EQ(mensagens.Lista().size(), 1u);  // one message, not ten
    EXPECT_NE(mensagens.Lista()[0].Texto.find("DIAM"), std::string::npos);
    EXPECT_EQ(f.lblStatus.Caption(), "Record: 2");

    // "X" with a refused change keeps the window and the text.
    mensagens.Limpa();
    user::Click(f.cmdEnd);
    EXPECT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_TRUE(Carregado());
    EXPECT_EQ(f.txtFields(DIAM).Text(), "0,3x");

    user::PressKey(f.txtFields(DIAM), vbKeyBack);
    user::Click(f.cmdEnd);
    EXPECT_FALSE(Carregado());
    EXPECT_EQ(Gravado(Tabela(), "2", "DIAM"), "0.3");
}

// A disk that takes no more (a size limit on this process here): the change
// the file refused is told at the move, and the program's end, which closes
// the window twice at worst, tries it again without telling it again.
TEST_F(EditorTest, AChangeTheDiskRefusedIsToldOnceAlsoWhenTheProgramEnds)
{
    Abre();
    Redigita(OBS, "disco cheio");
    rlimit antes{};
    ::getrlimit(RLIMIT_FSIZE, &antes);
    const auto sinal = ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limite{512, antes.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limite), 0);
    user::Click(f.cmdNext);
    const std::size_t contadas = mensagens.Lista().size();
    forms::Unload(f);
    forms::Unload(f);
    ::setrlimit(RLIMIT_FSIZE, &antes);
    ::signal(SIGXFSZ, sinal);
    ASSERT_EQ(contadas, 1u);
    EXPECT_NE(mensagens.Lista()[0].Texto.find("Arquivo grande demais"), std::string::npos);
    EXPECT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(Gravado(Tabela(), "1", "OBS"), "obs 1");
}

TEST_F(EditorTest, AnotherOrderSavesThePendingChangeFirstAndARefusedOneKeepsTheOrder)
{
    Abre();
    user::Click(f.cmdNext);  // reach 2, "PV-C"
    Redigita(PVM, "PV-0");
    user::Choose(f.Combo1, 1);  // " Order By PVM"
    EXPECT_EQ(Gravado(Tabela(), "2", "PVM"), "PV-0");
    EXPECT_EQ(f.lblStatus.Caption(), "Record: 1");
    std::vector<std::string> ordem;
    for (int i = 0; i < 5; ++i) {
        ordem.push_back(f.txtFields(PVM).Text());
        user::Click(f.cmdNext);
    }
    EXPECT_EQ(ordem, (std::vector<std::string>{"PV-0", "PV-A", "PV-B", "PV-D", "PV-E"}));

    Redigita(PAVIM, std::string(25, 'p'));  // reach 1: wider than PAVIM
    user::Choose(f.Combo1, 2);
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "Atenção");
    EXPECT_EQ(f.Combo1.ListIndex(), 1);
    EXPECT_EQ(f.txtFields(PAVIM).Text(), std::string(25, 'p'));
    EXPECT_EQ(f.txtFields(PVM).Text(), "PV-E");

    Redigita(PAVIM, "Terra");
    user::Choose(f.Combo1, 2);  // " Order By PVJ"
    EXPECT_EQ(Gravado(Tabela(), "1", "PAVIM"), "Terra");
    EXPECT_EQ(f.txtFields(PVJ).Text(), "J1");
    EXPECT_EQ(f.lblStatus.Caption(), "Record: 1");
}

// From the import menu: the table chosen in the open dialog, the window
// shown beside the panel without waiting, or the reason nothing is shown.
class EditTableTest : public ImportTest {
protected:
    frmDBF* Aberto()
    {
        for (Form* f : forms::Forms())
            if (auto* e = dynamic_cast<frmDBF*>(f)) return e;
        return nullptr;
    }
};

TEST_F(EditTableTest, TheChosenTableOpensInAnEditorLeftOpenBesideThePanel)
{
    std::vector<RegistroDbf> regs = {Trecho("2", "B", 0, 0, "C", 1, 0), Trecho("1", "A", 0, 0, "B", 1, 0)};
    EscreveDbf(pasta / "rede.dbf", CamposCompletos(), regs);

    arquivos.push_back("");
    imp.EditTable();
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "Atenção");
    EXPECT_EQ(mensagens.Lista()[0].Texto, "Nenhum arquivo selecionado");
    EXPECT_EQ(Aberto(), nullptr);

    arquivos.push_back((pasta / "rede.dbf").string());
    imp.EditTable();
    EXPECT_EQ(dialogos.back().kind, os::DialogKind::Open);
    EXPECT_EQ(dialogos.back().defaultExt, "dbf");
    frmDBF* e = Aberto();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Caption(), pasta.Caminho().string() + "/rede.dbf");
    EXPECT_TRUE(e->Visible());
    EXPECT_FALSE(e->IsModal());
    EXPECT_EQ(e->txtFields(CLTAT).Text(), "1");
    user::Click(e->cmdNext);
    user::Choose(e->Combo1, 1);
    user::Click(e->cmdEnd);
    EXPECT_EQ(Aberto(), nullptr);

    // Opened again, the same window starts over in reach order.
    arquivos.push_back((pasta / "rede.dbf").string());
    imp.EditTable();
    ASSERT_EQ(Aberto(), e);
    EXPECT_EQ(e->Combo1.ListIndex(), 0);
    EXPECT_EQ(e->txtFields(CLTAT).Text(), "1");
    EXPECT_EQ(e->lblStatus.Caption(), "Record: 1");
    user::Click(e->cmdEnd);

    // Tables the editor cannot read (a missing one, one without its fields): named, and no window.
    mensagens.Limpa();
    EscreveDbf(pasta / "curta.dbf", {{"CLTAT", 'C', 10, 0}}, {{{"CLTAT", "1"}}});
    for (const char* t : {"nada.dbf", "curta.dbf"}) {
        arquivos.push_back((pasta / t).string());
        imp.EditTable();
        EXPECT_NE(mensagens.Lista().back().Texto.find(t), std::string::npos);
        EXPECT_EQ(Aberto(), nullptr);
    }
    EXPECT_EQ(mensagens.Lista().size(), 2u);
}

}  // namespace
