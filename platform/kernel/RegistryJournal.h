#pragma once
// The changes this process made to one settings root since it last saved it. Saving replays them
// on what the file holds by then, so that changes of other processes to other keys and values
// survive, and ours win where both changed the same value.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kernel/RegistryKey.h"

namespace kernel {

struct RegistryChange {
    enum class Kind { CreateKey, DeleteKey, SetValue, DeleteValue };
    Kind kind = Kind::CreateKey;
    std::vector<std::string> path;  // below the root; empty for the root itself
    std::string name;               // of the value
    DWORD type = 0;
    std::vector<BYTE> data;

    static RegistryChange OfKey(Kind kind, std::vector<std::string> path) {
        RegistryChange change;
        change.kind = kind;
        change.path = std::move(path);
        return change;
    }
    static RegistryChange OfValue(Kind kind, std::vector<std::string> path, std::string name, DWORD type = 0,
                                  std::vector<BYTE> data = {}) {
        RegistryChange change = OfKey(kind, std::move(path));
        change.name = std::move(name);
        change.type = type;
        change.data = std::move(data);
        return change;
    }
};

class RegistryJournal {
public:
    // Applies one change to a tree whose root is named `rootName` (null root: no key yet). Setting a
    // value makes its key when missing; a key that gained subkeys meanwhile is not deleted.
    static void Apply(const RegistryChange& change, std::string_view rootName, std::unique_ptr<RegistryKey>& root);

    // Keeps the change; an earlier change to the same value is dropped, so that a process that
    // cannot save does not pile up every write it ever made.
    void Record(RegistryChange change);
    void ApplyAll(std::string_view rootName, std::unique_ptr<RegistryKey>& root) const;

    bool Empty() const { return changes_.empty(); }
    void Clear() { changes_.clear(); }

private:
    std::vector<RegistryChange> changes_;
};

}  // namespace kernel
