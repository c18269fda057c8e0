#pragma once
// The one count every walk of a drawing is charged in: a frame, a selection, a
// pick, a nested pick, an object snap, a plan's weighing of a view and a
// measure of extents each add the pieces they visit (a vertex, a chord, a
// letter, a point of a boundary, a part looked at). Tests hold it bounded.

#include <cstdint>

namespace acad {

namespace detail {
inline std::uint64_t walkWork = 0;
inline bool unbudgeted = false;
}  // namespace detail

inline void AddWork(std::uint64_t pieces) { detail::walkWork += pieces; }
// Work counted since the program started.
inline std::uint64_t WalkWork() { return detail::walkWork; }

// Whether walks and frames keep within the budget of a view. Without it every
// reference is drawn and looked into whole, from its own geometry: what tests
// hold the bounded answers and pictures against.
inline bool Budgeted() { return !detail::unbudgeted; }

// No budget while it lives.
class Unbudgeted {
public:
    Unbudgeted() : was_(detail::unbudgeted) { detail::unbudgeted = true; }
    ~Unbudgeted() { detail::unbudgeted = was_; }
    Unbudgeted(const Unbudgeted&) = delete;
    Unbudgeted& operator=(const Unbudgeted&) = delete;

private:
    bool was_;
};

}  // namespace acad
