#pragma once
// Selection filters (the filter-type and filter-data arrays of Select,
// SelectOnScreen, SelectByPolygon, SelectAtPoint and Lisp's ssget) and the
// host's wildcard match.
//
// Group codes understood: 0 entity type (DXF name: "LINE", "INSERT",
// "LWPOLYLINE"), 2 name (block name of an INSERT, pattern name of a HATCH, tag
// of an ATTDEF), 8 layer, 1001 application carrying extended data; -4 with
// "<AND" "AND>", "<OR" "OR>", "<XOR" "XOR>", "<NOT" "NOT>" nests conditions.
// Items outside any bracket must all hold. Every comparison is a wildcard match
// without regard to case.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/acad/Variant.h"

namespace acad {

class Entity;

// The host's wildcard match of `text` against `pattern`, without regard to case
// (ASCII and the Latin-1 letters of UTF-8):
//   *  any run of characters (also none)     ?  any one character
//   #  one digit                            @  one letter
//   .  one character that is neither letter nor digit
//   [abc] [a-z] one of the characters, [~abc] one not among them
//   ~  as the first character of a pattern: anything but the pattern
//   ,  separates alternatives ("REDE,NODES,REDE|T_*")
//   `  takes the next character literally ("A`,B", "`*")
bool WildcardMatch(const std::string& text, const std::string& pattern);

class SelectionFilter {
public:
    // No condition: everything matches.
    SelectionFilter() = default;
    // Checks the arrays (same length, known codes, values of the right kind,
    // balanced and well-formed brackets) and fails with InvalidInput naming the
    // first fault.
    SelectionFilter(const std::vector<int>& filterType, const std::vector<Variant>& filterData);

    bool Empty() const { return nodes_.empty(); }
    bool Matches(const Entity& e) const;

private:
    struct Node {
        enum Kind : std::uint8_t { Leaf, And, Or, Xor, Not } kind = Leaf;
        int code = 0;
        std::string pattern;                // leaf
        std::vector<std::size_t> children;  // indices into nodes_
    };
    bool Eval(std::size_t node, const Entity& e) const;
    bool MatchLeaf(const Node& n, std::size_t index, const Entity& e) const;

    std::vector<Node> nodes_;
    std::vector<std::size_t> roots_;
    // Answers per layer / block record index and leaf, so that selecting all of a
    // large drawing compares each name once (0 unknown, 1 no, 2 yes).
    mutable std::vector<std::vector<std::uint8_t>> memo_;
};

}  // namespace acad
