#include "platform/kernel/RegistryFolder.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace kernel {
namespace {

constexpr char kFolderName[] = "quillbridge-log-viewer";
constexpr std::size_t kMaxFileName = 255;
// Another writer holds the lock for one read and one small write; much longer means it hangs.
constexpr auto kLockWaitLimit = std::chrono::seconds(10);

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

FileSignature SignatureOf(const std::string& path, const struct stat& st) {
    FileSignature s;
    s.path = path;
    s.exists = true;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.size = st.st_size;
    s.modified = st.st_mtim;
    s.changed = st.st_ctim;
    return s;
}

std::string HomeDirectory() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir &&
        found->pw_dir[0] == '/')
        return found->pw_dir;
    return {};
}

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

bool FileSignature::operator==(const FileSignature& other) const {
    if (path != other.path || exists != other.exists) return false;
    return !exists || (device == other.device && inode == other.inode && size == other.size &&
                       SameTime(modified, other.modified) && SameTime(changed, other.changed));
}

std::string RegistryFolder::Locate() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config && config[0] == '/') {
        base = config;
    } else {
        std::string home = HomeDirectory();
        if (home.empty()) return {};
        base = home + "/.config";
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/" + kFolderName;
}

std::string RegistryFolder::FileNameFor(std::string_view rootName) {
    static const char hex[] = "0123456789abcdef";
    std::string name;
    for (std::size_t i = 0; i < rootName.size(); ++i) {
        auto c = static_cast<unsigned char>(rootName[i]);
        if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + ('a' - 'A'));
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || (c == '.' && i > 0)) {
            name += static_cast<char>(c);
        } else if (c == ' ') {
            name += '-';
        } else {
            name += '%';
            name += hex[c >> 4];
            name += hex[c & 15];
        }
    }
    name += ".ini";
    // Room for the temporary and set-aside names made from it.
    return name.size() + 40 <= kMaxFileName ? name : std::string();
}

RegistryFolder::RegistryFolder(std::string directory, const std::string& fileName)
    : directory_(std::move(directory)), filePath_(directory_ + "/" + fileName), lockPath_(filePath_ + ".lock") {}

FileSignature RegistryFolder::Signature() const {
    struct stat st {};
    if (::stat(filePath_.c_str(), &st) != 0) return FileSignature{filePath_};
    return SignatureOf(filePath_, st);
}

bool RegistryFolder::Create() const {
    for (std::size_t slash = 1; slash != std::string::npos;) {
        slash = directory_.find('/', slash + 1);
        std::string prefix = directory_.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0700) == 0) {
            ::chmod(prefix.c_str(), 0700);  // whatever the umask
            continue;
        }
        if (errno != EEXIST) return false;
        struct stat st {};
        if (::stat(prefix.c_str(), &st) != 0) return false;
        if (!S_ISDIR(st.st_mode)) {
            errno = ENOTDIR;
            return false;
        }
    }
    return true;
}

UniqueFd RegistryFolder::Lock() const {
    UniqueFd fd(::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.Valid()) return fd;
    auto deadline = std::chrono::steady_clock::now() + kLockWaitLimit;
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        if (::flock(fd.Get(), LOCK_EX | LOCK_NB) == 0) return fd;
        if (errno != EWOULDBLOCK && errno != EINTR) return UniqueFd();
        if (std::chrono::steady_clock::now() >= deadline) {
            errno = ETIMEDOUT;
            return UniqueFd();
        }
        // flock cannot wait with a time-out; short pauses keep the wait bounded.
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
}

RegistryFolder::ReadResult RegistryFolder::Read(std::string& text, FileSignature& signature, int& error) const {
    text.clear();
    signature = FileSignature{filePath_};
    UniqueFd fd(::open(filePath_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.Valid()) {
        error = errno;
        // A folder that is missing or a file on the way: no file there either.
        return error == ENOENT || error == ENOTDIR ? ReadResult::Missing : ReadResult::Unreadable;
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) {
        error = errno;
        return ReadResult::Unreadable;
    }
    signature = SignatureOf(filePath_, st);
    if (!S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return ReadResult::Unreadable;
    }
    if (st.st_size > kMaxFileSize) return ReadResult::TooLarge;
    char buffer[16384];
    for (;;) {
        ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = errno;
            return ReadResult::Unreadable;
        }
        if (n == 0) return ReadResult::Read;
        // The file may grow while it is read.
        if (text.size() + static_cast<std::size_t>(n) > static_cast<std::size_t>(kMaxFileSize))
            return ReadResult::TooLarge;
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

bool RegistryFolder::SetAside(std::string& newPath) const {
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char stamp[64];
    std::strftime(stamp, sizeof stamp, ".damaged-%Y%m%d-%H%M%S", &utc);
    // rename() replaces what it finds: a file set aside earlier in the same second needs another name.
    for (int n = 1; n <= 100; ++n) {
        newPath = filePath_ + stamp + (n > 1 ? "-" + std::to_string(n) : std::string());
        struct stat st {};
        if (::lstat(newPath.c_str(), &st) == 0) continue;
        if (errno != ENOENT) return false;
        return ::rename(filePath_.c_str(), newPath.c_str()) == 0;
    }
    errno = EEXIST;
    return false;
}

bool RegistryFolder::Write(std::string_view text) const {
    std::string temporary = filePath_ + ".XXXXXX";
    int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, 0600) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temporary.c_str(), filePath_.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        errno = error;
        return false;
    }
    // The rename itself lasts only once the folder is synced.
    UniqueFd folder(::open(directory_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return folder.Valid() && ::fsync(folder.Get()) == 0;
}

}  // namespace kernel
