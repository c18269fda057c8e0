#pragma once
// The sewer catalogue: manhole types, materials with their diameters and step
// limits, reach layer colours, construction stages, pavements and the geometry
// rows of the sewer blocks, read from the catalogue database at gMdbPath by
// clsSANDb::LoadDb into the arrays below, which every sewer part reads.

#include <string>
#include <vector>

#include "cad/BlocoDXF.h"

// A manhole type that may be inserted ("E_PVBlocks" rows with "Inserir" set).
struct PVBlockRec {
    std::string Abrev;  // item text of the panel's manhole-type list
    std::string Descricao;
    std::string Bloco;       // block inserted for this type ("E-PV", "E-PV250")
    double DwgDiam = 0.0;    // drawing units from the centre to the symbol's rim
    double Chamine = 0.0;    // metres (stored in millimetres)
    double AlturaMax = 0.0;  // greatest depth, metres (stored in millimetres)
    int DiamSaida = 0;       // greatest outlet diameter
    int NumEntradas = 0;     // number of inlets
    std::string DiamNominal;
};

// One diameter of a material and the greatest drop built as a step there, in
// thousandths of the elevation unit (as stored).
struct DiamDegrauRec {
    std::string Diametro;
    double DegrauAte = 0.0;
};

struct MaterialRec {
    std::string Material;
    std::string CodMaterial;  // a whole number, as text
    std::string Abrev;
    std::vector<DiamDegrauRec> Diametros;  // in "E_CodDiam"."Index" order
    // The same rows as one text: "_150_|500|_200_|500|_". A diameter d is found
    // by "_d_"; its limit is the text between the next two "|".
    std::string ListaDegraus;
};

// Colour of the reach layers of a diameter: the first row whose diameter is
// not smaller wins.
struct TRLayerColorRec {
    int Diametro = 0;
    int Cor = 0;
};

// A construction stage: its number, the suffix and linetype of its reach
// layers, and the text of the stage lists.
struct TRLayerParamRec {
    int Etapa = 0;
    std::string Sufixo;
    std::string LineType;
    std::string Descricao;
};

struct PavimentoRec {
    std::string Nome;
};

extern std::vector<PVBlockRec> gPVBlocos;      // in "DiamNominal" order
extern std::vector<MaterialRec> gMateriais;    // by material name
extern std::vector<TRLayerColorRec> gCoresTR;  // by diameter
extern std::vector<TRLayerParamRec> gEtapas;   // by stage number
extern std::vector<PavimentoRec> gPavimentos;  // in the table's order
extern std::vector<BlocoDefRec> gBlocosSAN;    // by block name

class clsSANDb {
public:
    // Reads the seven catalogue queries and replaces the arrays as a whole.
    // When anything is missing (the database, a table, a column, a value) it
    // shows one message naming it, leaves every array as it was and returns
    // false. On return the connection is closed and the mouse pointer is the
    // default one.
    bool LoadDb();
};

// The stage number a stage list stores for its entry `ListIndex` (the lists
// show gEtapas in order): the row's own `Etapa`, which need not be its
// position. -1 when the entry is not in the catalogue (nothing chosen).
int EtapaDoItem(int ListIndex);
