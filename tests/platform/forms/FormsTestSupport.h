#pragma once
// Small helpers shared by the forms tests.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "platform/forms/Types.h"

namespace formstest {

// Runs action and expects it to throw forms::Error with VB's error number.
template <class F>
void ExpectError(int number, F action)
{
    try {
        action();
        ADD_FAILURE() << "expected error " << number;
    } catch (const forms::Error& e) {
        EXPECT_EQ(e.Number(), number) << e.what();
    }
}

// An empty folder of this test process under the temporary folder.
inline std::filesystem::path TempFolder(const std::string& name)
{
    auto p = std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(p);
    std::filesystem::create_directories(p);
    return p;
}

}  // namespace formstest
