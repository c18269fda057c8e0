#pragma once
// Outcome of a file or window service: success, or a description that names
// what failed (the path and the system's reason), ready to be shown or logged.

#include <string>
#include <utility>

namespace os {

struct Status {
    bool ok = true;
    std::string message;

    static Status Ok() { return {}; }
    static Status Fail(std::string what) { return {false, std::move(what)}; }
    explicit operator bool() const { return ok; }
};

}  // namespace os
