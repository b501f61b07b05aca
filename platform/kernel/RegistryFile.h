#pragma once
// The text of a settings file: one [section] per key below HKEY_CURRENT_USER, one line per value.
// docs/settings-on-linux.md describes it; what is written always reads back to the same bytes.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/kernel/RegistryKey.h"

namespace kernel {

class RegistryFile {
public:
    // The text for the key Software\<root> (named root.Name()) and everything below it; a null
    // root, a deleted one, gives a file without sections.
    static std::string Format(const RegistryKey* root);

    // Reads a file of the settings root `rootName` into `root` (null when it has no section).
    // False for a text that is not such a file, with the number of the first bad line.
    static bool Parse(std::string_view text, std::string_view rootName, std::unique_ptr<RegistryKey>& root,
                      std::size_t& badLine);
};

}  // namespace kernel
