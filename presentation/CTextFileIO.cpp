#include "presentation/CTextFileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>
#include <utility>

#include "platform/kernel/UniqueFd.h"
#include "presentation/FileDialogRequest.h"
#include "presentation/ReplacingFile.h"

namespace {

constexpr std::size_t kMaxErrorText = 255;

}  // namespace

CTextFileIO::CTextFileIO(std::string defaultExtension, std::string lineEnd)
    : defaultExtension_(std::move(defaultExtension)), lineEnd_(std::move(lineEnd)) {}

bool CTextFileIO::ReadText(const std::string& requestedPath, std::string& text) {
    text.clear();
    errorText_.clear();
    std::string path = requestedPath;
    if (path.empty() && !AskPath(false, path)) return false;

    // Non-blocking, so that opening a pipe returns at once and is then refused.
    kernel::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.Valid()) return Fail(std::strerror(errno));
    struct stat status {};
    if (::fstat(fd.Get(), &status) != 0) return Fail(std::strerror(errno));
    if (S_ISDIR(status.st_mode)) return Fail(std::strerror(EISDIR));
    if (!S_ISREG(status.st_mode)) return Fail("Not a regular file");
    const auto size = static_cast<std::uint64_t>(status.st_size);
    if (size > kMaxReadBytes) return Fail(std::strerror(EFBIG));

    std::string bytes(static_cast<std::size_t>(size), '\0');
    std::size_t have = 0;
    while (have < bytes.size()) {
        const ssize_t got = ::read(fd.Get(), bytes.data() + have, bytes.size() - have);
        if (got < 0) {
            if (errno == EINTR) continue;
            return Fail(std::strerror(errno));
        }
        if (got == 0) break;  // shrunk meanwhile
        have += static_cast<std::size_t>(got);
    }
    bytes.resize(have);

    std::string_view rest(bytes);
    text.reserve(bytes.size() + bytes.size() / 16);
    while (!rest.empty()) {
        const auto feed = rest.find('\n');
        std::string_view line = rest.substr(0, feed);
        rest.remove_prefix(feed == std::string_view::npos ? rest.size() : feed + 1);
        if (feed != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        text.append(line);
        text.append(lineEnd_);
    }
    return true;
}

bool CTextFileIO::WriteText(const std::string& requestedPath, const std::string& text) {
    errorText_.clear();
    std::string path = requestedPath;
    if (path.empty() && !AskPath(true, path)) return false;
    ReplacingFile file;
    if (!file.Open(path) || !file.Write(text) || !file.Commit()) return Fail(file.Error());
    return true;
}

bool CTextFileIO::AskPath(bool save, std::string& path) const {
    return FileDialogRequest::ForTextFile(save, defaultExtension_).Ask(path);
}

bool CTextFileIO::Fail(std::string reason) {
    if (reason.size() > kMaxErrorText) reason.resize(kMaxErrorText);
    errorText_ = std::move(reason);
    return false;
}
