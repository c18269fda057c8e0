#pragma once
// What the sewer benchmarks share: the drawing host registered as the running
// host, with a new drawing, a scripted input and the catalogue and block files
// the build puts in the program folder; and a main that runs the benchmarks
// offscreen, every modal form answered at once.

#include "../QtBenchMain.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "cad/modAcad.h"
#include "platform/acad/Acad.h"
#include "platform/forms/Testing.h"
#include "sewer/clsSANDb.h"
#include "shell/modGlobais.h"

namespace sewerbench {

struct Host {
    std::shared_ptr<acad::ScriptedInput> script = std::make_shared<acad::ScriptedInput>();
    std::unique_ptr<acad::Application> app = std::make_unique<acad::Application>();
    std::optional<acad::ActiveObjectRegistration> registro;

    Host()
    {
        gAcadApp = nullptr;
        gAcadDoc = nullptr;
        gModelSpace = nullptr;
        gAcadUtil = nullptr;
        gAcadState.reset();
        gAcadProgID = "AutoCAD.Application";
        gLayerConf = "0-Conferencia";
        gBlocosPath = QUORIL_BIN_DIR;
        gMdbPath = std::string(QUORIL_BIN_DIR) + "/rereva2000r.mdb";
        app->SetInputSource(script);
        app->Documents().Add("Acad");
        registro.emplace(*app);
        if (!clsSANDb().LoadDb() || !ConectaAcad()) throw std::runtime_error("no catalogue or no drawing");
    }
};

// A field of a dBase III design table.
struct CampoDbf {
    const char* Nome;
    char Tipo;  // 'C' text, 'N' number
    int Largura;
    int Decimais;
};

// A dBase III table of `Registros` records, record r (from 0) holding the texts
// `Valores(r)`, one per field, cut to the field's width.
inline void EscreveDbf(const std::filesystem::path& Arquivo, const std::vector<CampoDbf>& Campos, int Registros,
                       const std::function<std::vector<std::string>(int)>& Valores)
{
    int tamanho = 1;
    for (const CampoDbf& c : Campos) tamanho += c.Largura;
    const int cabecalho = 32 + 32 * static_cast<int>(Campos.size()) + 1;
    std::string b(32, '\0');
    b[0] = 0x03;
    for (int i = 0; i < 4; ++i) b[4 + i] = static_cast<char>((static_cast<unsigned>(Registros) >> (8 * i)) & 0xFF);
    b[8] = static_cast<char>(cabecalho & 0xFF);
    b[9] = static_cast<char>(cabecalho >> 8);
    b[10] = static_cast<char>(tamanho & 0xFF);
    b[11] = static_cast<char>(tamanho >> 8);
    for (const CampoDbf& c : Campos) {
        std::string d(32, '\0');
        for (std::size_t i = 0; c.Nome[i] && i < 10; ++i) d[i] = c.Nome[i];
        d[11] = c.Tipo;
        d[16] = static_cast<char>(c.Largura);
        d[17] = static_cast<char>(c.Decimais);
        b += d;
    }
    b += '\r';
    for (int r = 0; r < Registros; ++r) {
        const std::vector<std::string> v = Valores(r);
        b += ' ';
        for (std::size_t k = 0; k < Campos.size(); ++k) {
            std::string t = k < v.size() ? v[k] : std::string();
            t.resize(std::min<std::size_t>(t.size(), static_cast<std::size_t>(Campos[k].Largura)));
            const std::string brancos(static_cast<std::size_t>(Campos[k].Largura) - t.size(), ' ');
            b += Campos[k].Tipo == 'C' ? t + brancos : brancos + t;
        }
    }
    b += '\x1a';
    std::ofstream(Arquivo, std::ios::binary) << b;
}

inline int Main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv, [] { forms::SetTestDriver([](forms::Form&) {}); });
}

}  // namespace sewerbench
