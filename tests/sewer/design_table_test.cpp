// The design-table reader over real dBase files in a temporary folder: the
// record order, the name rules, null handling, searching, the moves at both
// ends and the completeness report.

#include <gtest/gtest.h>

#include <fstream>

#include "TabelaTestSupport.h"
#include "cad/CadTestSupport.h"
#include "sewer/clsTabela1.h"

using namespace sewertest;

namespace {

class TabelaTest : public ::testing::Test {
protected:
    std::string Pasta() const { return pasta.Caminho().string() + "/"; }
    std::vector<std::string> Ordem(clsTabela1& T)
    {
        std::vector<std::string> v;
        T.MoveFirst();
        for (long long i = 0; i < T.RecordCount(); ++i) {
            v.push_back(T.GetFieldData("CLTAT", true).ToText());
            T.MoveNext();
        }
        return v;
    }
    cadtest::PastaTemporaria pasta;
    cadtest::Mensagens mensagens;
};

TEST_F(TabelaTest, RecordsComeInReachNumberOrderOfTheFieldsOwnType)
{
    const std::vector<RegistroDbf> regs = {Trecho("10", "A", 0, 0, "B", 1, 0), Trecho("2", "B", 1, 0, "C", 2, 0),
                                           Trecho("1", "C", 2, 0, "D", 3, 0)};
    EscreveDbf(pasta / "texto.dbf", CamposDeProjeto(false), regs);
    EscreveDbf(pasta / "numero.dbf", CamposDeProjeto(true), regs);

    clsTabela1 texto;
    ASSERT_TRUE(texto.Initialize("texto.dbf", Pasta()));
    EXPECT_EQ(Ordem(texto), (std::vector<std::string>{"1", "10", "2"}));
    clsTabela1 numero;
    ASSERT_TRUE(numero.Initialize("numero.dbf", Pasta()));
    EXPECT_EQ(Ordem(numero), (std::vector<std::string>{"1", "2", "10"}));
    EXPECT_EQ(numero.RecordCount(), 3);
    EXPECT_EQ(numero.dbFileName, "numero.dbf");
    EXPECT_EQ(numero.dbFilePath, Pasta());
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(TabelaTest, NamesWithUnderscoreOrHyphenAreRefusedBlanksOpen)
{
    EscreveDbf(pasta / "rede final.dbf", CamposDeProjeto(), {Trecho("1", "A", 0, 0, "B", 1, 0)});
    EscreveDbf(pasta / "rede_1.dbf", CamposDeProjeto(), {Trecho("1", "A", 0, 0, "B", 1, 0)});

    clsTabela1 t;
    t.dbFileName = "antes";
    for (const char* nome : {"rede_1.dbf", "rede-1.dbf", "rede.d_f"}) {
        mensagens.Limpa();
        EXPECT_FALSE(t.Initialize(nome, Pasta())) << nome;
        ASSERT_EQ(mensagens.Lista().size(), 1u) << nome;
        EXPECT_EQ(mensagens.Lista()[0].Titulo, "Atenção");
        EXPECT_EQ(mensagens.Lista()[0].Texto, "O nome do arquivo não poderá ter '_' (Underscore) nem '-'(Hifen)");
        EXPECT_FALSE(t.Aberta());
        EXPECT_EQ(t.dbFileName, "antes");
    }

    EscreveDbf(pasta / "rede d'água.dbf", CamposDeProjeto(), {Trecho("1", "C", 0, 0, "D", 1, 0)});
    mensagens.Limpa();
    ASSERT_TRUE(t.Initialize("rede d'água.dbf", Pasta()));
    EXPECT_EQ(t.GetFieldData("PVM", false).ToText(), "C");
    ASSERT_TRUE(t.Initialize("rede final.dbf", Pasta()));
    EXPECT_EQ(t.RecordCount(), 1);
    EXPECT_EQ(t.GetFieldData("PVM", false).ToText(), "A");
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(TabelaTest, ATableThatCannotBeReadIsNamedAndNotOpened)
{
    {
        std::ofstream f(pasta / "estragada.dbf", std::ios::binary);
        f << "isto não é uma tabela";
    }
    clsTabela1 t;
    EXPECT_FALSE(t.Initialize("estragada.dbf", Pasta()));
    EXPECT_FALSE(t.Initialize("falta.dbf", Pasta()));
    EXPECT_FALSE(t.Initialize("rede.dbf", Pasta() + "nao existe/"));
    ASSERT_EQ(mensagens.Lista().size(), 3u);
    EXPECT_NE(mensagens.Lista()[0].Texto.find("estragada.dbf"), std::string::npos);
    EXPECT_NE(mensagens.Lista()[1].Texto.find("falta.dbf"), std::string::npos);
    EXPECT_NE(mensagens.Lista()[2].Texto.find("nao existe"), std::string::npos);
    EXPECT_FALSE(t.Aberta());
}

TEST_F(TabelaTest, NullsReadByFieldTypeAndSearchesForNullOrValue)
{
    RegistroDbf semNada = Trecho("", "X", 0, 0, "Y", 1, 0);
    semNada.erase("MATER");
    semNada.erase("DIAM");
    EscreveDbf(pasta / "nulos.dbf", CamposDeProjeto(), {Trecho("1", "A", 0, 0, "B", 1, 0), semNada});
    EscreveDbf(pasta / "numeros.dbf", CamposDeProjeto(true),
               {Trecho("7", "A", 0, 0, "B", 1, 0), Trecho("1", "B", 1, 0, "C", 2, 0)});

    clsTabela1 t;
    ASSERT_TRUE(t.Initialize("nulos.dbf", Pasta()));
    // The null CLTAT sorts first.
    t.MoveFirst();
    EXPECT_TRUE(t.GetFieldData("MATER", false).IsNull());
    EXPECT_EQ(t.GetFieldData("MATER", true), ado::Value(""));
    EXPECT_TRUE(t.GetFieldData("DIAM", false).IsNull());
    EXPECT_EQ(t.GetFieldData("DIAM", true).ToDouble(), 0.0);
    EXPECT_TRUE(t.GetFieldData("DIAM", true).IsNumber());

    t.MoveLast();
    EXPECT_TRUE(t.FindFirst("CLTAT", ado::Value::Null()));
    EXPECT_EQ(t.GetFieldData("PVM", false).ToText(), "X");
    EXPECT_TRUE(t.FindFirst("CLTAT", ado::Value(1)));
    EXPECT_EQ(t.GetFieldData("PVM", false).ToText(), "A");
    EXPECT_TRUE(t.FindFirst("CLTAT", ado::Value("1")));
    EXPECT_FALSE(t.FindFirst("CLTAT", ado::Value("9")));
    EXPECT_TRUE(t.Eof());

    clsTabela1 n;
    ASSERT_TRUE(n.Initialize("numeros.dbf", Pasta()));
    EXPECT_TRUE(n.FindFirst("CLTAT", ado::Value("1")));
    EXPECT_EQ(n.GetFieldData("PVM", false).ToText(), "B");
    EXPECT_FALSE(n.FindFirst("CLTAT", ado::Value::Null()));
    n.MoveFirst();
    EXPECT_TRUE(n.Find("CLTAT", ado::Value(7)));
    EXPECT_EQ(n.AbsolutePosition(), 2);
    EXPECT_FALSE(n.Find("CLTAT", ado::Value(1)));
}

TEST_F(TabelaTest, MovesStopAtBothEndsAndAnEmptyTableDoesNotMove)
{
    EscreveDbf(pasta / "dois.dbf", CamposDeProjeto(),
               {Trecho("1", "A", 0, 0, "B", 1, 0), Trecho("2", "B", 1, 0, "C", 2, 0)});
    EscreveDbf(pasta / "vazia.dbf", CamposDeProjeto(), {});

    clsTabela1 t;
    int movimentos = 0;
    t.MoveComplete += [&] { ++movimentos; };
    ASSERT_TRUE(t.Initialize("dois.dbf", Pasta()));
    t.MoveLast();
    EXPECT_EQ(t.AbsolutePosition(), 2);
    t.MoveNext();
    EXPECT_EQ(t.AbsolutePosition(), 2);
    EXPECT_FALSE(t.Eof());
    t.MoveFirst();
    t.MovePrevious();
    EXPECT_EQ(t.AbsolutePosition(), 1);
    EXPECT_FALSE(t.Bof());
    EXPECT_GT(movimentos, 3);

    // A pending change is stored by the next move; Cancel drops one.
    t.SetFieldData("OBS", ado::Value("revisto"));
    EXPECT_TRUE(t.EditingRecord());
    t.Update();
    t.MoveNext();
    EXPECT_FALSE(t.EditingRecord());
    t.SetFieldData("OBS", ado::Value("desfeito"));
    t.Cancel();
    t.Requery();
    t.MoveFirst();
    EXPECT_EQ(t.GetFieldData("OBS", true).ToText(), "revisto");
    t.MoveNext();
    EXPECT_EQ(t.GetFieldData("OBS", true).ToText(), "");

    // Deleting the last record leaves the one before it current.
    t.Delete();
    EXPECT_EQ(t.RecordCount(), 1);
    EXPECT_EQ(t.GetFieldData("CLTAT", true).ToText(), "1");

    clsTabela1 v;
    ASSERT_TRUE(v.Initialize("vazia.dbf", Pasta()));
    EXPECT_EQ(v.RecordCount(), 0);
    v.MoveFirst();
    v.MoveNext();
    v.MovePrevious();
    v.MoveLast();
    EXPECT_TRUE(v.Eof());
    EXPECT_TRUE(v.Bof());
    EXPECT_FALSE(v.FindFirst("CLTAT", ado::Value::Null()));
    EXPECT_EQ(v.VerificarTabela(), "");
}

TEST_F(TabelaTest, TheReportListsEmptyRequiredFieldsByFieldThenReach)
{
    RegistroDbf r3 = Trecho("3", "C", 2, 0, "D", 3, 0);
    RegistroDbf r1 = Trecho("1", "A", 0, 0, "B", 1, 0);
    RegistroDbf r2 = Trecho("2", "B", 1, 0, "C", 2, 0);
    r3.erase("PAVIM");
    r1.erase("PAVIM");
    r2.erase("PVJ");
    // Present values that are not empty: a zero, a text with blanks around.
    r2["PRFM"] = "0.000";
    r2["MATER"] = "  PVC";
    EscreveDbf(pasta / "falhas.dbf", CamposDeProjeto(), {r3, r1, r2});

    clsTabela1 t;
    ASSERT_TRUE(t.Initialize("falhas.dbf", Pasta()));
    EXPECT_EQ(t.VerificarTabela(), "\r\n1 tem PAVIMENTO vazio.\r\n3 tem PAVIMENTO vazio.\r\n2 tem PV Jusante vazio.");
    EXPECT_TRUE(t.Eof());

    // The downstream manhole's elevations and the reach number are required too.
    RegistroDbf semCotas = Trecho("", "A", 0, 0, "B", 1, 0);
    semCotas.erase("CTJ");
    semCotas.erase("COMP");
    EscreveDbf(pasta / "cotas.dbf", CamposDeProjeto(), {Trecho("5", "B", 1, 0, "C", 2, 0), semCotas});
    clsTabela1 c;
    ASSERT_TRUE(c.Initialize("cotas.dbf", Pasta()));
    EXPECT_EQ(c.VerificarTabela(),
              "\r\nRegistro 1 tem COMRIMENTO vazio.\r\nRegistro 1 tem Cota Terreno do PV Jusante "
              "vazio.\r\nRegistro 1 tem TRECHO (CLTAT) vazio.");
}

}  // namespace
