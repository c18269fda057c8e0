#pragma once
// Helpers shared by the file services of this folder (not part of the layer's API).

#include <filesystem>
#include <string>

namespace os::detail {

// "what: path: reason" from errno or an error code.
std::string Describe(const std::string& what, const std::filesystem::path& path, int errnum);
std::string Describe(const std::string& what, const std::filesystem::path& path, const std::error_code& ec);

// Creates an empty, uniquely named file in the folder of `target` (so that a
// rename onto the target stays on one file system). Empty path on failure,
// with errno set.
std::filesystem::path MakeTempBeside(const std::filesystem::path& target);

} // namespace os::detail
