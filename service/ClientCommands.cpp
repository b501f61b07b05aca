#include "service/ClientCommands.h"

#include <cstdio>
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
    int failure = kExitOk;
};

Client Connect(CommandLine& args, std::size_t positionals) {
    Client c;
    const std::string name = ServiceOptions::Name(args);
    c.json = args.Flag("json");
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
    return c.channel->SendMsg(msgId, p1, p2, data, ServiceChannel::kRequestTimeoutMs) == 1;
}

int NoAnswer(const char* what) {
    return ServiceOptions::Fail(std::string("the service did not answer the ") + what + " request", kExitError);
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
    if (!Send(c, VersionsRequest, service, core, none)) return NoAnswer("versions");
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
    if (!Send(c, LogInfoRequest, p1, p2, data)) return NoAnswer("log information");
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
    char* end = nullptr;
    const std::string& positionText = args.Positional()[0];
    std::uint64_t position = std::strtoull(positionText.c_str(), &end, 10);
    if (positionText.empty() || *end != '\0' || positionText[0] == '-')
        return ServiceOptions::Fail("\"" + positionText + "\" is not a record number", kExitUsage);
    Client c = Connect(args, 1);
    if (c.failure) return c.failure;
    // As the viewer does: at most 50 a request, from the first number plus those received.
    while (count > 0) {
        std::int32_t p1 = QuillbridgeLog;
        std::int32_t p2 = static_cast<std::int32_t>(count < kMaxRecordsPerRequest ? count : kMaxRecordsPerRequest);
        MessageBuffer data(&position, sizeof position);
        if (!Send(c, ReadRecordsRequest, p1, p2, data)) return NoAnswer("read");
        if (p2 <= 0) break;
        std::uint32_t cursor = 0;
        WireRecord record;
        for (std::int32_t i = 0; i < p2; ++i) {
            if (!RecordCodec::Decode(data.Data(), data.Size(), cursor, record))
                return ServiceOptions::Fail("the service sent a malformed record", kExitError);
            const std::string line = c.json ? RecordText::ToJson(record, position + static_cast<std::uint64_t>(i))
                                            : RecordText::ToLine(record, position + static_cast<std::uint64_t>(i));
            std::printf("%s\n", line.c_str());
        }
        position += static_cast<std::uint64_t>(p2);
        count -= static_cast<std::uint32_t>(p2) < count ? static_cast<std::uint32_t>(p2) : count;
    }
    return kExitOk;
}

int ClientCommands::DebugPath(CommandLine& args) {
    Client c = Connect(args, 0);
    if (c.failure) return c.failure;
    std::int32_t p1 = FetchLogFile, p2 = static_cast<std::int32_t>(DebugLog);
    TextBuffer data;
    if (!Send(c, LogFileRequest, p1, p2, data)) return NoAnswer("debug log");
    const std::string path(reinterpret_cast<const char*>(data.Data()),
                           strnlen(reinterpret_cast<const char*>(data.Data()), data.Size()));
    if (c.json)
        std::printf("{\"path\":%s}\n", JsonObject::Quote(path).c_str());
    else
        std::printf("%s\n", path.c_str());
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
    if (!Send(c, LogFileRequest, p1, p2, none))
        return ServiceOptions::Fail("the service could not clear the " + args.Positional()[0] + " log", kExitError);
    if (c.json)
        std::printf("{\"cleared\":%s}\n", JsonObject::Quote(args.Positional()[0]).c_str());
    else
        std::printf("%s log cleared\n", args.Positional()[0].c_str());
    return kExitOk;
}
