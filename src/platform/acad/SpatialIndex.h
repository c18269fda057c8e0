#pragma once
// Uniform hashed grid over the XY extents of a space's entities, kept apart from
// the entities: an entity carries only an opaque slot number. The cell size
// adapts as the drawing grows (the grid is rebuilt when the entity count
// doubles); entities much larger than a cell live in a short overflow list.
// Each slot keeps the entity's box as it was last given (the container gives the
// new one at every change): a query tests that box, which costs a few
// nanoseconds where measuring the entity again would cost a hundred.

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "platform/acad/Geometry.h"

namespace acad {

class Entity;

class SpatialIndex {
public:
    SpatialIndex() = default;

    void Insert(Entity& e, const Box& box);
    // Indexes many entities at once (a drawing just read): the grid sized and
    // filled once, where inserting one by one rebuilds it as it grows.
    template <class Range, class BoxOf>
    void Load(const Range& entities, BoxOf boxOf)
    {
        slots_.reserve(slots_.size() + std::size(entities));
        where_.reserve(where_.size() + std::size(entities));
        for (Entity* e : entities) AddSlot(*e, boxOf(*e));
        Rebuild();
    }
    void Update(Entity& e, const Box& box);
    // The kept box of an indexed entity widened by `added`; false when `e` is not indexed.
    bool Grow(Entity& e, const Box& added);
    void Remove(Entity& e);
    // Calls `fn` once for each entity whose extents touch `box` (order unspecified).
    void Query(const Box& box, const std::function<void(Entity&)>& fn) const;
    std::size_t Size() const { return count_; }
    double CellSize() const { return cell_; }
    // Union of the indexed entities' extents (kept, measured again only after the
    // entity that gave one of its sides moved or went).
    Box Bounds() const;

private:
    enum : std::uint8_t { kInCells = 0, kOverflow = 1, kNowhere = 2 };
    struct Slot {
        Entity* entity = nullptr;
        Box box;  // the entity's extents; its cells follow from it
    };
    static std::uint64_t Key(std::int32_t x, std::int32_t y);
    void Place(std::uint32_t slot, const Box& box);
    void Unplace(std::uint32_t slot);
    void Rebuild();
    void AddSlot(Entity& e, const Box& box);  // kept, not yet in the grid
    bool CellRange(const Box& b, std::int32_t& x0, std::int32_t& y0, std::int32_t& x1, std::int32_t& y1) const;

    std::vector<Slot> slots_;
    std::vector<std::uint8_t> where_;  // kInCells / kOverflow / kNowhere per slot
    std::vector<std::uint32_t> free_;
    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> cells_;
    std::vector<std::uint32_t> overflow_;
    double cell_ = 0.0;     // 0 until the first rebuild
    double perCell_ = 0.0;  // 1 / cell_
    std::size_t count_ = 0;
    std::size_t rebuildAt_ = 64;
    mutable Box bounds_;
    mutable bool boundsValid_ = true;
};

}  // namespace acad
