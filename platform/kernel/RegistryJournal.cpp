#include "platform/kernel/RegistryJournal.h"

#include <algorithm>

namespace kernel {
namespace {

bool IsValueChange(const RegistryChange& change) {
    return change.kind == RegistryChange::Kind::SetValue || change.kind == RegistryChange::Kind::DeleteValue;
}

bool SamePath(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const auto& x, const auto& y) { return RegistryKey::SameName(x, y); });
}

}  // namespace

void RegistryJournal::Apply(const RegistryChange& change, std::string_view rootName,
                            std::unique_ptr<RegistryKey>& root) {
    using Kind = RegistryChange::Kind;
    if (change.kind == Kind::CreateKey || change.kind == Kind::SetValue) {
        if (!root) root = std::make_unique<RegistryKey>(std::string(rootName));
        RegistryKey* key = root.get();
        for (const auto& name : change.path) key = &key->CreateSubkey(name);
        if (change.kind == Kind::SetValue) key->SetValue(change.name, change.type, change.data);
        return;
    }
    if (!root) return;
    if (change.kind == Kind::DeleteValue) {
        if (RegistryKey* key = root->Find(change.path)) key->DeleteValue(change.name);
        return;
    }
    if (change.path.empty()) {
        if (root->SubkeyCount() == 0) root.reset();
        return;
    }
    std::span<const std::string> parentPath(change.path.data(), change.path.size() - 1);
    RegistryKey* parent = root->Find(parentPath);
    RegistryKey* key = parent ? parent->Subkey(change.path.back()) : nullptr;
    if (key && key->SubkeyCount() == 0) parent->RemoveSubkey(change.path.back());
}

void RegistryJournal::Record(RegistryChange change) {
    if (IsValueChange(change)) {
        std::erase_if(changes_, [&](const RegistryChange& earlier) {
            return IsValueChange(earlier) && RegistryKey::SameName(earlier.name, change.name) &&
                   SamePath(earlier.path, change.path);
        });
    }
    changes_.push_back(std::move(change));
}

void RegistryJournal::ApplyAll(std::string_view rootName, std::unique_ptr<RegistryKey>& root) const {
    for (const auto& change : changes_) Apply(change, rootName, root);
}

}  // namespace kernel
