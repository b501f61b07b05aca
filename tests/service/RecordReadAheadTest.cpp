// Reading the log ahead of a client that reads it in order: what is handed out is what a read at
// that moment would give, and nothing read before a change is handed out after it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "service/RecordReadAhead.h"
#include "tests/support/TempDirectory.h"

namespace {

constexpr std::uint32_t kRoom = 256 * 1024;

StoredRecord Record(const std::string& description) {
    StoredRecord r;
    r.time = 134100000000000000ull;
    r.level = 5;
    r.description = description;
    return r;
}

std::vector<StoredRecord> Records(const std::string& prefix, int count) {
    std::vector<StoredRecord> records;
    for (int i = 0; i < count; ++i) records.push_back(Record(prefix + std::to_string(i)));
    return records;
}

struct Log {
    TempDirectory dir;
    std::string path = dir.File("log.sqlite");
    std::string error;
    std::unique_ptr<LogStore> store = LogStore::Open(path, error);

    std::unique_ptr<LogStore> Connection() { return LogStore::Open(path, error); }
    RecordChunk Direct(std::uint64_t position, std::uint32_t maxCount, std::uint32_t room = kRoom) {
        RecordChunk chunk;
        EXPECT_TRUE(RecordChunk::Read(*store, position, maxCount, room, chunk, error)) << error;
        return chunk;
    }
};

void ExpectSame(const RecordChunk& got, const RecordChunk& expected, std::uint64_t position) {
    EXPECT_EQ(got.count, expected.count) << "at " << position;
    EXPECT_EQ(got.bytes, expected.bytes) << "at " << position;
}

}  // namespace

TEST(RecordReadAhead, HandsOutExactlyWhatAReadGivesChunkAfterChunkToTheEnd) {
    Log log;
    ASSERT_TRUE(log.store && log.store->Append(Records("r ", 1030), log.error)) << log.error;
    RecordReadAhead ahead(log.Connection());
    RecordChunk chunk;
    EXPECT_FALSE(ahead.Take(1, 50, kRoom, chunk)) << "nothing asked for yet";

    // As the service does: the first chunk read for the request, the rest taken from ahead.
    std::uint64_t position = 1;
    chunk = log.Direct(position, 50);
    int taken = 0;
    while (chunk.count == 50) {
        position += 50;
        ahead.ReadFrom(position, 50, kRoom);
        ASSERT_TRUE(ahead.Take(position, 50, kRoom, chunk)) << "at " << position;
        ExpectSame(chunk, log.Direct(position, 50), position);
        ++taken;
    }
    EXPECT_EQ(taken, 20);
    EXPECT_EQ(chunk.count, 30) << "the short last chunk";
    EXPECT_FALSE(ahead.Take(position + 30, 50, kRoom, chunk)) << "nothing past the end";

    // Another size or room is another request: not answered from what was read for the first.
    ahead.ReadFrom(101, 50, kRoom);
    EXPECT_FALSE(ahead.Take(101, 10, kRoom, chunk));
    EXPECT_FALSE(ahead.Take(101, 50, 1000, chunk));
    // A room that holds fewer records than asked: the chunk says how many made it in.
    ahead.ReadFrom(101, 50, 300);
    ASSERT_TRUE(ahead.Take(101, 50, 300, chunk));
    ExpectSame(chunk, log.Direct(101, 50, 300), 101);
    EXPECT_LT(chunk.count, 50);
}

TEST(RecordReadAhead, NothingReadBeforeAChangeIsHandedOutAfterIt) {
    Log log;
    ASSERT_TRUE(log.store && log.store->Append(Records("old ", 400), log.error)) << log.error;
    RecordReadAhead ahead(log.Connection());
    RecordChunk chunk;
    ahead.ReadFrom(51, 50, kRoom);
    ASSERT_TRUE(ahead.Take(51, 50, kRoom, chunk));  // the worker is under way, 101 and on

    // Another program clears the log and writes new records, and the server notices.
    auto other = log.Connection();
    std::uint64_t before = 0, after = 0;
    ASSERT_TRUE(log.store->DataVersion(before, log.error));
    ASSERT_TRUE(other->Clear(log.error) && other->Append(Records("new ", 400), log.error)) << log.error;
    ASSERT_TRUE(log.store->DataVersion(after, log.error));
    EXPECT_NE(before, after) << "another connection's change shows";
    ahead.Forget();
    EXPECT_FALSE(ahead.Take(101, 50, kRoom, chunk)) << "the old records are gone";

    // Its own changes do not show in a connection's version: the server forgets for them itself.
    ASSERT_TRUE(log.store->DataVersion(before, log.error));
    ASSERT_TRUE(log.store->Append(Records("own ", 1), log.error));
    ASSERT_TRUE(log.store->DataVersion(after, log.error));
    EXPECT_EQ(before, after);

    // Reading on after the change gives the new records.
    ahead.ReadFrom(451, 50, kRoom);
    ASSERT_TRUE(ahead.Take(451, 50, kRoom, chunk));
    ExpectSame(chunk, log.Direct(451, 50), 451);
    ASSERT_TRUE(ahead.Take(501, 50, kRoom, chunk));
    ExpectSame(chunk, log.Direct(501, 50), 501);
}

TEST(RecordReadAhead, ReadsAheadOnlySoFarAndStopsWithoutWaitingForAClient) {
    Log log;
    ASSERT_TRUE(log.store && log.store->Append(Records("r ", 5000), log.error)) << log.error;
    {
        RecordReadAhead ahead(log.Connection());
        ahead.ReadFrom(1, 50, kRoom);
        RecordChunk chunk;
        // A client that skips ahead past what was read starts the reading afresh from there.
        ASSERT_TRUE(ahead.Take(1, 50, kRoom, chunk));
        ahead.ReadFrom(4001, 50, kRoom);
        ASSERT_TRUE(ahead.Take(4001, 50, kRoom, chunk));
        ExpectSame(chunk, log.Direct(4001, 50), 4001);
        EXPECT_FALSE(ahead.Take(101, 50, kRoom, chunk)) << "what lay before the skip is dropped";
    }  // destroyed while its worker may still be reading: it ends without a client
}
