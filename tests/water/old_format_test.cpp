// The conversion of old water drawings: "R-" fittings rebuilt as "A-" blocks
// from the catalogue with their attributes renamed, old pipe lines turned
// into polylines from socket to socket with an "A-TUBO" label, the labels the
// automatic pass leaves offered one by one, and LTSCALE given back.

#include "DesenhoAgua.h"
#include "cad/modDesenho.h"
#include "platform/acad/Block.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/PolylineEntities.h"
#include "platform/forms/Application.h"
#include "shell/ProgressBar.h"
#include "water/ClsWatUpdate.h"
#include "water/WATDes.h"

using namespace watertest;

namespace {

class AntigoHost : public forms::Form {
public:
    AntigoHost() : Form("AntigoHost") {}
    ProgressBar& Barra = Add<ProgressBar>("Barra");
};

class Antigos : public DesenhoAgua {
protected:
    Antigos()
    {
        forms::Load(host);
        gMainForm = &host;
        Doc().SetVariable("LTSCALE", acad::Variant(2.5));
        acad::Block* te = Doc().Blocks().Add({0, 0, 0}, "R-TE");
        te->AddLine({-4, 0, 0}, {4, 0, 0});
        te->AddLine({0, 0, 0}, {0, 4, 0});
        te->AddAttribute(1.0, 0, "", {0, -2, 0}, "CÓDIGO", "");
        te->AddAttribute(1.0, 1, "", {0, -4, 0}, "MAT", "");
        DefineRotulo();
    }
    // The old label and the layers; again after a purge took them.
    void DefineRotulo()
    {
        acad::Block* tubo = Doc().Blocks().Add({0, 0, 0}, "R-TUBO");
        tubo->AddLine({-2, 0, 0}, {2, 0, 0});
        tubo->AddAttribute(1.0, 0, "", {-2, 0.5, 0}, "TUBO", "");
        tubo->AddAttribute(1.0, 1, "", {0, -1, 0}, "ETAPA", "");
        GetLayer("TRECHO", 0, "");
        GetLayer("T_50", 0, "");
        GetLayer("T_50_1", 0, "");
    }
    ~Antigos() override
    {
        gMainForm = nullptr;
        forms::Unload(host);
    }

    acad::BlockReference* Te(double X, double Y, const std::string& Codigo = "TEPBADN50x50")
    {
        acad::BlockReference* b = gModelSpace->InsertBlock({X, Y, 0}, "R-TE", 1, 1, 1, 0);
        SetAtributo("CÓDIGO", Codigo, b);
        SetAtributo("MAT", "PVC", b);
        return b;
    }
    acad::Line* Linha(double X1, double Y1, double X2, double Y2, const std::string& Camada)
    {
        acad::Line* l = gModelSpace->AddLine({X1, Y1, 0}, {X2, Y2, 0});
        l->SetLayer(Camada);
        return l;
    }
    acad::BlockReference* Rotulo(double X, double Y, const std::string& Codigo, const std::string& Etapa,
                                 double EscalaY = 1)
    {
        acad::BlockReference* b = gModelSpace->InsertBlock({X, Y, 0}, "R-TUBO", 1, EscalaY, 1, 0);
        b->SetLayer("TRECHO");
        SetAtributo("TUBO", Codigo, b);
        SetAtributo("ETAPA", Etapa, b);
        return b;
    }
    // A pair of tees 50 apart on row Y and the pipe between them, from a point
    // inside the first tee's drawing to the second tee's socket.
    void Par(double Y, const std::string& Camada, double Fim = 1046)
    {
        Te(1000, Y);
        Te(1050, Y);
        Linha(1002, Y, Fim, Y, Camada);
    }

    std::vector<acad::LWPolyline*> Polilinhas()
    {
        std::vector<acad::LWPolyline*> v;
        for (acad::Entity* e : Doc().ModelSpace())
            if (auto* p = dynamic_cast<acad::LWPolyline*>(e)) v.push_back(p);
        return v;
    }
    int Conta(const std::string& Bloco, const std::string& Tipo)
    {
        int n = 0;
        for (acad::Entity* e : *Doc().Blocks().Item(Bloco))
            if (e->ObjectName() == Tipo) ++n;
        return n;
    }
    std::vector<std::string> Titulos()
    {
        std::vector<std::string> t;
        for (const Caixa& c : caixas) t.push_back(c.Titulo);
        return t;
    }

    AntigoHost host;
    ClsWatUpdate upd;
};

}  // namespace

TEST_F(Antigos, AutomaticPassConvertsFittingsAndPipesAndTheManualPhaseTheRest)
{
    // A fitting the catalogue has no drawing for.
    acad::Block* foo = Doc().Blocks().Add({0, 0, 0}, "R-FOO");
    foo->AddCircle({0, 0, 0}, 2);
    foo->AddAttribute(1.0, 0, "", {0, -2, 0}, "CÓDIGO", "");
    foo->AddAttribute(1.0, 1, "", {0, -4, 0}, "MAT", "");
    Par(2000.5, "T_50");
    acad::BlockReference* r1 = gModelSpace->InsertBlock({900, 2000, 0}, "R-FOO", 1, 1, 1, 0);
    SetAtributo("CÓDIGO", "FOODN50", r1);
    SetAtributo("MAT", "PVC", r1);
    Rotulo(1024, 2002, "PBA15DN50-6m", " 0 ");
    // Two pipes in the label's window: left for the manual phase.
    Par(2100, "T_50");
    Linha(1020, 2105, 1028, 2105, "T_50");
    acad::BlockReference* dois = Rotulo(1024, 2102.5, "PBA15DN50-6m", "0");
    // Stage 1 on its own layer; mirrored.
    Par(2200, "T_50_1");
    Rotulo(1024, 2202, "PBA15DN50-6m", "1", -1);
    // The second tee a little away from the pipe's end: no fitting there.
    Par(2300, "T_50", 1045.5);
    acad::BlockReference* solto = Rotulo(1024, 2302, "PBA15DN50-6m", "0");

    // "Sim" to the check, "Sim" with two labels left (converted by picks), "Não" with one.
    respostas = {true, true, false};
    script->Point({1025, 2102.5, 0}).Point({1040, 2100, 0});
    upd.Update(host.Barra);

    ASSERT_EQ(Titulos(),
              (std::vector<std::string>{"Antes de iniciar verifique:", "Converter antigos", "Converter antigos"}));
    EXPECT_EQ(caixas[0].Texto,
              "1) Todos os blocos R-TUBO no Layer TRECHO;\r\n2) Os Layers de tubos começam com 'T_'.\r\n\r\n"
              "Os itens acima foram verificados?");
    EXPECT_EQ(caixas[1].Texto,
              "2 não puderam ser atualizadas automaticamente e deverão ser atualizadas individualmente.\r\n\r\n"
              "Continuar? ");
    EXPECT_EQ(caixas[2].Texto.substr(0, 2), "1 ");
    EXPECT_EQ(script->Prompts(), (std::vector<std::string>{"Selecione Código", "Selecione linha do tubo:"}));
    // "Não" leaves the drawing's own line type scale, not the conversion's.
    EXPECT_DOUBLE_EQ(Doc().GetVariable("LTSCALE").AsDouble(), 2.5);
    EXPECT_EQ(host.WindowState(), forms::vbNormal);

    // R-TE is A-TE from the catalogue; R-TUBO and a fitting without rows keep their drawing.
    EXPECT_FALSE(ExisteBloco("R-TE"));
    EXPECT_GT(Conta("A-TE", "AcDbPoint"), 0);
    EXPECT_EQ(Conta("R-TUBO", "AcDbLine"), 1);
    EXPECT_EQ(Conta("A-FOO", "AcDbCircle"), 1);
    const std::vector<acad::BlockReference*> tes = Blocos("A-TE");
    ASSERT_EQ(tes.size(), 8u);
    EXPECT_EQ(Texto(tes[0], "CODIGO"), "TEPBADN50x50");
    EXPECT_EQ(Texto(tes[0], "MATERIAL"), "PVC PBA");
    // After a match, a code the catalogue lacks gets no material, not the last one.
    EXPECT_EQ(Texto(Blocos("A-FOO").at(0), "MATERIAL"), "");

    // Three pipes converted: two automatically (stage 0 and 1), one by picks.
    const std::vector<acad::BlockReference*> rotulos = Blocos("A-TUBO");
    ASSERT_EQ(rotulos.size(), 3u);
    acad::BlockReference* a = rotulos[0];
    EXPECT_EQ(a->Layer(), "TRECHO");
    EXPECT_EQ(Ponto(a->InsertionPoint()), Ponto(1024, 2000.5, 0));
    EXPECT_EQ(Texto(a, "CODIGO"), "PBA15DN50-6m");
    EXPECT_EQ(Ponto(Atributo(a, "CODIGO")->InsertionPoint()), Ponto(1022, 2002.5, 0));
    EXPECT_EQ(Texto(a, "MATERIAL"), "Tubo PVC PBA JE Classe 15");
    EXPECT_EQ(Texto(a, "ETAPA"), "0");
    EXPECT_EQ(Texto(a, "H1"), "1000.0000,2000.5000");
    EXPECT_EQ(Texto(a, "H2"), "1050.0000,2000.5000");
    EXPECT_EQ(Texto(a, "CONTRIB"), "SIM");
    EXPECT_TRUE(Atributo(a, "CONTRIB")->Invisible());
    EXPECT_FALSE(Atributo(a, "CODIGO")->UpsideDown());
    acad::BlockReference* espelhado = rotulos[1];
    EXPECT_EQ(Texto(espelhado, "ETAPA"), "1");
    EXPECT_DOUBLE_EQ(espelhado->YScaleFactor(), -1);
    EXPECT_TRUE(Atributo(espelhado, "CODIGO")->UpsideDown());
    EXPECT_EQ(Texto(rotulos[2], "H1"), "1000.0000,2100.0000");

    // The new pipes run from socket to socket, on the old pipes' layers.
    const std::vector<acad::LWPolyline*> p = Polilinhas();
    ASSERT_EQ(p.size(), 3u);
    const std::vector<double> c = p[0]->Coordinates();
    const std::vector<double> esperado = {1004, 2000.5, 1046, 2000.5};
    ASSERT_EQ(c.size(), esperado.size());
    for (std::size_t i = 0; i < c.size(); ++i) EXPECT_NEAR(c[i], esperado[i], 1e-4) << i;
    EXPECT_EQ(p[0]->Layer(), "T_50");
    EXPECT_EQ(p[1]->Layer(), "T_50_1");
    // The pipe whose end touches no fitting is untouched, its label still old.
    EXPECT_FALSE(solto->IsErased());
    EXPECT_EQ(solto->Layer(), "TRECHO");
    EXPECT_EQ(Atributo(solto, "TUBO")->Layer(), "0-Antigo");
    EXPECT_TRUE(dois->IsErased());
}

TEST_F(Antigos, ManualRepairOfAPipeWithoutAFittingAtItsEndAsksToCorrect)
{
    Par(2300, "T_50", 1045.5);
    acad::BlockReference* r = Rotulo(1024, 2302, "PBA15DN50-6m", "0");
    app->ZoomCenter({1024, 2300, 0}, 100);
    script->Point({1025, 2302, 0}).Point({1040, 2300, 0});
    upd.RepareTuboManual();
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Titulo, "Atenção");
    EXPECT_EQ(caixas[0].Texto, "Corrija as conexões");
    EXPECT_FALSE(r->IsErased());
    EXPECT_TRUE(Polilinhas().empty());
    EXPECT_TRUE(Blocos("A-TUBO").empty());
    // A pick of something else than an old label ends without a word.
    script->Point({1040, 2300, 0});
    upd.RepareTuboManual();
    EXPECT_EQ(caixas.size(), 1u);
}

TEST_F(Antigos, NoOldFittingsNoLabelsAndADeclinedCheck)
{
    // Declined: nothing changes, not even the purge.
    Doc().Blocks().Add({0, 0, 0}, "SOBRA");
    respostas = {false};
    upd.Update(host.Barra);
    EXPECT_TRUE(ExisteBloco("SOBRA"));
    EXPECT_DOUBLE_EQ(Doc().GetVariable("LTSCALE").AsDouble(), 2.5);

    // No old fitting and no label: straight to "Concluido.".
    caixas.clear();
    respostas = {true};
    upd.Update(host.Barra);
    EXPECT_EQ(Titulos(), (std::vector<std::string>{"Antes de iniciar verifique:", "Desenhos Antigos"}));
    EXPECT_EQ(caixas.back().Texto, "\r\nConcluido.");
    EXPECT_DOUBLE_EQ(Doc().GetVariable("LTSCALE").AsDouble(), 2.5);
    EXPECT_FALSE(ExisteBloco("SOBRA"));

    // Current fittings are not rebuilt; the pipe labels are still converted,
    // and a code without "DN" and "-" waits for the manual phase, as does one
    // whose diameter is a wildcard: "T_*" is no layer of pipes.
    DefineRotulo();
    CriaBlocoConexao("A-TE", false);
    Doc().Blocks().Item("A-TE")->AddCircle({0, 0, 0}, 9);
    for (double y : {0.0, 100.0}) {
        for (double x : {1000.0, 1050.0}) {
            acad::BlockReference* b = gModelSpace->InsertBlock({x, y, 0}, "A-TE", 1, 1, 1, 0);
            SetAtributo("CODIGO", "TEPBADN50x50", b);
            SetAtributo("MATERIAL", "PVC PBA", b);
        }
    }
    // The first pipe is an open polyline that keeps on its last vertex the
    // bulge of the closed one it came from, which draws nothing.
    acad::LWPolyline* aberta = gModelSpace->AddLightWeightPolyline({1004, 0, 1024, 0, 1046, 0});
    aberta->SetLayer("T_50");
    aberta->SetBulge(2, 1.0);
    Linha(1004, 100, 1046, 100, "T_50");
    Rotulo(1024, 2, "PBA15DN50-6m", "0");
    acad::BlockReference* semDN = Rotulo(1024, 50, "PBA15", "0");
    acad::BlockReference* curinga = Rotulo(1024, 102, "PBA15DN*-6m", "0");
    caixas.clear();
    respostas = {true, false};
    upd.Update(host.Barra);
    EXPECT_EQ(Titulos(), (std::vector<std::string>{"Antes de iniciar verifique:", "Converter antigos"}));
    EXPECT_EQ(Conta("A-TE", "AcDbCircle"), 1);
    ASSERT_EQ(Blocos("A-TUBO").size(), 1u);
    // That pipe runs as drawn, labelled at its middle.
    const Ponto meio(Blocos("A-TUBO")[0]->InsertionPoint());
    EXPECT_NEAR(meio.X, 1025, 1e-9);
    EXPECT_NEAR(meio.Y, 0, 1e-9);
    const std::vector<acad::LWPolyline*> p = Polilinhas();
    ASSERT_EQ(p.size(), 1u);
    const std::vector<double> c = p[0]->Coordinates();
    const std::vector<double> esperado = {1004, 0, 1024, 0, 1046, 0};
    ASSERT_EQ(c.size(), esperado.size());
    for (std::size_t i = 0; i < c.size(); ++i) EXPECT_NEAR(c[i], esperado[i], 1e-4) << i;
    EXPECT_EQ(semDN->Layer(), "0-Antigo");
    EXPECT_EQ(curinga->Layer(), "0-Antigo");
    EXPECT_DOUBLE_EQ(Doc().GetVariable("LTSCALE").AsDouble(), 2.5);
}
