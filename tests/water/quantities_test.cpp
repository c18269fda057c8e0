// The water quantity table: pipe labels and fittings picked on screen,
// counted by stage, type and diameter with their rings, drawn as table rows;
// pipes only; a refused point and an empty pick; a stop half way.

#include "DesenhoAgua.h"
#include "cad/modDesenho.h"
#include "platform/forms/Application.h"
#include "shell/ProgressBar.h"
#include "shell/frmCancelar.h"
#include "water/WATDes.h"
#include "water/clsWATQtt.h"

using namespace watertest;

namespace {

class QttHost : public forms::Form {
public:
    QttHost() : Form("QttHost") {}
    ProgressBar& Barra = Add<ProgressBar>("Barra");
};

// One row of the drawn table.
struct Linha {
    std::string Bloco, N, Cod, Esp, Qtt, Un;
    double Y = 0;
    bool operator==(const Linha&) const = default;
};

class Quantitativos : public DesenhoAgua {
protected:
    Quantitativos()
    {
        forms::Load(host);
        gMainForm = &host;
        qtt.Progresso = &host.Barra;
        CriaBlocoConexao("A-TE", false);
        CriaBlocoConexao("A-TUBO", false);
        CriaBlocoConexao("A-REGISTROF", false);
        CriaBlocoConexao("A-PDR", false);
    }
    ~Quantitativos() override
    {
        gMainForm = nullptr;
        forms::Unload(host);
    }

    void Tubo(double X, const std::string& Codigo, const std::string& Material, const std::string& Etapa)
    {
        acad::BlockReference* b = gModelSpace->InsertBlock({X, 50, 0}, "A-TUBO", 1, 1, 1, 0);
        SetAtributo("CODIGO", Codigo, b);
        SetAtributo("MATERIAL", Material, b);
        SetAtributo("ETAPA", Etapa, b);
    }
    void Conexao(const std::string& Bloco, double X, const std::string& Codigo, const std::string& Cod1,
                 const std::string& Material, const std::string& Etapa)
    {
        acad::BlockReference* b = gModelSpace->InsertBlock({X, 0, 0}, Bloco, 0.5, 0.5, 0.5, 0);
        SetAtributo("CODIGO", Codigo, b);
        SetAtributo("CODIG1", Cod1, b);
        SetAtributo("MATERIAL", Material, b);
        SetAtributo("ETAPA", Etapa, b);
    }

    // Picks everything on the pipes' and fittings' rows and places the table at 0,-100.
    void Roda(bool SomenteTubos, bool& Cancelado)
    {
        app->ZoomCenter({150, 25, 0}, 600);
        script->Point({0, -100, 0}).Window({-50, -20, 0}, {400, 60, 0}).Enter();
        qtt.INS_Capture(Cancelado, SomenteTubos);
    }

    std::vector<Linha> Tabela()
    {
        std::vector<Linha> v;
        for (acad::Entity* e : Doc().ModelSpace()) {
            auto* b = dynamic_cast<acad::BlockReference*>(e);
            if (!b || b->Name().compare(0, 3, "RQ-") != 0) continue;
            Linha l{b->Name(), "", "", "", "", "", b->InsertionPoint().y};
            for (acad::AttributeReference* a : b->GetAttributes()) {
                const std::string t = a->TagString();
                if (t == "N") l.N = a->TextString();
                if (t == "COD") l.Cod = a->TextString();
                if (t == "ESP" || t == "ETA" || t == "TOTAL") l.Esp = a->TextString();
                if (t == "QTT") l.Qtt = a->TextString();
                if (t == "UN") l.Un = a->TextString();
            }
            v.push_back(l);
        }
        return v;
    }

    QttHost host;
    clsWATQtt qtt;
};

}  // namespace

TEST_F(Quantitativos, PipesFittingsAndRingsByStageTypeAndDiameter)
{
    const std::string pba = "Tubo PVC PBA JE Classe 15";
    // Stage 1: two 6 m labels of one row but different materials (12 m, 2
    // rings); DN100 before it in the drawing but listed after DN50.
    Tubo(0, "PBA15DN100-6m", pba, "1");
    Tubo(20, "PBA15DN50-6m", pba, "1");
    Tubo(40, "PBA15DN50-6m", "Outro material", "1");
    // Stage 2: 5.9 m gives no ring, 12 m gives two.
    Tubo(60, "PBA20DN75-5.9m", "Tubo PVC PBA JE Classe 20", "2");
    Tubo(80, "PBA20DN100-12m", "Tubo PVC PBA JE Classe 20", "2");
    // A tee: two principal sockets DN100 and a branch DN50, each with its ring.
    Conexao("A-TE", 100, "TEPBADN100x50", "", "PVC PBA", "1");
    // A valve with its extra item: both count; a tie-in point counts nothing.
    Conexao("A-REGISTROF", 150, "RGFFLDN100", "RCFC10DN100", "Ferro Fundido", "2");
    Conexao("A-PDR", 200, "PDRDN100", "", "Diversos", "2");

    bool cancelado = true;
    Roda(false, cancelado);
    EXPECT_FALSE(cancelado);
    EXPECT_TRUE(caixas.empty());

    const std::vector<Linha> esperado = {
        {"RQ-A", "", "", "", "", "", -100},
        {"RQ-E", "", "", "Primeira Etapa", "", "", -105},
        {"RQ-I", "1", "PBA15DN50", "Tubo PVC PBA JE Classe 15 DN 50", "12", "m", -108},
        {"RQ-I", "2", "PBA15DN100", "Tubo PVC PBA JE Classe 15 DN 100", "6", "m", -111},
        {"RQ-I", "3", "TEPBADN100x50", "Tê DN 100x50", "1", "unid.", -114},
        {"RQ-I", "4", "ANPBADN50", "Anel de borracha JE para PVC PBA DN 50", "3", "unid.", -117},
        {"RQ-I", "5", "ANPBADN100", "Anel de borracha JE para PVC PBA DN 100", "3", "unid.", -120},
        {"RQ-E", "", "", "Segunda Etata", "", "", -125},
        {"RQ-I", "6", "PBA20DN75", "Tubo PVC PBA JE Classe 20 DN 75", "6", "m", -128},
        {"RQ-I", "7", "PBA20DN100", "Tubo PVC PBA JE Classe 20 DN 100", "12", "m", -131},
        {"RQ-I", "8", "RCFC10DN100", "Conjunto de junta e parafusos para flange PN10 DN 100", "1", "unid.", -134},
        {"RQ-I", "9", "RGFFLDN100", "Registro de gaveta flangeado DN 100", "1", "unid.", -137},
        {"RQ-I", "10", "ANPBADN100", "Anel de borracha JE para PVC PBA DN 100", "2", "unid.", -140},
        {"RQ-T", "", "", "36", "", "", -140},
    };
    const std::vector<Linha> tabela = Tabela();
    ASSERT_EQ(tabela.size(), esperado.size());
    for (std::size_t i = 0; i < esperado.size(); ++i) {
        const Linha& a = tabela[i];
        const Linha& e = esperado[i];
        EXPECT_EQ(a.Bloco, e.Bloco) << i;
        EXPECT_EQ(a.N, e.N) << i;
        EXPECT_EQ(a.Cod, e.Cod) << i;
        EXPECT_EQ(a.Esp, e.Esp) << i;
        EXPECT_EQ(a.Qtt, e.Qtt) << i;
        EXPECT_EQ(a.Un, e.Un) << i;
        EXPECT_DOUBLE_EQ(a.Y, e.Y) << i;
    }
    // The row keeps the material of the first label met; the ring row has none of its own.
    ASSERT_EQ(qtt.Tubos().size(), 4u);
    EXPECT_EQ(qtt.Tubos()[0].Material, pba);
    EXPECT_EQ(qtt.Tubos()[0].Diametro, "!!!50");
    EXPECT_DOUBLE_EQ(qtt.TotalTubos(), 35.9);
    // Nothing is left of the cancel window or the bar.
    for (forms::Form* f : forms::Forms()) EXPECT_EQ(dynamic_cast<frmCancelar*>(f), nullptr);
    EXPECT_EQ(host.Barra.Caption(), "");
}

TEST_F(Quantitativos, PipesOnlyWritesNoFittingRowsButEveryStageThatHasPipes)
{
    Tubo(0, "PBA15DN50-6m", "Tubo PVC PBA JE Classe 15", "0");
    Tubo(20, "PE10DN50-30m", "Tubo PEAD PE100 PN10", "3");
    Conexao("A-TE", 100, "TEPBADN50x50", "", "PVC PBA", "1");

    bool cancelado = true;
    Roda(true, cancelado);
    EXPECT_FALSE(cancelado);
    std::vector<std::string> linhas;
    for (const Linha& l : Tabela()) linhas.push_back(l.Bloco + " " + l.Cod + l.Esp + " " + l.Qtt);
    EXPECT_EQ(linhas,
              (std::vector<std::string>{"RQ-A  ", "RQ-E Existente ", "RQ-I PBA15DN50Tubo PVC PBA JE Classe 15 DN 50 6",
                                        "RQ-E A Demolir ", "RQ-I PE10DN50Tubo PEAD PE100 PN10 DN 50 30", "RQ-T 36 "}));
}

TEST_F(Quantitativos, RefusedPointEndsQuietlyAndAPickWithoutPipesSaysSo)
{
    Tubo(0, "PBA15DN50-6m", "Tubo PVC PBA JE Classe 15", "0");
    Conexao("A-TE", 100, "TEPBADN50x50", "", "PVC PBA", "1");

    bool cancelado = false;
    script->Escape().Enter();
    qtt.INS_Capture(cancelado, false);
    EXPECT_TRUE(cancelado);
    EXPECT_TRUE(caixas.empty());
    EXPECT_EQ(script->Prompts(), (std::vector<std::string>{"Ponto de inserção: ", "Ponto de inserção: "}));
    EXPECT_TRUE(Tabela().empty());

    // Only the tee picked: no pipe, no table.
    app->ZoomCenter({150, 25, 0}, 600);
    script->Point({0, -100, 0}).Window({90, -20, 0}, {110, 10, 0}).Enter();
    cancelado = false;
    qtt.INS_Capture(cancelado, false);
    EXPECT_TRUE(cancelado);
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Titulo, "Quantitativos");
    EXPECT_EQ(caixas[0].Texto, "Nenhuma tubulação encontrada.\r\n\r\nOperação cancelada.");
    EXPECT_TRUE(Tabela().empty());
}

TEST_F(Quantitativos, StopWhileDrawingLeavesTheRowsDrawnSoFar)
{
    for (int i = 0; i < 6; ++i)
        Tubo(i * 20, "PBA15DN" + std::to_string(50 + 25 * (i % 3)) + "-6m", "", std::to_string(i % 2));
    int passos = 0;
    const forms::YieldHook antes = forms::SetYieldHook([&] {
        // Let the reading go through; stop at the third table row.
        if (Doc().ModelSpace().Count() < 6 + 3) return;
        ++passos;
        for (forms::Form* f : forms::Forms())
            if (auto* c = dynamic_cast<frmCancelar*>(f)) forms::user::Click(c->CmdCancel);
    });
    bool cancelado = false;
    Roda(false, cancelado);
    forms::SetYieldHook(antes);
    EXPECT_TRUE(cancelado);
    EXPECT_GE(passos, 1);
    const std::vector<Linha> t = Tabela();
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.front().Bloco, "RQ-A");
    EXPECT_NE(t.back().Bloco, "RQ-T");
    for (forms::Form* f : forms::Forms()) EXPECT_EQ(dynamic_cast<frmCancelar*>(f), nullptr);
}
