#include "bench/BenchService.h"

#include <signal.h>
#include <unistd.h>

#include "bench/CpuPinning.h"

std::unique_ptr<BenchService> BenchService::Start(const std::vector<StoredRecord>& records, std::string& error) {
    std::unique_ptr<BenchService> bench(new BenchService());
    const std::string db = bench->dir_.File("log.sqlite");
    {
        auto store = LogStore::Open(db, error);
        if (!store || !store->Append(records, error)) {
            error = "cannot make the log: " + error;
            return nullptr;
        }
    }
    const std::string name = "qbbench" + std::to_string(getpid());
    // One CPU for each process (see channel_bench); the service inherits CPU 1.
    const bool pinned = CanPinApart() && RunOn(1);
    bench->service_ = std::make_unique<ChildProcess>(std::vector<std::string>{
        QB_SERVICE_BINARY, "serve", "--db", db, "--debug-log", bench->dir_.File("debug.log"), "--name", name});
    if (pinned) RunOn(0);
    bench->channel_ = std::make_unique<ServiceChannel>(name.c_str());
    std::string line;
    if (!bench->service_->ReadLine(line) || !bench->channel_->IsServiceRunning() ||
        bench->channel_->Connect(SYNCHRONIZE) != 1) {
        error = "the service did not start";
        return nullptr;
    }
    return bench;
}

BenchService::~BenchService() {
    if (service_) service_->Kill(SIGTERM);
}
