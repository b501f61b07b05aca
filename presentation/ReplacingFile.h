#pragma once
// A file written beside its target and renamed over it only once every byte is written and on
// disk: a failed write (cannot create, disk full, short write) removes its temporary file and
// leaves what was at the target untouched. A replaced file keeps its permission bits.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/kernel/UniqueFd.h"

class ReplacingFile {
public:
    ReplacingFile();
    ~ReplacingFile();  // an uncommitted write leaves nothing behind
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file in the target's directory (a symbolic link's target's).
    bool Open(const std::string& path);
    // Buffered; false once anything has failed.
    bool Write(std::string_view bytes);
    // Writes what is buffered, syncs, and renames the file over the target.
    bool Commit();

    // The system's description of the first failure; empty while none.
    const std::string& Error() const { return error_; }

private:
    bool Flush();
    bool WriteOut(const char* bytes, std::size_t size);
    bool Fail(int error);
    bool Fail(std::string reason);
    void Discard();

    static constexpr std::size_t kBufferSize = 1 << 20;

    std::string target_;
    std::string temporary_;
    kernel::UniqueFd fd_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    bool failed_ = false;
    std::string error_;
};
