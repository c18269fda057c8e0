// The fittings table editor on a copy of the shipped catalogue in a temporary
// program folder: each kind of socket cell written and read back by a new
// load, the row found by the socket's own code and number, what it refuses,
// and the block preview's socket colours read from the picture.

#include <gtest/gtest.h>

#include <cmath>

#include "WaterTestSupport.h"
#include "app/Form1.h"
#include "cad/CadTestSupport.h"
#include "platform/ado/Ado.h"
#include "platform/forms/Testing.h"
#include "shell/frmMsgBox.h"
#include "shell/modGlobais.h"
#include "water/WATDes.h"
#include "water/frmTable.h"

using namespace watertest;
using namespace forms;

namespace {

class EditorTabela : public ::testing::Test {
protected:
    EditorTabela()
    {
        for (const auto& e : std::filesystem::directory_iterator(PastaDoPrograma()))
            if (e.path().filename() == "rereva2000r.mdb" || e.path().extension() == ".bmp")
                std::filesystem::copy_file(e.path(), pasta / e.path().filename().string());
        gMdbPath = banco.string();
        gBlocosPath = gImagensPath = pasta.Caminho().string();
    }
    ~EditorTabela() override
    {
        if (tabela.Loaded()) Unload(tabela);
        gMateriaisAgua.clear();
    }

    void Abre()
    {
        ASSERT_TRUE(clsWATDb().LoadDb());
        tabela.Show();
    }
    void Mostra(const std::string& Material, const std::string& Nome)
    {
        user::Choose(tabela.Combo1, Indice(tabela.Combo1, Material));
        user::Choose(tabela.Combo2, Indice(tabela.Combo2, Nome));
    }
    // A cell clicked, the choice `Texto` picked and "Update" pressed.
    void Grava(Label& Celula, const std::string& Texto)
    {
        user::Click(Celula);
        user::Choose(tabela.List4, Indice(tabela.List4, Texto));
        user::Click(tabela.UpgCmd);
    }
    template <class L>
    static int Indice(const L& Lista, const std::string& Texto)
    {
        for (int i = 0; i < Lista.ListCount(); ++i)
            if (Lista.List(i) == Texto) return i;
        ADD_FAILURE() << "sem " << Texto;
        return 0;
    }
    // A field of the socket's row as text ("Null", "True", "False").
    std::string Campo(const std::string& Codigo, const std::string& Numero, const std::string& Coluna)
    {
        ado::Connection cn;
        cn.Open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + banco.string() + ";");
        ado::Recordset rs;
        for (rs.Open("SELECT * FROM A_Bolsas", cn); !rs.Eof(); rs.MoveNext())
            if (rs.Fields("Codigo").Value().TextOr() == Codigo && rs.Fields("Numero").Value().TextOr() == Numero) {
                const ado::Value v = rs.Fields(Coluna).Value();
                return v.IsNull()                         ? "Null"
                       : v.Kind() == ado::ValueKind::Text ? v.ToText()
                       : v.ToBool()                       ? "True"
                                                          : "False";
            }
        return "sem linha";
    }
    static const ConexaoAguaRec& Conexao(const std::string& Material, const std::string& Codigo)
    {
        for (const MaterialAguaRec& m : gMateriaisAgua)
            for (const ConexaoAguaRec& k : m.Conexoes)
                if (m.Material == Material && k.Codigo == Codigo) return k;
        throw std::runtime_error("sem " + Codigo);
    }

    cadtest::PastaTemporaria pasta;
    std::filesystem::path banco = pasta / "rereva2000r.mdb";
    cadtest::Mensagens mensagens;
    frmTable tabela;
};

TEST_F(EditorTabela, EachCellKindIsWrittenAndReadBackByANewLoad)
{
    Abre();
    Mostra("PVC PBA", "Tê");
    EXPECT_EQ(tabela.lblCodigo.Caption(), "TEPBA");
    for (int k = 0; k < 4; ++k) EXPECT_EQ(tabela.Frame1(k).Visible(), k < 3) << k;
    user::Click(tabela.Label3(0));
    EXPECT_EQ(tabela.List4.ListCount(), 1 + static_cast<int>(gTubosCat.size()));
    Grava(tabela.Label3(0), "Tubo PVC PBA JE Classe 20");
    // No ring stores nothing, and the cell still says so.
    Grava(tabela.Label4(1), "Não usa");
    Grava(tabela.Label4(2), "ANDEF");
    Grava(tabela.Label5(1), "Bitola da Derivação");
    EXPECT_EQ(tabela.Label3(0).Caption(), "Tubo PVC PBA JE Classe 20");
    EXPECT_EQ(tabela.Label4(1).Caption(), "Não usa");
    EXPECT_EQ(tabela.Label5(1).Caption(), "Deriv");
    EXPECT_EQ(Campo("TEPBA", "2", "Anel"), "Null");
    EXPECT_EQ(Campo("TEPBA", "2", "Principal"), "False");
    EXPECT_EQ(Campo("TEDEF", "2", "Anel"), "ANDEF");
    EXPECT_TRUE(mensagens.Lista().empty());

    // The catalogue in memory changed alike, and a new load reads the same.
    for (int vez = 0; vez < 2; ++vez) {
        const ConexaoAguaRec& te = Conexao("PVC PBA", "TEPBA");
        EXPECT_EQ(te.Bolsas[0].Tubulacao, "Tubo PVC PBA JE Classe 20") << vez;
        EXPECT_EQ(te.Bolsas[1].Anel, "") << vez;
        EXPECT_FALSE(te.Bolsas[1].Principal) << vez;
        EXPECT_EQ(te.Bolsas[2].Anel, "ANDEF") << vez;
        if (vez == 0) {
            ASSERT_TRUE(clsWATDb().LoadDb());
        }
    }
    // The socket without a ring is no ringed socket.
    for (const ConexaoRec& c : gConexoes)
        if (c.Codigo == "TEPBA") {
            EXPECT_EQ(c.Bolsas.size(), 2u);
        }
}

TEST_F(EditorTabela, TheRowIsTheSocketsOwnFoundByTheExactCode)
{
    // A code that as a pattern matches "TEPBA", one with a quote, sockets
    // numbered 2 and 5, and a fitting without a block.
    ExecutaSql(banco,
               "INSERT INTO A_Conexoes VALUES ('TEPB%', 'Tê curinga', 'PVC PBA', 'A-TST', 0, '0200'),"
               " ('TE''Q', 'Tê aspas', 'PVC PBA', 'A-TE', 0, '0300'), ('SEMB', 'Sem bloco', 'PVC PBA', NULL, 0, NULL);"
               "INSERT INTO A_Diams VALUES ('TEPB%', '100', NULL), ('TE''Q', '100', NULL), ('SEMB', '100', NULL);"
               "INSERT INTO A_Bolsas VALUES ('TEPB%', '2', 1, 'ANPBA', 'x'), ('TEPB%', '5', 1, 'ANPBA', 'x'),"
               " ('TE''Q', '1', 1, 'ANPBA', 'x');"
               "INSERT INTO A_DXFs VALUES ('A-TST', 'Point', '-4,0', '4,3.141593', '2'),"
               " ('A-TST', 'Point', '4,0', '4,0', '5');");
    Abre();
    Mostra("PVC PBA", "Tê curinga");
    EXPECT_EQ(tabela.Label2(1).Caption(), "5");
    Grava(tabela.Label4(1), "Não usa");
    EXPECT_EQ(Campo("TEPB%", "5", "Anel"), "Null");
    EXPECT_EQ(Campo("TEPB%", "2", "Anel"), "ANPBA");
    for (const char* n : {"1", "2", "3"}) EXPECT_EQ(Campo("TEPBA", n, "Anel"), "ANPBA") << n;
    Mostra("PVC PBA", "Tê aspas");
    Grava(tabela.Label3(0), "Tubo PEAD PE100 PN16");
    EXPECT_EQ(Campo("TE'Q", "1", "Tubulacao"), "Tubo PEAD PE100 PN16");
    EXPECT_TRUE(mensagens.Lista().empty());

    // A row gone since the catalogue was read: said, and nothing changes.
    Mostra("PVC PBA", "Tê curinga");
    ExecutaSql(banco, "DELETE FROM A_Bolsas WHERE Codigo = 'TEPB%' AND Numero = '2';");
    Grava(tabela.Label5(0), "Bitola da Derivação");
    ASSERT_EQ(mensagens.Textos(), std::vector<std::string>{
                                      "A bolsa 2 da conexão TEPB% não está na tabela A_Bolsas.\n\nNada foi alterado."});
    EXPECT_EQ(tabela.Label5(0).Caption(), "Prim");
    EXPECT_TRUE(Conexao("PVC PBA", "TEPB%").Bolsas[0].Principal);

    // Without a block: an empty preview and block label, no branch list.
    Mostra("PVC PBA", "Sem bloco");
    EXPECT_EQ(tabela.lblBloco.Caption(), "");
    EXPECT_FALSE(tabela.List2.Visible());
    EXPECT_EQ(tabela.Picture2.Image().Pixel(10, 10), 0xFFFFFF);
}

TEST_F(EditorTabela, HeadingsPendingChoicesAndFailedWritesChangeNothing)
{
    Abre();
    Mostra("Ferro Fundido", "Cruzeta");
    for (Label* h : {&tabela.Label3(4), &tabela.Label4(4), &tabela.Label5(4)}) {
        user::Click(*h);
        EXPECT_FALSE(tabela.List4.Visible());
    }
    // A diameter clicked, or another fitting chosen, with a choice pending: not written.
    user::Click(tabela.Label4(0));
    user::Choose(tabela.List4, 0);
    user::Choose(tabela.List1, 1);
    EXPECT_FALSE(tabela.UpgCmd.Enabled());
    EXPECT_EQ(tabela.Label4(0).BackColor(), 0xC0FFC0);
    user::Choose(tabela.List4, 0);
    user::Scroll(tabela.VScroll1, 1);
    EXPECT_EQ(tabela.Combo2.ListIndex(), tabela.VScroll1.Value());
    EXPECT_EQ(tabela.lblCodigo.Caption(), "C90FF");
    EXPECT_FALSE(tabela.UpgCmd.Enabled());

    // A write the database refuses: said, and the catalogue and the cell as they were.
    ExecutaSql(banco, "CREATE TRIGGER recusa BEFORE UPDATE ON A_Bolsas BEGIN SELECT RAISE(ABORT, 'recusada'); END;");
    Mostra("Ferro Fundido", "Cruzeta");
    Grava(tabela.Label4(3), "Não usa");
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Texto.rfind("Não foi possível gravar a bolsa 4 da conexão CZFF", 0), 0u);
    EXPECT_EQ(tabela.Label4(3).Caption(), "ANJGS");
    EXPECT_EQ(Conexao("Ferro Fundido", "CZFF").Bolsas[3].Anel, "ANJGS");
    EXPECT_EQ(Campo("CZFF", "4", "Anel"), "ANJGS");
}

TEST_F(EditorTabela, OpenedWithoutACatalogueItLoadsItOrSaysWhyAndCloses)
{
    tabela.Show();
    EXPECT_GT(tabela.Combo1.ListCount(), 0);
    EXPECT_EQ(tabela.Combo1.ListCount(), static_cast<int>(gMateriaisAgua.size()));
    Unload(tabela);
    gMateriaisAgua.clear();
    gMdbPath = (pasta / "falta.mdb").string();
    tabela.Show();
    EXPECT_FALSE(tabela.Loaded());
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Texto.rfind("Não foi possível carregar o catálogo de água", 0), 0u);
}

TEST_F(EditorTabela, TheMainWindowGoesOnWhenTheReloadAfterTheEditorFails)
{
    forms::SetResourcePictureFolder((PastaDoPrograma() / "pictures").string());
    DefinePastaPrograma(pasta.Caminho().string());
    std::vector<std::string> vistos;
    ScopedTestDriver driver([&](Form& f) {
        vistos.push_back(f.Name());
        if (auto* box = dynamic_cast<frmMsgBox*>(&f)) user::Click(box->CmdOK);
        if (auto* t = dynamic_cast<frmTable*>(&f)) {
            // The catalogue goes away while the editor is open.
            std::filesystem::rename(banco, pasta / "outro.mdb");
            user::Click(t->Command1);
        }
    });
    {
        Form1 f;
        f.Show();
        user::ChooseTab(f.SSIniciar, 2);
        const std::size_t materiais = gMateriaisAgua.size();
        user::MouseMove(f.AGUOption1(1), 0, vbShiftMask, 60, 60);
        user::Click(f.TableCmd);
        EXPECT_EQ(vistos, (std::vector<std::string>{"frmTable", "frmMsgBox"}));
        EXPECT_EQ(gMateriaisAgua.size(), materiais);
        EXPECT_EQ(f.WindowState(), vbNormal);
        EXPECT_EQ(f.TableCmd.Left(), 3500);
        forms::Unload(f);
    }
    gMainForm = nullptr;
    DefinePastaPrograma("");
}

TEST_F(EditorTabela, ThePreviewColoursTheSocketsInTheirOrder)
{
    Abre();
    Mostra("Ferro Fundido", "Cruzeta");
    PictureBox& pic = tabela.Picture2;
    const double cx = std::round(pic.ScaleWidth() / 2), cy = std::round(pic.ScaleHeight() / 2);
    const double u = pic.ScaleWidth() / 18;
    auto cor = [&](double x, double y) {
        return pic.Image().Pixel(static_cast<int>(std::lround(std::round(cx + x * u) / 15)),
                                 static_cast<int>(std::lround(std::round(cy - y * u) / 15)));
    };
    // "A-CRUZETA": sockets 1 to 4 left, right, top, bottom; black lines between.
    EXPECT_EQ(cor(-4, 0), 0x0000FF);
    EXPECT_EQ(cor(4, 0), 0x00FFFF);
    EXPECT_EQ(cor(0, 4), 0x00FF00);
    EXPECT_EQ(cor(0, -4), 0xFF0000);
    EXPECT_EQ(cor(-2, 0), 0x000000);
    EXPECT_EQ(DesenhaBlocoPic(pic, "A-TE"), 3);
    EXPECT_EQ(cor(0, 4), 0x00FF00);
    EXPECT_NE(cor(0, -4), 0xFF0000);
    // The cap's arc turns counter-clockwise from 270° to 90°: its dome faces right.
    EXPECT_EQ(DesenhaBlocoPic(pic, "A-CAP"), 1);
    EXPECT_EQ(cor(0.85, 0.85), 0x000000);
    EXPECT_EQ(cor(-0.85, 0.85), 0xFFFFFF);
    EXPECT_EQ(DesenhaBlocoPic(pic, "A-NENHUM"), 0);
    EXPECT_EQ(cor(-4, 3), 0xFFFFFF);
}

}  // namespace
