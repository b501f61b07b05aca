#pragma once
// Reads and writes a text file in one go: the debug log's refresh reads the file the service
// names, its export writes the text box's bytes. An empty path asks the user for one.

#include <cstdint>
#include <string>

class CTextFileIO {
public:
    CTextFileIO(std::string defaultExtension, std::string lineEnd);

    // Every line of the file, each followed by the line end: a line ends at a line feed, which
    // goes with a carriage return in front of it; a last line without one counts. Only a regular
    // file is read (the path comes from another process: a pipe or device would block), and only
    // up to the size it had when opened.
    bool ReadText(const std::string& path, std::string& text);
    // Exactly the bytes of `text`; the file is replaced only when all of them were written.
    bool WriteText(const std::string& path, const std::string& text);
    bool AskPath(bool save, std::string& path) const;

    // The system's description of the last failure; emptied by every read and write.
    const std::string& ErrorText() const { return errorText_; }

    // Above this the file is refused rather than exhaust memory.
    static constexpr std::uint64_t kMaxReadBytes = std::uint64_t{1} << 31;

private:
    bool Fail(std::string reason);

    std::string errorText_;
    std::string defaultExtension_;
    std::string lineEnd_;
};
