// The final workbook of an open design table, written into a real copy of
// the shipped template "dadosfinais.xls": the rows from the eleventh on, the
// rows above kept, the contributing reaches, the formats, Null fields, an
// existing workbook replaced, the file handed to its program once written,
// and the rows that could not be written named.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ImportTestSupport.h"
#include "ProjetoTestSupport.h"
#include "platform/ado/Ado.h"
#include "platform/os/ShellOpen.h"
#include "shell/modGlobais.h"

using namespace sewertest;

namespace {

// Row r (from 1) of sheet Plan1, column c (from 1), as the sheet driver reads it.
using Planilha = std::vector<std::vector<std::string>>;

Planilha LePlanilha(const std::filesystem::path& Arquivo)
{
    ado::DataControl d;
    d.SetConnect("Excel 8.0;");
    d.SetDatabaseName(Arquivo.string());
    d.SetRecordSource("Plan1$");
    d.Refresh();
    ado::Recordset rs = d.Recordset();
    Planilha p(2);  // row 1 names the columns: rows are numbered as the sheet shows them
    for (; !rs.Eof(); rs.MoveNext()) {
        std::vector<std::string> linha(1);
        for (int c = 0; c < rs.Fields().Count(); ++c) linha.push_back(rs.Fields(c).Value().TextOr(""));
        p.push_back(linha);
    }
    return p;
}

class PlanilhaTest : public ImportTest {
protected:
    PlanilhaTest()
    {
        DefinePastaPrograma(PastaCatalogo().string());
        lancamento_ = os::SetLaunchHook([this](const os::LaunchRequest& r) {
            std::string tudo = r.program;
            for (const auto& a : r.arguments) tudo += " " + a;
            abertos.push_back(tudo);
            // What the program finds in the file when it opens it.
            if (std::filesystem::exists(Saida())) na_abertura = LePlanilha(Saida());
            return true;
        });
        escolha_ = os::SetDialogDriver([this](const os::DialogRequest& r) {
            if (r.kind == os::DialogKind::ChooseProgram) {
                os::DialogAnswer a = os::DialogAnswer::Yes();
                a.command = "planilha";
                return a;
            }
            return escolha_(r);
        });
    }
    ~PlanilhaTest() override
    {
        os::SetDialogDriver(std::move(escolha_));
        os::SetLaunchHook(std::move(lancamento_));
        DefinePastaPrograma("");
    }
    std::filesystem::path Saida() const { return pasta / "final.xls"; }

    // Opens `rede.dbf` with every field, CLTAT a number.
    void Abre(const std::vector<RegistroDbf>& Registros, const std::vector<CampoDbf>& Campos = CamposCompletos(true))
    {
        EscreveDbf(pasta / "rede.dbf", Campos, Registros);
        arquivos.push_back((pasta / "rede.dbf").string());
        imp.OpenTable();
        ASSERT_NE(imp.Tabela(), nullptr);
    }
    void Salva()
    {
        arquivos.push_back(Saida().string());
        imp.SaveXLS();
    }

    ado::DataControl dados;
    std::vector<std::string> abertos;
    Planilha na_abertura;

private:
    os::LaunchHook lancamento_;
    os::DialogDriver escolha_;
};

RegistroDbf Reach(const std::string& Cltat, const std::string& Pvm, const std::string& Cltan, const std::string& Cltlx,
                  const std::string& Cltly)
{
    RegistroDbf r = Trecho(Cltat, Pvm, 0, 0, Pvm + "J", 10, 0);
    r["CLTAN"] = Cltan;
    r["CLTLX"] = Cltlx;
    r["CLTLY"] = Cltly;
    return r;
}

TEST_F(PlanilhaTest, RowsFromTheEleventhWithTheirFormatsAndContributingReachesAndTheRowsAboveKept)
{
    imp.cData = &dados;
    RegistroDbf r1 = Reach("1", "A", "-0-", "-0-", "-0-");
    r1["TIRF"] = "0.6234";
    r1["QRI"] = "1.23456";
    r1["QCF"] = "2.5";
    r1["CCM"] = "";  // Null: written as 0
    RegistroDbf r2 = Reach("2", "B", "1", "3", "-0-");
    r2["OBS"] = "x";
    r2["QCI"] = "1.2";
    r2["DIAM"] = "0.200";
    RegistroDbf r3 = Reach("3", "C", "-0-", "9", "1");  // reach 9 is not in the table
    r3["CTJ"] = "";                                     // Null: written as empty text
    r3["OBS"] = "  ";
    Abre({r3, r1, r2});  // stored out of order
    Salva();

    ASSERT_TRUE(std::filesystem::exists(Saida()));
    const Planilha p = LePlanilha(Saida());
    const Planilha modelo = LePlanilha(PastaCatalogo() / "dadosfinais.xls");
    ASSERT_EQ(p.size(), 14u);  // the header, nine records kept, three reaches
    for (int linha = 1; linha <= 10; ++linha) EXPECT_EQ(p[linha], modelo[linha]) << "linha " << linha;
    for (int linha = 11; linha <= 13; ++linha) EXPECT_EQ(p[linha][1], "") << "the first column is not written";

    const std::vector<std::string> l11 = {"",       "",         "1",       " A",      " AJ",   "50.00",  " ",
                                          "1.2346", "0.0000",   "101.000", "100.800", "0.000", "99.200", "1.500",
                                          "1.600",  "0.006000", "150",     "62",      "",      "",       "/2.50"};
    EXPECT_EQ(p[11], l11);
    EXPECT_EQ(p[12][2], "2");
    EXPECT_EQ(p[12][6], " A ; C");
    EXPECT_EQ(p[12][16], "200");
    EXPECT_EQ(p[12][20], "x/1.20");
    EXPECT_EQ(p[13][2], "3");
    EXPECT_EQ(p[13][6], "  ; A");  // no CLTAN, the lateral 9 unknown, the lateral 1 found
    EXPECT_EQ(p[13][10], "");
    EXPECT_EQ(p[13][20], "");

    // Handed to its program once, with the rows already in it.
    ASSERT_EQ(abertos.size(), 1u);
    EXPECT_NE(abertos[0].find(Saida().string()), std::string::npos);
    ASSERT_EQ(na_abertura.size(), 14u);
    EXPECT_EQ(na_abertura[13][2], "3");
    EXPECT_TRUE(dados.DatabaseName().empty());  // the sheet let go
    EXPECT_TRUE(mensagens.Lista().empty());
    EXPECT_EQ(dialogos.back().flags, 2);  // asks before replacing a workbook
}

TEST_F(PlanilhaTest, AnExistingWorkbookIsReplacedByAFreshCopyAndNothingIsWrittenWithoutAFile)
{
    imp.cData = &dados;
    Abre(
        {Reach("1", "A", "-0-", "-0-", "-0-"), Reach("2", "B", "1", "-0-", "-0-"), Reach("3", "C", "2", "-0-", "-0-")});
    Salva();
    ASSERT_EQ(LePlanilha(Saida()).size(), 14u);

    // The same workbook again from a table of one reach: no row of the first run stays.
    Abre({Reach("7", "Z", "-0-", "-0-", "-0-")});
    Salva();
    const Planilha p = LePlanilha(Saida());
    ASSERT_EQ(p.size(), 12u);
    EXPECT_EQ(p[11][2], "7");

    // No file chosen: told, nothing written.
    std::filesystem::remove(Saida());
    arquivos.push_back("");
    imp.SaveXLS();
    EXPECT_FALSE(std::filesystem::exists(Saida()));
    ASSERT_FALSE(mensagens.Lista().empty());
    EXPECT_EQ(mensagens.Lista().back().Titulo, "Atenção");
    EXPECT_EQ(mensagens.Lista().back().Texto, "Nenhum arquivo selecionado");

    // The open table is no file for the workbook: refused, naming it, and asked
    // again; reached through a link to its folder, it is the same file.
    const std::string tabela = (pasta / "rede.dbf").string();
    std::filesystem::create_directory_symlink(pasta.Caminho(), pasta / "atalho");
    const std::string pelaLigacao = (pasta / "atalho" / "rede.dbf").string();
    const std::string bytes = Conteudo(tabela);
    mensagens.Limpa();
    arquivos.push_back(tabela);
    arquivos.push_back(pelaLigacao);
    arquivos.push_back("");
    imp.SaveXLS();
    // Reached otherwise, the table is named as it was opened.
    const auto recusa = [&](const std::string& Nome) {
        return "O arquivo " + Nome + " é a tabela aberta" + (Nome == tabela ? "" : " " + tabela) +
               " e não pode ser substituído pela planilha.\n\nEscolha outro arquivo.";
    };
    EXPECT_EQ(mensagens.Textos(), (std::vector<std::string>{"rede.dbf já existe.\nDeseja substituí-lo?", recusa(tabela),
                                                            "rede.dbf já existe.\nDeseja substituí-lo?",
                                                            recusa(pelaLigacao), "Nenhum arquivo selecionado"}));
    EXPECT_TRUE(Conteudo(tabela) == bytes) << "the table was changed";

    // A workbook the user may not write: the reason beneath the copy's message, and it stays.
    {
        std::ofstream(Saida(), std::ios::binary) << "antiga";
    }
    std::filesystem::permissions(Saida(), std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    mensagens.Limpa();
    Salva();
    EXPECT_EQ(mensagens.Textos(),
              (std::vector<std::string>{"final.xls já existe.\nDeseja substituí-lo?",
                                        "Erro. Arquivo não copiado!\n\nNão foi possível copiar para '" +
                                            Saida().string() + "': O arquivo é somente leitura."}));
    EXPECT_EQ(Conteudo(Saida().string()), "antiga");
    std::filesystem::permissions(Saida(), std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    std::filesystem::remove(Saida());

    // A workbook named at the system's limit is written as any other: the copy
    // being filled, and the sheet driver's own file beside it, keep within it.
    const auto longo = pasta / (std::string(251, 'p') + ".xls");
    arquivos.push_back(longo.string());
    mensagens.Limpa();
    imp.SaveXLS();
    EXPECT_EQ(mensagens.Textos(), std::vector<std::string>{});
    EXPECT_EQ(LePlanilha(longo).size(), 12u);

    // Without the template: the copy's message with the reason, nothing written.
    DefinePastaPrograma(pasta.Caminho().string());
    mensagens.Limpa();
    Salva();
    EXPECT_FALSE(std::filesystem::exists(Saida()));
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(
        mensagens.Lista()[0].Texto.rfind(
            "Erro. Arquivo não copiado!\n\nNão foi possível copiar '" + (pasta / "dadosfinais.xls").string() + "'", 0),
        0u)
        << mensagens.Lista()[0].Texto;
    EXPECT_EQ(abertos.size(), 3u);
}

TEST_F(PlanilhaTest, ACellThatCannotBeReadLeavesTheRestOfTheRowAndTheReachIsNamedOnce)
{
    imp.cData = &dados;
    // COMP kept as text, as some tables do; one of them is no number.
    std::vector<CampoDbf> campos = CamposCompletos(true);
    for (CampoDbf& c : campos)
        if (c.Nome == "COMP") c = {"COMP", 'C', 8, 0};
    RegistroDbf r1 = Reach("1", "A", "-0-", "-0-", "-0-");
    RegistroDbf r2 = Reach("2", "B", "-0-", "-0-", "-0-");
    r2["COMP"] = "abc";
    RegistroDbf r3 = Reach("3", "C", "-0-", "-0-", "-0-");
    r3["COMP"] = "12,5";
    Abre({r1, r2, r3}, campos);
    Salva();

    const Planilha p = LePlanilha(Saida());
    ASSERT_EQ(p.size(), 14u);
    EXPECT_EQ(p[11][5], "50.00");
    EXPECT_EQ(p[12][5], "");
    EXPECT_EQ(p[12][3], " B");  // the rest of the row is there
    EXPECT_EQ(p[12][16], "150");
    EXPECT_EQ(p[13][5], "12.50");
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "Atenção");
    EXPECT_NE(mensagens.Lista()[0].Texto.find(": 2"), std::string::npos) << mensagens.Lista()[0].Texto;
    EXPECT_EQ(abertos.size(), 1u);
}

}  // namespace
