#pragma once
// One flat JSON object per line: the import format of records, and the --json output of the
// command line. Values are strings, numbers, booleans or null; nested values are refused.

#include <map>
#include <optional>
#include <string>
#include <string_view>

class JsonObject {
public:
    struct Value {
        enum class Type { String, Number, Bool, Null } type = Type::Null;
        std::string text;  // the string's contents, or the number as written
        bool boolean = false;
    };

    // Parses one object; empty `error` on success.
    static JsonObject Parse(std::string_view text, std::string& error);
    // `text` as a JSON string literal, quotes included. Bytes that are not valid UTF-8 become
    // \u00XX escapes of the byte values, so that output is always valid JSON.
    static std::string Quote(std::string_view text);
    // Whether `text` is valid UTF-8 (no overlong forms, no surrogates), which Quote keeps as it is.
    static bool IsUtf8(std::string_view text);

    const std::map<std::string, Value>& Members() const { return members_; }
    const Value* Find(const std::string& key) const;

private:
    std::map<std::string, Value> members_;
};
