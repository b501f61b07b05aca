// The far side of the channel benchmark: one process that echoes requests both through the
// service channel and through a Unix-domain socket, so that both are measured between the same
// two processes. Prints "ready"; ends at the end of its input.

#include <cstdio>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchSocket.h"
#include "channel/ServiceChannel.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    ServiceChannel service(argv[1]);
    if (service.CreateServiceObjects() != 0) return 3;
    service.SetHandler(kBenchEchoMessage,
                       [](std::int32_t, std::int32_t&, std::int32_t&, MessageBuffer&) { return true; });
    std::thread loop([&] { service.ServiceLoop(); });

    BenchSocket listener = BenchSocket::Listen(argv[1]);
    if (!listener.Valid()) return 4;
    std::printf("ready\n");
    std::fflush(stdout);
    std::thread echo([&] {
        BenchSocket connection = listener.Accept();
        std::vector<char> buffer;
        while (connection.ReceiveMessage(buffer) && connection.SendAll(buffer.data(), buffer.size())) {
        }
    });

    std::string ignored;
    while (std::getline(std::cin, ignored)) {
    }
    service.RequestStop();
    loop.join();
    listener.Close();  // ends a pending accept
    echo.join();
    return 0;
}
