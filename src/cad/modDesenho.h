#pragma once
// Layers, block definitions from the block drawing files, attributes of block
// references and the verification layer, on the drawing in gAcadDoc. None of
// them connects: callers have called ConectaAcad.

#include <optional>
#include <string>

#include "platform/acad/Entity.h"
#include "platform/acad/Tables.h"

// The layer named exactly `Nome` (created when missing), given `Cor` when it is
// not 0, and the linetype `TipoLinha` when it is not "" (loaded from "acad.lin"
// when the drawing lacks it; a linetype that cannot be had is left out
// silently). An invalid name or colour throws acad::Error.
acad::Layer* GetLayer(const std::string& Nome, int Cor, const std::string& TipoLinha);

// True when the drawing has the block `Nome` afterwards: defined already, or
// defined now from the drawing file gBlocosPath/Nome.dwg. A missing file gives
// the message "Arquivo: <Nome> não foi encontrado em <gBlocosPath>", a file
// that cannot be read its own message; both return false.
bool InsertBlockFile(const std::string& Nome);

// Value of the attribute tagged exactly `Tag` (case counts; the last one when
// several carry it), or none. An entity that is not a block reference, or an
// erased one, throws acad::Error.
std::optional<std::string> GetAtributo(const std::string& Tag, acad::Entity* Bloco);

// Writes `Valor` into every attribute tagged exactly `Tag` and updates it; the
// value when one was written, none when no attribute carries the tag.
std::optional<std::string> SetAtributo(const std::string& Tag, const std::string& Valor, acad::Entity* Bloco);

// Erases at once every entity on the verification layer (gLayerConf) through
// the selection set "SS1", and regenerates the drawing.
void LimpaConferencia();
