#pragma once
// The options that several commands share (--name, --db, --debug-log, --json) and the common
// ways of ending a command.

#include <string>

#include "service/CommandLine.h"

class ServiceOptions {
public:
    static std::string Name(CommandLine& args);
    // The database path: --db, or the default one (whose directory is then created).
    static bool Database(CommandLine& args, std::string& path, std::string& error);
    static bool DebugLogPath(CommandLine& args, std::string& path, std::string& error);
    // kExitUsage with a message when the arguments are malformed, carry an option the command
    // does not know, or hold other than `positionals` positional words; else 0.
    static int CheckArguments(const CommandLine& args, std::size_t positionals);
    // Prints "quillbridge-service: <message>" on stderr and returns `code`.
    static int Fail(const std::string& message, int code);
};
