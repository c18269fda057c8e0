#pragma once
// The sewer network in memory: the PV (manhole) and TR (reach) tables that the
// capture and the design-table import fill and the DXF export reads; lookups in
// the manhole-type catalogue; and the readers through which the verification,
// the quantities and the capture read the sewer blocks of the drawing.
//
// Tables: gPVs holds gNumPVs records at 0 .. gNumPVs − 1 (after an emptying,
// one blank record at 0 and gNumPVs 0), gTRs likewise. No size limit.
// AddPV and GetPVKey find a PV under the name and ObjectID it had when the
// table took it in: one renamed in place afterwards is found under its new
// name only after the table is emptied and filled again.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cad/Ponto.h"
#include "platform/acad/Entity.h"

struct PVRec {
    std::string Nome;   // the manhole's number; the key when no handle is given
    int Coletor = 0;    // collector number
    std::string Bloco;  // manhole block name (set by the import, never by AddPV)
    double X = 0.0, Y = 0.0;
    std::string CT;             // ground elevation
    std::string CC;             // invert elevation
    std::string PRF;            // depth
    std::string Etapa;          // stage number
    int NumRepeticoes = 0;      // further additions that found this record
    int NumSaidas = 0;          // sum of the outgoing-reach counts of every addition
    int DiamMax = 0;            // largest diameter of the further additions
    double XJ = 0.0, YJ = 0.0;  // downstream point given at the first addition
    std::int32_t ObjectID = 0;  // of the manhole's block; 0 when not from the drawing
    std::string Handle;         // of that block; "" when not from the drawing
};

struct TRRec {
    std::string Trecho;  // reach name or number
    std::string Diam;
    std::string Comp;
    std::string Decl;
    std::string Material;
    std::string Pavimento;
    std::string Etapa;
    std::string Contrib;
    std::int32_t ObjPV1 = 0;  // upstream PV: ObjectID or GetPVKey's key
    std::int32_t ObjPV2 = 0;  // downstream PV
    std::int32_t ObjTR = 0;   // the reach's own block; 0 when not from the drawing
    int IndPV1 = 0;           // indexes of the two PVs in gPVs
    int IndPV2 = 0;
    std::string Aux1;  // previous reach of the collector
    std::string Aux2;  // next reach of the collector
    std::string Aux3;  // "-0-"
    std::string Aux4;  // "-0-"
};

extern std::vector<PVRec> gPVs;
extern int gNumPVs;
extern std::vector<TRRec> gTRs;
extern int gNumTRs;
// ObjectIDs of the PV blocks where a collector may start (capture's own list).
extern std::vector<std::int32_t> gListPLs;

// Adds a PV, or counts it again: with `Handle` empty the record of the same
// name matches, otherwise the record of the same ObjectID. Every matching record
// gets one more repetition, the outgoing count added to its NumSaidas and the
// diameter into DiamMax when larger (a diameter that is not a number counts as
// none); nothing else of it changes. The index of the (last) match, or of the
// new record.
int AddPV(const std::string& Nome, double X, double Y, const std::string& CT, const std::string& CC,
          const std::string& PRF, int Etapa, int NumSaidas, int NumEntradas, const std::string& Diam, double XJ,
          double YJ, std::int32_t ObjectID, const std::string& Handle, int Coletor);

// Appends a reach (no duplicate check); Aux3 and Aux4 become "-0-".
void AddTR(const std::string& Trecho, const std::string& Diam, const std::string& Comp, const std::string& Decl,
           const std::string& Material, const std::string& Etapa, std::int32_t ObjPV1, std::int32_t ObjPV2,
           std::int32_t ObjTR, const std::string& Aux1, const std::string& Aux2, int IndPV1, int IndPV2,
           const std::string& Pavimento, const std::string& Contrib);

// ObjectID of the first PV of that name; 0 when none.
std::int32_t GetPVKey(const std::string& Nome);

// The manhole type for a PV with that many inlets, that depth and that outlet
// diameter: the first type before the last three that is deep and wide enough
// and has an inlet to spare; else (and for a depth that is not a number) the
// last type. "" without types.
std::string ChoosePVBlock(int NumEntradas, const std::string& Profundidade, int DiamSaida);

// DiamNominal of the first type of that block; "" when none.
std::string GetPVBlockDesc(const std::string& Bloco);

// The readers give what the block's attributes hold through their out
// arguments; an argument whose tag the block lacks keeps the caller's value.
// Each returns "" when every attribute it read made sense, otherwise one line
// per attribute that did not (a number that is not one, a point that is not
// "x,y", a "DD" without "-"), naming the block: the arguments of those keep
// the caller's value (points: none) and the rest is read all the same.

// A designed manhole ("E-PV", "E-PV250").
std::string ReadPVAttribs(acad::Entity* Bloco, std::string& Numero, double& CT, double& CS, double& CP,
                          std::string& ET);

// A designed reach ("E-TRSAN"). The drop code is "T" when "TQ" is "O", else
// "D" when "DG" is "O", else "". The point attributes are put back on the
// points they hold (height 0.0001, layer "FLUXO", visible).
std::string ReadTRAttribs(acad::Entity* Bloco, std::string& Trecho, std::string& Material, std::string& Diametro,
                          double& Comp, double& Decl, std::string& Pavimento, std::string& CodigoQueda, double& TCS,
                          double& TCP, std::optional<Ponto>& PV1, std::optional<Ponto>& PV2, std::string& Etapa);

// A generic reach ("E-TRCGEN"); its point attributes are repaired likewise.
std::string ReadTRBlockAttribs(acad::Entity* Bloco, std::string& Trecho, std::string& Comp, std::string& Contrib,
                               std::string& Etapa, std::string& Pavimento, std::string& Material, std::string& PV1,
                               std::string& PV2, std::optional<Ponto>& IPV1, std::optional<Ponto>& IPV2);
