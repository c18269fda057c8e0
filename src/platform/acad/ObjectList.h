#pragma once
// Ordered list of objects (a collection's items, a block's entities) that skips
// erased objects. Erased objects are taken out lazily, never while a loop walks
// the list, so `for (auto* e : block) e->Delete();` is safe, as VB's For Each is.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

namespace acad {

template <typename T>
class ObjectList {
public:
    class iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T*;
        using difference_type = std::ptrdiff_t;
        using pointer = T**;
        using reference = T*;

        iterator() = default;
        iterator(const ObjectList* list, std::size_t i) : list_(list), i_(i)
        {
            if (list_) {
                ++list_->walkers_;
                Skip();
            }
        }
        iterator(const iterator& o) : iterator(o.list_, o.i_) {}
        iterator& operator=(const iterator& o)
        {
            if (this != &o) {
                Release();
                list_ = o.list_;
                i_ = o.i_;
                if (list_) ++list_->walkers_;
            }
            return *this;
        }
        ~iterator() { Release(); }

        T* operator*() const { return list_->items_[i_]; }
        iterator& operator++()
        {
            ++i_;
            Skip();
            return *this;
        }
        iterator operator++(int)
        {
            iterator t(*this);
            ++*this;
            return t;
        }
        // Any two iterators past the last live item compare equal, so items added
        // during a loop are visited as well.
        bool operator==(const iterator& o) const { return AtEnd() == o.AtEnd() && (AtEnd() || i_ == o.i_); }

    private:
        bool AtEnd() const { return !list_ || i_ >= list_->items_.size(); }
        void Skip()
        {
            while (i_ < list_->items_.size() && list_->items_[i_]->IsErased()) ++i_;
        }
        void Release()
        {
            if (list_ && --list_->walkers_ == 0) list_->CompactIfMany();
            list_ = nullptr;
        }
        const ObjectList* list_ = nullptr;
        std::size_t i_ = 0;
    };

    iterator begin() const { return iterator(this, 0); }
    // The end is a sentinel, not a position, so items appended during a walk are reached.
    iterator end() const { return iterator(this, static_cast<std::size_t>(-1)); }

    void Append(T* item)
    {
        items_.push_back(item);
        ++live_;
    }
    // Insert at a position among the live items (used to keep table order).
    void InsertAt(std::size_t liveIndex, T* item)
    {
        CompactIfIdle();
        cursorSlot_ = cursorLive_ = 0;
        items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(std::min(liveIndex, items_.size())), item);
        ++live_;
    }
    // The owner calls this when `item` (still in the list) is being erased.
    void NoteErased(const T* item)
    {
        --live_;
        ++dead_;
        // The position cursor counts the live items before its slot: an item
        // erased before that slot moves the count down by one.
        if (cursorSlot_ > 0 && SlotOf(item) < cursorSlot_) --cursorLive_;
    }
    std::size_t Count() const { return live_; }
    // Item by position among the live items; nullptr when out of range. Erased
    // items are taken out only once they are a good part of the list (a loop that
    // deletes by position must not copy the list at every step); until then the
    // position is found by walking from the one asked last.
    T* At(std::size_t i) const
    {
        if (i >= live_) return nullptr;
        std::size_t slot = cursorSlot_, before = cursorLive_;
        if (slot > items_.size()) slot = before = 0;
        // A far jump (or many erased items) is cheaper after one compaction.
        const std::size_t far = 64 + live_ / 16;
        if (dead_ * 4 >= items_.size() || (before > i ? before - i : i - before) > far) CompactIfIdle();
        if (dead_ == 0) {
            cursorSlot_ = cursorLive_ = i;  // with nothing erased, slots are positions
            return items_[i];
        }
        // Walk back while the live items before `slot` are more than i...
        while (before > i) {
            --slot;
            if (!items_[slot]->IsErased()) --before;
        }
        // ...then forward to the i-th live item.
        for (;; ++slot) {
            if (items_[slot]->IsErased()) continue;
            if (before == i) break;
            ++before;
        }
        cursorSlot_ = slot;
        cursorLive_ = before;
        return items_[slot];
    }
    T* Last() const { return live_ == 0 ? nullptr : At(live_ - 1); }
    void Reserve(std::size_t n) { items_.reserve(n); }
    // The live items in another order (engine: no walk under way), erased ones let go.
    void Reorder(std::vector<T*> items)
    {
        items_ = std::move(items);
        live_ = items_.size();
        dead_ = 0;
        cursorSlot_ = cursorLive_ = 0;
    }
    // Every slot, erased ones included (engine use).
    const std::vector<T*>& Raw() const { return items_; }

private:
    void CompactIfIdle() const
    {
        if (walkers_ != 0 || dead_ == 0) return;
        std::erase_if(items_, [](T* t) { return t->IsErased(); });
        dead_ = 0;
        cursorSlot_ = cursorLive_ = 0;
    }
    // A loop that ends compacts only when erased items are a good part of the
    // list, so that each compaction pays for many erasures.
    void CompactIfMany() const
    {
        if (dead_ * 4 >= items_.size()) CompactIfIdle();
    }
    // Slot of an item: items are appended as they are created, so their ids rise
    // along the list; the search falls back to a scan should that ever not hold.
    std::size_t SlotOf(const T* item) const
    {
        if constexpr (requires(const T* t) { t->ObjectID(); }) {
            auto it = std::lower_bound(items_.begin(), items_.end(), item,
                                       [](const T* a, const T* b) { return a->ObjectID() < b->ObjectID(); });
            if (it != items_.end() && *it == item) return static_cast<std::size_t>(it - items_.begin());
        }
        return static_cast<std::size_t>(std::find(items_.begin(), items_.end(), item) - items_.begin());
    }
    mutable std::vector<T*> items_;
    std::size_t live_ = 0;
    mutable std::size_t dead_ = 0;
    mutable int walkers_ = 0;
    // Position cursor of At: slot, and the number of live items before it.
    mutable std::size_t cursorSlot_ = 0;
    mutable std::size_t cursorLive_ = 0;
};

}  // namespace acad
