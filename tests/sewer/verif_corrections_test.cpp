// Clicks on the fault list of the designed network's verification: removing a
// kind of fault, the note on missing manholes, the corrections by choice list
// written back and verified clean, the drop corrections, refused corrections
// of blocks gone or lacking the attribute, and a click held back while a
// removal walk yields.

#include <gtest/gtest.h>

#include <QTimer>

#include "VerifTestSupport.h"
#include "cad/modAcad.h"
#include "platform/acad/Block.h"
#include "platform/acad/TextEntities.h"
#include "sewer/clsSANVerif.h"
#include "sewer/frmEditList.h"
#include "shell/frmMsgBox.h"
#include "shell/frmTips.h"

using namespace veriftest;
using sewertest::Atributo;
using sewertest::Atributos;

namespace {

class Correcoes : public VerifTest {
protected:
    Correcoes() { NovaVerificacao(); }

    void NovaVerificacao() { Nova(verif, &clsSANVerif::ConfereErroMsg); }
    void Executa(const std::set<std::string>& Opcoes) { VerifTest::Executa(*verif, Opcoes); }
    // The message box's answer: "Sim" or "Não", ticking its check box first.
    void Responde(bool Sim, bool Marca = false)
    {
        respostas.Proxima<frmMsgBox>([Sim, Marca](frmMsgBox& m) {
            EXPECT_TRUE(m.Check1.Visible());
            EXPECT_EQ(m.Check1.Caption(), "Não mostrar mais esta mensagem.");
            if (Marca) forms::user::Click(m.Check1);
            forms::user::Click(Sim ? m.CmdOK : m.CmdCancel);
        });
    }
    static int Linha(forms::ListBox& L, const std::string& Texto)
    {
        for (int i = 0; i < L.ListCount(); ++i)
            if (L.List(i) == Texto) return i;
        return -1;
    }

    std::unique_ptr<clsSANVerif> verif;
};

}  // namespace

TEST_F(Correcoes, AClickWithNothingChosenDoesNothing)
{
    PVd(Ponto(0, 0), "PV-1", 100, 9);
    Executa({"VERIFICAR PVs", "PV: Etapas"});
    respostas.Proxima<frmEditList>([](frmEditList& f) { forms::user::Click(f.CmdCancel); });
    listas.Falhas.SetListIndex(0);
    EXPECT_EQ(respostas.Pendentes(), 0u);
    EXPECT_EQ(listas.Barra.Caption(), "1 itens");
    respostas.Limpa();
    listas.Barra.SetCaption("?");
    listas.Falhas.SetListIndex(-1);  // a click on no line
    EXPECT_TRUE(respostas.Mostradas().empty());
    EXPECT_EQ(listas.Barra.Caption(), "?");
    // An empty list: the line clicked is no fault.
    listas.Falhas.Clear();
    listas.Falhas.AddItem("?");
    ErrList.clear();
    ClicaFalha(0);
    EXPECT_TRUE(respostas.Mostradas().empty());
}

TEST_F(Correcoes, AKindOfFaultLeavesTheListFromTheClickedLineDown)
{
    PVd(Ponto(0, 0), "X", 100);
    PVd(Ponto(20, 0), "Y", 100, 9);
    PVd(Ponto(40, 0), "X", 100);
    Executa({"VERIFICAR PVs", "PV: Nomes duplicados", "PV: Etapas"});
    ASSERT_EQ(LinhasDaLista(), (std::vector<std::string>{"Etapa: (9)", "Número Duplicado", "Número Duplicado"}));
    respostas.Limpa();

    Responde(true);
    ClicaFalha(2);
    ASSERT_EQ(respostas.Mostradas().size(), 1u);
    EXPECT_EQ(respostas.Mostradas()[0].Titulo, "Use a ferramenta adequada!");
    EXPECT_EQ(respostas.Mostradas()[0].Texto, "Quer remover este tipo de ocorrência da lista?");
    // The same fault above the clicked line stays; the drawing is untouched.
    EXPECT_EQ(LinhasDaLista(), (std::vector<std::string>{"Etapa: (9)", "Número Duplicado"}));
    EXPECT_EQ(ErrList[1].ErrType, 1);
    EXPECT_EQ(Marcas().size(), 3u);
    EXPECT_EQ(listas.Barra.Caption(), "2 itens");

    // "Não" with the box ticked: nothing leaves, and the question is not asked again.
    Responde(false, true);
    ClicaFalha(1);
    EXPECT_EQ(LinhasDaLista().size(), 2u);
    respostas.Limpa();
    respostas.Proxima<frmEditList>([](frmEditList& f) { forms::user::Click(f.CmdCancel); });
    ClicaFalha(0);
    ClicaFalha(1);
    EXPECT_EQ(respostas.Mostradas().size(), 1u);  // the stage dialog, not the question
    EXPECT_EQ(respostas.Mostradas()[0].Tipo, "frmEditList");
}

TEST_F(Correcoes, AMissingManholeIsExplainedAndStaysListed)
{
    acad::BlockReference* a = PVd(Ponto(0, 0), "PV-1", 100.5);
    acad::BlockReference* b = PVd(Ponto(60, 0), "PV-2", 99.9);
    TRd(a, b, "T-1", "60.00", "0.010000");
    b->Delete();
    Executa({"VERIFICAR TRECHOS"});
    ASSERT_EQ(LinhasDaLista(), std::vector<std::string>{"PVJ não localizado"});
    respostas.Limpa();
    ClicaFalha(0);
    EXPECT_EQ(
        respostas.Relatorios(),
        std::vector<std::string>{"Trecho: T-1\r\n\r\nAs coordenadas do trecho não são coerentes ou o PV não existe "
                                 "no desenho.\r\n\r\nInsira o PV.\r\nPode ser necessário redesenhar os trechos que "
                                 "ligam a este PV!"});
    EXPECT_EQ(LinhasDaLista(), std::vector<std::string>{"PVJ não localizado"});
}

TEST_F(Correcoes, AStageChosenForAllSimilarFaultsIsWrittenAndVerifiesClean)
{
    acad::BlockReference* p1 = PVd(Ponto(0, 0), "PV-1", 100, 9);
    acad::BlockReference* p2 = PVd(Ponto(20, 0), "PV-2", 100, 8);
    acad::BlockReference* p3 = PVd(Ponto(40, 0), "PV-3", 100, 9);
    Executa({"VERIFICAR PVs", "PV: Etapas"});
    ASSERT_EQ(LinhasDaLista(), (std::vector<std::string>{"Etapa: (9)", "Etapa: (8)", "Etapa: (9)"}));

    respostas.Proxima<frmEditList>([](frmEditList& f) {
        EXPECT_EQ(f.Titulo.Caption(), "PV: PV-1");
        EXPECT_EQ(f.Label1.Caption(), "'9' não indica uma etapa válida. Selecione um dos itens abaixo.");
        ASSERT_EQ(f.List1.ListCount(), 5);
        EXPECT_EQ(f.List1.List(2), "2a. Etapa");
        EXPECT_TRUE(f.Check1.Visible());
        EXPECT_GT(f.List2.Left(), f.Width());  // out of sight but for diameters
        // "OK" before a choice keeps the dialog open.
        forms::user::Click(f.CmdOK);
        EXPECT_TRUE(f.Visible());
        forms::user::Choose(f.List1, 2);
        EXPECT_EQ(f.Label2.Caption(), "2");
        forms::user::Click(f.Check1);
        forms::user::Click(f.CmdOK);
    });
    ClicaFalha(0);
    EXPECT_EQ(respostas.Pendentes(), 0u);
    EXPECT_EQ(Atributos(p1).at("ET"), "2");
    EXPECT_EQ(Atributos(p2).at("ET"), "8");
    EXPECT_EQ(Atributos(p3).at("ET"), "2");
    EXPECT_EQ(LinhasDaLista(), std::vector<std::string>{"Etapa: (8)"});
    EXPECT_EQ(ErrList[0].ObjectId, p2->ObjectID());
    EXPECT_EQ(listas.Barra.Caption(), "1 itens");

    // Cancelled, with "Não mostrar mais": nothing written, and no more offers.
    respostas.Proxima<frmEditList>([](frmEditList& f) {
        forms::user::Choose(f.List1, 1);
        forms::user::Click(f.Check2);
        forms::user::Click(f.CmdCancel);
    });
    ClicaFalha(0);
    EXPECT_EQ(Atributos(p2).at("ET"), "8");
    respostas.Limpa();
    ClicaFalha(0);
    EXPECT_TRUE(respostas.Mostradas().empty());

    // A new prepare forgets it; the corrected manholes verify clean.
    NovaVerificacao();
    Executa({"VERIFICAR PVs", "PV: Etapas"});
    EXPECT_EQ(LinhasDaLista(), std::vector<std::string>{"Etapa: (8)"});
    respostas.Proxima<frmEditList>([](frmEditList& f) {
        forms::user::Choose(f.List1, 0);
        forms::user::Click(f.CmdOK);
    });
    ClicaFalha(0);
    EXPECT_EQ(Atributos(p2).at("ET"), "0");
    EXPECT_TRUE(LinhasDaLista().empty());
}

TEST_F(Correcoes, MaterialPavementAndDiameterAreChosenFromTheCatalogue)
{
    acad::BlockReference* p1 = PVd(Ponto(0, 0), "PV-1", 100.5);
    acad::BlockReference* p2 = PVd(Ponto(60, 0), "PV-2", 99.9);
    acad::BlockReference* p3 = PVd(Ponto(120, 0), "PV-3", 99.3);
    acad::BlockReference* t1 = TRd(p1, p2, "T-1", "60.00", "0.010000", "150", "Ferro", 1, "Grama");
    acad::BlockReference* t2 = TRd(p2, p3, "T-2", "60.00", "0.010000", "175", "PVC");
    Executa({"VERIFICAR TRECHOS", "TR: Materiais", "TR: Pavimentos"});
    ASSERT_EQ(LinhasDaLista(),
              (std::vector<std::string>{"Material: (Ferro)", "Pavimento: (Grama)", "Diam: (175) em PVC"}));

    respostas.Proxima<frmEditList>([](frmEditList& f) {
        EXPECT_EQ(f.Titulo.Caption(), "Trecho: T-1");
        EXPECT_EQ(f.Label1.Caption(), "Ferro não é um material cadastrado. Selecione um dos itens abaixo.");
        forms::user::Choose(f.List1, Linha(f.List1, "PVC"));
        forms::user::Click(f.CmdOK);
    });
    ClicaFalha(0);
    EXPECT_EQ(Atributos(t1).at("MAT"), "PVC");
    respostas.Proxima<frmEditList>([](frmEditList& f) {
        EXPECT_EQ(f.Label1.Caption(), "Grama não é um pavimento cadastrado. Selecione um dos itens abaixo.");
        forms::user::Choose(f.List1, Linha(f.List1, "Asfalto"));
        forms::user::Click(f.CmdOK);
    });
    ClicaFalha(0);
    EXPECT_EQ(Atributos(t1).at("PAVMTO"), "Asfalto");

    respostas.Proxima<frmEditList>([](frmEditList& f) {
        EXPECT_EQ(f.Titulo.Caption(), "Trecho: T-2");
        EXPECT_EQ(f.Label1.Caption(), "O diametro '175' não existe para PVC");
        EXPECT_FALSE(f.Check1.Visible());
        EXPECT_DOUBLE_EQ(f.List2.Left(), 3720);
        EXPECT_DOUBLE_EQ(f.List1.Width(), 2535);
        forms::user::Choose(f.List1, Linha(f.List1, "PVC"));
        EXPECT_EQ(f.List2.List(2), "200");
        forms::user::Click(f.CmdOK);  // a material alone is not enough
        EXPECT_TRUE(f.Visible());
        forms::user::Choose(f.List2, 2);
        EXPECT_EQ(f.Label3.Caption(), "200");
        forms::user::Click(f.CmdOK);
    });
    ClicaFalha(0);
    EXPECT_EQ(Atributos(t2).at("DD"), "200-60.00");
    EXPECT_EQ(Atributos(t2).at("MAT"), "PVC");
    EXPECT_TRUE(LinhasDaLista().empty());

    NovaVerificacao();
    Executa({"VERIFICAR TRECHOS", "TR: Materiais", "TR: Pavimentos"});
    EXPECT_TRUE(LinhasDaLista().empty());
}

TEST_F(Correcoes, DropPipeAndStepAreAppliedOnAnswer)
{
    acad::BlockReference* p1 = PVd(Ponto(0, 0), "PV-1", 100);
    acad::BlockReference* p2 = PVd(Ponto(60, 0), "PV-2", 98.8);
    acad::BlockReference* p3 = PVd(Ponto(120, 0), "PV-3", 98);
    acad::BlockReference* queda = TRd(p1, p2, "T-1", "60.00", "0.010000");
    acad::BlockReference* degrau = TRd(p2, p3, "T-2", "60.00", "0.010000");
    Atributo(queda, "TQ")->SetTextString("");
    Atributo(degrau, "DG")->SetTextString("");
    Executa({"VERIFICAR TRECHOS", "TR: Materiais"});
    ASSERT_EQ(LinhasDaLista(), (std::vector<std::string>{"Use Tubo de Queda", "Use Degrau"}));

    // "Não" changes nothing.
    Responde(false);
    ClicaFalha(0);
    EXPECT_EQ(respostas.Mostradas().back().Titulo, "Aplicar Tubo de Queda");
    EXPECT_EQ(respostas.Mostradas().back().Texto, "Incluir a representação de Tubo de Queda?");
    EXPECT_EQ(Atributos(queda).at("TQ"), "");
    Responde(true);
    ClicaFalha(0);
    EXPECT_EQ(Atributos(queda).at("TQ"), "O");
    EXPECT_EQ(Atributos(queda).at("DG"), "O");
    Responde(true);
    ClicaFalha(0);
    EXPECT_EQ(respostas.Mostradas().back().Titulo, "Aplicar Degrau");
    EXPECT_EQ(Atributos(degrau).at("DG"), "O");
    EXPECT_EQ(Atributos(degrau).at("TQ"), "");
    EXPECT_TRUE(LinhasDaLista().empty());

    NovaVerificacao();
    Executa({"VERIFICAR TRECHOS", "TR: Materiais", "TR: Declividades"});
    EXPECT_TRUE(LinhasDaLista().empty());
}

TEST_F(Correcoes, ABlockGoneOrWithoutTheAttributeIsToldAndNothingChanges)
{
    acad::BlockReference* p1 = PVd(Ponto(0, 0), "PV-1", 100, 9);
    // A manhole block of the user's without a stage.
    acad::Block* def = Doc().Blocks().Add({0, 0, 0}, "E-PVX");
    def->AddCircle({0, 0, 0}, 1);
    def->AddAttribute(1, 0, "", {1, 1, 0}, "NUMERO", "");
    acad::BlockReference* x = gModelSpace->InsertBlock({20, 0, 0}, "E-PVX", 1, 1, 1, 0);
    Executa({"VERIFICAR PVs", "PV: Etapas"});
    ASSERT_EQ(LinhasDaLista(), (std::vector<std::string>{"Etapa: (9)", "Etapa: ()"}));
    EXPECT_EQ(ErrList[1].ObjectId, x->ObjectID());
    respostas.Limpa();

    ClicaFalha(1);
    EXPECT_EQ(respostas.Mensagens(), std::vector<std::string>{"O bloco E-PVX desta ocorrência não tem o atributo ET."});
    p1->Delete();
    ClicaFalha(0);
    EXPECT_EQ(respostas.Mensagens().back(),
              "O bloco desta ocorrência não existe mais no desenho. Execute a verificação novamente.");
    EXPECT_EQ(respostas.Mostradas().size(), 2u);  // no dialog opened
    EXPECT_EQ(LinhasDaLista().size(), 2u);
}

TEST_F(Correcoes, AClickDuringARemovalWalkWaitsForTheWalkToEnd)
{
    PVd(Ponto(0, 0), "X", 100);
    PVd(Ponto(20, 0), "X", 100);
    PVd(Ponto(40, 0), "X", 100);
    PVd(Ponto(60, 0), "Z", 100, 9);
    Executa({"VERIFICAR PVs", "PV: Nomes duplicados", "PV: Etapas"});
    ASSERT_EQ(LinhasDaLista().size(), 6u);
    ASSERT_EQ(listas.Falhas.List(5), "Etapa: (9)");

    // While the walk yields, the user clicks the stage fault.
    QTimer timer;
    timer.setInterval(0);
    bool clicou = false;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (clicou || LinhasDaLista().size() != 5) return;
        clicou = true;
        forms::user::Choose(listas.Falhas, Linha(listas.Falhas, "Etapa: (9)"));
    });
    std::vector<std::string> durante;
    Responde(true);
    respostas.Proxima<frmEditList>([&](frmEditList& f) {
        durante = LinhasDaLista();
        forms::user::Click(f.CmdCancel);
    });
    timer.start();
    ClicaFalha(0);
    timer.stop();

    EXPECT_TRUE(clicou);
    // The held click was handled once the walk had taken every duplicate out.
    EXPECT_EQ(durante, std::vector<std::string>{"Etapa: (9)"});
    EXPECT_EQ(respostas.Pendentes(), 0u);
    EXPECT_EQ(LinhasDaLista(), std::vector<std::string>{"Etapa: (9)"});
    EXPECT_EQ(ErrList[0].ErrType, 3);
}

TEST_F(Correcoes, AClickDuringTheRunWaitsForTheRunToEnd)
{
    for (int i = 0; i < 10; ++i) PVd(Ponto(i * 20.0, 0), "PV-" + std::to_string(i), 100, 9);
    QTimer timer;
    timer.setInterval(0);
    bool clicou = false;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (clicou || listas.Falhas.ListCount() == 0) return;
        clicou = true;
        forms::user::Choose(listas.Falhas, 0);
    });
    int linhasAoCorrigir = 0;
    respostas.Proxima<frmTips>([](frmTips& f) { forms::user::Click(f.cmdOK); });
    respostas.Proxima<frmEditList>([&](frmEditList& f) {
        linhasAoCorrigir = listas.Falhas.ListCount();
        forms::user::Click(f.CmdCancel);
    });
    timer.start();
    Executa({"VERIFICAR PVs", "PV: Etapas"});
    timer.stop();
    EXPECT_TRUE(clicou);
    // The report first, then the correction of the fault clicked.
    ASSERT_EQ(respostas.Mostradas().size(), 2u);
    EXPECT_EQ(respostas.Mostradas()[0].Tipo, "frmTips");
    EXPECT_EQ(respostas.Mostradas()[1].Tipo, "frmEditList");
    EXPECT_EQ(linhasAoCorrigir, 10);
}
