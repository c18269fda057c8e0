#pragma once
// The criteria of Filter and Find, private to the ado layer:
// "Field op value" terms joined by And / Or (And binds tighter), with
// parentheses; op is = <> < > <= >= or Like; a value is a 'text' (or "text"),
// a number, True, False or Null ("= Null" and "<> Null" test for Null).
// Texts compare as the old engine's texts do (JetText.h); a number compares
// with a numeric field as a number; "= True" holds for any value but 0.

#include "platform/ado/Backend.h"

#include <string>
#include <vector>

namespace ado::detail {

class Criteria {
public:
    // Throws ado::Error (adErrInvalidArgument) naming what is wrong, or
    // (adErrItemNotFound) naming a field that is not in `columns`.
    Criteria(const std::string& text, const std::vector<ColumnInfo>& columns);
    bool Matches(const std::vector<Value>& row) const;

private:
    struct Node {
        enum Kind { And, Or, Test } kind = Test;
        int left = -1, right = -1;  // And / Or
        int column = -1;            // Test
        std::string op;
        Value value;
    };
    bool Eval(int node, const std::vector<Value>& row) const;
    std::vector<Node> nodes_;
    int root_ = -1;
};

}  // namespace ado::detail
