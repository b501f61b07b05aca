#pragma once
// The reference service for a benchmark: a log of the given records (or of the service's own
// demo records) in a temporary directory, served under a name of its own, and a connected
// channel. Pinned apart, the service runs on CPU 1 and the benchmark on CPU 0; anywhere, both go
// where the scheduler puts them, as the programs do.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "channel/ServiceChannel.h"
#include "service/LogStore.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDirectory.h"

class BenchService {
public:
    enum class Placement { PinnedApart, Anywhere };

    // Null, with `error` said, when the log cannot be made or the service does not answer.
    static std::unique_ptr<BenchService> Start(const std::vector<StoredRecord>& records, std::string& error,
                                               Placement placement = Placement::PinnedApart);
    // A log of `records` demo records made by the service's command line, so that this process
    // never holds them.
    static std::unique_ptr<BenchService> StartDemo(std::uint32_t records, std::string& error,
                                                   Placement placement = Placement::PinnedApart);
    ~BenchService();

    ServiceChannel& Channel() { return *channel_; }
    const std::string& Name() const { return name_; }

private:
    BenchService() = default;
    bool Serve(Placement placement, std::string& error);

    TempDirectory dir_;
    std::string name_;
    std::unique_ptr<ChildProcess> service_;
    std::unique_ptr<ServiceChannel> channel_;
};
