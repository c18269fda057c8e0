#pragma once
// A clock beside the script: when one step runs longer than the limit (the
// program waits for something nobody scripted, or loops without end), it
// reports the step and the last thing the program did, from its own thread,
// since the script's thread is the one that is stuck.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace e2e {

class Watchdog {
public:
    using Expired = std::function<void(const std::string& report)>;

    Watchdog(std::chrono::milliseconds limit, Expired expired);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // A step begins: the clock starts again. `what` heads the report.
    void Begin(const std::string& what);
    // Something the program did during the step (kept for the report).
    void Note(const std::string& event);
    // No step runs: the clock stops.
    void Idle();
    void SetLimit(std::chrono::milliseconds limit);

private:
    void Watch();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::chrono::milliseconds limit_;
    Expired expired_;
    bool busy_ = false;
    bool stop_ = false;
    bool fired_ = false;
    std::chrono::steady_clock::time_point since_;
    std::string what_;
    std::string event_;
    std::thread thread_;
};

}  // namespace e2e
