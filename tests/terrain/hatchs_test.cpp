// Hatches of a drawing written by the host's DXFOUT and read back as loops and
// regions; the files the reader refuses; the loops kept in a database and
// drawn again.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <unistd.h>

#include "cad/CadTestSupport.h"
#include "HachurasTeste.h"
#include "cad/modAcad.h"
#include "cad/modGeometria.h"
#include "shell/modGlobais.h"
#include "terrain/clsHatchs.h"
#include "terrain/modRegioes.h"

namespace fs = std::filesystem;
using namespace hachuras;

namespace {

using Lista = std::vector<double>;

std::string Le(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// The files of our own in the temporary folder.
std::vector<fs::path> ArquivosTemporarios()
{
    std::vector<fs::path> r;
    for (const auto& e : fs::directory_iterator(fs::temp_directory_path()))
        if (e.path().filename().string().rfind("quoril_hachuras_" + std::to_string(::getpid()) + "_", 0) == 0)
            r.push_back(e.path());
    return r;
}

class Hachuras : public cadtest::CadTest {
protected:
    // The user's trash lives in the test's folder while it runs.
    void SetUp() override
    {
        if (const char* v = std::getenv("XDG_DATA_HOME")) dadosAntes_ = v;
        ::setenv("XDG_DATA_HOME", (pasta / "share").c_str(), 1);
        Conecta();
    }
    void TearDown() override
    {
        if (dadosAntes_)
            ::setenv("XDG_DATA_HOME", dadosAntes_->c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
    }
    fs::path Lixeira() { return pasta / "share" / "Trash" / "files"; }

    acad::Block& MS() { return Doc().ModelSpace(); }

    acad::Hatch* HatchDe(const std::string& Padrao, const std::vector<acad::Entity*>& Contorno,
                         const std::vector<acad::Entity*>& Furo = {}, const std::string& Camada = "")
    {
        acad::Hatch* h = MS().AddHatch(acad::HatchPatternType::PreDefined, Padrao, false);
        h->AppendOuterLoop(Contorno);
        if (!Furo.empty()) h->AppendInnerLoop(Furo);
        if (!Camada.empty()) {
            Doc().Layers().Add(Camada);
            h->SetLayer(Camada);
        }
        return h;
    }
    acad::Entity* Retangulo(double x0, double y0, double x1, double y1)
    {
        return MS().AddLightWeightPolyline({x0, y0, x1, y0, x1, y1, x0, y1});
    }

    // The region loops of pattern `Nome`.
    std::vector<clsHatchs::LoopRegiao> LoopsDe(const clsHatchs& h, const std::string& Nome)
    {
        std::vector<clsHatchs::LoopRegiao> r;
        for (const auto& l : h.Loops())
            if (l.Nome == Nome) r.push_back(l);
        return r;
    }

private:
    std::optional<std::string> dadosAntes_;
};

TEST_F(Hachuras, EveryBoundaryKindReadsBackThroughTheHostsDxf)
{
    // A polyline with a bulged side: the half circle from (100,0) to (100,100) around (100,50).
    acad::LWPolyline* bulge = MS().AddLightWeightPolyline({0, 0, 100, 0, 100, 100, 0, 100});
    bulge->SetBulge(1, 1.0);
    HatchDe("BULGE", {bulge});
    // Four lines out of order.
    HatchDe("LINHAS", {MS().AddLine({200, 0, 0}, {300, 0, 0}), MS().AddLine({300, 100, 0}, {200, 100, 0}),
                       MS().AddLine({300, 0, 0}, {300, 100, 0}), MS().AddLine({200, 100, 0}, {200, 0, 0})});
    // A square with a circle hole.
    HatchDe("ANEL", {Retangulo(400, 0, 500, 100)}, {MS().AddCircle({450, 50, 0}, 10)});
    // A half disc: an arc and a line.
    HatchDe("ARCO", {MS().AddArc({650, 50, 0}, 50, 0, PI), MS().AddLine({600, 50, 0}, {700, 50, 0})});
    // An ellipse.
    HatchDe("ELIPSE", {MS().AddEllipse({850, 50, 0}, {40, 0, 0}, 0.5)});
    // A spline edge and a text-box path give no loop, hence no region.
    HatchDe("SPLINE", {MS().AddSpline({1000, 0, 0, 1050, 80, 0, 1100, 0, 0}, {0, 0, 0}, {0, 0, 0})});
    acad::Hatch* texto = MS().AddHatch(acad::HatchPatternType::PreDefined, "TEXTO", false);
    acad::HatchData d = texto->Data();
    acad::HatchLoop caixa;
    caixa.flags = acad::HatchLoopType::Textbox | acad::HatchLoopType::Polyline;
    caixa.isPolyline = true;
    caixa.polyline.closed = true;
    for (auto [x, y] : {std::pair{1200.0, 0.0}, {1300.0, 0.0}, {1300.0, 20.0}, {1200.0, 20.0}})
        caixa.polyline.vertices.push_back({{x, y, 0}, 0.0});
    d.loops.push_back(caixa);
    texto->SetData(d);

    Doc().SetVariable("FILEDIA", 1);
    clsHatchs h;
    h.CreateDXF("");
    EXPECT_EQ(Doc().GetVariable("FILEDIA").AsInt(), 1);
    ASSERT_FALSE(h.CaminhoDXF().empty());
    h.ReadHatchs();
    EXPECT_TRUE(mensagens.Lista().empty());

    ASSERT_EQ(gNumHatchs, 5);
    std::vector<std::string> nomes;
    for (const HatchRec& r : gHatchs) nomes.push_back(r.Nome);
    EXPECT_EQ(nomes, (std::vector<std::string>{"BULGE", "LINHAS", "ANEL", "ARCO", "ELIPSE"}));

    // The bulged polyline: its four vertices as the densifier gives them, closed.
    auto b = LoopsDe(h, "BULGE");
    ASSERT_EQ(b.size(), 1u);
    Lista esperado = DensifyBulges({0, 0, 100, 0, 100, 100, 0, 100}, {0, 1, 0, 0}, 1.5);
    esperado.push_back(0);
    esperado.push_back(0);
    ASSERT_EQ(b[0].Pontos.size(), esperado.size());
    for (std::size_t i = 0; i < esperado.size(); ++i) EXPECT_NEAR(b[0].Pontos[i], esperado[i], 1e-9) << i;
    EXPECT_EQ(b[0].Externo, 1);
    double maxX = 0;
    for (std::size_t i = 0; i < b[0].Pontos.size(); i += 2) maxX = std::max(maxX, b[0].Pontos[i]);
    EXPECT_NEAR(maxX, 150, 1e-6);

    // The lines: one loop D, A, B, C, D, D.
    auto l = LoopsDe(h, "LINHAS");
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(l[0].Pontos, (Lista{200, 100, 200, 0, 300, 0, 300, 100, 200, 100, 200, 100}));

    // The ring: the square (External) and the circle hole, every point on the circle.
    auto a = LoopsDe(h, "ANEL");
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0].Externo, 1);
    EXPECT_EQ(a[1].Externo, 0);
    EXPECT_EQ(a[1].Loop, 1);
    EXPECT_EQ(a[1].Pontos.size(), 2u * 42u);  // Fix(2π·10 / 1.5) + 1
    EXPECT_TRUE(Fechado(a[1].Pontos));
    for (std::size_t i = 0; i < a[1].Pontos.size(); i += 2)
        EXPECT_TRUE(NoCirculo(a[1].Pontos[i], a[1].Pontos[i + 1], 450, 50, 10)) << i;

    // The half disc: the arc's points and the line, closed.
    auto arco = LoopsDe(h, "ARCO");
    ASSERT_EQ(arco.size(), 1u);
    EXPECT_TRUE(Fechado(arco[0].Pontos));
    for (std::size_t i = 0; i < arco[0].Pontos.size(); i += 2) {
        const double x = arco[0].Pontos[i], y = arco[0].Pontos[i + 1];
        EXPECT_TRUE(std::fabs(y - 50) < 1e-9 || NoCirculo(x, y, 650, 50, 50)) << x << "," << y;
    }
    EXPECT_EQ(arco[0].Pontos.size(), 2u * 107u);

    // The ellipse: every point on it.
    auto e = LoopsDe(h, "ELIPSE");
    ASSERT_EQ(e.size(), 1u);
    EXPECT_GT(e[0].Pontos.size(), 2u * 100u);
    for (std::size_t i = 0; i < e[0].Pontos.size(); i += 2) {
        const double u = (e[0].Pontos[i] - 850) / 40, v = (e[0].Pontos[i + 1] - 50) / 20;
        EXPECT_NEAR(u * u + v * v, 1.0, 1e-9);
    }

    // The lookups over what was read.
    std::string nome;
    h.Info_Pavto(Ponto(120, 50), nome);  // inside the bulge
    EXPECT_EQ(nome, "BULGE");
    h.Info_Pavto(Ponto(420, 50), nome);
    EXPECT_EQ(nome, "ANEL");
    h.Info_Pavto(Ponto(450, 50), nome);  // in the hole
    EXPECT_EQ(nome, "");
    h.Info_Pavto(Ponto(650, 90), nome);
    EXPECT_EQ(nome, "ARCO");
    h.Info_Pavto(Ponto(650, 40), nome);
    EXPECT_EQ(nome, "");
    h.Info_Pavto(Ponto(880, 55), nome);
    EXPECT_EQ(nome, "ELIPSE");

    // The drawing had no file: the hatch file was ours, and is gone.
    EXPECT_TRUE(ArquivosTemporarios().empty());
}

TEST_F(Hachuras, LayerFilterAndTheFileBesideTheDrawing)
{
    HatchDe("CONCRETO", {Retangulo(0, 0, 100, 100)}, {}, "PAVIMENTO");
    HatchDe("ZONA", {Retangulo(200, 0, 300, 100)});
    HatchDe("ASFALTO", {Retangulo(400, 0, 500, 100)}, {}, "PAVIMENTO");
    Doc().SaveAs((pasta / "TOP.dwg").string());
    const std::string desenho = Le(pasta / "TOP.dwg");
    // A file of that name may be the user's own: it goes to the trash.
    Escreve(pasta / "TOP.dxf", "minhas hachuras");

    clsHatchs pav;
    pav.CreateDXF("PAVIMENTO");
    EXPECT_EQ(fs::path(pav.CaminhoDXF()), pasta / "TOP.dxf");
    pav.ReadHatchs();
    ASSERT_EQ(gNumHatchs, 2);
    EXPECT_EQ(gHatchs[0].Nome, "CONCRETO");
    EXPECT_EQ(gHatchs[1].Nome, "ASFALTO");
    gHatchPavimentos = gHatchs;
    EXPECT_EQ(PavimentoDoPonto(Ponto(450, 50)), "ASFALTO");
    EXPECT_EQ(PavimentoDoPonto(Ponto(250, 50)), "Sem Pavimento");
    // The file beside the drawing was the program's own: gone once read. The
    // drawing is untouched.
    EXPECT_FALSE(fs::exists(pasta / "TOP.dxf"));
    EXPECT_EQ(Le(pasta / "TOP.dwg"), desenho);
    EXPECT_EQ(Le(Lixeira() / "TOP.dxf"), "minhas hachuras");

    // The next run finds none of its own to send to the trash: every hatch now.
    HatchDe("ZONA", {Retangulo(600, 0, 700, 100)});
    clsHatchs todas;
    todas.CreateDXF("");
    EXPECT_EQ(fs::path(todas.CaminhoDXF()), pasta / "TOP.dxf");
    todas.ReadHatchs();
    ASSERT_EQ(gNumHatchs, 3);
    EXPECT_EQ(gHatchs[1].Nome, "ZONA");
    EXPECT_EQ(todas.Loops().size(), 4u);
    EXPECT_FALSE(fs::exists(pasta / "TOP.dxf"));
    EXPECT_EQ(std::distance(fs::directory_iterator(Lixeira()), {}), 1);
    EXPECT_TRUE(mensagens.Lista().empty());

    // A file that cannot go to the trash stays, and nothing is exported.
    Escreve(pasta / "TOP.dxf", "outras hachuras");
    const std::string anterior = Le(pasta / "TOP.dxf");
    fs::remove_all(pasta / "share");
    Escreve(pasta / "share", "sem lixeira");
    clsHatchs sem;
    sem.CreateDXF("");
    EXPECT_EQ(sem.CaminhoDXF(), "");
    EXPECT_EQ(Le(pasta / "TOP.dxf"), anterior);
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    const std::string aviso = mensagens.Lista()[0].Texto;
    EXPECT_EQ(aviso.rfind("Não foi possível enviar à lixeira o arquivo " + (pasta / "TOP.dxf").string() +
                              ", e ele continua como estava. As hachuras não foram exportadas.\n",
                          0),
              0u)
        << aviso;
    EXPECT_NE(aviso.find((pasta / "share").string()), std::string::npos) << "the reason: " << aviso;
    EXPECT_FALSE(sem.ReadHatchs());
    fs::remove(pasta / "share");
    mensagens.Limpa();

    // Zones keep a region per hatch.
    clsHatchs zonas;
    zonas.RegiaoPorHatch = true;
    zonas.CreateDXF("");
    zonas.ReadHatchs();
    ASSERT_EQ(gNumHatchs, 4);
    gHatchZonas = gHatchs;
    int i = -1;
    EXPECT_EQ(ZonaDoPonto(Ponto(650, 50), i), "ZONA");
    EXPECT_EQ(i, 3);
    EXPECT_EQ(ZonaDoPonto(Ponto(250, 50), i), "ZONA");
    EXPECT_EQ(i, 1);
}

TEST_F(Hachuras, ADrawingKeptAsDxfKeepsItsOwnFile)
{
    HatchDe("ZONA", {Retangulo(0, 0, 100, 100)});
    Doc().SaveAs((pasta / "ZON.dxf").string());
    const std::string proprio = Le(pasta / "ZON.dxf");

    clsHatchs h;
    h.CreateDXF("");
    EXPECT_NE(fs::path(h.CaminhoDXF()).parent_path(), pasta.Caminho());
    EXPECT_EQ(ArquivosTemporarios().size(), 1u);
    h.ReadHatchs();
    EXPECT_EQ(gNumHatchs, 1);
    EXPECT_EQ(Le(pasta / "ZON.dxf"), proprio);
    EXPECT_TRUE(ArquivosTemporarios().empty());

    // An export that never reads removes its file when the object goes.
    {
        clsHatchs s;
        s.CreateDXF("");
        EXPECT_EQ(ArquivosTemporarios().size(), 1u);
    }
    EXPECT_TRUE(ArquivosTemporarios().empty());

    // The same drawing opened through a link "ZON.dwg": its hatch file would
    // be the drawing's own file.
    fs::create_symlink(pasta / "ZON.dxf", pasta / "ZON.dwg");
    app->Documents().Open((pasta / "ZON.dwg").string());
    clsHatchs ligado;
    ligado.CreateDXF("");
    EXPECT_EQ(ArquivosTemporarios().size(), 1u);
    ligado.ReadHatchs();
    EXPECT_EQ(gNumHatchs, 1);
    EXPECT_EQ(Le(pasta / "ZON.dxf"), proprio);
    EXPECT_FALSE(fs::exists(Lixeira()));
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(Hachuras, AFileChosenForTheRunIsNeverTheHatchFile)
{
    // Zones "bairro.dwg" beside the topography "bairro.dxf", chosen through a
    // link to their folder.
    HatchDe("ZONA", {Retangulo(0, 0, 100, 100)});
    Doc().SaveAs((pasta / "bairro.dwg").string());
    Escreve(pasta / "bairro.dxf", "topografia");
    fs::create_directory_symlink(pasta.Caminho(), pasta / "atalho");
    const std::string escolhido = (pasta / "atalho" / "bairro.dxf").string();

    clsHatchs h;
    h.Protegidos = {escolhido};
    h.CreateDXF("");
    EXPECT_EQ(h.CaminhoDXF(), "");
    EXPECT_EQ(Le(pasta / "bairro.dxf"), "topografia");
    EXPECT_FALSE(fs::exists(Lixeira()));
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Texto,
              "As hachuras de " + (pasta / "bairro.dwg").string() + " seriam exportadas para o arquivo " +
                  (pasta / "bairro.dxf").string() + ", que é o arquivo " + escolhido +
                  ", escolhido para esta exportação. O arquivo continua como estava e as hachuras não foram "
                  "exportadas.\n\nOperação cancelada.");
    EXPECT_FALSE(h.ReadHatchs());

    // A drawing named without an extension, "sub/top": the file is "sub/top.dxf",
    // never "sub.dxf" beside its folder.
    fs::create_directories(pasta / "sub");
    Doc().SaveAs((pasta / "sub" / "top").string());
    Escreve(pasta / "sub.dxf", "outro");
    h.CreateDXF("");
    EXPECT_EQ(h.CaminhoDXF(), (pasta / "sub" / "top.dxf").string());
    EXPECT_EQ(Le(pasta / "sub.dxf"), "outro");
}

TEST_F(Hachuras, ADrawingInAFolderNamedWithALineEndAndQuotesExportsBesideIt)
{
    HatchDe("ZONA", {Retangulo(0, 0, 100, 100)});
    const fs::path obra = pasta / "Obra\n\"2024\" (a); b";
    fs::create_directories(obra);
    Doc().SaveAs((obra / "ZON.dwg").string());

    clsHatchs h;
    h.CreateDXF("PAVIMENTO");
    EXPECT_EQ(h.CaminhoDXF(), (obra / "ZON.dxf").string());
    EXPECT_TRUE(mensagens.Lista().empty());
    h.CreateDXF("");
    h.ReadHatchs();
    EXPECT_EQ(gNumHatchs, 1);
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(Hachuras, AFailedExportRestoresFiledia)
{
    HatchDe("ZONA", {Retangulo(0, 0, 100, 100)});
    fs::create_directories(pasta / "sub");
    Doc().SaveAs((pasta / "sub" / "ZON.dwg").string());
    fs::remove_all(pasta / "sub");
    Doc().SetVariable("FILEDIA", 1);
    gHatchs.resize(2);
    gNumHatchs = 2;

    clsHatchs h;
    h.CreateDXF("");
    EXPECT_EQ(Doc().GetVariable("FILEDIA").AsInt(), 1);
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "Atenção");
    EXPECT_NE(mensagens.Lista()[0].Texto.find((pasta / "sub" / "ZON.dxf").string()), std::string::npos);
    EXPECT_EQ(h.CaminhoDXF(), "");
    // Nothing to read: no regions, and no second message.
    h.ReadHatchs();
    EXPECT_EQ(gNumHatchs, 0);
    EXPECT_TRUE(gHatchs.empty());
    EXPECT_EQ(mensagens.Lista().size(), 1u);
}

TEST_F(Hachuras, OnlyTheGroupsOfHatchesAreDecoded)
{
    // A LINE between two hatches of line edges: its groups would make a loop.
    HatchDe("A", {MS().AddLine({0, 0, 0}, {10, 0, 0}), MS().AddLine({10, 0, 0}, {10, 10, 0}),
                  MS().AddLine({10, 10, 0}, {0, 0, 0})});
    MS().AddLine({500, 500, 0}, {600, 600, 0});
    HatchDe("B", {Retangulo(20, 0, 30, 10)});
    const fs::path arquivo = pasta / "tudo.dxf";
    Doc().SendCommand("DXFOUT\r" + arquivo.string() + "\r16\r");  // every entity

    clsHatchs h;
    h.SetCaminhoDXF(arquivo.string());
    h.ReadHatchs();
    int hatchs = 0;
    for (const auto& g : h.Grupos()) {
        if (g.Codigo == 0) {
            EXPECT_EQ(g.Valor, "HATCH");
            ++hatchs;
        }
        EXPECT_NE(g.Valor.find("500"), 0u);
    }
    EXPECT_EQ(hatchs, 2);
    ASSERT_EQ(h.Loops().size(), 2u);
    EXPECT_EQ(h.Loops()[0].Pontos.size(), 2u * 5u);
    EXPECT_TRUE(fs::exists(arquivo));  // a file given by name is not ours to remove

    // Decoding a file written by hand: a clockwise arc edge from 0° to 90° is
    // traced from −90° to 0°; path types 7 (external, polyline, derived) and 10
    // (text box, polyline).
    const fs::path mao = pasta / "mao.dxf";
    Escreve(mao,
            DxfDeEntidades({{0, "HATCH"}, {8, "0"},    {2, "HOR"}, {91, "1"},  {92, "1"},  {93, "2"},    {72, "2"},
                            {10, "0"},    {20, "0"},   {40, "10"}, {50, "0"},  {51, "90"}, {73, "0"},    {72, "1"},
                            {10, "0"},    {20, "-10"}, {11, "10"}, {21, "0"},  {97, "0"},  {0, "HATCH"}, {8, "0"},
                            {2, "POLI"},  {92, "7"},   {72, "0"},  {73, "1"},  {93, "3"},  {10, "0"},    {20, "0"},
                            {10, "5"},    {20, "0"},   {10, "5"},  {20, "5"},  {97, "0"},  {92, "10"},   {72, "0"},
                            {73, "1"},    {93, "3"},   {10, "50"}, {20, "50"}, {10, "55"}, {20, "50"},   {10, "55"},
                            {20, "55"},   {97, "0"}}));
    clsHatchs m;
    m.SetCaminhoDXF(mao.string());
    m.ReadHatchs();
    EXPECT_TRUE(mensagens.Lista().empty());
    ASSERT_EQ(gNumHatchs, 2);
    ASSERT_EQ(m.Loops().size(), 2u);
    const Lista& arco = m.Loops()[0].Pontos;
    // The arc, turned to meet the line, runs from (10,0) to (0,−10); the line closes it.
    EXPECT_NEAR(arco[0], 10, 1e-9);
    EXPECT_NEAR(arco[1], 0, 1e-9);
    EXPECT_EQ(arco.size(), 2u * 13u);
    EXPECT_TRUE(Fechado(arco));
    for (std::size_t i = 0; i + 2 < arco.size(); i += 2) {
        EXPECT_GE(arco[i], -1e-9);
        EXPECT_LE(arco[i + 1], 1e-9);
    }
    EXPECT_EQ(m.Loops()[0].Externo, 1);
    EXPECT_EQ(m.Loops()[1].Nome, "POLI");
    EXPECT_EQ(m.Loops()[1].Externo, 1);
    EXPECT_EQ(m.Loops()[1].Pontos, (Lista{0, 0, 5, 0, 5, 5, 0, 0}));

    // An elliptic arc edge, the upper half of the ellipse of axes 40 and 20
    // around the origin, closed by a line: only the half is traced.
    Escreve(mao, DxfDeEntidades({{0, "HATCH"}, {8, "0"},    {2, "MEIA"}, {92, "1"},   {93, "2"}, {72, "3"},   {10, "0"},
                                 {20, "0"},    {11, "40"},  {21, "0"},   {40, "0.5"}, {50, "0"}, {51, "180"}, {73, "1"},
                                 {72, "1"},    {10, "-40"}, {20, "0"},   {11, "40"},  {21, "0"}, {97, "0"}}));
    m.ReadHatchs();
    ASSERT_EQ(m.Loops().size(), 1u);
    const Lista& meia = m.Loops()[0].Pontos;
    // Fix(40·π / 1.5) + 1 = 84 on the arc, the line's end, and the closure by force.
    EXPECT_EQ(meia.size(), 2u * 86u);
    for (std::size_t i = 0; i < meia.size(); i += 2) {
        const double u = meia[i] / 40, v = meia[i + 1] / 20;
        EXPECT_GE(meia[i + 1], -1e-9);
        EXPECT_TRUE(std::fabs(meia[i + 1]) < 1e-9 || std::fabs(u * u + v * v - 1) < 1e-9) << meia[i] << "," << v;
    }
    std::string nome;
    m.Info_Pavto(Ponto(0, 10), nome);
    EXPECT_EQ(nome, "MEIA");
    m.Info_Pavto(Ponto(0, -10), nome);
    EXPECT_EQ(nome, "");
}

TEST_F(Hachuras, FilesTheReaderRefusesLeaveNoRegions)
{
    auto regioesAntigas = [] {
        gHatchs.assign(3, HatchRec{});
        gNumHatchs = 3;
    };
    HatchDe("ZONA", {Retangulo(0, 0, 100, 100)});
    const fs::path bom = pasta / "bom.dxf";
    Doc().SendCommand("DXFOUT\r" + bom.string() + "\rO\r(ssget\"X\"(list(cons 0 \"HATCH\")))\r\r16\r");
    const std::string texto = Le(bom);

    struct Caso {
        std::string nome, conteudo, trecho;
    };
    const std::vector<Caso> casos = {
        // Cut in the middle: no end mark.
        {"cortado.dxf", texto.substr(0, texto.size() / 2), "incompleto"},
        // The end mark as a line but not as the file's last group.
        {"semfim.dxf", DxfDeEntidades({{0, "HATCH"}, {8, "0"}, {1, "EOF"}}, false), "incompleto"},
        {"codigo.dxf", DxfDeEntidades({{0, "HATCH"}}).replace(0, 3, "abc"), "não é um arquivo DXF válido"},
        {"valor.dxf", DxfDeEntidades({{0, "HATCH"}, {8, "0"}, {92, "x"}}), "valor inválido"},
        // A vertex farther than the band index reaches.
        {"longe.dxf",
         DxfDeEntidades({{0, "HATCH"},
                         {8, "0"},
                         {2, "L"},
                         {92, "1"},
                         {93, "1"},
                         {72, "1"},
                         {10, "1e300"},
                         {20, "0"},
                         {11, "0"},
                         {21, "10"},
                         {97, "0"}}),
         "(grupo 10, \"1e300\")"},
        {"vazio.dxf", "", "incompleto"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        Escreve(pasta / c.nome, c.conteudo);
        mensagens.Limpa();
        regioesAntigas();
        clsHatchs h;
        h.SetCaminhoDXF((pasta / c.nome).string());
        h.ReadHatchs();
        EXPECT_EQ(gNumHatchs, 0);
        EXPECT_TRUE(gHatchs.empty());
        EXPECT_TRUE(h.Loops().empty());
        ASSERT_EQ(mensagens.Lista().size(), 1u);
        EXPECT_EQ(mensagens.Lista()[0].Titulo, "Atenção");
        EXPECT_NE(mensagens.Lista()[0].Texto.find((pasta / c.nome).string()), std::string::npos);
        EXPECT_NE(mensagens.Lista()[0].Texto.find(c.trecho), std::string::npos) << mensagens.Lista()[0].Texto;
    }

    // A file that is not there.
    mensagens.Limpa();
    regioesAntigas();
    clsHatchs h;
    h.SetCaminhoDXF((pasta / "nada.dxf").string());
    h.ReadHatchs();
    EXPECT_EQ(gNumHatchs, 0);
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_NE(mensagens.Lista()[0].Texto.find((pasta / "nada.dxf").string()), std::string::npos);

    // A complete file without any hatch: no regions, and nothing to say.
    mensagens.Limpa();
    Escreve(pasta / "sem.dxf", DxfDeEntidades({{0, "LINE"}, {8, "0"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "1"}}));
    h.SetCaminhoDXF((pasta / "sem.dxf").string());
    h.ReadHatchs();
    EXPECT_EQ(gNumHatchs, 0);
    EXPECT_TRUE(h.Grupos().empty());
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(Hachuras, ADamagedFileOfAFewLinesCannotFillTheMemory)
{
    // Whole circles of great radius, each cut into millions of chords: the
    // read stops at its limit of points and keeps no region.
    Grupos circulos{{0, "HATCH"}, {8, "0"}, {2, "GRANDE"}, {92, "1"}, {93, "3"}};
    for (int k = 0; k < 3; ++k)
        circulos.insert(
            circulos.end(),
            {{72, "2"}, {10, std::to_string(10 * k)}, {20, "0"}, {40, "1200000"}, {50, "0"}, {51, "360"}, {73, "1"}});
    circulos.push_back({97, "0"});
    Escreve(pasta / "circulos.dxf", DxfDeEntidades(circulos));
    {
        clsHatchs h;
        h.SetCaminhoDXF((pasta / "circulos.dxf").string());
        EXPECT_FALSE(h.ReadHatchs());
        EXPECT_TRUE(gHatchs.empty());
        EXPECT_TRUE(h.Loops().empty());
        ASSERT_EQ(mensagens.Lista().size(), 1u);
        EXPECT_NE(mensagens.Lista()[0].Texto.find("mais de 10000000 pontos"), std::string::npos)
            << mensagens.Lista()[0].Texto;
    }

    // A zigzag of edges each a hundred thousand kilometres tall, in a region of
    // its own beside a square: the tall one is left out of the index with a
    // message, the square answers its points.
    auto linha = [](Grupos& g, double x0, double y0, double x1, double y1) {
        g.insert(g.end(), {{72, "1"},
                           {10, std::to_string(x0)},
                           {20, std::to_string(y0)},
                           {11, std::to_string(x1)},
                           {21, std::to_string(y1)}});
    };
    Grupos g{{0, "HATCH"}, {8, "0"}, {2, "ALTA"}, {92, "1"}, {93, "400"}};
    for (int k = 0; k < 400; ++k) linha(g, k, k % 2 ? 9e7 : 0, k + 1, k % 2 ? 0 : 9e7);
    g.push_back({97, "0"});
    g.insert(g.end(), {{0, "HATCH"}, {8, "0"}, {2, "QUADRA"}, {92, "1"}, {93, "4"}});
    linha(g, 0, 0, 10, 0);
    linha(g, 10, 0, 10, 10);
    linha(g, 10, 10, 0, 10);
    linha(g, 0, 10, 0, 0);
    g.push_back({97, "0"});
    Escreve(pasta / "alta.dxf", DxfDeEntidades(g));
    mensagens.Limpa();
    clsHatchs h;
    h.SetCaminhoDXF((pasta / "alta.dxf").string());
    EXPECT_TRUE(h.ReadHatchs());
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Texto,
              "Os contornos das regiões ALTA não cabem no índice: elas não conterão nenhum ponto.");
    ASSERT_NE(Regiao("ALTA"), nullptr);
    EXPECT_TRUE(Regiao("ALTA")->Faixas.empty());
    std::string nome;
    h.Info_Pavto(Ponto(5.05, 5.05), nome);
    EXPECT_EQ(nome, "QUADRA");
}

TEST_F(Hachuras, LoopsSavedLoadedAndDrawn)
{
    DefinePastaPrograma(cadtest::PastaDoPrograma().string());
    HatchDe("CONCRETO", {Retangulo(0, 0, 100, 100)}, {Retangulo(40, 40, 60, 60)}, "PAVIMENTO");
    HatchDe("ASFALTO", {Retangulo(200, 0, 300, 50)}, {}, "PAVIMENTO");
    clsHatchs h;
    h.CreateDXF("PAVIMENTO");
    h.ReadHatchs();
    ASSERT_EQ(h.Loops().size(), 3u);

    // No database yet: the template is copied first.
    const std::string banco = (pasta / "terreno.mdb").string();
    h.DbSave(banco, "Pavimentos");
    EXPECT_TRUE(mensagens.Lista().empty());
    ASSERT_TRUE(fs::exists(banco));

    clsHatchs lido;
    lido.DbLoad(banco, "Pavimentos");
    ASSERT_EQ(lido.Loops().size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(lido.Loops()[i].Nome, h.Loops()[i].Nome);
        EXPECT_EQ(lido.Loops()[i].Hatch, h.Loops()[i].Hatch);
        EXPECT_EQ(lido.Loops()[i].Loop, h.Loops()[i].Loop);
        EXPECT_EQ(lido.Loops()[i].Externo, h.Loops()[i].Externo);
        EXPECT_EQ(lido.Loops()[i].Pontos, h.Loops()[i].Pontos);
    }
    // The other table stays empty; loading appends.
    lido.DbLoad(banco, "WATZonas");
    EXPECT_EQ(lido.Loops().size(), 3u);
    lido.DbLoad(banco, "Pavimentos");
    EXPECT_EQ(lido.Loops().size(), 6u);
    EXPECT_TRUE(mensagens.Lista().empty());

    // Drawn: one polyline per loop on the layer of its name, External loops 1.0 wide.
    const int antes = MS().Count();
    h.DrawBoundaries();
    ASSERT_EQ(MS().Count(), antes + 3);
    auto* externo = dynamic_cast<acad::LWPolyline*>(MS().Item(antes));
    auto* furo = dynamic_cast<acad::LWPolyline*>(MS().Item(antes + 1));
    ASSERT_TRUE(externo && furo);
    EXPECT_EQ(externo->Layer(), "CONCRETO");
    EXPECT_DOUBLE_EQ(externo->ConstantWidth(), 1.0);
    EXPECT_DOUBLE_EQ(furo->ConstantWidth(), 0.0);
    EXPECT_EQ(externo->Coordinates(), h.Loops()[0].Pontos);
    EXPECT_EQ(dynamic_cast<acad::LWPolyline*>(MS().Item(antes + 2))->Layer(), "ASFALTO");

    // Refused: another table name, a missing file, a table without a column.
    lido.DbLoad(banco, "TopVertex");
    h.DbSave(banco, "tmp_TRIxyz");
    lido.DbLoad((pasta / "nada.mdb").string(), "Pavimentos");
    cadtest::ExecutaSql(banco,
                        "DROP TABLE WATZonas; CREATE TABLE WATZonas (\"Index\" INTEGER, Tipo TEXT, X DOUBLE);"
                        "INSERT INTO WATZonas VALUES (1, 'A', 2);");
    lido.DbLoad(banco, "WATZonas");
    h.DbSave(banco, "WATZonas");
    ASSERT_EQ(mensagens.Lista().size(), 5u);
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "Atenção");
    EXPECT_EQ(mensagens.Lista()[0].Texto, "Nome inválido para a tabela");
    EXPECT_EQ(mensagens.Lista()[1].Texto, "Nome inválido para a tabela");
    EXPECT_EQ(mensagens.Lista()[2].Titulo, "Atenção!");
    EXPECT_EQ(mensagens.Lista()[2].Texto, "O arquivo " + (pasta / "nada.mdb").string() + " não existe.");
    for (int k : {3, 4}) {
        EXPECT_NE(mensagens.Lista()[k].Texto.find(banco), std::string::npos);
        EXPECT_NE(mensagens.Lista()[k].Texto.find("WATZonas"), std::string::npos);
    }
    EXPECT_EQ(lido.Loops().size(), 6u);
    EXPECT_FALSE(fs::exists(pasta / "nada.mdb"));
    DefinePastaPrograma("");
}

}  // namespace
