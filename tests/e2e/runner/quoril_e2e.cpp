// quoril_e2e [--keep] [--trace] [--timeout SECONDS] SCRIPT...
// Runs end-to-end scripts against the whole program, offscreen. Exit code 0
// when every script passes, 1 when one fails (its report names the line), 2
// for a wrong command line, 3 when a step made no progress within the time
// limit.

#include <QApplication>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "e2e/Runner.h"
#include "e2e/Values.h"
#include "platform/acad/InputReader.h"
#include "support/TestEnvironment.h"

// fontconfig, under Qt's font database, keeps caches it never frees; the leak
// checker of the sanitizer build is not to report them as the program's.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("QUORIL_BIN_DIR", QUORIL_BIN_DIR, 0);
    ::setenv("QUORIL_SOURCE_DIR", QUORIL_SOURCE_DIR, 0);
    testsupport::ClearDesktopLook();
    const testsupport::OtherDefaultFonts fonts;
    if (!fonts.Failure().empty()) {
        std::cerr << fonts.Failure() << "\n";
        return 1;
    }
    e2e::RunnerOptions options = e2e::OptionsFromEnvironment();
    std::vector<std::string> scripts;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--keep") {
            options.keepFolders = true;
        } else if (a == "--trace") {
            options.trace = &std::cerr;
        } else if (a == "--timeout" && i + 1 < argc) {
            const auto t = acad::input::ParseReal(argv[++i]);
            if (!t || *t <= 0) {
                std::cerr << "quoril_e2e: --timeout takes a number of seconds above 0\n";
                return 2;
            }
            options.timeout = std::chrono::milliseconds(static_cast<long long>(*t * 1000));
        } else if (!a.empty() && a[0] == '-') {
            std::cerr << "quoril_e2e: unknown option " << a << "\n";
            return 2;
        } else {
            scripts.push_back(a);
        }
    }
    if (scripts.empty()) {
        std::cerr << "usage: quoril_e2e [--keep] [--trace] [--timeout SECONDS] SCRIPT...\n";
        return 2;
    }
    // One application for every script, ended before the program exits.
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    e2e::Runner runner(options);
    int failed = 0;
    for (const std::string& s : scripts) {
        const e2e::RunResult r = runner.RunFile(s);
        if (r.ok) {
            std::cout << "passed: " << s << "\n";
        } else {
            ++failed;
            std::cout << "FAILED: " << s << "\n" << r.report << std::flush;
        }
    }
    return failed ? 1 : 0;
}
