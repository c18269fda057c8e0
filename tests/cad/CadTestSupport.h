#pragma once
// What the tests of the CAD link share: a drawing host with scripted input,
// registered (or not) as the running host, the shared objects cleared between
// tests, the messages the system shows, and a scratch folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cad/Ponto.h"
#include "platform/acad/Acad.h"
#include "platform/acad/DxfFile.h"
#include "platform/forms/Testing.h"
#include "platform/os/Dialogs.h"

// The point is (x, y), within tol.
inline void ExpectPonto(const Ponto& p, double x, double y, double tol = 1e-9)
{
    EXPECT_NEAR(p.X, x, tol);
    EXPECT_NEAR(p.Y, y, tol);
}

namespace cadtest {

// A fresh folder under the system's temporary folder, removed afterwards.
class PastaTemporaria {
public:
    PastaTemporaria();
    ~PastaTemporaria();
    PastaTemporaria(const PastaTemporaria&) = delete;
    PastaTemporaria& operator=(const PastaTemporaria&) = delete;
    const std::filesystem::path& Caminho() const { return path_; }
    std::filesystem::path operator/(const std::string& nome) const { return path_ / nome; }

private:
    std::filesystem::path path_;
};

// One box the system showed: its title and text (line breaks as "\n").
struct Mensagem {
    std::string Titulo;
    std::string Texto;
};

// Answers every modal form of the shell the way a user reading it would
// (message boxes: "OK"; the point information: "OK") and keeps what they
// showed; plain platform messages are kept too.
class Mensagens {
public:
    Mensagens();
    const std::vector<Mensagem>& Lista() const { return lista_; }
    // The texts only, in order.
    std::vector<std::string> Textos() const;
    void Limpa() { lista_.clear(); }

private:
    std::vector<Mensagem> lista_;
    forms::ScopedTestDriver formas_;
    os::ScopedDialogDriver dialogos_;
};

// Clears the shared objects of the CAD link, as at the start of a run.
void ZeraGlobais();

// A host with one new drawing ("Acad"), answering from `script`, registered as
// "AutoCAD.Application" while `registrado`. The start-up settings the CAD link
// reads are set: gAcadProgID, gLayerConf "0-Conferencia", gBlocosPath = the
// scratch folder.
class CadTest : public ::testing::Test {
protected:
    explicit CadTest(bool registrado = true);
    ~CadTest() override;

    acad::Document& Doc() { return *app->ActiveDocument(); }
    // ConectaAcad with the active drawing; fails the test when it fails.
    void Conecta();
    // The current view of the active drawing (VIEWCTR, VIEWSIZE).
    Ponto Centro() { return Ponto(Doc().GetVariable("VIEWCTR").AsPoint()); }
    double Altura() { return Doc().GetVariable("VIEWSIZE").AsDouble(); }

    PastaTemporaria pasta;
    std::shared_ptr<acad::ScriptedInput> script;
    std::unique_ptr<acad::Application> app;
    std::optional<acad::ActiveObjectRegistration> registro;
    Mensagens mensagens;
};

// Points of a flat X, Y list.
std::vector<Ponto> Vertices(const std::vector<double>& L);

// The program folder of the build under test: the catalogue, block files and pictures.
std::filesystem::path PastaDoPrograma();

// Runs SQL on a database file; fails the test on error.
void ExecutaSql(const std::filesystem::path& Banco, const std::string& Sql);

}  // namespace cadtest
