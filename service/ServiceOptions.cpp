#include "service/ServiceOptions.h"

#include <cstdio>

#include "channel/ServiceProtocol.h"
#include "service/ServicePaths.h"

namespace {

bool PathOption(CommandLine& args, const char* option, std::string (*fallback)(), std::string& path,
                std::string& error) {
    if (auto given = args.Value(option)) {
        path = *given;
        return true;
    }
    path = fallback();
    return ServicePaths::EnsureDirectoryOf(path, error);
}

}  // namespace

std::string ServiceOptions::Name(CommandLine& args) { return args.Value("name").value_or(kDefaultServiceName); }

bool ServiceOptions::Database(CommandLine& args, std::string& path, std::string& error) {
    return PathOption(args, "db", &ServicePaths::DefaultDatabase, path, error);
}

bool ServiceOptions::DebugLogPath(CommandLine& args, std::string& path, std::string& error) {
    return PathOption(args, "debug-log", &ServicePaths::DefaultDebugLog, path, error);
}

int ServiceOptions::CheckArguments(const CommandLine& args, std::size_t positionals) {
    std::string problem = args.Error();
    if (problem.empty()) problem = args.Unused();
    if (problem.empty() && args.Positional().size() > positionals)
        problem = "unexpected argument \"" + args.Positional()[positionals] + "\"";
    if (problem.empty()) return 0;
    return Fail(problem + " (quillbridge-service help lists the commands)", kExitUsage);
}

int ServiceOptions::Fail(const std::string& message, int code) {
    std::fprintf(stderr, "quillbridge-service: %s\n", message.c_str());
    return code;
}
