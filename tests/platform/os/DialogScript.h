#pragma once
// A dialog driver that answers from a list, like a person following a script,
// and keeps every request it saw. When the list runs out it cancels.

#include "platform/os/Dialogs.h"

#include <deque>
#include <vector>

namespace ostest {

class DialogScript {
public:
    DialogScript() : driver_([this](const os::DialogRequest& r) { return Answer(r); }) {}
    DialogScript& Then(os::DialogAnswer a)
    {
        answers_.push_back(std::move(a));
        return *this;
    }
    const std::vector<os::DialogRequest>& seen() const { return seen_; }
    std::vector<os::DialogKind> kinds() const
    {
        std::vector<os::DialogKind> k;
        for (const auto& r : seen_) k.push_back(r.kind);
        return k;
    }

private:
    os::DialogAnswer Answer(const os::DialogRequest& r)
    {
        seen_.push_back(r);
        if (answers_.empty()) return os::DialogAnswer::Cancel();
        auto a = answers_.front();
        answers_.pop_front();
        return a;
    }

    std::vector<os::DialogRequest> seen_;
    std::deque<os::DialogAnswer> answers_;
    os::ScopedDialogDriver driver_;
};

}  // namespace ostest
