#include "platform/framework/CArchive.h"

UINT CArchive::Read(void* buffer, UINT count) {
    if (!in_ || !buffer) return 0;
    in_->read(static_cast<char*>(buffer), count);
    return static_cast<UINT>(in_->gcount());
}

void CArchive::Write(const void* buffer, UINT count) {
    if (out_ && buffer) out_->write(static_cast<const char*>(buffer), count);
}

BOOL CArchive::ReadString(std::string& line) {
    line.clear();
    if (!in_ || !std::getline(*in_, line)) return FALSE;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return TRUE;
}

void CArchive::WriteString(const std::string& text) { Write(text.data(), static_cast<UINT>(text.size())); }

void CArchive::Flush() {
    if (out_) out_->flush();
}

bool CArchive::Failed() const { return (in_ && in_->bad()) || (out_ && !*out_); }
