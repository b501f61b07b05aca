#include "platform/controls/ToolbarSavedLayout.h"

#include <cstring>

namespace {

constexpr char kSignature[4] = {'Q', 'T', 'B', '1'};
constexpr std::size_t kHeader = 8, kRecord = 12;

void Put32(std::vector<BYTE>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<BYTE>(v >> shift));
}

std::uint32_t Get32(const BYTE* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

// A key closed on every path.
class OpenKey {
public:
    OpenKey() = default;
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    ~OpenKey() {
        if (key_) RegCloseKey(key_);
    }
    HKEY* Out() { return &key_; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace

std::vector<BYTE> ToolbarSavedLayout::Encode(const std::vector<ToolbarButton>& buttons) {
    std::vector<BYTE> out(std::begin(kSignature), std::end(kSignature));
    Put32(out, static_cast<std::uint32_t>(buttons.size()));
    for (const ToolbarButton& b : buttons) {
        Put32(out, static_cast<std::uint32_t>(b.command));
        Put32(out, static_cast<std::uint32_t>(b.image));
        out.push_back(b.state);
        out.push_back(b.style);
        out.push_back(0);
        out.push_back(0);
    }
    return out;
}

std::optional<std::vector<ToolbarSavedLayout::Entry>> ToolbarSavedLayout::Decode(const std::vector<BYTE>& bytes) {
    if (bytes.size() < kHeader || std::memcmp(bytes.data(), kSignature, sizeof kSignature) != 0) return std::nullopt;
    const std::uint32_t count = Get32(bytes.data() + 4);
    if (count > kMaxEntries || bytes.size() != kHeader + count * kRecord) return std::nullopt;
    std::vector<Entry> entries(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const BYTE* p = bytes.data() + kHeader + i * kRecord;
        entries[i] = Entry{static_cast<int>(Get32(p)), static_cast<int>(Get32(p + 4)), p[8], p[9]};
    }
    return entries;
}

LONG ToolbarSavedLayout::Write(HKEY root, const char* subKey, const char* valueName, const std::vector<BYTE>& bytes) {
    OpenKey key;
    LONG status =
        RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.Out(), nullptr);
    if (status != ERROR_SUCCESS) return status;
    return RegSetValueExA(key.Get(), valueName, 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

LONG ToolbarSavedLayout::Read(HKEY root, const char* subKey, const char* valueName, std::vector<BYTE>& bytes) {
    OpenKey key;
    LONG status = RegOpenKeyExA(root, subKey, 0, KEY_READ, key.Out());
    if (status != ERROR_SUCCESS) return status;
    DWORD type = REG_NONE, size = 0;
    status = RegQueryValueExA(key.Get(), valueName, nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS) return status;
    if (type != REG_BINARY || size > kHeader + kMaxEntries * kRecord)
        return ERROR_INVALID_PARAMETER;  // not a layout of ours
    bytes.resize(size);
    status = RegQueryValueExA(key.Get(), valueName, nullptr, &type, bytes.data(), &size);
    bytes.resize(size);
    return status;
}
