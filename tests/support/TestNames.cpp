#include "tests/support/TestNames.h"

#include <dirent.h>
#include <unistd.h>

#include <atomic>

#include "platform/kernel/ObjectNamespace.h"

std::string UniqueName(const std::string& label) {
    static std::atomic<int> counter{0};
    return "qbt" + std::to_string(getpid()) + "x" + std::to_string(counter++) + "-" + label;
}

std::vector<std::string> GlobalObjectsStartingWith(const std::string& prefix) {
    std::vector<std::string> found;
    DIR* dir = opendir(kernel::ObjectNamespace::kGlobalDirectory);
    if (!dir) return found;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) == 0) found.push_back(name);
    }
    closedir(dir);
    return found;
}
