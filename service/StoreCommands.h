#pragma once
// Commands that write into the logs directly, whether the service runs or not: "log",
// "import", "demo" and "debug-log append".

#include "service/CommandLine.h"

class StoreCommands {
public:
    static int Log(CommandLine& args);
    static int Import(CommandLine& args);
    static int Demo(CommandLine& args);
    static int DebugLogAppend(CommandLine& args);
};
