// The water blocks built from the catalogue's geometry rows, and the socket of
// a fitting in the drawing nearest a point.

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "cad/CadTestSupport.h"
#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/TextEntities.h"
#include "shell/modGlobais.h"
#include "water/WATDes.h"
#include "water/clsWATDb.h"
#include "WaterTestSupport.h"

using namespace watertest;

namespace {

::testing::AssertionResult Perto(const Ponto& A, const Ponto& B)
{
    if (std::fabs(A.X - B.X) < 1e-5 && std::fabs(A.Y - B.Y) < 1e-5) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << A.X << ", " << A.Y << ") != (" << B.X << ", " << B.Y << ")";
}

::testing::AssertionResult MesmaLista(const std::vector<double>& A, const std::vector<double>& B)
{
    bool igual = A.size() == B.size();
    for (std::size_t i = 0; igual && i < A.size(); ++i) igual = std::fabs(A[i] - B[i]) < 1e-5;
    if (igual) return ::testing::AssertionSuccess();
    auto texto = [](const std::vector<double>& L) {
        std::string s;
        for (double v : L) s += FormatNum(v, 3) + " ";
        return s;
    };
    return ::testing::AssertionFailure() << texto(A) << "!= " << texto(B);
}

class BlocosAgua : public cadtest::CadTest {
protected:
    BlocosAgua()
    {
        gMdbPath = (PastaDoPrograma() / "rereva2000r.mdb").string();
        gBlocosPath = gImagensPath = PastaDoPrograma().string();
        app->SetSupportFolders({PastaDoPrograma()});
        gBlocosAgua.clear();
        gMateriaisAgua.clear();
        gTiposTubo.clear();
        Conecta();
        app->ZoomCenter({0, 0, 0}, 300);
    }
    ~BlocosAgua() override
    {
        gBlocosAgua.clear();
        gMateriaisAgua.clear();
        gTiposTubo.clear();
    }

    // The shipped catalogue, as the water panel has it.
    void CarregaLinhas()
    {
        ASSERT_TRUE(clsWATDb().LoadDb());
        MontaTiposTubo();
        ASSERT_GT(gBlocosAgua.size(), 10u);
    }

    std::string Cecolor() { return Doc().GetVariable("CECOLOR").ToString(); }
    int CorDaCamada(const std::string& Nome) { return Doc().Layers().Item(Nome)->Color(); }
    std::vector<std::string> Conteudo(const std::string& Bloco)
    {
        std::vector<std::string> v;
        for (acad::Entity* e : *Doc().Blocks().Item(Bloco)) {
            std::string s = e->ObjectName() + "@" + e->Layer();
            if (auto* a = dynamic_cast<acad::AttributeDefinition*>(e)) s += ":" + a->TagString();
            v.push_back(s);
        }
        return v;
    }
    std::vector<acad::Circle*> Circulos()
    {
        std::vector<acad::Circle*> v;
        for (acad::Entity* e : Doc().ModelSpace())
            if (auto* c = dynamic_cast<acad::Circle*>(e)) v.push_back(c);
        return v;
    }
};

// What each row kind becomes in the definition.
std::string EsperadoDaLinha(const DXFRowRec& L)
{
    if (L.S1 == "Line") return "AcDbLine@0";
    if (L.S1 == "Arc") return "AcDbArc@0";
    if (L.S1 == "Circle") return "AcDbCircle@0";
    if (L.S1 == "Point") return "AcDbPoint@DefPoints";
    const std::vector<std::string> lista = ListaDXF(L.S4);
    if (L.S1 == "Attribute") return "AcDbAttributeDefinition@" + lista.at(2) + ":" + lista.at(1);
    if (L.S1 == "Text") return "AcDbText@" + lista.at(1);
    return "";
}

}  // namespace

TEST_F(BlocosAgua, EveryShippedBlockIsBuiltFromItsRows)
{
    CarregaLinhas();
    Doc().SetVariable("CECOLOR", "3");
    for (const BlocoDefAguaRec& b : gBlocosAgua) {
        SCOPED_TRACE(b.Bloco);
        EXPECT_FALSE(ExisteBloco(b.Bloco));
        ASSERT_TRUE(CriaBlocoConexao(b.Bloco, false));
        ASSERT_TRUE(ExisteBloco(b.Bloco));
        std::vector<std::string> esperado;
        const bool agua = b.Bloco.compare(0, 2, "A-") == 0;
        if (agua)
            esperado = {"AcDbAttributeDefinition@TEXTO_CON:CODIGO", "AcDbAttributeDefinition@0:MATERIAL",
                        "AcDbAttributeDefinition@0:ETAPA"};
        for (const DXFRowRec& l : b.Linhas) esperado.push_back(EsperadoDaLinha(l));
        EXPECT_EQ(Conteudo(b.Bloco), esperado);
        if (agua) {
            const acad::Block& def = *Doc().Blocks().Item(b.Bloco);
            for (int i = 0; i < 3; ++i) {
                auto* a = dynamic_cast<acad::AttributeDefinition*>(def.Item(i));
                ASSERT_NE(a, nullptr);
                EXPECT_EQ(a->Mode(), i == 0 ? 0 : 1);
                EXPECT_EQ(a->StyleName(), "ROMANS");
                EXPECT_DOUBLE_EQ(a->Height(), 1.5);
                EXPECT_EQ(a->Alignment(), 0);
                EXPECT_EQ(Ponto(a->InsertionPoint()), Ponto(0, 0, 0));
            }
        }
    }
    EXPECT_EQ(Cecolor(), "3");
    EXPECT_EQ(CorDaCamada("DefPoints"), 10);
    EXPECT_EQ(CorDaCamada("TEXTO_CON"), 156);
    EXPECT_EQ(CorDaCamada("TRECHO"), 170);
    EXPECT_EQ(Doc().TextStyles().Item("ROMANS")->FontFile(), "Romans.shx");
    EXPECT_EQ(Doc().TextStyles().Item("ARIAL")->TypeFace(), "Arial");

    // The arc of the water table: radius alone in S3, the two angles in S4.
    for (acad::Entity* e : *Doc().Blocks().Item("A-CURVA90"))
        if (auto* a = dynamic_cast<acad::Arc*>(e)) {
            EXPECT_DOUBLE_EQ(a->Radius(), 1.2);
            EXPECT_NEAR(a->StartAngle(), 1.570796, 1e-9);
            EXPECT_NEAR(a->EndAngle(), 3.141593, 1e-9);
        }
    // Aligned texts are anchored by their alignment point; left ones by their
    // insertion point only.
    for (acad::Entity* e : *Doc().Blocks().Item("A-TUBO")) {
        auto* a = dynamic_cast<acad::AttributeDefinition*>(e);
        if (!a) continue;
        if (a->TagString() == "CONTRIB") {
            EXPECT_EQ(a->Alignment(), 10);
            EXPECT_EQ(Ponto(a->TextAlignmentPoint()), Ponto(0, -1.15, 0));
        } else if (a->TagString() == "H1") {
            EXPECT_EQ(a->Mode(), 0);
            EXPECT_EQ(a->Layer(), "DefPoints");
            EXPECT_EQ(Ponto(a->TextAlignmentPoint()), Ponto(-5, 0, 0));
        }
    }
    for (acad::Entity* e : *Doc().Blocks().Item("A-TE"))
        if (auto* a = dynamic_cast<acad::AttributeDefinition*>(e); a && a->TagString() == "CODIG1") {
            EXPECT_EQ(a->Alignment(), 0);
            EXPECT_EQ(a->Mode(), 1);
            EXPECT_EQ(Ponto(a->InsertionPoint()), Ponto(-4, -3, 0));
        }
    for (acad::Entity* e : *Doc().Blocks().Item("A-HIDRANTE"))
        if (auto* t = dynamic_cast<acad::Text*>(e)) {
            EXPECT_EQ(t->TextString(), "H");
            EXPECT_EQ(t->StyleName(), "ROMANS");
            EXPECT_EQ(t->Alignment(), 10);
            EXPECT_EQ(Ponto(t->TextAlignmentPoint()), Ponto(0, 1.5, 0));
        }
}

TEST_F(BlocosAgua, AnExistingBlockIsLeftAloneUnlessRedefinedFromEmpty)
{
    CarregaLinhas();
    ASSERT_TRUE(CriaBlocoConexao("A-TE", false));
    const std::size_t n = Conteudo("A-TE").size();
    Doc().Blocks().Item("A-TE")->AddLine({0, 0, 0}, {9, 9, 0});
    Doc().Layers().Item("TEXTO_CON")->SetColor(1);
    Doc().SetVariable("CECOLOR", "BYBLOCK");
    ASSERT_TRUE(CriaBlocoConexao("A-TE", false));
    EXPECT_EQ(Conteudo("A-TE").size(), n + 1);
    EXPECT_EQ(CorDaCamada("TEXTO_CON"), 1);

    // Redefined while the drawing uses it: the rows once, not added to what was there.
    gModelSpace->InsertBlock({10, 10, 0}, "A-TE", 1, 1, 1, 0);
    ASSERT_TRUE(CriaBlocoConexao("A-TE", true));
    EXPECT_EQ(Conteudo("A-TE").size(), n);
    EXPECT_EQ(CorDaCamada("TEXTO_CON"), 156);
    EXPECT_EQ(Cecolor(), "BYBLOCK");
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(BlocosAgua, ABrokenRowIsToldAndLeavesNoHalfBlock)
{
    CarregaLinhas();
    Doc().SetVariable("CECOLOR", "5");
    gBlocosAgua.push_back(
        {"A-TESTE", {{"Circle", "0,0", "1", ""}, {"Estranho", "1", "2", "3"}, {"Arc", "0,0", "1", "1.5"}}, {}, 0});
    EXPECT_FALSE(CriaBlocoConexao("A-TESTE", false));
    EXPECT_FALSE(ExisteBloco("A-TESTE"));
    EXPECT_EQ(Cecolor(), "5");
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "Atenção");
    EXPECT_EQ(mensagens.Lista()[0].Texto,
              "Não foi possível construir o bloco A-TESTE (linha 3: Arc | 0,0 | 1 | 1.5):\n"
              "ângulos do arco não é um ponto \"x,y\": \"1.5\"");
    // Only the named blocks remain: the one used to try the rows is gone.
    for (acad::Block* b : Doc().Blocks()) EXPECT_FALSE(b->IsAnonymous()) << b->Name();

    // Mended in the catalogue, the next call builds it; an unknown kind adds nothing.
    gBlocosAgua.back().Linhas[2].S4 = "0,3.141593";
    ASSERT_TRUE(CriaBlocoConexao("A-TESTE", false));
    EXPECT_EQ(Conteudo("A-TESTE"), (std::vector<std::string>{
                                       "AcDbAttributeDefinition@TEXTO_CON:CODIGO", "AcDbAttributeDefinition@0:MATERIAL",
                                       "AcDbAttributeDefinition@0:ETAPA", "AcDbCircle@0", "AcDbArc@0"}));

    // A block being redefined from a spoilt row keeps what it had.
    ASSERT_TRUE(CriaBlocoConexao("A-TE", false));
    const std::vector<std::string> antes = Conteudo("A-TE");
    for (BlocoDefAguaRec& b : gBlocosAgua)
        if (b.Bloco == "A-TE")
            for (DXFRowRec& l : b.Linhas)
                if (l.S1 == "Attribute") l.S4 = "04,CODIG4,TEXTO_CON,1,esquerda,156,ROMANS";
    mensagens.Limpa();
    EXPECT_FALSE(CriaBlocoConexao("A-TE", true));
    EXPECT_EQ(Conteudo("A-TE"), antes);
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_NE(mensagens.Lista()[0].Texto.find("alinhamento não é um número inteiro: \"esquerda\""), std::string::npos);
    EXPECT_EQ(Cecolor(), "5");

    // Names the catalogue has no rows for: what the name itself asks for.
    ASSERT_TRUE(CriaBlocoConexao("A-SEMLINHAS", false));
    EXPECT_EQ(Conteudo("A-SEMLINHAS").size(), 3u);
    ASSERT_TRUE(CriaBlocoConexao("RQ-SEMLINHAS", false));
    EXPECT_TRUE(Conteudo("RQ-SEMLINHAS").empty());
}

namespace {

BolsaPontoRec Bolsa(double Angulo, double Distancia, bool Principal, const std::string& Tubulacao)
{
    BolsaPontoRec b;
    b.AnguloBolsa = static_cast<float>(Angulo);
    b.DistanciaBolsa = static_cast<float>(Distancia);
    b.Principal = Principal;
    b.Tubulacao = Tubulacao;
    return b;
}

// A small catalogue of one material: a tee (three sockets), a bend and a
// coupling (two each), each block drawn by the line through its sockets.
class Bolsas : public BlocosAgua {
protected:
    Bolsas()
    {
        const double pi = PI;
        auto conexao = [](const std::string& Codigo, std::vector<BolsaPontoRec> B) {
            ConexaoAguaRec c;
            c.Codigo = Codigo;
            c.NumBolsas = static_cast<int>(B.size());
            c.Bolsas = std::move(B);
            return c;
        };
        MaterialAguaRec m;
        m.Material = "Ferro Fundido";
        m.Conexoes.push_back({});
        m.Conexoes.push_back(
            conexao("TEFF", {Bolsa(pi, 4, true, "Tubo FoFo K7 JGS"), Bolsa(0, 4, true, "Tubo FoFo K7 JGS"),
                             Bolsa(pi / 2, 4, false, "Tubo FoFo K9 JGS")}));
        m.Conexoes.push_back(conexao("C90FF", {Bolsa(pi, 4, true, "K7"), Bolsa(pi / 2, 4, true, "K7")}));
        m.Conexoes.push_back(conexao("LUFF", {Bolsa(pi, 2, true, "K7"), Bolsa(0, 2, true, "K7")}));
        // Two sockets on one side, in both orders, for exact ties.
        m.Conexoes.push_back(conexao("DUPFF", {Bolsa(0, 2, true, "A"), Bolsa(0, 4, true, "B")}));
        m.Conexoes.push_back(conexao("DUPFFI", {Bolsa(0, 4, true, "B"), Bolsa(0, 2, true, "A")}));
        gMateriaisAgua = {m};
        for (const auto& [nome, linhas, pontos] :
             std::vector<std::tuple<std::string, std::vector<DXFRowRec>, std::vector<BolsaPontoRec>>>{
                 {"A-TE",
                  {{"Line", "-4,0", "4,0", ""}, {"Line", "0,0", "0,4", ""}},
                  {Bolsa(pi, 4, true, ""), Bolsa(0, 4, true, ""), Bolsa(pi / 2, 4, false, "")}},
                 {"A-CURVA90",
                  {{"Line", "-4,0", "0,0", ""}, {"Line", "0,0", "0,4", ""}},
                  {Bolsa(pi, 4, true, ""), Bolsa(pi / 2, 4, true, "")}},
                 {"A-LUVA", {{"Line", "-2,0", "2,0", ""}}, {Bolsa(pi, 2, true, ""), Bolsa(0, 2, true, "")}},
                 {"A-TUBO", {}, {}}}) {
            gBlocosAgua.push_back({nome, linhas, pontos, static_cast<int>(pontos.size())});
            EXPECT_TRUE(CriaBlocoConexao(nome, false));
        }
    }

    acad::BlockReference* Conexao(const std::string& Bloco, const Ponto& P, double Rotacao, double EX, double EY,
                                  const std::string& Codigo, const std::string& Material = "Ferro Fundido")
    {
        acad::BlockReference* b = gModelSpace->InsertBlock(P, Bloco, EX, EY, 1, Rotacao);
        SetAtributo("CODIGO", Codigo, b);
        SetAtributo("MATERIAL", Material, b);
        SetAtributo("ETAPA", "1", b);
        return b;
    }

    // InfoBolsa with outputs that show whether they were written.
    bool Info(acad::Entity* B, const Ponto& Clique, bool Seguir = false, bool Mostrar = false)
    {
        return InfoBolsa(B, cod, dp, ds, mat, etapa, ins, Clique, bolsa, naoUsado, diam, tub, Seguir, percurso,
                         Mostrar);
    }

    std::string cod = "?", dp = "?", ds = "?", mat = "?", etapa = "?", naoUsado = "?", diam = "?", tub = "?";
    Ponto ins{-1, -1}, bolsa{-1, -1};
    std::vector<double> percurso{-1};
};

}  // namespace

TEST_F(Bolsas, SocketsFollowTheFittingsPlacement)
{
    // Rotated a quarter turn at scale 2: the branch socket lies west.
    acad::BlockReference* te = Conexao("A-TE", Ponto(100, 50), PI / 2, 2, 2, "TEFFDN100x50");
    ASSERT_TRUE(Info(te, Ponto(93, 51)));
    EXPECT_EQ(cod, "TEFF");
    EXPECT_EQ(dp, "100");
    EXPECT_EQ(ds, "50");
    EXPECT_EQ(mat, "Ferro Fundido");
    EXPECT_EQ(etapa, "1");
    EXPECT_TRUE(Perto(ins, Ponto(100, 50)));
    EXPECT_TRUE(Perto(bolsa, Ponto(92, 50)));
    EXPECT_EQ(diam, "50");  // the branch takes the secondary diameter
    EXPECT_EQ(tub, "Tubo FoFo K9 JGS");
    EXPECT_EQ(naoUsado, "?");
    EXPECT_TRUE(MesmaLista(percurso, {92, 50, 100, 50, 100, 50}));
    ASSERT_TRUE(Info(te, Ponto(100, 60)));
    EXPECT_TRUE(Perto(bolsa, Ponto(100, 58)));
    EXPECT_EQ(diam, "100");

    // Mirrored in X, in Y and in both; a code without a secondary diameter.
    struct Caso {
        double EX, EY;
        Ponto Oeste, Norte;  // where the catalogue's west and north sockets land
    };
    for (const Caso& c : {Caso{-1, 1, Ponto(4, 0), Ponto(0, 4)}, Caso{1, -1, Ponto(-4, 0), Ponto(0, -4)},
                          Caso{-1, -1, Ponto(4, 0), Ponto(0, -4)}}) {
        SCOPED_TRACE(std::to_string(c.EX) + " " + std::to_string(c.EY));
        acad::BlockReference* curva = Conexao("A-CURVA90", Ponto(0, 0), 0, c.EX, c.EY, "C90FFDN150");
        ASSERT_TRUE(Info(curva, Ponto(c.Oeste.X * 0.9, c.Oeste.Y)));
        EXPECT_TRUE(Perto(bolsa, c.Oeste));
        ASSERT_TRUE(Info(curva, Ponto(c.Norte.X, c.Norte.Y * 0.9)));
        EXPECT_TRUE(Perto(bolsa, c.Norte));
        EXPECT_EQ(dp, "150");
        EXPECT_EQ(ds, "");
        curva->Delete();
    }
}

TEST_F(Bolsas, TiesTheLimitAndFittingsWithoutSockets)
{
    // Equally near two sockets: the earlier one in the catalogue.
    ASSERT_TRUE(Info(Conexao("A-LUVA", Ponto(0, 0), 0, 1, 1, "DUPFFDN100"), Ponto(3, 5)));
    EXPECT_EQ(bolsa, Ponto(2, 0, 0));
    EXPECT_EQ(tub, "A");
    ASSERT_TRUE(Info(Conexao("A-LUVA", Ponto(0, 0), 0, 1, 1, "DUPFFIDN100"), Ponto(3, 5)));
    EXPECT_EQ(bolsa, Ponto(4, 0, 0));
    EXPECT_EQ(tub, "B");
    acad::BlockReference* luva = Conexao("A-LUVA", Ponto(0, 0), 0, 1, 1, "LUFFDN100");

    // Beyond 5000 units no socket counts; what the socket gives stays as it was.
    bolsa = Ponto(-1, -1);
    diam = tub = "?";
    percurso = {-1};
    EXPECT_FALSE(Info(luva, Ponto(5003, 0)));
    EXPECT_EQ(bolsa, Ponto(-1, -1));
    EXPECT_EQ(diam, "?");
    EXPECT_EQ(tub, "?");
    EXPECT_EQ(percurso, std::vector<double>{-1});
    EXPECT_TRUE(Info(luva, Ponto(4990, 0)));

    // The pipe label, an entity that is no fitting and a code without "DN" give nothing.
    cod = "?";
    ins = Ponto(-1, -1);
    acad::BlockReference* rotulo = Conexao("A-TUBO", Ponto(20, 20), 0, 1, 1, "FFK7DN100");
    EXPECT_FALSE(Info(rotulo, Ponto(20, 20)));
    EXPECT_FALSE(Info(gModelSpace->AddLine({0, 0, 0}, {1, 1, 0}), Ponto(0, 0)));
    EXPECT_FALSE(Info(Conexao("A-LUVA", Ponto(30, 0), 0, 1, 1, "LUFF100"), Ponto(30, 0)));
    EXPECT_EQ(cod, "?");
    EXPECT_TRUE(Circulos().empty());
    EXPECT_TRUE(mensagens.Lista().empty());

    // A material or a code the catalogue lacks: the fitting is marked where it is.
    EXPECT_FALSE(Info(Conexao("A-LUVA", Ponto(500, 500), 0, 1, 1, "LUFFDN100", "Barro"), Ponto(500, 500)));
    EXPECT_FALSE(Info(Conexao("A-LUVA", Ponto(800, 500), 0, 1, 1, "LUXXDN100"), Ponto(800, 500)));
    const auto marcas = Circulos();
    ASSERT_EQ(marcas.size(), 2u);
    EXPECT_EQ(Ponto(marcas[0]->Center()), Ponto(500, 500, 0));
    EXPECT_DOUBLE_EQ(marcas[0]->Radius(), 20.0);
    EXPECT_EQ(Ponto(marcas[1]->Center()), Ponto(800, 500, 0));
    EXPECT_TRUE(Perto(Centro(), Ponto(800, 500)));
    EXPECT_DOUBLE_EQ(Altura(), 50.0);
    EXPECT_TRUE(mensagens.Lista().empty());
}

TEST_F(Bolsas, TheChainOfTwoSocketFittings)
{
    // A coupling, a bend, a coupling turned north, then a tee, socket to socket.
    acad::BlockReference* luva = Conexao("A-LUVA", Ponto(0, 0), 0, 1, 1, "LUFFDN100");
    Conexao("A-CURVA90", Ponto(6, 0), 0, 1, 1, "C90FFDN100");
    Conexao("A-LUVA", Ponto(6, 6), PI / 2, 1, 1, "LUFFDN100");
    acad::BlockReference* te = Conexao("A-TE", Ponto(6, 12), PI / 2, 1, 1, "TEFFDN100x100");
    ASSERT_TRUE(Info(luva, Ponto(1.8, 0.1), true));
    EXPECT_TRUE(MesmaLista(percurso, {2, 0, 0, 0, 2, 0, 6, 0, 6, 4, 6, 6, 6, 8, 6, 12, 6, 12}));
    // Out of the other socket nothing follows; without following, three points.
    ASSERT_TRUE(Info(luva, Ponto(-1.8, 0.1), true));
    EXPECT_TRUE(MesmaLista(percurso, {-2, 0, 0, 0, 0, 0}));
    ASSERT_TRUE(Info(luva, Ponto(1.8, 0.1), false));
    EXPECT_TRUE(MesmaLista(percurso, {2, 0, 0, 0, 0, 0}));
    // A tee is not followed from.
    ASSERT_TRUE(Info(te, Ponto(6, 8.2), true));
    EXPECT_TRUE(MesmaLista(percurso, {6, 8, 6, 12, 6, 12}));

    // Two bends closing a ring end the chain where it came back.
    acad::BlockReference* c1 = Conexao("A-CURVA90", Ponto(100, 0), 0, 1, 1, "C90FFDN100");
    Conexao("A-CURVA90", Ponto(96, 4), PI, 1, 1, "C90FFDN100");
    ASSERT_TRUE(Info(c1, Ponto(100, 3.8), true));
    EXPECT_TRUE(MesmaLista(percurso, {100, 4, 100, 0, 100, 4, 96, 4, 96, 4}));
}

TEST_F(Bolsas, TheSocketIsShownWhenAsked)
{
    acad::BlockReference* te = Conexao("A-TE", Ponto(0, 0), 0, 1, 1, "TEFFDN100x50");
    ASSERT_TRUE(Info(te, Ponto(3.5, 0), false, true));
    ASSERT_EQ(mensagens.Lista().size(), 1u);
    EXPECT_EQ(mensagens.Lista()[0].Titulo, "Info Conexão");
    EXPECT_EQ(mensagens.Lista()[0].Texto, "Ferro Fundido\nTEFF - 100 (bolsa No.1)\nTubo FoFo K7 JGS");

    // Nothing found is said as such, not as a socket of someone else's values.
    mensagens.Limpa();
    EXPECT_FALSE(Info(te, Ponto(9000, 0), false, true));
    EXPECT_FALSE(Info(Conexao("A-TE", Ponto(50, 0), 0, 1, 1, "TEFF"), Ponto(50, 0), false, true));
    EXPECT_EQ(mensagens.Textos(), (std::vector<std::string>{
                                      "Ferro Fundido\nTEFF\nNenhuma bolsa a menos de 5000 unidades do ponto indicado.",
                                      "O código \"TEFF\" do bloco A-TE não traz \"DN\" e o diâmetro."}));
}

TEST_F(BlocosAgua, ShippedFittingsJoinedSocketToSocket)
{
    CarregaLinhas();
    for (const char* b : {"A-LUVA", "A-CURVA90"}) ASSERT_TRUE(CriaBlocoConexao(b, false));
    acad::BlockReference* luva = gModelSpace->InsertBlock({0, 0, 0}, "A-LUVA", 1, 1, 1, 0);
    acad::BlockReference* curva = gModelSpace->InsertBlock({6, 0, 0}, "A-CURVA90", 1, 1, 1, 0);
    for (auto [b, codigo] : {std::pair{luva, "LUFFDN100"}, std::pair{curva, "C90FFDN100"}}) {
        SetAtributo("CODIGO", codigo, b);
        SetAtributo("MATERIAL", "Ferro Fundido", b);
        SetAtributo("ETAPA", "1", b);
    }
    std::string cod, dp, ds, mat, etapa, naoUsado, diam, tub;
    Ponto ins, bolsa;
    std::vector<double> percurso;
    ASSERT_TRUE(InfoBolsa(luva, cod, dp, ds, mat, etapa, ins, Ponto(1.9, 0.2), bolsa, naoUsado, diam, tub, true,
                          percurso, true));
    EXPECT_TRUE(Perto(bolsa, Ponto(2, 0)));
    EXPECT_TRUE(MesmaLista(percurso, {2, 0, 0, 0, 2, 0, 6, 0, 6, 0}));
    EXPECT_EQ(mensagens.Textos(), std::vector<std::string>{"Ferro Fundido\nLUFF - 100 (bolsa No.1)\nTubo FoFo K7 JGS"});
}
