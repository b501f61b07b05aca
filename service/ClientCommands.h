#pragma once
// Commands that ask a running service through the channel, as the viewer does: "status",
// "versions", "info", "read", "debug-path" and "clear". Human-readable output, or JSON with
// --json.

#include "service/CommandLine.h"

class ClientCommands {
public:
    static int Status(CommandLine& args);
    static int Versions(CommandLine& args);
    static int Info(CommandLine& args);
    static int Read(CommandLine& args);
    static int DebugPath(CommandLine& args);
    static int Clear(CommandLine& args);
};
