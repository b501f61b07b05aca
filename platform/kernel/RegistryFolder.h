#pragma once
// Where the settings files live and how they are read, locked, set aside and replaced. A file is
// replaced whole through a temporary file in the same folder, so that a reader (or a crash) sees
// either the old text or the new one; writers take turns through an advisory lock on a lock file.

#include <sys/types.h>

#include <ctime>
#include <string>
#include <string_view>

#include "platform/kernel/UniqueFd.h"

namespace kernel {

// What a file was when last looked at; a file replaced or rewritten since compares different.
struct FileSignature {
    std::string path;
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const FileSignature& other) const;
};

class RegistryFolder {
public:
    // Larger files are not settings of ours.
    static constexpr off_t kMaxFileSize = 16 << 20;

    enum class ReadResult { Missing, Read, Unreadable, TooLarge };

    // $XDG_CONFIG_HOME/quillbridge-log-viewer, with ~/.config when the variable is unset or not an
    // absolute path; empty when there is no home either.
    static std::string Locate();
    // The file name for a settings root: lower case, spaces as '-', other characters but letters,
    // digits, '_' and an inner '.' as %XX, then ".ini"; empty when that is too long a name.
    static std::string FileNameFor(std::string_view rootName);

    RegistryFolder(std::string directory, const std::string& fileName);

    const std::string& Directory() const { return directory_; }
    const std::string& FilePath() const { return filePath_; }
    FileSignature Signature() const;

    // Makes the folder and its missing parents with mode 0700. False with errno set.
    bool Create() const;
    // Waits (a bounded time) for the exclusive lock shared by every process that writes this
    // file; an invalid descriptor, with errno set, when it cannot be had. Closing it unlocks.
    UniqueFd Lock() const;
    // The file's text and what it was when read. Reading does not wait on a named pipe.
    ReadResult Read(std::string& text, FileSignature& signature, int& error) const;
    // Renames the file to <file>.damaged-<UTC time>[-<n>]. False with errno set.
    bool SetAside(std::string& newPath) const;
    // Replaces the file with `text` (mode 0600), synced to disk with its folder. False with errno set.
    bool Write(std::string_view text) const;

private:
    std::string directory_;
    std::string filePath_;
    std::string lockPath_;
};

}  // namespace kernel
