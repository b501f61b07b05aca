#pragma once
// The process's handles and mapped views. A handle names a KernelObject with the access it was
// opened for; a view keeps its section alive until it is unmapped, as on the platform we mimic.

#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/kernel/KernelObject.h"
#include "platform/kernel/MappedRegion.h"
#include "platform/kernel/WinTypes.h"

namespace kernel {

class HandleTable {
public:
    HANDLE Insert(std::shared_ptr<KernelObject> object, DWORD access);
    // The object of a handle, or null for a handle that is not open.
    std::shared_ptr<KernelObject> Get(HANDLE handle, DWORD* access = nullptr) const;
    bool Close(HANDLE handle);

    void* AddView(std::shared_ptr<KernelObject> section, MappedRegion region);
    bool RemoveView(const void* address);
    bool QueryView(const void* address, MEMORY_BASIC_INFORMATION& info) const;
    // False when `address` is in no view.
    bool ViewBroken(const void* address, bool& broken) const;

    // Closes every handle and view, as the end of the process does.
    void CloseAll();

private:
    struct Slot {
        std::shared_ptr<KernelObject> object;
        DWORD access = 0;
    };
    struct View {
        std::shared_ptr<KernelObject> section;
        MappedRegion region;
    };

    mutable std::mutex lock_;
    std::vector<Slot> slots_;
    std::vector<std::size_t> freeSlots_;
    std::map<const void*, View> views_;

    // The view holding `address`, or views_.end(); lock_ held.
    std::map<const void*, View>::const_iterator FindView(const void* address) const;
};

}  // namespace kernel
