#pragma once
// A mutex the thread-safety analysis knows, and its scoped guard. Not recursive: a function that
// needs the lock held says so (REQUIRES) instead of taking it again.

#include <mutex>

#include "platform/window/ThreadSafety.h"

class CAPABILITY("mutex") Mutex {
public:
    constexpr Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void lock() ACQUIRE() { mutex_.lock(); }
    void unlock() RELEASE() { mutex_.unlock(); }

    class SCOPED_CAPABILITY Guard {
    public:
        explicit Guard(Mutex& m) ACQUIRE(m) : mutex_(m) { mutex_.lock(); }
        ~Guard() RELEASE() { mutex_.unlock(); }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        Mutex& mutex_;
    };

private:
    std::mutex mutex_;
};
