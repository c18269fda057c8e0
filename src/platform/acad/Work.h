#pragma once
// The one count every walk of a drawing is charged in: a frame, a selection, a
// pick, a nested pick, an object snap, a plan's weighing of a view and a
// measure of extents each add the pieces they visit (a vertex, a chord, a
// letter, a point of a boundary, a part looked at). Tests hold it bounded.

#include <cstdint>

namespace acad {

namespace detail {
inline std::uint64_t walkWork = 0;
}  // namespace detail

inline void AddWork(std::uint64_t pieces) { detail::walkWork += pieces; }
// Work counted since the program started.
inline std::uint64_t WalkWork() { return detail::walkWork; }

}  // namespace acad
