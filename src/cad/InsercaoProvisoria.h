#pragma once
// A new insertion that is taken away again when the scope ends, unless the
// step that made it got to the end and kept it (Mantem): a step that fails
// half-way leaves the drawing as it found it. Null is allowed. A failure to
// delete it is swallowed: the scope is already being left for a reason of its
// own.

#include <utility>

#include "platform/acad/BlockReference.h"

class InsercaoProvisoria {
public:
    explicit InsercaoProvisoria(acad::BlockReference* Insercao) : b_(Insercao) {}
    ~InsercaoProvisoria()
    {
        if (!b_) return;
        try {
            b_->Delete();
        } catch (...) {
        }
    }
    InsercaoProvisoria(const InsercaoProvisoria&) = delete;
    InsercaoProvisoria& operator=(const InsercaoProvisoria&) = delete;

    // The insertion stays in the drawing; returned to the caller.
    acad::BlockReference* Mantem() { return std::exchange(b_, nullptr); }
    acad::BlockReference* operator->() const { return b_; }
    acad::BlockReference& operator*() const { return *b_; }

private:
    acad::BlockReference* b_;
};
