#include "platform/acad/Spline.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/acad/EmitSupport.h"
#include "platform/acad/Error.h"

namespace acad {

namespace {

// Homogeneous control point (x·w, y·w, z·w, w): rational and plain splines alike.
using H = std::array<double, 4>;

H Lerp(const H& a, const H& b, double t)
{
    return {a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t, a[3] + (b[3] - a[3]) * t};
}

std::vector<H> ToHomogeneous(const SplineData& d)
{
    std::vector<H> h(d.controlPoints.size());
    for (std::size_t i = 0; i < h.size(); ++i) {
        double w = i < d.weights.size() && d.weights[i] > 0 ? d.weights[i] : 1.0;
        const Point3d& p = d.controlPoints[i];
        h[i] = {p.x * w, p.y * w, p.z * w, w};
    }
    return h;
}

void FromHomogeneous(const std::vector<H>& h, bool rational, SplineData& d)
{
    d.controlPoints.resize(h.size());
    d.weights.clear();
    for (std::size_t i = 0; i < h.size(); ++i) {
        double w = h[i][3] != 0 ? h[i][3] : 1.0;
        d.controlPoints[i] = {h[i][0] / w, h[i][1] / w, h[i][2] / w};
        if (rational) d.weights.push_back(w);
    }
}

// Knot vector is usable: non-decreasing, of length n + p + 1.
bool ValidKnots(const SplineData& d)
{
    const std::size_t n = d.controlPoints.size();
    if (d.degree < 1 || n < static_cast<std::size_t>(d.degree) + 1) return false;
    if (d.knots.size() != n + static_cast<std::size_t>(d.degree) + 1) return false;
    for (std::size_t i = 1; i < d.knots.size(); ++i)
        if (!(d.knots[i] >= d.knots[i - 1])) return false;
    return d.knots[static_cast<std::size_t>(d.degree)] < d.knots[n];
}

// Span k with U[k] <= u < U[k+1], clamped to the domain [U[p], U[n]]: the
// last span of the domain starting at or before u (the knots never decrease,
// so a binary search finds it), never one of zero length at the domain's end.
int FindSpan(const std::vector<double>& U, int p, int n, double u)
{
    if (u >= U[static_cast<std::size_t>(n)]) {
        const auto last = std::lower_bound(U.begin() + p, U.begin() + n, U[static_cast<std::size_t>(n)]);
        return std::max(static_cast<int>(last - U.begin()) - 1, p);
    }
    const int k = static_cast<int>(std::upper_bound(U.begin() + p + 1, U.begin() + n, u) - U.begin()) - 1;
    return std::clamp(k, p, n - 1);
}

// Degrees go up to 25 (order 26): the de Boor points fit on the stack.
constexpr int kMaxDegree = 25;

// Point of the curve at u in span k, from the homogeneous control points `at(i)`.
template <typename At>
H DeBoorInSpan(const std::vector<double>& U, At&& at, int p, int k, double u)
{
    std::array<H, kMaxDegree + 1> d;
    for (int j = 0; j <= p; ++j) d[static_cast<std::size_t>(j)] = at(j + k - p);
    for (int r = 1; r <= p; ++r) {
        for (int j = p; j >= r; --j) {
            double den = U[static_cast<std::size_t>(j + 1 + k - r)] - U[static_cast<std::size_t>(j + k - p)];
            double a = den > 0 ? (u - U[static_cast<std::size_t>(j + k - p)]) / den : 0.0;
            d[static_cast<std::size_t>(j)] =
                Lerp(d[static_cast<std::size_t>(j - 1)], d[static_cast<std::size_t>(j)], a);
        }
    }
    return d[static_cast<std::size_t>(p)];
}

// Homogeneous control point i of `d`, read in place.
H HomogeneousAt(const SplineData& d, int i)
{
    const auto k = static_cast<std::size_t>(i);
    const double w = k < d.weights.size() && d.weights[k] > 0 ? d.weights[k] : 1.0;
    const Point3d& q = d.controlPoints[k];
    return {q.x * w, q.y * w, q.z * w, w};
}

// Inserts knot u once (Boehm). The span is the last one starting at or before u,
// but never past the last control point: at the domain's end u = U[n] the span
// before it serves (the formula holds on the closed span).
void InsertKnot(std::vector<double>& U, std::vector<H>& P, int p, double u)
{
    const int n = static_cast<int>(P.size());
    int k = static_cast<int>(std::upper_bound(U.begin(), U.end(), u) - U.begin()) - 1;
    k = std::clamp(k, p, n - 1);
    std::vector<H> Q(P.size() + 1);
    for (int i = 0; i <= n; ++i) {
        if (i <= k - p) {
            Q[static_cast<std::size_t>(i)] = P[static_cast<std::size_t>(i)];
        } else if (i >= k + 1) {
            Q[static_cast<std::size_t>(i)] = P[static_cast<std::size_t>(i - 1)];
        } else {
            double den = U[static_cast<std::size_t>(i + p)] - U[static_cast<std::size_t>(i)];
            double a = den > 0 ? (u - U[static_cast<std::size_t>(i)]) / den : 0.0;
            Q[static_cast<std::size_t>(i)] =
                Lerp(P[static_cast<std::size_t>(i - 1)], P[static_cast<std::size_t>(i)], a);
        }
    }
    U.insert(U.begin() + k + 1, u);
    P = std::move(Q);
}

int Multiplicity(const std::vector<double>& U, double u) { return static_cast<int>(std::count(U.begin(), U.end(), u)); }

// Bézier pieces of the curve over its domain: each piece p + 1 points, consecutive
// pieces sharing their end point. `breaks` receives the distinct knot values.
std::vector<std::vector<H>> BezierPieces(std::vector<double> U, std::vector<H> P, int p, std::vector<double>& breaks)
{
    const int n0 = static_cast<int>(P.size());
    const double a = U[static_cast<std::size_t>(p)], b = U[static_cast<std::size_t>(n0)];
    // Every distinct knot of the domain, ends included, raised to multiplicity p.
    std::vector<double> values;
    for (double u : U)
        if (u >= a && u <= b && (values.empty() || values.back() != u)) values.push_back(u);
    for (double u : values) {
        int need = p - Multiplicity(U, u);
        for (int k = 0; k < need; ++k) InsertKnot(U, P, p, u);
    }
    // With every domain knot at multiplicity p or more, the p + 1 control points
    // ending at the last occurrence of a break form the Bézier piece that starts there.
    std::vector<std::vector<H>> pieces;
    for (std::size_t v = 0; v + 1 < values.size(); ++v) {
        auto last = static_cast<std::size_t>(std::upper_bound(U.begin(), U.end(), values[v]) - U.begin()) - 1;
        std::size_t first = last - static_cast<std::size_t>(p);
        if (last >= P.size()) break;
        pieces.emplace_back(P.begin() + static_cast<std::ptrdiff_t>(first),
                            P.begin() + static_cast<std::ptrdiff_t>(last + 1));
    }
    breaks = values;
    return pieces;
}

double Binomial(int n, int k)
{
    double r = 1;
    for (int i = 1; i <= k; ++i) r = r * (n - k + i) / i;
    return r;
}

// A square system held by its band: row r keeps the columns r - kl .. r + ku + kl
// (the extra kl take what row exchanges bring in). Gaussian elimination with
// partial pivoting stays inside that band, so a long spline costs memory and time
// in proportion to its points.
class BandSystem {
public:
    BandSystem(int m, int kl, int ku)
        : m_(m),
          kl_(kl),
          ku_(ku),
          w_(2 * kl + ku + 1),
          a_(static_cast<std::size_t>(m) * static_cast<std::size_t>(w_), 0.0),
          b_(static_cast<std::size_t>(m))
    {
    }
    double& At(int r, int c)
    {
        return a_[static_cast<std::size_t>(r) * static_cast<std::size_t>(w_) + static_cast<std::size_t>(c - r + kl_)];
    }
    std::array<double, 3>& Rhs(int r) { return b_[static_cast<std::size_t>(r)]; }

    // Solves in place: Rhs(r) becomes the unknown r.
    void Solve()
    {
        for (int c = 0; c < m_; ++c) {
            const int last = std::min(m_ - 1, c + kl_);
            const int right = std::min(m_ - 1, c + kl_ + ku_);
            int piv = c;
            for (int r = c + 1; r <= last; ++r)
                if (std::fabs(At(r, c)) > std::fabs(At(piv, c))) piv = r;
            if (piv != c) {
                for (int j = c; j <= right; ++j) std::swap(At(c, j), At(piv, j));
                std::swap(Rhs(c), Rhs(piv));
            }
            const double diag = At(c, c);
            if (std::fabs(diag) < 1e-300) ThrowInvalidInput("pontos de ajuste da spline (sistema singular)");
            for (int r = c + 1; r <= last; ++r) {
                const double f = At(r, c) / diag;
                if (f == 0) continue;
                At(r, c) = 0.0;
                for (int j = c + 1; j <= right; ++j) At(r, j) -= f * At(c, j);
                for (std::size_t k = 0; k < 3; ++k) Rhs(r)[k] -= f * Rhs(c)[k];
            }
        }
        for (int c = m_ - 1; c >= 0; --c) {
            const int right = std::min(m_ - 1, c + kl_ + ku_);
            for (std::size_t k = 0; k < 3; ++k) {
                double s = Rhs(c)[k];
                for (int j = c + 1; j <= right; ++j) s -= At(c, j) * Rhs(j)[k];
                Rhs(c)[k] = s / At(c, c);
            }
        }
    }

private:
    int m_, kl_, ku_, w_;
    std::vector<double> a_;
    std::vector<std::array<double, 3>> b_;
};

// Cubic basis functions at u (span k): N[0..3] for control points k-3..k.
std::array<double, 4> Basis(const std::vector<double>& U, int k, double u)
{
    constexpr int p = 3;
    std::array<double, 4> N{1, 0, 0, 0};
    std::array<double, 4> left{}, right{};
    for (int j = 1; j <= p; ++j) {
        left[static_cast<std::size_t>(j)] = u - U[static_cast<std::size_t>(k + 1 - j)];
        right[static_cast<std::size_t>(j)] = U[static_cast<std::size_t>(k + j)] - u;
        double saved = 0;
        for (int r = 0; r < j; ++r) {
            double den = right[static_cast<std::size_t>(r + 1)] + left[static_cast<std::size_t>(j - r)];
            double tmp = den != 0 ? N[static_cast<std::size_t>(r)] / den : 0;
            N[static_cast<std::size_t>(r)] = saved + right[static_cast<std::size_t>(r + 1)] * tmp;
            saved = left[static_cast<std::size_t>(j - r)] * tmp;
        }
        N[static_cast<std::size_t>(j)] = saved;
    }
    return N;
}

}  // namespace

Spline::Spline(acad::Document& doc, const SplineData& data) : Entity(doc), data_(data) {}

int Spline::Degree() const
{
    CheckAlive();
    return data_.degree;
}

int Spline::NumberOfControlPoints() const
{
    CheckAlive();
    return static_cast<int>(data_.controlPoints.size());
}

namespace {
std::vector<double> Flat(const std::vector<Point3d>& pts)
{
    std::vector<double> r;
    r.reserve(pts.size() * 3);
    for (const auto& p : pts) {
        r.push_back(p.x);
        r.push_back(p.y);
        r.push_back(p.z);
    }
    return r;
}
}  // namespace

std::vector<double> Spline::ControlPoints() const
{
    CheckAlive();
    return Flat(data_.controlPoints);
}

void Spline::SetControlPoints(const std::vector<double>& xyz)
{
    CheckWritable();
    if (xyz.size() != data_.controlPoints.size() * 3)
        ThrowInvalidInput("pontos de controle da spline (devem ser " + std::to_string(data_.controlPoints.size()) +
                          " pontos x,y,z)");
    for (double d : xyz)
        if (!std::isfinite(d)) ThrowInvalidInput("pontos de controle da spline");
    for (std::size_t i = 0; i < data_.controlPoints.size(); ++i)
        data_.controlPoints[i] = {xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]};
    data_.fitPoints.clear();  // the curve no longer passes through them
    GeometryEdited();
}

Point3d Spline::GetControlPoint(int index) const
{
    CheckAlive();
    if (index < 0 || index >= static_cast<int>(data_.controlPoints.size()))
        throw Error(ErrorCode::InvalidInput, "Índice de ponto de controle fora do intervalo: " + std::to_string(index));
    return data_.controlPoints[static_cast<std::size_t>(index)];
}

void Spline::SetControlPoint(int index, const Point3d& p)
{
    CheckWritable();
    if (index < 0 || index >= static_cast<int>(data_.controlPoints.size()))
        throw Error(ErrorCode::InvalidInput, "Índice de ponto de controle fora do intervalo: " + std::to_string(index));
    data_.controlPoints[static_cast<std::size_t>(index)] = p;
    data_.fitPoints.clear();
    GeometryEdited();
}

int Spline::NumberOfFitPoints() const
{
    CheckAlive();
    return static_cast<int>(data_.fitPoints.size());
}

std::vector<double> Spline::FitPoints() const
{
    CheckAlive();
    return Flat(data_.fitPoints);
}

std::vector<double> Spline::Knots() const
{
    CheckAlive();
    return data_.knots;
}

std::vector<double> Spline::Weights() const
{
    CheckAlive();
    return data_.weights;
}

bool Spline::Closed() const
{
    CheckAlive();
    return data_.closed;
}

bool Spline::IsRational() const
{
    CheckAlive();
    return std::any_of(data_.weights.begin(), data_.weights.end(), [](double w) { return w != 1.0; });
}

Vector3d Spline::StartTangent() const
{
    CheckAlive();
    return data_.startTangent;
}

Vector3d Spline::EndTangent() const
{
    CheckAlive();
    return data_.endTangent;
}

double Spline::StartParameter() const
{
    CheckAlive();
    return ValidKnots(data_) ? data_.knots[static_cast<std::size_t>(data_.degree)] : 0.0;
}

double Spline::EndParameter() const
{
    CheckAlive();
    return ValidKnots(data_) ? data_.knots[data_.controlPoints.size()] : 0.0;
}

Point3d Spline::PointAt(double parameter) const
{
    CheckAlive();
    if (!ValidKnots(data_)) return data_.controlPoints.empty() ? Point3d{} : data_.controlPoints.front();
    const int p = data_.degree, n = static_cast<int>(data_.controlPoints.size());
    if (p > kMaxDegree) return data_.controlPoints.front();
    const H h = DeBoorInSpan(
        data_.knots, [this](int i) { return HomogeneousAt(data_, i); }, p, FindSpan(data_.knots, p, n, parameter),
        parameter);
    double w = h[3] != 0 ? h[3] : 1.0;
    return {h[0] / w, h[1] / w, h[2] / w};
}

void Spline::ElevateOrder(int order)
{
    CheckWritable();
    const int p = data_.degree;
    if (order <= p + 1 || order > 26)
        ThrowInvalidInput("ordem " + std::to_string(order) + " da spline (deve ser maior que a atual, " +
                          std::to_string(p + 1) + ", e no máximo 26)");
    if (!ValidKnots(data_)) throw Error(ErrorCode::NotApplicable, "A spline não tem vetor de nós válido");
    const int t = order - 1 - p;
    const int q = p + t;
    const bool rational = IsRational();
    std::vector<double> breaks;
    auto pieces = BezierPieces(data_.knots, ToHomogeneous(data_), p, breaks);
    // Each Bézier piece of degree p becomes one of degree p + t with the same curve.
    std::vector<H> out;
    for (std::size_t s = 0; s < pieces.size(); ++s) {
        const auto& B = pieces[s];
        for (int i = (s == 0 ? 0 : 1); i <= q; ++i) {
            H acc{0, 0, 0, 0};
            for (int j = std::max(0, i - t); j <= std::min(p, i); ++j) {
                double c = Binomial(p, j) * Binomial(t, i - j) / Binomial(q, i);
                for (int k = 0; k < 4; ++k)
                    acc[static_cast<std::size_t>(k)] += c * B[static_cast<std::size_t>(j)][static_cast<std::size_t>(k)];
            }
            out.push_back(acc);
        }
    }
    std::vector<double> U;
    for (int k = 0; k <= q; ++k) U.push_back(breaks.front());
    for (std::size_t v = 1; v + 1 < breaks.size(); ++v)
        for (int k = 0; k < q; ++k) U.push_back(breaks[v]);
    for (int k = 0; k <= q; ++k) U.push_back(breaks.back());
    data_.degree = q;
    data_.knots = std::move(U);
    FromHomogeneous(out, rational, data_);
    data_.periodic = false;
    GeometryEdited();
}

void Spline::SetData(const SplineData& d)
{
    CheckAlive();
    data_ = d;
    GeometryEdited();
}

void Spline::TransformBy(const Transform& t)
{
    CheckAlive();
    for (auto& p : data_.controlPoints) p = t.Apply(p);
    for (auto& p : data_.fitPoints) p = t.Apply(p);
    data_.startTangent = t.ApplyVector(data_.startTangent);
    data_.endTangent = t.ApplyVector(data_.endTangent);
    GeometryEdited();
}

std::vector<Point3d> SampleSpline(const SplineData& d)
{
    // A spline without a usable knot vector still shows its frame.
    if (!ValidKnots(d) || d.degree > kMaxDegree) return d.fitPoints.empty() ? d.controlPoints : d.fitPoints;
    const int p = d.degree;
    const int n = static_cast<int>(d.controlPoints.size());
    const auto at = [&d](int i) { return HomogeneousAt(d, i); };
    std::vector<Point3d> pts;
    auto push = [&](int k, double u) {
        const H h = DeBoorInSpan(d.knots, at, p, k, u);
        double w = h[3] != 0 ? h[3] : 1.0;
        pts.push_back({h[0] / w, h[1] / w, h[2] / w});
    };
    const int perSpan = SplineSpanPieces(0, 0, p);
    pts.reserve(static_cast<std::size_t>(n - p) * static_cast<std::size_t>(perSpan) + 1);
    int last = p;
    // Each span is walked in place: its samples need no search for their span.
    for (int k = p; k < n; ++k) {
        double a = d.knots[static_cast<std::size_t>(k)], b = d.knots[static_cast<std::size_t>(k + 1)];
        if (!(b > a)) continue;
        for (int s = 0; s < perSpan; ++s) push(k, a + (b - a) * s / perSpan);
        last = k;
    }
    push(last, d.knots[static_cast<std::size_t>(n)]);
    return pts;
}

const std::vector<Point3d>* HullPoints(const SplineData& d)
{
    // As SampleSpline draws it: its curve, else its frame.
    if (!ValidKnots(d) || d.degree > kMaxDegree) return d.fitPoints.empty() ? &d.controlPoints : &d.fitPoints;
    if (!std::all_of(d.weights.begin(), d.weights.end(), [](double w) { return w > 0; })) return nullptr;
    return &d.controlPoints;
}

Box SampledBox(const SplineData& d)
{
    Box box;
    const bool positive = std::all_of(d.weights.begin(), d.weights.end(), [](double w) { return w > 0; });
    if (!ValidKnots(d) || d.degree > kMaxDegree || !positive) {
        for (const Point3d& p : SampleSpline(d)) box.Add(p);
        return box;
    }
    const int p = d.degree;
    const int n = static_cast<int>(d.controlPoints.size());
    const auto at = [&d](int i) { return HomogeneousAt(d, i); };
    auto sample = [&](int k, double u) {
        const H h = DeBoorInSpan(d.knots, at, p, k, u);
        const double w = h[3] != 0 ? h[3] : 1.0;
        box.Add({h[0] / w, h[1] / w, h[2] / w});
    };
    const int perSpan = SplineSpanPieces(0, 0, p);
    // First the first sample of each span and the end, as SampleSpline takes them.
    int last = p;
    for (int k = p; k < n; ++k) {
        const double a = d.knots[static_cast<std::size_t>(k)], b = d.knots[static_cast<std::size_t>(k + 1)];
        if (!(b > a)) continue;
        sample(k, a);
        last = k;
    }
    sample(last, d.knots[static_cast<std::size_t>(n)]);
    // Then the rest of a span only where its control points reach out of the
    // box so far: with positive weights a span lies in their hull, so its
    // samples lie in the box otherwise, and the box is that of every sample.
    for (int k = p; k < n; ++k) {
        const double a = d.knots[static_cast<std::size_t>(k)], b = d.knots[static_cast<std::size_t>(k + 1)];
        if (!(b > a)) continue;
        Box reach;
        for (int i = k - p; i <= k; ++i) reach.Add(d.controlPoints[static_cast<std::size_t>(i)]);
        if (box.Contains(reach)) continue;
        for (int s = 1; s < perSpan; ++s) sample(k, a + (b - a) * s / perSpan);
    }
    return box;
}

namespace {
// Span `k` lies inside the hull of its control points.
Box SpanHull(const SplineData& d, int k)
{
    Box hull;
    for (int i = k - d.degree; i <= k; ++i) hull.Add(d.controlPoints[static_cast<std::size_t>(i)]);
    return hull;
}
}  // namespace

void SampleSplineWithin(const SplineData& d, double tolerance, const Box& keep,
                        const std::function<void(const std::vector<Point3d>&)>& chain)
{
    if (!ValidKnots(d) || d.degree > kMaxDegree) {
        chain(d.fitPoints.empty() ? d.controlPoints : d.fitPoints);
        return;
    }
    const int p = d.degree;
    const int n = static_cast<int>(d.controlPoints.size());
    const auto at = [&d](int i) { return HomogeneousAt(d, i); };
    auto eval = [&](int k, double u) {
        const H h = DeBoorInSpan(d.knots, at, p, k, u);
        double w = h[3] != 0 ? h[3] : 1.0;
        return Point3d{h[0] / w, h[1] / w, h[2] / w};
    };
    std::vector<Point3d> run;
    auto flush = [&] {
        if (run.size() >= 2) chain(run);
        run.clear();
    };
    for (int k = p; k < n; ++k) {
        const double a = d.knots[static_cast<std::size_t>(k)], b = d.knots[static_cast<std::size_t>(k + 1)];
        if (!(b > a)) continue;
        const Box hull = SpanHull(d, k);
        if (!keep.IsEmpty() && !hull.Intersects(keep)) {
            flush();
            continue;
        }
        const int pieces = SplineSpanPieces(std::max(hull.Width(), hull.Height()), tolerance, p);
        if (run.empty()) run.push_back(eval(k, a));
        for (int s = 1; s <= pieces; ++s) run.push_back(eval(k, s == pieces ? b : a + (b - a) * s / pieces));
    }
    flush();
}

int SplineSpanPieces(double size, double tolerance, int degree)
{
    const int perSpan = std::clamp(2 * degree + 6, 8, 32);
    if (!(tolerance > 0)) return perSpan;
    const double pieces = std::ceil(std::sqrt(size / tolerance));
    return pieces < perSpan ? std::max(1, static_cast<int>(pieces)) : perSpan;  // NaN: the most
}

std::size_t SplinePieces(const SplineData& d, double tolerance)
{
    if (!ValidKnots(d) || d.degree > kMaxDegree) {
        const std::size_t frame = (d.fitPoints.empty() ? d.controlPoints : d.fitPoints).size();
        return frame > 0 ? frame - 1 : 0;
    }
    const int p = d.degree;
    const int n = static_cast<int>(d.controlPoints.size());
    std::size_t pieces = 0;
    for (int k = p; k < n; ++k) {
        if (!(d.knots[static_cast<std::size_t>(k + 1)] > d.knots[static_cast<std::size_t>(k)])) continue;
        const Box hull = SpanHull(d, k);
        pieces += static_cast<std::size_t>(SplineSpanPieces(std::max(hull.Width(), hull.Height()), tolerance, p));
    }
    return pieces;
}

namespace {
// Segments of the outline under one box, for picks.
constexpr std::size_t kOutlinePiece = 64;
}  // namespace

const std::vector<Point3d>& Spline::Outline() const
{
    if (!outlineValid_) {
        outline_ = SampleSpline(data_);
        extents_ = Box();
        for (const Point3d& p : outline_) extents_.Add(p);
        extentsValid_ = true;
        pieceBoxes_.clear();
        for (std::size_t i = 0; i + 1 < outline_.size(); i += kOutlinePiece) {
            Box b;
            for (std::size_t j = i; j <= std::min(i + kOutlinePiece, outline_.size() - 1); ++j) b.Add(outline_[j]);
            pieceBoxes_.push_back(b);
        }
        outlineValid_ = true;
    }
    return outline_;
}

Box Spline::Extents() const
{
    // Without the outline: opening a drawing asks the box of every spline,
    // and only those seen are drawn.
    if (!outlineValid_ && !extentsValid_) {
        extents_ = SampledBox(data_);
        extentsValid_ = true;
    }
    return extents_;
}

void Spline::GeometryEdited()
{
    outlineValid_ = extentsValid_ = false;
    GeometryChanged();
}

void Spline::Emit(GeometrySink& sink, const Transform& t) const
{
    const std::vector<Point3d>& pts = Outline();
    const Box reach = sink.Reach();
    if (reach.IsEmpty() || !t.IsIdentity() || pts.size() < 2) {
        detail::EmitChain(sink, t, pts, false);
        return;
    }
    // A pick on a long spline: only the pieces that come near it.
    for (std::size_t k = 0; k < pieceBoxes_.size(); ++k) {
        if (!pieceBoxes_[k].Intersects(reach)) continue;
        const std::size_t end = std::min((k + 1) * kOutlinePiece, pts.size() - 1);
        for (std::size_t i = k * kOutlinePiece; i < end; ++i) sink.Segment(pts[i], pts[i + 1]);
    }
}

std::unique_ptr<Entity> Spline::CloneTo(acad::Document& target) const
{
    return detail::CloneWith(*this, target, data_);
}

SplineData Spline::Interpolate(const std::vector<Point3d>& Q, const Vector3d& startTangent, const Vector3d& endTangent)
{
    if (Q.size() < 2) ThrowInvalidInput("pontos de ajuste da spline (pelo menos dois)");
    const int nq = static_cast<int>(Q.size()) - 1;  // last fit point index
    // Chord-length parameters in [0, 1].
    std::vector<double> ub(Q.size(), 0.0);
    double total = 0;
    for (int k = 1; k <= nq; ++k) total += Distance(Q[static_cast<std::size_t>(k)], Q[static_cast<std::size_t>(k - 1)]);
    if (!(total > 0)) ThrowInvalidInput("pontos de ajuste da spline (todos coincidentes)");
    for (int k = 1; k <= nq; ++k)
        ub[static_cast<std::size_t>(k)] =
            ub[static_cast<std::size_t>(k - 1)] +
            Distance(Q[static_cast<std::size_t>(k)], Q[static_cast<std::size_t>(k - 1)]) / total;
    ub[static_cast<std::size_t>(nq)] = 1.0;
    // End derivatives: the given tangent directions, or the first/last chord, at the scale of the whole curve.
    auto derivative = [&](const Vector3d& given, const Point3d& a, const Point3d& b) {
        Vector3d d = given.Length() > 0 ? given : b - a;
        double len = d.Length();
        return len > 0 ? d * (total / len) : Vector3d{};
    };
    Vector3d D0 = derivative(startTangent, Q[0], Q[1]);
    Vector3d Dn = derivative(endTangent, Q[static_cast<std::size_t>(nq - 1)], Q[static_cast<std::size_t>(nq)]);

    SplineData d;
    d.degree = 3;
    d.fitPoints = Q;
    d.startTangent = startTangent;
    d.endTangent = endTangent;
    // Knots: clamped, interior knots at the fit parameters; n + 3 control points.
    for (int k = 0; k < 4; ++k) d.knots.push_back(0.0);
    for (int k = 1; k < nq; ++k) d.knots.push_back(ub[static_cast<std::size_t>(k)]);
    for (int k = 0; k < 4; ++k) d.knots.push_back(1.0);
    const int nc = nq + 3;  // control points
    std::vector<Point3d> P(static_cast<std::size_t>(nc));
    P[0] = Q[0];
    P[1] = Q[0] + D0 * (d.knots[4] / 3.0);
    P[static_cast<std::size_t>(nc - 1)] = Q[static_cast<std::size_t>(nq)];
    P[static_cast<std::size_t>(nc - 2)] =
        Q[static_cast<std::size_t>(nq)] - Dn * ((1.0 - d.knots[static_cast<std::size_t>(nc - 1)]) / 3.0);
    const int m = nq - 1;  // unknowns P[2] .. P[nc-3]
    if (m > 0) {
        // Each row holds the (at most four) cubic basis values at its fit point.
        struct Entry {
            int row, col;
            double v;
        };
        std::vector<Entry> entries;
        entries.reserve(static_cast<std::size_t>(m) * 4);
        std::vector<Point3d> rhs(static_cast<std::size_t>(m));
        int kl = 0, ku = 0;
        for (int k = 1; k <= m; ++k) {
            double u = ub[static_cast<std::size_t>(k)];
            int span = FindSpan(d.knots, 3, nc, u);
            auto N = Basis(d.knots, span, u);
            Point3d r = Q[static_cast<std::size_t>(k)];
            for (int j = 0; j < 4; ++j) {
                int idx = span - 3 + j;
                double v = N[static_cast<std::size_t>(j)];
                if (idx >= 2 && idx <= nc - 3) {
                    entries.push_back({k - 1, idx - 2, v});
                    kl = std::max(kl, (k - 1) - (idx - 2));
                    ku = std::max(ku, (idx - 2) - (k - 1));
                } else {
                    r -= P[static_cast<std::size_t>(idx)] * v;
                }
            }
            rhs[static_cast<std::size_t>(k - 1)] = r;
        }
        BandSystem sys(m, kl, ku);
        for (const Entry& e : entries) sys.At(e.row, e.col) += e.v;
        for (int k = 0; k < m; ++k) {
            const Point3d& r = rhs[static_cast<std::size_t>(k)];
            sys.Rhs(k) = {r.x, r.y, r.z};
        }
        sys.Solve();
        for (int k = 0; k < m; ++k) {
            const auto& x = sys.Rhs(k);
            P[static_cast<std::size_t>(k + 2)] = {x[0], x[1], x[2]};
        }
    }
    d.controlPoints = std::move(P);
    return d;
}

}  // namespace acad
