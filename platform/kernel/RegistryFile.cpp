#include "platform/kernel/RegistryFile.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <utility>
#include <vector>

#include "platform/kernel/Registry.h"

namespace kernel {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";
// The escapes of quoted names and texts, beside \xhh for any other byte: {byte, letter}.
constexpr std::pair<char, char> kEscapes[] = {{'\\', '\\'}, {'"', '"'}, {'\n', 'n'}, {'\r', 'r'}, {'\t', 't'}};
constexpr std::string_view kSoftware = "Software";
constexpr std::string_view kIntroduction =
    "; Settings of the Quillbridge Log Viewer, rewritten by the program when it saves them.\n"
    "; Each [section] is a key below HKEY_CURRENT_USER; docs/settings-on-linux.md describes the values.\n";

// Length of the well-formed UTF-8 sequence starting at s[i], or 0. Such sequences are written as
// they are, so that non-ASCII names stay readable; any other byte is escaped.
std::size_t Utf8Length(std::string_view s, std::size_t i) {
    auto byte = [&](std::size_t k) { return k < s.size() ? static_cast<unsigned char>(s[k]) : 0u; };
    auto continuation = [&](std::size_t k) { return (byte(k) & 0xC0) == 0x80; };
    unsigned char c = static_cast<unsigned char>(s[i]);
    unsigned char n = byte(i + 1);
    if (c >= 0xC2 && c <= 0xDF) return continuation(i + 1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        bool second = c == 0xE0 ? (n >= 0xA0 && n <= 0xBF) : c == 0xED ? (n >= 0x80 && n <= 0x9F) : continuation(i + 1);
        return second && continuation(i + 2) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        bool second = c == 0xF0 ? (n >= 0x90 && n <= 0xBF) : c == 0xF4 ? (n >= 0x80 && n <= 0x8F) : continuation(i + 1);
        return second && continuation(i + 2) && continuation(i + 3) ? 4 : 0;
    }
    return 0;
}

void AppendHexByte(std::string& out, unsigned char c) {
    out += kHexDigits[c >> 4];
    out += kHexDigits[c & 15];
}

// Copies `s`, handing to `escape` every control byte, every byte outside well-formed UTF-8 and
// every character in `special`.
template <class Escape>
void AppendEscaped(std::string& out, std::string_view s, std::string_view special, Escape escape) {
    for (std::size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        std::size_t plain =
            c < 0x80 ? (c >= 0x20 && c != 0x7F && special.find(s[i]) == std::string_view::npos) : Utf8Length(s, i);
        if (plain) {
            out.append(s.substr(i, plain));
            i += plain;
        } else {
            escape(c);
            ++i;
        }
    }
}

void AppendQuoted(std::string& out, std::string_view s) {
    out += '"';
    AppendEscaped(out, s, "\\\"", [&](unsigned char c) {
        out += '\\';
        const auto* escape =
            std::find_if(std::begin(kEscapes), std::end(kEscapes), [&](auto e) { return e.first == c; });
        if (escape != std::end(kEscapes)) {
            out += escape->second;
        } else {
            out += 'x';
            AppendHexByte(out, c);
        }
    });
    out += '"';
}

// Key names hold no backslash, the separator of a section's path; '%' starts an escape there.
void AppendKeyName(std::string& out, std::string_view name) {
    AppendEscaped(out, name, "%", [&](unsigned char c) {
        out += '%';
        AppendHexByte(out, c);
    });
}

std::string_view AsText(const std::vector<BYTE>& data, std::size_t from, std::size_t length) {
    return {reinterpret_cast<const char*>(data.data()) + from, length};
}

// A string value in its readable form: the text and one terminating null, no other null.
bool IsPlainString(const std::vector<BYTE>& data) {
    if (data.empty() || data.back() != 0) return false;
    for (std::size_t i = 0; i + 1 < data.size(); ++i)
        if (data[i] == 0) return false;
    return true;
}

// A string list in its readable form: non-empty strings, each with its null, and one more null.
bool IsPlainList(const std::vector<BYTE>& data) {
    if (data.size() == 1) return data[0] == 0;
    if (data.size() < 3 || data[data.size() - 1] != 0 || data[data.size() - 2] != 0) return false;
    if (data[0] == 0) return false;
    for (std::size_t i = 1; i + 1 < data.size(); ++i)
        if (data[i] == 0 && data[i - 1] == 0) return false;
    return true;
}

std::uint64_t LittleEndian(const std::vector<BYTE>& data) {
    std::uint64_t v = 0;
    for (std::size_t i = data.size(); i-- > 0;) v = (v << 8) | data[i];
    return v;
}

void AppendValue(std::string& out, const RegistryValue& value) {
    if (value.name.empty())
        out += '@';
    else
        AppendQuoted(out, value.name);
    out += '=';
    const auto& data = value.data;
    char number[24];
    if ((value.type == REG_SZ || value.type == REG_EXPAND_SZ) && IsPlainString(data)) {
        if (value.type == REG_EXPAND_SZ) out += "expand:";
        AppendQuoted(out, AsText(data, 0, data.size() - 1));
    } else if (value.type == REG_MULTI_SZ && IsPlainList(data)) {
        out += "multi:";
        for (std::size_t start = 0; start + 1 < data.size();) {
            std::size_t end = start;
            while (data[end] != 0) ++end;
            if (start > 0) out += ',';
            AppendQuoted(out, AsText(data, start, end - start));
            start = end + 1;
        }
    } else if (value.type == REG_DWORD && data.size() == 4) {
        std::snprintf(number, sizeof number, "dword:%08llx", static_cast<unsigned long long>(LittleEndian(data)));
        out += number;
    } else if (value.type == REG_QWORD && data.size() == 8) {
        std::snprintf(number, sizeof number, "qword:%016llx", static_cast<unsigned long long>(LittleEndian(data)));
        out += number;
    } else {
        if (value.type == REG_BINARY) {
            out += "hex:";
        } else {
            std::snprintf(number, sizeof number, "hex(%x):", static_cast<unsigned>(value.type));
            out += number;
        }
        for (std::size_t i = 0; i < data.size(); ++i) {
            if (i > 0) out += ',';
            AppendHexByte(out, data[i]);
        }
    }
    out += '\n';
}

void AppendKey(std::string& out, const RegistryKey& key, std::string& path) {
    std::size_t length = path.size();
    path += '\\';
    AppendKeyName(path, key.Name());
    // A key without values is implied by its subkeys' sections.
    if (!key.Values().empty() || key.SubkeyCount() == 0) {
        out += "\n[";
        out += path;
        out += "]\n";
        for (const auto& value : key.Values()) AppendValue(out, value);
    }
    for (std::size_t i = 0; i < key.SubkeyCount(); ++i) AppendKey(out, key.SubkeyAt(i), path);
    path.resize(length);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads one line of a settings file from left to right.
class LineReader {
public:
    explicit LineReader(std::string_view line) : line_(line) {}

    bool AtEnd() const { return pos_ == line_.size(); }
    bool Next(char c) const { return pos_ < line_.size() && line_[pos_] == c; }
    bool Eat(std::string_view word) {
        if (line_.substr(pos_, word.size()) != word) return false;
        pos_ += word.size();
        return true;
    }

    bool Quoted(std::string& out, std::size_t limit) {
        out.clear();
        if (!Eat("\"")) return false;
        while (pos_ < line_.size()) {
            char c = line_[pos_++];
            if (c == '"') return true;
            if (out.size() >= limit) return false;
            if (c != '\\') {
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return false;
                out += c;
                continue;
            }
            if (pos_ >= line_.size()) return false;
            char letter = line_[pos_++];
            const auto* escape =
                std::find_if(std::begin(kEscapes), std::end(kEscapes), [&](auto e) { return e.second == letter; });
            if (escape != std::end(kEscapes)) {
                out += escape->first;
            } else {
                int byte = letter == 'x' ? TwoHexDigits() : -1;
                if (byte < 0) return false;
                out += static_cast<char>(byte);
            }
        }
        return false;
    }

    // One to `maxDigits` hexadecimal digits.
    bool Number(std::uint64_t& value, std::size_t maxDigits) {
        value = 0;
        std::size_t digits = 0;
        while (pos_ < line_.size() && HexValue(line_[pos_]) >= 0) {
            if (++digits > maxDigits) return false;
            value = (value << 4) | static_cast<unsigned>(HexValue(line_[pos_++]));
        }
        return digits > 0;
    }

    // Comma-separated pairs of hexadecimal digits to the end of the line.
    bool HexBytes(std::vector<BYTE>& out) {
        out.clear();
        while (!AtEnd()) {
            if (!out.empty() && !Eat(",")) return false;
            int byte = TwoHexDigits();
            if (byte < 0 || out.size() >= kRegistryMaxValueSize) return false;
            out.push_back(static_cast<BYTE>(byte));
        }
        return true;
    }

private:
    int TwoHexDigits() {
        if (line_.size() - pos_ < 2) return -1;
        int high = HexValue(line_[pos_]), low = HexValue(line_[pos_ + 1]);
        if (high < 0 || low < 0) return -1;
        pos_ += 2;
        return high * 16 + low;
    }

    std::string_view line_;
    std::size_t pos_ = 0;
};

void AppendBytes(std::vector<BYTE>& data, std::string_view s) { data.insert(data.end(), s.begin(), s.end()); }

void StoreNumber(std::vector<BYTE>& data, std::uint64_t value, std::size_t size) {
    data.clear();
    for (std::size_t i = 0; i < size; ++i) data.push_back(static_cast<BYTE>(value >> (8 * i)));
}

// Every form but the strings: dword:, qword:, multi:, hex: and hex(type):.
bool ParseData(LineReader& reader, DWORD& type, std::vector<BYTE>& data) {
    std::string text;
    std::uint64_t number = 0;
    data.clear();
    if (reader.Eat("dword:")) {
        type = REG_DWORD;
        if (!reader.Number(number, 8)) return false;
        StoreNumber(data, number, 4);
    } else if (reader.Eat("qword:")) {
        type = REG_QWORD;
        if (!reader.Number(number, 16)) return false;
        StoreNumber(data, number, 8);
    } else if (reader.Eat("multi:")) {
        type = REG_MULTI_SZ;
        for (bool first = true; !reader.AtEnd(); first = false) {
            if (!first && !reader.Eat(",")) return false;
            if (!reader.Quoted(text, kRegistryMaxValueSize) || data.size() + text.size() + 2 > kRegistryMaxValueSize)
                return false;
            AppendBytes(data, text);
            data.push_back(0);
        }
        data.push_back(0);
    } else if (reader.Eat("hex:")) {
        type = REG_BINARY;
        if (!reader.HexBytes(data)) return false;
    } else if (reader.Eat("hex(")) {
        if (!reader.Number(number, 8) || !reader.Eat("):") || !reader.HexBytes(data)) return false;
        type = static_cast<DWORD>(number);
    } else {
        return false;
    }
    return reader.AtEnd();
}

bool ParseValueLine(std::string_view line, RegistryKey& key) {
    LineReader reader(line);
    std::string name;
    if (!reader.Eat("@") && (!reader.Quoted(name, kRegistryMaxValueName) || name.empty())) return false;
    if (name.find('\0') != std::string::npos || !reader.Eat("=")) return false;
    DWORD type = REG_SZ;
    std::vector<BYTE> data;
    bool expand = reader.Eat("expand:");
    if (expand || reader.Next('"')) {
        std::string text;
        if (!reader.Quoted(text, kRegistryMaxValueSize - 1) || !reader.AtEnd()) return false;
        AppendBytes(data, text);
        data.push_back(0);
        type = expand ? REG_EXPAND_SZ : REG_SZ;
    } else if (!ParseData(reader, type, data)) {
        return false;
    }
    key.SetValue(name, type, std::move(data));
    return true;
}

bool SplitKeyPath(std::string_view text, std::vector<std::string>& path) {
    path.assign(1, std::string());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\') {
            path.emplace_back();
            continue;
        }
        if (c == '%') {
            if (i + 2 >= text.size()) return false;
            int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
            if (high < 0 || low < 0) return false;
            c = static_cast<char>(high * 16 + low);
            i += 2;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            return false;
        }
        path.back() += c;
    }
    if (path.size() > kRegistryMaxDepth) return false;
    for (const auto& name : path)
        if (name.empty() || name.size() > kRegistryMaxKeyName || name.find('\0') != std::string::npos) return false;
    return true;
}

RegistryKey* ParseSection(std::string_view inside, std::string_view rootName, std::unique_ptr<RegistryKey>& root) {
    std::vector<std::string> path;
    if (!SplitKeyPath(inside, path) || path.size() < 2 || !RegistryKey::SameName(path[0], kSoftware) ||
        !RegistryKey::SameName(path[1], rootName))
        return nullptr;
    if (!root) root = std::make_unique<RegistryKey>(path[1]);
    RegistryKey* key = root.get();
    for (std::size_t i = 2; i < path.size(); ++i) key = &key->CreateSubkey(path[i]);
    return key;
}

std::string_view Trimmed(std::string_view line) {
    std::size_t begin = line.find_first_not_of(" \t\r");
    if (begin == std::string_view::npos) return {};
    std::size_t end = line.find_last_not_of(" \t\r");
    return line.substr(begin, end - begin + 1);
}

}  // namespace

std::string RegistryFile::Format(const RegistryKey* root) {
    std::string out(kIntroduction);
    if (root) {
        std::string path(kSoftware);
        AppendKey(out, *root, path);
    }
    return out;
}

bool RegistryFile::Parse(std::string_view text, std::string_view rootName, std::unique_ptr<RegistryKey>& root,
                         std::size_t& badLine) {
    root.reset();
    RegistryKey* section = nullptr;
    std::size_t number = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = Trimmed(text.substr(start, end - start));
        start = end + 1;
        ++number;
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        bool ok;
        if (line[0] == '[') {
            ok = line.back() == ']' && (section = ParseSection(line.substr(1, line.size() - 2), rootName, root));
        } else {
            ok = section && ParseValueLine(line, *section);
        }
        if (!ok) {
            root.reset();
            badLine = number;
            return false;
        }
    }
    return true;
}

}  // namespace kernel
