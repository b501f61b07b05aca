#include "bench/BenchService.h"

#include <signal.h>
#include <unistd.h>

#include "bench/CpuPinning.h"
#include "tests/support/RunProgram.h"

std::unique_ptr<BenchService> BenchService::Start(const std::vector<StoredRecord>& records, std::string& error,
                                                  Placement placement) {
    std::unique_ptr<BenchService> bench(new BenchService());
    {
        auto store = LogStore::Open(bench->dir_.File("log.sqlite"), error);
        if (!store || !store->Append(records, error)) {
            error = "cannot make the log: " + error;
            return nullptr;
        }
    }
    if (!bench->Serve(placement, error)) return nullptr;
    return bench;
}

std::unique_ptr<BenchService> BenchService::StartDemo(std::uint32_t records, std::string& error,
                                                      Placement placement) {
    std::unique_ptr<BenchService> bench(new BenchService());
    const ProgramResult demo = RunProgram(
        {QB_SERVICE_BINARY, "demo", std::to_string(records), "--db", bench->dir_.File("log.sqlite"), "--seed", "1"});
    if (demo.exitCode != 0) {
        error = "cannot make the log: " + demo.err;
        return nullptr;
    }
    if (!bench->Serve(placement, error)) return nullptr;
    return bench;
}

bool BenchService::Serve(Placement placement, std::string& error) {
    name_ = "qbbench" + std::to_string(getpid());
    // One CPU for each process (see channel_bench); the service inherits CPU 1.
    const bool pinned = placement == Placement::PinnedApart && CanPinApart() && RunOn(1);
    service_ = std::make_unique<ChildProcess>(std::vector<std::string>{
        QB_SERVICE_BINARY, "serve", "--db", dir_.File("log.sqlite"), "--debug-log", dir_.File("debug.log"), "--name",
        name_});
    if (pinned) RunOn(0);
    channel_ = std::make_unique<ServiceChannel>(name_.c_str());
    std::string line;
    if (!service_->ReadLine(line) || !channel_->IsServiceRunning() || channel_->Connect(SYNCHRONIZE) != 1) {
        error = "the service did not start";
        return false;
    }
    return true;
}

BenchService::~BenchService() {
    if (service_) service_->Kill(SIGTERM);
}
