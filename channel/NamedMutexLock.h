#pragma once
// Owns a NamedMutex for a scope: locks on construction, releases on the way out whatever way
// the scope is left, and only what the lock actually acquired.

#include "channel/NamedMutex.h"

class NamedMutexLock {
public:
    NamedMutexLock(NamedMutex& mutex, DWORD timeoutMs, HANDLE cancel = nullptr)
        : mutex_(mutex), result_(mutex.Lock(timeoutMs, cancel)) {}
    ~NamedMutexLock() {
        if (mutex_.IsLocked()) mutex_.Unlock();
    }
    NamedMutexLock(const NamedMutexLock&) = delete;
    NamedMutexLock& operator=(const NamedMutexLock&) = delete;

    int Result() const { return result_; }
    bool Owned() const { return mutex_.IsLocked(); }

private:
    NamedMutex& mutex_;
    int result_;
};
