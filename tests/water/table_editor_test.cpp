// The fittings table editor on a copy of the shipped catalogue in a temporary
// program folder: each kind of socket cell written and read back by a new
// load, the row found by the socket's own code and number, what it refuses,
// and the block preview's socket colours read from the picture.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "WaterTestSupport.h"
#include "cad/CadTestSupport.h"
#include "platform/ado/Ado.h"
#include "platform/forms/Testing.h"
#include "shell/Form1.h"
#include "shell/frmMsgBox.h"
#include "shell/modGlobais.h"
#include "water/WATDes.h"
#include "water/clsWATDb.h"
#include "water/frmTable.h"

using namespace watertest;
using namespace forms;

namespace {

constexpr long kVerdeClaro = 0xC0FFC0;

class EditorTabela : public ::testing::Test {
protected:
    EditorTabela()
    {
        // The catalogue and its pictures copied: the editor writes into it.
        for (const auto& e : std::filesystem::directory_iterator(PastaDoPrograma())) {
            const std::string ext = e.path().extension().string();
            if (e.path().filename() == "rereva2000r.mdb" || ext == ".bmp")
                std::filesystem::copy_file(e.path(), pasta / e.path().filename().string());
        }
        banco = pasta / "rereva2000r.mdb";
        gMdbPath = banco.string();
        gBlocosPath = gImagensPath = pasta.Caminho().string();
    }
    ~EditorTabela() override
    {
        if (tabela.Loaded()) Unload(tabela);
        gMateriaisAgua.clear();
        gBlocosAgua.clear();
        gConexoes.clear();
        gDiametros.clear();
        gAneis.clear();
        gTubosCat.clear();
    }

    void Abre()
    {
        ASSERT_TRUE(clsWATDb().LoadDb());
        tabela.Show();
    }

    // The fitting `Nome` of `Material` shown, as a person picks them.
    void Mostra(const std::string& Material, const std::string& Nome)
    {
        user::Choose(tabela.Combo1, Indice(tabela.Combo1, Material));
        user::Choose(tabela.Combo2, Indice(tabela.Combo2, Nome));
    }

    // A cell clicked, the choice `Texto` picked and "Update" pressed.
    void Grava(Label& Celula, const std::string& Texto)
    {
        user::Click(Celula);
        EXPECT_FALSE(tabela.UpgCmd.Enabled());
        user::Choose(tabela.List4, Indice(tabela.List4, Texto));
        EXPECT_TRUE(tabela.UpgCmd.Enabled());
        user::Click(tabela.UpgCmd);
        EXPECT_FALSE(tabela.UpgCmd.Enabled());
    }

    template <class L>
    static int Indice(const L& Lista, const std::string& Texto)
    {
        for (int i = 0; i < Lista.ListCount(); ++i)
            if (Lista.List(i) == Texto) return i;
        ADD_FAILURE() << "sem " << Texto;
        return 0;
    }

    // A field of the socket's row; "Null" for a null, "sem linha" without a row.
    std::string Campo(const std::string& Codigo, const std::string& Numero, const std::string& Coluna)
    {
        ado::Connection cn;
        cn.Open("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + banco.string() + ";");
        ado::Recordset rs;
        rs.Open("SELECT * FROM A_Bolsas", cn);
        for (; !rs.Eof(); rs.MoveNext())
            if (rs.Fields("Codigo").Value().TextOr() == Codigo && rs.Fields("Numero").Value().TextOr() == Numero) {
                const ado::Value v = rs.Fields(Coluna).Value();
                return v.IsNull() ? "Null" : v.Kind() == ado::ValueKind::Text ? v.ToText() : (v.ToBool() ? "True" : "False");
            }
        return "sem linha";
    }

    static const ConexaoAguaRec& Conexao(const std::string& Material, const std::string& Codigo)
    {
        for (const MaterialAguaRec& m : gMateriaisAgua)
            if (m.Material == Material)
                for (const ConexaoAguaRec& k : m.Conexoes)
                    if (k.Codigo == Codigo) return k;
        static const ConexaoAguaRec nenhuma;
        ADD_FAILURE() << "sem " << Codigo;
        return nenhuma;
    }

    cadtest::PastaTemporaria pasta;
    std::filesystem::path banco;
    cadtest::Mensagens mensagens;
    frmTable tabela;
};

TEST_F(EditorTabela, EachCellKindIsWrittenAndReadBackByANewLoad)
{
    Abre();
    Mostra("PVC PBA", "Tê");
    EXPECT_EQ(tabela.lblCodigo.Caption(), "TEPBA");
    EXPECT_EQ(tabela.lblBloco.Caption(), "A-TE");
    EXPECT_TRUE(tabela.List2.Visible());
    for (int k = 0; k < 4; ++k) EXPECT_EQ(tabela.Frame1(k).Visible(), k < 3) << k;
    EXPECT_EQ(tabela.Label3(0).Caption(), "Tubo PVC PBA JE Classe 15");
    EXPECT_EQ(tabela.Label4(1).Caption(), "ANPBA");
    EXPECT_EQ(tabela.Label5(2).Caption(), "Deriv");
    EXPECT_TRUE(tabela.List3.Visible());

    // The pipe: its list begins with "Indefinido", then the catalogue's pipes.
    user::Click(tabela.Label3(0));
    EXPECT_FALSE(tabela.List3.Visible());
    EXPECT_EQ(tabela.List4.List(0), "Indefinido");
    EXPECT_EQ(tabela.List4.ListCount(), 1 + static_cast<int>(gTubosCat.size()));
    EXPECT_EQ(tabela.Label3(0).BackColor(), vbWindowBackground);
    Grava(tabela.Label3(0), "Tubo PVC PBA JE Classe 20");
    EXPECT_EQ(tabela.Label3(0).Caption(), "Tubo PVC PBA JE Classe 20");

    // No ring: nothing stored, the cell still says so; another ring stored as chosen.
    Grava(tabela.Label4(1), "Não usa");
    EXPECT_EQ(tabela.Label4(1).Caption(), "Não usa");
    EXPECT_EQ(tabela.Label3(0).BackColor(), kVerdeClaro);
    Grava(tabela.Label4(2), "ANDEF");

    // The gauge of socket 2 becomes the branch's, then socket 3's the primary.
    Grava(tabela.Label5(1), "Bitola da Derivação");
    EXPECT_EQ(tabela.Label5(1).Caption(), "Deriv");
    Grava(tabela.Label5(2), "Bitola Primária");
    EXPECT_EQ(tabela.Label5(2).Caption(), "Prim");

    EXPECT_EQ(Campo("TEPBA", "1", "Tubulacao"), "Tubo PVC PBA JE Classe 20");
    EXPECT_EQ(Campo("TEPBA", "2", "Anel"), "Null");
    EXPECT_EQ(Campo("TEPBA", "3", "Anel"), "ANDEF");
    EXPECT_EQ(Campo("TEPBA", "2", "Principal"), "False");
    EXPECT_EQ(Campo("TEPBA", "3", "Principal"), "True");
    // The same block's other fittings keep their rows.
    EXPECT_EQ(Campo("TEDEF", "2", "Anel"), "ANDEF");
    EXPECT_EQ(Campo("TEPBA", "1", "Anel"), "ANPBA");
    EXPECT_TRUE(mensagens.Lista().empty());

    // The catalogue in memory changed alike, and a new load reads the same.
    for (int vez = 0; vez < 2; ++vez) {
        const ConexaoAguaRec& te = Conexao("PVC PBA", "TEPBA");
        ASSERT_EQ(te.Bolsas.size(), 3u);
        EXPECT_EQ(te.Bolsas[0].Tubulacao, "Tubo PVC PBA JE Classe 20") << vez;
        EXPECT_EQ(te.Bolsas[1].Anel, "") << vez;
        EXPECT_FALSE(te.Bolsas[1].Principal) << vez;
        EXPECT_EQ(te.Bolsas[2].Anel, "ANDEF") << vez;
        EXPECT_TRUE(te.Bolsas[2].Principal) << vez;
        EXPECT_EQ(Conexao("PVC DEFoFo", "TEDEF").Bolsas[1].Anel, "ANDEF") << vez;
        if (vez == 0) {
            ASSERT_TRUE(clsWATDb().LoadDb());
        }
    }
    // A socket without a ring is no ringed socket: two rings remain.
    for (const ConexaoRec& c : gConexoes)
        if (c.Codigo == "TEPBA") {
            ASSERT_EQ(c.Bolsas.size(), 2u);
            EXPECT_EQ(c.Bolsas[0].Anel, "ANPBA");
            EXPECT_EQ(c.Bolsas[1].Anel, "ANDEF");
        }

    // Shown again, the fitting shows what was written.
    Unload(tabela);
    tabela.Show();
    Mostra("PVC PBA", "Tê");
    EXPECT_EQ(tabela.Label4(1).Caption(), "Não usa");
    EXPECT_EQ(tabela.Label5(1).Caption(), "Deriv");
}

TEST_F(EditorTabela, TheRowIsTheSocketsOwnFoundByTheExactCode)
{
    // A code with a wildcard beside the one it would match as a pattern, a
    // code with a quote, sockets numbered 2 and 5, and a fitting without a block.
    ExecutaSql(banco,
               "INSERT INTO A_Conexoes VALUES ('TEPB%', 'Tê curinga', 'PVC PBA', 'A-TST', 0, '0200'),"
               " ('TE''Q', 'Tê aspas', 'PVC PBA', 'A-TE', 0, '0300'), ('SEMB', 'Sem bloco', 'PVC PBA', NULL, 0, NULL);"
               "INSERT INTO A_Diams VALUES ('TEPB%', '100', NULL), ('TE''Q', '100', NULL), ('SEMB', '100', NULL);"
               "INSERT INTO A_Bolsas VALUES ('TEPB%', '2', 1, 'ANPBA', 'Tubo PVC PBA JE Classe 15'),"
               " ('TEPB%', '5', 1, 'ANPBA', 'Tubo PVC PBA JE Classe 15'),"
               " ('TE''Q', '1', 1, 'ANPBA', 'Tubo PVC PBA JE Classe 15');"
               "INSERT INTO A_DXFs VALUES ('A-TST', 'Line', '-4,0', '4,0', NULL),"
               " ('A-TST', 'Point', '-4,0', '4,3.141593', '2'), ('A-TST', 'Point', '4,0', '4,0', '5');");
    Abre();

    Mostra("PVC PBA", "Tê curinga");
    EXPECT_EQ(tabela.Label2(1).Caption(), "5");
    Grava(tabela.Label4(1), "Não usa");
    EXPECT_EQ(Campo("TEPB%", "5", "Anel"), "Null");
    EXPECT_EQ(Campo("TEPB%", "2", "Anel"), "ANPBA");
    for (const char* n : {"1", "2", "3"}) EXPECT_EQ(Campo("TEPBA", n, "Anel"), "ANPBA") << n;

    Mostra("PVC PBA", "Tê aspas");
    EXPECT_EQ(tabela.lblCodigo.Caption(), "TE'Q");
    Grava(tabela.Label3(0), "Tubo PEAD PE100 PN16");
    EXPECT_EQ(Campo("TE'Q", "1", "Tubulacao"), "Tubo PEAD PE100 PN16");
    EXPECT_TRUE(mensagens.Lista().empty());

    // A row gone since the catalogue was read: said, and nothing changes.
    Mostra("PVC PBA", "Tê curinga");
    ExecutaSql(banco, "DELETE FROM A_Bolsas WHERE Codigo = 'TEPB%' AND Numero = '2';");
    Grava(tabela.Label5(0), "Bitola da Derivação");
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Texto, "A bolsa 2 da conexão TEPB% não está na tabela A_Bolsas.\n\nNada foi alterado.");
    EXPECT_EQ(tabela.Label5(0).Caption(), "Prim");
    EXPECT_TRUE(Conexao("PVC PBA", "TEPB%").Bolsas[0].Principal);
    EXPECT_EQ(Campo("TEPB%", "5", "Principal"), "True");

    // Without a block: an empty preview and an empty block label.
    Mostra("PVC PBA", "Sem bloco");
    EXPECT_EQ(tabela.lblBloco.Caption(), "");
    EXPECT_FALSE(tabela.List2.Visible());
    EXPECT_FALSE(tabela.Label1(3).Visible());
    for (int k = 0; k < 4; ++k) EXPECT_FALSE(tabela.Frame1(k).Visible());
    const Picture p = tabela.Picture2.Image();
    EXPECT_EQ(p.Pixel(10, 10), 0xFFFFFF);
}

TEST_F(EditorTabela, HeadingsPendingChoicesAndFailedWritesChangeNothing)
{
    Abre();
    Mostra("Ferro Fundido", "Cruzeta");
    // Four sockets, four rows.
    for (int k = 0; k < 4; ++k) EXPECT_TRUE(tabela.Frame1(k).Visible()) << k;

    // The headings start no edit.
    for (Label* h : {&tabela.Label3(4), &tabela.Label4(4), &tabela.Label5(4)}) {
        user::Click(*h);
        EXPECT_TRUE(tabela.List3.Visible());
        EXPECT_FALSE(tabela.List4.Visible());
        EXPECT_NE(h->BackColor(), vbWindowBackground);
    }

    // A diameter clicked with a choice pending: not written, the cell back to green.
    user::Click(tabela.Label4(0));
    user::Choose(tabela.List4, Indice(tabela.List4, "Não usa"));
    EXPECT_TRUE(tabela.UpgCmd.Enabled());
    user::Choose(tabela.List1, 1);
    EXPECT_FALSE(tabela.UpgCmd.Enabled());
    EXPECT_EQ(tabela.Label4(0).BackColor(), kVerdeClaro);
    EXPECT_EQ(Campo("CZFF", "1", "Anel"), "ANJGS");

    // The scroll bar and the list of fittings walk together; a pending choice
    // does not follow to the next fitting.
    user::Click(tabela.Label4(0));
    user::Choose(tabela.List4, 0);
    user::Scroll(tabela.VScroll1, 1);
    EXPECT_EQ(tabela.Combo2.ListIndex(), tabela.VScroll1.Value());
    EXPECT_EQ(tabela.Combo2.Text(), tabela.Combo2.List(tabela.VScroll1.Value()));
    EXPECT_FALSE(tabela.UpgCmd.Enabled());
    EXPECT_EQ(tabela.List4.ListCount(), 0);
    user::Choose(tabela.Combo2, 1);
    EXPECT_EQ(tabela.VScroll1.Value(), 1);
    EXPECT_EQ(tabela.VScroll1.Max(), tabela.Combo2.ListCount() - 1);

    // A write the database refuses: said, and the catalogue and the cell as they were.
    ExecutaSql(banco, "CREATE TRIGGER recusa BEFORE UPDATE ON A_Bolsas BEGIN SELECT RAISE(ABORT, 'somente leitura'); END;");
    Mostra("Ferro Fundido", "Cruzeta");
    Grava(tabela.Label4(3), "Não usa");
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_NE(mensagens.Lista()[0].Texto.find("Não foi possível gravar a bolsa 4 da conexão CZFF"), std::string::npos);
    EXPECT_NE(mensagens.Lista()[0].Texto.find("Nada foi alterado."), std::string::npos);
    EXPECT_EQ(tabela.Label4(3).Caption(), "ANJGS");
    EXPECT_EQ(Conexao("Ferro Fundido", "CZFF").Bolsas[3].Anel, "ANJGS");
    EXPECT_EQ(Campo("CZFF", "4", "Anel"), "ANJGS");
}

TEST_F(EditorTabela, OpenedWithoutACatalogueItLoadsItOrSaysWhyAndCloses)
{
    ASSERT_TRUE(gMateriaisAgua.empty());
    tabela.Show();
    EXPECT_TRUE(tabela.Loaded());
    EXPECT_EQ(tabela.Combo1.ListCount(), static_cast<int>(gMateriaisAgua.size()));
    EXPECT_GT(tabela.Combo1.ListCount(), 0);
    EXPECT_EQ(tabela.List3.ListCount(), static_cast<int>(gDiametros.size()));
    Unload(tabela);
    gMateriaisAgua.clear();

    gMdbPath = (pasta / "falta.mdb").string();
    tabela.Show();
    EXPECT_FALSE(tabela.Loaded());
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_NE(mensagens.Lista()[0].Texto.find("Não foi possível carregar o catálogo de água"), std::string::npos);
    EXPECT_TRUE(gMateriaisAgua.empty());
}

TEST_F(EditorTabela, TheMainWindowGoesOnWhenTheReloadAfterTheEditorFails)
{
    // The program folder holds the catalogue: the main window takes it.
    forms::SetResourcePictureFolder((PastaDoPrograma() / "pictures").string());
    DefinePastaPrograma(pasta.Caminho().string());
    std::vector<std::string> vistos;
    std::vector<std::string> textos;
    ScopedTestDriver driver([&](Form& f) {
        vistos.push_back(f.Name());
        if (auto* box = dynamic_cast<frmMsgBox*>(&f)) {
            textos.push_back(box->Mensagem.Caption());
            user::Click(box->CmdOK);
        } else if (auto* t = dynamic_cast<frmTable*>(&f)) {
            // The catalogue goes away while the editor is open.
            EXPECT_GT(t->Combo1.ListCount(), 0);
            std::filesystem::rename(banco, pasta / "outro.mdb");
            user::Click(t->Command1);
        }
    });
    {
        Form1 f;
        f.Show();
        user::ChooseTab(f.SSIniciar, 2);
        const std::size_t materiais = gMateriaisAgua.size();
        ASSERT_GT(materiais, 0u);
        user::MouseMove(f.AGUOption1(1), 0, vbShiftMask, 60, 60);
        user::Click(f.TableCmd);
        EXPECT_EQ(vistos, (std::vector<std::string>{"frmTable", "frmMsgBox"}));
        ASSERT_EQ(textos.size(), 1u);
        EXPECT_NE(textos[0].find("Não foi possível carregar o catálogo de água"), std::string::npos);
        // The catalogue read before stays, and the window goes on.
        EXPECT_EQ(gMateriaisAgua.size(), materiais);
        EXPECT_EQ(f.WindowState(), vbNormal);
        EXPECT_EQ(f.TableCmd.Left(), 3500);
        user::ChooseTab(f.SSIniciar, 0);
        EXPECT_EQ(f.SSIniciar.Tab(), 0);
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
    const Picture imagem = pic.Image();
    const double cx = std::round(pic.ScaleWidth() / 2), cy = std::round(pic.ScaleHeight() / 2);
    const double u = pic.ScaleWidth() / 18;
    auto cor = [&](const Picture& im, double x, double y) {
        return im.Pixel(static_cast<int>(std::lround(std::round(cx + x * u) / 15)),
                        static_cast<int>(std::lround(std::round(cy - y * u) / 15)));
    };
    // Sockets 1 to 4 of "A-CRUZETA": left, right, top, bottom.
    EXPECT_EQ(cor(imagem, -4, 0), 0x0000FF);
    EXPECT_EQ(cor(imagem, 4, 0), 0x00FFFF);
    EXPECT_EQ(cor(imagem, 0, 4), 0x00FF00);
    EXPECT_EQ(cor(imagem, 0, -4), 0xFF0000);
    // The fitting's lines in black between them.
    EXPECT_EQ(cor(imagem, -2, 0), 0x000000);

    // Three sockets: red, yellow and green, in their rows' order.
    EXPECT_EQ(DesenhaBlocoPic(pic, "A-TE"), 3);
    const Picture te = pic.Image();
    EXPECT_EQ(cor(te, -4, 0), 0x0000FF);
    EXPECT_EQ(cor(te, 4, 0), 0x00FFFF);
    EXPECT_EQ(cor(te, 0, 4), 0x00FF00);
    EXPECT_NE(cor(te, 0, -4), 0xFF0000);

    // The cap's arc turns counter-clockwise from 270° to 90°: its dome faces right.
    EXPECT_EQ(DesenhaBlocoPic(pic, "A-CAP"), 1);
    const double r = 1.2 / std::sqrt(2.0);
    EXPECT_EQ(cor(pic.Image(), r, r), 0x000000);
    EXPECT_EQ(cor(pic.Image(), -r, r), 0xFFFFFF);

    // A block the catalogue does not have: the axes alone.
    EXPECT_EQ(DesenhaBlocoPic(pic, "A-NENHUM"), 0);
    EXPECT_NE(cor(pic.Image(), -4, 0), 0x0000FF);
    EXPECT_NE(cor(pic.Image(), -4, 0), 0x000000);
    EXPECT_EQ(cor(pic.Image(), -4, 3), 0xFFFFFF);
}

}  // namespace
