#pragma once
// State that lives as long as the process (a module's globals, a service's
// hook, what user controls kept for the run) registers how to put itself back
// as the process started. The tests put it all back between tests, so that a
// test program run whole behaves as each test run alone.
//
//     const platform::ProcessStateReset kResetLista([] { gLista.clear(); });
//
// beside the state's definition: the reset is linked in exactly when the
// state is. Each is named for its file: CI compiles a library's files a few
// at a time, where two of the same name would clash.

#include <vector>

namespace platform {

using ResetFunction = void (*)();

inline std::vector<ResetFunction>& ProcessStateResets()
{
    static std::vector<ResetFunction> resets;
    return resets;
}

struct ProcessStateReset {
    explicit ProcessStateReset(ResetFunction reset) { ProcessStateResets().push_back(reset); }
};

// Every registered reset, in the order they were registered.
inline void ResetProcessState()
{
    for (ResetFunction reset : ProcessStateResets()) reset();
}

}  // namespace platform
