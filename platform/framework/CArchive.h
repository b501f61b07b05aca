#pragma once
// A document's file as its Serialize sees it: bytes and lines read from or written to a stream.

#include <istream>
#include <ostream>
#include <string>

#include "platform/kernel/WinTypes.h"

class CArchive {
public:
    enum Mode { store = 0, load = 1 };

    explicit CArchive(std::istream& in) : in_(&in) {}
    explicit CArchive(std::ostream& out) : out_(&out) {}

    BOOL IsLoading() const { return in_ != nullptr; }
    BOOL IsStoring() const { return out_ != nullptr; }
    // The bytes read, fewer at the end of the file.
    UINT Read(void* buffer, UINT count);
    void Write(const void* buffer, UINT count);
    // A line without its line end; FALSE at the end of the file.
    BOOL ReadString(std::string& line);
    void WriteString(const std::string& text);
    void Flush();
    // The stream failed (beyond reaching its end).
    bool Failed() const;

private:
    std::istream* in_ = nullptr;
    std::ostream* out_ = nullptr;
};
