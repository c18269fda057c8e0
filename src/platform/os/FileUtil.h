#pragma once
// Helpers shared by the file services of this folder (not part of the layer's API).

#include <filesystem>
#include <string>

namespace os::detail {

// "Não foi possível <what> '<path>': <reason>." from errno or an error code,
// the reason in Portuguese; "{}" in `what` marks where the path goes when it
// is not at the end ("mover {} para a lixeira").
std::string Describe(const std::string& what, const std::filesystem::path& path, int errnum);
std::string Describe(const std::string& what, const std::filesystem::path& path, const std::error_code& ec);
std::string Describe(const std::string& what, const std::filesystem::path& path, const std::string& reason);

}  // namespace os::detail
