#pragma once
// The Quillbridge log: an SQLite database (WAL mode) with one row per record and a record number
// that only grows. Numbers are contiguous: records are only appended, and a clear removes them
// all, so a reader may count positions from the first number. Other processes may append while
// the service reads.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "channel/RecordCodec.h"
#include "channel/ServiceChannel.h"
#include "channel/ServiceProtocol.h"
#include "service/SqliteHandles.h"
#include "service/StoredRecord.h"

class LogStore {
public:
    // The largest record on the wire: one that fills a reply alone. Larger ones never get in.
    static constexpr std::uint64_t kMaxEncodedRecord = ServiceChannel::kDataSize - ServiceChannel::kHeaderSize;

    // Opens the store, creating the file (readable by its owner only) and its table when missing.
    // Null, with `error` set, when the file cannot be opened for reading and writing or is not a
    // store of ours; a file that is refused is left as it was.
    static std::unique_ptr<LogStore> Open(const std::string& path, std::string& error);

    // Why the record cannot enter the store; empty when it can.
    static std::string Check(const StoredRecord& record);

    // Appends the records in one transaction: all of them or, on failure, none.
    bool Append(const std::vector<StoredRecord>& records, std::string& error);
    // The first record number and how many follow it; when empty, the number the next record
    // will get and 0.
    bool Info(LogInfo& info, std::string& error);
    // Hands `each` the records numbered `position`, `position` + 1, ... in order, at most
    // `maxCount`, until it returns false; none when no record has the number `position`. The
    // record's views are valid only during the call.
    bool Read(std::uint64_t position, std::uint32_t maxCount, const std::function<bool(const WireRecord&)>& each,
              std::string& error);
    bool Clear(std::string& error);
    // A number that changes whenever another connection has changed the log since it was last
    // asked; this connection's own changes leave it alone.
    bool DataVersion(std::uint64_t& version, std::string& error);

    // Only Open makes stores.
    class Passkey {
        friend class LogStore;
        Passkey() = default;
    };
    LogStore(Passkey, SqliteDatabase db) : db_(std::move(db)) {}

private:
    // Whether the database is empty or one of ours, of a schema this version reads.
    bool IsOurs(const std::string& path, std::string& error);
    bool Prepare(std::string& error);
    std::string Failure(const char* what) const;

    SqliteDatabase db_;
    SqliteStatement insert_, bounds_, sequence_, read_, clear_, dataVersion_;
};
