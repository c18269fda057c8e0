#pragma once
// What every walk of a drawing may do: the pieces the file stores itself, plus
// the view's budget (DrawPlan.h). The window's tests and the fuzz target that
// walks the view hold every frame, selection, pick, snap and measure to it.

#include "platform/acad/Acad.h"
#include "platform/acad/DrawCount.h"

namespace walk_bound {

// The pieces `doc` stores, each entity of every space and definition as it is
// drawn at `px` pixels per unit, a reference as an ordinary block's worth and
// its attributes: what every walk may do, with the budget.
inline double OwnPieces(const acad::Document& doc, double px)
{
    constexpr double kCap = 4000;  // a view's worth of ink
    double n = 0;
    for (const acad::Block* b : doc.Blocks())
        for (const acad::Entity* e : *b) {
            // A dimension or a table draws a block as a reference does, and its own pieces.
            const acad::BlockReference* r = e->DrawnReference();
            n += r ? acad::kReferenceWork : 0;
            if (r != e) n += acad::Pieces(*e, px, kCap);
            if (r)
                for (const acad::AttributeReference* a : r->GetAttributes()) n += acad::Pieces(*a, px, kCap);
        }
    return n;
}

}  // namespace walk_bound
