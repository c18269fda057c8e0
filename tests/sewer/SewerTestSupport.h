#pragma once
// What the sewer tests share: a drawing host with scripted input and the
// shipped catalogue loaded (or a copy of it to spoil), the block files of the
// program folder, and readers of what the drawing holds.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cad/CadTestSupport.h"
#include "platform/acad/Acad.h"
#include "sewer/clsSANDes.h"

namespace sewertest {

// The program folder of the build under test: the catalogue and block files.
std::filesystem::path PastaCatalogo();

// Runs SQL on a database file (a copy of the catalogue); fails the test on error.
void ExecutaSql(const std::filesystem::path& Banco, const std::string& Sql);

// Tag → text of a block reference's attributes.
std::map<std::string, std::string> Atributos(const acad::BlockReference* Bloco);
acad::AttributeReference* Atributo(const acad::BlockReference* Bloco, const std::string& Tag);
// Two points equal but for rounding: EXPECT_TRUE(Perto(a, b)).
::testing::AssertionResult Perto(const Ponto& A, const Ponto& B);
// The middle of what a text draws: where a person clicks to pick it.
Ponto MeioDoTexto(const acad::Entity* Texto);

// The host with one drawing, the shipped catalogue loaded, gBlocosPath the
// program folder, connected, the view around the origin, empty network tables.
class SewerTest : public cadtest::CadTest {
protected:
    SewerTest();

    // Model-space entities of one kind, in drawing order.
    template <typename T>
    std::vector<T*> Todos()
    {
        std::vector<T*> v;
        for (acad::Entity* e : Doc().ModelSpace())
            if (auto* t = dynamic_cast<T*>(e)) v.push_back(t);
        return v;
    }
    std::vector<acad::BlockReference*> Blocos(const std::string& Nome);

    // A designed manhole at P (rotation 0) with the texts given.
    acad::BlockReference* PV(const Ponto& P, const std::string& Numero, const std::string& CS,
                             const std::string& Tipo = "E-PV");

    clsSANDes des;
};

}  // namespace sewertest
