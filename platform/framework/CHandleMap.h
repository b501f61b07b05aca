#pragma once
// Handle maps: from a platform handle to the framework object that wraps it. Permanent entries
// are the objects that own or adopted their handles (Attach); temporary ones are plain wrappers
// made on demand by FromHandle for handles nobody wrapped, freed at the thread's next idle time
// (DeleteTemp) without touching their handles. Each thread has its own maps, as each thread has
// its own windows.

#include <memory>
#include <unordered_map>

template <class T, class H, auto Handle>
class CHandleMap {
public:
    T* FromHandlePermanent(H handle) const {
        const auto it = permanent_.find(handle);
        return it == permanent_.end() ? nullptr : it->second;
    }

    // The permanent object, else a temporary one; null for a null handle.
    T* FromHandle(H handle) {
        if (!handle) return nullptr;
        if (T* object = FromHandlePermanent(handle)) return object;
        auto& temporary = temporary_[handle];
        if (!temporary) {
            temporary = std::make_unique<T>();
            (*temporary).*Handle = handle;
        }
        return temporary.get();
    }

    // False when another object holds the handle already.
    bool SetPermanent(H handle, T* object) {
        auto [it, added] = permanent_.emplace(handle, object);
        return added || it->second == object;
    }
    void RemovePermanent(H handle) { permanent_.erase(handle); }

    void DeleteTemp() {
        auto doomed = std::move(temporary_);
        temporary_.clear();
        for (auto& [handle, object] : doomed) (*object).*Handle = H{};
    }

private:
    std::unordered_map<H, T*> permanent_;
    std::unordered_map<H, std::unique_ptr<T>> temporary_;
};
