#include "platform/kernel/RegistryKey.h"

#include <algorithm>
#include <atomic>

namespace kernel {
namespace {

std::atomic<std::uint64_t> gNextSerial{1};

unsigned char Fold(char c) {
    auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

int CompareNames(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = Fold(a[i]), y = Fold(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

RegistryKey::RegistryKey(std::string name) : name_(std::move(name)), serial_(gNextSerial.fetch_add(1)) {}

bool RegistryKey::SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareNames(a, b) == 0;
}

const RegistryValue* RegistryKey::FindValue(std::string_view name) const {
    for (const auto& value : values_)
        if (SameName(value.name, name)) return &value;
    return nullptr;
}

void RegistryKey::SetValue(std::string_view name, DWORD type, std::vector<BYTE> data) {
    for (auto& value : values_) {
        if (SameName(value.name, name)) {
            value.type = type;
            value.data = std::move(data);
            return;
        }
    }
    values_.push_back(RegistryValue{std::string(name), type, std::move(data)});
}

bool RegistryKey::DeleteValue(std::string_view name) {
    auto it = std::find_if(values_.begin(), values_.end(), [&](const auto& v) { return SameName(v.name, name); });
    if (it == values_.end()) return false;
    values_.erase(it);
    return true;
}

std::size_t RegistryKey::LowerBound(std::string_view name) const {
    auto it = std::lower_bound(subkeys_.begin(), subkeys_.end(), name,
                               [](const auto& key, std::string_view n) { return CompareNames(key->name_, n) < 0; });
    return static_cast<std::size_t>(it - subkeys_.begin());
}

RegistryKey* RegistryKey::Subkey(std::string_view name) {
    std::size_t at = LowerBound(name);
    return at < subkeys_.size() && SameName(subkeys_[at]->name_, name) ? subkeys_[at].get() : nullptr;
}

RegistryKey& RegistryKey::CreateSubkey(std::string_view name) {
    std::size_t at = LowerBound(name);
    if (at < subkeys_.size() && SameName(subkeys_[at]->name_, name)) return *subkeys_[at];
    auto inserted = subkeys_.insert(subkeys_.begin() + static_cast<std::ptrdiff_t>(at),
                                    std::make_unique<RegistryKey>(std::string(name)));
    return **inserted;
}

bool RegistryKey::RemoveSubkey(std::string_view name) {
    std::size_t at = LowerBound(name);
    if (at >= subkeys_.size() || !SameName(subkeys_[at]->name_, name)) return false;
    subkeys_.erase(subkeys_.begin() + static_cast<std::ptrdiff_t>(at));
    return true;
}

RegistryKey* RegistryKey::Find(std::span<const std::string> path) {
    RegistryKey* key = this;
    for (const auto& component : path) {
        key = key->Subkey(component);
        if (!key) return nullptr;
    }
    return key;
}

void RegistryKey::AdoptSerials(const RegistryKey& older) {
    serial_ = older.serial_;
    for (const auto& old : older.subkeys_)
        if (RegistryKey* same = Subkey(old->name_)) same->AdoptSerials(*old);
}

}  // namespace kernel
