#pragma once
// Where the service keeps its logs unless told otherwise: $XDG_STATE_HOME/quillbridge
// (~/.local/state/quillbridge), or /var/lib/quillbridge for root.

#include <string>

class ServicePaths {
public:
    static std::string StateDirectory();
    static std::string DefaultDatabase();
    static std::string DefaultDebugLog();
    // Creates the state directory when a default path is used; false with `error` otherwise.
    static bool EnsureDirectoryOf(const std::string& path, std::string& error);
};
