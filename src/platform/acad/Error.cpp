#include "platform/acad/Error.h"

namespace acad {

Error::Error(std::uint32_t code, const std::string& description)
    : std::runtime_error(description), code_(code), description_(description)
{
}

void ThrowKeyNotFound(const std::string& what) { throw Error(ErrorCode::KeyNotFound, what + " não encontrado"); }

void ThrowNoItemAt(int index)
{
    // No string held across the throw: unwinding runs no clean-up here.
    throw Error(ErrorCode::KeyNotFound, "Item de índice " + std::to_string(index) + " não encontrado");
}

void ThrowInvalidInput(const std::string& what) { throw Error(ErrorCode::InvalidInput, "Valor inválido: " + what); }

void ThrowErased() { throw Error(ErrorCode::ObjectErased, "O objeto foi apagado"); }

}  // namespace acad
