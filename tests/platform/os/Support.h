#pragma once
// Shared by the tests of the window and file services.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace ostest {

// The widget application every window and dialog test needs (offscreen).
void EnsureQtApp();

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Sets (or unsets) an environment variable for the test, then restores it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// Runs `check` in a child process in which the folder `folder` is a memory
// file system of `bytes` bytes, so that what is written there runs out of
// space as on a full disk; gives back what the check returned. nullopt where
// the system lets no test mount one.
std::optional<std::string> OnAFullDisk(const std::string& folder, std::size_t bytes,
                                       const std::function<std::string()>& check);

}  // namespace ostest
