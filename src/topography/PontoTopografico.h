#pragma once
// The survey point of the system: a point entity on "PONTO" carrying, as
// extended data, its name (the application name of the data, code 1001), its
// elevation as text (1000) and its description (1000), with three texts above
// it: the name 5.0, the elevation 3.0 and the description 1.0 drawing units up,
// height 1.5, left aligned, in the drawing's current style. The elevation is
// never the point's Z. Every name is a registered application of the drawing,
// so erased points leave theirs behind.
//
// Written here and read by the point tools, the sections, the triangulation and
// the point information (cad/modInfoPonto.h).

#include <string>

#include "cad/Ponto.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/TextEntities.h"

namespace acad {
class Block;
class Entity;
}  // namespace acad

// Layers of the format and their colours.
inline constexpr const char* kCamadaPonto = "PONTO";                     // 10
inline constexpr const char* kCamadaPontoTexto = "PONTO_TEXTO";          // 170
inline constexpr const char* kCamadaPontoCota = "PONTO_COTA";            // 170
inline constexpr const char* kCamadaPontoDescricao = "PONTO_DESCRICAO";  // 3

// What a survey point says of itself.
struct DadosPonto {
    std::string Nome;
    std::string Cota;
    std::string Descricao;
};

// The point and its three texts, as drawn.
struct PontoDesenhado {
    acad::Point* Ponto = nullptr;
    acad::Text* Nome = nullptr;
    acad::Text* Cota = nullptr;
    acad::Text* Descricao = nullptr;
};

// Makes sure the four layers of the format exist, with their colours.
void CamadasPontoTopografico();

// True when the drawing host takes `Nome` as an application name, i.e. as the
// name of a survey point: not empty, at most 255 characters, none of
// < > / \ " : ; ? * | , = ` and text (UTF-8).
bool NomePontoValido(const std::string& Nome);

// Draws one survey point at `P` (its Z kept) with its data and texts into
// `Espaco` (model space of the connected drawing unless told). The layers
// must exist (CamadasPontoTopografico). A name the host refuses throws
// acad::Error before anything is drawn; any other refusal of the host throws
// with nothing of the point left.
PontoDesenhado DesenhaPontoTopografico(const Ponto& P, const DadosPonto& Dados, acad::Block* Espaco = nullptr);

// The three texts of a point at `P`, on their layers, each updated.
void DesenhaTextosPonto(const Ponto& P, const DadosPonto& Dados, acad::Block& Espaco, PontoDesenhado& Feito);

// The data of a survey point: false for an entity that is no point or a point
// whose extended data (all applications) yields no value. A missing elevation
// or description reads "".
bool LePontoTopografico(const acad::Entity* Entidade, DadosPonto& Dados);
