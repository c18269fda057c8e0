// The verification of the generic network: its option list, the manhole and
// reach passes with every fault type, duplicates, a drawing without generic
// manholes, the reach header, and the corrections of its fault list.

#include <gtest/gtest.h>

#include "VerifTestSupport.h"
#include "sewer/clsSANVerifGen.h"
#include "sewer/frmEditList.h"
#include "shell/frmMsgBox.h"

using namespace veriftest;
using sewertest::Atributo;
using sewertest::Atributos;

namespace {

const std::set<std::string> kPVs = {"VERIFICAR PVs Gen.", "PV: Nomes duplicados", "PV: Cotas", "PV: Etapas"};
const std::set<std::string> kTRs = {"VERIFICAR TRs Gen.", "TR: Nomes duplicados", "TR: Ver Coordenadas",
                                    "TR: Dados dos PVs",  "TR: Contibuição",      "TR: Materiais",
                                    "TR: Comprimentos",   "TR: Pavimentos",       "TR: Etapas"};

std::set<std::string> Todas()
{
    std::set<std::string> t = kPVs;
    t.insert(kTRs.begin(), kTRs.end());
    return t;
}

class Generica : public VerifTest {
protected:
    Generica() { NovaVerificacao(); }

    void NovaVerificacao() { Nova(verif, &clsSANVerifGen::ConfereGenErroMsg); }
    void Executa(const std::set<std::string>& Opcoes) { VerifTest::Executa(*verif, Opcoes); }
    // Reach k: from "A<k>" (ground 100) at (30k, 0) to "B<k>" (99) at (30k, -20).
    acad::BlockReference* Trecho(int k)
    {
        acad::BlockReference* a = PVg(Ponto(30.0 * k, 0), "A" + std::to_string(k), "100");
        acad::BlockReference* b = PVg(Ponto(30.0 * k, -20), "B" + std::to_string(k), "99");
        pvs.push_back(a);
        pvs.push_back(b);
        return TRg(a, b);
    }
    void Escreve(acad::BlockReference* B, const std::string& Tag, const std::string& Valor)
    {
        Atributo(B, Tag)->SetTextString(Valor);
    }
    void Responde(bool Sim, bool Marca = false)
    {
        respostas.Proxima<frmMsgBox>([Sim, Marca](frmMsgBox& m) {
            if (Marca) forms::user::Click(m.Check1);
            forms::user::Click(Sim ? m.CmdOK : m.CmdCancel);
        });
    }

    std::unique_ptr<clsSANVerifGen> verif;
    std::vector<acad::BlockReference*> pvs;
};

}  // namespace

TEST_F(Generica, TheOptionListAndACleanNetwork)
{
    forms::ListBox& l = listas.Opcoes;
    ASSERT_EQ(l.ListCount(), 2);
    forms::user::Choose(l, 1);
    ASSERT_EQ(l.ListCount(), 10);
    EXPECT_EQ(l.List(2), "TR: Nomes duplicados");
    EXPECT_EQ(l.List(5), "TR: Contibuição");
    EXPECT_EQ(l.List(9), "TR: Etapas");
    for (int i = 1; i < 10; ++i) EXPECT_TRUE(l.Selected(i)) << i;
    forms::user::Choose(l, 0);
    ASSERT_EQ(l.ListCount(), 13);
    EXPECT_EQ(l.List(2), "PV: Cotas");
    EXPECT_EQ(l.List(4), "VERIFICAR TRs Gen.");
    forms::user::Choose(l, 4);
    EXPECT_EQ(l.ListCount(), 5);

    for (int k = 0; k < 3; ++k) Trecho(k);
    respostas.Limpa();
    Executa(Todas());
    EXPECT_TRUE(LinhasDaLista().empty());
    EXPECT_TRUE(Marcas().empty());
    EXPECT_TRUE(respostas.Mostradas().empty());
}

TEST_F(Generica, WithoutGenericManholesTheRunEndsWithAMessage)
{
    acad::BlockReference* tr = Trecho(0);
    for (acad::BlockReference* pv : pvs) pv->Delete();
    Escreve(tr, "MATERIAL", "Ferro");
    respostas.Limpa();
    Executa(Todas());
    ASSERT_EQ(respostas.Mostradas().size(), 1u);
    EXPECT_EQ(respostas.Mostradas()[0].Titulo, "Conferindo desenho");
    EXPECT_EQ(respostas.Mostradas()[0].Texto, "Nenhum bloco genérico localizado.");
    EXPECT_TRUE(LinhasDaLista().empty());

    // Without the manhole header the reach pass runs.
    NovaVerificacao();
    Executa(kTRs);
    EXPECT_EQ(Tipos(), (std::vector<int>{4, 5, 9}));
}

TEST_F(Generica, ManholeFaultsWithUnnamedManholesAsDuplicatesOfEachOther)
{
    acad::BlockReference* s1 = PVg(Ponto(0, 0), "");
    acad::BlockReference* s2 = PVg(Ponto(20, 0), "");
    acad::BlockReference* cota = PVg(Ponto(40, 0), "G3");
    Escreve(cota, "CT", "cem");
    acad::BlockReference* etapa = des.InsertPVGen(Ponto(60, 0), "G4", "100", 9);
    PVg(Ponto(80, 0), "G5", " 99.5 ");  // blanks around a number are read
    Executa(Todas());

    EXPECT_EQ(LinhasDaLista(), (std::vector<std::string>{"PV sem nome", "PV sem nome", "Número Duplicado",
                                                         "Número Duplicado", "Erro em Cota", "Erro em Etapa (9)"}));
    EXPECT_EQ(Tipos(), (std::vector<int>{17, 17, 1, 1, 18, 3}));
    EXPECT_EQ(ErrList[2].ObjectId, s2->ObjectID());
    EXPECT_EQ(ErrList[3].ObjectId, s1->ObjectID());
    EXPECT_EQ(ErrList[4].ObjectId, cota->ObjectID());
    EXPECT_EQ(ErrList[5].ObjectId, etapa->ObjectID());
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(ErrList[static_cast<std::size_t>(i)].PVmId, 1);
        EXPECT_FALSE(ErrList[static_cast<std::size_t>(i)].Pt2);
    }
    const auto m = Marcas();
    ASSERT_EQ(m.size(), 6u);
    EXPECT_TRUE(Marcou(m[0], "PV sem nome", 3, 1));
    EXPECT_EQ(m[2].Mensagem, "Numero duplicado");
    EXPECT_EQ(m[2].Cor, 4);
    EXPECT_EQ(m[4].Mensagem, "Erro em Cota");
    EXPECT_DOUBLE_EQ(m[4].Escala, 4);
    EXPECT_EQ(m[5].Mensagem, "Erro em Etapa (9)");
    EXPECT_DOUBLE_EQ(m[5].Escala, 5);
    EXPECT_EQ(Linhas().size(), 1u);
    EXPECT_EQ(respostas.Relatorios(),
              std::vector<std::string>{"ERROS LOCALIZADOS EM PVs:\r\n2 Pvs sem nome\r\n1 Erros no valor da Cota\r\n"
                                       "1 Erros na definição de Etapa\r\n1 PVs com nomes duplicados\r\n\r\n"
                                       "ERROS LOCALIZADOS EM TRECHOS:\r\nNão realizado\r\n\r\n"});
}

TEST_F(Generica, ReachFaultsOfEveryKind)
{
    std::vector<acad::BlockReference*> tr;
    for (int k = 0; k < 11; ++k) tr.push_back(Trecho(k));
    Escreve(tr[0], "IPV1", "sem ponto");
    pvs[3]->Delete();  // the second end of reach 1
    Escreve(tr[2], "COMP", "12.00");
    Escreve(tr[3], "PV1", "ZZ");
    Escreve(tr[4], "TRECHO", "A0-B0");
    Escreve(tr[5], "ET", "9");
    Escreve(tr[6], "CONTRIB", "sim");
    Escreve(tr[7], "MATERIAL", "Ferro");
    Escreve(tr[8], "PAVMTO", "Grama");
    Escreve(tr[9], "CONTRIB", " SIM ");  // trimmed: right
    Escreve(tr[10], "COMP", "19.90");    // exactly the tolerance off: right
    Executa(kTRs);

    EXPECT_EQ(LinhasDaLista(),
              (std::vector<std::string>{"Falta coordenadas", "PVJ não localizado", "Comp=20.00(12.00)",
                                        "Nome do PVM:A3", "Nome duplicado", "Nome duplicado", "Etapa:(9)",
                                        "Contribuição:(sim)", "Material:(Ferro)", "Pavimento:(Grama)"}));
    EXPECT_EQ(Tipos(), (std::vector<int>{19, 5, 11, 20, 12, 12, 13, 21, 9, 10}));
    EXPECT_EQ(ErrList[4].ObjectId, tr[4]->ObjectID());
    EXPECT_EQ(ErrList[5].ObjectId, tr[0]->ObjectID());
    EXPECT_EQ(ErrList[1].Pt1, Ponto(tr[1]->InsertionPoint()));

    const auto m = Marcas();
    std::vector<std::string> textos;
    for (const Marcador& k : m) textos.push_back(k.Mensagem);
    EXPECT_EQ(textos,
              (std::vector<std::string>{"Falta coordenadas", "PVJ não localizado", "PVJ não localizado",
                                        "Comprimento = 20.00 e não 12.00", "Nome do PVM não coincide. Espera-se A3",
                                        "Nome duplicado", "Nome duplicado", "Erro em Etapa", "Erro em Contribuição",
                                        "Ferronão é um material cadastrado", "Gramanão é pavimento cadastrado"}));
    EXPECT_DOUBLE_EQ(m[0].Escala, 4);
    EXPECT_EQ(m[0].Cor, 1);
    // At the reach first, then at the missing end.
    EXPECT_EQ(m[1].P, Ponto(tr[1]->InsertionPoint()));
    EXPECT_DOUBLE_EQ(m[1].Escala, 2);
    EXPECT_EQ(m[2].P, Ponto(30, -20, 0));
    EXPECT_DOUBLE_EQ(m[2].Escala, 3);
    EXPECT_EQ(m[4].Cor, 3);
    EXPECT_EQ(m[8].Cor, 5);
    const auto linhas = Linhas();
    ASSERT_EQ(linhas.size(), 2u);
    EXPECT_EQ(linhas[0]->Color(), 1);
    EXPECT_EQ(linhas[1]->Color(), 4);
    EXPECT_EQ(
        respostas.Relatorios(),
        std::vector<std::string>{"ERROS LOCALIZADOS EM TRECHOS:\r\n1 PVJs não localizados\r\n1 Faltam Coordenadas\r\n"
                                 "1 Nome do PV não coincide\r\n1 Erros de Material não cadastrado\r\n"
                                 "1 Erros de Pavimento não cadastrado\r\n1 Erros no comprimento\r\n"
                                 "1 Nomes do TR duplicado\r\n1 Erros na definição de Etapa\r\n"
                                 "1 Erros na definição de Contribuição\r\n"});
}

TEST_F(Generica, ThreeReachesOfOneName)
{
    for (int k = 0; k < 3; ++k) Escreve(Trecho(k), "TRECHO", "T");
    Executa({"VERIFICAR TRs Gen.", "TR: Nomes duplicados"});
    EXPECT_EQ(Tipos(), std::vector<int>(5, 12));
    EXPECT_EQ(Linhas().size(), 3u);
    EXPECT_EQ(Marcas().size(), 5u);
    ASSERT_EQ(respostas.Relatorios().size(), 1u);
    EXPECT_EQ(respostas.Relatorios()[0], "ERROS LOCALIZADOS EM TRECHOS:\r\n2 Nomes do TR duplicado\r\n");
}

TEST_F(Generica, NamesAreComparedOnlyWithManholesThatAreThere)
{
    acad::BlockReference* t = Trecho(0);
    Escreve(t, "PV1", "ZZ");
    Escreve(t, "PV2", "YY");
    pvs[1]->Delete();
    Executa({"VERIFICAR TRs Gen.", "TR: Dados dos PVs"});
    EXPECT_EQ(LinhasDaLista(), std::vector<std::string>{"Nome do PVM:A0"});

    // The reach header gates its pass.
    NovaVerificacao();
    Executa({"VERIFICAR PVs Gen.", "TR: Dados dos PVs", "TR: Ver Coordenadas"});
    EXPECT_TRUE(LinhasDaLista().empty());
}

TEST_F(Generica, CorrectionsOfTheGenericFaultList)
{
    std::vector<acad::BlockReference*> tr;
    for (int k = 0; k < 5; ++k) tr.push_back(Trecho(k));
    Escreve(tr[0], "COMP", "12.00");
    Escreve(tr[1], "CONTRIB", "talvez");
    Escreve(tr[2], "CONTRIB", "talvez");
    Escreve(tr[3], "PAVMTO", "Grama");
    Escreve(tr[4], "MATERIAL", "Ferro");
    Escreve(tr[2], "MATERIAL", "Ferro");
    Executa(kTRs);
    ASSERT_EQ(LinhasDaLista(),
              (std::vector<std::string>{"Comp=20.00(12.00)", "Contribuição:(talvez)", "Contribuição:(talvez)",
                                        "Material:(Ferro)", "Pavimento:(Grama)", "Material:(Ferro)"}));
    respostas.Limpa();

    Responde(true);
    ClicaFalha(0);
    ASSERT_EQ(respostas.Mostradas().size(), 1u);
    EXPECT_EQ(respostas.Mostradas()[0].Titulo, "Comprimento incorreto");
    EXPECT_EQ(respostas.Mostradas()[0].Texto, "Alterar o valor de 12.00 para 20.00");
    EXPECT_EQ(Atributos(tr[0]).at("COMP"), "20.00");
    ASSERT_EQ(LinhasDaLista().size(), 5u);
    EXPECT_EQ(listas.Barra.Caption(), "5 itens");

    // The contribution dialog switched off; the pavement one still offered.
    respostas.Proxima<frmEditList>([](frmEditList& f) {
        EXPECT_EQ(f.Titulo.Caption(), "Trecho: A1-B1");
        EXPECT_EQ(f.Label1.Caption(), "'talvez' não indica uma contribuição válida. Selecione um dos itens abaixo.");
        ASSERT_EQ(f.List1.ListCount(), 3);
        EXPECT_EQ(f.List1.List(1), "UNI");
        forms::user::Click(f.Check2);
        forms::user::Click(f.CmdCancel);
    });
    ClicaFalha(0);
    respostas.Limpa();
    ClicaFalha(1);
    EXPECT_TRUE(respostas.Mostradas().empty());
    respostas.Proxima<frmEditList>([](frmEditList& f) {
        forms::user::Choose(f.List1, 0);
        forms::user::Click(f.CmdOK);
    });
    ClicaFalha(3);
    EXPECT_EQ(Atributos(tr[3]).at("PAVMTO"), "Terra");

    // A material for every listed fault with the same text, from the clicked one down.
    respostas.Proxima<frmEditList>([](frmEditList& f) {
        EXPECT_EQ(f.Label1.Caption(), "Ferro não é um material cadastrado. Selecione um dos itens abaixo.");
        forms::user::Choose(f.List1, 1);
        forms::user::Click(f.Check1);
        forms::user::Click(f.CmdOK);
    });
    ClicaFalha(2);
    const std::string escolhido = Atributos(tr[2]).at("MATERIAL");
    EXPECT_NE(escolhido, "Ferro");
    EXPECT_EQ(Atributos(tr[4]).at("MATERIAL"), escolhido);
    EXPECT_EQ(LinhasDaLista(), (std::vector<std::string>{"Contribuição:(talvez)", "Contribuição:(talvez)"}));

    NovaVerificacao();
    Executa({"VERIFICAR TRs Gen.", "TR: Materiais", "TR: Pavimentos", "TR: Comprimentos"});
    EXPECT_TRUE(LinhasDaLista().empty());
}

TEST_F(Generica, RemovalQuestionsAndFaultsCorrectedOnlyInTheDrawing)
{
    PVg(Ponto(0, 100), "");
    Escreve(PVg(Ponto(20, 100), "G2"), "CT", "cem?");
    PVg(Ponto(40, 100), "");
    Executa(kPVs);
    ASSERT_EQ(LinhasDaLista(), (std::vector<std::string>{"PV sem nome", "Erro em Cota", "PV sem nome",
                                                         "Número Duplicado", "Número Duplicado"}));
    respostas.Limpa();
    // Removing "PV sem nome" takes the later one too but not the elevation
    // fault, though both kinds share one switch.
    Responde(true, true);
    ClicaFalha(0);
    EXPECT_EQ(respostas.Mostradas()[0].Texto, "Quer remover este tipo de ocorrência da lista?");
    EXPECT_EQ(LinhasDaLista(), (std::vector<std::string>{"Erro em Cota", "Número Duplicado", "Número Duplicado"}));
    respostas.Limpa();
    ClicaFalha(0);
    EXPECT_TRUE(respostas.Mostradas().empty());

    // Duplicate names of reaches, missing coordinates and names that differ
    // stay until the drawing is corrected.
    NovaVerificacao();
    acad::BlockReference* a = Trecho(0);
    acad::BlockReference* b = Trecho(1);
    Escreve(b, "TRECHO", "A0-B0");
    Escreve(a, "PV2", "XX");
    Escreve(b, "IPV2", "?");
    Executa(kTRs);
    ASSERT_EQ(Tipos(), (std::vector<int>{20, 19, 12, 12}));
    respostas.Limpa();
    for (int i = 0; i < 4; ++i) ClicaFalha(i);
    EXPECT_TRUE(respostas.Mostradas().empty());
    EXPECT_EQ(LinhasDaLista().size(), 4u);
}
