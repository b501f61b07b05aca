#include "service/StoreCommands.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

#include "platform/kernel/FileTime.h"
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

bool ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// The record that "log" describes with its options.
bool RecordFromOptions(CommandLine& args, StoredRecord& r, std::string& error) {
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
    if (filetime) {
        char* end = nullptr;
        r.time = std::strtoull(filetime->c_str(), &end, 10);
        if (filetime->empty() || *end != '\0' || (*filetime)[0] == '-')
            return fail("--filetime takes a whole number of 100-ns ticks since 1601");
    }
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
        if (hex ? !RecordText::ParseHex(*hex, r.attachment, error) : !ReadFile(*file, r.attachment, error))
            return false;
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
    const bool described = RecordFromOptions(args, record, error);  // asks for every option it knows
    if (!ServiceOptions::Database(args, database, error)) return ServiceOptions::Fail(error, kExitError);
    if (int bad = ServiceOptions::CheckArguments(args, 1)) return bad;
    if (!described) return ServiceOptions::Fail(error, kExitUsage);
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
    std::ifstream file;
    if (source != "-") {
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
    for (std::size_t number = 1; std::getline(in, line); ++number) {
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
