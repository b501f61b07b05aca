#pragma once
// quillbridge-service for tests: its command line, and a service on a fresh log of its own.

#include <signal.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TempDirectory.h"
#include "tests/support/TestNames.h"

// The service's command line on the given arguments (and input).
inline ProgramResult Cli(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), QB_SERVICE_BINARY);
    return RunProgram(args, input);
}

// A log in a fresh directory, and a service name of its own.
struct ServiceFixture {
    TempDirectory dir;
    std::string name = UniqueName("svc");
    std::string db = dir.File("log.sqlite");
    std::string debugLog = dir.File("debug.log");
    std::unique_ptr<ChildProcess> service;

    ~ServiceFixture() {
        if (service) Stop();
    }

    // Starts "serve" and waits until it serves.
    bool Start(std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {QB_SERVICE_BINARY, "serve",  "--db",   db,
                                         "--debug-log",     debugLog, "--name", name};
        args.insert(args.end(), extra.begin(), extra.end());
        service = std::make_unique<ChildProcess>(args);
        std::string line;
        return service->Started() && service->ReadLine(line) && line.rfind("quillbridge-service: serving", 0) == 0;
    }
    int Stop() {
        service->Kill(SIGTERM);
        return service->Wait();  // a second Stop finds it reaped and gives its code again
    }
    // JSON lines of records with descriptions "<prefix><i>" for i in [from, to).
    static std::string Lines(const std::string& prefix, int from, int to) {
        std::string text;
        for (int i = from; i < to; ++i)
            text += R"({"level":"info","source":"engine","description":")" + prefix + std::to_string(i) + "\"}\n";
        return text;
    }
    bool Import(const std::string& lines) { return Cli({"import", "-", "--db", db}, lines).exitCode == 0; }
};
