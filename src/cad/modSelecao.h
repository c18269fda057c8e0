#pragma once
// Entities around a point, and what the user answers in the drawing host:
// an entity, a nested entity, a point, an angle, a window. Every request first
// brings the host's window to the front (the program's own windows stay on
// top), where the user answers.
//
// Filters are the host's two parallel arrays: group codes (0 entity type,
// 2 block name with wildcards, 8 layer, -4 "<OR" "OR>" ...) and their values.
// Window selections here are crossing selections (inside or crossing).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cad/Ponto.h"
#include "platform/acad/BlockReference.h"
#include "platform/acad/Entity.h"
#include "platform/acad/SelectionSet.h"
#include "platform/acad/Variant.h"

using FiltroTipos = std::vector<int>;
using FiltroDados = std::vector<acad::Variant>;

// `Nome` as a selection-filter value that matches only itself: each wildcard
// character is escaped with "`". Every name or code that comes from the user
// or the drawing goes into a filter through it ("PBA15DN*-6m" is a code, not a
// pattern).
std::string NomeLiteral(const std::string& Nome);

// Deletes the named selection set of gAcadDoc (when there is one) and adds it
// again, empty: what every user of "SS1", "SS2", "SS3" and "SStmp" does before
// filling one.
acad::SelectionSet* RecriaConjunto(const std::string& Nome);

// "SStmp" filled with what crosses the window of P1 and P2 (the view zoomed to
// them first when either lies outside it), or the square of half side `Meio`
// around P1 (the view centred on P1, height 200, when P1 lies outside it).
// `Vazio` is true when nothing was found. Valid until the next selection around
// a point. An invalid filter throws acad::Error.
acad::SelectionSet* SelecionaJanela(const Ponto& P1, const Ponto& P2, const FiltroTipos& Tipos,
                                    const FiltroDados& Dados, bool& Vazio);
acad::SelectionSet* SelecionaJanela(const Ponto& P1, double Meio, const FiltroTipos& Tipos, const FiltroDados& Dados,
                                    bool& Vazio);

// The entity nearest to P among those crossing the square of half side `Meio`
// around P (points by their position, block references by their insertion
// point, lightweight polylines by their nearest vertex; other kinds are not
// measured), skipping `Excluido`, an object id; a single entity found is
// returned whatever its id. The view is centred on P first: with height 140
// when `AlturaZoom` is not positive, else with that height when P lies outside
// the view. Null, with `Vazio` true, when nothing was found.
acad::Entity* SelecionaObjetos(const Ponto& P, double AlturaZoom, const FiltroTipos& Tipos, const FiltroDados& Dados,
                               bool& Vazio, std::int32_t Excluido, double Meio);

// The entity the user picks with the prompt, of the host's object name
// `NomeObjeto` when that is not "" (as "AcDbBlockReference"). A refused or
// cancelled pick uses one of `Tentativas` (0 or 1: one attempt). Every pick
// that hit an entity, refused ones included, leaves where the user picked in
// `PontoEscolhido`. On success `Falhou` is false; otherwise null with `Falhou`
// true.
acad::Entity* AtivaAcad(const std::string& Prompt, int Tentativas, Ponto& PontoEscolhido, bool& Falhou,
                        const std::string& NomeObjeto);

// The innermost entity the user picks (an attribute, or an entity inside a
// block; `Contexto` receives the block references that hold it, innermost
// first), with the same attempts and `Falhou` rule. With `DesenhaCirculo` an
// object with coordinates (a point; a polyline or a face: its first vertex)
// gets a circle centred there, through the picked point.
acad::Entity* PegaCoordenadas(const std::string& Prompt, int Tentativas, bool DesenhaCirculo, Ponto& PontoEscolhido,
                              bool& Falhou, std::vector<acad::BlockReference*>& Contexto);

// A point (rubber band from `Base` when given), or none. Escape asks again;
// Enter, or anything else that ends the request, gives none.
std::optional<Ponto> GetPonto(const std::optional<Ponto>& Base, const std::string& Prompt);

// An angle in radians (shown from `Base` when given), or none. Enter asks
// again; Escape, or anything else that ends the request, gives none.
std::optional<double> GetValorUsuario(const std::optional<Ponto>& Base, const std::string& Prompt);

// Two corners, asked with the prompt and then "Segundo ponto: ", returned as
// lower left and upper right; Escape asks again, anything else that ends a
// request leaves both empty.
void GetJanela(std::optional<Ponto>& InferiorEsquerdo, std::optional<Ponto>& SuperiorDireito,
               const std::string& Prompt);
