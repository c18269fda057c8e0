// Sheet layouts and files: the template layout's title block and key map
// written for each map sheet, the layouts copied from it, the files saved per
// sheet or per group of layouts, the preview, and the names checked before
// anything changes. The worker's sheet list is given as the sheet reading
// leaves it (reading order, rows and columns).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>

#include "TopoTestSupport.h"
#include "cad/modAcad.h"
#include "platform/acad/Acad.h"
#include "platform/forms/Testing.h"
#include "shell/ProgressBar.h"
#include "shell/frmCancelar.h"
#include "shell/frmMsgBox.h"
#include "shell/modGlobais.h"
#include "topography/clsTOPMar.h"
#include "topography/frmMARExe.h"

using namespace topotest;
using namespace forms;

namespace {

namespace fs = std::filesystem;

constexpr double kW = 786, kH = 499;

class Layouts : public TopoTest {
protected:
    // The user's trash, where files written again send the ones they
    // replace, lives in the test's folder while it runs.
    void SetUp() override
    {
        if (const char* v = std::getenv("XDG_DATA_HOME")) dadosAntes_ = v;
        ::setenv("XDG_DATA_HOME", (pasta / "share").c_str(), 1);
    }
    void TearDown() override
    {
        if (dadosAntes_)
            ::setenv("XDG_DATA_HOME", dadosAntes_->c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
    }
    fs::path Lixeira() { return pasta / "share" / "Trash" / "files"; }
    static std::string Le(const fs::path& P)
    {
        std::ifstream f(P, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }

    Layouts()
        : driver_([this](Form& f) {
              if (auto* d = dynamic_cast<frmMARExe*>(&f)) {
                  ++dialogos;
                  if (!opcoes) {
                      user::Click(d->CmdCancel);
                      return;
                  }
                  opcoes(*d);
                  return;
              }
              if (auto* box = dynamic_cast<frmMsgBox*>(&f); box && box->Titulo.Caption() == "Margens: Modo Preview") {
                  ++perguntas;
                  user::Click(perguntas < continuarAte ? box->CmdOK : box->CmdCancel);
                  return;
              }
              if (anterior_) anterior_(f);
          })
    {
    }

    // The template layout "Layout1": a viewport, the title block "SELO" whose
    // NUMERO reads "0000" at (510, 30), and, unless `tags` is empty, a key map
    // "INDICE" at (500, 100) with those attributes (a cell XLrCc at
    // (500 + 10c, 100 - 10r)). The drawing is saved as `nome` in the
    // temporary folder unless that is empty.
    void Modelo(const std::vector<std::string>& tags, const std::string& nome = "Mapa-ABC.dwg")
    {
        acad::Document& doc = Doc();
        doc.Layers().Add("NUM_QUADRICULA");
        doc.Layers().Add("REF|QUADRICULA");
        acad::Block* selo = doc.Blocks().Add({0, 0, 0}, "SELO");
        selo->AddLine({0, 0, 0}, {100, 0, 0});
        selo->AddAttribute(5.0, 0, "", {10, 10, 0}, "NUMERO", "0000");
        acad::Block* ind = doc.Blocks().Add({0, 0, 0}, "INDICE");
        ind->AddLine({0, 0, 0}, {40, 0, 0});
        for (const std::string& t : tags) {
            int r = 1, c = 1;
            std::sscanf(t.c_str(), "XL%dC%d", &r, &c);
            ind->AddAttribute(2.0, 0, "", {10.0 * c, -10.0 * r, 0}, t, "");
        }
        acad::Layout* l = doc.Layouts().Item("Layout1");
        // Before it is first shown, or the host gives it a viewport of its own.
        l->Block().AddPViewport({250, 200, 0}, 400, 250);
        doc.SetActiveLayout(*l);
        l->Block().InsertBlock({500, 20, 0}, "SELO", 1, 1, 1, 0);
        if (!tags.empty()) l->Block().InsertBlock({500, 100, 0}, "INDICE", 1, 1, 1, 0);
        if (!nome.empty()) doc.SaveAs((pasta / nome).string());
        Conecta();
    }

    // The user's picks: the title's attribute, then the key map (or Escape).
    void Escolhe(bool Indice = true)
    {
        script->Point({512, 31, 0});
        if (Indice)
            script->Point({520, 100, 0});
        else
            script->Escape();
    }

    // A sheet as the reading leaves it, appended in reading order.
    static void Folha(clsTOPMar& m, int Numero, int Linha, int Coluna)
    {
        QuadriculaRec q;
        q.Numero = Numero;
        q.Linha = Linha;
        q.Coluna = Coluna;
        q.Largura = kW;
        q.Altura = kH;
        q.X = 650000 + (Coluna - 1) * kW;
        q.Y = 7450000 - (Linha - 1) * kH;
        m.Quads.push_back(q);
        m.NumQuads = static_cast<int>(m.Quads.size());
    }

    // `n` sheets numbered 1 to n, four to a row.
    static void Folhas(clsTOPMar& m, int n)
    {
        for (int k = 1; k <= n; ++k) Folha(m, k, (k - 1) / 4 + 1, (k - 1) % 4 + 1);
    }

    // An attribute of the block inserted at `p` in a layout's paper space.
    static std::string Atributo(acad::Document& doc, const std::string& Layout, const acad::Point3d& p,
                                const std::string& Tag)
    {
        for (acad::Entity* e : doc.Layouts().Item(Layout)->Block()) {
            auto* b = dynamic_cast<acad::BlockReference*>(e);
            if (!b || std::abs(b->InsertionPoint().x - p.x) > 1e-6 || std::abs(b->InsertionPoint().y - p.y) > 1e-6)
                continue;
            for (acad::AttributeReference* a : b->GetAttributes())
                if (a->TagString() == Tag) return a->TextString();
        }
        return "<nenhum>";
    }
    std::string Titulo(acad::Document& doc, const std::string& Layout)
    {
        return Atributo(doc, Layout, {500, 20, 0}, "NUMERO");
    }
    std::string Celula(const std::string& Tag) { return Atributo(Doc(), "Layout1", {500, 100, 0}, Tag); }

    static std::vector<std::string> NomesLayouts(const acad::Document& doc)
    {
        std::vector<std::string> r;
        for (acad::Layout* l : doc.Layouts().PaperLayouts()) r.push_back(l->Name());
        return r;
    }

    std::function<void(frmMARExe&)> opcoes;
    int dialogos = 0;
    int perguntas = 0;
    int continuarAte = 1000;  // the question number answered "Não"

    // A progress bar on a form of its own, as the panel hands its bar over.
    ProgressBar& Form1Barra()
    {
        if (!barraForm_) {
            barraForm_ = std::make_unique<Form>("frmBarraMargens");
            barra_ = &barraForm_->Add<ProgressBar>("Barra");
            barraForm_->Show();
        }
        return *barra_;
    }
    ~Layouts() override
    {
        if (barraForm_) Unload(*barraForm_);
    }

private:
    std::optional<std::string> dadosAntes_;
    std::unique_ptr<Form> barraForm_;
    ProgressBar* barra_ = nullptr;
    TestDriver anterior_ = SetTestDriver(nullptr);
    ScopedTestDriver driver_;
};

TEST_F(Layouts, TheDialogShowsItsModesListsAndKeyFilters)
{
    frmMARExe f;
    EXPECT_EQ(f.UTMCbo.Text(), "100");
    EXPECT_EQ(f.UTMCbo.ListCount(), 5);
    EXPECT_EQ(f.UTMEscCbo.Text(), "1000");
    EXPECT_EQ(f.MARtxt(2).Text(), "0010");
    EXPECT_EQ(f.MARtxt(3).Text(), "0010");
    EXPECT_EQ(f.MarCbo.Text(), "Folha #");
    EXPECT_EQ(f.NLayCbo.Text(), "Não limitar");
    EXPECT_EQ(f.NLayCbo.List(8), "9");
    EXPECT_EQ(f.Label2(6).Caption(), "Layouts por arquivo:");
    EXPECT_EQ(f.Label2(7).Caption(), "Distanciamento das linhas de Grade UTM:");
    f.SetfrmEstilo(0);
    EXPECT_EQ(f.Label1.Caption(), "Gerar Arquivos");
    EXPECT_FALSE(f.NLayCbo.Visible());
    EXPECT_FALSE(f.Label2(3).Visible());
    f.SetfrmEstilo(1);
    EXPECT_EQ(f.Label1.Caption(), "Gerar Layouts");
    EXPECT_TRUE(f.MARtxt(4).Visible());
    EXPECT_TRUE(f.Label2(6).Visible());
    f.SetfrmEstilo(7);
    EXPECT_EQ(f.Label1.Caption(), "Gerar Layouts");
    f.SetfrmEstilo(3);
    EXPECT_EQ(f.Label1.Caption(), "Grade UTM");
    EXPECT_EQ(f.Frame1(0).Top(), 5000);
    EXPECT_EQ(f.Frame1(1).Top(), 1080);
    f.Show();
    f.SetfrmEstilo(1);
    f.Frame1(0).SetTop(1080);
    f.Frame1(1).SetTop(5000);
    // The first number, the layout prefix and the layout count take digits
    // and "-" only; the other boxes anything.
    f.MARtxt(2).SetText("");
    user::Type(f.MARtxt(2), "1a-2.");
    EXPECT_EQ(f.MARtxt(2).Text(), "1-2");
    f.MARtxt(4).SetText("");
    user::Type(f.MARtxt(4), "X9");
    EXPECT_EQ(f.MARtxt(4).Text(), "9");
    f.MARtxt(1).SetText("");
    user::Type(f.MARtxt(1), "A b");
    EXPECT_EQ(f.MARtxt(1).Text(), "A b");
    f.NLayCbo.SetText("");
    user::Type(f.NLayCbo, "x3");
    EXPECT_EQ(f.NLayCbo.Text(), "3");
    user::Click(f.CmdCancel);
    EXPECT_TRUE(f.Cancel);
    EXPECT_FALSE(f.OK);
    Unload(f);
}

TEST_F(Layouts, LayoutNamesAndTitlesFollowTheOptionsAndEachCopyShowsItsSheet)
{
    Modelo({});
    clsTOPMar m;
    Folhas(m, 3);
    Escolhe(false);
    opcoes = [](frmMARExe& d) {
        // What the dialog proposes for "Mapa-ABC.dwg".
        EXPECT_EQ(d.Label1.Caption(), "Gerar Layouts");
        EXPECT_EQ(d.MARtxt(0).Text(), "Mapa-ABC");
        EXPECT_EQ(d.MARtxt(4).Text(), "ABC");
        d.MARtxt(0).SetText("P");
        d.MARtxt(1).SetText(" A ");
        d.MARtxt(4).SetText("X");
        user::Click(d.CmdOK);
    };
    m.MARLayout(1);
    EXPECT_TRUE(mensagens.Lista().empty()) << mensagens.Textos().front();
    EXPECT_EQ(NomesLayouts(Doc()), (std::vector<std::string>{"Layout1", "X-0030- A ", "X-0020- A ", "X-0010- A "}));
    EXPECT_EQ(Titulo(Doc(), "X-0030- A "), "P-0030-A");
    EXPECT_EQ(Titulo(Doc(), "X-0010- A "), "P-0010-A");
    // Each copy's viewport shows its own sheet.
    for (auto [nome, coluna] : {std::pair{"X-0030- A ", 3}, std::pair{"X-0010- A ", 1}}) {
        auto vps = Doc().Viewports(*Doc().Layouts().Item(nome));
        ASSERT_EQ(vps.size(), 1u);
        EXPECT_NEAR(vps[0]->View().Center().x, 650000 + (coluna - 0.5) * kW, 1e-6) << nome;
        EXPECT_NEAR(vps[0]->View().Center().y, 7450000 - kH / 2, 1e-6) << nome;
    }
    EXPECT_EQ(Doc().ActiveLayout().Name(), "Layout1");
    EXPECT_FALSE(Doc().MSpace());
    EXPECT_EQ(script->Remaining(), 0u);

    // The same sheets again: every name exists already. Nothing is copied.
    Escolhe(false);
    opcoes = [](frmMARExe& d) {
        d.MARtxt(0).SetText("P");
        d.MARtxt(1).SetText(" A ");
        d.MARtxt(4).SetText("X");
        user::Click(d.CmdOK);
    };
    m.MARLayout(1);
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Texto, "O layout \"X-0030- A \" já existe.\n\nOperação cancelada.");
    EXPECT_EQ(NomesLayouts(Doc()).size(), 4u);
}

TEST_F(Layouts, WholeNumbersGiveTheLabelWidthAndPreviewStopsAtNao)
{
    Modelo({});
    clsTOPMar m;
    Folha(m, 12, 1, 1);
    Folha(m, 13, 1, 2);
    Escolhe(false);
    continuarAte = 1;
    opcoes = [](frmMARExe& d) {
        EXPECT_EQ(d.MARtxt(4).Text(), "") << "proposed in mode 1 only";
        d.MARtxt(0).SetText("");
        d.MARtxt(2).SetText("1");
        d.MARtxt(3).SetText("1");
        user::Click(d.CmdOK);
    };
    m.MARLayout(2);
    EXPECT_EQ(perguntas, 1) << "\"Não\" ends the walk before the next sheet";
    EXPECT_EQ(Titulo(Doc(), "Layout1"), "12") << "the first number's width is a minimum";
    EXPECT_EQ(NomesLayouts(Doc()).size(), 1u);
    EXPECT_FALSE(Doc().Layers().Item("REF|QUADRICULA")->Freeze()) << "the preview freezes nothing";

    // A first number or step that is not whole changes nothing.
    for (const char* ruim : {"1.5", "", "dez"}) {
        mensagens.Limpa();
        Escolhe(false);
        opcoes = [&](frmMARExe& d) {
            d.MARtxt(3).SetText(ruim);
            user::Click(d.CmdOK);
        };
        m.MARLayout(2);
        ASSERT_EQ(mensagens.Textos().size(), 1u) << ruim;
        EXPECT_EQ(mensagens.Textos()[0],
                  "O número Inicial e o Incremento devem ser números inteiros.\n\nOperação cancelada.");
        EXPECT_EQ(perguntas, 1);
    }
    // Cancelled dialog or title pick: nothing at all.
    Escolhe(false);
    opcoes = nullptr;
    m.MARLayout(2);
    script->Escape();
    const int antes = dialogos;
    m.MARLayout(2);
    EXPECT_EQ(dialogos, antes);
    EXPECT_EQ(Titulo(Doc(), "Layout1"), "12");
}

TEST_F(Layouts, ThreeLayoutsPerFileWithSevenSheetsMakeThreeFilesTheLastOneThePartialGroup)
{
    Modelo({});
    clsTOPMar m;
    Folhas(m, 7);
    Escolhe(false);
    opcoes = [](frmMARExe& d) {
        d.MarCbo.SetText("Folha ##");
        d.NLayCbo.SetText("3");
        user::Click(d.CmdOK);
    };
    m.MARLayout(1);
    EXPECT_TRUE(mensagens.Lista().empty());
    const std::string base = (pasta / "Mapa-ABC").string();
    // A run of "#" is the counter, padded: not one counter per "#".
    EXPECT_FALSE(fs::exists(base + "Folha 11.dwg"));
    const std::vector<std::vector<std::string>> esperado = {
        {"Layout1", "ABC-0070", "ABC-0060", "ABC-0050"},
        {"Layout1", "ABC-0040", "ABC-0030", "ABC-0020"},
        {"Layout1", "ABC-0010"},
    };
    for (int f = 1; f <= 3; ++f) {
        const std::string arquivo = base + "Folha 0" + std::to_string(f) + ".dwg";
        ASSERT_TRUE(fs::exists(arquivo)) << arquivo;
        acad::Document lido;
        acad::ReadDxf(lido, arquivo);
        EXPECT_EQ(NomesLayouts(lido), esperado[static_cast<std::size_t>(f - 1)]) << arquivo;
        const std::string ultimo = esperado[static_cast<std::size_t>(f - 1)].back();
        EXPECT_EQ(Titulo(lido, ultimo), "Mapa-ABC-" + ultimo.substr(4)) << arquivo;
    }
    EXPECT_FALSE(fs::exists(base + "Folha 04.dwg"));
    // The open drawing is the last file; the sheet frames stay frozen, the
    // current layer does not.
    EXPECT_EQ(Doc().FullName(), base + "Folha 03.dwg");
    EXPECT_TRUE(Doc().Layers().Item("REF|QUADRICULA")->Freeze());

    // Again from the same drawing, into the same folder: every file is
    // written again, the one it replaces sent to the trash first.
    mensagens.Limpa();
    Doc().SaveAs((pasta / "Mapa-ABC.dwg").string());
    Doc().Layers().Item("NUM_QUADRICULA")->SetFreeze(false);
    Doc().SetActiveLayer(*Doc().Layers().Item("NUM_QUADRICULA"));
    Escolhe(false);
    opcoes = [](frmMARExe& d) {
        d.MARtxt(4).SetText("B");
        d.MarCbo.SetText("Folha ##");
        d.NLayCbo.SetText("3");
        user::Click(d.CmdOK);
    };
    m.MARLayout(1);
    EXPECT_TRUE(mensagens.Lista().empty()) << mensagens.Textos().front();
    const std::vector<std::vector<std::string>> deNovo = {
        {"Layout1", "ABC-0010", "B-0070", "B-0060", "B-0050"},
        {"Layout1", "B-0040", "B-0030", "B-0020"},
        {"Layout1", "B-0010"},
    };
    for (int f = 1; f <= 3; ++f) {
        const std::string nome = "Mapa-ABCFolha 0" + std::to_string(f) + ".dwg";
        acad::Document novo, antigo;
        acad::ReadDxf(novo, base + "Folha 0" + std::to_string(f) + ".dwg");
        EXPECT_EQ(NomesLayouts(novo), deNovo[static_cast<std::size_t>(f - 1)]) << nome;
        ASSERT_TRUE(fs::exists(Lixeira() / nome)) << nome;
        acad::ReadDxf(antigo, (Lixeira() / nome).string());
        EXPECT_EQ(NomesLayouts(antigo), esperado[static_cast<std::size_t>(f - 1)]) << nome;
    }
    EXPECT_EQ(NomesLayouts(Doc()), (std::vector<std::string>{"Layout1", "B-0010"}));
}

TEST_F(Layouts, OneFilePerSheetNamedAfterTheTitleAndThePaddedPattern)
{
    Modelo({});
    // The current layer is a sheet layer: it stays thawed.
    Doc().SetActiveLayer(*Doc().Layers().Item("NUM_QUADRICULA"));
    clsTOPMar m;
    Folhas(m, 2);
    Escolhe(false);
    opcoes = [](frmMARExe& d) {
        EXPECT_EQ(d.Label1.Caption(), "Gerar Arquivos");
        EXPECT_FALSE(d.NLayCbo.Visible());
        d.MarCbo.SetText("Folha ##");
        user::Click(d.CmdOK);
    };
    m.MARLayout(0);
    EXPECT_TRUE(mensagens.Lista().empty()) << mensagens.Textos().front();
    const std::string a1 = (pasta / "Mapa-ABC-0010 - Folha 01.dwg").string();
    const std::string a2 = (pasta / "Mapa-ABC-0020 - Folha 02.dwg").string();
    ASSERT_TRUE(fs::exists(a1));
    ASSERT_TRUE(fs::exists(a2));
    acad::Document lido;
    acad::ReadDxf(lido, a1);
    EXPECT_EQ(Titulo(lido, "Layout1"), "Mapa-ABC-0010");
    EXPECT_EQ(Doc().FullName(), a2) << "the last file saved stays open";
    EXPECT_FALSE(Doc().Layers().Item("NUM_QUADRICULA")->Freeze());
    EXPECT_TRUE(Doc().Layers().Item("REF|QUADRICULA")->Freeze());

    // A prefix the file system refuses: a message naming it, no file.
    Escolhe(false);
    opcoes = [](frmMARExe& d) {
        d.MARtxt(0).SetText("Rua 1/2");
        user::Click(d.CmdOK);
    };
    m.MARLayout(0);
    ASSERT_EQ(mensagens.Textos().size(), 1u);
    EXPECT_NE(mensagens.Textos()[0].find("Nome de arquivo inválido"), std::string::npos);
    EXPECT_FALSE(fs::exists(pasta / "Rua 1"));
}

TEST_F(Layouts, FilesWrittenAgainSendTheOldOnesToTheTrashAndWhatCannotBeReplacedStopsTheRun)
{
    Modelo({});
    clsTOPMar m;
    Folhas(m, 2);
    std::string prefixo = "Mapa-ABC";
    const auto corre = [&] {
        mensagens.Limpa();
        Escolhe(false);
        opcoes = [&prefixo](frmMARExe& d) {
            d.MARtxt(0).SetText(prefixo);
            d.MarCbo.SetText("Folha ##");
            user::Click(d.CmdOK);
        };
        m.MARLayout(0);
    };
    const std::string a1 = (pasta / "Mapa-ABC-0010 - Folha 01.dwg").string();
    const std::string a2 = (pasta / "Mapa-ABC-0020 - Folha 02.dwg").string();
    const std::string n1 = "Mapa-ABC-0010 - Folha 01", n2 = "Mapa-ABC-0020 - Folha 02";
    std::ofstream(a1) << "antiga";

    // The first sheet's file is there: replaced, the old one in the trash;
    // the second is new, and nothing of it goes there.
    corre();
    EXPECT_TRUE(mensagens.Lista().empty()) << mensagens.Textos().front();
    EXPECT_EQ(Le(Lixeira() / (n1 + ".dwg")), "antiga");
    EXPECT_FALSE(fs::exists(Lixeira() / (n2 + ".dwg")));
    acad::Document lido;
    acad::ReadDxf(lido, a1);
    EXPECT_EQ(Titulo(lido, "Layout1"), "Mapa-ABC-0010");

    // Again from the last file, which stayed open: its own file is replaced too.
    ASSERT_EQ(Doc().FullName(), a2);
    corre();
    EXPECT_TRUE(mensagens.Lista().empty()) << mensagens.Textos().front();
    EXPECT_TRUE(fs::exists(Lixeira() / (n1 + ".2.dwg")));
    EXPECT_TRUE(fs::exists(Lixeira() / (n2 + ".dwg")));
    EXPECT_EQ(Doc().FullName(), a2);

    // A file open in another drawing of the host is not replaced: the run
    // is refused before anything is written or sent to the trash.
    acad::Document& folhas = Doc();
    acad::Document* aberto = app->Documents().Open(a1);
    folhas.Activate();
    corre();
    ASSERT_EQ(mensagens.Textos().size(), 1u);
    EXPECT_EQ(mensagens.Textos()[0],
              "O arquivo " + a1 + " é o desenho aberto e não pode ser substituído pela folha.\n\nOperação cancelada.");
    EXPECT_FALSE(fs::exists(Lixeira() / (n1 + ".3.dwg")));
    EXPECT_FALSE(fs::exists(Lixeira() / (n2 + ".2.dwg")));
    app->Documents().Close(*aberto);
    folhas.Activate();

    // Nor is a folder of that name.
    prefixo = "X";
    fs::create_directory(pasta / "X-0020 - Folha 02.dwg");
    corre();
    ASSERT_EQ(mensagens.Textos().size(), 1u);
    EXPECT_EQ(mensagens.Textos()[0],
              "Já existe uma pasta \"" + (pasta / "X-0020 - Folha 02.dwg").string() + "\".\n\nOperação cancelada.");
    EXPECT_FALSE(fs::exists(pasta / "X-0010 - Folha 01.dwg"));

    // A file that cannot go to the trash stays as it was, and the walk ends
    // at its sheet.
    prefixo = "Mapa-ABC";
    const std::string antes = Le(a1);
    std::ofstream(pasta / "semlixeira") << "";
    ::setenv("XDG_DATA_HOME", (pasta / "semlixeira").c_str(), 1);
    corre();
    ASSERT_EQ(mensagens.Textos().size(), 1u);
    EXPECT_EQ(mensagens.Textos()[0].rfind("Não foi possível enviar à lixeira o arquivo " + a1 +
                                              ", e ele continua como estava. As folhas seguintes não foram gravadas.",
                                          0),
              0u)
        << mensagens.Textos()[0];
    EXPECT_EQ(Le(a1), antes);
    EXPECT_EQ(Titulo(Doc(), "Layout1"), "Mapa-ABC-0010");
    EXPECT_EQ(Doc().FullName(), a2);
}

TEST_F(Layouts, AnUnsavedDrawingWritesNoFileAndRefusedLayoutNamesChangeNothing)
{
    Modelo({}, "");
    clsTOPMar m;
    Folhas(m, 2);
    m.MARLayout(0);
    ASSERT_EQ(mensagens.Textos().size(), 1u);
    EXPECT_EQ(mensagens.Textos()[0], "Salve o desenho antes de gerar os arquivos das folhas.");
    EXPECT_EQ(script->Remaining(), 0u);
    // Layouts without a limit need no file.
    mensagens.Limpa();
    Escolhe(false);
    opcoes = [](frmMARExe& d) {
        d.MARtxt(4).SetText("A<B");
        user::Click(d.CmdOK);
    };
    m.MARLayout(1);
    ASSERT_EQ(mensagens.Textos().size(), 1u);
    EXPECT_EQ(mensagens.Textos()[0], "Nome de layout inválido: \"A<B-0020\"\n\nOperação cancelada.");
    EXPECT_FALSE(Doc().Layers().Item("REF|QUADRICULA")->Freeze());
    mensagens.Limpa();
    Escolhe(false);
    opcoes = [](frmMARExe& d) { user::Click(d.CmdOK); };
    m.MARLayout(1);
    EXPECT_TRUE(mensagens.Lista().empty());
    EXPECT_EQ(NomesLayouts(Doc()).size(), 3u);
    // With a limit, files would be written: asked to save first.
    mensagens.Limpa();
    Escolhe(false);
    opcoes = [](frmMARExe& d) {
        d.MARtxt(4).SetText("Z");
        d.NLayCbo.SetText("2");
        user::Click(d.CmdOK);
    };
    m.MARLayout(1);
    ASSERT_EQ(mensagens.Textos().size(), 1u);
    EXPECT_EQ(mensagens.Textos()[0], "Salve o desenho antes de gerar os arquivos das folhas.");
    EXPECT_EQ(NomesLayouts(Doc()).size(), 3u);
}

TEST_F(Layouts, TheKeyMapShowsTheSheetInItsCentreAndTheNeighboursAround)
{
    std::vector<std::string> tags;
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) tags.push_back("XL" + std::to_string(r) + "C" + std::to_string(c));
    Modelo(tags);
    clsTOPMar m;
    // Row 1: sheets 1 to 4; row 2: sheet 5 under sheet 1.
    Folhas(m, 5);
    Escolhe(true);
    continuarAte = 1;
    opcoes = [](frmMARExe& d) { user::Click(d.CmdOK); };
    m.MARLayout(2);
    EXPECT_TRUE(mensagens.Lista().empty());
    EXPECT_EQ(Celula("XL2C2"), "1");
    EXPECT_EQ(Celula("XL2C3"), "2") << "the neighbour to the east";
    EXPECT_EQ(Celula("XL3C2"), "5") << "the neighbour to the south";
    for (const char* vazia : {"XL1C1", "XL1C2", "XL1C3", "XL2C1", "XL3C1", "XL3C3"})
        EXPECT_EQ(Celula(vazia), "") << vazia;

    // The second sheet: its west, east and south-west neighbours; sheet 4,
    // two columns away, is not shown.
    perguntas = 0;
    continuarAte = 2;
    Escolhe(true);
    m.MARLayout(2);
    EXPECT_EQ(Celula("XL2C1"), "1");
    EXPECT_EQ(Celula("XL2C2"), "2");
    EXPECT_EQ(Celula("XL2C3"), "3");
    EXPECT_EQ(Celula("XL3C1"), "5");
    EXPECT_EQ(Celula("XL3C2"), "");
}

TEST_F(Layouts, AnInvalidKeyMapIsToldAndTheWalkGoesOnWithoutIt)
{
    // XL2C2 missing; then a tag that is not a row and column; then none at all.
    for (const std::vector<std::string>& tags :
         {std::vector<std::string>{"XL1C1", "XL1C2", "XL2C1"}, std::vector<std::string>{"XL1C1", "XLaC1", "NOME"},
          std::vector<std::string>{"NOME"}}) {
        app->Documents().Add("Acad");
        Modelo(tags, "");
        mensagens.Limpa();
        clsTOPMar m;
        Folhas(m, 1);
        Escolhe(true);
        perguntas = 0;
        continuarAte = 1000;
        opcoes = [](frmMARExe& d) { user::Click(d.CmdOK); };
        m.MARLayout(2);
        ASSERT_EQ(mensagens.Textos().size(), 1u) << tags[1 % tags.size()];
        EXPECT_EQ(mensagens.Textos()[0], "Bloco de INDICE inválido.");
        EXPECT_EQ(perguntas, 1);
        EXPECT_NE(Titulo(Doc(), "Layout1"), "0000") << "the title is written all the same";
    }
}

TEST_F(Layouts, TheCancelWindowStopsTheWalkKeepingWhatWasMadeAndTheProgramComesBack)
{
    Modelo({});
    ProgressBar& bar = Form1Barra();
    clsTOPMar m;
    m.ProgressBar = &bar;
    Folhas(m, 5);
    Escolhe(false);
    opcoes = [](frmMARExe& d) {
        d.NLayCbo.SetText("2");
        user::Click(d.CmdOK);
    };
    // Once the first sheet's layout is made: Cancelar.
    std::string mensagem;
    YieldHook anterior = SetYieldHook([&] {
        if (NomesLayouts(Doc()).size() != 2) return;
        for (Form* f : Forms())
            if (auto* c = dynamic_cast<frmCancelar*>(f); c && !c->Cancel) {
                mensagem = c->Mensagem();
                user::Click(c->CmdCancel);
            }
    });
    m.MARLayout(1);
    SetYieldHook(std::move(anterior));
    EXPECT_EQ(mensagem, "Executando Margens...");
    EXPECT_EQ(NomesLayouts(Doc()), (std::vector<std::string>{"Layout1", "ABC-0050"}));
    // A partial group is saved only by a walk that ran to its end.
    EXPECT_FALSE(fs::exists(pasta / "Mapa-ABCFolha 1.dwg"));
    for (Form* f : Forms()) EXPECT_EQ(dynamic_cast<frmCancelar*>(f), nullptr) << "the cancel window is unloaded";
    EXPECT_EQ(bar.CurValue(), 0) << "the bar is cleared";
    EXPECT_EQ(Doc().ActiveLayout().Name(), "Layout1");
    EXPECT_FALSE(Doc().MSpace());

    // Layout names the host's command line cannot take are refused too.
    Escolhe(false);
    opcoes = [](frmMARExe& d) {
        d.MARtxt(4).SetText("(A)");
        user::Click(d.CmdOK);
    };
    m.MARLayout(1);
    ASSERT_EQ(mensagens.Textos().size(), 1u);
    EXPECT_EQ(mensagens.Textos()[0], "Nome de layout inválido: \"(A)-0050\"\n\nOperação cancelada.");
}

}  // namespace
