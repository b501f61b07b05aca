#include "service/ServeCommand.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

#include "channel/ServiceProtocol.h"
#include "channel/Trace.h"
#include "platform/kernel/ObjectNamespace.h"
#include "service/QuillbridgeService.h"
#include "service/ServiceOptions.h"

namespace {

void TraceToStderr(const char* line) { std::fputs(line, stderr); }

// Why a channel object could not be made, as an administrator can act on it.
std::string CreateFailure(const ServiceChannel& channel, const std::string& name) {
    const std::string object = "\"" + channel.FailedObject() + "\"";
    // Appended, not added: GCC 12 misreads " in " + directory on a fresh string as an overflow.
    std::string where = " in ";
    where += kernel::ObjectNamespace::kGlobalDirectory;
    switch (channel.FailedError()) {
        case ERROR_FILENAME_EXCED_RANGE:
            return "the service name \"" + name + "\" is too long: its objects' names, such as " + object +
                   ", may take at most 255 bytes once escaped";
        case ERROR_INVALID_NAME:
            return "the service name \"" + name + "\" cannot name objects (it may not hold a backslash)";
        case ERROR_DIRECTORY:
            return "a directory stands at the name of the channel object " + object + where;
        case ERROR_CANT_RESOLVE_FILENAME:
            return "a symbolic link stands at the name of the channel object " + object + where;
        case ERROR_BAD_FILE_TYPE:
        case ERROR_INVALID_HANDLE:
            return "something that is not a channel object of that kind stands at the name " + object + where;
        case ERROR_ACCESS_DENIED:
            return "the channel object " + object + " belongs to another user" + where;
        case ERROR_FILE_CORRUPT:
            return "the channel object " + object + " was damaged by another process (its file was shrunk)";
        default:
            return "cannot create the service's channel object " + object + " (error " +
                   std::to_string(channel.FailedError()) + ")";
    }
}

}  // namespace

bool ServeCommand::ParseVersion(const std::string& text, std::uint32_t& packed) {
    unsigned major, minor, patch;
    char tail;
    if (std::sscanf(text.c_str(), "%u.%u.%u%c", &major, &minor, &patch, &tail) != 3 || major > 255 || minor > 255 ||
        patch > 65535 || text.find_first_of("+- ") != std::string::npos)
        return false;
    packed = PackVersion(major, minor, patch);
    return true;
}

int ServeCommand::Run(CommandLine& args) {
    ServiceSettings settings;
    std::string error;
    settings.name = ServiceOptions::Name(args);
    if (!ServiceOptions::Database(args, settings.databasePath, error) ||
        !ServiceOptions::DebugLogPath(args, settings.debugLogPath, error))
        return ServiceOptions::Fail(error, kExitError);
    const std::string serviceVersion = args.Value("service-version").value_or(QB_VERSION);
    const std::string coreVersion = args.Value("core-version").value_or(QB_VERSION);
    if (!ParseVersion(serviceVersion, settings.serviceVersion) || !ParseVersion(coreVersion, settings.coreVersion))
        return ServiceOptions::Fail("versions are given as X.Y.Z (at most 255.255.65535)", kExitUsage);
    if (args.Flag("verbose")) SetDiagnosticSink(&TraceToStderr);
    if (int bad = ServiceOptions::CheckArguments(args, 0)) return bad;

    auto store = LogStore::Open(settings.databasePath, error);
    if (!store) return ServiceOptions::Fail(error, kExitError);
    // Reading ahead is only faster: without its connection the service reads as asked.
    auto readAheadStore = LogStore::Open(settings.databasePath, error);
    QuillbridgeService service(std::move(settings), std::move(store), std::move(readAheadStore));

    // SIGINT and SIGTERM are taken by one thread, which asks the service loop to stop; every
    // other thread has them blocked.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    switch (service.Start()) {
        case QuillbridgeService::StartResult::AlreadyRunning:
            return ServiceOptions::Fail("a service named \"" + service.Settings().name + "\" is already running",
                                        kExitAlreadyRunning);
        case QuillbridgeService::StartResult::Failed:
            return ServiceOptions::Fail(CreateFailure(service.Channel(), service.Settings().name), kExitError);
        case QuillbridgeService::StartResult::Started:
            break;
    }
    std::thread signals([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        service.Stop();
    });
    std::printf("quillbridge-service: serving \"%s\" (log %s, debug log %s)\n", service.Settings().name.c_str(),
                service.Settings().databasePath.c_str(), service.Settings().debugLogPath.c_str());
    std::fflush(stdout);
    const int result = service.Run();
    kill(getpid(), SIGTERM);  // releases the signal thread if the loop ended by itself
    signals.join();
    std::printf("quillbridge-service: stopped\n");
    if (result == 0) return kExitOk;
    if (service.Channel().FailedError() == ERROR_FILE_CORRUPT)
        return ServiceOptions::Fail("another process damaged the channel's objects (it shrank their files); "
                                    "start the service again once the clients that hold them have ended",
                                    kExitError);
    return ServiceOptions::Fail("the service loop failed (error " + std::to_string(service.Channel().FailedError()) + ")",
                                kExitError);
}
