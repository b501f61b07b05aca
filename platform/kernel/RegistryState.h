#pragma once
// The process's registry: its key handles and its settings roots, all under one lock.
//
// A handle is a slot number and the slot's generation, so that a closed handle (or one whose slot
// now serves another key) is refused, never followed. It names its key by path and the key's
// serial: a key deleted by this process or, once the file is read again, by another one, makes
// the handle report ERROR_KEY_DELETED.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "platform/kernel/Registry.h"
#include "platform/kernel/RegistryKey.h"
#include "platform/kernel/RegistryStore.h"

namespace kernel {

// What a handle resolves to while the lock is held. The two keys above the settings roots,
// HKEY_CURRENT_USER (depth 0) and its Software key (depth 1), have neither store nor key.
struct OpenKey {
    std::span<const std::string> path;  // from HKEY_CURRENT_USER
    RegistryStore* store = nullptr;
    RegistryKey* key = nullptr;

    std::size_t Depth() const { return path.size(); }
};

class RegistryState {
public:
    // Never destroyed; every unsaved change is saved at exit (an atexit hook).
    static RegistryState& Instance();

    LONG Open(HKEY parent, LPCSTR subKey, REGSAM access, bool create, HKEY* result, DWORD* disposition);
    LONG Close(HKEY handle);
    LONG Flush(HKEY handle);
    LONG DeleteKey(HKEY parent, LPCSTR subKey);
    void SaveAll();

    // Runs `use` on the handle's key under the lock, when the handle is open with `needed` access
    // and its key still exists; `use` returns the call's result.
    template <class Use>
    LONG WithKey(HKEY handle, REGSAM needed, Use&& use) {
        std::lock_guard guard(lock_);
        OpenKey key;
        if (LONG error = Resolve(handle, needed, key)) return error;
        return use(key);
    }

    RegistryState() = default;  // through Instance() only

private:
    struct Slot {
        std::uint32_t generation = 1;
        bool open = false;
        std::vector<std::string> path;
        std::uint64_t serial = 0;
        REGSAM access = 0;
    };

    LONG Resolve(HKEY handle, REGSAM needed, OpenKey& key);
    // The slot of an open handle, or null.
    Slot* SlotOf(HKEY handle);
    RegistryStore* StoreFor(const std::string& rootName, LONG& error);
    HKEY NewHandle(std::vector<std::string> path, std::uint64_t serial, REGSAM access, LONG& error);
    LONG SaveAllLocked();

    std::mutex lock_;  // guards slots_, freeSlots_, stores_ and everything each store holds
    std::vector<Slot> slots_;
    std::vector<std::size_t> freeSlots_;
    std::map<std::string, std::unique_ptr<RegistryStore>> stores_;  // by root name in lower case
};

}  // namespace kernel
