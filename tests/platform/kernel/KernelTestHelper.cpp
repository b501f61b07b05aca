// A second process for the kernel tests.
//   <type> <name> [private]: creates an object ("mutex", "event", "section"; open to every user
//     unless "private"), reports "ready", then follows commands from stdin ("lock", "release",
//     "set", "fill <byte>", "exit") until told to exit or killed. "exit" leaves main with handles
//     still open, as a program that forgot them would.
//   as-nobody <name>: as user nobody, tries to use the objects <name>-mutex, <name>-event and
//     <name>-section and prints one "<what> <last error>" line for each, then "end".
//   as-user <uid> <arguments>: the rest, as that user.
//   open <type> <name>: prints "open <last error>" of opening the object.
//   create <type> <name>: prints "create <last error>" of creating it open to every user, and ends.
//   unlink <name> | rename <name>: prints "<what> <errno>" of removing the object's file, or of
//     moving another file over it.
//   owned <name>: prints "owned <TRUE|FALSE> <last error>" of IsMutexOwnedA.
//   no-waitv <errno>: with futex_waitv refused by a seccomp filter, prints "available <0|1>",
//     "timeout <wait result> <thread CPU ms>" for a 500 ms wait on two events, and "any <wait
//     result>" for a wait that the second event ends.

#include <fcntl.h>
#include <grp.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/kernel/FileMapping.h"
#include "platform/kernel/Futex.h"
#include "platform/kernel/LastError.h"
#include "platform/kernel/ObjectNamespace.h"
#include "platform/kernel/Synchronization.h"
#include "platform/kernel/UniqueHandle.h"
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

HANDLE OpenObject(const std::string& type, const std::string& name) {
    if (type == "mutex") return OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
    if (type == "event") return OpenEventA(SYNCHRONIZE, FALSE, name.c_str());
    return OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
}

HANDLE CreateObject(const std::string& type, const std::string& name, const SECURITY_ATTRIBUTES* security) {
    if (type == "mutex") return CreateMutexA(security, FALSE, name.c_str());
    if (type == "event") return CreateEventA(security, FALSE, FALSE, name.c_str());
    return CreateFileMappingA(INVALID_HANDLE_VALUE, security, PAGE_READWRITE, 0, 8192, name.c_str());
}

std::string FileOf(const std::string& name) {
    return std::string(kernel::ObjectNamespace::kGlobalDirectory) + "/" + name.substr(std::strlen("Global\\"));
}

int RefuseVectoredWait(int error) {
#if defined(__x86_64__)
    constexpr std::uint32_t kArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
    constexpr std::uint32_t kArch = AUDIT_ARCH_AARCH64;
#endif
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kArch, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, 449, 0, 1),  // futex_waitv
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (static_cast<std::uint32_t>(error) & SECCOMP_RET_DATA)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, 0, &program) != 0)
        return 4;
    UniqueHandle a(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    UniqueHandle b(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    const HANDLE both[2] = {a.Get(), b.Get()};
    timespec before{}, after{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &before);
    const DWORD timedOut = WaitForMultipleObjects(2, both, FALSE, 500);
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &after);
    const long cpuMs = (after.tv_sec - before.tv_sec) * 1000 + (after.tv_nsec - before.tv_nsec) / 1000000;
    std::printf("available %d\n", kernel::Futex::VectoredWaitAvailable() ? 1 : 0);
    std::printf("timeout %u %ld\n", timedOut, cpuMs);
    std::thread setter([&] {
        // Most likely while the waiter naps; the result is the same either way.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        SetEvent(b.Get());
    });
    std::printf("any %u\n", WaitForMultipleObjects(2, both, FALSE, 60000));
    setter.join();
    return 0;
}

int Hold(const std::string& type, const std::string& name, bool openToAll) {
    OpenAttributes open;
    HANDLE object = CreateObject(type, name, openToAll ? open.Get() : nullptr);
    unsigned char* view = nullptr;
    if (object && type == "section") view = static_cast<unsigned char*>(MapViewOfFile(object, FILE_MAP_ALL_ACCESS, 0, 0, 0));
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

int Run(const std::vector<std::string>& args) {
    if (args.size() < 2) return 2;
    const std::string& what = args[0];
    if (what == "as-nobody") return AsNobody(args[1]);
    if (what == "as-user") {
        const auto id = static_cast<uid_t>(std::stoul(args[1]));
        if (setgroups(0, nullptr) != 0 || setgid(id) != 0 || setuid(id) != 0) return 4;
        return Run(std::vector<std::string>(args.begin() + 2, args.end()));
    }
    if (what == "no-waitv") return RefuseVectoredWait(std::stoi(args[1]));
    if (what == "owned") {
        const BOOL owned = IsMutexOwnedA(args[1].c_str());
        std::printf("owned %d %u\n", owned, GetLastError());
        return 0;
    }
    if (what == "unlink" || what == "rename") {
        const std::string path = FileOf(args[1]);
        int result = 0;
        if (what == "unlink") {
            result = unlink(path.c_str());
        } else {
            const std::string other = path + "-replacement";
            close(open(other.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0666));
            result = rename(other.c_str(), path.c_str());
            unlink(other.c_str());
        }
        std::printf("%s %d\n", what.c_str(), result == 0 ? 0 : errno);
        return 0;
    }
    if (args.size() < 3 && (what == "open" || what == "create")) return 2;
    if (what == "open") {
        UniqueHandle object(OpenObject(args[1], args[2]));
        std::printf("open %u\n", object ? 0u : GetLastError());
        return 0;
    }
    if (what == "create") {
        OpenAttributes open;
        UniqueHandle object(CreateObject(args[1], args[2], open.Get()));
        std::printf("create %u\n", GetLastError());
        return 0;
    }
    return Hold(what, args[1], args.size() < 3 || args[2] != "private");
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    return Run(std::vector<std::string>(argv + 1, argv + argc));
}
