#include "water/clsWATDb.h"

std::vector<std::string> gDiametros;
std::vector<std::string> gAneis;
std::vector<ConexaoRec> gTubosCat;
std::vector<ConexaoRec> gConexoes;
std::vector<MaterialAguaRec> gMateriaisAgua;
std::vector<std::string> gTubosConexao;
std::vector<BlocoDefAguaRec> gBlocosAgua;
std::vector<DiamCorRec> gCoresDiam;
std::vector<EtapaAguaRec> gEtapasAgua;
std::vector<TipoTuboRec> gTiposTubo;

bool clsWATDb::LoadDb()
{
    return false;
}

bool MaterialDeTubos(const std::string&)
{
    return false;
}

void MontaTiposTubo()
{
}
