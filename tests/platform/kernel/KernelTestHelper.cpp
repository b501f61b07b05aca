// A second process for the kernel tests.
//   <type> <name>: creates an object ("mutex", "event", "section"), reports "ready", then follows
//     commands from stdin ("lock", "release", "set", "fill <byte>", "exit") until told to exit or
//     killed. "exit" leaves main with handles still open, as a program that forgot them would.
//   as-nobody <name>: as user nobody, tries to use the objects <name>-mutex, <name>-event and
//     <name>-section and prints one "<what> <last error>" line for each, then "end".

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "platform/kernel/FileMapping.h"
#include "platform/kernel/LastError.h"
#include "platform/kernel/Synchronization.h"
#include "tests/platform/kernel/KernelTestSupport.h"

namespace {

void Report(const char* what, bool ok) { std::printf("%s %u\n", what, ok ? 0u : GetLastError()); }

int AsNobody(const std::string& base) {
    if (setgid(65534) != 0 || setuid(65534) != 0) return 4;
    HANDLE mutex = CreateMutexA(nullptr, FALSE, (base + "-mutex").c_str());
    Report("create-mutex", mutex != nullptr);
    std::printf("probe-mutex %u\n", ProbeMutexA((base + "-mutex").c_str()));
    HANDLE event = OpenEventA(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, (base + "-event").c_str());
    Report("open-event", event != nullptr);
    Report("set-event", event != nullptr && SetEvent(event));
    HANDLE section = OpenFileMappingA(FILE_MAP_READ, FALSE, (base + "-section").c_str());
    Report("open-section", section != nullptr);
    std::printf("end\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    if (std::string(argv[1]) == "as-nobody") return AsNobody(argv[2]);
    std::string type = argv[1];
    const char* name = argv[2];
    OpenAttributes open;

    HANDLE object = nullptr;
    unsigned char* view = nullptr;
    if (type == "mutex") {
        object = CreateMutexA(open.Get(), FALSE, name);
    } else if (type == "event") {
        object = CreateEventA(open.Get(), FALSE, FALSE, name);
    } else if (type == "section") {
        object = CreateFileMappingA(INVALID_HANDLE_VALUE, open.Get(), PAGE_READWRITE, 0, 8192, name);
        if (object) view = static_cast<unsigned char*>(MapViewOfFile(object, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    }
    if (!object) return 3;
    std::printf("ready\n");
    std::fflush(stdout);

    std::string command;
    while (std::getline(std::cin, command)) {
        bool ok = true;
        if (command == "lock")
            ok = WaitForSingleObject(object, INFINITE) == WAIT_OBJECT_0;
        else if (command == "release")
            ok = ReleaseMutex(object);
        else if (command == "set")
            ok = SetEvent(object);
        else if (command.rfind("fill ", 0) == 0 && view)
            std::memset(view, std::stoi(command.substr(5)), 8192);
        else if (command == "exit")
            return 0;
        std::printf(ok ? "done\n" : "failed\n");
        std::fflush(stdout);
    }
    return 0;
}
