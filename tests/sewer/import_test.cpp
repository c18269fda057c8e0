// The design-table import through the real host and real dBase files: the PV
// table it builds, the blocks it chooses and turns, the material picker, the
// report of an incomplete table, and the drawing it saves.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "ImportTestSupport.h"
#include "cad/modAcad.h"
#include "sewer/modRedeSAN.h"

using namespace sewertest;

namespace {

// 1 → 2 → 4 → 5 and 2 → 3 ← 6: manhole 2 is upstream of two reaches and
// downstream of one; manhole 3 receives a 1.6 m pipe (no ordinary type takes
// it); manhole 5 is the network's end.
std::vector<RegistroDbf> Rede()
{
    RegistroDbf r1 = Trecho("1", "1", 0, 0, "2", 30, 40);
    RegistroDbf r2 = Trecho("2", "2", 30, 40, "4", 30, 90);
    RegistroDbf r3 = Trecho("3", "2", 30, 40, "3", 80, 40);
    r3["DIAM"] = "0.200";
    RegistroDbf r4 = Trecho("4", "4", 30, 90, "5", 30, 140);
    RegistroDbf r5 = Trecho("5", "6", 130, 40, "3", 80, 40);
    r5["DIAM"] = "1.600";
    r5["MATER"] = "Concreto";
    return {r4, r2, r5, r1, r3};
}

const PVRec* PVdaTabela(const std::string& Nome)
{
    for (int i = 0; i < gNumPVs; ++i)
        if (gPVs[static_cast<std::size_t>(i)].Nome == Nome) return &gPVs[static_cast<std::size_t>(i)];
    return nullptr;
}

TEST_F(ImportTest, TheNetworkIsCountedChosenTurnedAndWrittenAsTheTableSays)
{
    AbreTabela("rede.dbf", Rede());
    ASSERT_EQ(imp.IMPFilename, (pasta / "rede").string());
    const int antes = Desenhos();
    arquivos.push_back("");
    imp.DrawCmd();

    // A new drawing, and nothing asked: both materials are in the catalogue.
    EXPECT_EQ(Desenhos(), antes + 1);
    EXPECT_TRUE(perguntas.empty());
    ASSERT_EQ(gNumPVs, 6);
    ASSERT_EQ(gNumTRs, 5);

    const PVRec* pv2 = PVdaTabela("2");
    ASSERT_TRUE(pv2);
    EXPECT_EQ(pv2->NumRepeticoes, 2);
    EXPECT_EQ(pv2->NumSaidas, 2);
    EXPECT_EQ(pv2->DiamMax, 200);
    EXPECT_EQ(pv2->Bloco, ChoosePVBlock(2, pv2->PRF, 200));
    acad::BlockReference* b2 = PVDoDesenho("2");
    ASSERT_TRUE(b2);
    EXPECT_EQ(b2->Name(), pv2->Bloco);
    EXPECT_EQ(b2->ObjectID(), pv2->ObjectID);
    // Turned toward its first reach's downstream manhole, 4, straight north.
    EXPECT_NEAR(b2->Rotation(), M_PI / 2, 1e-9);
    EXPECT_NEAR(PVDoDesenho("1")->Rotation(), std::atan2(40.0, 30.0), 1e-9);

    // The upstream texts with the panel's decimals; the end manhole's as stored.
    EXPECT_EQ(Atributos(PVDoDesenho("1"))["CT"], "101.000");
    EXPECT_EQ(Atributos(PVDoDesenho("1"))["CP"], "1.500");
    EXPECT_EQ(Atributos(PVDoDesenho("1"))["ET"], "1");
    acad::BlockReference* b5 = PVDoDesenho("5");
    ASSERT_TRUE(b5);
    EXPECT_EQ(b5->Rotation(), 0.0);
    EXPECT_EQ(Atributos(b5)["CT"], "100.8");
    EXPECT_EQ(Atributos(b5)["CS"], "99.2");
    EXPECT_EQ(Atributos(b5)["CP"], "1.6");

    // Manhole 3 takes the last type, which is to be looked at.
    acad::BlockReference* b3 = PVDoDesenho("3");
    ASSERT_TRUE(b3);
    EXPECT_EQ(b3->Name(), "E-PV250");
    int marcas = 0;
    for (acad::BlockReference* m : Blocos("ErroC"))
        if (Atributos(m)["MENSAGEM"] == "Verificar dimensão do PV") ++marcas;
    EXPECT_EQ(marcas, 1);

    // Every reach between the blocks of its manholes, numbered by CLTAT.
    const auto rotulos = Blocos("E-TRSAN");
    ASSERT_EQ(rotulos.size(), 5u);
    for (int i = 0; i < gNumTRs; ++i) {
        const TRRec& t = gTRs[static_cast<std::size_t>(i)];
        EXPECT_EQ(t.Trecho, std::to_string(i + 1));
        EXPECT_NE(t.ObjTR, 0);
        EXPECT_EQ(t.ObjPV1, GetPVKey(i == 4 ? "6" : (i == 0 ? "1" : (i == 3 ? "4" : "2"))));
    }
    EXPECT_EQ(gTRs[2].Diam, "200");
    EXPECT_EQ(gTRs[0].Comp, "50.00");
    EXPECT_EQ(gTRs[0].Decl, "0.006000");
    EXPECT_EQ(gTRs[4].Material, "Concreto");
    EXPECT_EQ(gTRs[0].Pavimento, "Asfalto");

    EXPECT_EQ(mensagens.Textos(),
              (std::vector<std::string>{"Concluido\nSalve o desenho", "Nenhum arquivo selecionado"}));
    ASSERT_EQ(dialogos.size(), 2u);
    EXPECT_EQ(dialogos[1].fileName, (pasta / "rede.dwg").string());
}

TEST_F(ImportTest, UnknownMaterialsAreAskedOnceEachAndCancelLeavesNoDrawing)
{
    auto regs = Rede();
    regs[0]["MATER"] = "Ferro";  // reach 4
    regs[1]["MATER"] = "Ferro";  // reach 2
    regs[3]["MATER"] = "Barro";  // reach 1
    AbreTabela("materiais.dbf", regs);
    const int antes = Desenhos();

    materiais = {"Cerâmico", ""};
    imp.DrawCmd();
    // In the table's order: reach 1 comes first.
    EXPECT_EQ(perguntas, (std::vector<std::string>{"Material desconhecido: Barro", "Material desconhecido: Ferro"}));
    EXPECT_EQ(mensagens.Textos(), std::vector<std::string>{"Cancelando operação"});
    EXPECT_EQ(Desenhos(), antes);
    EXPECT_EQ(gNumPVs, 0);
    EXPECT_EQ(gNumTRs, 0);

    // One answer covers every reach of that name.
    perguntas.clear();
    mensagens.Limpa();
    materiais = {"Cerâmico", "PVC"};
    arquivos.push_back("");
    imp.DrawCmd();
    EXPECT_EQ(perguntas.size(), 2u);
    EXPECT_EQ(Desenhos(), antes + 1);
    ASSERT_EQ(gNumTRs, 5);
    EXPECT_EQ(gTRs[0].Material, "Cerâmico");
    EXPECT_EQ(gTRs[1].Material, "PVC");
    EXPECT_EQ(gTRs[3].Material, "PVC");
    int pvc = 0;
    for (acad::BlockReference* r : Blocos("E-TRSAN"))
        if (Atributos(r)["MAT"] == "PVC") ++pvc;
    EXPECT_EQ(pvc, 3);
}

TEST_F(ImportTest, DrawingTwiceMakesASecondDrawingAndTheSavedOneReopens)
{
    AbreTabela("duas vezes.dbf", Rede(), true);
    const int antes = Desenhos();
    // The open table is no file for the drawing: refused, naming it, and asked
    // again; reached through a link to its folder, it is the same file.
    const std::string tabela = (pasta / "duas vezes.dbf").string();
    std::filesystem::create_directory_symlink(pasta.Caminho(), pasta / "atalho");
    const std::string pelaLigacao = (pasta / "atalho" / "duas vezes.dbf").string();
    const std::string bytes = Conteudo(tabela);
    arquivos.push_back(tabela);
    arquivos.push_back(pelaLigacao);
    arquivos.push_back("");
    imp.DrawCmd();
    // Reached otherwise, the table is named as it was opened.
    const auto recusa = [&](const std::string& Nome) {
        return "O arquivo " + Nome + " é a tabela aberta" + (Nome == tabela ? "" : " " + tabela) +
               " e não pode ser substituído pelo desenho.\n\nEscolha outro arquivo.";
    };
    EXPECT_EQ(mensagens.Textos(),
              (std::vector<std::string>{"Concluido\nSalve o desenho", "duas vezes.dbf já existe.\nDeseja substituí-lo?",
                                        recusa(tabela), "duas vezes.dbf já existe.\nDeseja substituí-lo?",
                                        recusa(pelaLigacao), "Nenhum arquivo selecionado"}));
    EXPECT_TRUE(Conteudo(tabela) == bytes) << "the table was changed";
    const std::string destino = (pasta / "desenhada.dwg").string();
    arquivos.push_back(destino);
    imp.DrawCmd();
    EXPECT_EQ(Desenhos(), antes + 2);
    EXPECT_EQ(gNumPVs, 6);
    EXPECT_EQ(gNumTRs, 5);
    EXPECT_EQ(Blocos("E-TRSAN").size(), 5u);

    acad::Document* aberto = app->Documents().Open(destino);
    ASSERT_TRUE(aberto);
    int pvs = 0, trs = 0;
    for (acad::Entity* e : aberto->ModelSpace())
        if (auto* b = dynamic_cast<acad::BlockReference*>(e)) {
            if (b->Name() == "E-TRSAN") ++trs;
            if (b->Name() == "E-PV" || b->Name() == "E-PV250") ++pvs;
        }
    EXPECT_EQ(pvs, 6);
    EXPECT_EQ(trs, 5);
}

TEST_F(ImportTest, AnIncompleteOrEmptyTableIsReportedAndNothingIsDrawn)
{
    auto regs = Rede();
    regs[1].erase("PAVIM");
    regs[3].erase("PAVIM");
    regs[2].erase("PVJ");
    AbreTabela("incompleta.dbf", regs);
    const int antes = Desenhos();
    imp.DrawCmd();
    ASSERT_EQ(relatorios.size(), 1u);
    EXPECT_EQ(relatorios[0],
              "Erros na tabela: \r\n\r\n1 tem PAVIMENTO vazio.\r\n2 tem PAVIMENTO vazio.\r\n5 tem PV Jusante vazio."
              "\r\n\r\nUse a ferramenta 'Editar Tabela'\r\nou o próprio Brivan para corrigir\r\nestes erros.");
    EXPECT_EQ(Desenhos(), antes);

    AbreTabela("vazia.dbf", {});
    imp.DrawCmd();
    EXPECT_EQ(mensagens.Textos(), std::vector<std::string>{"A tabela vazia.dbf não tem registros: nada a desenhar."});
    EXPECT_EQ(Desenhos(), antes);

    // A table without a field the import needs: told, naming the table.
    mensagens.Limpa();
    auto campos = CamposDeProjeto();
    campos.erase(campos.begin() + 13);  // CTJ
    EscreveDbf(pasta / "semcampo.dbf", campos, Rede());
    arquivos.push_back((pasta / "semcampo.dbf").string());
    imp.OpenTable();
    ASSERT_NE(imp.Tabela(), nullptr);
    imp.DrawCmd();
    ASSERT_EQ(mensagens.Textos().size(), 1u);
    EXPECT_EQ(mensagens.Textos()[0].rfind("Erro ao desenhar a tabela semcampo.dbf:", 0), 0u) << mensagens.Textos()[0];
    EXPECT_EQ(Desenhos(), antes);

    // A refused name leaves no table open.
    mensagens.Limpa();
    AbreTabela("rede_2.dbf", Rede());
    EXPECT_EQ(imp.IMPFilename, "");
    EXPECT_EQ(imp.Tabela(), nullptr);
    EXPECT_EQ(mensagens.Textos(),
              std::vector<std::string>{"O nome do arquivo não poderá ter '_' (Underscore) nem '-'(Hifen)"});

    // No file chosen.
    mensagens.Limpa();
    arquivos.push_back("");
    imp.OpenTable();
    EXPECT_EQ(imp.IMPFilename, "");
    EXPECT_EQ(mensagens.Textos(), std::vector<std::string>{"Nenhum arquivo selecionado"});
}

}  // namespace
