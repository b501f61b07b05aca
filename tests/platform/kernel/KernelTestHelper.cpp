// A second process for the kernel tests: creates an object, reports "ready", then follows
// commands from stdin ("lock", "release", "set", "fill <byte>", "exit") until told to exit or
// killed. "exit" leaves main with handles still open, as a program that forgot them would.

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "platform/kernel/FileMapping.h"
#include "platform/kernel/Synchronization.h"
#include "tests/platform/kernel/KernelTestSupport.h"

int main(int argc, char** argv) {
    if (argc < 3) return 2;
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
        if (command == "lock") ok = WaitForSingleObject(object, INFINITE) == WAIT_OBJECT_0;
        else if (command == "release") ok = ReleaseMutex(object);
        else if (command == "set") ok = SetEvent(object);
        else if (command.rfind("fill ", 0) == 0 && view) std::memset(view, std::stoi(command.substr(5)), 8192);
        else if (command == "exit") return 0;
        std::printf(ok ? "done\n" : "failed\n");
        std::fflush(stdout);
    }
    return 0;
}
