#pragma once
// The baseline transport of the channel benchmark: a Unix-domain stream socket in the abstract
// namespace, carrying the same frame (20-byte header whose last word is the payload length,
// then the payload) as the channel.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr std::int32_t kBenchEchoMessage = 1000;

class BenchSocket {
public:
    static BenchSocket Listen(const std::string& name);
    static BenchSocket Connect(const std::string& name);

    BenchSocket() = default;
    BenchSocket(BenchSocket&& other) noexcept;
    BenchSocket& operator=(BenchSocket&& other) noexcept;
    BenchSocket(const BenchSocket&) = delete;
    BenchSocket& operator=(const BenchSocket&) = delete;
    ~BenchSocket();

    bool Valid() const { return fd_ >= 0; }
    BenchSocket Accept() const;
    bool SendAll(const void* data, std::size_t size) const;
    // One framed message, header included, into `buffer`.
    bool ReceiveMessage(std::vector<char>& buffer) const;
    void Close();

private:
    explicit BenchSocket(int fd) : fd_(fd) {}
    bool ReceiveAll(void* data, std::size_t size) const;
    int fd_ = -1;
};
