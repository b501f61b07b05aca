#include "service/DemoLog.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>

#include "platform/kernel/FileTime.h"

namespace {

enum class Severity { Info, Warning, Error, Fatal };

struct Template {
    std::uint32_t source;  // 0 Engine, 1 GUI, 2 Service, 3 Driver
    Severity severity;
    std::uint32_t status;
    const char* text;  // %s: a server, %u: a number
    int weight;
};

constexpr Template kTemplates[] = {
    {0, Severity::Info, 0x00010001, "Tunnel established to %s (AES-256-GCM, UDP 443)", 14},
    {0, Severity::Info, 0x00010002, "Tunnel to %s closed after %u minutes", 10},
    {0, Severity::Info, 0x00010003, "Rekeyed session with %s", 8},
    {0, Severity::Warning, 0x00020004, "Keep-alive timeout from %s, reconnecting (attempt %u)", 6},
    {0, Severity::Error, 0x00030005, "Handshake with %s failed: server certificate expired", 3},
    {0, Severity::Info, 0x00010006, "Throughput to %s: %u KB/s over the last minute", 8},
    {1, Severity::Info, 0x01010001, "Profile \"%s\" selected by the user", 5},
    {1, Severity::Info, 0x01010002, "Settings saved (%u changes)", 3},
    {1, Severity::Warning, 0x01020003, "Update check against %s timed out after %u s", 2},
    {2, Severity::Info, 0x02010001, "Quillbridge service started (process %u)", 2},
    {2, Severity::Info, 0x02010002, "Configuration reloaded from /etc/quillbridge/%s.conf", 3},
    {2, Severity::Warning, 0x02020003, "Debug log rotated: %u lines archived", 2},
    {2, Severity::Error, 0x02030004, "Cannot write the state file: no space left on device (%u bytes free)", 1},
    {2, Severity::Fatal, 0x02040005, "Service watchdog expired; restarting after %u ms", 1},
    {3, Severity::Info, 0x03010001, "Virtual adapter up: 10.8.%u.2/24, MTU 1420", 5},
    {3, Severity::Info, 0x03010002, "Route to %s added through the tunnel", 4},
    {3, Severity::Warning, 0x03020003, "Dropped %u packets with bad checksums", 3},
    {3, Severity::Error, 0x03030004, "Adapter %s did not answer; resetting it", 1},
    {3, Severity::Fatal, 0x03040005, "Driver fault 0x%X in the packet filter; adapter disabled", 1},
};

const char* const kServers[] = {"gw-fra-03.quillbridge.net", "gw-ams-01.quillbridge.net", "gw-lon-07.quillbridge.net",
                                "gw-nyc-02.quillbridge.net", "gw-sin-04.quillbridge.net"};
const char* const kProfiles[] = {"office", "home", "travel", "lab"};

constexpr std::uint64_t kTicksPerSecond = kFileTimeTicksPerSecond;
constexpr std::uint64_t kDemoSpan = 45ull * 86400 * kTicksPerSecond;
constexpr std::uint64_t kLowHalfWrap = 1ull << 32;  // times this far apart share their low 32 bits

std::uint32_t LevelCode(Severity s, std::mt19937& rng) {
    switch (s) {
        case Severity::Fatal:
            return std::uniform_int_distribution<std::uint32_t>(0, 2)(rng);
        case Severity::Error:
            return 3;
        case Severity::Warning:
            return 4;
        case Severity::Info:
            return std::uniform_int_distribution<std::uint32_t>(5, 7)(rng);
    }
    return 5;
}

void Attach(StoredRecord& r, int kind, std::mt19937& rng) {
    switch (kind) {
        case 1: {  // an error code or counter
            std::uint32_t v = std::uniform_int_distribution<std::uint32_t>(0, 0xFFFF)(rng) | (r.statusId & 0xFFFF0000u);
            r.attachmentKind = 1;
            r.attachment.resize(4);
            std::memcpy(r.attachment.data(), &v, 4);
            break;
        }
        case 2: {  // connection details
            char text[200];
            std::snprintf(text, sizeof text, "server=%s\r\nport=443\r\nprotocol=udp\r\nretries=%u",
                          kServers[rng() % std::size(kServers)], static_cast<unsigned>(rng() % 5));
            r.attachmentKind = 2;
            r.attachment.assign(text, text + std::strlen(text));
            break;
        }
        case 3: {  // the head of a packet
            r.attachmentKind = rng() % 4 == 0 ? 7 : 3;
            r.attachment.resize(20 + rng() % 45);
            r.attachment[0] = 0x45;
            for (std::size_t i = 1; i < r.attachment.size(); ++i) r.attachment[i] = static_cast<std::uint8_t>(rng());
            break;
        }
        default:
            break;
    }
}

}  // namespace

std::vector<StoredRecord> DemoLog::Make(std::uint32_t count, std::uint64_t now, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<int> weights;
    for (const Template& t : kTemplates) weights.push_back(t.weight);
    std::discrete_distribution<std::size_t> pick(weights.begin(), weights.end());
    std::discrete_distribution<int> attachmentKind({40, 25, 20, 15});  // none, number, text, raw

    std::vector<std::uint64_t> times(count);
    std::uniform_int_distribution<std::uint64_t> when(now - kDemoSpan, now);
    for (auto& t : times) t = when(rng);
    std::sort(times.begin(), times.end());

    std::vector<StoredRecord> records(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        // The first records show every template and every kind of attachment; then by weight.
        const Template& t = i < std::size(kTemplates) ? kTemplates[i] : kTemplates[pick(rng)];
        StoredRecord& r = records[i];
        r.time = times[i];
        r.source = t.source;
        r.level = LevelCode(t.severity, rng);
        r.statusId = t.status;
        char text[300];
        const unsigned number = 2 + static_cast<unsigned>(rng() % 250);
        const bool profile = std::strstr(t.text, "Profile") || std::strstr(t.text, ".conf");
        const char* name =
            profile ? kProfiles[rng() % std::size(kProfiles)] : kServers[rng() % std::size(kServers)];
        if (std::strstr(t.text, "%s") && std::strstr(t.text, "%u"))
            std::snprintf(text, sizeof text, t.text, name, number);
        else if (std::strstr(t.text, "%s"))
            std::snprintf(text, sizeof text, t.text, name);
        else
            std::snprintf(text, sizeof text, t.text, number);
        r.description = text;
        Attach(r, i < 4 ? static_cast<int>(i) : attachmentKind(rng), rng);
        // Now and then a code that has no caption in the viewer.
        if (rng() % 100 == 0) (rng() % 2 ? r.level : r.source) = 8 + rng() % 4;
    }
    if (count >= 10) {
        // A clock that ran ahead: a few entries dated up to three days into the future.
        std::uniform_int_distribution<std::uint64_t> ahead(60 * kTicksPerSecond, 3 * 86400 * kTicksPerSecond);
        for (std::uint32_t i = count / 2; i < count; i += 97) records[i].time = now + ahead(rng);
        // Pairs whose times share the low 32 bits: a whole number of wraps apart.
        for (std::uint32_t i = count / 3; i + 1 < count; i += 53) {
            const std::uint64_t gap = records[i + 1].time > records[i].time ? records[i + 1].time - records[i].time : 0;
            records[i + 1].time = records[i].time + std::max<std::uint64_t>(1, gap / kLowHalfWrap) * kLowHalfWrap;
        }
    }
    return records;
}
