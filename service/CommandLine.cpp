#include "service/CommandLine.h"

namespace {

// Options that name a file: an empty one would mean something else to SQLite (a temporary
// database) or to the file system.
const std::set<std::string> kPathOptions = {"db", "debug-log", "file"};

}  // namespace

const std::set<std::string>& CommandLine::ValueOptions() {
    static const std::set<std::string> options = {
        "db",       "debug-log",   "name",   "kind", "count", "level", "source", "status",          "time",
        "filetime", "description", "number", "text", "hex",   "file",  "seed",   "service-version", "core-version",
        "timeout",
    };
    return options;
}

CommandLine::CommandLine(std::vector<std::string> args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() < 3 || a.compare(0, 2, "--") != 0) {
            positional_.push_back(a);
            continue;
        }
        std::string name = a.substr(2);
        std::optional<std::string> value;
        if (auto eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        } else if (ValueOptions().count(name)) {
            if (i + 1 >= args.size()) {
                if (error_.empty()) error_ = "--" + name + " needs a value";
                continue;
            }
            value = args[++i];
        }
        if (value && value->empty() && kPathOptions.count(name) && error_.empty())
            error_ = "--" + name + " needs a path, not an empty one";
        options_.emplace_back(name, value);
    }
}

bool CommandLine::Flag(const std::string& name) {
    used_.insert(name);
    bool given = false;
    for (const auto& [n, v] : options_) {
        if (n != name) continue;
        if (v && error_.empty()) error_ = "--" + name + " takes no value";
        given = given || !v;
    }
    return given;
}

std::optional<std::string> CommandLine::Value(const std::string& name) {
    used_.insert(name);
    std::optional<std::string> found;
    for (const auto& [n, v] : options_)
        if (n == name && v) found = v;  // the last one given wins
    return found;
}

std::string CommandLine::Unused() const {
    for (const auto& [name, value] : options_)
        if (!used_.count(name)) return "unknown option --" + name;
    return {};
}
