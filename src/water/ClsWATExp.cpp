#include "water/ClsWATExp.h"

#include <cctype>

#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"

std::vector<NoRec> gNos;
std::int32_t gNumNos = 0;
std::vector<ZonaRec> gZonas;
std::vector<TuboExpRec> gTubosExp;
std::int32_t gNumTubosExp = 0;
std::vector<TrechoZonaRec> gListaSalva;

namespace {

// The label without blanks around it; "" when it is not a whole number.
std::string Digitos(const std::string& Label, bool& Negativo)
{
    std::size_t i = Label.find_first_not_of(" \t");
    std::size_t f = Label.find_last_not_of(" \t");
    Negativo = false;
    if (i == std::string::npos) return "";
    if (Label[i] == '+' || Label[i] == '-') {
        Negativo = Label[i] == '-';
        ++i;
    }
    if (i > f) return "";
    std::string d = Label.substr(i, f - i + 1);
    for (char c : d)
        if (!std::isdigit(static_cast<unsigned char>(c))) return "";
    const std::size_t nz = d.find_first_not_of('0');
    d = nz == std::string::npos ? "0" : d.substr(nz);
    if (d == "0") Negativo = false;
    return d;
}

}  // namespace

bool RotuloValido(const std::string& Label)
{
    bool neg = false;
    return !Digitos(Label, neg).empty();
}

int ComparaRotulos(const std::string& a, const std::string& b)
{
    bool na = false, nb = false;
    const std::string da = Digitos(a, na), db = Digitos(b, nb);
    if (na != nb) return na ? -1 : 1;
    int c = 0;
    if (da.size() != db.size()) c = da.size() < db.size() ? -1 : 1;
    else c = da.compare(db) < 0 ? -1 : (da.compare(db) > 0 ? 1 : 0);
    return na ? -c : c;
}

ClsWATExp::ClsWATExp() = default;
ClsWATExp::~ClsWATExp() = default;

bool ClsWATExp::LerTrechos(double, bool) { return false; }
bool ClsWATExp::LoadZonas() { return false; }
bool ClsWATExp::LoadNodes() { return false; }
void ClsWATExp::DrawNodes(const std::string&) {}
void ClsWATExp::Reproduz() {}
void ClsWATExp::LerTrecho(acad::BlockReference*, double, bool&) {}
bool ClsWATExp::LerExtremidade(const ::Ponto&, std::vector<PontaConexao>& Conexoes, double& Comprimento, bool)
{
    Conexoes.clear();
    Comprimento = 0;
    return false;
}
ClsWATExp::Busca ClsWATExp::FindConexao(const ::Ponto&, std::string&, std::string&, std::string&, ::Ponto&,
                                        std::int16_t&, ::Ponto&, double&, double&, double&, std::int32_t&, bool)
{
    return Busca::NaoAchou;
}
void ClsWATExp::MarcaFalha(const ::Ponto&, const std::string&) {}
