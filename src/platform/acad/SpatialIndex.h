#pragma once
// Uniform hashed grid over the XY extents of a space's entities, kept apart from
// the entities: an entity carries only an opaque slot number. The cell size
// adapts as the drawing grows (the grid is rebuilt when the entity count
// doubles); entities much larger than a cell live in a short overflow list.
// Each slot keeps the entity's box as it was last given (the container gives the
// new one at every change): a query tests that box, which costs a few
// nanoseconds where measuring the entity again would cost a hundred.
//
// The union of the boxes (the space's extents, asked on many paths) is kept in
// a tree over the slots: one box per bucket of slots, one per pair of those, up
// to a root. A change marks the nodes above its slot stale; asking the union
// measures again only stale nodes, so it costs what changed since it was last
// asked, never a walk of every slot.
//
// The cells' lists share one pool, each list a stretch of it: a rebuild lays
// them end to end at their exact sizes, with no allocation per cell, which is
// most of what indexing a drawing just read would otherwise cost.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/acad/Geometry.h"

namespace acad {

class Entity;

class SpatialIndex {
public:
    SpatialIndex() = default;

    void Insert(Entity& e, const Box& box);
    // Indexes many entities at once (a drawing just read): those of `entities` (a
    // vector of them) that `keep` accepts, each with the box `boxOf` gives, asked
    // once. The grid is sized and filled once, where inserting one by one rebuilds
    // it as it grows. `expected`: about how many are kept.
    template <class Range, class Keep, class BoxOf>
    void Load(const Range& entities, std::size_t expected, Keep keep, BoxOf boxOf)
    {
        const bool fresh = slots_.empty();
        Reserve(expected);
        Spread spread;
        const std::size_t n = std::size(entities);
        for (std::size_t i = 0; i < n; ++i) {
            if (i + 8 < n) {  // entities read lie apart: ask for those a few steps on now
                const char* ahead = reinterpret_cast<const char*>(entities[i + 8]);
                __builtin_prefetch(ahead);
                __builtin_prefetch(ahead + 64);
                __builtin_prefetch(ahead + 128);
            }
            Entity* e = entities[i];
            if (!keep(*e)) continue;
            const Box box = boxOf(*e);
            AddSlot(*e, box);
            spread.Add(box);
        }
        BuildUpperLevels();
        if (fresh)
            Fill(spread);
        else
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
    // Union of the indexed entities' extents, z included (empty when there are
    // none). An entity whose box is not a number everywhere (a circle of radius
    // 1e308) takes no part: the drawing's extents are those of the rest. Costs
    // the buckets changed since the last call and the nodes above them, each
    // charged to WalkWork().
    Box Bounds() const;

private:
    enum : std::uint8_t { kInCells = 0, kOverflow = 1, kNowhere = 2 };
    struct Slot {
        Entity* entity = nullptr;
        Box box;  // the entity's extents; its cells follow from it
    };
    // What sizes the grid: the union of the boxes and their mean size.
    struct Spread {
        Box all;
        double sizeSum = 0;
        std::size_t sized = 0;
        void Add(const Box& b);
    };
    // A cell's list: pool_[at, at + size), room up to at + cap.
    struct Cell {
        std::uint32_t at = 0;
        std::uint32_t size = 0;
        std::uint32_t cap = 0;
    };
    // Occupied cells by key, in abseil's flat hash map (kept out of this header,
    // which most of the engine includes).
    class CellMap {
    public:
        static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
        CellMap();
        ~CellMap();
        void Reset(std::size_t expected);
        std::size_t Size() const;
        std::uint32_t Find(std::uint64_t key) const;
        // The id of `key`'s cell; when it has none, `make()` gives one, kept for it.
        template <class Make>
        std::uint32_t FindOrAdd(std::uint64_t key, Make make);
        void Erase(std::uint64_t key);

    private:
        struct Table;
        std::unique_ptr<Table> table_;
    };

    static std::uint64_t Key(std::int32_t x, std::int32_t y);
    void Place(std::uint32_t slot, const Box& box);
    void Unplace(std::uint32_t slot);
    void Rebuild();
    void Fill(const Spread& spread);
    // Fill's lists when the cells over all boxes are few: x from gx0, gw of them, y from gy0, gh.
    // Sets where the slot goes (kNowhere for a free one); true with its cells when in cells.
    bool Classify(std::uint32_t slot, std::int32_t& x0, std::int32_t& y0, std::int32_t& x1, std::int32_t& y1);
    void FillDense(std::int32_t gx0, std::int32_t gy0, std::size_t gw, std::size_t gh);
    void Reserve(std::size_t more);
    void AddSlot(Entity& e, const Box& box);  // kept, not yet in the grid
    // The tree of unions: the bucket a new slot opens (and the nodes it needs),
    // the levels over the buckets after a load, a changed slot's nodes marked
    // stale, and a stale node measured again from what is below it.
    void AppendBucket();
    void BuildUpperLevels();
    void Pull(std::size_t level, std::size_t i);
    void Touch(std::uint32_t slot);
    void Refresh(std::size_t level, std::size_t i) const;
    bool CellRange(const Box& b, std::int32_t& x0, std::int32_t& y0, std::int32_t& x1, std::int32_t& y1) const;
    std::uint32_t NewCell();
    void Push(std::uint32_t cell, std::uint32_t slot);
    void Compact();

    std::vector<Slot> slots_;
    std::vector<std::uint8_t> where_;  // kInCells / kOverflow / kNowhere per slot
    std::vector<std::uint32_t> free_;
    CellMap map_;
    std::vector<Cell> cells_;               // by id; ids not in map_ are in freeCells_
    std::vector<std::uint32_t> freeCells_;  // each keeps its stretch of the pool
    std::vector<std::uint32_t> pool_;
    std::size_t poolWaste_ = 0;  // stretches left behind by lists that moved
    std::vector<std::uint32_t> overflow_;
    double cell_ = 0.0;     // 0 until the first rebuild
    double perCell_ = 0.0;  // 1 / cell_
    std::size_t count_ = 0;
    std::size_t rebuildAt_ = 64;
    // levels_[0][b]: union of the finite boxes of slots [b × kBucket, (b + 1) × kBucket);
    // levels_[k][i]: union of levels_[k - 1][2i] and [2i + 1]; the last level is the
    // root alone. A stale node's box is to be measured again, and so are all above it.
    struct Level {
        std::vector<Box> box;
        std::vector<std::uint8_t> stale;
    };
    mutable std::vector<Level> levels_;
};

}  // namespace acad
