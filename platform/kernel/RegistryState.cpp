#include "platform/kernel/RegistryState.h"

#include <cstdlib>

#include "platform/kernel/Immortal.h"
#include "platform/kernel/RegistryFolder.h"

namespace kernel {
namespace {

static_assert(sizeof(std::uintptr_t) == 8, "handles carry a 32-bit generation beside the slot");

constexpr std::string_view kSoftware = "Software";
constexpr std::uint32_t kCurrentUser = 0x80000001;
constexpr std::size_t kMaxHandles = 1u << 20;
constexpr std::uint32_t kMaxGeneration = 0x7FFFFFFF;

// The low 32 bits of a predefined key (HKEY_CLASSES_ROOT to HKEY_DYN_DATA), or 0.
std::uint32_t PredefinedKey(HKEY handle) {
    auto value = reinterpret_cast<std::uintptr_t>(handle);
    auto high = static_cast<std::uint32_t>(value >> 32);
    auto low = static_cast<std::uint32_t>(value);
    bool predefined = (high == 0 || high == 0xFFFFFFFF) && low >= 0x80000000 && low <= 0x80000006;
    return predefined ? low : 0;
}

HKEY HandleOf(std::size_t index, std::uint32_t generation) {
    return reinterpret_cast<HKEY>((std::uintptr_t{generation} << 32) | (std::uintptr_t{index + 1} << 4));
}

std::string Folded(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    return folded;
}

// Appends the components of a backslash-separated path; null and "" add nothing, and one trailing
// backslash is allowed.
LONG AppendSubKey(LPCSTR subKey, std::vector<std::string>& path) {
    if (!subKey || !*subKey) return ERROR_SUCCESS;
    std::string_view rest(subKey);
    if (rest.back() == '\\') rest.remove_suffix(1);
    for (;;) {
        std::size_t end = rest.find('\\');
        std::string_view name = rest.substr(0, end);
        if (name.empty()) return ERROR_BAD_PATHNAME;
        if (name.size() > kRegistryMaxKeyName) return ERROR_INVALID_PARAMETER;
        path.emplace_back(name);
        if (path.size() > kRegistryMaxDepth) return ERROR_INVALID_PARAMETER;
        if (end == std::string_view::npos) return ERROR_SUCCESS;
        rest.remove_prefix(end + 1);
    }
}

std::span<const std::string> Inner(const std::vector<std::string>& path) {
    return std::span<const std::string>(path).subspan(2);
}

std::vector<std::string> InnerPath(const std::vector<std::string>& path) { return {path.begin() + 2, path.end()}; }

}  // namespace

RegistryState& RegistryState::Instance() {
    static Immortal<RegistryState> state;
    static const bool hooked = std::atexit([] { Instance().SaveAll(); }) == 0;
    (void)hooked;
    return *state;
}

RegistryState::Slot* RegistryState::SlotOf(HKEY handle) {
    auto value = reinterpret_cast<std::uintptr_t>(handle);
    if (value == 0 || value % 16 != 0) return nullptr;
    std::size_t index = ((value & 0xFFFFFFFF) >> 4) - 1;
    auto generation = static_cast<std::uint32_t>(value >> 32);
    if (index >= slots_.size() || !slots_[index].open || slots_[index].generation != generation) return nullptr;
    return &slots_[index];
}

LONG RegistryState::Resolve(HKEY handle, REGSAM needed, OpenKey& key) {
    if (std::uint32_t predefined = PredefinedKey(handle))
        return predefined == kCurrentUser ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    Slot* slot = SlotOf(handle);
    if (!slot) return ERROR_INVALID_HANDLE;
    if (!(slot->access & MAXIMUM_ALLOWED) && (slot->access & needed) != needed) return ERROR_ACCESS_DENIED;
    key.path = slot->path;
    if (slot->path.size() < 2) return ERROR_SUCCESS;
    auto found = stores_.find(Folded(slot->path[1]));
    if (found == stores_.end()) return ERROR_KEY_DELETED;
    key.store = found->second.get();
    key.key = key.store->Find(Inner(slot->path));
    return key.key && key.key->Serial() == slot->serial ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

RegistryStore* RegistryState::StoreFor(const std::string& rootName, LONG& error) {
    std::string folded = Folded(rootName);
    auto found = stores_.find(folded);
    if (found != stores_.end()) return found->second.get();
    std::string fileName = RegistryFolder::FileNameFor(rootName);
    if (fileName.empty()) {
        error = ERROR_INVALID_NAME;
        return nullptr;
    }
    auto& store = stores_[folded];
    store = std::make_unique<RegistryStore>(rootName, fileName);
    return store.get();
}

HKEY RegistryState::NewHandle(std::vector<std::string> path, std::uint64_t serial, REGSAM access, LONG& error) {
    std::size_t index;
    if (!freeSlots_.empty()) {
        index = freeSlots_.back();
        freeSlots_.pop_back();
    } else if (slots_.size() < kMaxHandles) {
        index = slots_.size();
        slots_.emplace_back();
    } else {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    Slot& slot = slots_[index];
    slot.open = true;
    slot.path = std::move(path);
    slot.serial = serial;
    slot.access = access;
    return HandleOf(index, slot.generation);
}

LONG RegistryState::Open(HKEY parent, LPCSTR subKey, REGSAM access, bool create, HKEY* result, DWORD* disposition) {
    std::lock_guard guard(lock_);
    OpenKey base;
    if (LONG error = Resolve(parent, create ? KEY_CREATE_SUB_KEY : 0, base)) return error;
    std::vector<std::string> path(base.path.begin(), base.path.end());
    if (LONG error = AppendSubKey(subKey, path)) return error;
    if (!path.empty() && !RegistryKey::SameName(path[0], kSoftware))
        return create ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND;

    DWORD how = REG_OPENED_EXISTING_KEY;
    std::uint64_t serial = 0;
    RegistryStore* store = nullptr;
    LONG error = ERROR_SUCCESS;
    if (path.size() >= 2) {
        if (!(store = StoreFor(path[1], error))) return error;
        if (store->openHandles == 0) store->Refresh();
        RegistryKey* key = store->Find(Inner(path));
        if (!key) {
            if (!create) return ERROR_FILE_NOT_FOUND;
            store->Commit(RegistryChange::OfKey(RegistryChange::Kind::CreateKey, InnerPath(path)));
            key = store->Find(Inner(path));
            how = REG_CREATED_NEW_KEY;
        }
        serial = key->Serial();
    }
    HKEY handle = NewHandle(std::move(path), serial, access, error);
    if (!handle) return error;
    if (store) ++store->openHandles;
    *result = handle;
    if (disposition) *disposition = how;
    return ERROR_SUCCESS;
}

LONG RegistryState::Close(HKEY handle) {
    std::lock_guard guard(lock_);
    if (PredefinedKey(handle)) return ERROR_SUCCESS;
    Slot* slot = SlotOf(handle);
    if (!slot) return ERROR_INVALID_HANDLE;
    std::vector<std::string> path = std::move(slot->path);
    slot->open = false;
    slot->path.clear();
    slot->generation = slot->generation == kMaxGeneration ? 1 : slot->generation + 1;
    freeSlots_.push_back(static_cast<std::size_t>(slot - slots_.data()));
    if (path.size() >= 2) {
        RegistryStore& store = *stores_.at(Folded(path[1]));
        --store.openHandles;
        // A failure to save has been reported once on stderr; the handle is closed all the same.
        if (store.HasUnsavedChanges()) store.Save();
    }
    return ERROR_SUCCESS;
}

LONG RegistryState::Flush(HKEY handle) {
    std::lock_guard guard(lock_);
    OpenKey key;
    if (LONG error = Resolve(handle, 0, key); error != ERROR_SUCCESS && error != ERROR_KEY_DELETED) return error;
    if (key.Depth() < 2) return SaveAllLocked();
    return stores_.at(Folded(key.path[1]))->Save();
}

LONG RegistryState::DeleteKey(HKEY parent, LPCSTR subKey) {
    if (!subKey) return ERROR_INVALID_PARAMETER;
    std::lock_guard guard(lock_);
    OpenKey base;
    if (LONG error = Resolve(parent, 0, base)) return error;
    std::vector<std::string> path(base.path.begin(), base.path.end());
    if (LONG error = AppendSubKey(subKey, path)) return error;
    if (path.size() < 2) return ERROR_ACCESS_DENIED;
    if (!RegistryKey::SameName(path[0], kSoftware)) return ERROR_FILE_NOT_FOUND;
    LONG error = ERROR_SUCCESS;
    RegistryStore* store = StoreFor(path[1], error);
    if (!store) return error;
    if (store->openHandles == 0) store->Refresh();
    RegistryKey* key = store->Find(Inner(path));
    if (!key) return ERROR_FILE_NOT_FOUND;
    if (key->SubkeyCount() > 0) return ERROR_ACCESS_DENIED;
    store->Commit(RegistryChange::OfKey(RegistryChange::Kind::DeleteKey, InnerPath(path)));
    // No handle of this root will be closed to save it (the delete came through a key above it).
    if (store->openHandles == 0) store->Save();
    return ERROR_SUCCESS;
}

void RegistryState::SaveAll() {
    std::lock_guard guard(lock_);
    SaveAllLocked();
}

LONG RegistryState::SaveAllLocked() {
    LONG result = ERROR_SUCCESS;
    for (auto& [name, store] : stores_)
        if (LONG error = store->Save(); error != ERROR_SUCCESS) result = error;
    return result;
}

}  // namespace kernel
