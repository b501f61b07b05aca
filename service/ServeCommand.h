#pragma once
// "serve": runs the service in the foreground until SIGINT or SIGTERM.

#include "service/CommandLine.h"

class ServeCommand {
public:
    static int Run(CommandLine& args);
    // "X.Y.Z" packed; false for anything else or a part out of range (255, 255, 65535).
    static bool ParseVersion(const std::string& text, std::uint32_t& packed);
};
