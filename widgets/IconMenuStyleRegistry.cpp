#include "widgets/IconMenuStyleRegistry.h"

#include "platform/kernel/Immortal.h"
#include "widgets/IconMenuStyle2.h"

IconMenuStyleRegistry& IconMenuStyleRegistry::Instance() {
    // Menu windows may still be given back to the system while the process exits.
    static Immortal<IconMenuStyleRegistry> registry;
    return *registry;
}

IconMenuStyleRegistry::IconMenuStyleRegistry() {
    // Only the look of pair 2/3 is this system's; the other pairs draw the same way.
    for (int id = 0; id < 8; ++id) styles_.push_back(std::make_unique<IconMenuStyle2>(id, id % 2 == 0));
    active_ = styles_[2].get();
}

IconMenuStyle* IconMenuStyleRegistry::Find(int id) const {
    for (const auto& style : styles_)
        if (style->Id() == id) return style.get();
    return nullptr;
}

int IconMenuStyleRegistry::SetActive(int id) {
    IconMenuStyle* style = Find(id);
    if (!style) return -1;
    const int previous = active_->Id();
    active_ = style;
    return previous;
}
