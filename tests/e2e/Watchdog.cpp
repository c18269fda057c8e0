#include "e2e/Watchdog.h"

#include <cstdio>

namespace e2e {

Watchdog::Watchdog(std::chrono::milliseconds limit, Expired expired)
    : limit_(limit), expired_(std::move(expired)), thread_([this] { Watch(); })
{
}

Watchdog::~Watchdog()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void Watchdog::Begin(const std::string& what)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        busy_ = true;
        fired_ = false;
        since_ = std::chrono::steady_clock::now();
        what_ = what;
        event_.clear();
    }
    wake_.notify_all();
}

void Watchdog::Note(const std::string& event)
{
    std::lock_guard<std::mutex> lock(mutex_);
    event_ = event;
}

void Watchdog::Idle()
{
    std::lock_guard<std::mutex> lock(mutex_);
    busy_ = false;
}

void Watchdog::SetLimit(std::chrono::milliseconds limit)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        limit_ = limit;
    }
    wake_.notify_all();
}

void Watchdog::Watch()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stop_) {
        if (!busy_ || fired_) {
            wake_.wait(lock);
            continue;
        }
        const auto deadline = since_ + limit_;
        if (std::chrono::steady_clock::now() < deadline) {
            wake_.wait_until(lock, deadline);
            continue;
        }
        // Once: whatever the handler does, the step stays stuck.
        fired_ = true;
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", std::chrono::duration<double>(limit_).count());
        std::string report = what_ + "\n  timed out: no progress for " + seconds + " s";
        report += event_.empty() ? " (the program did nothing the runner could see)" : "; last seen: " + event_;
        report += "\n";
        Expired handler = expired_;
        lock.unlock();
        handler(report);
        lock.lock();
    }
}

}  // namespace e2e
