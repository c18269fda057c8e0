// Block replacement on the "Blocos" tab, through the panel, the real drawing
// host and its scripted selections: the lists and the map rows loaded at run
// time, the scroll of the rows, the factor boxes, what an insertion carries to
// its replacement, a block from a drawing file, and every check made before
// anything is deleted.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "TopoTestSupport.h"
#include "cad/modAcad.h"
#include "platform/acad/TextEntities.h"
#include "platform/forms/Testing.h"
#include "platform/os/Dialogs.h"

using namespace topotest;
using namespace forms;

namespace {

constexpr double kPi = 3.14159265358979323846;

class Blocos : public TopoTest {
protected:
    Blocos() : TD(painel.TD)
    {
        TD.Start();
        user::ChooseTab(TD.SSTopo, 2);
    }

    // A block of attributes only, each (tag, default text) 1 unit below the
    // one before, height 2.
    acad::Block* Bloco(const std::string& Nome, const std::vector<std::pair<std::string, std::string>>& Atributos)
    {
        acad::Block* b = Doc().Blocks().Add({0, 0, 0}, Nome);
        b->AddLine({-1, -1, 0}, {1, 1, 0});
        double y = 0;
        for (const auto& [tag, valor] : Atributos) b->AddAttribute(2.0, 0, "", {0, y--, 0}, tag, valor);
        return b;
    }

    acad::BlockReference* Insere(const std::string& Nome, const acad::Point3d& P,
                                 const std::vector<std::string>& Textos = {}, double xs = 1, double ys = 1,
                                 double zs = 1, double r = 0)
    {
        acad::BlockReference* ref = gModelSpace->InsertBlock(P, Nome, xs, ys, zs, r);
        const auto atributos = ref->GetAttributes();
        for (std::size_t i = 0; i < Textos.size() && i < atributos.size(); ++i) atributos[i]->SetTextString(Textos[i]);
        return ref;
    }

    // The references of model space to block `Nome`, in drawing order.
    std::vector<acad::BlockReference*> Insercoes(const std::string& Nome)
    {
        std::vector<acad::BlockReference*> r;
        for (acad::Entity* e : *gModelSpace)
            if (auto* b = dynamic_cast<acad::BlockReference*>(e); b && b->Name() == Nome) r.push_back(b);
        return r;
    }

    static acad::AttributeReference* Atributo(acad::BlockReference* r, const std::string& Tag)
    {
        for (acad::AttributeReference* a : r->GetAttributes())
            if (a->TagString() == Tag) return a;
        return nullptr;
    }

    void Aperta() { user::Click(TD.TRBlkExecutaCmd); }

    // "Inicia", the block to replace and its replacement chosen by name.
    void Prepara(const std::string& Velho, const std::string& Novo)
    {
        Aperta();
        ASSERT_EQ(TD.TRBlkExecutaCmd.Caption(), "Executa");
        Escolhe(TD.TRBlkCbo1, Velho);
        Escolhe(TD.TRBlkCbo2, Novo);
    }

    static void Escolhe(ComboBox& c, const std::string& Item)
    {
        for (int i = 0; i < c.ListCount(); ++i)
            if (c.List(i) == Item) return user::Choose(c, i);
        ADD_FAILURE() << Item << " não está em " << c.Name();
    }

    // "Executa" on what the user selects: one window over everything.
    void Executa()
    {
        app->ZoomExtents();
        script->Window({-1000, -1000, 0}, {1000, 1000, 0}).Enter();
        Aperta();
    }

    FormTopo painel;
    TOPDes98& TD;
};

TEST_F(Blocos, TheListsAndTheRowsOfTheMapFollowTheDrawing)
{
    // An empty drawing: nothing to list, the button stays.
    Aperta();
    EXPECT_EQ(mensagens.Textos(), std::vector<std::string>{"Nenhum bloco neste desenho!"});
    EXPECT_EQ(TD.TRBlkExecutaCmd.Caption(), "Inicia");

    std::vector<std::pair<std::string, std::string>> muitos;
    for (int i = 0; i < 120; ++i) muitos.emplace_back("T" + std::to_string(i), "");
    Bloco("VELHO", {{"A", ""}, {"B", ""}, {"C", ""}, {"D", ""}, {"E", ""}, {"F", ""}, {"G", ""}});
    Bloco("CURTO", {{"X", ""}});
    Bloco("MUITOS", muitos);
    Bloco("SEM", {{"Z", ""}});
    Doc().Blocks().Add({0, 0, 0}, "*U");
    Insere("VELHO", {0, 0, 0});
    Insere("CURTO", {10, 0, 0});
    Insere("MUITOS", {20, 0, 0});
    mensagens.Limpa();
    TD.TRBlkTxt(0).SetText("7");

    Aperta();
    EXPECT_EQ(TD.TRBlkExecutaCmd.Caption(), "Executa");
    ASSERT_EQ(TD.TRBlkCbo1.ListCount(), 4) << "sem espaços nem blocos anônimos";
    ASSERT_EQ(TD.TRBlkCbo2.ListCount(), 5);
    EXPECT_EQ(TD.TRBlkCbo2.List(4), ".Arquivo...");
    EXPECT_EQ(TD.TRBlkLbl.Count(), 7) << "o bloco mostrado em \"Trocar este:\" mostra suas linhas";
    EXPECT_EQ(TD.TRBlkTxt(0).Text(), "1");

    // Seven attributes: seven rows, three of them beyond sight.
    Escolhe(TD.TRBlkCbo1, "VELHO");
    ASSERT_EQ(TD.TRBlkLbl.Count(), 7);
    EXPECT_EQ(TD.TRBlkLbl(6).Top(), 6 * 315);
    EXPECT_EQ(TD.TRBlkLbl(6).Caption(), "G");
    EXPECT_EQ(TD.TRBlkScr.Max(), 3);
    user::Scroll(TD.TRBlkScr, 3);
    EXPECT_EQ(TD.TRBlkScr.Value(), 3);
    EXPECT_EQ(TD.TRBlkFrm.Top(), -945);

    // The replacement's tags in the list of every row in use.
    Escolhe(TD.TRBlkCbo2, "CURTO");
    ASSERT_EQ(TD.TRBlkCbo3.Count(), 7);
    EXPECT_EQ(TD.TRBlkCbo3(5).Top(), TD.TRBlkLbl(5).Top());
    EXPECT_EQ(TD.TRBlkCbo3(6).List(0), "X");
    EXPECT_EQ(Insercoes("CURTO").size(), 1u) << "a inserção provisória foi apagada";
    user::Choose(TD.TRBlkCbo3(0), 0);
    EXPECT_EQ(TD.TRBlkCbo3(0).ToolTipText(), "X");

    // One attribute: the other rows hidden, the frame back at the top.
    Escolhe(TD.TRBlkCbo1, "CURTO");
    EXPECT_EQ(TD.TRBlkFrm.Top(), 0);
    EXPECT_EQ(TD.TRBlkScr.Max(), 0);
    EXPECT_FALSE(TD.TRBlkLbl(1).Visible());
    EXPECT_FALSE(TD.TRBlkCbo3(1).Visible());

    // No insertion: told under the block's name.
    Escolhe(TD.TRBlkCbo1, "SEM");
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "SEM");
    EXPECT_EQ(mensagens.Lista()[0].Texto, "Nenhuma inserção deste bloco neste desenho");

    // Rows have no limit: 120 of them, scrolled to the last.
    Escolhe(TD.TRBlkCbo1, "MUITOS");
    ASSERT_EQ(TD.TRBlkLbl.Count(), 120);
    EXPECT_EQ(TD.TRBlkScr.Max(), 116);
    TD.TRBlkScr.SetValue(116);
    EXPECT_EQ(TD.TRBlkFrm.Top(), -116 * 315);
    EXPECT_EQ(TD.TRBlkLbl(119).Caption(), "T119");

    // The factor boxes take digits and a point; a comma becomes a point.
    TD.TRBlkTxt(1).SetText("");
    user::Type(TD.TRBlkTxt(1), "1,5x-");
    EXPECT_EQ(TD.TRBlkTxt(1).Text(), "1.5");
}

TEST_F(Blocos, EachInsertionCarriesItsPlaceScalesAndAttributesToItsReplacement)
{
    Doc().Layers().Add("CASAS");
    acad::Block* velho = Bloco("VELHO", {{"NUM", ""}, {"NOME", ""}, {"OBS", ""}});
    // NOME centred on its alignment point, turned and upside down.
    auto* nome = dynamic_cast<acad::AttributeDefinition*>(velho->Item(2));
    ASSERT_NE(nome, nullptr);
    nome->SetAlignment(1);
    nome->SetTextAlignmentPoint({0.5, -1, 0});
    Bloco("NOVO", {{"N", "n?"}, {"R", "r?"}, {"Q", "q?"}});

    acad::BlockReference* a = Insere("VELHO", {100, 50, 0}, {"12", "", "x"}, 1, 1.5, 3, 0.5);
    a->SetLayer("CASAS");
    acad::AttributeReference* nomeA = Atributo(a, "NOME");
    nomeA->SetRotation(0.25);
    nomeA->SetUpsideDown(true);
    nomeA->SetHeight(4);
    const acad::Point3d alinhamento = nomeA->TextAlignmentPoint();
    const acad::Point3d numA = Atributo(a, "NUM")->InsertionPoint();
    const double alturaNum = Atributo(a, "NUM")->Height();
    Insere("VELHO", {200, 50, 0}, {"13", "Maria", "y"}, 1, 1, 1, kPi);

    Prepara("VELHO", "NOVO");
    ASSERT_EQ(TD.TRBlkCbo3.Count(), 3);
    Escolhe(TD.TRBlkCbo3(0), "N");
    Escolhe(TD.TRBlkCbo3(1), "R");
    // OBS mapped to nothing; Q keeps its own text and height.
    TD.TRBlkTxt(0).SetText("2");
    TD.TRBlkTxt(1).SetText("0.5");
    Executa();
    EXPECT_TRUE(mensagens.Lista().empty()) << mensagens.Lista()[0].Texto;
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_TRUE(Insercoes("VELHO").empty());
    EXPECT_EQ(TD.TRBlkExecutaCmd.Caption(), "Inicia");

    const auto novas = Insercoes("NOVO");
    ASSERT_EQ(novas.size(), 2u);
    acad::BlockReference* n = novas[0];
    EXPECT_EQ(n->InsertionPoint(), acad::Point3d(100, 50, 0));
    EXPECT_DOUBLE_EQ(n->XScaleFactor(), 2);
    EXPECT_DOUBLE_EQ(n->YScaleFactor(), 3);
    EXPECT_DOUBLE_EQ(n->ZScaleFactor(), 2) << "Z = X × fator";
    EXPECT_DOUBLE_EQ(n->Rotation(), 0.5);
    EXPECT_EQ(n->Layer(), "CASAS");

    acad::AttributeReference* num = Atributo(n, "N");
    EXPECT_EQ(num->TextString(), "12");
    EXPECT_DOUBLE_EQ(num->Height(), 0.5 * alturaNum);
    EXPECT_EQ(num->Alignment(), 0);
    EXPECT_NEAR(num->InsertionPoint().x, numA.x, 1e-9);
    EXPECT_NEAR(num->InsertionPoint().y, numA.y, 1e-9);

    // An empty old text leaves the default, the rest is carried.
    acad::AttributeReference* r = Atributo(n, "R");
    EXPECT_EQ(r->TextString(), "r?");
    EXPECT_EQ(r->Alignment(), 1);
    EXPECT_NEAR(r->TextAlignmentPoint().x, alinhamento.x, 1e-9);
    EXPECT_NEAR(r->TextAlignmentPoint().y, alinhamento.y, 1e-9);
    EXPECT_DOUBLE_EQ(r->Rotation(), 0.25);
    EXPECT_TRUE(r->UpsideDown());
    EXPECT_DOUBLE_EQ(r->Height(), 2);

    acad::AttributeReference* q = Atributo(n, "Q");
    EXPECT_EQ(q->TextString(), "q?");
    EXPECT_DOUBLE_EQ(q->Height(), 2 * 3) << "a do bloco na escala Y 3, sem o fator de texto";

    EXPECT_EQ(Atributo(novas[1], "R")->TextString(), "Maria");
    EXPECT_DOUBLE_EQ(novas[1]->Rotation(), kPi);
}

TEST_F(Blocos, TheMapIsReadAfreshFromEachInsertion)
{
    // Two old attributes of one tag: every row of that tag takes the last.
    Bloco("VELHO", {{"A", ""}, {"B", ""}, {"A", ""}});
    Bloco("NOVO", {{"X", "x?"}, {"Y", "y?"}, {"Z", "z?"}});
    Insere("VELHO", {0, 0, 0}, {"a1", "b1", "a2"});
    acad::BlockReference* sem = Insere("VELHO", {50, 0, 0}, {"a3", "b3", "a4"});
    // The second one lacks B.
    Atributo(sem, "B")->SetTagString("OUTRO");

    Prepara("VELHO", "NOVO");
    Escolhe(TD.TRBlkCbo3(0), "X");
    Escolhe(TD.TRBlkCbo3(1), "Y");
    Escolhe(TD.TRBlkCbo3(2), "Z");
    Executa();
    const auto novas = Insercoes("NOVO");
    ASSERT_EQ(novas.size(), 2u);
    EXPECT_EQ(Atributo(novas[0], "X")->TextString(), "a2");
    EXPECT_EQ(Atributo(novas[0], "Y")->TextString(), "b1");
    EXPECT_EQ(Atributo(novas[0], "Z")->TextString(), "a2");
    EXPECT_EQ(Atributo(novas[1], "X")->TextString(), "a4");
    EXPECT_EQ(Atributo(novas[1], "Y")->TextString(), "y?") << "nada da inserção anterior";
    // Its place is the new block's own.
    EXPECT_NEAR(Atributo(novas[1], "Y")->InsertionPoint().x, 50, 1e-9);
    EXPECT_NEAR(Atributo(novas[1], "Y")->InsertionPoint().y, -1, 1e-9);
}

TEST_F(Blocos, NothingIsDeletedUntilTheRunCanEnd)
{
    Bloco("VELHO", {{"A", ""}, {"B", ""}});
    Bloco("NOVO", {{"X", ""}});
    // A block whose attribute lies on a locked layer: its texts cannot be written.
    Bloco("TRAVADO", {{"X", ""}});
    Doc().Layers().Add("FECHADO");
    dynamic_cast<acad::AttributeDefinition*>(Doc().Blocks().Item("TRAVADO")->Item(1))->SetLayer("FECHADO");
    Doc().Layers().Item("FECHADO")->SetLock(true);
    Insere("VELHO", {0, 0, 0}, {"1", "2"});
    Insere("VELHO", {20, 0, 0}, {"3", "4"});
    auto intactas = [&] {
        EXPECT_EQ(Insercoes("VELHO").size(), 2u);
        EXPECT_TRUE(Insercoes("NOVO").empty());
    };

    // No replacement chosen since "Inicia": no selection is even asked for.
    Aperta();
    Escolhe(TD.TRBlkCbo1, "VELHO");
    Aperta();
    EXPECT_EQ(mensagens.Textos().back(), "Escolha em \"Por este:\" o bloco que entra no lugar.");
    intactas();

    // Two rows on one new tag.
    Escolhe(TD.TRBlkCbo2, "NOVO");
    Escolhe(TD.TRBlkCbo3(0), "X");
    Escolhe(TD.TRBlkCbo3(1), "X");
    Aperta();
    EXPECT_EQ(mensagens.Textos().back(), "Valores repetidos");
    EXPECT_EQ(painel.form.ActiveControl(), &TD.TRBlkCbo3(1));
    EXPECT_EQ(TD.TRBlkExecutaCmd.Caption(), "Executa");
    intactas();
    TD.TRBlkCbo3(1).Clear();

    // Factors that are not numbers above zero.
    for (const char* f : {"0", "", ".", "1.2.3"}) {
        TD.TRBlkTxt(0).SetText(f);
        Aperta();
        EXPECT_EQ(mensagens.Textos().back(), "Escala Bloco: informe um número maior que zero.") << f;
    }
    TD.TRBlkTxt(0).SetText("1");
    TD.TRBlkTxt(1).SetText("0");
    Aperta();
    EXPECT_EQ(mensagens.Textos().back(), "Escala Texto: informe um número maior que zero.");
    TD.TRBlkTxt(1).SetText("1");
    intactas();

    // A file dialog closed without a file.
    {
        os::ScopedDialogDriver nada([](const os::DialogRequest&) { return os::DialogAnswer::Cancel(); });
        Escolhe(TD.TRBlkCbo2, ".Arquivo...");
    }
    EXPECT_EQ(mensagens.Textos().back(), "Nenhum arquivo selecionado");
    EXPECT_EQ(TD.TRBlkCbo2.Text(), "NOVO") << "a escolha anterior volta";
    intactas();

    // A replacement deleted from the drawing meanwhile.
    Escolhe(TD.TRBlkCbo2, "NOVO");
    Doc().Blocks().Item("NOVO")->Delete();
    Aperta();
    EXPECT_EQ(mensagens.Textos().back(), "O bloco NOVO não existe neste desenho.");
    EXPECT_EQ(Insercoes("VELHO").size(), 2u);

    // A step that fails keeps the old insertion and leaves no new one.
    Escolhe(TD.TRBlkCbo2, "TRAVADO");
    Escolhe(TD.TRBlkCbo3(0), "X");
    mensagens.Limpa();
    Executa();
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_NE(mensagens.Lista()[0].Texto.find("travado"), std::string::npos) << mensagens.Lista()[0].Texto;
    EXPECT_EQ(Insercoes("VELHO").size(), 2u);
    EXPECT_TRUE(Insercoes("TRAVADO").empty());
    EXPECT_EQ(TD.BLKProgress.CurValue(), 0);
}

TEST_F(Blocos, TheReplacementMayComeFromADrawingFile)
{
    // A name with wildcard characters, beside a block its pattern would match.
    const std::filesystem::path arquivo = pasta / "arq" / "PORTÃO#1.dwg";
    const std::filesystem::path ruim = pasta / "arq" / "RUIM.dwg";
    {
        acad::Document d;
        d.ModelSpace().AddCircle({0, 0, 0}, 1);
        d.ModelSpace().AddAttribute(1, 0, "", {0, 2, 0}, "ROTULO", "padrão");
        d.ModelSpace().AddAttribute(1, 0, "", {0, 4, 0}, "OUTRO", "");
        std::filesystem::create_directories(arquivo.parent_path());
        d.SaveAs(arquivo.string());
        std::ofstream(ruim, std::ios::binary) << "isto não é um desenho\n";
    }
    Bloco("VELHO", {{"A", ""}});
    Bloco("PORTÃO11", {{"ENGANO", ""}});
    Insere("PORTÃO11", {500, 500, 0});
    Insere("VELHO", {5, 5, 0}, {"P-1"});
    Insere("VELHO", {-5, 5, 0}, {"P-2"});

    std::vector<std::filesystem::path> escolhas = {ruim, arquivo};
    os::ScopedDialogDriver dialogo([&](const os::DialogRequest& r) {
        EXPECT_EQ(r.kind, os::DialogKind::Open);
        EXPECT_EQ(r.defaultExt, "dwg");
        EXPECT_EQ(r.filters.at(0).patterns, "*.dwg");
        if (escolhas.empty()) return os::DialogAnswer::Cancel();
        const std::filesystem::path p = escolhas.front();
        escolhas.erase(escolhas.begin());
        return os::DialogAnswer::Path(p.string());
    });
    // A file that is no drawing: told, nothing chosen, nothing added.
    Prepara("VELHO", ".Arquivo...");
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(TD.TRBlkCbo2.ListCount(), 3);
    EXPECT_NE(mensagens.Lista()[0].Texto.find("Arquivo de desenho inválido"), std::string::npos);
    Aperta();
    EXPECT_EQ(mensagens.Textos().back(), "Escolha em \"Por este:\" o bloco que entra no lugar.");
    EXPECT_EQ(Insercoes("VELHO").size(), 2u);
    mensagens.Limpa();

    Escolhe(TD.TRBlkCbo2, ".Arquivo...");
    EXPECT_TRUE(mensagens.Lista().empty());
    EXPECT_EQ(TD.TRBlkCbo2.ToolTipText(), "PORTÃO#1");
    EXPECT_EQ(TD.TRBlkCbo2.List(TD.TRBlkCbo2.ListCount() - 1), "PORTÃO#1");
    ASSERT_NE(Doc().Blocks().Find("PORTÃO#1"), nullptr);
    EXPECT_TRUE(Insercoes("PORTÃO#1").empty()) << "nenhuma inserção fica na origem";
    ASSERT_EQ(TD.TRBlkCbo3(0).ListCount(), 2);
    EXPECT_EQ(TD.TRBlkCbo3(0).List(0), "ROTULO");

    Escolhe(TD.TRBlkCbo3(0), "ROTULO");
    app->ZoomExtents();
    // The user picks the two, one crossing each.
    script->Crossing({-6, 4, 0}, {-4, 6, 0}).Crossing({4, 4, 0}, {6, 6, 0}).Enter();
    Aperta();
    EXPECT_TRUE(mensagens.Lista().empty());
    const auto novas = Insercoes("PORTÃO#1");
    ASSERT_EQ(novas.size(), 2u);
    EXPECT_EQ(novas[0]->InsertionPoint(), acad::Point3d(-5, 5, 0)) << "na ordem da seleção";
    EXPECT_EQ(Atributo(novas[0], "ROTULO")->TextString(), "P-2");
    EXPECT_EQ(Atributo(novas[1], "ROTULO")->TextString(), "P-1");
    EXPECT_EQ(Atributo(novas[1], "OUTRO")->TextString(), "");
    EXPECT_EQ(Insercoes("PORTÃO11").size(), 1u);
}

}  // namespace
