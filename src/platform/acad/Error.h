#pragma once
// The one failure type of the drawing host. Callers of the automation interface
// test the code (as an HRESULT-like 32-bit value) the way the system's code tests
// Err.Number, and show the description to the user.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace acad {

namespace ErrorCode {
// User input: Escape / cancelled request, and an empty answer (Enter alone).
inline constexpr std::uint32_t Cancelled = 0x80020009u;
inline constexpr std::uint32_t EmptyInput = 0x80210020u;
// Attaching to a host that is not running (the COM code for "operation unavailable").
inline constexpr std::uint32_t NotRunning = 0x800401E3u;
// The host's own failures.
inline constexpr std::uint32_t KeyNotFound = 0x80200010u;    // no item with that name or index
inline constexpr std::uint32_t DuplicateKey = 0x80200011u;   // name already used
inline constexpr std::uint32_t ObjectErased = 0x80200012u;   // object was deleted
inline constexpr std::uint32_t InvalidInput = 0x80200013u;   // argument out of range or of the wrong kind
inline constexpr std::uint32_t ObjectInUse = 0x80200014u;    // still referenced (layer, application, block)
inline constexpr std::uint32_t NotApplicable = 0x80200015u;  // member makes no sense in this state
inline constexpr std::uint32_t FileNotFound = 0x80200016u;
inline constexpr std::uint32_t FileError = 0x80200017u;  // unreadable, damaged or foreign file; write failure
inline constexpr std::uint32_t NotImplemented = 0x80200018u;
inline constexpr std::uint32_t UnknownCommand = 0x80200019u;
inline constexpr std::uint32_t UnknownVariable = 0x8020001Au;
inline constexpr std::uint32_t WrongDocument = 0x8020001Bu;  // object of another drawing
inline constexpr std::uint32_t NullExtents = 0x8020001Cu;    // nothing drawn, no bounding box
inline constexpr std::uint32_t LockedLayer = 0x8020001Du;    // entity on a locked layer
inline constexpr std::uint32_t NoDocument = 0x8020001Eu;     // no active drawing
inline constexpr std::uint32_t NoInputSource = 0x8020001Fu;  // nobody to ask for user input
inline constexpr std::uint32_t Interrupted = 0x80200020u;    // request ended: another command took over
}  // namespace ErrorCode

class Error : public std::runtime_error {
public:
    Error(std::uint32_t code, const std::string& description);

    std::uint32_t Code() const noexcept { return code_; }
    // The same code as VB's signed Err.Number (0x80020009 → -2147352567).
    std::int32_t Number() const noexcept { return static_cast<std::int32_t>(code_); }
    const std::string& Description() const noexcept { return description_; }

private:
    std::uint32_t code_;
    std::string description_;
};

// Shorthand for the common failures, descriptions in the system's language.
[[noreturn]] void ThrowKeyNotFound(const std::string& what);
// "Item de índice N não encontrado": loops past a collection's shrinking end
// raise it often, so its message is built where it is thrown.
[[noreturn]] void ThrowNoItemAt(int index);
[[noreturn]] void ThrowInvalidInput(const std::string& what);
[[noreturn]] void ThrowErased();

}  // namespace acad
