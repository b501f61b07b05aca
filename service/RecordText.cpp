#include "service/RecordText.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "platform/kernel/FileTime.h"

namespace {

struct Named {
    const char* name;
    std::uint32_t code;
};
constexpr Named kLevels[] = {{"fatal", 2}, {"error", 3}, {"warning", 4}, {"info", 5}};
constexpr Named kSources[] = {{"engine", 0}, {"gui", 1}, {"service", 2}, {"driver", 3}};

constexpr std::uint32_t kNumberKind = 1;
constexpr std::uint32_t kTextKind = 2;
constexpr std::uint32_t kDefaultRawKind = 3;

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

template <std::size_t N>
bool ParseNamed(const Named (&table)[N], const char* what, const std::string& text, std::uint32_t& out,
                std::string& error) {
    const std::string lower = Lower(text);
    for (const Named& n : table) {
        if (lower == n.name) {
            out = n.code;
            return true;
        }
    }
    std::string ignored;
    if (!text.empty() && std::isdigit(static_cast<unsigned char>(text[0])) &&
        RecordText::ParseNumber(text, out, ignored))
        return true;
    std::string names;
    for (const Named& n : table) names += std::string(names.empty() ? "" : ", ") + n.name;
    error = "unknown " + std::string(what) + " \"" + text + "\" (names: " + names + "; or a number)";
    return false;
}

bool Digits(const std::string& s, std::size_t& pos, std::size_t count, unsigned& out) {
    out = 0;
    for (std::size_t i = 0; i < count; ++i, ++pos) {
        if (pos >= s.size() || !std::isdigit(static_cast<unsigned char>(s[pos]))) return false;
        out = out * 10 + static_cast<unsigned>(s[pos] - '0');
    }
    return true;
}

std::string HexText(const std::uint8_t* bytes, std::uint32_t length) {
    std::string out;
    char pair[4];
    for (std::uint32_t i = 0; i < length; ++i) {
        std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
        out += pair;
    }
    return out;
}

// A code as JSON: its name where it has one, which import reads back to the same code, else the
// number itself.
template <std::size_t N>
std::string JsonCode(const Named (&table)[N], std::uint32_t code) {
    for (const Named& n : table)
        if (n.code == code) return std::string("\"") + n.name + "\"";
    return std::to_string(code);
}

// The caption the viewer shows for a level, or the number when it shows none.
std::string LevelCaption(std::uint32_t level) {
    if (level <= 2) return "Fatal";
    if (level == 3) return "Error";
    if (level == 4) return "Warning";
    if (level <= 7) return "Info";
    return std::to_string(level);
}

std::string SourceText(std::uint32_t source) {
    static const char* const names[] = {"Engine", "GUI", "Service", "Driver"};
    return source < 4 ? names[source] : std::to_string(source);
}

bool IsPlainText(std::string_view s) {
    std::string quoted = JsonObject::Quote(s);
    // Text round-trips through JSON when quoting needed no byte escapes.
    return std::memchr(s.data(), 0, s.size()) == nullptr && quoted.find("\\u00") == std::string::npos;
}

}  // namespace

bool RecordText::ParseLevel(const std::string& text, std::uint32_t& level, std::string& error) {
    return ParseNamed(kLevels, "level", text, level, error);
}

bool RecordText::ParseSource(const std::string& text, std::uint32_t& source, std::string& error) {
    return ParseNamed(kSources, "source", text, source, error);
}

bool RecordText::ParseNumber(const std::string& text, std::uint32_t& value, std::string& error) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    std::uint64_t v = 0;
    bool ok = !digits.empty() && digits.size() <= (hex ? 8u : 10u);
    for (char c : digits) {
        if (!ok) break;
        int d = std::isdigit(static_cast<unsigned char>(c))           ? c - '0'
                : hex && std::isxdigit(static_cast<unsigned char>(c)) ? std::tolower(c) - 'a' + 10
                                                                      : -1;
        ok = d >= 0;
        v = v * (hex ? 16 : 10) + static_cast<std::uint64_t>(d);
    }
    if (!ok || v > 0xFFFFFFFFu) {
        error = "\"" + text + "\" is not a number from 0 to 4294967295";
        return false;
    }
    value = static_cast<std::uint32_t>(v);
    return true;
}

bool RecordText::ParseTime(const std::string& text, std::uint64_t now, std::uint64_t& fileTime, std::string& error) {
    if (Lower(text) == "now") {
        fileTime = now;
        return true;
    }
    std::size_t p = 0;
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, fraction = 0;
    bool ok = Digits(text, p, 4, year) && p < text.size() && text[p++] == '-' && Digits(text, p, 2, month) &&
              p < text.size() && text[p++] == '-' && Digits(text, p, 2, day) && p < text.size() &&
              (text[p] == 'T' || text[p] == ' ') && ++p && Digits(text, p, 2, hour) && p < text.size() &&
              text[p++] == ':' && Digits(text, p, 2, minute);
    if (ok && p < text.size() && text[p] == ':') ok = Digits(text, ++p, 2, second);
    if (ok && p < text.size() && (text[p] == '.' || text[p] == ',')) {
        ++p;
        unsigned scale = 1000000;  // 100-ns ticks per unit of the first fraction digit
        std::size_t start = p;
        while (p < text.size() && std::isdigit(static_cast<unsigned char>(text[p]))) {
            if (scale == 0) {
                ok = false;  // finer than 100 ns
                break;
            }
            fraction += static_cast<unsigned>(text[p++] - '0') * scale;
            scale /= 10;
        }
        ok = ok && p > start;
    }
    if (ok && p < text.size() && text[p] == 'Z') ++p;
    ok = ok && p == text.size();
    SYSTEMTIME calendar{static_cast<WORD>(year), static_cast<WORD>(month), 0, static_cast<WORD>(day),
                        static_cast<WORD>(hour), static_cast<WORD>(minute), static_cast<WORD>(second), 0};
    FILETIME whole;
    if (!ok || !SystemTimeToFileTime(&calendar, &whole)) {
        error = "\"" + text + "\" is not a time like 2026-12-07T14:05:09Z (UTC, from 1601 on) or now";
        return false;
    }
    fileTime = FileTimeValue(whole) + fraction;
    return true;
}

bool RecordText::ParseHex(const std::string& text, std::vector<std::uint8_t>& bytes, std::string& error) {
    bytes.clear();
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == ':' || c == '-') {
            if (high >= 0) break;
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            high = -2;
            break;
        }
        int v = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10;
        if (high < 0) {
            high = v;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high << 4 | v));
            high = -1;
        }
    }
    if (high != -1) {
        error = "\"" + text + "\" is not hex bytes like \"DE AD BE EF\"";
        return false;
    }
    return true;
}

std::string RecordText::FormatTime(std::uint64_t fileTime) {
    const FILETIME time = FileTimeFromValue(fileTime);
    SYSTEMTIME c;
    if (!FileTimeToSystemTime(&time, &c) || c.wYear > 9999) return {};
    char text[48];
    int n = std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u", c.wYear, c.wMonth, c.wDay, c.wHour,
                          c.wMinute, c.wSecond);
    std::string out(text, static_cast<std::size_t>(n));
    if (const unsigned fraction = static_cast<unsigned>(fileTime % kFileTimeTicksPerSecond); fraction != 0) {
        std::snprintf(text, sizeof text, ".%07u", fraction);
        std::string digits = text;
        while (digits.back() == '0') digits.pop_back();
        out += digits;
    }
    return out + "Z";
}

bool RecordText::FromJson(const JsonObject& object, std::uint64_t now, StoredRecord& record, std::string& error) {
    using Type = JsonObject::Value::Type;
    static const std::set<std::string> known = {"record", "time", "filetime",    "status",         "source",
                                                "level",  "text", "description", "descriptionHex", "number",
                                                "hex",    "kind"};
    for (const auto& [key, value] : object.Members()) {
        if (!known.count(key)) {
            error = "unknown field \"" + key + "\"";
            return false;
        }
    }
    auto text = [&](const char* key, const JsonObject::Value*& v) {
        v = object.Find(key);
        if (v && v->type != Type::String && v->type != Type::Number) {
            error = std::string("\"") + key + "\" must be a string or a number";
            return false;
        }
        return true;
    };
    const JsonObject::Value *time, *filetime, *status, *source, *level, *number, *textValue, *hex, *kind;
    if (!text("time", time) || !text("filetime", filetime) || !text("status", status) || !text("source", source) ||
        !text("level", level) || !text("number", number) || !text("text", textValue) || !text("hex", hex) ||
        !text("kind", kind))
        return false;
    const JsonObject::Value* description = object.Find("description");
    const JsonObject::Value* descriptionHex = object.Find("descriptionHex");

    StoredRecord r;
    if (time && filetime) {
        error = "give \"time\" or \"filetime\", not both";
        return false;
    }
    r.time = now;
    if (time && !ParseTime(time->text, now, r.time, error)) return false;
    if (filetime) {
        char* end = nullptr;
        errno = 0;
        unsigned long long v = std::strtoull(filetime->text.c_str(), &end, 10);
        if (filetime->type != Type::Number || *end != '\0' || errno != 0 || filetime->text[0] == '-') {
            error = "\"filetime\" must be a whole number of 100-ns ticks since 1601";
            return false;
        }
        r.time = v;
    }
    if (status && !ParseNumber(status->text, r.statusId, error)) return false;
    if (!source || !level) {
        error = !level ? "\"level\" is missing" : "\"source\" is missing";
        return false;
    }
    if (!ParseSource(source->text, r.source, error) || !ParseLevel(level->text, r.level, error)) return false;
    if ((description != nullptr) == (descriptionHex != nullptr)) {
        error = description ? "give \"description\" or \"descriptionHex\", not both" : "\"description\" is missing";
        return false;
    }
    if (description) {
        if (description->type != Type::String) {
            error = "\"description\" must be a string";
            return false;
        }
        r.description = description->text;
    } else {
        std::vector<std::uint8_t> bytes;
        if (descriptionHex->type != Type::String || !ParseHex(descriptionHex->text, bytes, error)) {
            error = "\"descriptionHex\" must be hex bytes in a string";
            return false;
        }
        r.description.assign(bytes.begin(), bytes.end());
    }

    const int attachments = (number != nullptr) + (textValue != nullptr) + (hex != nullptr);
    if (attachments > 1) {
        error = "give one of \"number\", \"text\" and \"hex\"";
        return false;
    }
    if (number) {
        std::uint32_t v;
        if (!ParseNumber(number->text, v, error)) return false;
        r.attachmentKind = kNumberKind;
        r.attachment.resize(4);
        std::memcpy(r.attachment.data(), &v, 4);
    } else if (textValue) {
        if (textValue->type != Type::String) {
            error = "\"text\" must be a string";
            return false;
        }
        r.attachmentKind = kTextKind;
        r.attachment.assign(textValue->text.begin(), textValue->text.end());
    } else if (hex) {
        if (!ParseHex(hex->text, r.attachment, error)) return false;
        r.attachmentKind = kDefaultRawKind;
    }
    if (kind) {
        if (!attachments) {
            error = "\"kind\" needs an attachment (\"number\", \"text\" or \"hex\")";
            return false;
        }
        if (!ParseNumber(kind->text, r.attachmentKind, error)) return false;
    }
    record = std::move(r);
    return true;
}

std::string RecordText::ToJson(const WireRecord& r, std::uint64_t recordNumber) {
    std::string out = "{\"record\":" + std::to_string(recordNumber);
    const std::string time = FormatTime(r.time);
    out += time.empty() ? ",\"filetime\":" + std::to_string(r.time) : ",\"time\":\"" + time + "\"";
    out += ",\"level\":" + JsonCode(kLevels, r.level);
    out += ",\"source\":" + JsonCode(kSources, r.source);
    char status[16];
    std::snprintf(status, sizeof status, "0x%08X", r.statusId);
    out += ",\"status\":\"" + std::string(status) + "\"";
    // JSON carries text; other bytes travel as hex, so that they come back as they were.
    if (JsonObject::IsUtf8(r.description))
        out += ",\"description\":" + JsonObject::Quote(r.description);
    else
        out += ",\"descriptionHex\":\"" +
               HexText(reinterpret_cast<const std::uint8_t*>(r.description.data()),
                       static_cast<std::uint32_t>(r.description.size())) +
               "\"";
    if (r.attachmentLength != 0 || r.attachmentKind != 0) {
        const std::string_view bytes(reinterpret_cast<const char*>(r.attachment), r.attachmentLength);
        if (r.attachmentKind == kNumberKind && r.attachmentLength == 4) {
            std::uint32_t v;
            std::memcpy(&v, r.attachment, 4);
            out += ",\"number\":" + std::to_string(v);
        } else if (r.attachmentKind == kTextKind && IsPlainText(bytes)) {
            out += ",\"text\":" + JsonObject::Quote(bytes);
        } else {
            out += ",\"kind\":" + std::to_string(r.attachmentKind) + ",\"hex\":\"" +
                   HexText(r.attachment, r.attachmentLength) + "\"";
        }
    }
    return out + "}";
}

std::string RecordText::ToLine(const WireRecord& r, std::uint64_t recordNumber) {
    char head[160];
    std::string time = FormatTime(r.time);
    if (time.empty()) time = "filetime:" + std::to_string(r.time);
    std::snprintf(head, sizeof head, "%-8llu %-28s %-8s %-8s 0x%08X  ", static_cast<unsigned long long>(recordNumber),
                  time.c_str(), LevelCaption(r.level).c_str(), SourceText(r.source).c_str(), r.statusId);
    // Kept on one line, and harmless to a terminal.
    std::string out = head + Printable(r.description);
    if (r.attachmentLength == 0) return out;
    const std::string_view bytes(reinterpret_cast<const char*>(r.attachment), r.attachmentLength);
    if (r.attachmentKind == kNumberKind) {
        std::uint8_t four[4] = {};
        std::memcpy(four, r.attachment, r.attachmentLength < 4 ? r.attachmentLength : 4);
        std::uint32_t v;
        std::memcpy(&v, four, 4);
        char number[16];
        std::snprintf(number, sizeof number, "0x%08X", v);
        return out + "  | number " + number;
    }
    if (r.attachmentKind == kTextKind) return out + "  | text " + Printable(JsonObject::Quote(bytes));
    return out + "  | kind " + std::to_string(r.attachmentKind) + " hex " + HexText(r.attachment, r.attachmentLength);
}

std::string RecordText::Printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    char escape[8];
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        const bool utf8 = JsonObject::IsUtf8(text.substr(i, length));
        if (!utf8) length = 1;
        // C1 controls, U+0080 to U+009F, are C2 80 to C2 9F.
        const bool control =
            c < 0x20 || c == 0x7F || (utf8 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0);
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (control || !utf8) {
            for (std::size_t k = 0; k < length; ++k) {
                std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(text[i + k]));
                out += escape;
            }
        } else {
            out.append(text.substr(i, length));
        }
        i += length;
    }
    return out;
}
