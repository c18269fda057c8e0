#pragma once
// A multi-subscriber event, delivered synchronously in subscription order.
//
// Handlers may subscribe or unsubscribe (themselves or others) while the event
// is being raised, and may raise the same event again: a raise walks a snapshot
// of the subscribers taken when it starts, and skips any that were removed in
// the meantime. This is how VB events behave when one handler sets a property
// that raises the event it is handling.

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace platform {

template <typename... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;

private:
    struct Slot {
        Handler fn;
        bool alive;
    };

public:
    // Keeps a subscription alive; dropping it does not unsubscribe (use
    // Disconnect or a ScopedConnection for that).
    class Connection {
    public:
        Connection() = default;
        void Disconnect()
        {
            if (auto slot = slot_.lock()) slot->alive = false;
        }
        bool Connected() const
        {
            auto slot = slot_.lock();
            return slot && slot->alive;
        }

    private:
        friend class Event;
        explicit Connection(std::weak_ptr<typename Event::Slot> s) : slot_(std::move(s)) {}
        std::weak_ptr<typename Event::Slot> slot_;
    };

    Event() = default;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    Connection Connect(Handler h)
    {
        auto slot = std::make_shared<Slot>(Slot{std::move(h), true});
        Compact();
        slots_.push_back(slot);
        return Connection(slot);
    }

    // Shorthand so that subscribing reads like VB's WithEvents: evt += handler.
    Connection operator+=(Handler h) { return Connect(std::move(h)); }

    void Raise(Args... args) const
    {
        const auto snapshot = slots_;
        for (const auto& s : snapshot)
            if (s->alive && s->fn) s->fn(args...);
    }
    void operator()(Args... args) const { Raise(std::forward<Args>(args)...); }

    std::size_t SubscriberCount() const
    {
        return static_cast<std::size_t>(
            std::count_if(slots_.begin(), slots_.end(), [](const auto& s) { return s->alive; }));
    }
    void DisconnectAll()
    {
        for (auto& s : slots_) s->alive = false;
        slots_.clear();
    }

private:
    void Compact()
    {
        slots_.erase(std::remove_if(slots_.begin(), slots_.end(), [](const auto& s) { return !s->alive; }),
                     slots_.end());
    }
    std::vector<std::shared_ptr<Slot>> slots_;
};

// Unsubscribes when it goes out of scope: for handlers that capture `this`.
class ScopedConnection {
public:
    ScopedConnection() = default;
    template <typename C>
    ScopedConnection(C c) : disconnect_([c]() mutable { c.Disconnect(); })
    {
    }
    ScopedConnection(ScopedConnection&& o) noexcept : disconnect_(std::move(o.disconnect_)) { o.disconnect_ = nullptr; }
    ScopedConnection& operator=(ScopedConnection&& o) noexcept
    {
        if (this != &o) {
            Reset();
            disconnect_ = std::move(o.disconnect_);
            o.disconnect_ = nullptr;
        }
        return *this;
    }
    ScopedConnection(const ScopedConnection&) = delete;
    ScopedConnection& operator=(const ScopedConnection&) = delete;
    ~ScopedConnection() { Reset(); }
    void Reset()
    {
        if (disconnect_) disconnect_();
        disconnect_ = nullptr;
    }

private:
    std::function<void()> disconnect_;
};

}  // namespace platform
