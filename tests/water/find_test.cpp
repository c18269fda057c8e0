// Finding fittings and pipe labels by code: the two boxes, the case, one
// stop per matching code attribute, the walk through the hits and the cancel
// window.

#include "DesenhoAgua.h"
#include "cad/modDesenho.h"
#include "platform/forms/Application.h"
#include "shell/ProgressBar.h"
#include "shell/frmCancelar.h"
#include "water/WATDes.h"

using namespace watertest;

namespace {

class ProcuraHost : public forms::Form {
public:
    ProcuraHost() : Form("ProcuraHost") {}
    ProgressBar& Barra = Add<ProgressBar>("Barra");
};

class Procura : public DesenhoAgua {
protected:
    Procura()
    {
        forms::Load(host);
        gMainForm = &host;
        CriaBlocoConexao("A-TE", false);
        CriaBlocoConexao("A-TUBO", false);
        // Fittings at x = 0, 100, 200; pipe labels at x = 0, 100 on y = 50.
        Conexao({0, 0, 0}, "TEDN100x50", {"", "", "", ""});
        Conexao({100, 0, 0}, "TEDN150", {"VRDN100", "", "", ""});
        Conexao({200, 0, 0}, "TEDN100", {"", "XDN100", "", ""});
        Tubo({0, 50, 0}, "K1DN100-12m");
        Tubo({100, 50, 0}, "K1DN150-30m");
        Doc().ModelSpace().AddText("TEDN100", {300, 0, 0}, 2.0);
    }
    ~Procura() override
    {
        gMainForm = nullptr;
        forms::Unload(host);
    }

    void Conexao(const Ponto& P, const std::string& Codigo, const std::vector<std::string>& Extras)
    {
        acad::BlockReference* b = gModelSpace->InsertBlock(P, "A-TE", 0.5, 0.5, 0.5, 0);
        SetAtributo("CODIGO", Codigo, b);
        for (int i = 0; i < 4; ++i) SetAtributo("CODIG" + std::to_string(i + 1), Extras[i], b);
    }
    void Tubo(const Ponto& P, const std::string& Codigo)
    {
        SetAtributo("CODIGO", Codigo, gModelSpace->InsertBlock(P, "A-TUBO", 1, 1, 1, 0));
    }

    // The block references marked in the drawing, by insertion point.
    std::vector<Ponto> Marcados()
    {
        std::vector<Ponto> v;
        for (acad::Entity* e : Doc().ModelSpace())
            if (auto* b = dynamic_cast<acad::BlockReference*>(e); b && b->IsHighlighted())
                v.emplace_back(b->InsertionPoint());
        return v;
    }

    std::vector<std::string> Titulos()
    {
        std::vector<std::string> t;
        for (const Caixa& c : caixas) t.push_back(c.Titulo);
        return t;
    }

    ProcuraHost host;
};

}  // namespace

TEST_F(Procura, TheBoxesChooseFittingsPipesOrBothAndEachCodeAttributeIsAStop)
{
    // Where the walk stopped: the view centre at each question.
    std::vector<Ponto> centros;
    auto busca = [&](const std::string& c, bool t, bool f) {
        caixas.clear();
        centros.clear();
        respostas.clear();
        app->ZoomCenter({150, 25, 0}, 600);
        script->Window({-50, -50, 0}, {400, 100, 0}).Enter();
        const forms::TestDriver anterior = forms::SetTestDriver([&, this](forms::Form& frm) {
            auto* b = dynamic_cast<frmMsgBox*>(&frm);
            if (b && b->Titulo.Caption().rfind("Localizar Código", 0) == 0) {
                centros.push_back(Centro());
                // The hit is marked while its question is open.
                EXPECT_EQ(Marcados(), std::vector<Ponto>{Centro()});
            }
            // Minimised only while the walk goes through the hits.
            if (auto* box = dynamic_cast<frmMsgBox*>(&frm)) {
                EXPECT_EQ(gMainForm->WindowState(), box->Titulo.Caption().rfind("Localizar Código", 0) == 0
                                                        ? forms::vbMinimized
                                                        : forms::vbNormal);
            }
            anterior(frm);
        });
        des.Find(c, t, f, 0, host.Barra);
        forms::SetTestDriver(anterior);
        EXPECT_TRUE(Marcados().empty());
        EXPECT_EQ(gMainForm->WindowState(), forms::vbNormal);
        EXPECT_EQ(host.Barra.CurValue(), 0);
        return centros;
    };
    // Fittings only: DN100 is in CODIGO of two fittings, and in CODIG1 and
    // CODIG2 of the others; the third fitting is a stop twice.
    EXPECT_EQ(busca("DN100", false, true),
              (std::vector<Ponto>{Ponto(0, 0, 0), Ponto(100, 0, 0), Ponto(200, 0, 0), Ponto(200, 0, 0)}));
    EXPECT_EQ(Titulos(), (std::vector<std::string>{"Localizar Código - 1 de 4", "Localizar Código - 2 de 4",
                                                   "Localizar Código - 3 de 4", "Localizar Código - 4 de 4"}));
    for (const Caixa& c : caixas) EXPECT_EQ(c.Texto, "Continuar?");
    // Pipes only.
    EXPECT_EQ(busca("DN100", true, false), (std::vector<Ponto>{Ponto(0, 50, 0)}));
    // Both.
    EXPECT_EQ(busca("DN150", true, true), (std::vector<Ponto>{Ponto(100, 0, 0), Ponto(100, 50, 0)}));
    // Neither: still only block references, never the text with the code.
    EXPECT_EQ(busca("TEDN100", false, false), (std::vector<Ponto>{Ponto(0, 0, 0), Ponto(200, 0, 0)}));
    // The case counts.
    EXPECT_TRUE(busca("dn100", true, true).empty());
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Titulo, "Localizar dn100");
    EXPECT_EQ(caixas[0].Texto, "Nenhuma ocorrencia encontrada.");
    // An empty text stops at every code that is not empty: 3 + 2 + 2.
    EXPECT_EQ(busca("", true, true).size(), 7u);
}

TEST_F(Procura, NoAtTheFirstHitEndsTheWalkAndAnEmptySelectionFindsNothing)
{
    respostas = {false};
    app->ZoomCenter({150, 25, 0}, 600);
    script->Window({-50, -50, 0}, {400, 100, 0}).Enter();
    bool f = true;
    des.Find("DN100", true, f, 0, host.Barra);
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Titulo, "Localizar Código - 1 de 5");
    EXPECT_EQ(gMainForm->WindowState(), forms::vbNormal);

    caixas.clear();
    app->ZoomCenter({150, 25, 0}, 600);
    script->Window({1000, 1000, 0}, {1100, 1100, 0}).Enter();
    des.Find("DN100", true, f, 0, host.Barra);
    EXPECT_TRUE(f);
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Texto, "Nenhuma ocorrencia encontrada.");
    EXPECT_EQ(host.Barra.CurValue(), 0);
    EXPECT_EQ(script->Remaining(), 0u);
}

TEST_F(Procura, CancelStopsTheScanWithoutAMessageAndClosesTheWindow)
{
    int vistas = 0;
    const forms::YieldHook antes = forms::SetYieldHook([&] {
        for (forms::Form* f : forms::Forms())
            if (auto* c = dynamic_cast<frmCancelar*>(f)) {
                ++vistas;
                EXPECT_EQ(c->Mensagem(), "Localizar Código");
                forms::user::Click(c->CmdCancel);
            }
    });
    app->ZoomCenter({150, 25, 0}, 600);
    script->Window({-50, -50, 0}, {400, 100, 0}).Enter();
    bool f = true;
    des.Find("DN", true, f, 0, host.Barra);
    forms::SetYieldHook(antes);
    EXPECT_GE(vistas, 1);
    EXPECT_TRUE(caixas.empty());
    for (forms::Form* fm : forms::Forms()) EXPECT_EQ(dynamic_cast<frmCancelar*>(fm), nullptr);
    EXPECT_EQ(gMainForm->WindowState(), forms::vbNormal);
}
