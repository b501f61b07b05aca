#include "platform/controls/DirectoryListing.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

bool ByName(const DirectoryListing::Entry& a, const DirectoryListing::Entry& b) {
    const int folded = strcasecmp(a.name.c_str(), b.name.c_str());
    return folded != 0 ? folded < 0 : a.name < b.name;
}

// Calls `each` with every pattern of a list separated by semicolons, blanks trimmed.
template <class F>
bool AnyPattern(const std::string& patterns, F each) {
    std::size_t start = 0;
    while (start <= patterns.size()) {
        std::size_t end = patterns.find(';', start);
        if (end == std::string::npos) end = patterns.size();
        std::string one = patterns.substr(start, end - start);
        one.erase(0, one.find_first_not_of(" \t"));
        one.erase(one.find_last_not_of(" \t") + 1);
        if (!one.empty() && each(one)) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

bool DirectoryListing::Read(const std::string& path) {
    path_ = path;
    folders_.clear();
    files_.clear();
    error_ = 0;
    std::unique_ptr<DIR, DirCloser> dir(opendir(path.c_str()));
    if (!dir) {
        error_ = errno;
        return false;
    }
    const int fd = dirfd(dir.get());
    errno = 0;
    while (const dirent* e = readdir(dir.get())) {
        if (e->d_name[0] == '.') continue;
        bool folder = e->d_type == DT_DIR;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            // Links count as what they point to; only these cost a look at the entry itself.
            struct stat st {};
            folder = fstatat(fd, e->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        (folder ? folders_ : files_).push_back(Entry{e->d_name, folder});
    }
    if (errno) {
        error_ = errno;
        folders_.clear();
        files_.clear();
        return false;
    }
    std::sort(folders_.begin(), folders_.end(), ByName);
    std::sort(files_.begin(), files_.end(), ByName);
    return true;
}

std::vector<const DirectoryListing::Entry*> DirectoryListing::Shown(const std::string& patterns) const {
    std::vector<const Entry*> shown;
    shown.reserve(folders_.size() + files_.size());
    for (const Entry& e : folders_) shown.push_back(&e);
    const bool all = TakesAll(patterns);
    for (const Entry& e : files_)
        if (all || Matches(e.name, patterns)) shown.push_back(&e);
    return shown;
}

bool DirectoryListing::Matches(const std::string& name, const std::string& patterns) {
    return AnyPattern(patterns, [&](const std::string& one) {
        if (one == "*.*") return true;
        return fnmatch(one.c_str(), name.c_str(), FNM_CASEFOLD | FNM_PERIOD) == 0;
    });
}

bool DirectoryListing::TakesAll(const std::string& patterns) {
    return AnyPattern(patterns, [](const std::string& one) { return one == "*.*" || one == "*"; });
}

std::string DirectoryListing::Resolve(const std::string& base, const std::string& path) {
    std::string whole;
    if (!path.empty() && path[0] == '/') {
        whole = path;
    } else if (path == "~" || path.rfind("~/", 0) == 0) {
        const char* home = std::getenv("HOME");
        whole = std::string(home ? home : "/") + "/" + path.substr(1);
    } else {
        whole = base + "/" + path;
    }
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= whole.size()) {
        std::size_t end = whole.find('/', start);
        if (end == std::string::npos) end = whole.size();
        const std::string part = whole.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out;
    for (const std::string& part : parts) out += "/" + part;
    return out.empty() ? "/" : out;
}

std::string DirectoryListing::Parent(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0) return "/";
    return path.substr(0, slash);
}

std::string DirectoryListing::Name(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool DirectoryListing::IsDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DirectoryListing::Exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

std::string DirectoryListing::Reason(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return "Access is denied.";
        case ENOENT:
            return "The system cannot find the path specified.";
        case ENOTDIR:
            return "The directory name is invalid.";
        default:
            return std::strerror(error);
    }
}
