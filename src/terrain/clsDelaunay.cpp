#include "terrain/clsDelaunay.h"

#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Triangulation_vertex_base_with_info_2.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>

#include "cad/modAcad.h"
#include "cad/modDesenho.h"
#include "cad/modGeometria.h"
#include "cad/modSelecao.h"
#include "platform/acad/CurveEntities.h"
#include "platform/acad/Error.h"
#include "platform/acad/Tables.h"
#include "platform/ado/Ado.h"
#include "shell/ProgressBar.h"
#include "shell/modMensagem.h"
#include "terrain/modBancoTerreno.h"
#include "terrain/modTerreno.h"
#include "platform/ProcessState.h"

namespace {

using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using VerticeBase = CGAL::Triangulation_vertex_base_with_info_2<int32_t, Kernel>;
using Estrutura = CGAL::Triangulation_data_structure_2<VerticeBase>;
using Delaunay = CGAL::Delaunay_triangulation_2<Kernel, Estrutura>;

// Nearest whole number, halves to the even one.
double ArredondaPar(double v)
{
    const double f = std::floor(v);
    const double d = v - f;
    if (d < 0.5) return f;
    if (d > 0.5) return f + 1;
    return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

// Survey points by square cells of 3.0: the duplicate test, the elevation
// recovery and the finishing pass each look at a few cells, not at every
// point. A cell lists its points in the order they were kept.
class GradePontos {
public:
    static constexpr double kCelula = 3.0;

    void Limpa() { celulas_.clear(); }
    void Poe(int32_t i, double x, double y) { celulas_[Chave(Cel(x), Cel(y))].push_back(i); }

    // Calls f(i) for every point in the cells that meet [x0, x1] × [y0, y1];
    // stops when f returns false. False when the box spans too many cells to
    // be worth it (the caller then scans every point).
    template <class F>
    bool Visita(double x0, double x1, double y0, double y1, F f) const
    {
        const long long c0 = Cel(x0), c1 = Cel(x1), l0 = Cel(y0), l1 = Cel(y1);
        if (!(c1 >= c0 && l1 >= l0)) return true;
        if (static_cast<double>(c1 - c0 + 1) * static_cast<double>(l1 - l0 + 1) >
            std::max(64.0, static_cast<double>(celulas_.size())))
            return false;
        for (long long l = l0; l <= l1; ++l)
            for (long long c = c0; c <= c1; ++c) {
                const auto it = celulas_.find(Chave(c, l));
                if (it == celulas_.end()) continue;
                for (int32_t i : it->second)
                    if (!f(i)) return true;
            }
        return true;
    }

private:
    struct ChaveCel {
        long long c, l;
        bool operator==(const ChaveCel&) const = default;
    };
    struct Hash {
        size_t operator()(const ChaveCel& k) const { return std::hash<long long>()(k.c * 0x9E3779B97F4A7C15LL ^ k.l); }
    };
    static long long Cel(double v)
    {
        const double c = std::floor(v / kCelula);
        return static_cast<long long>(std::clamp(c, -1e15, 1e15));
    }
    static ChaveCel Chave(long long c, long long l) { return {c, l}; }

    std::unordered_map<ChaveCel, std::vector<int32_t>, Hash> celulas_;
};

GradePontos gGrade;                       // the kept points of gPontos
int32_t gGradeNum = -1;                   // how many of them it holds
const VerticeRec* gGradeDados = nullptr;  // and of which array
const platform::ProcessStateReset kResetDelaunay([] {
    gGrade = GradePontos{};
    gGradeNum = -1;
    gGradeDados = nullptr;
});

// Rebuilds the grid unless it already holds the kept points (Execute fills it
// while reading them; other writers of gPontos replace the array or its count).
void GradeDosPontos(bool Sempre)
{
    if (!Sempre && gGradeNum == gNumPontos && gGradeDados == gPontos.data()) return;
    gGrade.Limpa();
    gNumPontos = std::min<int32_t>(gNumPontos, static_cast<int32_t>(gPontos.size()));
    for (int32_t i = 0; i < gNumPontos; ++i) gGrade.Poe(i, gPontos[i].X, gPontos[i].Y);
    gGradeNum = gNumPontos;
    gGradeDados = gPontos.data();
}

// Reads an elevation text as the survey convention writes it: "." or "," as
// the decimal point. False for an empty text or one that is not a number.
bool LeCota(const std::string& Texto, double& Cota)
{
    std::string t = Texto;
    const auto branco = [](char c) { return c == ' ' || c == '\t'; };
    while (!t.empty() && branco(t.back())) t.pop_back();
    size_t i = 0;
    while (i < t.size() && branco(t[i])) ++i;
    t = t.substr(i);
    std::replace(t.begin(), t.end(), ',', '.');
    size_t k = 0;
    if (k < t.size() && (t[k] == '+' || t[k] == '-')) ++k;
    size_t digitos = 0;
    while (k < t.size() && std::isdigit(static_cast<unsigned char>(t[k]))) ++k, ++digitos;
    if (k < t.size() && t[k] == '.') {
        ++k;
        while (k < t.size() && std::isdigit(static_cast<unsigned char>(t[k]))) ++k, ++digitos;
    }
    if (digitos == 0) return false;
    if (k < t.size() && (t[k] == 'e' || t[k] == 'E')) {
        size_t e = k + 1;
        if (e < t.size() && (t[e] == '+' || t[e] == '-')) ++e;
        size_t d = 0;
        while (e < t.size() && std::isdigit(static_cast<unsigned char>(t[e]))) ++e, ++d;
        if (d == 0) return false;
        k = e;
    }
    if (k != t.size()) return false;
    Cota = std::strtod(t.c_str(), nullptr);
    return std::isfinite(Cota);
}

// Extent of a triangle's three vertices.
void Caixa(const TrianguloRec& t, double& MaxX, double& MinX, double& MaxY, double& MinY)
{
    const VerticeRec &a = gVertices[t.vv0], &b = gVertices[t.vv1], &c = gVertices[t.vv2];
    MaxX = std::max({a.X, b.X, c.X});
    MinX = std::min({a.X, b.X, c.X});
    MaxY = std::max({a.Y, b.Y, c.Y});
    MinY = std::min({a.Y, b.Y, c.Y});
}

}  // namespace

void clsDelaunay::ProgressStart(long long Max, const std::string& Caption)
{
    if (cProgress) cProgress->Progress_Start(Max, Caption);
}

void clsDelaunay::Progress()
{
    if (cProgress) cProgress->Progress();
}

void clsDelaunay::Execute()
{
    if (!ConectaAcad()) return;

    acad::SelectionSet* ss = RecriaConjunto("SS1");
    ss->Select(5, {}, {}, {0}, {"POINT"});
    const std::vector<acad::Entity*>& pontos = ss->Items();
    const int32_t n = static_cast<int32_t>(pontos.size());

    gPontos.assign(static_cast<size_t>(n) + 1, VerticeRec{});
    gNumPontos = 0;
    gGrade.Limpa();
    gGradeNum = -1;

    ProgressStart(0, "");
    ProgressStart(n, "Lendo " + std::to_string(n) + " Pontos...");
    std::vector<std::string> semCota;
    for (acad::Entity* e : pontos) {
        auto* ponto = acad::As<acad::Point>(e);
        if (!ponto) {
            Progress();
            continue;
        }
        std::vector<int> tipos;
        std::vector<acad::Variant> valores;
        try {
            ponto->GetXData("", tipos, valores);
        } catch (const acad::Error&) {
            valores.clear();
        }
        if (valores.empty()) {  // not a survey point
            Progress();
            continue;
        }
        const acad::Point3d pt = ponto->Coordinates();
        const double x = pt.x, y = pt.y;
        double z = 0;
        const std::string texto = valores.size() > 1 ? valores[1].ToString() : std::string();
        if (!LeCota(texto, z)) {
            semCota.push_back(valores[0].ToString() + " (E " + FormatNum(x, 3) + ", N " + FormatNum(y, 3) + "): \"" +
                              texto + "\"");
            Progress();
            continue;
        }
        // The first of two points closer than 3.0 in X and in Y is kept.
        bool perto = false;
        const auto confere = [&](int32_t i) {
            perto = std::abs(gPontos[i].X - x) < 3.0 && std::abs(gPontos[i].Y - y) < 3.0;
            return !perto;
        };
        if (!gGrade.Visita(x - 3.0, x + 3.0, y - 3.0, y + 3.0, confere))
            for (int32_t i = 0; i < gNumPontos && !perto; ++i) confere(i);
        if (!perto) {
            gPontos[gNumPontos] = {x, y, z};
            gGrade.Poe(gNumPontos, x, y);
            ++gNumPontos;
        }
        Progress();
    }
    gGradeNum = gNumPontos;
    gGradeDados = gPontos.data();

    const int32_t k = gNumPontos;
    gVertices.assign(static_cast<size_t>(k) + 4, VerticeRec{});
    std::copy(gPontos.begin(), gPontos.begin() + k, gVertices.begin() + 1);
    gNumVertices = k;

    ProgressStart(k, "Triangulando...");
    gNumTriangulos = Triangulate(k);

    ProgressStart(k, "Recuperando Cotas...");
    for (VerticeRec& p : gPontos) {
        p.Z = RecuperaCota(p.X, p.Y);
        Progress();
    }

    OtimizaMalha();
    FinalizaMalha();

    if (!semCota.empty()) {
        std::string lista;
        const size_t mostrados = std::min<size_t>(semCota.size(), 30);
        for (size_t i = 0; i < mostrados; ++i) lista += "\n" + semCota[i];
        if (semCota.size() > mostrados)
            lista += "\n... e mais " + std::to_string(semCota.size() - mostrados) + " pontos.";
        ExibeMensagem(0, "Atenção",
                      std::to_string(semCota.size()) +
                          (semCota.size() == 1 ? " ponto ficou fora do modelo do terreno porque a sua cota não é "
                                                 "um número:"
                                               : " pontos ficaram fora do modelo do terreno porque a sua cota não é "
                                                 "um número:") +
                          lista);
    }
}

int32_t clsDelaunay::Triangulate(int32_t nvert)
{
    nvert = std::max<int32_t>(nvert, 0);
    if (gVertices.size() < static_cast<size_t>(nvert) + 4) gVertices.resize(static_cast<size_t>(nvert) + 4);
    gTriangulos.resize(1);
    MalhaAlterada();
    if (nvert < 1) return 0;

    // The enclosing triangle, from the box in whole numbers.
    double xmin = ArredondaPar(gVertices[1].X), xmax = xmin;
    double ymin = ArredondaPar(gVertices[1].Y), ymax = ymin;
    for (int32_t i = 2; i <= nvert; ++i) {
        const VerticeRec& v = gVertices[i];
        if (v.X < xmin) xmin = ArredondaPar(v.X);
        if (v.X > xmax) xmax = ArredondaPar(v.X);
        if (v.Y < ymin) ymin = ArredondaPar(v.Y);
        if (v.Y > ymax) ymax = ArredondaPar(v.Y);
    }
    const double dx = xmax - xmin, dy = ymax - ymin;
    // Points that all round to one whole position would collapse the
    // enclosing triangle into that position.
    const double dmax = std::max(dx > dy ? dx : dy, 1.0);
    const double xmid = ArredondaPar((xmax + xmin) / 2), ymid = ArredondaPar((ymax + ymin) / 2);
    gVertices[nvert + 1] = {xmid - 2 * dmax, ymid - dmax, gVertices[nvert + 1].Z};
    gVertices[nvert + 2] = {xmid, ymid + 2 * dmax, gVertices[nvert + 2].Z};
    gVertices[nvert + 3] = {xmid + 2 * dmax, ymid - dmax, gVertices[nvert + 3].Z};

    // The enclosing triangle keeps its entries, but takes no part: around it
    // the triangles along the survey's outline would touch it and be lost,
    // leaving ground inside the outline without elevation. The points alone
    // give triangles that cover their whole convex hull.
    Delaunay dt;
    std::vector<std::pair<Delaunay::Point, int32_t>> pts;
    pts.reserve(nvert);
    for (int32_t i = 1; i <= nvert; ++i) pts.emplace_back(Delaunay::Point(gVertices[i].X, gVertices[i].Y), i);
    dt.insert(pts.begin(), pts.end());

    gTriangulos.reserve(2 * static_cast<size_t>(nvert) + 2);
    for (auto f = dt.finite_faces_begin(); f != dt.finite_faces_end(); ++f) {
        const int32_t a = f->vertex(0)->info(), b = f->vertex(1)->info(), c = f->vertex(2)->info();
        TrianguloRec t;
        t.vv0 = a, t.vv1 = b, t.vv2 = c;
        gTriangulos.push_back(t);
    }
    return static_cast<int32_t>(gTriangulos.size()) - 1;
}

double clsDelaunay::RecuperaCota(double x, double y)
{
    GradeDosPontos(false);
    int32_t primeiro = -1;
    const auto confere = [&](int32_t i) {
        if (std::abs(gPontos[i].X - x) < 0.01 && std::abs(gPontos[i].Y - y) < 0.01 && (primeiro < 0 || i < primeiro))
            primeiro = i;
        return true;
    };
    if (!gGrade.Visita(x - 0.01, x + 0.01, y - 0.01, y + 0.01, confere))
        for (int32_t i = 0; i < gNumPontos; ++i) confere(i);
    return primeiro < 0 ? 0 : gPontos[primeiro].Z;
}

void clsDelaunay::OtimizaMalha()
{
    ProgressStart(gNumTriangulos, "Otimizando..");
    for (int32_t t = 1; t <= gNumTriangulos; ++t) {
        TrianguloRec& r = gTriangulos[t];
        Caixa(r, r.MaxX, r.MinX, r.MaxY, r.MinY);
        Progress();
    }
    MalhaAlterada();
}

void clsDelaunay::FinalizaMalha()
{
    ProgressStart(gNumTriangulos, "Finalizando...");
    GradeDosPontos(true);
    for (int32_t t = 1; t <= gNumTriangulos; ++t) {
        TrianguloRec& r = gTriangulos[t];
        double maxX, minX, maxY, minY;
        Caixa(r, maxX, minX, maxY, minY);
        const VerticeRec &a = gVertices[r.vv0], &b = gVertices[r.vv1], &c = gVertices[r.vv2];
        bool desativa = false;
        const auto confere = [&](int32_t i) {
            const VerticeRec& p = gPontos[i];
            if (minX <= p.X && p.X <= maxX && minY <= p.Y && p.Y <= maxY &&
                std::abs(AnguloVertice(p, a, b) + AnguloVertice(p, b, c) + AnguloVertice(p, c, a) - 360) < 0.01)
                desativa = true;
            return !desativa;
        };
        if (!gGrade.Visita(minX, maxX, minY, maxY, confere))
            for (int32_t i = 0; i < gNumPontos && !desativa; ++i) confere(i);
        if (desativa) r.MaxX = r.MaxY = 0;
        Progress();
    }
    ProgressStart(0, "");
    MalhaAlterada();
}

int clsDelaunay::SinalCruzado(int32_t xp, int32_t yp, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    // Each difference fits 33 bits and each product 66: wider than 64 bits.
    const __int128 e = static_cast<__int128>(static_cast<int64_t>(x2) - x1) * (static_cast<int64_t>(yp) - y1) -
                       static_cast<__int128>(static_cast<int64_t>(y2) - y1) * (static_cast<int64_t>(xp) - x1);
    return e > 0 ? -1 : (e == 0 ? 0 : 1);
}

void clsDelaunay::DbSave(const std::string& Path)
{
    if (!CriaBancoTerreno(Path)) return;
    ProgressStart(static_cast<long long>(gNumVertices) + gNumTriangulos, "Salvando Mdb...");
    try {
        ado::Connection cn;
        cn.Open(ConexaoTerreno(Path));
        {
            ado::Recordset rs;
            rs.Open("SELECT * FROM tmp_TRIxyz", cn, ado::adOpenKeyset, ado::adLockOptimistic);
            for (int32_t i = 0; i <= gNumVertices && i < static_cast<int32_t>(gVertices.size()); ++i) {
                rs.AddNew();
                rs.Fields("Index").SetValue(i);
                rs.Fields("X").SetValue(gVertices[i].X);
                rs.Fields("Y").SetValue(gVertices[i].Y);
                rs.Fields("Z").SetValue(gVertices[i].Z);
                rs.Update();
                Progress();
            }
            rs.Close();
        }
        {
            ado::Recordset rs;
            rs.Open("SELECT * FROM tmp_Triangs", cn, ado::adOpenKeyset, ado::adLockOptimistic);
            for (int32_t t = 0; t <= gNumTriangulos && t < static_cast<int32_t>(gTriangulos.size()); ++t) {
                const TrianguloRec& r = gTriangulos[t];
                rs.AddNew();
                rs.Fields("Index").SetValue(t);
                rs.Fields("vv0").SetValue(r.vv0);
                rs.Fields("vv1").SetValue(r.vv1);
                rs.Fields("vv2").SetValue(r.vv2);
                rs.Fields("MaxX").SetValue(r.MaxX);
                rs.Fields("MinX").SetValue(r.MinX);
                rs.Fields("MaxY").SetValue(r.MaxY);
                rs.Fields("MinY").SetValue(r.MinY);
                rs.Update();
                Progress();
            }
            rs.Close();
        }
        cn.Close();
    } catch (const ado::Error& e) {
        ProgressStart(0, "");
        AvisaFalhaBanco(Path, "gravar o modelo do terreno", e.Description(), "O modelo do terreno não foi gravado.");
        return;
    }
    ProgressStart(0, "");
}

void clsDelaunay::DbLoad(const std::string& Path)
{
    if (!BancoExiste(Path)) return;
    // Read into temporaries: the model in memory changes only once every row
    // has been read and fits.
    std::vector<VerticeRec> vertices;
    std::vector<TrianguloRec> triangulos;
    std::string motivo;
    try {
        ado::Connection cn;
        cn.Open(ConexaoTerreno(Path));
        ado::Recordset tri;
        tri.Open("SELECT * FROM TopTriangulos WHERE Index > 0", cn, ado::adOpenKeyset, ado::adLockReadOnly);
        ado::Recordset ver;
        ver.Open("SELECT * FROM TopVertex WHERE Index > 0", cn, ado::adOpenKeyset, ado::adLockReadOnly);
        const long long nt = tri.RecordCount(), nv = ver.RecordCount();
        vertices.assign(static_cast<size_t>(nv) + 4, VerticeRec{});
        triangulos.assign(static_cast<size_t>(nt) + 1, TrianguloRec{});
        std::vector<char> lido(static_cast<size_t>(std::max(nv, nt)) + 1, 0);
        ProgressStart(nv + nt, "Lendo Mdb...");
        for (; !ver.Eof() && motivo.empty(); ver.MoveNext()) {
            const long long i = ver.Fields("Index").Value().ToLong();
            if (i < 1 || i > nv || lido[i])
                motivo = "o vértice de Index " + std::to_string(i) + " não cabe entre os " + std::to_string(nv) +
                         " vértices da tabela TopVertex";
            else {
                lido[i] = 1;
                vertices[i] = {ver.Fields("X").Value().ToDouble(), ver.Fields("Y").Value().ToDouble(),
                               ver.Fields("Z").Value().ToDouble()};
            }
            Progress();
        }
        std::fill(lido.begin(), lido.end(), 0);
        for (; !tri.Eof() && motivo.empty(); tri.MoveNext()) {
            const long long t = tri.Fields("Index").Value().ToLong();
            TrianguloRec r;
            const long long v0 = tri.Fields("vv0").Value().ToLong(), v1 = tri.Fields("vv1").Value().ToLong(),
                            v2 = tri.Fields("vv2").Value().ToLong();
            r.MaxX = tri.Fields("MaxX").Value().ToDouble();
            r.MinX = tri.Fields("MinX").Value().ToDouble();
            r.MaxY = tri.Fields("MaxY").Value().ToDouble();
            r.MinY = tri.Fields("MinY").Value().ToDouble();
            const auto fora = [&](long long v) { return v < 1 || v > nv; };
            if (t < 1 || t > nt || lido[t])
                motivo = "o triângulo de Index " + std::to_string(t) + " não cabe entre os " + std::to_string(nt) +
                         " triângulos da tabela TopTriangulos";
            else if (fora(v0) || fora(v1) || fora(v2))
                motivo = "o triângulo de Index " + std::to_string(t) + " usa um vértice que não está entre os " +
                         std::to_string(nv) + " da tabela TopVertex";
            else {
                lido[t] = 1;
                r.vv0 = static_cast<int32_t>(v0), r.vv1 = static_cast<int32_t>(v1), r.vv2 = static_cast<int32_t>(v2);
                triangulos[t] = r;
            }
            Progress();
        }
        if (motivo.empty() && (nv > 2'000'000'000LL || nt > 2'000'000'000LL)) motivo = "o modelo é grande demais";
        tri.Close();
        ver.Close();
        cn.Close();
        if (motivo.empty()) {
            gVertices.swap(vertices);
            gTriangulos.swap(triangulos);
            gNumVertices = static_cast<int32_t>(nv);
            gNumTriangulos = static_cast<int32_t>(nt);
            MalhaAlterada();
        }
    } catch (const ado::Error& e) {
        motivo = e.Description();
    }
    ProgressStart(0, "");
    if (!motivo.empty())
        AvisaFalhaBanco(Path, "ler o modelo do terreno", motivo, "O modelo do terreno em uso foi mantido.");
}

void clsDelaunay::Draw(double Exagero)
{
    if (!ConectaAcad()) return;
    acad::Layer* camada = GetLayer("TRIANGULACAO", 0, "");
    if (camada) gAcadDoc->SetActiveLayer(*camada);
    ProgressStart(gNumTriangulos, "Desenhando a Malha...");
    for (int32_t t = 1; t <= gNumTriangulos && t < static_cast<int32_t>(gTriangulos.size()); ++t) {
        const TrianguloRec& r = gTriangulos[t];
        const int32_t idx[3] = {r.vv0, r.vv1, r.vv2};
        acad::Point3d p[3];
        bool desenha = true;
        for (int i = 0; i < 3; ++i) {
            if (idx[i] < 0 || idx[i] >= static_cast<int32_t>(gVertices.size())) {
                desenha = false;
                break;
            }
            const VerticeRec& v = gVertices[idx[i]];
            if (v.X == 0 && v.Y == 0) desenha = false;
            p[i] = {v.X, v.Y, v.Z * Exagero};
        }
        if (desenha) gModelSpace->Add3DFace(p[0], p[1], p[2], p[0]);
        Progress();
    }
    gAcadDoc->Regen(acad::acActiveViewport);
    ProgressStart(0, "");
}
