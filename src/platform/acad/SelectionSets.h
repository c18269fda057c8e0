#pragma once
// Named selection sets of a document ("SS1", "SS2", "SStmp", ...). Names compare
// without regard to case. Sets keep their creation order.

#include <memory>
#include <string>
#include <vector>

#include "platform/acad/SelectionSet.h"

namespace acad {

class Document;
class Entity;

class SelectionSets {
public:
    explicit SelectionSets(Document& doc);
    ~SelectionSets();
    SelectionSets(const SelectionSets&) = delete;
    SelectionSets& operator=(const SelectionSets&) = delete;

    int Count() const { return static_cast<int>(live_.size()); }
    SelectionSet* Item(int index) const;                // KeyNotFound when out of range
    SelectionSet* Item(const std::string& name) const;  // KeyNotFound when absent
    // A new empty set; DuplicateKey when the name is taken (the set of that name is
    // left as it is), InvalidInput for an empty name.
    SelectionSet* Add(const std::string& name);
    std::vector<SelectionSet*>::const_iterator begin() const { return live_.begin(); }
    std::vector<SelectionSet*>::const_iterator end() const { return live_.end(); }

    // --- engine members
    SelectionSet* Find(const std::string& name) const;  // nullptr when absent
    // What the last selection of the drawing took (the "previous" selection).
    const std::vector<Entity*>& Previous() const { return previous_; }
    void SetPrevious(std::vector<Entity*> entities) { previous_ = std::move(entities); }

private:
    friend class SelectionSet;
    void Remove(SelectionSet& set);

    Document& doc_;
    // Deleted sets stay owned here, so that a caller still holding one gets
    // ObjectErased instead of a dangling pointer.
    std::vector<std::unique_ptr<SelectionSet>> owned_;
    std::vector<SelectionSet*> live_;
    std::vector<Entity*> previous_;
};

}  // namespace acad
