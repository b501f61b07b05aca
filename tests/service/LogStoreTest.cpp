// The log store and the demo log.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

#include "service/DemoLog.h"
#include "service/LogStore.h"
#include "tests/support/TempDirectory.h"

namespace {

constexpr std::uint64_t kNow = 134100000000000000ull;

StoredRecord Record(const std::string& description, std::size_t attachment = 0) {
    StoredRecord r;
    r.time = kNow;
    r.level = 3;
    r.source = 1;
    r.description = description;
    r.attachmentKind = attachment ? 3 : 0;
    r.attachment.assign(attachment, 0x42);
    return r;
}

std::vector<std::string> Descriptions(LogStore& store, std::uint64_t from, std::uint32_t count) {
    std::vector<std::string> out;
    std::string error;
    EXPECT_TRUE(store.Read(
        from, count,
        [&](const WireRecord& r) {
            out.emplace_back(r.description);
            return true;
        },
        error))
        << error;
    return out;
}

}  // namespace

TEST(LogStore, AppendReadClearAndNumbersThatOnlyGrow) {
    TempDirectory dir;
    std::string error;
    auto store = LogStore::Open(dir.File("log.sqlite"), error);
    ASSERT_TRUE(store) << error;
    LogInfo info;
    ASSERT_TRUE(store->Info(info, error));
    EXPECT_EQ(info.firstRecord, 1u);
    EXPECT_EQ(info.recordCount, 0u);

    ASSERT_TRUE(store->Append({Record("a"), Record("b"), Record("c")}, error)) << error;
    ASSERT_TRUE(store->Info(info, error));
    EXPECT_EQ(info.firstRecord, 1u);
    EXPECT_EQ(info.recordCount, 3u);
    EXPECT_EQ(Descriptions(*store, 2, 50), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(Descriptions(*store, 1, 1), (std::vector<std::string>{"a"}));
    EXPECT_TRUE(Descriptions(*store, 4, 50).empty());

    ASSERT_TRUE(store->Clear(error));
    ASSERT_TRUE(store->Info(info, error));
    EXPECT_EQ(info.firstRecord, 4u) << "the next number, not a reused one";
    EXPECT_EQ(info.recordCount, 0u);
    ASSERT_TRUE(store->Append({Record("d")}, error));
    store.reset();

    store = LogStore::Open(dir.File("log.sqlite"), error);  // and after reopening
    ASSERT_TRUE(store->Info(info, error));
    EXPECT_EQ(info.firstRecord, 4u);
    EXPECT_EQ(info.recordCount, 1u);
    EXPECT_EQ(Descriptions(*store, 4, 50), (std::vector<std::string>{"d"}));
}

TEST(LogStore, RecordsThatNoReplyCouldCarryNeverGetIn) {
    TempDirectory dir;
    std::string error;
    auto store = LogStore::Open(dir.File("log.sqlite"), error);
    ASSERT_TRUE(store);
    // 28 + 4 (empty description) + attachment = the whole room of a reply.
    const std::size_t largest = LogStore::kMaxEncodedRecord - 32;
    EXPECT_EQ(LogStore::Check(Record("", largest)), "");
    EXPECT_NE(LogStore::Check(Record("", largest + 1)), "");
    EXPECT_NE(LogStore::Check(Record(std::string("a\0b", 3))), "");
    ASSERT_TRUE(store->Append({Record("", largest)}, error)) << error;
    EXPECT_FALSE(store->Append({Record("fine"), Record("longer", largest)}, error))
        << "one bad record refuses the batch";
    EXPECT_NE(error.find("bytes"), std::string::npos) << error;
    LogInfo info;
    ASSERT_TRUE(store->Info(info, error));
    EXPECT_EQ(info.recordCount, 1u);

    // Another program that writes into the database directly meets the same rule.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(dir.File("log.sqlite").c_str(), &db), SQLITE_OK);
    const std::string tooLarge =
        "INSERT INTO records (time, status, source, level, attachment_kind, description, "
        "attachment) VALUES (0, 0, 0, 0, 3, 'longer', zeroblob(" +
        std::to_string(largest) + "))";
    EXPECT_EQ(sqlite3_exec(db, tooLarge.c_str(), nullptr, nullptr, nullptr), SQLITE_CONSTRAINT);
    EXPECT_EQ(sqlite3_exec(db,
                           "INSERT INTO records (time, status, source, level, attachment_kind, description, attachment)"
                           " VALUES (0, 0, 0, 0, 0, x'610062', x'')",
                           nullptr, nullptr, nullptr),
              SQLITE_CONSTRAINT)
        << "a NUL inside the description";
    EXPECT_EQ(sqlite3_exec(db,
                           "INSERT INTO records (time, status, source, level, attachment_kind, description, attachment)"
                           " VALUES (0, 4294967296, 0, 0, 0, 'x', x'')",
                           nullptr, nullptr, nullptr),
              SQLITE_CONSTRAINT)
        << "a status beyond 32 bits";
    sqlite3_close(db);
}

TEST(LogStore, FilesThatAreNotAStore) {
    TempDirectory dir;
    std::string error;
    EXPECT_FALSE(LogStore::Open(dir.File("missing/log.sqlite"), error));
    EXPECT_NE(error.find("missing/log.sqlite"), std::string::npos) << error;
    FILE* f = std::fopen(dir.File("text.sqlite").c_str(), "w");
    std::fputs("this is not a database, just some text that is long enough to have a header.....\n", f);
    std::fclose(f);
    error.clear();
    EXPECT_FALSE(LogStore::Open(dir.File("text.sqlite"), error));
    EXPECT_NE(error, "");
}

TEST(LogStore, ReadsExactlyFromThePositionAskedOrNothing) {
    TempDirectory dir;
    std::string error;
    auto store = LogStore::Open(dir.File("log.sqlite"), error);
    ASSERT_TRUE(store) << error;
    ASSERT_TRUE(store->Append({Record("a"), Record("b"), Record("c")}, error));
    ASSERT_TRUE(store->Clear(error));
    ASSERT_TRUE(store->Append({Record("d"), Record("e"), Record("f")}, error));  // 4, 5, 6
    struct Case {
        std::uint64_t position;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {0, {}},  // a reply cannot say where it starts: records from 4 would pass for 0, 1, ...
        {1, {}},
        {3, {}},
        {4, {"d", "e", "f"}},
        {6, {"f"}},
        {7, {}},
        {0x8000000000000000ull, {}},  // above every row id; bound as a negative number it would be below
        {~0ull, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Descriptions(*store, c.position, 50), c.expected) << c.position;

    // A gap that another program cut into the numbers ends a reply there.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(dir.File("log.sqlite").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "DELETE FROM records WHERE recno = 5", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    EXPECT_EQ(Descriptions(*store, 4, 50), std::vector<std::string>{"d"});
}

TEST(LogStore, RefusedFilesAreLeftAsTheyWereAndNewOnesArePrivate) {
    TempDirectory dir;
    std::string error;
    auto made = LogStore::Open(dir.File("new.sqlite"), error);
    ASSERT_TRUE(made) << error;
    struct stat st {};
    ASSERT_EQ(stat(dir.File("new.sqlite").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "logs may be private";

    struct Case {
        const char* file;
        const char* setup;
        const char* message;
    };
    const Case cases[] = {
        {"newer.sqlite", "PRAGMA user_version=2", "newer version"},
        {"foreign.sqlite", "CREATE TABLE people (name TEXT)", "not a Quillbridge log"},
        {"lookalike.sqlite", "CREATE TABLE records (recno INTEGER PRIMARY KEY); PRAGMA user_version=1",
         "not a Quillbridge log"},
    };
    for (const Case& c : cases) {
        const std::string path = dir.File(c.file);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, c.setup, nullptr, nullptr, nullptr), SQLITE_OK) << c.file;
        sqlite3_close(db);
        std::ifstream before(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(before)), std::istreambuf_iterator<char>());

        error.clear();
        EXPECT_FALSE(LogStore::Open(path, error)) << c.file;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        std::ifstream after(path, std::ios::binary);
        EXPECT_EQ(std::string((std::istreambuf_iterator<char>(after)), std::istreambuf_iterator<char>()), bytes)
            << c.file << ": not switched to WAL, not stamped";
        EXPECT_NE(stat((path + "-wal").c_str(), &st), 0) << c.file;
    }
    error.clear();
    EXPECT_FALSE(LogStore::Open("", error)) << "not SQLite's temporary database";
    EXPECT_NE(error.find("needs a path"), std::string::npos) << error;
}

TEST(DemoLog, ShowsEverythingTheViewerMustHandle) {
    const std::vector<StoredRecord> a = DemoLog::Make(1000, kNow, 3), b = DemoLog::Make(1000, kNow, 3);
    std::set<std::uint32_t> levels, sources, kinds;
    std::set<std::uint32_t> lowHalves;
    int future = 0, sharedLow = 0, old = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const StoredRecord& r = a[i];
        ASSERT_EQ(LogStore::Check(r), "");
        levels.insert(r.level);
        sources.insert(r.source);
        kinds.insert(r.attachment.empty() ? 0 : r.attachmentKind);
        future += r.time > kNow;
        old += r.time < kNow - 45ull * 86400 * 10000000;
        sharedLow += !lowHalves.insert(static_cast<std::uint32_t>(r.time)).second;
        EXPECT_EQ(r.time, b[i].time) << "the same seed, the same log";
        EXPECT_EQ(r.description, b[i].description);
    }
    for (std::uint32_t level = 0; level <= 7; ++level) EXPECT_TRUE(levels.count(level)) << "level " << level;
    for (std::uint32_t source = 0; source <= 3; ++source) EXPECT_TRUE(sources.count(source)) << "source " << source;
    for (std::uint32_t kind : {0u, 1u, 2u, 3u}) EXPECT_TRUE(kinds.count(kind)) << "attachment kind " << kind;
    EXPECT_TRUE(*levels.rbegin() > 7 || *sources.rbegin() > 3) << "a code without a caption";
    EXPECT_GT(future, 0);
    EXPECT_GT(sharedLow, 0);
    EXPECT_EQ(old, 0) << "nothing older than 45 days";
}
