#include "presentation/ReplacingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>
#include <utility>

namespace {

// The file that a path finally names: a symbolic link is replaced in its target's place, not
// turned into a plain file.
std::string ResolvedTarget(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

ReplacingFile::ReplacingFile() = default;

ReplacingFile::~ReplacingFile() { Discard(); }

bool ReplacingFile::Open(const std::string& path) {
    Discard();
    failed_ = false;
    error_.clear();
    used_ = 0;
    if (path.empty()) return Fail(ENOENT);
    target_ = ResolvedTarget(path);

    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) return Fail(EISDIR);
    // A pipe or device would be swapped for a plain file, or block the caller.
    if (exists && !S_ISREG(existing.st_mode)) return Fail(std::string("Not a regular file"));

    const std::string directory = DirectoryOf(target_);
    const auto slash = target_.rfind('/');
    const std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = directory + "/." + name + "." + std::to_string(random() % 1000000) + ".tmp";
        // 0666 under the umask: a new file gets the permissions any new file would.
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return Fail(errno);
        }
        fd_.Reset(fd);
        temporary_ = candidate;
        break;
    }
    if (!fd_.Valid()) return Fail(EEXIST);
    if (exists) {
        // Ownership is kept where allowed; failing that, the file is still the writer's own.
        [[maybe_unused]] const int owned = ::fchown(fd_.Get(), existing.st_uid, existing.st_gid);
        if (::fchmod(fd_.Get(), existing.st_mode & 07777) != 0) return Fail(errno);
    }
    if (!buffer_) buffer_ = std::make_unique<char[]>(kBufferSize);
    return true;
}

bool ReplacingFile::Write(std::string_view bytes) {
    if (failed_ || !fd_.Valid()) return false;
    if (used_ + bytes.size() > kBufferSize) {
        if (!Flush()) return false;
        if (bytes.size() >= kBufferSize) return WriteOut(bytes.data(), bytes.size());
    }
    std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
    return true;
}

bool ReplacingFile::Commit() {
    if (failed_ || !fd_.Valid()) return false;
    if (!Flush()) return false;
    // Once synced, every write error has been reported; closing cannot lose bytes any more.
    if (::fsync(fd_.Get()) != 0) return Fail(errno);
    fd_.Reset();
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) return Fail(errno);
    temporary_.clear();
    // The new name lasts only once the directory is synced; the file is in place either way.
    kernel::UniqueFd directory(::open(DirectoryOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.Valid()) ::fsync(directory.Get());
    return true;
}

bool ReplacingFile::Flush() {
    const std::size_t size = std::exchange(used_, 0);
    return WriteOut(buffer_.get(), size);
}

bool ReplacingFile::WriteOut(const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd_.Get(), bytes, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return Fail(errno);
        }
        if (written == 0) return Fail(ENOSPC);
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool ReplacingFile::Fail(int error) { return Fail(std::string(std::strerror(error))); }

bool ReplacingFile::Fail(std::string reason) {
    if (!failed_) error_ = std::move(reason);
    failed_ = true;
    Discard();
    return false;
}

void ReplacingFile::Discard() {
    fd_.Reset();
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
    used_ = 0;
}
