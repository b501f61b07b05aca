#include "platform/kernel/RegistryStore.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/kernel/RegistryFile.h"

namespace kernel {

RegistryStore::RegistryStore(std::string rootName, std::string fileName)
    : rootName_(std::move(rootName)), fileName_(std::move(fileName)) {}

void RegistryStore::Refresh() {
    std::string directory = RegistryFolder::Locate();
    if (directory.empty()) return;
    RegistryFolder folder(directory, fileName_);
    if (folder.Signature() == known_) return;
    // The lock keeps a writer from replacing the file while a damaged one is set aside. Without a
    // writable folder there is no lock, and no writer either.
    UniqueFd lock = folder.Lock();
    std::unique_ptr<RegistryKey> tree;
    FileSignature signature;
    ReadTree(folder, tree, signature);
    journal_.ApplyAll(rootName_, tree);
    Replace(std::move(tree));
    known_ = signature;
}

RegistryKey* RegistryStore::Find(std::span<const std::string> path) { return root_ ? root_->Find(path) : nullptr; }

void RegistryStore::Commit(RegistryChange change) {
    RegistryJournal::Apply(change, rootName_, root_);
    journal_.Record(std::move(change));
}

LONG RegistryStore::Save() {
    if (journal_.Empty()) return ERROR_SUCCESS;
    std::string directory = RegistryFolder::Locate();
    if (directory.empty()) return NotSaved("no home directory", 0);
    RegistryFolder folder(directory, fileName_);
    if (!folder.Create()) return NotSaved("cannot create " + directory, errno);
    UniqueFd lock = folder.Lock();
    if (!lock.Valid()) return NotSaved("cannot lock " + folder.FilePath(), errno);
    std::unique_ptr<RegistryKey> tree;
    FileSignature signature;
    if (!ReadTree(folder, tree, signature)) return NotSaved("the damaged file is kept", 0);
    journal_.ApplyAll(rootName_, tree);
    if (!folder.Write(RegistryFile::Format(tree.get()))) return NotSaved("cannot write " + folder.FilePath(), errno);
    known_ = folder.Signature();
    journal_.Clear();
    Replace(std::move(tree));
    warnedNotSaved_ = false;
    return ERROR_SUCCESS;
}

bool RegistryStore::ReadTree(const RegistryFolder& folder, std::unique_ptr<RegistryKey>& tree,
                             FileSignature& signature) {
    tree.reset();
    std::string text;
    int error = 0;
    auto result = folder.Read(text, signature, error);
    std::size_t badLine = 0;
    if (result == RegistryFolder::ReadResult::Missing) return true;
    if (result == RegistryFolder::ReadResult::Read && RegistryFile::Parse(text, rootName_, tree, badLine)) return true;

    std::string why = result == RegistryFolder::ReadResult::TooLarge ? "is too large"
                      : result == RegistryFolder::ReadResult::Unreadable
                          ? std::string("cannot be read (") + std::strerror(error) + ")"
                          : "is damaged at line " + std::to_string(badLine);
    std::string aside;
    if (folder.SetAside(aside)) {
        std::fprintf(stderr, "%s: settings file %s %s; set aside as %s, defaults are used\n",
                     program_invocation_short_name, folder.FilePath().c_str(), why.c_str(), aside.c_str());
        signature = FileSignature{folder.FilePath()};
        return true;
    }
    std::fprintf(stderr, "%s: settings file %s %s and cannot be set aside (%s); defaults are used\n",
                 program_invocation_short_name, folder.FilePath().c_str(), why.c_str(), std::strerror(errno));
    return false;
}

void RegistryStore::Replace(std::unique_ptr<RegistryKey> tree) {
    if (tree && root_) tree->AdoptSerials(*root_);
    root_ = std::move(tree);
}

LONG RegistryStore::NotSaved(const std::string& what, int error) {
    // Once until the next successful save: a read-only home must not fill the terminal.
    if (!warnedNotSaved_) {
        warnedNotSaved_ = true;
        std::fprintf(stderr, "%s: settings of \"%s\" not saved: %s%s%s\n", program_invocation_short_name,
                     rootName_.c_str(), what.c_str(), error ? ": " : "", error ? std::strerror(error) : "");
    }
    return ERROR_CANTWRITE;
}

}  // namespace kernel
