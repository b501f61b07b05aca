#pragma once
// One registry key in memory: its values in the order they were first set, and its subkeys sorted
// by name without regard to ASCII case, as the platform compares key and value names.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kernel/WinTypes.h"

namespace kernel {

struct RegistryValue {
    std::string name;
    DWORD type = 0;
    std::vector<BYTE> data;
};

class RegistryKey {
public:
    explicit RegistryKey(std::string name);
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    static bool SameName(std::string_view a, std::string_view b);

    const std::string& Name() const { return name_; }
    // Tells a key from another of the same path made after it was deleted; handles keep it.
    std::uint64_t Serial() const { return serial_; }

    const std::vector<RegistryValue>& Values() const { return values_; }
    const RegistryValue* FindValue(std::string_view name) const;
    void SetValue(std::string_view name, DWORD type, std::vector<BYTE> data);
    bool DeleteValue(std::string_view name);

    std::size_t SubkeyCount() const { return subkeys_.size(); }
    const RegistryKey& SubkeyAt(std::size_t index) const { return *subkeys_[index]; }
    RegistryKey* Subkey(std::string_view name);
    // The subkey of that name, made when missing.
    RegistryKey& CreateSubkey(std::string_view name);
    bool RemoveSubkey(std::string_view name);

    // The key at `path` below this one (this one for an empty path), or null.
    RegistryKey* Find(std::span<const std::string> path);

    // Keys of `older` that this tree still has (same path) keep their serials, so that handles
    // open on them survive this tree replacing the older one.
    void AdoptSerials(const RegistryKey& older);

private:
    std::size_t LowerBound(std::string_view name) const;

    std::string name_;
    std::uint64_t serial_;
    std::vector<RegistryValue> values_;
    std::vector<std::unique_ptr<RegistryKey>> subkeys_;
};

}  // namespace kernel
