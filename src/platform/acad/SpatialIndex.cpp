#include "platform/acad/SpatialIndex.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include <absl/container/flat_hash_map.h>

#include "platform/acad/Entity.h"
#include "platform/acad/Work.h"

namespace acad {

namespace {
constexpr std::uint32_t kNoSlot = 0xFFFFFFFFu;
// An entity spanning more cells than this lives in the overflow list instead.
constexpr std::int64_t kMaxCellsPerEntity = 64;
constexpr std::size_t kFirstRebuild = 64;
// Entities per cell the grid aims at: few enough for cheap queries, enough to
// keep the per-cell bookkeeping small per entity.
constexpr double kPerCell = 6.0;
// Slots under one leaf of the tree of unions: measuring a leaf again reads this
// many boxes; the tree costs about 2 × 48 / kBucket bytes per entity.
constexpr std::size_t kBucket = 32;
}  // namespace

std::uint64_t SpatialIndex::Key(std::int32_t x, std::int32_t y)
{
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) | static_cast<std::uint32_t>(y);
}

// ---------------------------------------------------------------- cell map

struct SpatialIndex::CellMap::Table {
    absl::flat_hash_map<std::uint64_t, std::uint32_t> cells;
};

SpatialIndex::CellMap::CellMap() : table_(std::make_unique<Table>()) {}
SpatialIndex::CellMap::~CellMap() = default;

void SpatialIndex::CellMap::Reset(std::size_t expected)
{
    table_->cells.clear();
    table_->cells.reserve(expected);
}

std::size_t SpatialIndex::CellMap::Size() const { return table_->cells.size(); }

std::uint32_t SpatialIndex::CellMap::Find(std::uint64_t key) const
{
    auto it = table_->cells.find(key);
    return it == table_->cells.end() ? kNone : it->second;
}

template <class Make>
std::uint32_t SpatialIndex::CellMap::FindOrAdd(std::uint64_t key, Make make)
{
    auto [it, added] = table_->cells.try_emplace(key, kNone);
    if (added) {
        try {
            it->second = make();
        } catch (...) {
            table_->cells.erase(it);
            throw;
        }
    }
    return it->second;
}

void SpatialIndex::CellMap::Erase(std::uint64_t key) { table_->cells.erase(key); }

// ---------------------------------------------------------------- cells

std::uint32_t SpatialIndex::NewCell()
{
    if (!freeCells_.empty()) {
        const std::uint32_t id = freeCells_.back();
        freeCells_.pop_back();
        poolWaste_ -= cells_[id].cap;
        cells_[id].size = 0;
        return id;
    }
    cells_.push_back(Cell{static_cast<std::uint32_t>(pool_.size()), 0, 0});
    return static_cast<std::uint32_t>(cells_.size() - 1);
}

void SpatialIndex::Push(std::uint32_t cell, std::uint32_t slot)
{
    Cell* c = &cells_[cell];
    if (c->size == c->cap) {
        const std::uint32_t cap = std::max<std::uint32_t>(4, c->cap * 2);
        if (static_cast<std::size_t>(c->at) + c->cap == pool_.size()) {
            pool_.resize(static_cast<std::size_t>(c->at) + cap);  // the last stretch: it grows in place
        } else {
            if (poolWaste_ > 1024 && poolWaste_ * 2 > pool_.size()) {
                Compact();
                c = &cells_[cell];
            }
            const auto at = static_cast<std::uint32_t>(pool_.size());
            pool_.resize(pool_.size() + cap);
            std::copy_n(pool_.begin() + c->at, c->size, pool_.begin() + at);
            poolWaste_ += c->cap;
            c->at = at;
        }
        c->cap = cap;
    }
    pool_[c->at + c->size++] = slot;
}

void SpatialIndex::Compact()
{
    // The lists in use laid end to end again, each with its room; free cells give theirs up.
    std::vector<std::uint32_t> pool;
    pool.reserve(pool_.size() - poolWaste_);
    std::vector<bool> isFree(cells_.size(), false);
    for (std::uint32_t id : freeCells_) isFree[id] = true;
    for (std::uint32_t id = 0; id < cells_.size(); ++id) {
        Cell& c = cells_[id];
        const auto at = static_cast<std::uint32_t>(pool.size());
        if (isFree[id]) {
            c = Cell{at, 0, 0};
            continue;
        }
        pool.insert(pool.end(), pool_.begin() + c.at, pool_.begin() + c.at + c.cap);
        c.at = at;
    }
    pool_ = std::move(pool);
    poolWaste_ = 0;
}

namespace {
// The cell number of coordinate `v`, floor(v × perCell), when it lies strictly
// between -2e9 and 2e9, else false. Every entity re-measured after a block edit
// asks it eight times, so it multiplies rather than divides and takes the floor
// from the truncation. Any monotonic mapping serves, as long as placing, moving
// and querying all use this one.
inline bool CellOf(double v, double perCell, std::int32_t& out)
{
    const double c = v * perCell;
    if (!(c >= -1999999999.0 && c < 2.0e9)) return false;
    const auto t = static_cast<std::int32_t>(c);
    out = c < static_cast<double>(t) ? t - 1 : t;
    return true;
}
}  // namespace

bool SpatialIndex::CellRange(const Box& b, std::int32_t& x0, std::int32_t& y0, std::int32_t& x1, std::int32_t& y1) const
{
    if (cell_ <= 0 || b.IsEmpty()) return false;
    return CellOf(b.min.x, perCell_, x0) && CellOf(b.min.y, perCell_, y0) && CellOf(b.max.x, perCell_, x1) &&
           CellOf(b.max.y, perCell_, y1);
}

void SpatialIndex::Place(std::uint32_t slot, const Box& box)
{
    Slot& s = slots_[slot];
    s.box = box;
    Touch(slot);
    if (box.IsEmpty()) {  // nothing drawn: never found by a box
        where_[slot] = kNowhere;
        return;
    }
    std::int32_t x0, y0, x1, y1;
    if (!CellRange(box, x0, y0, x1, y1) ||
        (static_cast<std::int64_t>(x1) - x0 + 1) * (static_cast<std::int64_t>(y1) - y0 + 1) > kMaxCellsPerEntity) {
        where_[slot] = kOverflow;
        overflow_.push_back(slot);
        return;
    }
    where_[slot] = kInCells;
    for (std::int32_t x = x0; x <= x1; ++x)
        for (std::int32_t y = y0; y <= y1; ++y) Push(map_.FindOrAdd(Key(x, y), [this] { return NewCell(); }), slot);
}

void SpatialIndex::Unplace(std::uint32_t slot)
{
    const Slot& s = slots_[slot];
    if (where_[slot] == kOverflow) {
        auto it = std::find(overflow_.begin(), overflow_.end(), slot);
        if (it != overflow_.end()) {
            *it = overflow_.back();
            overflow_.pop_back();
        }
    } else if (where_[slot] == kInCells) {
        std::int32_t x0 = 0, y0 = 0, x1 = -1, y1 = -1;
        CellRange(s.box, x0, y0, x1, y1);
        for (std::int32_t x = x0; x <= x1; ++x) {
            for (std::int32_t y = y0; y <= y1; ++y) {
                const std::uint64_t key = Key(x, y);
                const std::uint32_t id = map_.Find(key);
                if (id == CellMap::kNone) continue;
                Cell& c = cells_[id];
                const auto first = pool_.begin() + c.at, last = first + c.size;
                auto it = std::find(first, last, slot);
                if (it != last) {
                    *it = *(last - 1);
                    --c.size;
                }
                if (c.size == 0) {
                    map_.Erase(key);
                    freeCells_.push_back(id);
                    poolWaste_ += c.cap;
                }
            }
        }
    }
    where_[slot] = kNowhere;
}

void SpatialIndex::Insert(Entity& e, const Box& box)
{
    std::uint32_t slot;
    if (!free_.empty()) {
        slot = free_.back();
        free_.pop_back();
    } else {
        slot = static_cast<std::uint32_t>(slots_.size());
        if (slot % kBucket == 0) AppendBucket();
        slots_.emplace_back();
        where_.push_back(kNowhere);
    }
    slots_[slot].entity = &e;
    e.indexSlot_ = slot;
    Place(slot, box);
    ++count_;
    if (count_ >= rebuildAt_) Rebuild();
}

void SpatialIndex::Reserve(std::size_t more)
{
    slots_.reserve(slots_.size() + more);
    where_.reserve(where_.size() + more);
    if (levels_.empty()) levels_.emplace_back();
    const std::size_t buckets = (slots_.size() + more + kBucket - 1) / kBucket;
    levels_[0].box.reserve(buckets);
    levels_[0].stale.reserve(buckets);
}

void SpatialIndex::AddSlot(Entity& e, const Box& box)
{
    // The leaf is widened here, while the box is at hand; the levels above are
    // made once the load is done (BuildUpperLevels).
    const auto slot = static_cast<std::uint32_t>(slots_.size());
    Level& leaves = levels_[0];
    if (slot % kBucket == 0) {
        leaves.box.emplace_back();
        leaves.stale.push_back(0);
    }
    slots_.push_back({&e, box});
    where_.push_back(kNowhere);
    if (box.IsFinite()) leaves.box.back().Add(box);
    e.indexSlot_ = slot;
    ++count_;
}

void SpatialIndex::Update(Entity& e, const Box& box)
{
    const std::uint32_t slot = e.indexSlot_;
    if (slot == kNoSlot || slot >= slots_.size() || slots_[slot].entity != &e) {
        Insert(e, box);
        return;
    }
    Slot& s = slots_[slot];
    if (box == s.box && where_[slot] != kNowhere) return;
    const double k = perCell_;
    auto sameCell = [k](double a, double b) {
        std::int32_t ca, cb;
        return CellOf(a, k, ca) && CellOf(b, k, cb) && ca == cb;
    };
    if (where_[slot] == kInCells && cell_ > 0 && !box.IsEmpty() && sameCell(box.min.x, s.box.min.x) &&
        sameCell(box.min.y, s.box.min.y) && sameCell(box.max.x, s.box.max.x) && sameCell(box.max.y, s.box.max.y)) {
        // Same cells: only the kept box changes.
        s.box = box;
        Touch(slot);
        return;
    }
    Unplace(slot);
    Place(slot, box);
}

bool SpatialIndex::Grow(Entity& e, const Box& added)
{
    const std::uint32_t slot = e.indexSlot_;
    if (slot == kNoSlot || slot >= slots_.size() || slots_[slot].entity != &e) return false;
    Box box = slots_[slot].box;
    box.Add(added);
    Update(e, box);
    return true;
}

void SpatialIndex::Remove(Entity& e)
{
    const std::uint32_t slot = e.indexSlot_;
    if (slot == kNoSlot || slot >= slots_.size() || slots_[slot].entity != &e) return;
    Unplace(slot);
    slots_[slot] = Slot{};
    Touch(slot);
    free_.push_back(slot);
    e.indexSlot_ = kNoSlot;
    --count_;
}

void SpatialIndex::Query(const Box& box, const std::function<void(Entity&)>& fn) const
{
    if (box.IsEmpty() || count_ == 0) return;
    auto test = [&](std::uint32_t slot) {
        const Slot& s = slots_[slot];
        if (s.entity && s.box.Intersects(box)) fn(*s.entity);
    };
    std::int32_t qx0, qy0, qx1, qy1;
    const bool ranged = CellRange(box, qx0, qy0, qx1, qy1);
    const std::int64_t cells =
        ranged ? (static_cast<std::int64_t>(qx1) - qx0 + 1) * (static_cast<std::int64_t>(qy1) - qy0 + 1) : 0;
    if (!ranged || cells > static_cast<std::int64_t>(map_.Size()) * 2 + 64) {
        // A window larger than the occupied cells: walking every entry is cheaper.
        for (std::uint32_t slot = 0; slot < slots_.size(); ++slot)
            if (where_[slot] != kNowhere) test(slot);
        return;
    }
    for (std::uint32_t slot : overflow_) test(slot);
    for (std::int32_t x = qx0; x <= qx1; ++x) {
        for (std::int32_t y = qy0; y <= qy1; ++y) {
            const std::uint32_t id = map_.Find(Key(x, y));
            if (id == CellMap::kNone) continue;
            const Cell& c = cells_[id];
            for (std::uint32_t i = c.at, end = c.at + c.size; i < end; ++i) {
                const std::uint32_t slot = pool_[i];
                // An entity in several cells is reported by the first of them the query meets.
                const Slot& s = slots_[slot];
                std::int32_t sx0 = 0, sy0 = 0;
                CellOf(s.box.min.x, perCell_, sx0);  // in range: the entity is in cells
                CellOf(s.box.min.y, perCell_, sy0);
                if (x != std::max(sx0, qx0) || y != std::max(sy0, qy0)) continue;
                test(slot);
            }
        }
    }
}

// ---------------------------------------------------------------- tree of unions
// A free slot keeps an empty box, which is not finite: no slot needs asking
// whether it is in use.

void SpatialIndex::AppendBucket()
{
    if (levels_.empty()) levels_.emplace_back();
    levels_[0].box.emplace_back();  // its slots are yet to come: empty, and exact
    levels_[0].stale.push_back(0);
    for (std::size_t k = 1;; ++k) {
        const std::size_t below = levels_[k - 1].box.size();
        if (below == 1) return;                           // level k - 1 is the root
        if (k == levels_.size()) levels_.emplace_back();  // the old root has a sibling now
        Level& up = levels_[k];
        const std::size_t need = (below + 1) / 2;
        if (up.box.size() == need) return;  // the new node has a parent, which it leaves as it was
        up.box.emplace_back();
        up.stale.push_back(0);
        Pull(k, need - 1);
    }
}

void SpatialIndex::BuildUpperLevels()
{
    if (levels_.empty()) return;
    levels_.resize(1);
    if (levels_[0].box.empty()) {
        levels_.clear();
        return;
    }
    while (levels_.back().box.size() > 1) {
        const std::size_t n = (levels_.back().box.size() + 1) / 2;
        Level up;
        up.box.resize(n);
        up.stale.resize(n);
        levels_.push_back(std::move(up));
        for (std::size_t i = 0; i < n; ++i) Pull(levels_.size() - 1, i);
    }
}

void SpatialIndex::Pull(std::size_t level, std::size_t i)
{
    const Level& below = levels_[level - 1];
    Level& up = levels_[level];
    const std::size_t c = 2 * i, end = std::min(c + 2, below.box.size());
    up.stale[i] = 0;
    Box b;
    for (std::size_t j = c; j < end; ++j) {
        up.stale[i] |= below.stale[j];
        b.Add(below.box[j]);
    }
    up.box[i] = b;
}

void SpatialIndex::Touch(std::uint32_t slot)
{
    // A stale node has all above it stale already: a run of changes marks each
    // node once, and asking the bounds measures each once.
    std::size_t i = slot / kBucket;
    for (Level& level : levels_) {
        if (level.stale[i]) return;
        level.stale[i] = 1;
        i /= 2;
    }
}

void SpatialIndex::Refresh(std::size_t level, std::size_t i) const
{
    Box b;
    if (level == 0) {
        const std::size_t first = i * kBucket, last = std::min(first + kBucket, slots_.size());
        for (std::size_t slot = first; slot < last; ++slot)
            if (slots_[slot].box.IsFinite()) b.Add(slots_[slot].box);
        AddWork(last - first);
    } else {
        const Level& below = levels_[level - 1];
        const std::size_t c = 2 * i, end = std::min(c + 2, below.box.size());
        for (std::size_t j = c; j < end; ++j) {
            if (below.stale[j]) Refresh(level - 1, j);
            b.Add(below.box[j]);
        }
        AddWork(end - c);
    }
    levels_[level].box[i] = b;
    levels_[level].stale[i] = 0;
}

Box SpatialIndex::Bounds() const
{
    if (levels_.empty()) return Box{};
    if (levels_.back().stale[0]) Refresh(levels_.size() - 1, 0);
    return levels_.back().box[0];
}

void SpatialIndex::Spread::Add(const Box& b)
{
    if (b.IsEmpty()) return;
    all.Add(b);
    sizeSum += std::max(b.Width(), b.Height());
    ++sized;
}

void SpatialIndex::Rebuild()
{
    Spread spread;
    for (const Slot& s : slots_)
        if (s.entity) spread.Add(s.box);
    Fill(spread);
}

void SpatialIndex::Fill(const Spread& spread)
{
    // Cell size: about kPerCell entities per cell over the occupied area, and never
    // smaller than a typical entity, so most entities sit in one to four cells.
    double cell = 0;
    if (spread.sized > 0) {
        const Box& all = spread.all;
        double area = std::max(all.Width(), 1e-9) * std::max(all.Height(), 1e-9);
        double byDensity = std::sqrt(area * kPerCell / static_cast<double>(spread.sized));
        double bySize = spread.sizeSum / static_cast<double>(spread.sized);
        cell = std::max(byDensity, bySize);
        if (!(cell > 0) || !std::isfinite(cell)) cell = 1.0;
    }
    cell_ = cell;
    perCell_ = cell > 0 ? 1.0 / cell : 0.0;
    if (!std::isfinite(perCell_)) cell_ = perCell_ = 1.0;
    overflow_.clear();
    cells_.clear();
    freeCells_.clear();
    pool_.clear();
    poolWaste_ = 0;
    rebuildAt_ = std::max(kFirstRebuild, count_ * 2);

    // Each list's length is counted first, then the lists are laid end to end at
    // those lengths: nothing allocated per cell. The cells over the union of the
    // boxes are about count / kPerCell (as the cell size makes them, unless the
    // drawing is a thin line of points): then they are counted in a plain array,
    // and the map asked once per occupied cell rather than once per entity in it.
    std::int32_t gx0, gy0, gx1, gy1;
    if (CellRange(spread.all, gx0, gy0, gx1, gy1)) {
        const auto gw = static_cast<std::uint64_t>(static_cast<std::int64_t>(gx1) - gx0 + 1);
        const auto gh = static_cast<std::uint64_t>(static_cast<std::int64_t>(gy1) - gy0 + 1);
        if (gw * gh <= 2 * static_cast<std::uint64_t>(count_) + 4096) {
            FillDense(gx0, gy0, static_cast<std::size_t>(gw), static_cast<std::size_t>(gh));
            return;
        }
    }
    map_.Reset(static_cast<std::size_t>(static_cast<double>(count_) / kPerCell * 2) + 16);
    struct Entry {
        std::uint32_t cell, slot;
    };
    std::vector<Entry> entries;
    entries.reserve(count_ + count_ / 2);
    for (std::uint32_t slot = 0; slot < slots_.size(); ++slot) {
        std::int32_t x0, y0, x1, y1;
        if (!Classify(slot, x0, y0, x1, y1)) continue;
        for (std::int32_t x = x0; x <= x1; ++x) {
            for (std::int32_t y = y0; y <= y1; ++y) {
                const std::uint32_t id = map_.FindOrAdd(Key(x, y), [this] { return NewCell(); });
                ++cells_[id].size;
                entries.push_back({id, slot});
            }
        }
    }
    std::uint32_t at = 0;
    for (Cell& c : cells_) {
        c.at = at;
        c.cap = c.size;
        at += c.size;
        c.size = 0;
    }
    pool_.resize(at);
    for (const Entry& e : entries) {
        Cell& c = cells_[e.cell];
        pool_[c.at + c.size++] = e.slot;
    }
}

bool SpatialIndex::Classify(std::uint32_t slot, std::int32_t& x0, std::int32_t& y0, std::int32_t& x1, std::int32_t& y1)
{
    const Slot& s = slots_[slot];
    if (!s.entity) return false;  // a free slot, already nowhere
    if (s.box.IsEmpty()) {
        where_[slot] = kNowhere;
        return false;
    }
    if (!CellRange(s.box, x0, y0, x1, y1) ||
        (static_cast<std::int64_t>(x1) - x0 + 1) * (static_cast<std::int64_t>(y1) - y0 + 1) > kMaxCellsPerEntity) {
        where_[slot] = kOverflow;
        overflow_.push_back(slot);
        return false;
    }
    where_[slot] = kInCells;
    return true;
}

void SpatialIndex::FillDense(std::int32_t gx0, std::int32_t gy0, std::size_t gw, std::size_t gh)
{
    // next[d]: the entries of dense cell d (x-major) counted, then where its next one goes.
    std::vector<std::uint32_t> next(gw * gh, 0);
    for (std::uint32_t slot = 0; slot < slots_.size(); ++slot) {
        std::int32_t x0, y0, x1, y1;
        if (!Classify(slot, x0, y0, x1, y1)) continue;
        for (std::int32_t x = x0; x <= x1; ++x) {
            const std::size_t row = static_cast<std::size_t>(x - gx0) * gh - static_cast<std::size_t>(gy0);
            for (std::int32_t y = y0; y <= y1; ++y) ++next[row + static_cast<std::size_t>(y)];
        }
    }
    std::size_t occupied = 0;
    for (std::uint32_t n : next) occupied += n != 0;
    map_.Reset(occupied);
    cells_.reserve(occupied);
    std::uint32_t at = 0;
    for (std::size_t d = 0; d < next.size(); ++d) {
        const std::uint32_t n = next[d];
        if (n == 0) continue;
        const auto id = static_cast<std::uint32_t>(cells_.size());
        cells_.push_back(Cell{at, n, n});
        map_.FindOrAdd(Key(gx0 + static_cast<std::int32_t>(d / gh), gy0 + static_cast<std::int32_t>(d % gh)),
                       [id] { return id; });
        next[d] = at;
        at += n;
    }
    pool_.resize(at);
    for (std::uint32_t slot = 0; slot < slots_.size(); ++slot) {
        if (where_[slot] != kInCells || !slots_[slot].entity) continue;
        std::int32_t x0, y0, x1, y1;
        CellRange(slots_[slot].box, x0, y0, x1, y1);
        for (std::int32_t x = x0; x <= x1; ++x) {
            const std::size_t row = static_cast<std::size_t>(x - gx0) * gh - static_cast<std::size_t>(gy0);
            for (std::int32_t y = y0; y <= y1; ++y) pool_[next[row + static_cast<std::size_t>(y)]++] = slot;
        }
    }
}

}  // namespace acad
