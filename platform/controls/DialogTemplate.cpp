#include "platform/controls/DialogTemplate.h"

#include <map>
#include <mutex>

#include "platform/kernel/Immortal.h"

namespace {

struct Registry {
    std::mutex lock;
    std::map<std::string, std::shared_ptr<const DialogTemplate>> templates;
};

Registry& TheRegistry() {
    static Immortal<Registry> registry;
    return *registry;
}

// Ids and names share one key space: "#100" is resource 100, as resource scripts write it.
std::string KeyOf(LPCSTR name) {
    if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(name));
    return name;
}

}  // namespace

void DialogTemplate::Register(LPCSTR name, DialogTemplate dialog) {
    if (!name) return;
    auto shared = std::make_shared<const DialogTemplate>(std::move(dialog));
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    r.templates[KeyOf(name)] = std::move(shared);
}

std::shared_ptr<const DialogTemplate> DialogTemplate::Find(LPCSTR name) {
    if (!name) return nullptr;
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    auto it = r.templates.find(KeyOf(name));
    return it == r.templates.end() ? nullptr : it->second;
}
