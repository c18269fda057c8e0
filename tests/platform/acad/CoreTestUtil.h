#pragma once
// Helpers shared by the engine's tests: a scratch folder and error-code checks.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <unistd.h>

#include "platform/acad/Document.h"
#include "platform/acad/DxfFile.h"
#include "platform/acad/Error.h"

namespace acadcore_test {

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir()
    {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("quoril-acadcore-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    std::filesystem::path Write(const std::string& name, const std::string& text) const
    {
        std::ofstream out(path_ / name, std::ios::binary);
        out << text;
        return path_ / name;
    }

private:
    std::filesystem::path path_;
};

// The code of the acad::Error that `fn` throws, or 0 when it throws none.
template <typename F>
std::uint32_t CodeOf(F&& fn)
{
    try {
        fn();
    } catch (const acad::Error& e) {
        return e.Code();
    }
    return 0;
}

// True once drawing files can be written (tests that need them skip before).
inline bool DxfAvailable()
{
    TempDir dir;
    acad::Document d;
    try {
        acad::WriteDxf(d, dir / "probe.dxf");
    } catch (const acad::Error& e) {
        return e.Code() != acad::ErrorCode::NotImplemented;
    }
    return true;
}

// The description of the FileError that reading `text` as the file `name`
// gives ("" when it reads).
inline std::string DxfRefusal(const std::string& text, const std::string& name)
{
    acad::Document doc;
    try {
        acad::ReadDxfText(doc, text, name);
    } catch (const acad::Error& e) {
        EXPECT_EQ(e.Code(), acad::ErrorCode::FileError) << e.Description();
        return e.Description();
    }
    return "";
}

// HOME for the test, so that nothing reaches the real one.
class ScopedHome {
public:
    explicit ScopedHome(const std::filesystem::path& home)
    {
        if (const char* h = std::getenv("HOME")) old_ = h;
        ::setenv("HOME", home.c_str(), 1);
    }
    ~ScopedHome()
    {
        if (old_)
            ::setenv("HOME", old_->c_str(), 1);
        else
            ::unsetenv("HOME");
    }

private:
    std::optional<std::string> old_;
};

}  // namespace acadcore_test

#define EXPECT_ACAD_ERROR(code, stmt) EXPECT_EQ(acadcore_test::CodeOf([&] { stmt; }), (code)) << #stmt
