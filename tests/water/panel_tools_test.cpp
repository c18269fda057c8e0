// The water panel's picture tools over the drawing host with the shipped
// catalogue: coupling with its two questions, moving along the axis under
// ortho, mirroring, rotating, what ends a tool with nothing changed (and
// SNAPANG and ORTHOMODE as they were), the socket information, and the
// hover and pressed images.

#include <atomic>
#include <cmath>

#include "DesenhoAgua.h"
#include "cad/modDesenho.h"
#include "platform/acad/Tables.h"
#include "water/WATDes.h"
#include "water/WATDes98.h"

using namespace watertest;
using namespace forms;

namespace {

std::string NomeUnico()
{
    static std::atomic<int> n{0};
    return "frmFerramentas" + std::to_string(n++);
}

struct FormAgua {
    FormAgua() : form(NomeUnico()), WC(form.Add<WATDes98>("WC"))
    {
        form.Move(0, 0, 2800, 4000);
        form.Show();
    }
    ~FormAgua() { Unload(form); }
    Form form;
    WATDes98& WC;
};

class Ferramentas : public DesenhoAgua {
protected:
    Ferramentas() : painel(std::make_unique<FormAgua>()), WC(painel->WC)
    {
        for (const char* b : {"A-LUVA", "A-CURVA90", "A-TUBO"}) EXPECT_TRUE(CriaBlocoConexao(b, false));
        WC.Start(false);
    }

    acad::BlockReference* Conexao(const std::string& Bloco, const Ponto& P, double Rotacao,
                                  const std::string& Codigo, const std::string& Material = "Ferro Fundido")
    {
        acad::BlockReference* b = gModelSpace->InsertBlock(P, Bloco, 1, 1, 1, Rotacao);
        SetAtributo("CODIGO", Codigo, b);
        SetAtributo("MATERIAL", Material, b);
        SetAtributo("ETAPA", "1", b);
        return b;
    }
    // The coupling to move, its east socket at (2, 0), and a bend at (50, 50)
    // whose north socket is at (50, 54).
    void DuasConexoes(const std::string& CodigoCurva = "C90FFDN100", const std::string& MaterialCurva = "Ferro Fundido")
    {
        luva = Conexao("A-LUVA", {0, 0, 0}, 0, "LUFFDN100");
        curva = Conexao("A-CURVA90", {50, 50, 0}, 0, CodigoCurva, MaterialCurva);
    }
    // The user's answers to a tool: the coupling selected by a crossing window, then
    // the picks and points given.
    void SelecionaLuva() { script->Crossing({-1, -1, 0}, {1, 1, 0}).Enter(); }

    void Ferramenta(int Index) { user::Click(WC.FERimg(Index)); }

    // The catalogue keeps socket angles in single precision.
    static bool Perto(const Ponto& A, const Ponto& B) { return std::hypot(A.X - B.X, A.Y - B.Y) < 1e-5; }
    static double Angulo(double A) { return std::remainder(A, 2 * M_PI); }
    void EstadoOrtoIntacto(double Snapang, int Orthomode)
    {
        EXPECT_DOUBLE_EQ(Doc().GetVariable("SNAPANG").AsDouble(), Snapang);
        EXPECT_EQ(Doc().GetVariable("ORTHOMODE").AsInt(), Orthomode);
    }

    std::unique_ptr<FormAgua> painel;
    WATDes98& WC;
    acad::BlockReference* luva = nullptr;
    acad::BlockReference* curva = nullptr;
};

}  // namespace

TEST_F(Ferramentas, CoupleAsksOnlyAboutWhatDiffersAndPutsTheSocketOnTheTarget)
{
    // The same material and diameter: no question; the coupling's east socket
    // lands on the bend's north socket, its axis pointing at the bend's centre.
    DuasConexoes();
    SelecionaLuva();
    script->Point({1.9, 0, 0}).Point({50, 53.5, 0});
    Ferramenta(0);
    EXPECT_EQ(script->Remaining(), 0u);
    EXPECT_TRUE(caixas.empty());
    EXPECT_TRUE(Perto(luva->InsertionPoint(), {50, 56}));
    EXPECT_NEAR(Angulo(luva->Rotation()), -M_PI / 2, 1e-5);
    EXPECT_TRUE(Perto(curva->InsertionPoint(), {50, 50}));
    EXPECT_EQ(script->Prompts(),
              (std::vector<std::string>{"Selecione objetos: ", "Selecione objetos: ", "Selecione conexão:",
                                        "Selecione conexão:"}));
}

