#include "service/DebugLogFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/kernel/UniqueFd.h"

namespace {

std::string Failure(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

// Opens the file for writing, creating it readable by everyone whatever the umask: the viewer,
// which usually runs as another user than the service, reads it itself.
kernel::UniqueFd OpenForWriting(const std::string& path, int flags) {
    kernel::UniqueFd fd(open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | flags, 0644));
    if (fd.Valid()) {
        fchmod(fd.Get(), 0644);
        return fd;
    }
    if (errno != EEXIST) return fd;
    return kernel::UniqueFd(open(path.c_str(), O_WRONLY | O_CLOEXEC | flags));
}

}  // namespace

DebugLogFile::DebugLogFile(const std::string& path) {
    std::error_code ignored;
    path_ = std::filesystem::absolute(path, ignored).lexically_normal().string();
    if (path_.empty()) path_ = path;
}

bool DebugLogFile::Append(const std::string& text, std::string& error) const {
    kernel::UniqueFd fd = OpenForWriting(path_, O_APPEND);
    const std::string line = text + "\n";
    // One write with O_APPEND: lines of concurrent writers do not interleave.
    if (!fd.Valid() || write(fd.Get(), line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
        error = Failure("cannot append to the debug log", path_);
        return false;
    }
    return true;
}

bool DebugLogFile::Clear(std::string& error) const {
    kernel::UniqueFd fd = OpenForWriting(path_, O_TRUNC);
    if (!fd.Valid()) {
        error = Failure("cannot clear the debug log", path_);
        return false;
    }
    return true;
}

std::uint32_t DebugLogFile::LineCount() const {
    kernel::UniqueFd fd(open(path_.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid()) return 0;
    std::uint32_t lines = 0;
    char buffer[65536];
    ssize_t n;
    char last = '\n';
    while ((n = read(fd.Get(), buffer, sizeof buffer)) > 0) {
        lines += static_cast<std::uint32_t>(std::count(buffer, buffer + n, '\n'));
        last = buffer[n - 1];
    }
    return lines + (last != '\n' ? 1 : 0);  // a last line without its line end counts too
}
