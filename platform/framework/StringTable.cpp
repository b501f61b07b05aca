#include "platform/framework/StringTable.h"

#include <cstring>
#include <map>
#include <mutex>

#include "platform/framework/AfxRes.h"

namespace {

// The framework's own texts.
const std::map<UINT, std::string>& Defaults() {
    static const std::map<UINT, std::string> defaults{
        {AFX_IDS_IDLEMESSAGE, "Ready"},
        {AFX_IDS_UNTITLED, "Untitled"},
        {AFX_IDS_ALLFILTER, "All Files (*.*)"},
        {AFX_IDS_OPENFILE, "Open"},
        {AFX_IDS_SAVEFILE, "Save As"},
        {AFX_IDP_INVALID_FILENAME, "Invalid filename."},
        {AFX_IDP_FAILED_TO_OPEN_DOC, "Failed to open document."},
        {AFX_IDP_FAILED_TO_SAVE_DOC, "Failed to save document."},
        {AFX_IDP_ASK_TO_SAVE, "Save changes to %1?"},
        {AFX_IDP_FAILED_TO_CREATE_DOC, "Failed to create empty document."},
        {AFX_IDP_FAILED_TO_START_PRINT, "Could not start print job."},
        {AFX_IDP_NO_PRINTER, "No printers are installed."},
        {ID_FILE_MRU_FILE1, "Open this document"},
    };
    return defaults;
}

std::mutex& Lock() {
    static std::mutex lock;
    return lock;
}

std::map<UINT, std::string>& Registered() {
    static std::map<UINT, std::string> strings;
    return strings;
}

}  // namespace

void StringTable::Register(UINT id, std::string text) {
    std::lock_guard guard(Lock());
    Registered()[id] = std::move(text);
}

void StringTable::Register(std::initializer_list<std::pair<UINT, const char*>> entries) {
    std::lock_guard guard(Lock());
    for (const auto& [id, text] : entries) Registered()[id] = text ? text : "";
}

void StringTable::Unregister(UINT id) {
    std::lock_guard guard(Lock());
    Registered().erase(id);
}

bool StringTable::Find(UINT id, std::string& text) {
    {
        std::lock_guard guard(Lock());
        if (const auto it = Registered().find(id); it != Registered().end()) {
            text = it->second;
            return true;
        }
    }
    if (const auto it = Defaults().find(id); it != Defaults().end()) {
        text = it->second;
        return true;
    }
    text.clear();
    return false;
}

int LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    std::string text;
    StringTable::Find(id, text);
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

std::string AfxLoadString(UINT id) {
    std::string text;
    StringTable::Find(id, text);
    return text;
}

BOOL AfxExtractSubString(std::string& out, const std::string& full, int n, char separator) {
    out.clear();
    if (n < 0) return FALSE;
    std::size_t start = 0;
    for (int i = 0; i < n; ++i) {
        start = full.find(separator, start);
        if (start == std::string::npos) return FALSE;
        ++start;
    }
    const std::size_t end = full.find(separator, start);
    out = full.substr(start, end == std::string::npos ? std::string::npos : end - start);
    return TRUE;
}
