#pragma once
// Runs a check in a child process whose address space is capped a little
// above what it already uses, so that what a file asks for runs out of memory
// there as it would on a smaller machine. Under AddressSanitizer, which
// reserves terabytes up front, no cap can be set: nullopt, nothing run.

#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>

#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORIL_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QUORIL_TEST_ASAN 1
#endif

namespace testsupport {

inline std::optional<bool> WithLittleMemory(std::size_t margin, const std::function<bool()>& check)
{
#ifdef QUORIL_TEST_ASAN
    return std::nullopt;
#else
    const pid_t child = ::fork();
    if (child == 0) {
        // What the tests before left free in the heap would serve the check
        // without the cap ever being reached: large blocks come from new
        // mappings, and the free top of the heap is given back first.
        ::mallopt(M_MMAP_THRESHOLD, 128 * 1024);
        ::malloc_trim(0);
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t cap = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + margin;
        const rlimit limit{cap, cap};
        bool ok = ::setrlimit(RLIMIT_AS, &limit) == 0;
        try {
            ok = ok && check();
        } catch (...) {
            ok = false;
        }
        std::_Exit(ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
#endif
}

}  // namespace testsupport
