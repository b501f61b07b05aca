#pragma once
// The debug log: a plain text file, one line per entry. The service hands its path to the viewer,
// which reads the file itself.

#include <cstdint>
#include <string>

class DebugLogFile {
public:
    // `path` is made absolute: the viewer reads it from its own working directory.
    explicit DebugLogFile(const std::string& path);

    const std::string& Path() const { return path_; }
    // Appends `text` and a line end, creating the file when missing.
    bool Append(const std::string& text, std::string& error) const;
    // Empties the file (creating it when missing).
    bool Clear(std::string& error) const;
    // Lines in the file; 0 when it does not exist.
    std::uint32_t LineCount() const;

private:
    std::string path_;
};
