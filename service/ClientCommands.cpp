#include "service/ClientCommands.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "channel/RecordCodec.h"
#include "channel/ServiceChannel.h"
#include "channel/ServiceProtocol.h"
#include "channel/TextBuffer.h"
#include "service/JsonObject.h"
#include "service/RecordText.h"
#include "service/ServiceOptions.h"

namespace {

// A connected channel, or the exit code that says why there is none.
struct Client {
    std::unique_ptr<ServiceChannel> channel;
    bool json = false;
    DWORD timeoutMs = ServiceChannel::kRequestTimeoutMs;
    int failure = kExitOk;
};

Client Connect(CommandLine& args, std::size_t positionals) {
    Client c;
    const std::string name = ServiceOptions::Name(args);
    c.json = args.Flag("json");
    std::string error;
    if (auto timeout = args.Value("timeout"); timeout && !RecordText::ParseNumber(*timeout, c.timeoutMs, error)) {
        c.failure = ServiceOptions::Fail("--timeout takes milliseconds: " + error, kExitUsage);
        return c;
    }
    if ((c.failure = ServiceOptions::CheckArguments(args, positionals))) return c;
    c.channel = std::make_unique<ServiceChannel>(name.c_str());
    if (!c.channel->IsServiceRunning()) {
        c.failure = ServiceOptions::Fail("no service named \"" + name + "\" is running", kExitNotRunning);
    } else if (!c.channel->Connect(SYNCHRONIZE)) {
        c.failure = ServiceOptions::Fail("cannot connect to the service \"" + name + "\"", kExitError);
    }
    return c;
}

bool Send(Client& c, std::int32_t msgId, std::int32_t& p1, std::int32_t& p2, MessageBuffer& data) {
    return c.channel->SendMsg(msgId, p1, p2, data, c.timeoutMs) == 1;
}

// What went wrong with the last request, as a user can act on it.
int NoAnswer(const Client& c, const std::string& what) {
    using Failure = ServiceChannel::Failure;
    switch (ServiceChannel::LastFailure()) {
        case Failure::Busy:
            return ServiceOptions::Fail("another client holds the channel: the " + what + " request was not sent (" +
                                            std::to_string(c.timeoutMs) + " ms)",
                                        kExitError);
        case Failure::NotRunning:
            return ServiceOptions::Fail("the service stopped before it answered the " + what + " request",
                                        kExitNotRunning);
        case Failure::TooLarge:
            return ServiceOptions::Fail("the " + what + " request does not fit the service's channel", kExitError);
        case Failure::NoReply:
            return ServiceOptions::Fail("the service refused the " + what + " request", kExitError);
        case Failure::Damaged:
            return ServiceOptions::Fail("the service's channel objects are damaged (another process shrank them)",
                                        kExitError);
        default:
            return ServiceOptions::Fail("the service did not answer the " + what + " request within " +
                                            std::to_string(c.timeoutMs) + " ms",
                                        kExitError);
    }
}

bool KindOf(const std::string& text, std::uint32_t& kind) {
    if (text == "quillbridge")
        kind = QuillbridgeLog;
    else if (text == "debug")
        kind = DebugLog;
    else
        return false;
    return true;
}

}  // namespace

int ClientCommands::Status(CommandLine& args) {
    const std::string name = ServiceOptions::Name(args);
    const bool json = args.Flag("json");
    if (int bad = ServiceOptions::CheckArguments(args, 0)) return bad;
    const bool running = ServiceChannel(name.c_str()).IsServiceRunning();
    if (json)
        std::printf("{\"name\":%s,\"running\":%s}\n", JsonObject::Quote(name).c_str(), running ? "true" : "false");
    else
        std::printf("%s: %s\n", name.c_str(), running ? "running" : "not running");
    return running ? kExitOk : kExitNotRunning;
}

int ClientCommands::Versions(CommandLine& args) {
    Client c = Connect(args, 0);
    if (c.failure) return c.failure;
    std::int32_t service = 0, core = 0;
    MessageBuffer none;
    if (!Send(c, VersionsRequest, service, core, none)) return NoAnswer(c, "versions");
    const TextBuffer serviceText(static_cast<std::uint32_t>(service)), coreText(static_cast<std::uint32_t>(core));
    if (c.json)
        std::printf("{\"service\":\"%s\",\"core\":\"%s\"}\n", serviceText.Text(), coreText.Text());
    else
        std::printf("service %s\ncore %s\n", serviceText.Text(), coreText.Text());
    return kExitOk;
}

int ClientCommands::Info(CommandLine& args) {
    std::uint32_t kind = QuillbridgeLog;
    const auto kindText = args.Value("kind");
    if (kindText && !KindOf(*kindText, kind)) return ServiceOptions::Fail("--kind is quillbridge or debug", kExitUsage);
    Client c = Connect(args, 0);
    if (c.failure) return c.failure;
    std::int32_t p1 = static_cast<std::int32_t>(kind), p2 = 0;
    MessageBuffer data;
    if (!Send(c, LogInfoRequest, p1, p2, data)) return NoAnswer(c, "log information");
    const LogInfo info = LogInfo::Decode(data.Data(), data.Size());
    if (c.json)
        std::printf("{\"firstRecord\":%llu,\"recordCount\":%u}\n", static_cast<unsigned long long>(info.firstRecord),
                    info.recordCount);
    else
        std::printf("first record: %llu\nrecords: %u\n", static_cast<unsigned long long>(info.firstRecord),
                    info.recordCount);
    return kExitOk;
}

int ClientCommands::Read(CommandLine& args) {
    std::uint32_t count = kMaxRecordsPerRequest;
    std::string error;
    if (auto given = args.Value("count"); given && !RecordText::ParseNumber(*given, count, error))
        return ServiceOptions::Fail(error, kExitUsage);
    if (args.Positional().empty()) return ServiceOptions::Fail("read needs a record number", kExitUsage);
    const std::string& positionText = args.Positional()[0];
    // Record numbers run from 1 to 2^63 - 1 (the store's row ids).
    errno = 0;
    const std::uint64_t position = std::strtoull(positionText.c_str(), nullptr, 10);
    if (positionText.empty() || positionText.find_first_not_of("0123456789") != std::string::npos || errno != 0 ||
        position > static_cast<std::uint64_t>(INT64_MAX))
        return ServiceOptions::Fail("\"" + positionText + "\" is not a record number (0 to 9223372036854775807)",
                                    kExitUsage);
    Client c = Connect(args, 1);
    if (c.failure) return c.failure;
    std::int32_t p1 = QuillbridgeLog, p2 = 0;
    MessageBuffer infoData;
    if (!Send(c, LogInfoRequest, p1, p2, infoData)) return NoAnswer(c, "log information");
    const LogInfo info = LogInfo::Decode(infoData.Data(), infoData.Size());
    // What the service holds says where records start: a reply cannot, so asking below the first
    // record would only invite a service to answer with records from elsewhere.
    if (position < info.firstRecord || position - info.firstRecord >= info.recordCount) {
        if (info.recordCount == 0)
            std::fprintf(stderr, "quillbridge-service: the log is empty\n");
        else
            std::fprintf(stderr, "quillbridge-service: no record %llu: the log holds records %llu to %llu\n",
                         static_cast<unsigned long long>(position),
                         static_cast<unsigned long long>(info.firstRecord),
                         static_cast<unsigned long long>(info.firstRecord + info.recordCount - 1));
        return kExitOk;
    }
    // As the viewer does: at most 50 a request, from the first number plus those received, until
    // the service has no more.
    std::uint64_t next = position;
    while (count > 0) {
        const std::int32_t asked = static_cast<std::int32_t>(std::min<std::uint32_t>(count, kMaxRecordsPerRequest));
        p1 = QuillbridgeLog;
        p2 = asked;
        MessageBuffer data(&next, sizeof next);
        if (!Send(c, ReadRecordsRequest, p1, p2, data)) return NoAnswer(c, "read");
        if (p2 <= 0) break;
        const std::int32_t got = std::min(p2, asked);
        std::uint32_t cursor = 0;
        WireRecord record;
        for (std::int32_t i = 0; i < got; ++i) {
            if (!RecordCodec::Decode(data.Data(), data.Size(), cursor, record))
                return ServiceOptions::Fail("the service sent a malformed record", kExitError);
            const std::uint64_t number = next + static_cast<std::uint64_t>(i);
            const std::string line = c.json ? RecordText::ToJson(record, number) : RecordText::ToLine(record, number);
            std::printf("%s\n", line.c_str());
        }
        next += static_cast<std::uint64_t>(got);
        count -= static_cast<std::uint32_t>(got);
    }
    return kExitOk;
}

int ClientCommands::DebugPath(CommandLine& args) {
    Client c = Connect(args, 0);
    if (c.failure) return c.failure;
    std::int32_t p1 = FetchLogFile, p2 = static_cast<std::int32_t>(DebugLog);
    TextBuffer data;
    if (!Send(c, LogFileRequest, p1, p2, data)) return NoAnswer(c, "debug log");
    const std::string path(reinterpret_cast<const char*>(data.Data()),
                           strnlen(reinterpret_cast<const char*>(data.Data()), data.Size()));
    // The service's text reaches a terminal: nothing in it may drive the terminal.
    if (c.json)
        std::printf("{\"path\":%s}\n", JsonObject::Quote(path).c_str());
    else
        std::printf("%s\n", RecordText::Printable(path).c_str());
    return kExitOk;
}

int ClientCommands::Clear(CommandLine& args) {
    std::uint32_t kind;
    if (args.Positional().empty() || !KindOf(args.Positional()[0], kind))
        return ServiceOptions::Fail("usage: clear quillbridge|debug", kExitUsage);
    Client c = Connect(args, 1);
    if (c.failure) return c.failure;
    std::int32_t p1 = ClearLogFile, p2 = static_cast<std::int32_t>(kind);
    MessageBuffer none;
    if (!Send(c, LogFileRequest, p1, p2, none)) {
        if (ServiceChannel::LastFailure() != ServiceChannel::Failure::NoReply)
            return NoAnswer(c, "clear");
        return ServiceOptions::Fail("the service could not clear the " + args.Positional()[0] + " log", kExitError);
    }
    if (c.json)
        std::printf("{\"cleared\":%s}\n", JsonObject::Quote(args.Positional()[0]).c_str());
    else
        std::printf("%s log cleared\n", args.Positional()[0].c_str());
    return kExitOk;
}
