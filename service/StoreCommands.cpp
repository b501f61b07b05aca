#include "service/StoreCommands.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

#include "platform/kernel/FileTime.h"
#include "platform/kernel/UniqueFd.h"
#include "service/DebugLogFile.h"
#include "service/DemoLog.h"
#include "service/JsonObject.h"
#include "service/LogStore.h"
#include "service/RecordText.h"
#include "service/ServiceOptions.h"

namespace {

std::uint64_t Now() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return FileTimeValue(now);
}

int Append(const std::string& database, const std::vector<StoredRecord>& records, const char* done) {
    std::string error;
    auto store = LogStore::Open(database, error);
    if (!store || !store->Append(records, error)) return ServiceOptions::Fail(error, kExitError);
    std::printf("%zu %s\n", records.size(), done);
    return kExitOk;
}

// No record is larger than one reply; a demo log larger than this is better made in parts.
constexpr std::uint64_t kMaxAttachment = LogStore::kMaxEncodedRecord;
constexpr std::uint32_t kMaxDemoRecords = 1000000;
// The longest JSON line a record can need: every description byte escaped as \u00XX.
constexpr std::size_t kMaxImportLine = 6 * LogStore::kMaxEncodedRecord + 4096;

// At most `limit` bytes of a file; a directory, or anything longer (an endless device, a file
// that grows while read), is refused without reading more than the limit.
bool ReadFile(const std::string& path, std::uint64_t limit, std::vector<std::uint8_t>& bytes, std::string& error) {
    kernel::UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (!fd.Valid() || fstat(fd.Get(), &st) != 0) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    const std::string tooLarge = path + " is larger than a record can carry (" + std::to_string(limit) + " bytes)";
    if (S_ISDIR(st.st_mode)) {
        error = path + " is a directory";
        return false;
    }
    if (S_ISREG(st.st_mode) && static_cast<std::uint64_t>(st.st_size) > limit) {
        error = tooLarge;
        return false;
    }
    bytes.clear();
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = read(fd.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = "cannot read " + path + ": " + std::strerror(errno);
            return false;
        }
        if (n == 0) return true;
        if (bytes.size() + static_cast<std::size_t>(n) > limit) {
            error = tooLarge;
            return false;
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
}

// One line without its end. Reading stops after `limit` bytes of a longer line: `whole` is then
// false, and the rest of the input is left unread. False at the end of the input.
bool ReadLine(std::istream& in, std::string& line, std::size_t limit, bool& whole) {
    line.clear();
    whole = true;
    std::streambuf* source = in.rdbuf();
    bool any = false;
    for (int c; (c = source->sbumpc()) != std::char_traits<char>::eof();) {
        any = true;
        if (c == '\n') return true;
        if (line.size() == limit) {
            whole = false;
            return true;
        }
        line += static_cast<char>(c);
    }
    return any;
}

bool ParseFileTime(const std::string& text, std::uint64_t& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    errno = 0;
    value = std::strtoull(text.c_str(), nullptr, 10);
    return errno == 0;
}

// The record that "log" describes with its options. `code` tells a misuse from a file that
// cannot be had.
bool RecordFromOptions(CommandLine& args, StoredRecord& r, std::string& error, int& code) {
    code = kExitUsage;
    const auto time = args.Value("time"), filetime = args.Value("filetime"), status = args.Value("status"),
               source = args.Value("source"), level = args.Value("level"), description = args.Value("description"),
               number = args.Value("number"), text = args.Value("text"), hex = args.Value("hex"),
               file = args.Value("file"), kind = args.Value("kind");
    auto fail = [&](const char* why) {
        error = why;
        return false;
    };
    r.time = Now();
    if (time && filetime) return fail("give --time or --filetime, not both");
    if (time && !RecordText::ParseTime(*time, r.time, r.time, error)) return false;
    if (filetime && !ParseFileTime(*filetime, r.time))
        return fail("--filetime takes a whole number of 100-ns ticks since 1601, below 2^64");
    if (status && !RecordText::ParseNumber(*status, r.statusId, error)) return false;
    if (!level || !source) return fail("--level and --source are required");
    if (!RecordText::ParseLevel(*level, r.level, error) || !RecordText::ParseSource(*source, r.source, error))
        return false;
    if (description) {
        r.description = *description;
    } else if (!args.Positional().empty()) {
        r.description = args.Positional()[0];
    }
    if ((number ? 1 : 0) + (text ? 1 : 0) + (hex ? 1 : 0) + (file ? 1 : 0) > 1)
        return fail("give one of --number, --text, --hex and --file");
    if (number) {
        std::uint32_t v;
        if (!RecordText::ParseNumber(*number, v, error)) return false;
        r.attachmentKind = 1;
        r.attachment.resize(4);
        std::memcpy(r.attachment.data(), &v, 4);
    } else if (text) {
        r.attachmentKind = 2;
        r.attachment.assign(text->begin(), text->end());
    } else if (hex || file) {
        r.attachmentKind = 3;
        if (hex && !RecordText::ParseHex(*hex, r.attachment, error)) return false;
        if (file && !ReadFile(*file, kMaxAttachment, r.attachment, error)) {
            code = kExitError;
            return false;
        }
    }
    if (kind) {
        if (!number && !text && !hex && !file) return fail("--kind needs an attachment");
        if (!RecordText::ParseNumber(*kind, r.attachmentKind, error)) return false;
    }
    return true;
}

}  // namespace

int StoreCommands::Log(CommandLine& args) {
    StoredRecord record;
    std::string database, error;
    int code = kExitOk;
    const bool described = RecordFromOptions(args, record, error, code);  // asks for every option it knows
    if (!ServiceOptions::Database(args, database, error)) return ServiceOptions::Fail(error, kExitError);
    if (int bad = ServiceOptions::CheckArguments(args, 1)) return bad;
    if (!described) return ServiceOptions::Fail(error, code);
    if (std::string why = LogStore::Check(record); !why.empty()) return ServiceOptions::Fail(why, kExitError);
    return Append(database, {record}, "record appended");
}

int StoreCommands::Import(CommandLine& args) {
    std::string database, error;
    if (!ServiceOptions::Database(args, database, error)) return ServiceOptions::Fail(error, kExitError);
    if (int bad = ServiceOptions::CheckArguments(args, 1)) return bad;
    if (args.Positional().empty())
        return ServiceOptions::Fail("import needs a file (or - for standard input)", kExitUsage);
    const std::string source = args.Positional()[0];
    if (source.empty()) return ServiceOptions::Fail("import needs a file, not an empty name", kExitUsage);
    std::ifstream file;
    if (source != "-") {
        struct stat st {};
        if (stat(source.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            return ServiceOptions::Fail(source + " is a directory", kExitError);
        file.open(source);
        if (!file) return ServiceOptions::Fail("cannot read " + source, kExitError);
    }
    std::istream& in = source == "-" ? std::cin : file;
    const std::string label = source == "-" ? "stdin" : source;
    // Everything is checked before anything is written: a file with one bad line is refused whole.
    std::vector<StoredRecord> records;
    std::vector<std::string> problems;
    const std::uint64_t now = Now();
    std::string line;
    bool whole = true;
    for (std::size_t number = 1; ReadLine(in, line, kMaxImportLine, whole); ++number) {
        if (!whole) {
            // An endless line (a device, a file of zeros) must end the reading too.
            problems.push_back(label + ":" + std::to_string(number) + ": the line is longer than any record needs (" +
                               std::to_string(kMaxImportLine) + " bytes); nothing after it was read");
            break;
        }
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        std::string why;
        JsonObject object = JsonObject::Parse(line, why);
        StoredRecord record;
        if (why.empty() && RecordText::FromJson(object, now, record, why)) why = LogStore::Check(record);
        if (!why.empty()) {
            problems.push_back(label + ":" + std::to_string(number) + ": " + why);
        } else {
            records.push_back(std::move(record));
        }
    }
    if (!problems.empty()) {
        for (const std::string& p : problems) std::fprintf(stderr, "%s\n", p.c_str());
        return ServiceOptions::Fail(std::to_string(problems.size()) + " bad line(s): nothing was imported", kExitError);
    }
    return Append(database, records, "records imported");
}

int StoreCommands::Demo(CommandLine& args) {
    std::uint32_t count = 0, seed = 1;
    std::string database, error;
    if (!ServiceOptions::Database(args, database, error)) return ServiceOptions::Fail(error, kExitError);
    if (args.Positional().empty() || !RecordText::ParseNumber(args.Positional()[0], count, error))
        return ServiceOptions::Fail("demo needs a number of records", kExitUsage);
    if (count > kMaxDemoRecords)
        return ServiceOptions::Fail("demo makes at most " + std::to_string(kMaxDemoRecords) +
                                        " records at a time (run it again for more)",
                                    kExitUsage);
    if (auto s = args.Value("seed"); s && !RecordText::ParseNumber(*s, seed, error))
        return ServiceOptions::Fail(error, kExitUsage);
    if (int bad = ServiceOptions::CheckArguments(args, 1)) return bad;
    return Append(database, DemoLog::Make(count, Now(), seed), "demo records appended");
}

int StoreCommands::DebugLogAppend(CommandLine& args) {
    if (args.Positional().size() < 2 || args.Positional()[0] != "append")
        return ServiceOptions::Fail("usage: debug-log append TEXT", kExitUsage);
    std::string path, error;
    if (!ServiceOptions::DebugLogPath(args, path, error)) return ServiceOptions::Fail(error, kExitError);
    if (int bad = ServiceOptions::CheckArguments(args, 2)) return bad;
    if (!DebugLogFile(path).Append(args.Positional()[1], error)) return ServiceOptions::Fail(error, kExitError);
    return kExitOk;
}
