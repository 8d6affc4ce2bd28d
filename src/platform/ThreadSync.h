#pragma once
// Small thread primitives the engine needs: an auto-reset event and a list
// with its own lock.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace animora {

// Wakes exactly one wait per Set; a Set with nobody waiting is kept until the
// next wait takes it (and resets it).
class TAutoResetEvent {
public:
    void Set();
    void Reset();
    // Waits until set or until the timeout passes; a negative timeout waits
    // without end. True when the event was set (it is reset again).
    bool WaitFor(std::chrono::milliseconds timeout);
    bool Wait() { return WaitFor(std::chrono::milliseconds(-1)); }
    // Takes the event when it is set, without waiting.
    bool TryWait() { return WaitFor(std::chrono::milliseconds(0)); }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool signalled_ = false;
};

// A list guarded by its own mutex. Everything goes through LockList, which
// holds the lock for as long as the answered handle lives.
template <typename T>
class TThreadList {
public:
    class Locked {
    public:
        explicit Locked(TThreadList& list) : lock_(list.mutex_), items_(list.items_) {}
        std::vector<T>& Items() { return items_; }
        std::vector<T>* operator->() { return &items_; }
        void Add(const T& item) { items_.push_back(item); }
        void Remove(const T& item)
        {
            for (auto it = items_.begin(); it != items_.end(); ++it) {
                if (*it == item) {
                    items_.erase(it);
                    return;
                }
            }
        }

    private:
        std::unique_lock<std::mutex> lock_;
        std::vector<T>& items_;
    };

    Locked LockList() { return Locked(*this); }
    size_t Count()
    {
        std::lock_guard lock(mutex_);
        return items_.size();
    }

private:
    std::mutex mutex_;
    std::vector<T> items_;
};

} // namespace animora
