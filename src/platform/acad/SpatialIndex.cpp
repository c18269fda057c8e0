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

bool SpatialIndex::CellRange(const Box& b, std::int32_t& x0, std::int32_t& y0, std::int32_t& x1,
                             std::int32_t& y1) const
{
    if (cell_ <= 0 || b.IsEmpty()) return false;
    auto cellOf = [this](double v, std::int32_t& out) {
        double c = std::floor(v / cell_);
        if (!(c > -2.0e9 && c < 2.0e9)) return false;
        out = static_cast<std::int32_t>(c);
        return true;
    };
    return cellOf(b.min.x, x0) && cellOf(b.min.y, y0) && cellOf(b.max.x, x1) && cellOf(b.max.y, y1);
}

void SpatialIndex::Place(std::uint32_t slot, const Box& box)
{
    Slot& s = slots_[slot];
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
    s.x0 = x0;
    s.y0 = y0;
    s.x1 = x1;
    s.y1 = y1;
    for (std::int32_t x = x0; x <= x1; ++x)
        for (std::int32_t y = y0; y <= y1; ++y) cells_[Key(x, y)].push_back(slot);
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
        for (std::int32_t x = s.x0; x <= s.x1; ++x) {
            for (std::int32_t y = s.y0; y <= s.y1; ++y) {
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

void SpatialIndex::Update(Entity& e, const Box& box)
{
    const std::uint32_t slot = e.indexSlot_;
    if (slot == kNoSlot || slot >= slots_.size() || slots_[slot].entity != &e) {
        Insert(e, box);
        return;
    }
    const Slot& s = slots_[slot];
    std::int32_t x0, y0, x1, y1;
    if (where_[slot] == kInCells && !box.IsEmpty() && CellRange(box, x0, y0, x1, y1) && x0 == s.x0 && y0 == s.y0 &&
        x1 == s.x1 && y1 == s.y1)
        return;  // same cells: nothing to move
    Unplace(slot);
    Place(slot, box);
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
        Entity* e = slots_[slot].entity;
        if (e && e->Extents().Intersects(box)) fn(*e);
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
                if (x != std::max(s.x0, qx0) || y != std::max(s.y0, qy0)) continue;
                test(slot);
            }
        }
    }
}

Box SpatialIndex::Bounds() const
{
    Box b;
    for (std::uint32_t slot = 0; slot < slots_.size(); ++slot)
        if (where_[slot] != kNowhere) b.Add(slots_[slot].entity->Extents());
    return b;
}

void SpatialIndex::Rebuild()
{
    // Cell size: about kPerCell entities per cell over the occupied area, and never
    // smaller than a typical entity, so most entities sit in one to four cells.
    Box all;
    double sizeSum = 0;
    std::size_t sized = 0;
    std::vector<Box> boxes(slots_.size());
    for (std::uint32_t slot = 0; slot < slots_.size(); ++slot) {
        if (!slots_[slot].entity) continue;
        boxes[slot] = slots_[slot].entity->Extents();
        if (boxes[slot].IsEmpty()) continue;
        all.Add(boxes[slot]);
        sizeSum += std::max(boxes[slot].Width(), boxes[slot].Height());
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
    cells_.reserve(static_cast<std::size_t>(static_cast<double>(count_) / kPerCell * 2) + 16);
    for (std::uint32_t slot = 0; slot < slots_.size(); ++slot)
        if (slots_[slot].entity) Place(slot, boxes[slot]);
    rebuildAt_ = std::max(kFirstRebuild, count_ * 2);
}

}  // namespace acad
