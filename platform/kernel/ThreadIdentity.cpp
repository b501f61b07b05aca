#include "platform/kernel/ThreadIdentity.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kernel {
namespace {

struct TaskStat {
    bool found = false;
    char state = '?';
    std::uint64_t startTime = 0;
};

// Reads state (field 3) and start time (field 22) of /proc/<tid>/stat. The command name in
// field 2 may hold spaces and parentheses, so fields are counted from its last ')'.
TaskStat ReadTaskStat(const char* path) {
    TaskStat result;
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return result;
    char buffer[1024];
    ssize_t n = read(fd, buffer, sizeof buffer - 1);
    close(fd);
    if (n <= 0) return result;
    buffer[n] = '\0';
    const char* p = std::strrchr(buffer, ')');
    if (!p) return result;
    ++p;
    int field = 2;
    while (*p && field < 22) {
        while (*p == ' ') ++p;
        ++field;
        if (field == 3) result.state = *p;
        if (field == 22) {
            result.startTime = std::strtoull(p, nullptr, 10);
            result.found = true;
            break;
        }
        while (*p && *p != ' ') ++p;
    }
    return result;
}

thread_local std::uint32_t tCurrentId = 0;
thread_local std::uint64_t tCurrentStamp = 0;

}  // namespace

std::uint32_t ThreadIdentity::CurrentId() {
    if (tCurrentId == 0) tCurrentId = static_cast<std::uint32_t>(syscall(SYS_gettid));
    return tCurrentId;
}

std::uint64_t ThreadIdentity::CurrentStamp() {
    if (tCurrentStamp == 0) {
        TaskStat stat = ReadTaskStat("/proc/thread-self/stat");
        tCurrentStamp = (std::uint64_t{CurrentId()} << 32) | (stat.startTime & 0xFFFFFFFFu);
    }
    return tCurrentStamp;
}

bool ThreadIdentity::Exists(std::uint32_t tid) {
    return tid != 0 && !(syscall(SYS_tkill, static_cast<pid_t>(tid), 0) == -1 && errno == ESRCH);
}

bool ThreadIdentity::IsGone(std::uint32_t tid, std::uint64_t stamp) {
    if (!Exists(tid)) return true;
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%u/stat", tid);
    TaskStat stat = ReadTaskStat(path);
    if (!stat.found) return false;                            // /proc hidden from us: the signal probe said it exists
    if (stat.state == 'Z' || stat.state == 'X') return true;  // ended, not yet reaped
    if ((stamp >> 32) == tid && (stat.startTime & 0xFFFFFFFFu) != (stamp & 0xFFFFFFFFu)) return true;
    return false;
}

}  // namespace kernel
