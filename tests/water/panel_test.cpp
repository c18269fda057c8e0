// The water panel with the shipped catalogue over the drawing host: its lists,
// the material's picture menu, the diameter lists that draw, the codes of the
// fittings it places, the preferred pipe, its tab sets and kept settings.

#include <atomic>
#include <cmath>

#include "DesenhoAgua.h"
#include "water/WATDes98.h"

using namespace watertest;
using namespace forms;

namespace {

std::string NomeUnico(const std::string& Nome)
{
    static std::atomic<int> n{0};
    return Nome + std::to_string(n++);
}

// A form holding only the panel "WC", shown.
struct FormAgua {
    explicit FormAgua(const std::string& Nome) : form(Nome), WC(form.Add<WATDes98>("WC"))
    {
        form.Move(0, 0, 2800, 4000);
        form.Show();
    }
    ~FormAgua() { Unload(form); }
    Form form;
    WATDes98& WC;
};

class PainelAgua : public DesenhoAgua {
protected:
    PainelAgua() : painel(std::make_unique<FormAgua>(NomeUnico("frmAgua"))), WC(painel->WC)
    {
        WC.Start(false);
        EXPECT_TRUE(WC.Iniciado());
    }

    static std::vector<std::string> Itens(const ListBox& L)
    {
        std::vector<std::string> v;
        for (int i = 0; i < L.ListCount(); ++i) v.push_back(L.List(i));
        return v;
    }
    static int Indice(const ComboBox& C, const std::string& Texto)
    {
        for (int i = 0; i < C.ListCount(); ++i)
            if (C.List(i) == Texto) return i;
        ADD_FAILURE() << "sem " << Texto;
        return -1;
    }
    static int Indice(const ListBox& L, const std::string& Texto)
    {
        for (int i = 0; i < L.ListCount(); ++i)
            if (L.List(i) == Texto) return i;
        ADD_FAILURE() << "sem " << Texto;
        return -1;
    }

    void EscolheMaterial(const std::string& Material) { user::Choose(WC.Material, Indice(WC.Material, Material)); }

    // Presses the menu button of the fitting with this code, where a person
    // sees it.
    void Aperta(const std::string& Codigo)
    {
        for (int k = 1; k < 64; ++k) {
            const PicMnuBotaoRec b = WC.WATMenu.Botao(k);
            if (b.Key != Codigo) continue;
            const double largura = 135.0 / WC.WATMenu.gDimX(), altura = 107.0 / WC.WATMenu.gDimy();
            user::ClickAt(WC.WATMenu.Picture1, (b.Column + 0.5) * largura, (b.Row + 0.5) * altura);
            return;
        }
        ADD_FAILURE() << "sem botão " << Codigo;
    }

    void Gira(double Angulo)
    {
        ASSERT_TRUE(Doc().CommandLine().Active());
        script->Angle(Angulo);
        Doc().CommandLine().Continue();
    }

    std::unique_ptr<FormAgua> painel;
    WATDes98& WC;
};

}  // namespace

TEST_F(PainelAgua, StartFillsTheListsFromTheCatalogue)
{
    ASSERT_EQ(WC.Material.ListCount(), static_cast<int>(gMateriaisAgua.size()));
    for (std::size_t i = 0; i < gMateriaisAgua.size(); ++i)
        EXPECT_EQ(WC.Material.List(static_cast<int>(i)), gMateriaisAgua[i].Material);
    EXPECT_EQ(WC.Material.ListIndex(), 0);
    // Pipe materials are no preferred material.
    EXPECT_EQ(WC.PrefMatCbo.ListCount(), 5);
    for (int i = 0; i < WC.PrefMatCbo.ListCount(); ++i) EXPECT_FALSE(MaterialDeTubos(WC.PrefMatCbo.List(i)));
    EXPECT_EQ(WC.PrefMatCbo.ListIndex(), 0);
    // "Indefinido" then the named pipe types, so the list's index is the table's.
    ASSERT_EQ(WC.PrefTubCbo.ListCount(), 10);
    EXPECT_EQ(WC.PrefTubCbo.List(0), "Indefinido");
    for (std::size_t i = 0, k = 1; i < gTiposTubo.size(); ++i)
        if (!gTiposTubo[i].Nome.empty()) {
            EXPECT_EQ(WC.PrefTubCbo.List(static_cast<int>(k++)), gTiposTubo[i].Nome);
        }
    EXPECT_EQ(WC.Etapa.Text(), "Existente");
    EXPECT_EQ(WC.FindCbo.Text(), "Existente");
    for (ComboBox* c : {&WC.Material, &WC.PrefMatCbo, &WC.PrefTubCbo}) EXPECT_EQ(c->DropDownWidth(), 4500);
    // The first material's menu is built, nothing chosen yet.
    EXPECT_FALSE(WC.WATMenu.MenuOff);
    EXPECT_EQ(WC.Material.ToolTipText(), gMateriaisAgua[0].Material);
    EXPECT_EQ(WC.WatDP.ListCount(), 0);
    EXPECT_FALSE(WC.DesCmd.Enabled());
    // A later start returns at once: the lists are not doubled.
    WC.Start(false);
    EXPECT_EQ(WC.PrefMatCbo.ListCount(), 5);
}

TEST_F(PainelAgua, TheMenuOffersTheMaterialsFittingsAndAButtonFindsItsFittingByCode)
{
    EscolheMaterial("PVC PBA");
    EXPECT_EQ(WC.WATMenu.gDimX(), 4);
    EXPECT_EQ(WC.WATMenu.gDimy(), 2);
    EXPECT_EQ(WC.WATMenu.Botao(1).Key, "TEPBA");
    EXPECT_EQ(WC.WATMenu.Botao(1).Description, "Tê");
    // The ring without a block has no button.
    for (int k = 1; k < 16; ++k) EXPECT_NE(WC.WATMenu.Botao(k).Key, "ANPBA");

    EXPECT_FALSE(WC.TuboCmd.ToolTipText().empty());
    Aperta("C90PBA");
    EXPECT_EQ(Itens(WC.WatDP), (std::vector<std::string>{"50", "75", "100"}));
    EXPECT_EQ(WC.WatDS.ListCount(), 0);
    // Choosing a fitting takes the pipe button's picture and tip away.
    EXPECT_TRUE(WC.TuboCmd.ToolTipText().empty());
    Aperta("TEPBA");
    EXPECT_EQ(Itens(WC.WatDP), (std::vector<std::string>{"50", "75", "100"}));
    EXPECT_FALSE(WC.DesCmd.Enabled());

    // Another material empties the lists.
    EscolheMaterial("Ferro Fundido");
    EXPECT_EQ(WC.WatDP.ListCount(), 0);
    EXPECT_EQ(WC.Material.ToolTipText(), "Ferro Fundido");

    // With a fitting without block before the others in the list, every
    // button still finds its own fitting.
    MaterialAguaRec* pba = nullptr;
    for (MaterialAguaRec& m : gMateriaisAgua)
        if (m.Material == "PVC PBA") pba = &m;
    ASSERT_NE(pba, nullptr);
    ConexaoAguaRec anel;
    anel.Conexao = "Anel";
    anel.Codigo = "ANX";
    anel.Diametros = {{"999", {""}, false}};
    pba->Conexoes.insert(pba->Conexoes.begin() + 1, anel);
    EscolheMaterial("PVC PBA");
    Aperta("C90PBA");
    EXPECT_EQ(Itens(WC.WatDP), (std::vector<std::string>{"50", "75", "100"}));
}

TEST_F(PainelAgua, AClickOnTheLastDiameterNeededPlacesTheFitting)
{
    EscolheMaterial("PVC PBA");
    WC.Etapa.SetListIndex(2);
    Aperta("TEPBA");
    // A primary diameter with secondary ones only lists them.
    user::Choose(WC.WatDP, Indice(WC.WatDP, "100"));
    EXPECT_EQ(Itens(WC.WatDS), (std::vector<std::string>{"50", "75", "100"}));
    EXPECT_FALSE(WC.DesCmd.Enabled());
    EXPECT_TRUE(Blocos("A-TE").empty());
    user::DblClick(WC.WatDP);
    EXPECT_TRUE(Blocos("A-TE").empty());
    user::Choose(WC.WatDP, Indice(WC.WatDP, "100"));

    script->Point({100, 200, 0});
    user::Choose(WC.WatDS, Indice(WC.WatDS, "75"));
    Gira(M_PI / 2);
    std::vector<acad::BlockReference*> b = Blocos("A-TE");
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(Texto(b[0], "CODIGO"), "TEPBADN100x75");
    EXPECT_EQ(Texto(b[0], "MATERIAL"), "PVC PBA");
    EXPECT_EQ(Texto(b[0], "ETAPA"), "2");
    EXPECT_EQ(Texto(b[0], "CODIG1"), "");
    EXPECT_TRUE(WC.DesCmd.Enabled());

    // A fitting without secondary diameters is placed at the first click,
    // again by the draw button.
    Aperta("C90PBA");
    script->Point({300, 200, 0});
    user::Choose(WC.WatDP, Indice(WC.WatDP, "75"));
    Gira(0);
    script->Point({400, 200, 0});
    user::Click(WC.DesCmd);
    Gira(0);
    b = Blocos("A-CURVA90");
    ASSERT_EQ(b.size(), 2u);
    EXPECT_EQ(Texto(b[0], "CODIGO"), "C90PBADN75");
    EXPECT_EQ(Texto(b[1], "CODIGO"), "C90PBADN75");
    EXPECT_EQ(script->Remaining(), 0u);
}

TEST_F(PainelAgua, APipeMaterialDrawsAPipeAndThePipeButtonAsksForItsFittings)
{
    // A pipe type's diameter goes to the pipe drawing, which asks for the
    // first fitting; Escape there draws nothing.
    EscolheMaterial("Tubulações PVC");
    Aperta("PBA15");
    EXPECT_EQ(Itens(WC.WatDP), (std::vector<std::string>{"50", "75", "100"}));
    script->Escape();
    user::Choose(WC.WatDP, Indice(WC.WatDP, "75"));
    EXPECT_EQ(script->Prompts().back(), "Selecione Conexão ou Polyline:");
    EXPECT_TRUE(Blocos("A-TUBO").empty());
    script->Escape();
    user::Click(WC.TuboCmd);
    EXPECT_EQ(script->Prompts().back(), "Selecione Conexão ou Polyline:");
    EXPECT_EQ(script->Remaining(), 0u);
}

TEST_F(PainelAgua, ExtraCodesCarryTheDiameterAndTheFlangeRingFollowsIt)
{
    EscolheMaterial("Ferro Fundido");
    Aperta("RGFFL");
    for (const char* dn : {"500", "400"}) {
        SCOPED_TRACE(dn);
        script->Point({std::atof(dn), 0, 0});
        user::Choose(WC.WatDP, Indice(WC.WatDP, dn));
        Gira(0);
        acad::BlockReference* r = Blocos("A-REGISTROF").back();
        EXPECT_EQ(Texto(r, "CODIGO"), std::string("RGFFLDN") + dn);
        EXPECT_EQ(Texto(r, "CODIG1"), std::string(dn == std::string("500") ? "RCFC16DN" : "RCFC10DN") + dn);
        EXPECT_EQ(Texto(r, "CODIG2"), std::string("CXREGDN") + dn);
        EXPECT_EQ(Texto(r, "CODIG3"), "");
    }
    // An extra code in place of the fitting's own.
    std::string codigo, extras[4];
    for (MaterialAguaRec& m : gMateriaisAgua)
        for (ConexaoAguaRec& c : m.Conexoes)
            if (c.Codigo == "RGFFL") c.Extras.push_back({"CODIGO", "RGX"});
    EscolheMaterial("Ferro Fundido");
    Aperta("RGFFL");
    script->Point({0, 50, 0});
    user::Choose(WC.WatDP, Indice(WC.WatDP, "80"));
    Gira(0);
    EXPECT_EQ(Texto(Blocos("A-REGISTROF").back(), "CODIGO"), "RGXDN80");
}

TEST_F(PainelAgua, ThePreferredPipeIsAskedForAndChangesTheSocketsOfTheMaterial)
{
    user::Choose(WC.PrefMatCbo, Indice(WC.PrefMatCbo, "PVC PBA"));
    EXPECT_EQ(WC.PrefTubCbo.Text(), "Tubo PVC PBA JE Classe 15");
    // The same pipe again asks nothing.
    user::Choose(WC.PrefTubCbo, Indice(WC.PrefTubCbo, "Tubo PVC PBA JE Classe 15"));
    EXPECT_TRUE(caixas.empty());

    // "Não": nothing changes and the list shows the pipe in force.
    respostas = {false};
    user::Choose(WC.PrefTubCbo, Indice(WC.PrefTubCbo, "Tubo PVC PBA JE Classe 20"));
    ASSERT_EQ(caixas.size(), 1u);
    EXPECT_EQ(caixas[0].Titulo, "Alterar Tubo Preferencial");
    EXPECT_EQ(caixas[0].Texto, "de: Tubo PVC PBA JE Classe 15\r\npara: Tubo PVC PBA JE Classe 20?");
    EXPECT_EQ(WC.PrefTubCbo.Text(), "Tubo PVC PBA JE Classe 15");
    const auto pba = [] {
        for (const MaterialAguaRec& m : gMateriaisAgua)
            if (m.Material == "PVC PBA") return m;
        return MaterialAguaRec();
    };
    EXPECT_EQ(pba().Tubulacao, "Tubo PVC PBA JE Classe 15");
    EXPECT_EQ(caixas.size(), 1u);

    // "Sim": the material and every socket that took the old pipe.
    respostas = {true};
    user::Choose(WC.PrefTubCbo, Indice(WC.PrefTubCbo, "Tubo PVC PBA JE Classe 20"));
    EXPECT_EQ(caixas.size(), 2u);
    EXPECT_EQ(pba().Tubulacao, "Tubo PVC PBA JE Classe 20");
    int bolsas = 0;
    for (const ConexaoAguaRec& c : pba().Conexoes)
        for (const BolsaPontoRec& b : c.Bolsas) {
            EXPECT_NE(b.Tubulacao, "Tubo PVC PBA JE Classe 15");
            bolsas += b.Tubulacao == "Tubo PVC PBA JE Classe 20";
        }
    EXPECT_GT(bolsas, 0);
    // Other materials keep theirs.
    user::Choose(WC.PrefMatCbo, Indice(WC.PrefMatCbo, "PVC DEFoFo"));
    EXPECT_EQ(WC.PrefTubCbo.Text(), "Tubo PVC DEFoFo JE");
    EXPECT_EQ(caixas.size(), 2u);
}

TEST_F(PainelAgua, InterfaceShowsOneTabSetAndTheSettingsAreKeptForTheRun)
{
    EXPECT_EQ(WC.SSDesenho.Left(), 0);
    EXPECT_EQ(WC.SSTools.Left(), 4000);
    EXPECT_EQ(WC.SSLumbra.Left(), 4000);
    WC.SetInterface(1);
    EXPECT_EQ(WC.SSTools.Left(), 0);
    EXPECT_EQ(WC.ProgressBar2.Left(), 0);
    EXPECT_EQ(WC.SSDesenho.Left(), 4000);
    EXPECT_EQ(WC.ProgressBar1.Left(), 4000);
    WC.SetInterface(2);
    EXPECT_EQ(WC.SSLumbra.Left(), 0);
    EXPECT_EQ(WC.ProgressBar1.Left(), 0);
    EXPECT_EQ(WC.SSTools.Left(), 4000);
    EXPECT_EQ(WC.ProgressBar2.Left(), 4000);
    // The export is offered once its tab set is clicked.
    EXPECT_FALSE(WC.ExpCmd.Enabled());
    user::ChooseTab(WC.SSLumbra, 2);
    EXPECT_TRUE(WC.ExpCmd.Enabled());
    WC.SetInterface(3);
    EXPECT_EQ(WC.Interface(), 3);
    EXPECT_EQ(WC.SSLumbra.Left(), 0);
    WC.SetInterface(0);
    EXPECT_EQ(WC.SSDesenho.Left(), 0);
    EXPECT_EQ(WC.SSLumbra.Left(), 4000);
    // The size is fixed.
    WC.Move(0, 0, 5000, 6000);
    EXPECT_EQ(WC.Width(), 2595);
    EXPECT_EQ(WC.Height(), 3810);

    {
        FormAgua f("frmAguaPreferencias");
        WATDes98& P = f.WC;
        EXPECT_EQ(P.Interface(), 1);
        EXPECT_EQ(P.AcadZoomCenter(), 400);
        EXPECT_DOUBLE_EQ(P.AcadZoomScale(), 0.4);
        EXPECT_EQ(P.SeparadorDecimal(), 1);
        EXPECT_EQ(P.PRECCOTA(), 3);
        EXPECT_EQ(P.PRECDIST(), 2);
        P.SetInterface(2);
        P.SetAcadZoomCenter(250);
        P.SetAcadZoomScale(0.7);
        P.SetSeparadorDecimal(0);
        P.SetPRECCOTA(1);
        P.SetPRECDIST(4);
    }
    FormAgua f("frmAguaPreferencias");
    WATDes98& P = f.WC;
    EXPECT_EQ(P.Interface(), 2);
    EXPECT_EQ(P.AcadZoomCenter(), 250);
    EXPECT_DOUBLE_EQ(P.AcadZoomScale(), 0.7);
    EXPECT_EQ(P.SeparadorDecimal(), 0);
    EXPECT_EQ(P.PRECCOTA(), 1);
    EXPECT_EQ(P.PRECDIST(), 4);
    // Reading the settings moves nothing.
    EXPECT_EQ(P.SSDesenho.Left(), 0);
    EXPECT_EQ(P.SSLumbra.Left(), 4000);
}

TEST_F(PainelAgua, ACatalogueThatCannotLoadLeavesThePanelUnstartedUntilTheNextTry)
{
    FormAgua f(NomeUnico("frmAgua"));
    gMdbPath = (pasta / "nenhum.mdb").string();
    f.WC.Start(false);
    EXPECT_FALSE(f.WC.Iniciado());
    EXPECT_EQ(f.WC.Material.ListCount(), 0);
    // Clicks before a start do nothing.
    user::Choose(f.WC.Etapa, 1);
    gMdbPath = (PastaDoPrograma() / "rereva2000r.mdb").string();
    f.WC.Start(false);
    EXPECT_TRUE(f.WC.Iniciado());
    EXPECT_GT(f.WC.Material.ListCount(), 0);
}
