#pragma once
// Holds a process-wide object that is never destroyed. Objects of other translation units may
// still use it while the process exits, whatever the order in which statics are destroyed.

#include <new>
#include <utility>

template <class T>
class Immortal {
public:
    template <class... Args>
    explicit Immortal(Args&&... args) : object_(::new (storage_) T(std::forward<Args>(args)...)) {}
    Immortal(const Immortal&) = delete;
    Immortal& operator=(const Immortal&) = delete;
    // No destructor on purpose.

    T& operator*() { return *object_; }
    T* operator->() { return object_; }

private:
    alignas(T) unsigned char storage_[sizeof(T)];
    T* object_;
};
