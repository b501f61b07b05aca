#include "platform/kernel/HandleTable.h"

#include <cstdint>

namespace kernel {
namespace {

// Handle values are multiples of 4 starting at 4, so that neither null nor INVALID_HANDLE_VALUE
// is ever a handle.
std::size_t IndexOf(HANDLE handle) {
    auto value = reinterpret_cast<std::uintptr_t>(handle);
    if (value == 0 || value % 4 != 0) return SIZE_MAX;
    return value / 4 - 1;
}

HANDLE HandleOf(std::size_t index) { return reinterpret_cast<HANDLE>((index + 1) * 4); }

}  // namespace

HANDLE HandleTable::Insert(std::shared_ptr<KernelObject> object, DWORD access) {
    std::lock_guard guard(lock_);
    std::size_t index;
    if (!freeSlots_.empty()) {
        index = freeSlots_.back();
        freeSlots_.pop_back();
    } else {
        index = slots_.size();
        slots_.emplace_back();
    }
    slots_[index] = Slot{std::move(object), access};
    return HandleOf(index);
}

std::shared_ptr<KernelObject> HandleTable::Get(HANDLE handle, DWORD* access) const {
    std::size_t index = IndexOf(handle);
    std::lock_guard guard(lock_);
    if (index >= slots_.size() || !slots_[index].object) return nullptr;
    if (access) *access = slots_[index].access;
    return slots_[index].object;
}

bool HandleTable::Close(HANDLE handle) {
    std::size_t index = IndexOf(handle);
    std::shared_ptr<KernelObject> dropped;  // released after the lock: its end may touch the file system
    {
        std::lock_guard guard(lock_);
        if (index >= slots_.size() || !slots_[index].object) return false;
        dropped = std::move(slots_[index].object);
        freeSlots_.push_back(index);
    }
    return true;
}

void* HandleTable::AddView(std::shared_ptr<KernelObject> section, MappedRegion region) {
    void* address = region.Address();
    std::lock_guard guard(lock_);
    views_.emplace(address, View{std::move(section), std::move(region)});
    return address;
}

bool HandleTable::RemoveView(const void* address) {
    View dropped;
    {
        std::lock_guard guard(lock_);
        auto it = views_.find(address);
        if (it == views_.end()) return false;
        dropped = std::move(it->second);
        views_.erase(it);
    }
    return true;
}

std::map<const void*, HandleTable::View>::const_iterator HandleTable::FindView(const void* address) const {
    auto it = views_.upper_bound(address);
    if (it == views_.begin()) return views_.end();
    --it;
    const auto* base = static_cast<const char*>(it->first);
    if (static_cast<const char*>(address) >= base + it->second.region.Length()) return views_.end();
    return it;
}

bool HandleTable::QueryView(const void* address, MEMORY_BASIC_INFORMATION& info) const {
    std::lock_guard guard(lock_);
    auto it = FindView(address);
    if (it == views_.end()) return false;
    info.BaseAddress = const_cast<void*>(it->first);
    info.AllocationBase = const_cast<void*>(it->first);
    info.RegionSize = it->second.region.Length();
    return true;
}

bool HandleTable::ViewBroken(const void* address, bool& broken) const {
    std::lock_guard guard(lock_);
    auto it = FindView(address);
    if (it == views_.end()) return false;
    broken = it->second.region.Broken();
    return true;
}

void HandleTable::CloseAll() {
    std::vector<Slot> slots;
    std::map<const void*, View> views;
    {
        std::lock_guard guard(lock_);
        slots.swap(slots_);
        views.swap(views_);
        freeSlots_.clear();
    }
}

}  // namespace kernel
