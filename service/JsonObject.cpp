#include "service/JsonObject.h"

#include <cstdint>
#include <cstdio>

namespace {

class Parser {
public:
    explicit Parser(std::string_view text) : s_(text) {}

    bool Fail(const std::string& why) {
        if (error_.empty()) error_ = why + " at column " + std::to_string(pos_ + 1);
        return false;
    }
    const std::string& Error() const { return error_; }

    void Space() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r' || s_[pos_] == '\n'))
            ++pos_;
    }
    bool Eat(char c) {
        Space();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool AtEnd() {
        Space();
        return pos_ == s_.size();
    }

    static void PutUtf8(std::string& out, std::uint32_t cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    bool Hex4(std::uint32_t& v) {
        if (s_.size() - pos_ < 4) return Fail("a short \\u escape");
        v = 0;
        for (int i = 0; i < 4; ++i) {
            char c = s_[pos_++];
            v <<= 4;
            if (c >= '0' && c <= '9')
                v |= static_cast<std::uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f')
                v |= static_cast<std::uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                v |= static_cast<std::uint32_t>(c - 'A' + 10);
            else
                return Fail("a bad \\u escape");
        }
        return true;
    }

    bool String(std::string& out) {
        if (!Eat('"')) return Fail("a string was expected");
        out.clear();
        while (pos_ < s_.size()) {
            char c = s_[pos_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return Fail("a control character inside a string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= s_.size()) break;
            char e = s_[pos_++];
            switch (e) {
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case '/':
                    out += '/';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    std::uint32_t cp;
                    if (!Hex4(cp)) return false;
                    if (cp >= 0xD800 && cp < 0xDC00) {
                        std::uint32_t low;
                        if (s_.substr(pos_, 2) != "\\u") return Fail("an unpaired surrogate");
                        pos_ += 2;
                        if (!Hex4(low)) return false;
                        if (low < 0xDC00 || low > 0xDFFF) return Fail("an unpaired surrogate");
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    } else if (cp >= 0xDC00 && cp < 0xE000) {
                        return Fail("an unpaired surrogate");
                    }
                    PutUtf8(out, cp);
                    break;
                }
                default:
                    return Fail(std::string("an unknown escape \\") + e);
            }
        }
        return Fail("an unterminated string");
    }

    bool Number(std::string& out) {
        std::size_t start = pos_;
        if (pos_ < s_.size() && s_[pos_] == '-') ++pos_;
        std::size_t digits = pos_;
        while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') ++pos_;
        if (pos_ == digits) return Fail("a number was expected");
        if (pos_ < s_.size() && (s_[pos_] == '.' || s_[pos_] == 'e' || s_[pos_] == 'E')) {
            ++pos_;
            while (pos_ < s_.size() && ((s_[pos_] >= '0' && s_[pos_] <= '9') || s_[pos_] == '+' || s_[pos_] == '-' ||
                                        s_[pos_] == 'e' || s_[pos_] == 'E'))
                ++pos_;
        }
        out.assign(s_.substr(start, pos_ - start));
        return true;
    }

    bool Word(std::string_view word) {
        if (s_.substr(pos_, word.size()) != word) return Fail("an unknown value");
        pos_ += word.size();
        return true;
    }

    bool Value(JsonObject::Value& v) {
        using Type = JsonObject::Value::Type;
        Space();
        if (pos_ >= s_.size()) return Fail("a value was expected");
        char c = s_[pos_];
        if (c == '"') {
            v.type = Type::String;
            return String(v.text);
        }
        if (c == '-' || (c >= '0' && c <= '9')) {
            v.type = Type::Number;
            return Number(v.text);
        }
        if (c == 't' || c == 'f') {
            v.type = Type::Bool;
            v.boolean = c == 't';
            return Word(c == 't' ? "true" : "false");
        }
        if (c == 'n') {
            v.type = Type::Null;
            return Word("null");
        }
        if (c == '{' || c == '[') return Fail("nested objects and arrays are not accepted");
        return Fail("a value was expected");
    }

private:
    std::string_view s_;
    std::size_t pos_ = 0;
    std::string error_;
};

bool ValidUtf8At(std::string_view s, std::size_t i, std::size_t& length) {
    auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i);
    std::uint32_t cp;
    if (c < 0x80) {
        length = 1;
        return true;
    } else if ((c & 0xE0) == 0xC0) {
        length = 2, cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3, cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        length = 4, cp = c & 0x07;
    } else {
        return false;
    }
    if (i + length > s.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return false;
        cp = cp << 6 | (b(i + k) & 0x3F);
    }
    static const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    return cp >= least[length] && cp <= 0x10FFFF && !(cp >= 0xD800 && cp < 0xE000);
}

}  // namespace

JsonObject JsonObject::Parse(std::string_view text, std::string& error) {
    JsonObject object;
    Parser p(text);
    bool ok = p.Eat('{');
    if (!ok) p.Fail("an object was expected");
    if (ok && !p.Eat('}')) {
        do {
            std::string key;
            Value value;
            ok = p.String(key) && (p.Eat(':') || p.Fail("':' was expected")) && p.Value(value);
            if (ok && !object.members_.emplace(key, value).second) ok = p.Fail("the key \"" + key + "\" repeats");
        } while (ok && p.Eat(','));
        if (ok && !p.Eat('}')) ok = p.Fail("',' or '}' was expected");
    }
    if (ok && !p.AtEnd()) ok = p.Fail("text follows the object");
    error = ok ? std::string() : p.Error();
    return object;
}

const JsonObject::Value* JsonObject::Find(const std::string& key) const {
    auto it = members_.find(key);
    return it == members_.end() ? nullptr : &it->second;
}

std::string JsonObject::Quote(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        char escape[8];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || !ValidUtf8At(text, i, length)) {
            length = 1;
            std::snprintf(escape, sizeof escape, "\\u%04X", c);
            out += escape;
        } else {
            out.append(text.substr(i, length));
        }
        i += length;
    }
    return out + "\"";
}

bool JsonObject::IsUtf8(std::string_view text) {
    for (std::size_t i = 0, length = 1; i < text.size(); i += length)
        if (!ValidUtf8At(text, i, length)) return false;
    return true;
}
