#pragma once
// Runs an end-to-end script against the whole program: a temporary program
// folder filled from the built one, the program started offscreen the way
// main() starts it, modal forms answered through the forms test driver, file
// and folder dialogs through the os dialog driver, and the drawing host's
// requests through a scripted input source. The first failure ends the script
// and names its line, what was expected and what was found.

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "e2e/Script.h"

namespace e2e {

struct RunnerOptions {
    std::string binFolder;     // the built program folder (${bin}), copied into ${program}
    std::string sourceFolder;  // the source tree (${source})
    // A statement that makes no progress for this long ends the run (the
    // program waits for something nobody scripted, or loops).
    std::chrono::milliseconds timeout = std::chrono::seconds(60);
    // Leave the temporary folders behind (their place is reported).
    bool keepFolders = false;
    // Each statement as it runs; null: quiet.
    std::ostream* trace = nullptr;
};

struct RunResult {
    bool ok = false;
    std::string report;  // on failure: "file:line: statement" and what went wrong
};

// Results of a called procedure, by name ("ConectaAcad", "OK", ...), as text.
using Results = std::map<std::string, std::string>;
// A procedure of the system reachable by `call NAME ARGS...`; it throws
// (any std::exception) when its arguments are wrong.
using Procedure = std::function<void(const std::vector<std::string>& args, Results& results)>;

class Runner {
public:
    explicit Runner(RunnerOptions options);
    ~Runner();
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    // Adds a procedure to (or replaces one in) the registry; the registry
    // starts with the system's procedures listed in README.md.
    void Register(const std::string& name, Procedure procedure);

    RunResult Run(const Script& script);
    // Reads, parses and runs a file; a syntax error is a failure too.
    RunResult RunFile(const std::string& path);
    RunResult RunText(const std::string& name, const std::string& text);

    // The time limit of a statement ended the run: the report, then the
    // process ends with exit code 3 (the program may be stuck anywhere, so
    // there is nothing to unwind). Replaceable for the runner's own tests.
    static void SetTimeoutHandler(std::function<void(const std::string& report)> handler);

private:
    RunnerOptions options_;
    std::map<std::string, Procedure> procedures_;
};

// The procedures every run can call (README.md, "call").
std::map<std::string, Procedure> SystemProcedures();

// RunnerOptions for this build: QUORIL_BIN_DIR and QUORIL_SOURCE_DIR from the
// environment, QUORIL_E2E_TIMEOUT (seconds), QUORIL_E2E_KEEP and
// QUORIL_E2E_TRACE (any value turns them on).
RunnerOptions OptionsFromEnvironment();

}  // namespace e2e
