#pragma once
// One settings root (the key HKEY_CURRENT_USER\Software\<root> and everything below it) and its
// file: the keys as this process sees them, and the changes it has not saved yet. The caller
// (RegistryState) serialises every use under its lock.

#include <memory>
#include <span>
#include <string>

#include "platform/kernel/RegistryFolder.h"
#include "platform/kernel/RegistryJournal.h"
#include "platform/kernel/RegistryKey.h"
#include "platform/kernel/WinTypes.h"

namespace kernel {

class RegistryStore {
public:
    // `rootName` as the first caller wrote it; `fileName` from RegistryFolder::FileNameFor.
    RegistryStore(std::string rootName, std::string fileName);

    // Reads the file again when it changed since this process last read or wrote it, with the
    // changes not saved yet replayed on top. A damaged file is set aside and defaults are used.
    void Refresh();

    // The key at `path` below the root (the root for an empty path), or null.
    RegistryKey* Find(std::span<const std::string> path);
    // Makes the change in memory; it is written by the next Save.
    void Commit(RegistryChange change);
    // Merges the unsaved changes into the file as it is now and writes it. ERROR_SUCCESS when
    // there was nothing to save; ERROR_CANTWRITE when it could not be saved (changes kept).
    LONG Save();
    bool HasUnsavedChanges() const { return !journal_.Empty(); }

    // Handles open on keys of this root: the file is read again only while there are none.
    int openHandles = 0;

private:
    // False when the file is damaged and could not be set aside: it must not be overwritten.
    bool ReadTree(const RegistryFolder& folder, std::unique_ptr<RegistryKey>& tree, FileSignature& signature);
    void Replace(std::unique_ptr<RegistryKey> tree);
    LONG NotSaved(const std::string& what, int error);

    std::string rootName_;
    std::string fileName_;
    std::unique_ptr<RegistryKey> root_;  // null while the root key does not exist
    RegistryJournal journal_;
    FileSignature known_;  // of the file as last read or written
    bool warnedNotSaved_ = false;
};

}  // namespace kernel
