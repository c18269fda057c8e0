#pragma once
// The commands of the command line (CommandLine.h), each a function over a
// CommandContext. Engine-internal.

#include <string>

namespace acad {

class CommandContext;

namespace commands {

struct Definition {
    const char* name;  // as BeginCommand / EndCommand report it
    void (*run)(CommandContext&);
};

// The command typed (any case; "_" and "." prefixes allowed); nullptr when unknown.
const Definition* Find(const std::string& typed);

}  // namespace commands
}  // namespace acad
