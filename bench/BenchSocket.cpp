#include "bench/BenchSocket.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <utility>

namespace {

constexpr std::size_t kHeaderSize = 20;

sockaddr_un AddressOf(const std::string& name, socklen_t& length) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string path = "quillbridge-bench-" + name;  // abstract: starts with a NUL
    std::size_t n = std::min(path.size(), sizeof address.sun_path - 2);
    std::memcpy(address.sun_path + 1, path.data(), n);
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
    return address;
}

}  // namespace

BenchSocket::BenchSocket(BenchSocket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

BenchSocket& BenchSocket::operator=(BenchSocket&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

BenchSocket::~BenchSocket() { Close(); }

void BenchSocket::Close() {
    if (fd_ >= 0) {
        shutdown(fd_, SHUT_RDWR);
        close(fd_);
    }
    fd_ = -1;
}

BenchSocket BenchSocket::Listen(const std::string& name) {
    BenchSocket s(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    socklen_t length;
    sockaddr_un address = AddressOf(name, length);
    if (!s.Valid() || bind(s.fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(s.fd_, 1) != 0)
        return BenchSocket();
    return s;
}

BenchSocket BenchSocket::Connect(const std::string& name) {
    BenchSocket s(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    socklen_t length;
    sockaddr_un address = AddressOf(name, length);
    if (!s.Valid() || connect(s.fd_, reinterpret_cast<sockaddr*>(&address), length) != 0) return BenchSocket();
    return s;
}

BenchSocket BenchSocket::Accept() const { return BenchSocket(accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC)); }

bool BenchSocket::SendAll(const void* data, std::size_t size) const {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = send(fd_, p, size, MSG_NOSIGNAL);
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool BenchSocket::ReceiveAll(void* data, std::size_t size) const {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        ssize_t n = recv(fd_, p, size, 0);
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool BenchSocket::ReceiveMessage(std::vector<char>& buffer) const {
    buffer.resize(kHeaderSize);
    if (!ReceiveAll(buffer.data(), kHeaderSize)) return false;
    std::uint32_t length;
    std::memcpy(&length, buffer.data() + 16, 4);
    buffer.resize(kHeaderSize + length);
    return ReceiveAll(buffer.data() + kHeaderSize, length);
}
