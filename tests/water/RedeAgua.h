#pragma once
// A water network drawn the way the engineer draws it: fittings placed by the
// drawing object's InsertConex (scale 0.5, turned by the answered ROTATE) and
// pipes by its DrawTubo, picking the two fittings near their sockets. The
// pipe dialog is answered by the test's form driver (DesenhoAgua: "OK" with
// the length it proposes, or as its `noTubo` says).
//
//     class Leitura : public DesenhoAgua {};
//     TEST_F(Leitura, ...) {
//         RedePequena rede = DesenhaRedePequena(des, *script, Doc());
//         ...
//     }

#include <cmath>
#include <string>
#include <vector>

#include "cad/Ponto.h"
#include "cad/modGeometria.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/CommandLine.h"
#include "platform/acad/Document.h"
#include "platform/acad/InputSource.h"
#include "water/clsWATDes.h"

namespace watertest {

inline const std::string kFerroFundido = "Ferro Fundido";

// Places the fitting block `Bloco` with `Codigo` at P, turned by `Rotacao`
// (radians), on the stage's layer; returns it.
inline acad::BlockReference* PoeConexao(clsWATDes& Des, acad::ScriptedInput& Script, acad::Document& Doc,
                                        const std::string& Bloco, const std::string& Codigo, const Ponto& P,
                                        double Rotacao = 0.0, const std::string& Etapa = "0",
                                        const std::string& Material = kFerroFundido)
{
    Script.Point(P);
    Des.InsertConex(Bloco, Material, Codigo, Etapa, "", "", "", "");
    if (Doc.CommandLine().Active()) {
        Script.Angle(Rotacao);
        Doc.CommandLine().Continue();
    }
    acad::BlockReference* ultima = nullptr;
    for (acad::Entity* e : Doc.ModelSpace())
        if (auto* b = dynamic_cast<acad::BlockReference*>(e); b && b->Name() == Bloco) ultima = b;
    return ultima;
}

// Where to pick a fitting to take its socket S: a little inside the fitting,
// away from pipes already ending at S.
inline Ponto CliqueNaBolsa(const acad::BlockReference* Conexao, const Ponto& S)
{
    const Ponto c = Conexao->InsertionPoint();
    const double d = std::hypot(S.X - c.X, S.Y - c.Y);
    if (d < 1e-9) return S;
    const double k = 0.25 / d;
    return Ponto(S.X + (c.X - S.X) * k, S.Y + (c.Y - S.Y) * k, 0);
}

// Draws a pipe from socket S1 of fitting F1 to socket S2 of fitting F2
// (F1 must have no pipe at S1 yet); returns its label, or null.
inline acad::BlockReference* PoeTubo(clsWATDes& Des, acad::ScriptedInput& Script, acad::Document& Doc,
                                     const acad::BlockReference* F1, const Ponto& S1, const acad::BlockReference* F2,
                                     const Ponto& S2, const std::string& Etapa = "0")
{
    std::vector<acad::BlockReference*> antes;
    for (acad::Entity* e : Doc.ModelSpace())
        if (auto* b = dynamic_cast<acad::BlockReference*>(e); b && b->Name() == "A-TUBO") antes.push_back(b);
    Script.Point(CliqueNaBolsa(F1, S1)).Point(CliqueNaBolsa(F2, S2));
    Des.DrawTubo("", "", Etapa);
    acad::BlockReference* novo = nullptr;
    for (acad::Entity* e : Doc.ModelSpace())
        if (auto* b = dynamic_cast<acad::BlockReference*>(e); b && b->Name() == "A-TUBO") novo = b;
    for (acad::BlockReference* b : antes)
        if (b == novo) return nullptr;
    return novo;
}

// The small network: caps at (0,0), (100,0) and (50,50), a tee at (50,0) (its
// branch up), pipes DN100 from each cap to the tee: 50 m each.
struct RedePequena {
    acad::BlockReference* CapOeste = nullptr;  // (0,0), socket at (1.5,0)
    acad::BlockReference* Te = nullptr;        // (50,0), sockets (48,0), (52,0), (50,2)
    acad::BlockReference* CapLeste = nullptr;  // (100,0), socket at (98.5,0)
    acad::BlockReference* CapNorte = nullptr;  // (50,50), socket at (50,48.5)
    std::vector<acad::BlockReference*> Tubos;  // labels: west, east, north
};

inline RedePequena DesenhaRedePequena(clsWATDes& Des, acad::ScriptedInput& Script, acad::Document& Doc,
                                      const std::string& Etapa = "0")
{
    RedePequena r;
    r.CapOeste = PoeConexao(Des, Script, Doc, "A-CAP", "CAPFFDN100", {0, 0, 0}, PI, Etapa);
    r.Te = PoeConexao(Des, Script, Doc, "A-TE", "TEFFDN100x100", {50, 0, 0}, 0.0, Etapa);
    r.CapLeste = PoeConexao(Des, Script, Doc, "A-CAP", "CAPFFDN100", {100, 0, 0}, 0.0, Etapa);
    r.CapNorte = PoeConexao(Des, Script, Doc, "A-CAP", "CAPFFDN100", {50, 50, 0}, PI / 2, Etapa);
    r.Tubos.push_back(PoeTubo(Des, Script, Doc, r.CapOeste, {1.5, 0, 0}, r.Te, {48, 0, 0}, Etapa));
    r.Tubos.push_back(PoeTubo(Des, Script, Doc, r.CapLeste, {98.5, 0, 0}, r.Te, {52, 0, 0}, Etapa));
    r.Tubos.push_back(PoeTubo(Des, Script, Doc, r.CapNorte, {50, 48.5, 0}, r.Te, {50, 2, 0}, Etapa));
    return r;
}

}  // namespace watertest
