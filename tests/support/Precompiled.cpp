// Holds the test programs' precompiled headers (cmake/Quoril.cmake): a target
// needs a source of its own to precompile them.
