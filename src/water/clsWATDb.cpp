#include "water/clsWATDb.h"

#include <cmath>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "cad/modGeometria.h"
#include "platform/ado/Ado.h"
#include "platform/forms/Application.h"
#include "platform/forms/Types.h"
#include "shell/modCatalogo.h"
#include "shell/modGlobais.h"
#include "shell/modMensagem.h"
#include "platform/ProcessState.h"

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

namespace {
const platform::ProcessStateReset kResetWATDb([] {
    gDiametros.clear();
    gAneis.clear();
    gTubosCat.clear();
    gConexoes.clear();
    gMateriaisAgua.clear();
    gTubosConexao.clear();
    gBlocosAgua.clear();
    gCoresDiam.clear();
    gEtapasAgua.clear();
    gTiposTubo.clear();
});
}  // namespace

namespace {

// Everything one load reads; it reaches the arrays only when all of it was read.
struct Catalogo {
    std::vector<std::string> Diametros;
    std::vector<std::string> Aneis;
    std::vector<ConexaoRec> TubosCat;
    std::vector<ConexaoRec> Conexoes;
    std::vector<MaterialAguaRec> MateriaisAgua;
    std::vector<std::string> TubosConexao;
    std::vector<BlocoDefAguaRec> BlocosAgua;
    std::vector<DiamCorRec> CoresDiam;
    std::vector<EtapaAguaRec> EtapasAgua;
};

ErroCatalogo Falha(const std::string& Tabela, const std::string& Texto)
{
    return ErroCatalogo("Tabela " + Tabela + ": " + Texto);
}

ado::Recordset Abre(const std::string& Sql, const ado::Connection& Cn, const std::string& Tabela, bool ExigeLinhas)
{
    ado::Recordset rs;
    try {
        rs.Open(Sql, Cn, ado::adOpenStatic, ado::adLockReadOnly);
    } catch (const ado::Error& e) {
        throw Falha(Tabela, e.Description());
    }
    if (ExigeLinhas && rs.Eof()) throw Falha(Tabela, "não há linhas.");
    return rs;
}

ado::Value Campo(const ado::Recordset& Rs, const std::string& Tabela, const std::string& Coluna)
{
    try {
        return Rs.Fields(Coluna).Value();
    } catch (const ado::Error& e) {
        throw Falha(Tabela, e.Description());
    }
}

// A column that must hold a value; a Null is a missing value, not "".
ado::Value Valor(const ado::Recordset& Rs, const std::string& Tabela, const std::string& Coluna)
{
    ado::Value v = Campo(Rs, Tabela, Coluna);
    if (v.IsNull()) throw Falha(Tabela, "o campo " + Coluna + " está vazio.");
    return v;
}

std::string Texto(const ado::Recordset& Rs, const std::string& Tabela, const std::string& Coluna)
{
    return Valor(Rs, Tabela, Coluna).ToText();
}

std::string TextoOuVazio(const ado::Recordset& Rs, const std::string& Tabela, const std::string& Coluna)
{
    return Campo(Rs, Tabela, Coluna).TextOr();
}

long long Inteiro(const ado::Recordset& Rs, const std::string& Tabela, const std::string& Coluna)
{
    const ado::Value v = Valor(Rs, Tabela, Coluna);
    try {
        return v.ToLong();
    } catch (const ado::Error&) {
        throw Falha(Tabela, "o valor \"" + v.TextOr() + "\" do campo " + Coluna + " não é um número.");
    }
}

bool Logico(const ado::Recordset& Rs, const std::string& Tabela, const std::string& Coluna)
{
    const ado::Value v = Valor(Rs, Tabela, Coluna);
    try {
        return v.ToBool();
    } catch (const ado::Error&) {
        throw Falha(Tabela, "o valor \"" + v.TextOr() + "\" do campo " + Coluna + " não é sim/não.");
    }
}

// A socket point's "distance,angle".
std::pair<float, float> DistanciaAngulo(const std::string& S3, const std::string& Bloco)
{
    const std::vector<std::string> l = ListaDXF(S3);
    if (l.size() != 2 || l[0].empty() || l[1].empty() || !IsNumero(l[0]) || !IsNumero(l[1]))
        throw Falha("A_DXFs", "o ponto do bloco " + Bloco + " não tem \"distância,ângulo\" em S3: \"" + S3 + "\".");
    return {static_cast<float>(StrToDbl(l[0])), static_cast<float>(StrToDbl(l[1]))};
}

int NumeroBolsa(const std::string& S4, const std::string& Bloco)
{
    const double v = IsNumero(S4) && !S4.empty() ? StrToDbl(S4) : NAN;
    if (!std::isfinite(v) || v != std::trunc(v) || std::fabs(v) > 32767.0)
        throw Falha("A_DXFs", "o ponto do bloco " + Bloco + " não tem o número da bolsa em S4: \"" + S4 + "\".");
    return static_cast<int>(v);
}

void LeDiametros(const ado::Connection& Cn, Catalogo& C)
{
    ado::Recordset rs = Abre("SELECT A_CodDiam.Index, A_CodDiam.sDiametro From A_CodDiam ORDER BY A_CodDiam.Index", Cn,
                             "A_CodDiam", true);
    for (; !rs.Eof(); rs.MoveNext()) C.Diametros.push_back(Texto(rs, "A_CodDiam", "sDiametro"));
}

// A catalogue may have no rings, pipes, ringed sockets or extra codes: those
// lists then stay empty.
void LeAneis(const ado::Connection& Cn, Catalogo& C)
{
    ado::Recordset rs = Abre(
        "SELECT A_Conexoes.codigo, A_Conexoes.conexao From A_Conexoes WHERE "
        "(((A_Conexoes.conexao) Like 'Anel%'))",
        Cn, "A_Conexoes", false);
    for (; !rs.Eof(); rs.MoveNext()) C.Aneis.push_back(Texto(rs, "A_Conexoes", "codigo"));
}

void LeTubos(const ado::Connection& Cn, Catalogo& C)
{
    ado::Recordset rs = Abre(
        "SELECT A_Conexoes.material, A_Conexoes.codigo, A_Conexoes.conexao From A_Conexoes Where "
        "(((A_Conexoes.Material) Like 'Tubula%')) ORDER BY A_Conexoes.material, "
        "A_Conexoes.conexao",
        Cn, "A_Conexoes", false);
    for (; !rs.Eof(); rs.MoveNext())
        C.TubosCat.push_back({Texto(rs, "A_Conexoes", "codigo"),
                              Texto(rs, "A_Conexoes", "conexao"),
                              Texto(rs, "A_Conexoes", "material"),
                              false,
                              {}});
}

void LeConexoes(const ado::Connection& Cn, Catalogo& C)
{
    ado::Recordset rs = Abre(
        "SELECT A_Conexoes.material, A_Conexoes.conexao, A_Conexoes.codigo From A_Conexoes "
        "ORDER BY A_Conexoes.material, A_Conexoes.conexao, A_Conexoes.codigo",
        Cn, "A_Conexoes", true);
    for (; !rs.Eof(); rs.MoveNext())
        C.Conexoes.push_back({Texto(rs, "A_Conexoes", "codigo"),
                              Texto(rs, "A_Conexoes", "conexao"),
                              Texto(rs, "A_Conexoes", "material"),
                              false,
                              {}});
}

void LeBolsasComAnel(const ado::Connection& Cn, Catalogo& C)
{
    ado::Recordset rs = Abre(
        "SELECT A_Bolsas.Codigo, A_Bolsas.Numero, A_Bolsas.Principal, A_Bolsas.Anel From "
        "A_Bolsas Where (((A_Bolsas.Anel) Is Not Null)) ORDER BY A_Bolsas.codigo, "
        "A_Bolsas.Numero",
        Cn, "A_Bolsas", false);
    // The first entry of each code receives its sockets.
    std::unordered_map<std::string, std::size_t> primeira;
    for (std::size_t i = C.Conexoes.size(); i-- > 0;) primeira[C.Conexoes[i].Codigo] = i;

    std::string codigo;
    std::vector<BolsaRec> grupo;
    auto fecha = [&] {
        const auto it = primeira.find(codigo);
        if (it == primeira.end()) return;  // a code that is not a fitting
        C.Conexoes[it->second].Bolsas = std::move(grupo);
        C.Conexoes[it->second].TemBolsas = true;
    };
    for (; !rs.Eof(); rs.MoveNext()) {
        const std::string c = Texto(rs, "A_Bolsas", "Codigo");
        if (!grupo.empty() && c != codigo) {
            fecha();
            grupo.clear();
        }
        codigo = c;
        grupo.push_back({Logico(rs, "A_Bolsas", "Principal"), Texto(rs, "A_Bolsas", "Anel")});
    }
    if (!grupo.empty()) fecha();
}

// The material tree in one pass over one ordered query: each level is closed
// when its key changes, so nothing is searched while it is built.
class ArvoreMateriais {
public:
    ArvoreMateriais(ado::Recordset& Rs, Catalogo& C) : rs_(Rs), c_(C) {}

    void Le()
    {
        NovoMaterial();
        CarregaFigurasMaterial();
        material_ = Texto(rs_, "A_Conexoes", "material");
        dp_ = Texto(rs_, "A_Diams", "DP");
        conexao_ = Texto(rs_, "A_Conexoes", "conexao");
        rs_.MoveNext();
        for (; !rs_.Eof(); rs_.MoveNext()) {
            // The window answers while a long catalogue loads.
            forms::DoEvents();
            const std::string material = Texto(rs_, "A_Conexoes", "material");
            const std::string conexao = Texto(rs_, "A_Conexoes", "conexao");
            const std::string dp = Texto(rs_, "A_Diams", "DP");
            if (material != material_) {
                FechaMaterial();
                NovoMaterial();
                CarregaFigurasMaterial();
                material_ = material;
                conexao_ = conexao;
                dp_ = dp;
            } else if (conexao != conexao_) {
                ProximaConexao();
                AddConexaoTLHW();
                NovaConexao();
                conexao_ = conexao;
                dp_ = dp;
            } else if (dp != dp_) {
                FechaConexao();
                AddDiametro();
                dp_ = dp;
            } else {
                // A further secondary diameter of the same primary one: it
                // replaces the empty placeholder of a first row without one.
                ds_.resize(static_cast<std::size_t>(numDS_) + 1);
                ds_[static_cast<std::size_t>(numDS_)] = Texto(rs_, "A_Diams", "DS");
                ++numDS_;
            }
        }
        FechaMaterial();
    }

    forms::Picture PrimeiraFigura;

private:
    void AddDiametro()
    {
        const ado::Value ds = Campo(rs_, "A_Diams", "DS");
        ds_.assign(1, ds.TextOr());
        numDS_ = ds.IsNull() ? 0 : 1;
        diametros_.resize(static_cast<std::size_t>(numDiam_) + 1);
        diametros_[static_cast<std::size_t>(numDiam_)] = {Texto(rs_, "A_Diams", "DP"), ds_, false};
        ++numDiam_;
    }

    void FechaConexao()
    {
        DiametroAguaRec& d = diametros_[static_cast<std::size_t>(numDiam_) - 1];
        d.TemDS = numDS_ != 0;
        d.DS = ds_;
        conexoes_[static_cast<std::size_t>(numCon_) - 1].Diametros = diametros_;
    }

    void ProximaConexao()
    {
        FechaConexao();
        numDiam_ = 0;
        if (!rs_.Eof()) AddDiametro();
    }

    void NovaConexao()
    {
        conexoes_.resize(static_cast<std::size_t>(numCon_) + 1);
        ConexaoAguaRec& k = conexoes_[static_cast<std::size_t>(numCon_)];
        k.Bloco = TextoOuVazio(rs_, "A_Conexoes", "bloco");
        k.Codigo = Texto(rs_, "A_Conexoes", "codigo");
        k.Conexao = Texto(rs_, "A_Conexoes", "conexao");
        k.HasDS = Logico(rs_, "A_Conexoes", "HasDS");
        k.TemExtras = false;
        numDiam_ = 0;
        AddDiametro();
        if (MaterialDeTubos(c_.MateriaisAgua.back().Material)) c_.TubosConexao.push_back(k.Conexao);
        k.Diametros = diametros_;
        ++numCon_;
    }

    void NovoMaterial()
    {
        MaterialAguaRec m;
        m.Material = Texto(rs_, "A_Conexoes", "material");
        m.Tubulacao = Texto(rs_, "A_Materiais", "Tubulacao");
        c_.MateriaisAgua.push_back(std::move(m));
        // Element 0 of the fitting list stays empty: fittings count from 1.
        conexoes_.assign(1, ConexaoAguaRec());
        numCon_ = 1;
        NovaConexao();
    }

    void FechaMaterial()
    {
        ProximaConexao();
        menu_.Botoes = botoes_;
        MaterialAguaRec& m = c_.MateriaisAgua.back();
        m.Menu = menu_;
        m.Conexoes = conexoes_;
        if (c_.MateriaisAgua.size() == 1) PrimeiraFigura = menu_.PicFlat;
    }

    forms::Picture Figura(const std::string& Material, const std::string& Sufixo)
    {
        const std::string arquivo = gImagensPath + "/" + Material + Sufixo;
        try {
            return forms::LoadPicture(arquivo);
        } catch (const std::exception&) {
            throw ErroCatalogo("Material " + Material + ": a figura " + arquivo + " não existe ou não é uma figura.");
        }
    }

    void CarregaFigurasMaterial()
    {
        const std::string material = Texto(rs_, "A_Conexoes", "material");
        menu_ = PicMnuRec();
        menu_.Name = material;
        menu_.DimX = static_cast<int>(Inteiro(rs_, "A_Materiais", "DimX"));
        menu_.DimY = static_cast<int>(Inteiro(rs_, "A_Materiais", "DimY"));
        menu_.BackPicture = material + "_Back.bmp";
        menu_.Picture = material + ".bmp";
        menu_.PicDown = Figura(material, "_Click.bmp");
        menu_.PicFlat = Figura(material, "_Flat.bmp");
        menu_.PicUp = Figura(material, "_Move.bmp");
        // Buttons count from 1.
        botoes_.assign(1, PicMnuBotaoRec());
        AddConexaoTLHW();
    }

    // Only a fitting with a block has a button: button k and fitting k need
    // not be the same fitting.
    void AddConexaoTLHW()
    {
        const ado::Value bloco = Campo(rs_, "A_Conexoes", "bloco");
        if (bloco.IsNull()) return;
        PicMnuBotaoRec b;
        b.Key = Texto(rs_, "A_Conexoes", "codigo");
        b.Description = Texto(rs_, "A_Conexoes", "conexao");
        b.Texto = bloco.ToText();
        const std::string tlhw = Texto(rs_, "A_Conexoes", "TLHW");
        if (tlhw.size() < 4 || tlhw.find_first_not_of("0123456789") < 4)
            throw Falha("A_Conexoes",
                        "o campo TLHW da conexão " + b.Key + " não tem quatro algarismos: \"" + tlhw + "\".");
        b.Row = tlhw[0] - '0';
        b.Column = tlhw[1] - '0';
        b.ExtraRows = tlhw[2] - '0';
        b.ExtraColumns = tlhw[3] - '0';
        botoes_.push_back(std::move(b));
    }

    ado::Recordset& rs_;
    Catalogo& c_;
    std::string material_, conexao_, dp_;
    std::vector<std::string> ds_;
    int numDS_ = 0;
    std::vector<DiametroAguaRec> diametros_;
    int numDiam_ = 0;
    std::vector<ConexaoAguaRec> conexoes_;
    int numCon_ = 0;
    PicMnuRec menu_;
    std::vector<PicMnuBotaoRec> botoes_;
};

forms::Picture LeArvore(const ado::Connection& Cn, Catalogo& C)
{
    ado::Recordset rs = Abre(
        "SELECT A_Conexoes.material, A_Materiais.Tubulacao, A_Materiais.DimX, A_Materiais.DimY, A_Conexoes.codigo, "
        "A_Conexoes.conexao, A_Conexoes.bloco, A_Conexoes.HasDS, A_Conexoes.TLHW, A_CodDiam.sDiametro AS DP, "
        "A_CodDiam.Index, A_CodDiam_1.sDiametro AS DS, A_CodDiam_1.Index FROM (((A_Conexoes INNER JOIN A_Diams ON "
        "A_Conexoes.codigo = A_Diams.codigo) INNER JOIN A_CodDiam ON A_Diams.dp = A_CodDiam.sDiametro) LEFT JOIN "
        "A_CodDiam AS A_CodDiam_1 ON A_Diams.ds = A_CodDiam_1.sDiametro) INNER JOIN A_Materiais ON "
        "A_Conexoes.material = A_Materiais.Material ORDER BY A_Conexoes.material, A_Conexoes.TLHW, "
        "A_Conexoes.conexao, A_CodDiam.Index, A_CodDiam_1.Index",
        Cn, "A_Conexoes/A_Diams/A_Materiais", true);
    ArvoreMateriais a(rs, C);
    a.Le();
    return a.PrimeiraFigura;
}

// Where the socket points and extra codes of a (material, code) go: the last
// equal material, and in it the last fitting of that code.
class Destinos {
public:
    explicit Destinos(std::vector<MaterialAguaRec>& M) : m_(M)
    {
        for (std::size_t i = 0; i < M.size(); ++i) {
            std::unordered_map<std::string, std::size_t> codigos;
            for (std::size_t j = 0; j < M[i].Conexoes.size(); ++j) codigos[M[i].Conexoes[j].Codigo] = j;
            indice_[M[i].Material] = {i, std::move(codigos)};
        }
    }

    // Null for a group with no fitting in the tree (a fitting without
    // diameters, or a material without its row): it is skipped.
    ConexaoAguaRec* Acha(const std::string& Material, const std::string& Codigo)
    {
        const auto m = indice_.find(Material);
        if (m == indice_.end()) return nullptr;
        const auto c = m->second.second.find(Codigo);
        if (c == m->second.second.end()) return nullptr;
        return &m_[m->second.first].Conexoes[c->second];
    }

private:
    std::vector<MaterialAguaRec>& m_;
    std::unordered_map<std::string, std::pair<std::size_t, std::unordered_map<std::string, std::size_t>>> indice_;
};

// Rows grouped by consecutive equal code; each completed group goes to its
// fitting, the material being that of the group's last row.
template <typename Item, typename LeItem, typename Entrega>
void AgrupaPorCodigo(ado::Recordset& Rs, const std::string& Tabela, Destinos& D, LeItem le, Entrega entrega)
{
    std::string codigo, material;
    std::vector<Item> grupo;
    auto fecha = [&] {
        if (ConexaoAguaRec* k = D.Acha(material, codigo)) entrega(*k, std::move(grupo));
        grupo.clear();
    };
    for (; !Rs.Eof(); Rs.MoveNext()) {
        const std::string c = Texto(Rs, Tabela, "codigo");
        if (!grupo.empty() && c != codigo) fecha();
        codigo = c;
        material = Texto(Rs, Tabela, "material");
        grupo.push_back(le());
    }
    if (!grupo.empty()) fecha();
}

void LePontosBolsas(const ado::Connection& Cn, Destinos& D)
{
    ado::Recordset rs = Abre(
        "SELECT A_Conexoes.material, A_Conexoes.codigo, A_Conexoes.bloco, A_DXFs.S1, A_DXFs.S2, A_DXFs.S3, "
        "A_DXFs.S4, A_Bolsas.Principal, A_Bolsas.Anel, A_Bolsas.Tubulacao FROM (A_Conexoes INNER JOIN A_DXFs ON "
        "A_Conexoes.bloco = A_DXFs.Bloco) INNER JOIN A_Bolsas ON (A_Conexoes.codigo = A_Bolsas.Codigo) AND "
        "(A_DXFs.S4 = A_Bolsas.Numero) Where (((A_DXFs.S1) LIKE 'Point')) ORDER BY A_Conexoes.material, "
        "A_Conexoes.codigo, A_DXFs.S4",
        Cn, "A_Conexoes/A_DXFs/A_Bolsas", false);
    AgrupaPorCodigo<BolsaPontoRec>(
        rs, "A_Conexoes", D,
        [&] {
            const std::string bloco = Texto(rs, "A_Conexoes", "bloco");
            BolsaPontoRec p;
            const auto [distancia, angulo] = DistanciaAngulo(Texto(rs, "A_DXFs", "S3"), bloco);
            p.DistanciaBolsa = distancia;
            p.AnguloBolsa = angulo;
            p.Numero = NumeroBolsa(Texto(rs, "A_DXFs", "S4"), bloco);
            p.Principal = Logico(rs, "A_Bolsas", "Principal");
            p.Anel = TextoOuVazio(rs, "A_Bolsas", "Anel");
            p.Tubulacao = Texto(rs, "A_Bolsas", "Tubulacao");
            return p;
        },
        [](ConexaoAguaRec& k, std::vector<BolsaPontoRec>&& g) {
            k.NumBolsas = static_cast<int>(g.size());
            k.Bolsas = std::move(g);
        });
}

void LeExtras(const ado::Connection& Cn, Destinos& D)
{
    ado::Recordset rs = Abre(
        "SELECT A_Conexoes.material, A_Conexoes.codigo, A_ConExtra.Att, A_ConExtra.Cod FROM "
        "A_Conexoes INNER JOIN A_ConExtra ON A_Conexoes.codigo = A_ConExtra.Codigo ORDER BY "
        "A_Conexoes.material, A_Conexoes.codigo, A_ConExtra.Att",
        Cn, "A_ConExtra", false);
    AgrupaPorCodigo<ConExtraRec>(
        rs, "A_Conexoes", D,
        [&] {
            return ConExtraRec{Texto(rs, "A_ConExtra", "Att"), Texto(rs, "A_ConExtra", "Cod")};
        },
        [](ConexaoAguaRec& k, std::vector<ConExtraRec>&& g) {
            k.Extras = std::move(g);
            k.TemExtras = true;
        });
}

void LeBlocos(const ado::Connection& Cn, Catalogo& C)
{
    ado::Recordset rs = Abre("SELECT * FROM A_DXFs ORDER BY Bloco,S1,S4", Cn, "A_DXFs", true);
    std::vector<BlocoDefRec> blocos;
    try {
        blocos = LeBlocosDXF(rs, "A_DXFs");
    } catch (const ado::Error& e) {
        throw Falha("A_DXFs", e.Description());
    }
    for (BlocoDefRec& b : blocos) {
        BlocoDefAguaRec a;
        a.Bloco = std::move(b.Bloco);
        a.Linhas = std::move(b.Linhas);
        for (const DXFRowRec& l : a.Linhas) {
            if (l.S1 != "Point") continue;
            BolsaPontoRec p;
            const auto [distancia, angulo] = DistanciaAngulo(l.S3, a.Bloco);
            p.DistanciaBolsa = distancia;
            p.AnguloBolsa = angulo;
            a.Pontos.push_back(p);
        }
        a.NumPontos = static_cast<int>(a.Pontos.size());
        C.BlocosAgua.push_back(std::move(a));
    }
}

void LeCores(const ado::Connection& Cn, Catalogo& C)
{
    ado::Recordset rs = Abre("SELECT * FROM A_CodDiam ORDER BY Index", Cn, "A_CodDiam", true);
    for (; !rs.Eof(); rs.MoveNext()) {
        const long long cor = Inteiro(rs, "A_CodDiam", "Color");
        if (cor < -32768 || cor > 32767) throw Falha("A_CodDiam", "a cor " + std::to_string(cor) + " não é uma cor.");
        C.CoresDiam.push_back({Texto(rs, "A_CodDiam", "sDiametro"), static_cast<int>(cor)});
    }
}

bool carregando = false;

}  // namespace

bool MaterialDeTubos(const std::string& Material)
{
    // Ten characters of text, twelve bytes: the first ten characters are
    // "Tubulações" exactly when the name's bytes begin with it.
    static const std::string kTubulacoes = "Tubulações";
    return Material.compare(0, kTubulacoes.size(), kTubulacoes) == 0;
}

bool clsWATDb::LoadDb()
{
    // The material tree lets the window answer meanwhile: a second load then
    // would read arrays half built.
    if (carregando) return false;
    carregando = true;
    forms::Screen.SetMousePointer(forms::vbHourglass);

    Catalogo c;
    c.EtapasAgua = {{"Existente", "DASHDOT", 7},
                    {"Primeira Etapa", "CONTINUOUS", 5},
                    {"Segunda Etata", "DASHED", 6},
                    {"A Demolir", "DESATIVAR", 11}};
    forms::Picture primeira;
    const std::string erro = LeCatalogo([&](const ado::Connection& cn) {
        LeDiametros(cn, c);
        LeAneis(cn, c);
        LeTubos(cn, c);
        LeConexoes(cn, c);
        LeBolsasComAnel(cn, c);
        primeira = LeArvore(cn, c);
        Destinos d(c.MateriaisAgua);
        LePontosBolsas(cn, d);
        LeExtras(cn, d);
        LeBlocos(cn, c);
        LeCores(cn, c);
    });
    carregando = false;

    if (!erro.empty()) {
        ExibeMensagem(0, "Atenção",
                      "Não foi possível carregar o catálogo de água de " + gMdbPath + ":\r" + erro +
                          "\r\rO catálogo não foi carregado.");
        return false;
    }
    gDiametros = std::move(c.Diametros);
    gAneis = std::move(c.Aneis);
    gTubosCat = std::move(c.TubosCat);
    gConexoes = std::move(c.Conexoes);
    gMateriaisAgua = std::move(c.MateriaisAgua);
    gTubosConexao = std::move(c.TubosConexao);
    gBlocosAgua = std::move(c.BlocosAgua);
    gCoresDiam = std::move(c.CoresDiam);
    gEtapasAgua = std::move(c.EtapasAgua);
    // Told once the catalogue is in place: a failed load shows nothing new.
    FirstPIC(primeira);
    CatalogoAguaCarregado().Raise();
    return true;
}

platform::Event<>& CatalogoAguaCarregado()
{
    static platform::Event<> carregado;
    return carregado;
}

void MontaTiposTubo()
{
    gTiposTubo.clear();
    for (const MaterialAguaRec& m : gMateriaisAgua) {
        if (!MaterialDeTubos(m.Material)) continue;
        // Slot 0 included: the panel's preferred-pipe list index is the
        // table's index.
        for (const ConexaoAguaRec& k : m.Conexoes) {
            TipoTuboRec t;
            t.Nome = k.Conexao;
            t.Codigo = k.Codigo;
            t.Diametros = k.Diametros;
            for (const ConexaoRec& p : gTubosCat)
                if (p.Codigo == k.Codigo) t.NomeCatalogo = p.Conexao;
            if (!t.Nome.empty()) {
                t.ListaDN = "_";
                for (const DiametroAguaRec& d : t.Diametros) t.ListaDN += d.DP + "_";
            }
            gTiposTubo.push_back(std::move(t));
        }
    }
}
