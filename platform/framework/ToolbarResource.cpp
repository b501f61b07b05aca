#include "platform/framework/ToolbarResource.h"

#include <map>
#include <mutex>

namespace {

std::mutex& Lock() {
    static std::mutex lock;
    return lock;
}

std::map<UINT, ToolbarResource>& Resources() {
    static std::map<UINT, ToolbarResource> resources;
    return resources;
}

}  // namespace

void ToolbarResource::Register(UINT id, ToolbarResource resource) {
    std::lock_guard guard(Lock());
    Resources()[id] = std::move(resource);
}

void ToolbarResource::Unregister(UINT id) {
    std::lock_guard guard(Lock());
    Resources().erase(id);
}

std::optional<ToolbarResource> ToolbarResource::Find(UINT id) {
    std::lock_guard guard(Lock());
    const auto it = Resources().find(id);
    if (it == Resources().end()) return std::nullopt;
    return it->second;
}
