// The loader against the real service and against a scripted one, with a frame that records
// what it is told.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/LogLoader.h"
#include "channel/ServiceChannel.h"
#include "platform/kernel/FileTime.h"
#include "presentation/FieldText.h"
#include "service/JsonObject.h"
#include "tests/support/ServiceFixture.h"

namespace {

constexpr std::uint64_t kNow = 134100000000000000ull;
constexpr std::uint64_t kSecond = kFileTimeTicksPerSecond;
constexpr auto kWait = std::chrono::seconds(60);

struct Row {
    std::uint32_t key;
    std::uint64_t time;
    std::uint32_t level, source, status;
    std::string description;
};

// A frame that keeps what the loader tells it. The notifications run on the loader's thread.
class RecordingFrame : public LoaderFrame {
public:
    void OnLoadBegin(std::uint32_t recordCount) override {
        std::lock_guard lock(mutex_);
        events_.push_back("begin " + std::to_string(recordCount));
        rows_.clear();
        changed_.notify_all();
    }
    void OnRecord(const RecordNotice& n) override {
        Row row{n.recordKey,        (std::uint64_t{n.timeHigh} << 32) | n.timeLow,
                n.record->level,    n.record->source,
                n.record->statusId, n.record->description.Text()};
        std::function<void()> hook;
        {
            std::lock_guard lock(mutex_);
            rows_.push_back(row);
            ++steps_;  // a row comes with its step
            hook = onRecord;
            changed_.notify_all();
        }
        if (hook) hook();
    }
    void OnLoadEnd() override {
        std::lock_guard lock(mutex_);
        events_.push_back("end " + std::to_string(rows_.size()));
        changed_.notify_all();
    }
    void StepProgress() override {
        std::lock_guard lock(mutex_);
        ++steps_;
    }

    // Waits until `events` notifications have come; false after a minute.
    bool WaitForEvents(std::size_t events) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kWait, [&] { return events_.size() >= events; });
    }
    std::vector<std::string> Events() {
        std::lock_guard lock(mutex_);
        return events_;
    }
    std::vector<Row> Rows() {
        std::lock_guard lock(mutex_);
        return rows_;
    }
    int Steps() {
        std::lock_guard lock(mutex_);
        return steps_;
    }
    // The attachment text of a row, as the preview would show it ("" without one).
    std::string AttachmentOf(std::uint32_t key) {
        std::lock_guard lock(loaderLock);
        auto it = attachments.find(key);
        return it == attachments.end() ? "" : AttachedDataExportText(it->second);
    }

    std::function<void()> onRecord;  // runs on the loader's thread after each record

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> events_;
    std::vector<Row> rows_;
    int steps_ = 0;
};

// A frame connected to a service, with a loader running on it.
struct Loading {
    explicit Loading(const std::string& name, LogLoader::Clock now = nullptr) : channel(name.c_str()) {
        connected = channel.IsServiceRunning() && channel.Connect(SYNCHRONIZE) == 1;
        frame.channel = &channel;
        loader = std::make_unique<LogLoader>(frame, std::move(now));
    }
    ~Loading() { loader->Stop(); }
    // Requests a load and waits for its end.
    bool Load() {
        const std::size_t before = frame.Events().size();
        frame.RequestReload();
        return frame.WaitForEvents(before + 2);
    }

    ServiceChannel channel;
    bool connected = false;
    RecordingFrame frame;
    std::unique_ptr<LogLoader> loader;
};

std::unique_ptr<ChildProcess> StartPeer(const std::string& name, const std::string& mode, int count, int first) {
    auto peer = std::make_unique<ChildProcess>(
        std::vector<std::string>{SCRIPTED_PEER, name, mode, std::to_string(count), std::to_string(first)});
    if (!peer->Started() || !peer->WaitForLine("ready")) return nullptr;
    return peer;
}

// The "read" lines the peer printed, until it has printed `count` of them.
std::vector<std::string> Reads(ChildProcess& peer, std::size_t count) {
    std::vector<std::string> reads;
    std::string line;
    while (reads.size() < count && peer.ReadLine(line))
        if (line.rfind("read ", 0) == 0) reads.push_back(line.substr(5));
    return reads;
}

}  // namespace

TEST(LogLoader, LoadsTheWholeLogInOrderWithEveryAttachmentOnItsOwnRow) {
    ServiceFixture f;
    ASSERT_EQ(Cli({"demo", "599", "--db", f.db, "--seed", "11"}).exitCode, 0);
    ASSERT_EQ(
        Cli({"log", "--db", f.db, "--level", "info", "--source", "gui", "--description", "", "--number", "5"}).exitCode,
        0);  // an empty description, with an attachment after it
    ASSERT_TRUE(f.Start());
    Loading l(f.name);
    ASSERT_TRUE(l.connected);
    ASSERT_TRUE(l.Load());
    EXPECT_EQ(l.frame.Events(), (std::vector<std::string>{"begin 600", "end 600"}));
    EXPECT_EQ(l.frame.Steps(), 600);
    const std::vector<Row> rows = l.frame.Rows();
    ASSERT_EQ(rows.size(), 600u);

    // Compare with what the service's own reader prints, record by record: each row shows the
    // attachment of its own record, also when another record's time shares its low 32 bits.
    ProgramResult read = Cli({"read", "1", "--count", "600", "--name", f.name, "--json"});
    std::istringstream lines(read.out);
    std::string line;
    std::map<std::uint32_t, int> attachedByLowHalf;
    for (std::size_t i = 0; std::getline(lines, line); ++i) {
        const Row& row = rows.at(i);
        EXPECT_EQ(row.key, i) << "keys are numbered in the load";
        std::string error;
        const JsonObject json = JsonObject::Parse(line, error);
        ASSERT_EQ(error, "") << line;
        EXPECT_EQ(row.description, json.Find("description")->text);
        std::string expected;
        if (const auto* number = json.Find("number")) expected = FormatStatus(std::stoul(number->text));
        if (const auto* text = json.Find("text")) expected = text->text;
        if (const auto* hex = json.Find("hex")) expected = "[Binary]" + hex->text;
        EXPECT_EQ(l.frame.AttachmentOf(row.key), expected) << line;
        if (!expected.empty()) ++attachedByLowHalf[static_cast<std::uint32_t>(row.time)];
    }
    EXPECT_EQ(rows.back().description, "");
    EXPECT_EQ(l.frame.AttachmentOf(rows.back().key), "0x00000005");
    int sharedWithAttachments = 0;
    for (const auto& [low, count] : attachedByLowHalf) sharedWithAttachments += count >= 2;
    EXPECT_GT(sharedWithAttachments, 0) << "the demo log has such pairs, both with attachments";
}

TEST(LogLoader, AsksForFiftyAtATimeFromTheFirstRecordPlusThoseReceived) {
    const std::string name = UniqueName("positions");
    auto peer = StartPeer(name, "plain", 120, 1000);
    ASSERT_TRUE(peer);
    Loading l(name);
    ASSERT_TRUE(l.Load());
    EXPECT_EQ(Reads(*peer, 3), (std::vector<std::string>{"1000 50", "1050 50", "1100 50"}));
    EXPECT_EQ(l.frame.Events(), (std::vector<std::string>{"begin 120", "end 120"}));
    const std::vector<Row> rows = l.frame.Rows();
    EXPECT_EQ(rows.front().description, "r1000");
    EXPECT_EQ(rows.back().description, "r1119");
}

TEST(LogLoader, EmptyLogShortRepliesAndMalformedOnes) {
    struct Case {
        const char* mode;
        int count;
        std::vector<std::string> reads;  // the positions asked for
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"plain", 0, {}, {"begin 0", "end 0"}},
        // Fewer than asked: the next position counts only those.
        {"fewer", 20, {"1 50", "8 50", "15 50"}, {"begin 20", "end 20"}},
        // States 50, holds 3: the three are shown, the position moves by the stated count.
        {"short-count", 100, {"1 50", "51 50"}, {"begin 100", "end 6"}},
        // The second record runs past the payload: the first is shown, the rest of the reply dropped.
        {"overrun", 6, {"1 50", "4 50"}, {"begin 6", "end 2"}},
    };
    for (const Case& c : cases) {
        const std::string name = UniqueName(c.mode);
        auto peer = StartPeer(name, c.mode, c.count, 1);
        ASSERT_TRUE(peer) << c.mode;
        Loading l(name);
        ASSERT_TRUE(l.Load()) << c.mode;
        EXPECT_EQ(l.frame.Events(), c.events) << c.mode;
        EXPECT_EQ(Reads(*peer, c.reads.size()), c.reads) << c.mode;
        peer->CloseInput();
        std::string line, more;
        while (peer->ReadLine(line, std::chrono::seconds(10)))
            if (line.rfind("read ", 0) == 0) more += line + ";";
        EXPECT_EQ(more, "") << c.mode << ": no further requests";
    }
}

TEST(LogLoader, AgeFilterAtItsLimitAndForTheFuture) {
    ServiceFixture f;
    std::string lines;
    struct Aged {
        const char* label;
        std::int64_t ageSeconds;  // negative: in the future
    };
    const Aged records[] = {
        {"86400", 86400}, {"86401", 86401}, {"future", -60}, {"month", 2592000}, {"older", 2592001}};
    for (const Aged& a : records)
        lines += R"({"level":5,"source":0,"description":")" + std::string(a.label) + R"(","filetime":)" +
                 std::to_string(kNow - static_cast<std::uint64_t>(a.ageSeconds * static_cast<std::int64_t>(kSecond))) +
                 "}\n";
    ASSERT_TRUE(f.Import(lines));
    ASSERT_TRUE(f.Start());
    Loading l(f.name, [] { return kNow; });
    struct Case {
        std::uint32_t filter;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {OneDay, {"86400"}},
        {OneMonth, {"86400", "86401", "month"}},
        {AllAges, {"86400", "86401", "future", "month", "older"}},
        {99, {"86400", "86401", "future", "month", "older"}},
    };
    for (const Case& c : cases) {
        l.frame.ageFilter = c.filter;
        ASSERT_TRUE(l.Load());
        std::vector<std::string> shown;
        for (const Row& r : l.frame.Rows()) shown.push_back(r.description);
        EXPECT_EQ(shown, c.shown) << "age filter " << c.filter;
        EXPECT_EQ(l.frame.Steps() % 5, 0) << "every record steps the progress, shown or not";
    }
}

TEST(LogLoader, FilterFunctions) {
    EXPECT_TRUE(LogLoader::AgeFilterAccepts(kNow - 86400 * kSecond, OneDay, kNow));
    EXPECT_TRUE(LogLoader::AgeFilterAccepts(kNow - 86400 * kSecond - kSecond + 1, OneDay, kNow)) << "whole seconds";
    EXPECT_FALSE(LogLoader::AgeFilterAccepts(kNow - 86401 * kSecond, OneDay, kNow));
    EXPECT_FALSE(LogLoader::AgeFilterAccepts(kNow + 1, OneMonth, kNow));
    EXPECT_TRUE(LogLoader::AgeFilterAccepts(kNow + 1, AllAges, kNow));
    const std::uint32_t limits[] = {86400, 172800, 259200, 604800, 1209600, 2592000};
    for (std::uint32_t f = 0; f < 6; ++f) {
        EXPECT_TRUE(LogLoader::AgeFilterAccepts(kNow - limits[f] * kSecond, f, kNow)) << f;
        EXPECT_FALSE(LogLoader::AgeFilterAccepts(kNow - (limits[f] + 1) * kSecond, f, kNow)) << f;
    }
    struct Case {
        std::uint32_t filter;
        std::uint32_t highestShown;  // levels 0..8 up to this one are shown
    };
    for (Case c :
         {Case{FatalOnly, 2}, Case{ErrorAndWorse, 3}, Case{WarningAndWorse, 4}, Case{AllLevels, 8}, Case{5, 8}}) {
        for (std::uint32_t level = 0; level <= 8; ++level)
            EXPECT_EQ(LogLoader::LevelFilterAccepts(level, c.filter), level <= c.highestShown)
                << "filter " << c.filter << " level " << level;
        EXPECT_TRUE(LogLoader::LevelFilterAccepts(0x80000000u, c.filter)) << "negative as a signed number";
    }
}

TEST(LogLoader, ReloadDuringALongLoadAbandonsItAtThePause) {
    const std::string name = UniqueName("reload");
    auto peer = StartPeer(name, "plain", 1500, 1);
    ASSERT_TRUE(peer);
    Loading l(name);
    int seen = 0;
    l.frame.onRecord = [&] {
        if (++seen == 5) l.frame.RequestReload();  // from the frame's side, during the first load
    };
    l.frame.RequestReload();
    ASSERT_TRUE(l.frame.WaitForEvents(4));
    const std::vector<std::string> events = l.frame.Events();
    // 21 requests in a row, then the pause, where the reload ends the first load.
    EXPECT_EQ(events, (std::vector<std::string>{"begin 1500", "end 1050", "begin 1500", "end 1500"}));
}

TEST(LogLoader, FailedRefreshKeepsTheRowsAndTheirAttachments) {
    const std::string name = UniqueName("keep");
    auto peer = StartPeer(name, "plain", 30, 1);
    ASSERT_TRUE(peer);
    Loading l(name);
    ASSERT_TRUE(l.Load());
    // Rows r1, r2, r3...: key 2 is r3, which has an attachment.
    EXPECT_EQ(l.frame.AttachmentOf(2), "[Binary]03010203");
    ASSERT_TRUE(peer->Send("fail-info"));
    ASSERT_TRUE(peer->WaitForLine("info"));  // the first load's
    l.frame.RequestReload();
    ASSERT_TRUE(peer->WaitForLine("info"));  // the refresh's, which fails
    EXPECT_EQ(l.frame.AttachmentOf(2), "[Binary]03010203");
    EXPECT_EQ(l.frame.Events().size(), 2u) << "no notification for a failed refresh";
}

TEST(LogLoader, SwitchingToTheDebugLogEndsTheLoadQuietly) {
    const std::string name = UniqueName("switch");
    auto peer = StartPeer(name, "plain", 200, 1);
    ASSERT_TRUE(peer);
    Loading l(name);
    int seen = 0;
    l.frame.onRecord = [&] {
        if (++seen == 10) l.frame.logKind = DebugLog;
    };
    ASSERT_TRUE(l.Load());
    // No record is handed over after the switch, not even the rest of a reply already in.
    EXPECT_EQ(l.frame.Events(), (std::vector<std::string>{"begin 200", "end 10"}));
}

TEST(LogLoader, StopEndsItWhileItWaitsForTheService) {
    const std::string name = UniqueName("stop");
    auto peer = StartPeer(name, "hang", 100, 1);
    ASSERT_TRUE(peer);
    Loading l(name);
    l.frame.RequestReload();
    ASSERT_TRUE(peer->WaitForLine("read 1 50"));  // the loader now waits for a reply that will not come
    const auto start = std::chrono::steady_clock::now();
    l.loader->Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30))
        << "stopped, not left waiting out the request's two minutes";
    EXPECT_EQ(l.frame.Events(), (std::vector<std::string>{"begin 100", "end 0"}));
    peer->Send("release");
}

TEST(LogLoader, WithoutAChannelNothingHappens) {
    RecordingFrame frame;
    LogLoader loader(frame);
    frame.RequestReload();
    // The request is taken (and fails) at the next poll; nothing is sent to the frame.
    const auto giveUp = std::chrono::steady_clock::now() + kWait;
    bool pending = true;
    while (pending && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::lock_guard lock(frame.loaderLock);
        pending = frame.reloadRequested != 0;
    }
    loader.Stop();
    EXPECT_FALSE(pending) << "the request was taken";
    EXPECT_TRUE(frame.Events().empty());
}
