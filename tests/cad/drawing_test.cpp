// Layers by exact name with the catalogue's colour and linetype, block
// definitions from the block drawing files, attributes by tag, the
// verification layer emptied at once, and what a command keeps of the
// drawing's state put back on every way out.

#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "CadTestSupport.h"
#include "cad/AoSair.h"
#include "cad/GuardaVariaveis.h"
#include "cad/modAcad.h"
#include "cad/modDesenho.h"

using namespace cadtest;

namespace {

class Desenho : public CadTest {
protected:
    Desenho()
    {
        app->SetSupportFolders({std::filesystem::path(std::getenv("QUORIL_SOURCE_DIR")) / "resources" / "linetypes"});
        Conecta();
    }

    // A block drawing file: a circle, a line on its own layer and the
    // attribute MENSAGEM.
    void ArquivoDeBloco(const std::string& nome)
    {
        acad::Document bloco;
        bloco.ModelSpace().AddCircle({0, 0, 0}, 1);
        bloco.Layers().Add("Marca");
        bloco.ModelSpace().AddLine({-1, 0, 0}, {1, 0, 0})->SetLayer("Marca");
        bloco.ModelSpace().AddAttribute(0.5, 0, "Mensagem", {1.2, 0, 0}, "MENSAGEM", "");
        acad::WriteDxf(bloco, pasta / (nome + ".dwg"));
    }

    // A block with the tags A, A (again) and a; inserted at `p`.
    acad::BlockReference* BlocoComAtributos(const Ponto& p)
    {
        acad::Block* def = Doc().Blocks().Add({0, 0, 0}, "E-PV");
        if (def->Count() == 0) {
            def->AddCircle({0, 0, 0}, 1);
            def->AddAttribute(0.2, 0, "", {0, 1, 0}, "A", "primeiro");
            def->AddAttribute(0.2, 0, "", {0, 2, 0}, "A", "segundo");
            def->AddAttribute(0.2, 0, "", {0, 3, 0}, "a", "minúsculo");
        }
        return gModelSpace->InsertBlock(p, "E-PV", 1, 1, 1, 0);
    }
};

std::vector<std::string> Valores(acad::BlockReference* ref)
{
    std::vector<std::string> v;
    for (auto* a : ref->GetAttributes()) v.push_back(a->TextString());
    return v;
}

}  // namespace

TEST_F(Desenho, LayersAreFoundByExactNameCreatedAndRecoloured)
{
    acad::Layer* pv = GetLayer("PV", 8, "");
    ASSERT_NE(pv, nullptr);
    EXPECT_EQ(pv->Name(), "PV");
    EXPECT_EQ(pv->Color(), 8);
    EXPECT_EQ(pv->Linetype(), "Continuous");

    // The user's colour gives way to the catalogue's on every call; 0 and ""
    // only find the layer.
    pv->SetColor(3);
    EXPECT_EQ(GetLayer("PV", 8, ""), pv);
    EXPECT_EQ(pv->Color(), 8);
    EXPECT_EQ(GetLayer("PV", 0, ""), pv);
    EXPECT_EQ(pv->Color(), 8);

    // Another case is not the same name to the walk; the host answers with
    // its existing layer.
    const int antes = Doc().Layers().Count();
    EXPECT_EQ(GetLayer("pv", 12, ""), pv);
    EXPECT_EQ(Doc().Layers().Count(), antes);
    EXPECT_EQ(pv->Color(), 12);

    // A linetype the drawing lacks comes from acad.lin; one it has is used.
    ASSERT_EQ(Doc().Linetypes().Find("CENTER"), nullptr);
    acad::Layer* eixo = GetLayer("EIXO", 1, "CENTER");
    EXPECT_EQ(eixo->Linetype(), "CENTER");
    EXPECT_NE(Doc().Linetypes().Find("CENTER"), nullptr);
    const int tipos = Doc().Linetypes().Count();
    EXPECT_EQ(GetLayer("EIXO2", 2, "CENTER")->Linetype(), "CENTER");
    EXPECT_EQ(Doc().Linetypes().Count(), tipos);
    // A linetype found nowhere is left out silently.
    acad::Layer* sem = GetLayer("SEMTIPO", 5, "NAOEXISTE");
    EXPECT_EQ(sem->Linetype(), "Continuous");
    EXPECT_EQ(sem->Color(), 5);
    EXPECT_TRUE(mensagens.Lista().empty());

    // A name or colour the host refuses reaches the caller.
    EXPECT_THROW(GetLayer("A<B", 1, ""), acad::Error);
    EXPECT_THROW(GetLayer("COR", 300, ""), acad::Error);
}

TEST_F(Desenho, BlockFilesDefineTheirBlockOnceAndLeaveNoReference)
{
    ArquivoDeBloco("ErroC");
    EXPECT_TRUE(InsertBlockFile("ErroC"));
    acad::Block* def = Doc().Blocks().Find("ErroC");
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(def->Count(), 3);
    EXPECT_EQ(gModelSpace->Count(), 0);  // the reference that defined it is gone
    EXPECT_TRUE(mensagens.Lista().empty());

    // Defined already: the folder is not looked at.
    std::filesystem::remove(pasta / "ErroC.dwg");
    EXPECT_TRUE(InsertBlockFile("ErroC"));
    EXPECT_TRUE(InsertBlockFile("ERROC"));
    EXPECT_TRUE(mensagens.Lista().empty());

    // Missing file: the message and False.
    EXPECT_FALSE(InsertBlockFile("Zon_Total"));
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "Atenção");
    EXPECT_EQ(mensagens.Lista()[0].Texto, "Arquivo: Zon_Total não foi encontrado em " + pasta.Caminho().string());

    // A file that is no drawing at all cannot be inserted and defines nothing: False, and why.
    mensagens.Limpa();
    {
        std::ofstream f(pasta / "CAD_QTT.dwg");
        f << "Isto não é um desenho.\n";
    }
    EXPECT_FALSE(InsertBlockFile("CAD_QTT"));
    EXPECT_EQ(Doc().Blocks().Find("CAD_QTT"), nullptr);
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Texto.rfind(
                  "Arquivo: " + (pasta / "CAD_QTT.dwg").string() + " não pôde ser inserido\n", 0),
              0u);
    EXPECT_EQ(gModelSpace->Count(), 0);
}

TEST_F(Desenho, AttributesAreReadAndWrittenByTheirExactTag)
{
    acad::BlockReference* ref = BlocoComAtributos({10, 10, 0});
    EXPECT_EQ(GetAtributo("A", ref), "segundo");  // the last one carrying the tag
    EXPECT_EQ(GetAtributo("a", ref), "minúsculo");
    EXPECT_EQ(GetAtributo("NUMERO", ref), std::nullopt);

    EXPECT_EQ(SetAtributo("A", "PV-12", ref), "PV-12");
    EXPECT_EQ(Valores(ref), (std::vector<std::string>{"PV-12", "PV-12", "minúsculo"}));
    EXPECT_EQ(SetAtributo("CT", "101.25", ref), std::nullopt);
    EXPECT_EQ(Valores(ref), (std::vector<std::string>{"PV-12", "PV-12", "minúsculo"}));

    // Not a block reference, or erased: the caller hears of it.
    acad::Entity* linha = gModelSpace->AddLine({0, 0, 0}, {1, 0, 0});
    EXPECT_THROW(GetAtributo("A", linha), acad::Error);
    EXPECT_THROW(SetAtributo("A", "x", linha), acad::Error);
    EXPECT_THROW(GetAtributo("A", nullptr), acad::Error);
    ref->Delete();
    EXPECT_THROW(GetAtributo("A", ref), acad::Error);
}

TEST_F(Desenho, TheVerificationLayerIsEmptiedAtOnceEverywhereInTheDrawing)
{
    // Nothing to erase without the layer.
    gModelSpace->AddLine({0, 0, 0}, {1, 1, 0});
    LimpaConferencia();
    EXPECT_EQ(gModelSpace->Count(), 1);

    GetLayer("0-Conferencia", 6, "");
    acad::BlockReference* m1 = BlocoComAtributos({5, 5, 0});
    acad::BlockReference* m2 = BlocoComAtributos({90000, 90000, 0});  // far outside the view
    m1->SetLayer("0-Conferencia");
    m2->SetLayer("0-Conferencia");
    acad::Entity* liga = gModelSpace->AddLightWeightPolyline({5, 5, 90000, 90000});
    liga->SetLayer("0-Conferencia");
    acad::Entity* fica = BlocoComAtributos({6, 6, 0});
    // SS1 held something from an earlier command.
    Doc().SelectionSets().Item("SS1")->AddItems({fica});

    LimpaConferencia();
    EXPECT_TRUE(m1->IsErased());
    EXPECT_TRUE(m2->IsErased());
    EXPECT_TRUE(liga->IsErased());
    EXPECT_FALSE(fica->IsErased());
    EXPECT_EQ(gModelSpace->Count(), 2);
    EXPECT_EQ(Doc().SelectionSets().Item("SS1")->Count(), 0);
    EXPECT_NE(Doc().Layers().Find("0-Conferencia"), nullptr);  // the layer itself stays
}

TEST_F(Desenho, GuardsPutBackTheUsersSettingsOnEveryWayOut)
{
    Doc().SetVariable("OSMODE", 33);
    Doc().SetVariable("SNAPANG", 0.5);
    Doc().SetVariable("ORTHOMODE", 0);

    // A command that fails half-way: every variable it keeps comes back, and
    // so does whatever it undoes on leaving, a failing clean-up included.
    std::vector<std::string> saidas;
    try {
        AoSair depois([&] { saidas.push_back("depois"); });
        GuardaVariaveis g{"OSMODE", "SNAPANG", "ORTHOMODE"};
        AoSair antes([&] { saidas.push_back("antes"); });
        AoSair falha([] { throw acad::Error(acad::ErrorCode::NotApplicable, "limpeza recusada"); });
        Doc().SetVariable("OSMODE", 0);
        Doc().SetVariable("SNAPANG", 1.0);
        Doc().SetVariable("ORTHOMODE", 1);
        throw std::runtime_error("falhou no meio");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(Doc().GetVariable("OSMODE").AsInt(), 33);
    EXPECT_DOUBLE_EQ(Doc().GetVariable("SNAPANG").AsDouble(), 0.5);
    EXPECT_EQ(Doc().GetVariable("ORTHOMODE").AsInt(), 0);
    EXPECT_EQ(saidas, (std::vector<std::string>{"antes", "depois"}));

    // The drawing closed while the command ran, and the command went on in
    // another: nothing is written, to the closed one or to the other.
    acad::Document* outro = app->Documents().Add("Acad");
    outro->SetVariable("OSMODE", 7);
    {
        GuardaVariaveis g{"OSMODE"};
        app->Documents().Close(*gAcadDoc);
        Conecta();
        ASSERT_EQ(gAcadDoc, outro);
    }
    EXPECT_EQ(outro->GetVariable("OSMODE").AsInt(), 7);
}
