#pragma once
// The arguments of one quillbridge-service command: positional words, "--option value" (or
// "--option=value") and "--flag". Options that a command never asks for are reported.

#include <optional>
#include <set>
#include <string>
#include <vector>

enum ExitCode : int {
    kExitOk = 0,
    kExitError = 1,
    kExitUsage = 2,
    kExitNotRunning = 3,
    kExitAlreadyRunning = 4,
};

class CommandLine {
public:
    // Options that take a value; every other "--word" is a flag.
    static const std::set<std::string>& ValueOptions();

    explicit CommandLine(std::vector<std::string> args);

    // A malformed argument list ("--db" without its value, an empty path, "--json=yes"); empty
    // when fine.
    const std::string& Error() const { return error_; }
    const std::vector<std::string>& Positional() const { return positional_; }
    bool Flag(const std::string& name);
    std::optional<std::string> Value(const std::string& name);
    // An option that was given but not asked for by the command, as a message; empty if none.
    std::string Unused() const;

private:
    std::vector<std::string> positional_;
    std::vector<std::pair<std::string, std::optional<std::string>>> options_;
    std::set<std::string> used_;
    std::string error_;
};
