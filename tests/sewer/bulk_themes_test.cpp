// Bulk change of the network's attributes and thematic marking, through the
// drawing host with scripted picks: the editing worker on its own, and the
// panel's bulk-change and theme tabs with their grid and clipboard.

#include <gtest/gtest.h>

#include <cmath>

#include "PanelTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modSelecao.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/acad/TextEntities.h"
#include "platform/os/Clipboard.h"
#include "sewer/clsSANEdit.h"
#include "shell/modGlobais.h"

using namespace sewertest;
using namespace forms;

namespace {

// A small network: three designed manholes and two designed reaches along
// the X axis, two generic manholes and one generic reach below them.
//   PV-1 (0,0) ET 1, PV-2 (40,0) ET 1, PV-3 (80,0) ET 2
//   T-1 PV-1→PV-2: PVC, ET 1, Asfalto;  T-2 PV-2→PV-3: Cerâmico, ET 2, Terra
//   G-1 (0,-50)→(40,-50): PVC, ET 1, Asfalto, SIM
template <class Base>
class Rede : public Base {
protected:
    void DesenhaRede()
    {
        clsSANDes& des = this->des;
        pv1 = des.DrawPV(Ponto(0, 0), 0.0, "E-PV", "PV-1", "102.000", "100.500", "1.500", 1, false);
        pv2 = des.DrawPV(Ponto(40, 0), 0.0, "E-PV", "PV-2", "101.600", "100.100", "1.500", 1, false);
        pv3 = des.DrawPV(Ponto(80, 0), 0.0, "E-PV", "PV-3", "101.200", "99.700", "1.500", 2, false);
        std::string codigo;
        tr1 = des.DrawTR(pv1, pv2, "150", "40.00", "0.010000", "PVC", 1, "T-1", "Asfalto", codigo);
        tr2 = des.DrawTR(pv2, pv3, "150", "40.00", "0.010000", "Cerâmico", 2, "T-2", "Terra", codigo);
        acad::BlockReference* g1 = des.InsertPVGen(Ponto(0, -50), "1", "102.000", 1);
        acad::BlockReference* g2 = des.InsertPVGen(Ponto(40, -50), "2", "101.000", 1);
        gen = des.InsertTRGenObjs(g1, g2, 1, "SIM", "Asfalto", "PVC");
        this->mensagens.Limpa();
    }
    // The user's pick: a crossing over the whole network, then Enter.
    void EscolheTudo() { this->script->Crossing({-20, -70, 0}, {100, 20, 0}).Enter(); }
    std::string Atr(acad::BlockReference* B, const std::string& Tag) { return GetAtributo(Tag, B).value_or("?"); }
    // Model-space entities on the verification layer, of one kind.
    template <class T>
    std::vector<T*> Marcas()
    {
        std::vector<T*> v;
        for (T* e : this->template Todos<T>())
            if (e->Layer() == "0-Conferencia") v.push_back(e);
        return v;
    }

    acad::BlockReference *pv1 = nullptr, *pv2 = nullptr, *pv3 = nullptr, *tr1 = nullptr, *tr2 = nullptr, *gen = nullptr;
};

class Edicao : public Rede<SewerTest> {
protected:
    Edicao() { DesenhaRede(); }
    clsSANEdit ed;
};

class PainelEdicao : public Rede<PainelTest> {
protected:
    PainelEdicao()
    {
        SD.SetInterface(1);
        DesenhaRede();
    }
    void Escolhe(ComboBox& C, const std::string& Texto)
    {
        for (int i = 0; i < C.ListCount(); ++i)
            if (C.List(i) == Texto) return user::Choose(C, i);
        ADD_FAILURE() << Texto << " não está na lista " << C.Name();
    }
    void Aba(int i)
    {
        user::ChooseTab(SD.SSTabBrivan, i);
        ASSERT_EQ(SD.SSTabBrivan.Tab(), i);
    }
};

}  // namespace

TEST_F(Edicao, SelectionKeepsWhatEqualsEveryGivenValueExactly)
{
    // No value: every manhole and reach picked stays, highlighted (the
    // generic manholes are "E-PV*" blocks too).
    EscolheTudo();
    EXPECT_EQ(ed.CHSelect("", "", "", ""), 8);
    EXPECT_TRUE(pv1->IsHighlighted());
    EXPECT_TRUE(gen->IsHighlighted());
    EXPECT_EQ(script->Prompts().back(), "Selecione objetos: ");

    // Material only: manholes go; MAT of designed and MATERIAL of generic
    // reaches are both compared.
    EscolheTudo();
    EXPECT_EQ(ed.CHSelect("PVC", "", "", ""), 2);

    // Stage only: manholes and reaches, compared as written.
    EscolheTudo();
    EXPECT_EQ(ed.CHSelect("", "", "", "1"), 6);
    SetAtributo("ET", " 1", pv2);
    EscolheTudo();
    EXPECT_EQ(ed.CHSelect("", "", "", "1"), 5);
    SetAtributo("ET", "1", pv2);

    // Contribution: designed reaches carry none and are not dropped for it.
    EscolheTudo();
    EXPECT_EQ(ed.CHSelect("", "", "NAO", ""), 2);
    EscolheTudo();
    EXPECT_EQ(ed.CHSelect("", "", "SIM", ""), 3);

    // Failing two criteria drops a block once; all passing keeps all.
    EscolheTudo();
    EXPECT_EQ(ed.CHSelect("Cerâmico", "Asfalto", "", ""), 0);
    EscolheTudo();
    EXPECT_EQ(ed.CHSelect("", "", "", "1"), 6);
    script->Crossing({-20, -5, 0}, {60, 5, 0}).Enter();
    EXPECT_EQ(ed.CHSelect("PVC", "Asfalto", "", "1"), 3);  // PV-1, PV-2 and T-1
    EXPECT_EQ(ed.Escolhidos(), 3u);
}

TEST_F(Edicao, ChangeWritesTheGivenValuesAndRefusesAStageThatIsNoWholeNumber)
{
    EscolheTudo();
    ASSERT_EQ(ed.CHSelect("", "", "", ""), 8);

    // Nothing given: nothing written, the highlight goes.
    EXPECT_TRUE(ed.CHChange("", "", "", ""));
    EXPECT_EQ(Atr(tr1, "MAT"), "PVC");
    EXPECT_FALSE(pv1->IsHighlighted());

    // A stage that is no whole number is refused before anything is written.
    EXPECT_FALSE(ed.CHChange("Cerâmico", "", "", "2a"));
    ASSERT_FALSE(mensagens.Lista().empty());
    EXPECT_NE(mensagens.Lista().back().Texto.find("não é um número inteiro"), std::string::npos);
    EXPECT_EQ(Atr(tr1, "MAT"), "PVC");
    EXPECT_EQ(Atr(pv1, "ET"), "1");

    // The stage is written trimmed, the other values as given, each only
    // where its tag is.
    EXPECT_TRUE(ed.CHChange("Cerâmico", "Terra", "UNI", " 3 "));
    for (acad::BlockReference* b : {pv1, pv2, pv3, tr1, tr2, gen}) EXPECT_EQ(Atr(b, "ET"), "3") << b->Name();
    EXPECT_EQ(Atr(tr1, "MAT"), "Cerâmico");
    EXPECT_EQ(Atr(gen, "MATERIAL"), "Cerâmico");
    EXPECT_EQ(Atr(tr2, "PAVMTO"), "Terra");
    EXPECT_EQ(Atr(gen, "CONTRIB"), "UNI");
    EXPECT_FALSE(GetAtributo("CONTRIB", tr1).has_value());
}

TEST_F(Edicao, ThePickBelongsToTheWorkerAcrossOtherCommandsAndErasures)
{
    script->Crossing({-20, -5, 0}, {100, 5, 0}).Enter();
    ASSERT_EQ(ed.CHSelect("", "", "", ""), 5);

    // Another command fills "SS1" with something else; a picked reach is erased.
    acad::SelectionSet* ss = RecriaConjunto("SS1");
    ss->Select(5, {}, {}, {2}, {std::string("E-PVGEN")});
    tr2->Delete();

    EXPECT_TRUE(ed.CHChange("", "", "", "4"));
    for (acad::BlockReference* b : {pv1, pv2, pv3, tr1}) EXPECT_EQ(Atr(b, "ET"), "4");
    EXPECT_EQ(Atr(gen, "ET"), "1");  // not picked, though "SS1" holds the generic PVs now
    EXPECT_TRUE(mensagens.Lista().empty());

    // A change before any pick, or once the pick's drawing is gone, does nothing.
    clsSANEdit novo;
    EXPECT_TRUE(novo.CHChange("PVC", "", "", ""));
}

TEST_F(Edicao, ThemesTallyTrimmedValuesInOrderAndMarkInTheClassColour)
{
    // Three manholes of stage 1, two reaches of stage 2 (the generic ones
    // left out of the pick).
    SetAtributo("ET", "1", pv3);
    SetAtributo("ET", "2", tr1);
    script->Crossing({-20, -5, 0}, {100, 5, 0}).Enter();
    ed.TEMA_Select("Etapa");
    ASSERT_EQ(gTemas.size(), 2u);
    EXPECT_EQ(gTemas[0].valor, "1");
    EXPECT_EQ(gTemas[0].contagem, 3);
    EXPECT_EQ(gTemas[1].valor, "2");
    EXPECT_EQ(gTemas[1].contagem, 2);

    ed.TEMA_Print();
    auto erros = Marcas<acad::BlockReference>();
    ASSERT_EQ(erros.size(), 3u);
    for (acad::BlockReference* m : erros) {
        EXPECT_EQ(m->Color(), 1);
        EXPECT_DOUBLE_EQ(m->XScaleFactor(), 2.0);
        EXPECT_DOUBLE_EQ(m->Rotation(), 0.0);
    }
    EXPECT_TRUE(Perto(erros[0]->InsertionPoint(), Ponto(0, 0, 0)));
    auto linhas = Marcas<acad::LWPolyline>();
    ASSERT_EQ(linhas.size(), 2u);
    for (acad::LWPolyline* l : linhas) {
        EXPECT_EQ(l->Color(), 2);
        EXPECT_DOUBLE_EQ(l->ConstantWidth(), 0.5);
    }
    // A reach 40 long gets a mark 36 long, 2 in from each end.
    const auto v = cadtest::Vertices(linhas[0]->Coordinates());
    ASSERT_EQ(v.size(), 2u);
    EXPECT_TRUE(Perto(v[0], Ponto(2, 0)));
    EXPECT_TRUE(Perto(v[1], Ponto(38, 0)));

    // A new search clears the marks and replaces the tally. Material: MAT and
    // MATERIAL in one class; blanks around a value fall into the same class
    // when tallied, but the block carrying them is not marked.
    SetAtributo("MATERIAL", " PVC ", gen);
    EscolheTudo();
    ed.TEMA_Select("Material");
    EXPECT_TRUE(Marcas<acad::LWPolyline>().empty());
    ASSERT_EQ(gTemas.size(), 2u);
    EXPECT_EQ(gTemas[0].valor, "PVC");
    EXPECT_EQ(gTemas[0].contagem, 2);
    EXPECT_EQ(gTemas[1].valor, "Cerâmico");
    ed.TEMA_Print();
    linhas = Marcas<acad::LWPolyline>();
    ASSERT_EQ(linhas.size(), 2u);
    EXPECT_EQ(linhas[0]->Color(), 1);
    EXPECT_EQ(linhas[1]->Color(), 2);
    EXPECT_TRUE(Marcas<acad::BlockReference>().empty());

    // A blank value is a class of its own, wherever it is met.
    SetAtributo("PAVMTO", "", tr2);
    EscolheTudo();
    ed.TEMA_Select("Pavimento");
    ASSERT_EQ(gTemas.size(), 2u);
    EXPECT_EQ(gTemas[0].valor, "Asfalto");
    EXPECT_EQ(gTemas[0].contagem, 2);
    EXPECT_EQ(gTemas[1].valor, "");
    EXPECT_EQ(gTemas[1].contagem, 1);
}

TEST_F(Edicao, ThemeEdgesManyClassesShortReachesAndNothingToTally)
{
    // Nine reaches of nine pavements: the seventh and later classes in 7, 8, 9.
    const char* pav[] = {"P1", "P2", "P3", "P4", "P5", "P6", "P7", "P8", "P9"};
    std::string codigo;
    std::vector<acad::BlockReference*> pvs;
    for (int i = 0; i <= 9; ++i)
        pvs.push_back(des.DrawPV(Ponto(i * 10.0, 200), 0.0, "E-PV", "Q" + std::to_string(i), "102.000", "100.000",
                                 "2.000", 1, false));
    for (int i = 0; i < 9; ++i)
        des.DrawTR(pvs[i], pvs[i + 1], "150", "10.00", "0.010000", "PVC", 1, "R" + std::to_string(i), pav[i], codigo);
    app->ZoomCenter({45, 200, 0}, 100);
    script->Crossing({-5, 195, 0}, {95, 205, 0}).Enter();
    ed.TEMA_Select("Pavimento");
    ASSERT_EQ(gTemas.size(), 9u);
    ed.TEMA_Print();
    const auto linhas = Marcas<acad::LWPolyline>();
    ASSERT_EQ(linhas.size(), 9u);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(linhas[static_cast<std::size_t>(i)]->Color(), i + 1);
    // A reach 10 long: a mark 6 long, centred.
    const auto v = cadtest::Vertices(linhas[0]->Coordinates());
    EXPECT_TRUE(Perto(v[0], Ponto(2, 200)));
    EXPECT_TRUE(Perto(v[1], Ponto(8, 200)));
    // Past the host's last index the colours start again at 1.
    EXPECT_EQ(CorDoTema(0), 1);
    EXPECT_EQ(CorDoTema(254), 255);
    EXPECT_EQ(CorDoTema(255), 1);

    // A reach shorter than 4: the two moves one after the other.
    acad::BlockReference* a = des.DrawPV(Ponto(0, 300), 0.0, "E-PV", "S1", "102.000", "100.000", "2.000", 1, false);
    acad::BlockReference* b = des.DrawPV(Ponto(3, 300), 0.0, "E-PV", "S2", "102.000", "99.970", "2.030", 1, false);
    des.DrawTR(a, b, "150", "3.00", "0.010000", "PVC", 1, "S", "Terra", codigo);
    app->ZoomCenter({0, 300, 0}, 100);
    script->Crossing({-1, 299, 0}, {4, 301, 0}).Enter();
    ed.TEMA_Select("Pavimento");
    ed.TEMA_Print();
    const auto curta = Marcas<acad::LWPolyline>();
    ASSERT_EQ(curta.size(), 1u);
    const auto w = cadtest::Vertices(curta[0]->Coordinates());
    EXPECT_TRUE(Perto(w[0], Ponto(2, 300)));
    EXPECT_TRUE(Perto(w[1], Ponto(1, 300)));

    // No block with the tag: one empty class of count 0, nothing marked.
    app->ZoomCenter({0, 0, 0}, 300);
    script->Crossing({-20, -5, 0}, {100, 5, 0}).Enter();
    ed.TEMA_Select("Contribuição");
    ASSERT_EQ(gTemas.size(), 1u);
    EXPECT_EQ(gTemas[0].valor, "");
    EXPECT_EQ(gTemas[0].contagem, 0);
    ed.TEMA_Print();
    EXPECT_TRUE(Marcas<acad::LWPolyline>().empty());
    EXPECT_TRUE(Marcas<acad::BlockReference>().empty());
}

TEST_F(Edicao, WithoutTheHostNothingIsPickedAndTheTallyStays)
{
    script->Crossing({-20, -5, 0}, {100, 5, 0}).Enter();
    ed.TEMA_Select("Etapa");
    const auto antes = gTemas;
    registro.reset();
    mensagens.Limpa();
    EXPECT_EQ(ed.CHSelect("", "", "", ""), 0);
    ed.TEMA_Select("Material");
    ASSERT_EQ(gTemas.size(), antes.size());
    EXPECT_EQ(gTemas[0].valor, antes[0].valor);
    ASSERT_FALSE(mensagens.Lista().empty());
    EXPECT_NE(mensagens.Lista().front().Texto.find("Inicie o AutoCAD"), std::string::npos);
}

// ---------------------------------------------------------------- the panel

TEST_F(PainelEdicao, TabChangeResetsTheCaptureTabAndMakesTheEditingWorker)
{
    // The capture tab as a capture leaves it, then chosen again.
    SD.SANCaptureCmd.SetEnabled(false);
    SD.SANAutoNumColChk.SetEnabled(true);
    SD.SANAutoNumColChk.SetValue(vbChecked);
    SD.SANAutoNumPVChk.SetEnabled(true);
    SD.SANAutoNumPVChk.SetValue(vbChecked);
    SD.SANSaveDXFCmd.SetEnabled(true);
    SD.frmColetor.SetEnabled(true);
    SD.SANNumereCmd.SetEnabled(true);
    SD.SANColIniTxt.SetText("007");
    SD.SANPVIniTxt.SetText("12");
    SD.SANColetorLbl.SetEnabled(true);
    SD.Progress1.Progress_Start(10, "Lendo objetos");
    SD.Progress1.Progress();
    Aba(2);
    Aba(0);
    EXPECT_TRUE(SD.SANCaptureCmd.Enabled());
    for (CheckBox* c : {&SD.SANAutoNumColChk, &SD.SANAutoNumPVChk}) {
        EXPECT_EQ(c->Value(), vbUnchecked) << c->Name();
        EXPECT_FALSE(c->Enabled()) << c->Name();
    }
    for (TextBox* t : {&SD.SANColIniTxt, &SD.SANPVIniTxt, &SD.SANPrefixtxt}) {
        EXPECT_FALSE(t->Enabled()) << t->Name();
        EXPECT_EQ(t->BackColor(), vbButtonFace) << t->Name();
    }
    for (Control* c : {static_cast<Control*>(&SD.SANSaveDXFCmd), static_cast<Control*>(&SD.frmColetor),
                       static_cast<Control*>(&SD.SANNumereCmd), static_cast<Control*>(&SD.SANColetorLbl)})
        EXPECT_FALSE(c->Enabled()) << c->Name();
    EXPECT_EQ(SD.SANColIniTxt.Text(), "001");
    EXPECT_EQ(SD.SANPVIniTxt.Text(), "001");
    EXPECT_EQ(SD.SANColetorLbl.Caption(), "001");
    EXPECT_EQ(SD.Progress1.CurValue(), 0);

    // The bulk-change tab: with "Filtrar" unticked every network block is
    // picked, whatever the lists say.
    Aba(4);
    user::Choose(SD.CHMatCbo, 1);
    EscolheTudo();
    user::Click(SD.CHSelectCmd);
    EXPECT_EQ(SD.CHlbl.Caption(), "8 objetos");
    EXPECT_TRUE(SD.CHChangeCmd.Enabled());
}

TEST_F(PainelEdicao, ThemeGridColoursRowsAndCopiesTheCellWithC)
{
    // Eight pavements over eight reaches: rows 6 to 8 magenta.
    const char* pav[] = {"A", "B", "C", "D", "E", "F", "G", "H"};
    std::string codigo;
    std::vector<acad::BlockReference*> pvs;
    for (int i = 0; i <= 8; ++i)
        pvs.push_back(des.DrawPV(Ponto(i * 10.0, 200), 0.0, "E-PV", "Q" + std::to_string(i), "102.000", "100.000",
                                 "2.000", 1, false));
    for (int i = 0; i < 8; ++i)
        des.DrawTR(pvs[i], pvs[i + 1], "150", "10.00", "0.010000", "PVC", 1, "R" + std::to_string(i), pav[i], codigo);
    app->ZoomCenter({40, 200, 0}, 100);

    Aba(5);
    Escolhe(SD.TEMACbo, "Pavimento");
    EXPECT_FALSE(SD.TEMAPrintCmd.Enabled());
    script->Crossing({-5, 195, 0}, {85, 205, 0}).Enter();
    user::Click(SD.TEMAPesqCmd);
    ASSERT_EQ(SD.TEMAFlg.Rows(), 9);
    const long cores[] = {0xFF, 0xFFFF, 0xFF00, 0xFFFF00, 0xFF0000, 0xFF00FF, 0xFF00FF, 0xFF00FF};
    for (int r = 1; r <= 8; ++r) {
        EXPECT_EQ(SD.TEMAFlg.TextMatrix(r, 1), pav[r - 1]);
        EXPECT_EQ(SD.TEMAFlg.TextMatrix(r, 2), "1");
        EXPECT_EQ(forms::CellBackColorAt(SD.TEMAFlg, r, 0), cores[r - 1]) << "linha " << r;
    }
    EXPECT_TRUE(SD.TEMAPrintCmd.Enabled());
    EXPECT_TRUE(SD.TEMAPesqCmd.Enabled());

    // "C" on the grid copies the current cell; another key does nothing.
    SD.TEMAFlg.SetRow(3);
    SD.TEMAFlg.SetCol(1);
    os::Clipboard::SetText("antes");
    user::PressKey(SD.TEMAFlg, 'X');
    EXPECT_EQ(os::Clipboard::GetText(), "antes");
    user::PressKey(SD.TEMAFlg, 'C');
    EXPECT_EQ(os::Clipboard::GetText(), "C");

    user::Click(SD.TEMAPrintCmd);
    EXPECT_FALSE(SD.TEMAPrintCmd.Enabled());
    EXPECT_EQ(Marcas<acad::LWPolyline>().size(), 8u);

    // A shorter tally leaves no rows of the longer one behind.
    app->ZoomCenter({0, 0, 0}, 300);
    script->Crossing({-20, -5, 0}, {100, 5, 0}).Enter();
    user::Click(SD.TEMAPesqCmd);
    EXPECT_EQ(SD.TEMAFlg.Rows(), 3);
    EXPECT_EQ(Marcas<acad::LWPolyline>().size(), 0u);
}
