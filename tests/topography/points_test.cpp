// Survey points made from the point menu: one through the dialog "Inserir
// Ponto" and a pick, many from a TAB-separated file; what the import skips
// and reports; and the point information reading the points written here.

#include <gtest/gtest.h>

#include <fstream>

#include "TopoTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modGeometria.h"
#include "cad/modInfoPonto.h"
#include "platform/acad/Acad.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Testing.h"
#include "platform/os/Dialogs.h"
#include "support/MemoryLimit.h"
#include "topography/PontoTopografico.h"
#include "topography/modPontosTopo.h"

using namespace topotest;
using forms::user::Click;
using forms::user::PressKey;
using forms::user::Type;

namespace {

class Pontos : public TopoTest {
protected:
    Pontos() { app->ZoomCenter({0, 0, 0}, 1000); }

    // The dialog filled as a person types it, then "OK".
    void Digita(const std::string& Nome, const std::string& Cota, const std::string& Info)
    {
        RespondeInsercao([=](frmInsPoint& f) {
            Type(f.Text1(0), Nome);
            Type(f.Text1(1), Cota);
            Type(f.Text1(2), Info);
            Click(f.cmdOK);
        });
    }

    // The survey point at P, read back; fails the test when there is none.
    DadosPonto Le(const Ponto& P)
    {
        for (acad::Entity* e : *gModelSpace) {
            auto* p = dynamic_cast<acad::Point*>(e);
            if (!p || Distancia(p->Coordinates(), P) > 1e-9) continue;
            DadosPonto d;
            EXPECT_TRUE(LePontoTopografico(p, d));
            EXPECT_EQ(p->Layer(), "PONTO");
            return d;
        }
        ADD_FAILURE() << "nenhum ponto em " << P.X << "," << P.Y;
        return {};
    }

    // The texts at P (X, Y), with their layers.
    std::vector<std::string> TextosEm(const Ponto& P)
    {
        std::vector<std::string> t;
        for (acad::Entity* e : *gModelSpace)
            if (auto* x = dynamic_cast<acad::Text*>(e); x && Distancia(x->InsertionPoint(), P) < 1e-9)
                t.push_back(x->Layer() + ":" + x->TextString());
        return t;
    }

    std::string Arquivo(const std::string& Conteudo)
    {
        const std::filesystem::path f = pasta / "pontos.txt";
        std::ofstream(f, std::ios::binary) << Conteudo;
        return f.string();
    }

    FormTopo painel;
};

TEST_F(Pontos, TheDialogTakesTheElevationWithAPointAndEnterWalksItsBoxes)
{
    RespondeInsercao([](frmInsPoint& f) {
        EXPECT_EQ(f.Titulo.Caption(), "Inserir Ponto");
        EXPECT_EQ(f.Label1(1).Caption(), "Cota :");
        EXPECT_EQ(forms::Screen.ActiveControl(), &f.Text1(0));
        Type(f.Text1(0), "P-1;");
        PressKey(f.Text1(0), forms::vbKeyReturn);
        EXPECT_EQ(forms::Screen.ActiveControl(), &f.Text1(1));
        Type(f.Text1(1), "-1a2,5b");
        EXPECT_EQ(f.Text1(1).Text(), "-12.5") << "letras não entram; a vírgula vira ponto";
        PressKey(f.Text1(1), forms::vbKeyReturn);
        PressKey(f.Text1(2), forms::vbKeyReturn);
        EXPECT_EQ(forms::Screen.ActiveControl(), &f.Text1(0)) << "depois da terceira, a primeira";
        EXPECT_EQ(f.Text1(0).Text(), "P-1;") << "o nome aceita qualquer tecla";
        Click(f.cmdEnd);
    });
    InserirPonto();
    EXPECT_EQ(Conta("AcDbPoint"), 0u);
    EXPECT_TRUE(script->Requests().empty());
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(Pontos, AnInsertedPointCarriesItsDataAndTextsAndKeepsThePickedZ)
{
    Digita("P100", "12,5", "MARCO");
    script->Point({50, 60, 7});
    InserirPonto();
    EXPECT_EQ(script->Prompts(), std::vector<std::string>{"Ponto de inserção: "});
    const DadosPonto d = Le({50, 60, 7});
    EXPECT_EQ(d.Nome, "P100");
    EXPECT_EQ(d.Cota, "12.5");
    EXPECT_EQ(d.Descricao, "MARCO");
    EXPECT_EQ(TextosEm({50, 65, 7}), std::vector<std::string>{"PONTO_TEXTO:P100"});
    EXPECT_EQ(TextosEm({50, 63, 7}), std::vector<std::string>{"PONTO_COTA:12.5"});
    EXPECT_EQ(TextosEm({50, 61, 7}), std::vector<std::string>{"PONTO_DESCRICAO:MARCO"});
    EXPECT_EQ(Doc().Layers().Item("PONTO")->Color(), 10);
    EXPECT_EQ(Doc().Layers().Item("PONTO_TEXTO")->Color(), 170);
    EXPECT_EQ(Doc().Layers().Item("PONTO_COTA")->Color(), 170);
    EXPECT_EQ(Doc().Layers().Item("PONTO_DESCRICAO")->Color(), 3);
    for (acad::Entity* e : *gModelSpace)
        if (auto* t = dynamic_cast<acad::Text*>(e)) {
            EXPECT_DOUBLE_EQ(t->Height(), 1.5);
            EXPECT_EQ(t->Alignment(), 0);
        }
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(Pontos, WhatTheDialogCannotDrawIsToldOrLeftSilentAndNothingIsDrawn)
{
    // Empty name or elevation: silent.
    Digita("P1", "", "X");
    InserirPonto();
    Digita("", "3", "X");
    InserirPonto();
    EXPECT_TRUE(mensagens.Lista().empty());

    // A name the host refuses as an application name, an elevation that is no number.
    Digita("P;1", "3", "X");
    InserirPonto();
    Digita("P2", "-", "X");
    InserirPonto();
    Digita("P3", "1.2.3", "X");
    InserirPonto();
    ASSERT_EQ(mensagens.Lista().size(), 3u);
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "Inserir Ponto");
    EXPECT_NE(mensagens.Lista()[0].Texto.find("\"P;1\""), std::string::npos);
    EXPECT_NE(mensagens.Lista()[1].Texto.find("A cota \"-\" do ponto P2 não é um número"), std::string::npos);
    EXPECT_NE(mensagens.Lista()[2].Texto.find("\"1.2.3\""), std::string::npos);
    EXPECT_TRUE(script->Requests().empty()) << "nada é pedido no desenho";

    // The pick cancelled.
    Digita("P4", "3", "X");
    script->Escape();
    InserirPonto();
    EXPECT_EQ(gModelSpace->Count(), 0);
    EXPECT_EQ(mensagens.Lista().size(), 3u);
}

TEST_F(Pontos, ImportReadsXAndYEachWithPointOrCommaAndKeepsTheElevationAsWritten)
{
    const std::string f = Arquivo(
        "A1\t10.5\t20,25\t3,5\tBORDO\r\n"
        "A2\t-10,5\t20\t4.25\t\r\n"
        "A3\t1\t2\t5\tD\textra\tmais\r\n"
        "A1\t30\t40\t6\t\r\n");
    const ResultadoImportacao r = ImportaArquivoPontos(f, painel.TD.PTSProgress);
    EXPECT_EQ(r.Linhas, 4);
    EXPECT_EQ(r.Inseridos, 4);
    EXPECT_TRUE(r.NaoImportadas.empty());
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "Inserir Pontos");
    EXPECT_EQ(mensagens.Lista()[0].Texto, "Foram inseridos 4 pontos.");

    const DadosPonto a1 = Le({10.5, 20.25, 0});
    EXPECT_EQ(a1.Cota, "3,5");
    EXPECT_EQ(a1.Descricao, "BORDO");
    EXPECT_EQ(TextosEm({10.5, 23.25, 0}), std::vector<std::string>{"PONTO_COTA:3,5"});
    const DadosPonto a2 = Le({-10.5, 20, 0});
    EXPECT_EQ(a2.Nome, "A2");
    EXPECT_EQ(a2.Descricao, "");
    EXPECT_EQ(TextosEm({-10.5, 21, 0}), std::vector<std::string>{"PONTO_DESCRICAO:"});
    EXPECT_EQ(Le({1, 2, 0}).Descricao, "D");
    EXPECT_EQ(Le({30, 40, 0}).Nome, "A1");
    // Two points of one name share its application.
    int a1s = 0;
    for (int i = 0; i < Doc().RegisteredApplications().Count(); ++i)
        if (Doc().RegisteredApplications().Item(i)->Name() == "A1") ++a1s;
    EXPECT_EQ(a1s, 1);
    EXPECT_EQ(Conta("AcDbText"), 12u);
    EXPECT_EQ(painel.TD.PTSProgress.CurValue(), 0) << "a barra volta a zero";
}

TEST_F(Pontos, ImportSkipsAndNamesShortBadAndRefusedLinesAndPassesOverBlankOnes)
{
    const std::string f = Arquivo(
        "B1\t1\t1\t1\tok\n"
        "\n"
        "B2\t2\t2\n"
        "B3\tabc\t3\t3\tx\n"
        "B4\t4\t4\t4 m\tx\n"
        "B;5\t5\t5\t5\tx\n"
        "   \t\n"
        "B6\t6\t\t6\tx\n"
        "\tB7\t7\t7\t7\n"
        "B8\t8\t8\t8\tok");
    const ResultadoImportacao r = ImportaArquivoPontos(f, painel.TD.PTSProgress);
    EXPECT_EQ(r.Linhas, 10);
    EXPECT_EQ(r.Inseridos, 2);
    EXPECT_EQ(r.NaoImportadas, (std::vector<long long>{3, 4, 5, 6, 8, 9}));
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Texto, "Foram inseridos 2 pontos.\nLinhas não importadas: 3, 4, 5, 6, 8, 9");
    EXPECT_EQ(Conta("AcDbPoint"), 2u);
    EXPECT_EQ(Conta("AcDbText"), 6u) << "nada meio desenhado";

    // More than twenty: the first twenty, then "...".
    std::string muitas;
    for (int i = 1; i <= 25; ++i) muitas += "X" + std::to_string(i) + "\t1\n";
    mensagens.Limpa();
    const ResultadoImportacao r2 = ImportaArquivoPontos(Arquivo(muitas), painel.TD.PTSProgress);
    EXPECT_EQ(r2.NaoImportadas.size(), 25u);
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Texto,
              "Foram inseridos 0 pontos.\nLinhas não importadas: 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, "
              "16, 17, 18, 19, 20, ...");

    // Exactly twenty are all named; the cut starts at twenty-one.
    std::string vinte;
    for (int i = 1; i <= 20; ++i) vinte += (i > 1 ? ", " : "") + std::to_string(i);
    for (const int n : {20, 21}) {
        SCOPED_TRACE(n);
        std::string linhas;
        for (int i = 1; i <= n; ++i) linhas += "X" + std::to_string(i) + "\t1\n";
        mensagens.Limpa();
        ImportaArquivoPontos(Arquivo(linhas), painel.TD.PTSProgress);
        ASSERT_EQ(mensagens.Lista().size(), 1u);
        EXPECT_EQ(mensagens.Lista()[0].Texto,
                  "Foram inseridos 0 pontos.\nLinhas não importadas: " + vinte + (n == 21 ? ", ..." : ""));
    }
}

TEST_F(Pontos, AnOlderFileInWindowsWesternOrMacLineEndsAMissingFileAndOnesTooBigToRead)
{
    // "Pé" and "Praça" written in the old code page.
    const ResultadoImportacao r = ImportaArquivoPontos(Arquivo("P\xE9\t1\t2\t3\tPra\xE7"
                                                               "a\r\n"),
                                                       painel.TD.PTSProgress, false);
    EXPECT_EQ(r.Inseridos, 1);
    const DadosPonto d = Le({1, 2, 0});
    EXPECT_EQ(d.Nome, "Pé");
    EXPECT_EQ(d.Descricao, "Praça");
    EXPECT_TRUE(mensagens.Lista().empty()) << "sem a mensagem quando não pedida";

    const std::string falta = (pasta / "falta.txt").string();
    const ResultadoImportacao r2 = ImportaArquivoPontos(falta, painel.TD.PTSProgress);
    EXPECT_EQ(r2.Inseridos, 0);
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_NE(mensagens.Lista()[0].Texto.find(falta), std::string::npos);
    EXPECT_EQ(Conta("AcDbPoint"), 1u);

    // An old Macintosh file ends its lines with CR alone.
    const ResultadoImportacao mac =
        ImportaArquivoPontos(Arquivo("M1\t5\t6\t1\tA\rM2\t7\t8\t2\tB\rM3\t9\t9\t3\t\r"), painel.TD.PTSProgress, false);
    EXPECT_EQ(mac.Inseridos, 3);
    EXPECT_EQ(Le({5, 6, 0}).Descricao, "A");

    // Saved with a byte-order mark, a first line as long as a line may be
    // (what follows the fifth field is ignored).
    const std::string cheia = "B1\t11\t12\t1\tx\t";
    const ResultadoImportacao bom = ImportaArquivoPontos(
        Arquivo("\xEF\xBB\xBF" + cheia + std::string(65536 - cheia.size(), 'd') + "\r\nB2\t13\t14\t2\t\r\n"),
        painel.TD.PTSProgress, false);
    EXPECT_EQ(bom.Inseridos, 2);
    EXPECT_TRUE(bom.NaoImportadas.empty());
    EXPECT_EQ(Le({11, 12, 0}).Nome, "B1");

    // Saved as "Unicode text" (UTF-16 with its byte-order mark), either byte order.
    for (const bool little : {true, false}) {
        std::string utf16 = little ? "\xFF\xFE" : "\xFE\xFF";
        for (const char16_t u : std::u16string(u"U\u00E91\t21\t22,5\t3,5\tPra\u00E7a\r\nU2\t23\t24\t4\t\r\n")) {
            const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
            utf16 += little ? std::string{lo, hi} : std::string{hi, lo};
        }
        const ResultadoImportacao u = ImportaArquivoPontos(Arquivo(utf16), painel.TD.PTSProgress, false);
        EXPECT_EQ(u.Inseridos, 2);
        EXPECT_TRUE(u.NaoImportadas.empty());
    }
    const DadosPonto u1 = Le({21, 22.5, 0});
    EXPECT_EQ(u1.Nome, "Ué1");
    EXPECT_EQ(u1.Cota, "3,5");
    EXPECT_EQ(u1.Descricao, "Praça");

    // A line longer than any point: the file is refused by its line, nothing drawn.
    mensagens.Limpa();
    const std::string longa = Arquivo("L1\t1\t1\t1\tx\nL2\t2\t2\t2\t" + std::string(70000, 'x') + "\n");
    EXPECT_EQ(ImportaArquivoPontos(longa, painel.TD.PTSProgress).Inseridos, 0);
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_NE(mensagens.Lista()[0].Texto.find("linha 2"), std::string::npos) << mensagens.Lista()[0].Texto;
    EXPECT_NE(mensagens.Lista()[0].Texto.find(longa), std::string::npos);
    EXPECT_EQ(Conta("AcDbPoint"), 10u);

    // Too little memory for the points: the file's refusal, in Portuguese.
    std::string muitos;
    for (int i = 0; i < 60000; ++i) muitos += "N" + std::to_string(i) + "\t" + std::to_string(i) + "\t1\t1\tx\n";
    const std::string grande = Arquivo(muitos);
    const auto recusado = testsupport::WithLittleMemory(1u << 20, [&] {
        mensagens.Limpa();
        ImportaArquivoPontos(grande, painel.TD.PTSProgress);
        return mensagens.Lista().size() == 1u && mensagens.Lista()[0].Texto.find(grande) != std::string::npos &&
               mensagens.Lista()[0].Texto.find("Memória insuficiente") != std::string::npos;
    });
    EXPECT_NE(recusado, false);
}

TEST_F(Pontos, TheImportAsksForATextFileAndACancelledChoiceDoesNothing)
{
    const std::string f = Arquivo("C1\t1\t2\t3\tx\r\n");
    std::vector<os::DialogRequest> pedidos;
    bool escolhe = false;
    os::ScopedDialogDriver dialogos([&](const os::DialogRequest& r) {
        pedidos.push_back(r);
        return escolhe ? os::DialogAnswer::Path(f) : os::DialogAnswer::Cancel();
    });
    ImportarPontosTxt(painel.TD.PTSProgress);
    EXPECT_EQ(Conta("AcDbPoint"), 0u);
    EXPECT_TRUE(mensagens.Lista().empty());
    escolhe = true;
    ImportarPontosTxt(painel.TD.PTSProgress);
    EXPECT_EQ(Conta("AcDbPoint"), 1u);
    ASSERT_EQ(pedidos.size(), 2u);
    EXPECT_EQ(pedidos[0].kind, os::DialogKind::Open);
    EXPECT_EQ(pedidos[0].defaultExt, "txt");
    ASSERT_EQ(pedidos[0].filters.size(), 1u);
    EXPECT_EQ(pedidos[0].filters[0].patterns, "*.txt");
    EXPECT_EQ(pedidos[0].filters[0].description, "Arquivo de Pontos (*.txt)");
}

// The point information reads the points that this panel writes.
TEST_F(Pontos, ThePointInformationReadsThePointsWrittenHere)
{
    ImportaArquivoPontos(Arquivo("R9\t100\t200\t812.35\tBL\r\nR10\t120\t200\t7\t\r\n"), painel.TD.PTSProgress, false);
    Digita("R11", "9.5", "Poste");
    script->Point({140, 200, 3});
    InserirPonto();

    struct Caso {
        Ponto P;
        const char* Nome;
        const char* Cota;
        const char* Info;
    };
    for (const Caso& c : {Caso{{100, 200, 0}, "R9", "812.35", "BL"}, Caso{{120, 200, 0}, "R10", "7", ""},
                          Caso{{140, 200, 3}, "R11", "9.5", "Poste"}}) {
        SCOPED_TRACE(c.Nome);
        script->Point(c.P);
        Ponto p;
        std::string nome, cota, info = "antes";
        InfoPonto(false, false, p, nome, cota, info, "Selecione ponto: ", false);
        EXPECT_EQ(Ponto(p.X, p.Y), Ponto(c.P.X, c.P.Y));
        EXPECT_EQ(nome, c.Nome);
        EXPECT_EQ(cota, c.Cota);
        EXPECT_EQ(info, c.Info);
    }
}

}  // namespace
