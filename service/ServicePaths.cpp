#include "service/ServicePaths.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

std::string ServicePaths::StateDirectory() {
    if (geteuid() == 0) return "/var/lib/quillbridge";
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && *state == '/') return std::string(state) + "/quillbridge";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.local/state/quillbridge";
}

std::string ServicePaths::DefaultDatabase() { return StateDirectory() + "/quillbridge-log.sqlite"; }

std::string ServicePaths::DefaultDebugLog() { return StateDirectory() + "/debug.log"; }

bool ServicePaths::EnsureDirectoryOf(const std::string& path, std::string& error) {
    const std::filesystem::path directory = std::filesystem::path(path).parent_path();
    if (directory.empty()) return true;
    std::error_code ec;
    std::filesystem::create_directories(directory, ec);
    if (ec) {
        error = "cannot create the directory " + directory.string() + ": " + ec.message();
        return false;
    }
    return true;
}
