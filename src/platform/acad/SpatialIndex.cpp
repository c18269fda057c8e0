#include "platform/acad/SpatialIndex.h"

#include <algorithm>
#include <cmath>

#include "platform/acad/Entity.h"

namespace acad {

namespace {
constexpr std::uint32_t kNoSlot = 0xFFFFFFFFu;
// An entity spanning more cells than this lives in the overflow list instead.
constexpr std::int64_t kMaxCellsPerEntity = 64;
constexpr std::size_t kFirstRebuild = 64;
// Entities per cell the grid aims at: few enough for cheap queries, enough to
// keep the per-cell bookkeeping small per entity.
constexpr double kPerCell = 6.0;
}  // namespace

std::uint64_t SpatialIndex::Key(std::int32_t x, std::int32_t y)
{
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32) | static_cast<std::uint32_t>(y);
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
    if (box.IsEmpty()) {  // nothing drawn: never found by a box
        where_[slot] = kNowhere;
        return;
    }
    if (boundsValid_) bounds_.Add(box);
    std::int32_t x0, y0, x1, y1;
    if (!CellRange(box, x0, y0, x1, y1) ||
        (static_cast<std::int64_t>(x1) - x0 + 1) * (static_cast<std::int64_t>(y1) - y0 + 1) > kMaxCellsPerEntity) {
        where_[slot] = kOverflow;
        overflow_.push_back(slot);
        return;
    }
    where_[slot] = kInCells;
    for (std::int32_t x = x0; x <= x1; ++x)
        for (std::int32_t y = y0; y <= y1; ++y) cells_[Key(x, y)].push_back(slot);
}

void SpatialIndex::Unplace(std::uint32_t slot)
{
    const Slot& s = slots_[slot];
    if (where_[slot] != kNowhere && boundsValid_) {
        // A box inside the bounds leaves them as they are; one on their edge may shrink them.
        const Box& b = s.box;
        if (!(b.min.x > bounds_.min.x && b.min.y > bounds_.min.y && b.min.z > bounds_.min.z &&
              b.max.x < bounds_.max.x && b.max.y < bounds_.max.y && b.max.z < bounds_.max.z))
            boundsValid_ = false;
    }
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
                auto c = cells_.find(Key(x, y));
                if (c == cells_.end()) continue;
                auto& v = c->second;
                auto it = std::find(v.begin(), v.end(), slot);
                if (it != v.end()) {
                    *it = v.back();
                    v.pop_back();
                }
                if (v.empty()) cells_.erase(c);
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
        slots_.emplace_back();
        where_.push_back(kNowhere);
    }
    slots_[slot].entity = &e;
    e.indexSlot_ = slot;
    Place(slot, box);
    ++count_;
    if (count_ >= rebuildAt_) Rebuild();
}

void SpatialIndex::AddSlot(Entity& e, const Box& box)
{
    const auto slot = static_cast<std::uint32_t>(slots_.size());
    slots_.push_back({&e, box});
    where_.push_back(kNowhere);
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
        // Same cells: only the kept box changes (and the bounds, when it touched them).
        const Box old = s.box;
        s.box = box;
        if (boundsValid_) {
            if (!(old.min.x > bounds_.min.x && old.min.y > bounds_.min.y && old.min.z > bounds_.min.z &&
                  old.max.x < bounds_.max.x && old.max.y < bounds_.max.y && old.max.z < bounds_.max.z))
                boundsValid_ = false;
            else
                bounds_.Add(box);
        }
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
    if (!ranged || cells > static_cast<std::int64_t>(cells_.size()) * 2 + 64) {
        // A window larger than the occupied cells: walking every entry is cheaper.
        for (std::uint32_t slot = 0; slot < slots_.size(); ++slot)
            if (where_[slot] != kNowhere) test(slot);
        return;
    }
    for (std::uint32_t slot : overflow_) test(slot);
    for (std::int32_t x = qx0; x <= qx1; ++x) {
        for (std::int32_t y = qy0; y <= qy1; ++y) {
            auto c = cells_.find(Key(x, y));
            if (c == cells_.end()) continue;
            for (std::uint32_t slot : c->second) {
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

Box SpatialIndex::Bounds() const
{
    if (!boundsValid_) {
        Box b;
        for (std::uint32_t slot = 0; slot < slots_.size(); ++slot)
            if (where_[slot] != kNowhere) b.Add(slots_[slot].box);
        bounds_ = b;
        boundsValid_ = true;
    }
    return bounds_;
}

void SpatialIndex::Rebuild()
{
    // Cell size: about kPerCell entities per cell over the occupied area, and never
    // smaller than a typical entity, so most entities sit in one to four cells.
    Box all;
    double sizeSum = 0;
    std::size_t sized = 0;
    for (std::uint32_t slot = 0; slot < slots_.size(); ++slot) {
        const Box& b = slots_[slot].box;
        if (!slots_[slot].entity || b.IsEmpty()) continue;
        all.Add(b);
        sizeSum += std::max(b.Width(), b.Height());
        ++sized;
    }
    double cell = 0;
    if (sized > 0) {
        double area = std::max(all.Width(), 1e-9) * std::max(all.Height(), 1e-9);
        double byDensity = std::sqrt(area * kPerCell / static_cast<double>(sized));
        double bySize = sizeSum / static_cast<double>(sized);
        cell = std::max(byDensity, bySize);
        if (!(cell > 0) || !std::isfinite(cell)) cell = 1.0;
    }
    cells_.clear();
    overflow_.clear();
    cell_ = cell;
    perCell_ = cell > 0 ? 1.0 / cell : 0.0;
    if (!std::isfinite(perCell_)) cell_ = perCell_ = 1.0;
    cells_.reserve(static_cast<std::size_t>(static_cast<double>(count_) / kPerCell * 2) + 16);
    for (std::uint32_t slot = 0; slot < slots_.size(); ++slot)
        if (slots_[slot].entity) Place(slot, Box(slots_[slot].box));
    rebuildAt_ = std::max(kFirstRebuild, count_ * 2);
}

}  // namespace acad
