#pragma once
// The water catalogue: diameters and their colours, rings, pipes, every
// fitting with its ringed sockets, the material tree (material, fitting,
// diameters) with each material's picture menu, the geometry of the fitting
// blocks with their socket points and the construction stages. clsWATDb::LoadDb
// reads them from the catalogue database at gMdbPath into the arrays below,
// which every water command reads; MontaTiposTubo then derives gTiposTubo.

#include <string>
#include <vector>

#include "platform/Event.h"
#include "platform/forms/Picture.h"
#include "cad/BlocoDXF.h"
#include "shell/PicMnuUsrCtl.h"

// A socket of a fitting that takes a ring ("A_Bolsas" rows with a ring).
struct BolsaRec {
    bool Principal = false;  // takes the primary diameter, else the secondary
    std::string Anel;
};

// An "A_Conexoes" row: a fitting or a pipe of the catalogue.
struct ConexaoRec {
    std::string Codigo;
    std::string Conexao;
    std::string Material;
    bool TemBolsas = false;  // ringed sockets were found
    std::vector<BolsaRec> Bolsas;
};

// One primary diameter of a fitting and the secondary ones offered with it.
struct DiametroAguaRec {
    std::string DP;
    std::vector<std::string> DS;  // a single "" when there is none
    bool TemDS = false;
};

// A socket point of a fitting, in polar form from the block's base point at
// scale 1.
struct BolsaPontoRec {
    int Numero = 0;
    float AnguloBolsa = 0.0f;     // radians from the block's X axis
    float DistanciaBolsa = 0.0f;  // drawing units
    bool Principal = false;
    std::string Anel;
    std::string Tubulacao;  // the piping that fits the socket
};

// An extra attribute code of a fitting ("A_ConExtra").
struct ConExtraRec {
    std::string Att;
    std::string Cod;
};

// A fitting of a material: the rows of one name under one material.
struct ConexaoAguaRec {
    std::string Conexao;
    std::string Codigo;
    std::string Bloco;  // "" when the fitting has no block
    std::vector<DiametroAguaRec> Diametros;
    bool HasDS = false;
    int NumBolsas = 0;
    std::vector<BolsaPontoRec> Bolsas;
    bool TemExtras = false;
    std::vector<ConExtraRec> Extras;
};

struct MaterialAguaRec {
    std::string Material;
    std::string Tubulacao;
    std::vector<ConexaoAguaRec> Conexoes;  // element 0 is empty; fittings from 1
    PicMnuRec Menu;                        // buttons from 1
};

// A water block's geometry rows and its socket points (only the angle and
// the distance are set).
struct BlocoDefAguaRec {
    std::string Bloco;
    std::vector<DXFRowRec> Linhas;  // in table order
    std::vector<BolsaPontoRec> Pontos;
    int NumPontos = 0;
};

struct DiamCorRec {
    std::string Diametro;
    int Cor = 0;
};

struct EtapaAguaRec {
    std::string Nome;
    std::string LineType;
    int Cor = 0;
};

// A pipe type offered by the water drawing: one per fitting slot of every
// pipe material, the empty slot 0 included.
struct TipoTuboRec {
    std::string Nome;
    std::string NomeCatalogo;  // name of the catalogue pipe with this code
    std::string Codigo;
    std::vector<DiametroAguaRec> Diametros;
    std::string ListaDN;  // "_100_150_"; empty for an entry without a name
};

extern std::vector<std::string> gDiametros;          // in "Index" order
extern std::vector<std::string> gAneis;              // ring codes
extern std::vector<ConexaoRec> gTubosCat;            // pipes, by material then name
extern std::vector<ConexaoRec> gConexoes;            // by material, name, code
extern std::vector<MaterialAguaRec> gMateriaisAgua;  // materials with fittings with diameters
extern std::vector<std::string> gTubosConexao;       // fitting names of the pipe materials
extern std::vector<BlocoDefAguaRec> gBlocosAgua;     // by block name
extern std::vector<DiamCorRec> gCoresDiam;           // in "Index" order
extern std::vector<EtapaAguaRec> gEtapasAgua;        // the four stages, 0 to 3
extern std::vector<TipoTuboRec> gTiposTubo;

class clsWATDb {
public:
    // Rebuilds every array from the catalogue database. When anything is
    // missing (the database, a table, a column, a value, a picture) it shows
    // one message naming it, leaves every array as it was and returns false.
    // Must not be called again while it runs: it lets the window answer
    // between the rows of the material tree.
    bool LoadDb();

    // Raised once per load with the flat picture of the first material.
    platform::Event<forms::Picture> FirstPIC;
};

// Raised after every load that put a new catalogue in place, whoever asked
// for it: what a reader changed in the arrays for the run is to be made again.
platform::Event<>& CatalogoAguaCarregado();

// True when the first ten characters (not bytes) of a material's name are
// "Tubulações": the pipe materials.
bool MaterialDeTubos(const std::string& Material);

// Builds gTiposTubo from gMateriaisAgua and gTubosCat.
void MontaTiposTubo();
