#pragma once
// A selection set: an ordered list of entities of one drawing, filled by the
// selection methods of the automation interface.
//
// Order: each selection adds what it finds in drawing order, after what the set
// held already; an entity is never held twice. Count and Item see the set as it
// was filled (an entity erased since stays in its place, and its members then
// fail with ObjectErased, as the host's do); range-for skips erased entities.
// After Delete the set is out of its collection and every member fails with
// ObjectErased.

#include <string>
#include <unordered_set>
#include <vector>

#include "platform/acad/Geometry.h"
#include "platform/acad/SelectionSetQuery.h"
#include "platform/acad/Variant.h"

namespace acad {

class Document;
class Entity;
class SelectionSets;

class SelectionSet {
public:
    SelectionSet(acad::Document& doc, std::string name);
    ~SelectionSet();
    SelectionSet(const SelectionSet&) = delete;
    SelectionSet& operator=(const SelectionSet&) = delete;

    std::string Name() const { return name_; }
    int Count() const;
    Entity* Item(int index) const;  // KeyNotFound when out of range

    class iterator {
    public:
        using value_type = Entity*;
        using difference_type = std::ptrdiff_t;
        iterator() = default;
        iterator(const std::vector<Entity*>* items, std::size_t i) : items_(items), i_(i) { Skip(); }
        Entity* operator*() const { return (*items_)[i_]; }
        iterator& operator++()
        {
            ++i_;
            Skip();
            return *this;
        }
        bool operator==(const iterator& o) const { return i_ == o.i_; }

    private:
        void Skip();
        const std::vector<Entity*>* items_ = nullptr;
        std::size_t i_ = 0;
    };
    iterator begin() const { return iterator(&items_, 0); }
    iterator end() const { return iterator(&items_, items_.size()); }

    // mode: acSelectionSetWindow (0) and acSelectionSetCrossing (1) between the two
    // points, within the current view; acSelectionSetPrevious (3), acSelectionSetLast (4)
    // and acSelectionSetAll (5) ignore the points. Filter arrays as in Filter.h.
    void Select(int mode, const Point3d& point1 = {}, const Point3d& point2 = {},
                const std::vector<int>& filterType = {}, const std::vector<Variant>& filterData = {});
    // The user selects through the input source ("Selecione objetos: ", windows,
    // crossings and picks until Enter). Escape leaves the set as it was.
    void SelectOnScreen(const std::vector<int>& filterType = {}, const std::vector<Variant>& filterData = {});
    // mode: acSelectionSetFence (2), acSelectionSetWindowPolygon (6) or
    // acSelectionSetCrossingPolygon (7); points as a flat x,y,z list.
    void SelectByPolygon(int mode, const std::vector<double>& pointsList, const std::vector<int>& filterType = {},
                         const std::vector<Variant>& filterData = {});
    // The entity drawn through `point` (within the pick box), if any.
    void SelectAtPoint(const Point3d& point, const std::vector<int>& filterType = {},
                       const std::vector<Variant>& filterData = {});
    // Entities of this drawing; erased ones and those held already are passed over.
    void AddItems(const std::vector<Entity*>& items);
    void RemoveItems(const std::vector<Entity*>& items);
    // Deletes the entities held (those on locked layers stay) and empties the set.
    void Erase();
    void Highlight(bool highlightFlag);
    // Empties the set; the entities stay in the drawing.
    void Clear();
    // Takes the set out of the document's SelectionSets (its name becomes free).
    void Delete();

    // --- engine members
    bool IsDeleted() const { return deleted_; }
    const std::vector<Entity*>& Items() const { return items_; }
    acad::Document& Document() const { return doc_; }

private:
    friend class SelectionSets;
    void CheckAlive() const;
    // Appends in order, skipping members; remembers the set as "previous".
    void Take(const std::vector<Entity*>& found);

    acad::Document& doc_;
    std::string name_;
    std::vector<Entity*> items_;
    std::unordered_set<const Entity*> members_;
    SelectionSets* owner_ = nullptr;
    bool deleted_ = false;
};

}  // namespace acad
