#include "tests/support/TempDirectory.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>

TempDirectory::TempDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/qbtest-XXXXXX";
    if (mkdtemp(pattern.data())) path_ = pattern;
    chmod(path_.c_str(), 0755);  // a helper running as another user may need to look in
}

TempDirectory::~TempDirectory() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}
