#pragma once
// A mutex the thread-safety analysis knows, and its scoped guard. Not recursive: a function that
// needs the lock held says so (REQUIRES) instead of taking it again.
//
// It spins a little before it sleeps: the window system's locks are held briefly, and a thread
// put to sleep for one waits far longer to be woken than the holder takes to let go. Every
// cross-thread send takes the window lock and the receiver's queue lock.

#include <mutex>

#include "platform/window/ThreadSafety.h"

class CAPABILITY("mutex") Mutex {
public:
    constexpr Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void lock() ACQUIRE() {
        for (int spin = 0; spin < kSpins; ++spin) {
            if (mutex_.try_lock()) return;
            Relax();
        }
        mutex_.lock();
    }
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
    static constexpr int kSpins = 200;  // about 2 to 8 µs
    static void Relax() {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    }

    std::mutex mutex_;
};
