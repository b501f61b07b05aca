#include "platform/kernel/Registry.h"

#include <algorithm>
#include <cstring>

#include "platform/kernel/RegistryState.h"

using kernel::OpenKey;
using kernel::RegistryChange;
using kernel::RegistryState;
using kernel::RegistryValue;

namespace {

const char* NameOrDefault(LPCSTR name) { return name ? name : ""; }

bool IsString(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// The size protocol of queries and enumerations: null data asks for the size, a buffer too
// small gets ERROR_MORE_DATA and the size needed.
LONG CopyValue(const RegistryValue& value, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (type) *type = value.type;
    if (!size) return ERROR_SUCCESS;
    auto needed = static_cast<DWORD>(value.data.size());
    if (data) {
        if (*size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        if (needed) std::memcpy(data, value.data.data(), needed);
        // Callers use what they read as a C string; one stored without its null gets one.
        if (IsString(value.type) && *size > needed && (needed == 0 || value.data.back() != 0)) data[needed] = 0;
    }
    *size = needed;
    return ERROR_SUCCESS;
}

// Copies a name into a buffer of `length` characters (the null included); `length` becomes the
// name's length without the null.
LONG CopyName(const std::string& name, LPSTR buffer, LPDWORD length) {
    if (*length <= name.size()) return ERROR_MORE_DATA;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    *length = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

std::vector<std::string> InnerPath(const OpenKey& open) { return {open.path.begin() + 2, open.path.end()}; }

template <class Use>
LONG WithKey(HKEY key, REGSAM needed, Use&& use) {
    return RegistryState::Instance().WithKey(key, needed, std::forward<Use>(use));
}

}  // namespace

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD options, REGSAM access, const SECURITY_ATTRIBUTES*,
                     PHKEY result, LPDWORD disposition) {
    if (!result || !subKey) return ERROR_INVALID_PARAMETER;
    // Volatile keys (and symbolic links, and backup access) are not offered.
    if (options != REG_OPTION_NON_VOLATILE) return ERROR_INVALID_PARAMETER;
    return RegistryState::Instance().Open(key, subKey, access, true, result, disposition);
}

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM access, PHKEY result) {
    if (!result) return ERROR_INVALID_PARAMETER;
    return RegistryState::Instance().Open(key, subKey, access, false, result, nullptr);
}

LONG RegCloseKey(HKEY key) { return RegistryState::Instance().Close(key); }

LONG RegFlushKey(HKEY key) { return RegistryState::Instance().Flush(key); }

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (data && !size) return ERROR_INVALID_PARAMETER;
    return WithKey(key, KEY_QUERY_VALUE, [&](OpenKey& open) -> LONG {
        const RegistryValue* value = open.key ? open.key->FindValue(NameOrDefault(valueName)) : nullptr;
        return value ? CopyValue(*value, type, data, size) : ERROR_FILE_NOT_FOUND;
    });
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD size) {
    if (!data && size) return ERROR_INVALID_PARAMETER;
    const char* name = NameOrDefault(valueName);
    if (std::strlen(name) > kRegistryMaxValueName || size > kRegistryMaxValueSize) return ERROR_INVALID_PARAMETER;
    return WithKey(key, KEY_SET_VALUE, [&](OpenKey& open) -> LONG {
        if (!open.key) return ERROR_ACCESS_DENIED;
        std::vector<BYTE> bytes;
        if (size) bytes.assign(data, data + size);
        open.store->Commit(
            RegistryChange::OfValue(RegistryChange::Kind::SetValue, InnerPath(open), name, type, std::move(bytes)));
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValueA(HKEY key, LPCSTR valueName) {
    const char* name = NameOrDefault(valueName);
    return WithKey(key, KEY_SET_VALUE, [&](OpenKey& open) -> LONG {
        if (!open.key || !open.key->FindValue(name)) return ERROR_FILE_NOT_FOUND;
        open.store->Commit(RegistryChange::OfValue(RegistryChange::Kind::DeleteValue, InnerPath(open), name));
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteKeyA(HKEY key, LPCSTR subKey) { return RegistryState::Instance().DeleteKey(key, subKey); }

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD, LPSTR keyClass, LPDWORD classLength,
                   FILETIME* lastWriteTime) {
    if (!name || !nameLength) return ERROR_INVALID_PARAMETER;
    return WithKey(key, KEY_ENUMERATE_SUB_KEYS, [&](OpenKey& open) -> LONG {
        static const std::string kSoftware = "Software";
        const std::string* found = nullptr;
        if (open.Depth() == 0) {
            if (index == 0) found = &kSoftware;
        } else if (open.Depth() == 1) {
            // The settings roots are files; this process does not list the folder.
            return ERROR_ACCESS_DENIED;
        } else if (index < open.key->SubkeyCount()) {
            found = &open.key->SubkeyAt(index).Name();
        }
        if (!found) return ERROR_NO_MORE_ITEMS;
        if (LONG error = CopyName(*found, name, nameLength)) return error;
        if (keyClass && classLength && *classLength > 0) keyClass[0] = 0;
        if (classLength) *classLength = 0;
        if (lastWriteTime) *lastWriteTime = FILETIME{0, 0};
        return ERROR_SUCCESS;
    });
}

LONG RegEnumValueA(HKEY key, DWORD index, LPSTR valueName, LPDWORD valueNameLength, LPDWORD, LPDWORD type, LPBYTE data,
                   LPDWORD size) {
    if (!valueName || !valueNameLength || (data && !size)) return ERROR_INVALID_PARAMETER;
    return WithKey(key, KEY_QUERY_VALUE, [&](OpenKey& open) -> LONG {
        if (!open.key || index >= open.key->Values().size()) return ERROR_NO_MORE_ITEMS;
        const RegistryValue& value = open.key->Values()[index];
        if (LONG error = CopyName(value.name, valueName, valueNameLength)) return error;
        return CopyValue(value, type, data, size);
    });
}

LONG RegQueryInfoKeyA(HKEY key, LPSTR keyClass, LPDWORD classLength, LPDWORD, LPDWORD subKeys, LPDWORD maxSubKeyLength,
                      LPDWORD maxClassLength, LPDWORD values, LPDWORD maxValueNameLength, LPDWORD maxValueLength,
                      LPDWORD securityDescriptorSize, FILETIME* lastWriteTime) {
    return WithKey(key, KEY_QUERY_VALUE, [&](OpenKey& open) -> LONG {
        if (open.Depth() == 1) return ERROR_ACCESS_DENIED;  // as for enumerating its subkeys
        DWORD subKeyCount = 0, longestSubKey = 0, valueCount = 0, longestName = 0, largest = 0;
        if (open.Depth() == 0) {
            subKeyCount = 1;
            longestSubKey = 8;  // "Software"
        } else {
            subKeyCount = static_cast<DWORD>(open.key->SubkeyCount());
            for (std::size_t i = 0; i < subKeyCount; ++i)
                longestSubKey = std::max(longestSubKey, static_cast<DWORD>(open.key->SubkeyAt(i).Name().size()));
            valueCount = static_cast<DWORD>(open.key->Values().size());
            for (const auto& value : open.key->Values()) {
                longestName = std::max(longestName, static_cast<DWORD>(value.name.size()));
                largest = std::max(largest, static_cast<DWORD>(value.data.size()));
            }
        }
        if (keyClass && classLength && *classLength > 0) keyClass[0] = 0;
        if (classLength) *classLength = 0;
        if (subKeys) *subKeys = subKeyCount;
        if (maxSubKeyLength) *maxSubKeyLength = longestSubKey;
        if (maxClassLength) *maxClassLength = 0;
        if (values) *values = valueCount;
        if (maxValueNameLength) *maxValueNameLength = longestName;
        if (maxValueLength) *maxValueLength = largest;
        if (securityDescriptorSize) *securityDescriptorSize = 0;
        if (lastWriteTime) *lastWriteTime = FILETIME{0, 0};
        return ERROR_SUCCESS;
    });
}
