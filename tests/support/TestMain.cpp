// The main() of every test program: the environment the tests rely on is set
// here, so a test program behaves the same run by ctest or by hand.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

#include "TestEnvironment.h"
#include "platform/ProcessState.h"

// fontconfig, under Qt's font database, keeps caches it never frees; the leak
// checker of the sanitizer build is not to report them as ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

// Each test starts from the state a fresh process has, as when ctest runs it
// alone: a test program run whole, in any order, behaves the same.
class FreshProcessState : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { platform::ResetProcessState(); }
    void OnTestEnd(const ::testing::TestInfo&) override { platform::ResetProcessState(); }
};

}  // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("QUORIL_SOURCE_DIR", QUORIL_SOURCE_DIR, 0);
    ::setenv("QUORIL_BIN_DIR", QUORIL_BIN_DIR, 0);
    testsupport::ClearDesktopLook();
    const testsupport::OtherDefaultFonts fonts;
    if (!fonts.Failure().empty()) {
        std::cerr << fonts.Failure() << "\n";
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshProcessState);
    return RUN_ALL_TESTS();
}
