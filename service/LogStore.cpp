#include "service/LogStore.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

namespace {

constexpr int kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 10000;

// The size rule of the wire format, kept by the database itself, so that no writer (ours or
// another program) can store a record that no reply could carry.
std::string Schema() {
    const std::string limit = std::to_string(LogStore::kMaxEncodedRecord);
    return "CREATE TABLE IF NOT EXISTS records ("
           " recno INTEGER PRIMARY KEY AUTOINCREMENT,"
           " time INTEGER NOT NULL,"  // FILETIME as a signed 64-bit pattern
           " status INTEGER NOT NULL CHECK (status BETWEEN 0 AND 4294967295),"
           " source INTEGER NOT NULL CHECK (source BETWEEN 0 AND 4294967295),"
           " level INTEGER NOT NULL CHECK (level BETWEEN 0 AND 4294967295),"
           " attachment_kind INTEGER NOT NULL CHECK (attachment_kind BETWEEN 0 AND 4294967295),"
           " description BLOB NOT NULL CHECK (instr(CAST(description AS BLOB), x'00') = 0),"
           " attachment BLOB NOT NULL,"
           " CHECK (28 + CASE WHEN length(CAST(description AS BLOB)) = 0 THEN 4"
           "              ELSE length(CAST(description AS BLOB)) + 1 END"
           "        + length(CAST(attachment AS BLOB)) <= " +
           limit + "));";
}

bool Exec(sqlite3* db, const std::string& sql) {
    return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

// The first column of a query's one row, as an integer.
bool Query(sqlite3* db, const char* sql, int& value) {
    sqlite3_stmt* statement = nullptr;
    const bool ok = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
                    sqlite3_step(statement) == SQLITE_ROW;
    if (ok) value = sqlite3_column_int(statement, 0);
    sqlite3_finalize(statement);
    return ok;
}

// Steps a statement that yields no rows and resets it.
bool Run(sqlite3_stmt* statement) {
    int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    return rc == SQLITE_DONE;
}

class Transaction {
public:
    explicit Transaction(sqlite3* db) : db_(db), open_(Exec(db, "BEGIN IMMEDIATE")) {}
    ~Transaction() {
        if (open_) Exec(db_, "ROLLBACK");
    }
    bool Open() const { return open_; }
    bool Commit() {
        open_ = !Exec(db_, "COMMIT");
        return !open_;
    }

private:
    sqlite3* db_;
    bool open_;
};

}  // namespace

std::unique_ptr<LogStore> LogStore::Open(const std::string& path, std::string& error) {
    if (path.empty()) {
        // SQLite would take it for a temporary database that vanishes with the connection.
        error = "the log database needs a path";
        return nullptr;
    }
    // A new log is its owner's alone: records may be private. SQLite gives its journal files the
    // database file's mode.
    if (int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600); fd >= 0) close(fd);
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteDatabase db(raw);
    if (rc != SQLITE_OK) {
        error = "cannot open the log database " + path + ": " + (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc));
        return nullptr;
    }
    sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
    sqlite3_extended_result_codes(db.get(), 1);
    auto store = std::make_unique<LogStore>(Passkey{}, std::move(db));
    sqlite3* d = store->db_.get();
    // Everything that could refuse the file is asked before anything changes it.
    if (!store->IsOurs(path, error)) return nullptr;
    // Reads go through a memory map rather than copies of every page.
    if (!Exec(d, "PRAGMA journal_mode=WAL") || !Exec(d, "PRAGMA synchronous=NORMAL") ||
        !Exec(d, "PRAGMA mmap_size=1073741824")) {
        error = store->Failure(("cannot use the log database " + path).c_str());
        return nullptr;
    }
    if (!Exec(d, Schema()) || !Exec(d, "PRAGMA user_version=" + std::to_string(kSchemaVersion)) ||
        !store->Prepare(error)) {
        if (error.empty()) error = store->Failure(("cannot set up the log database " + path).c_str());
        return nullptr;
    }
    return store;
}

bool LogStore::IsOurs(const std::string& path, std::string& error) {
    sqlite3* d = db_.get();
    // An empty file is a new database; a database of ours has the version stamp and the records
    // table; anything else belongs to someone else.
    int version = 0;
    int objects = 0;
    int columns = 0;
    bool readable = Query(d, "PRAGMA user_version", version) &&
                    Query(d, "SELECT count(*) FROM sqlite_master", objects) &&
                    Query(d,
                          "SELECT count(*) FROM pragma_table_info('records') WHERE name IN"
                          " ('recno', 'time', 'status', 'source', 'level', 'attachment_kind', 'description',"
                          " 'attachment')",
                          columns);
    if (!readable) {
        error = Failure(("cannot use the log database " + path).c_str());
        return false;
    }
    if (version > kSchemaVersion) {
        error = "the log database " + path + " was made by a newer version (schema " + std::to_string(version) + ")";
        return false;
    }
    if (objects != 0 && (version != kSchemaVersion || columns != 8)) {
        error = path + " is an SQLite database, but not a Quillbridge log";
        return false;
    }
    return true;
}

bool LogStore::Prepare(std::string& error) {
    struct {
        SqliteStatement* slot;
        const char* sql;
    } statements[] = {
        {&insert_,
         "INSERT INTO records (time, status, source, level, attachment_kind, description, attachment)"
         " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"},
        {&bounds_, "SELECT min(recno), max(recno) FROM records"},
        {&sequence_, "SELECT seq FROM sqlite_sequence WHERE name = 'records'"},
        {&read_,
         "SELECT recno, time, status, source, level, attachment_kind, description, attachment FROM records"
         " WHERE recno >= ?1 ORDER BY recno LIMIT ?2"},
        {&clear_, "DELETE FROM records"},
        {&dataVersion_, "PRAGMA data_version"},
    };
    for (auto& s : statements) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v3(db_.get(), s.sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK) {
            error = Failure("cannot prepare the log database's queries");
            return false;
        }
        s.slot->reset(statement);
    }
    return true;
}

std::string LogStore::Failure(const char* what) const { return std::string(what) + ": " + sqlite3_errmsg(db_.get()); }

std::string LogStore::Check(const StoredRecord& record) {
    if (std::memchr(record.description.data(), 0, record.description.size()) != nullptr)
        return "the description holds a NUL character";
    const std::uint64_t size = RecordCodec::EncodedSize(record.description.size(), record.attachment.size());
    if (size > kMaxEncodedRecord)
        return "the record takes " + std::to_string(size) + " bytes; a reply carries at most " +
               std::to_string(kMaxEncodedRecord);
    return {};
}

bool LogStore::Append(const std::vector<StoredRecord>& records, std::string& error) {
    for (const StoredRecord& r : records) {
        if (std::string why = Check(r); !why.empty()) {
            error = why;
            return false;
        }
    }
    Transaction transaction(db_.get());
    if (!transaction.Open()) {
        error = Failure("cannot write to the log database");
        return false;
    }
    sqlite3_stmt* s = insert_.get();
    for (const StoredRecord& r : records) {
        sqlite3_bind_int64(s, 1, static_cast<sqlite3_int64>(r.time));
        sqlite3_bind_int64(s, 2, r.statusId);
        sqlite3_bind_int64(s, 3, r.source);
        sqlite3_bind_int64(s, 4, r.level);
        sqlite3_bind_int64(s, 5, r.attachmentKind);
        // Zero-length blobs must not be bound as NULL.
        sqlite3_bind_blob(s, 6, r.description.empty() ? "" : r.description.data(),
                          static_cast<int>(r.description.size()), SQLITE_STATIC);
        sqlite3_bind_blob(s, 7, r.attachment.empty() ? static_cast<const void*>("") : r.attachment.data(),
                          static_cast<int>(r.attachment.size()), SQLITE_STATIC);
        if (!Run(s)) {
            error = Failure("cannot write to the log database");
            return false;
        }
    }
    if (!transaction.Commit()) {
        error = Failure("cannot write to the log database");
        return false;
    }
    return true;
}

bool LogStore::Info(LogInfo& info, std::string& error) {
    // Both queries in one read transaction, so that a clear between them cannot mix two states.
    if (!Exec(db_.get(), "BEGIN")) {
        error = Failure("cannot read the log database");
        return false;
    }
    bool ok = false;
    sqlite3_stmt* b = bounds_.get();
    if (sqlite3_step(b) == SQLITE_ROW) {
        ok = true;
        if (sqlite3_column_type(b, 0) != SQLITE_NULL) {
            // min and max come from the record number's index; the numbers are contiguous.
            info.firstRecord = static_cast<std::uint64_t>(sqlite3_column_int64(b, 0));
            info.recordCount = static_cast<std::uint32_t>(sqlite3_column_int64(b, 1) - sqlite3_column_int64(b, 0) + 1);
        } else {
            sqlite3_stmt* q = sequence_.get();
            info.firstRecord =
                sqlite3_step(q) == SQLITE_ROW ? static_cast<std::uint64_t>(sqlite3_column_int64(q, 0)) + 1 : 1;
            info.recordCount = 0;
            sqlite3_reset(q);
        }
    }
    sqlite3_reset(b);
    Exec(db_.get(), "COMMIT");
    if (!ok) error = Failure("cannot read the log database");
    return ok;
}

bool LogStore::Read(std::uint64_t position, std::uint32_t maxCount, const std::function<bool(const WireRecord&)>& each,
                    std::string& error) {
    // Record numbers are SQLite row ids: none is above 2^63 - 1.
    if (position > static_cast<std::uint64_t>(INT64_MAX)) return true;
    sqlite3_stmt* s = read_.get();
    sqlite3_bind_int64(s, 1, static_cast<sqlite3_int64>(position));
    sqlite3_bind_int64(s, 2, maxCount);
    int rc;
    std::uint64_t expected = position;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        // Exactly from the number asked for, and without a gap: a reply cannot say where its
        // records start, so records from anywhere else would be taken for the ones asked for.
        if (static_cast<std::uint64_t>(sqlite3_column_int64(s, 0)) != expected++) {
            rc = SQLITE_DONE;
            break;
        }
        WireRecord r;
        r.time = static_cast<std::uint64_t>(sqlite3_column_int64(s, 1));
        r.statusId = static_cast<std::uint32_t>(sqlite3_column_int64(s, 2));
        r.source = static_cast<std::uint32_t>(sqlite3_column_int64(s, 3));
        r.level = static_cast<std::uint32_t>(sqlite3_column_int64(s, 4));
        r.attachmentKind = static_cast<std::uint32_t>(sqlite3_column_int64(s, 5));
        const void* description = sqlite3_column_blob(s, 6);
        r.description = std::string_view(static_cast<const char*>(description),
                                         static_cast<std::size_t>(sqlite3_column_bytes(s, 6)));
        r.attachment = static_cast<const std::uint8_t*>(sqlite3_column_blob(s, 7));
        r.attachmentLength = static_cast<std::uint32_t>(sqlite3_column_bytes(s, 7));
        if (!each(r)) {
            rc = SQLITE_DONE;
            break;
        }
    }
    sqlite3_reset(s);
    if (rc != SQLITE_DONE) {
        error = Failure("cannot read the log database");
        return false;
    }
    return true;
}

bool LogStore::DataVersion(std::uint64_t& version, std::string& error) {
    sqlite3_stmt* s = dataVersion_.get();
    const bool ok = sqlite3_step(s) == SQLITE_ROW;
    if (ok) version = static_cast<std::uint64_t>(sqlite3_column_int64(s, 0));
    sqlite3_reset(s);
    if (!ok) error = Failure("cannot read the log database's version");
    return ok;
}

bool LogStore::Clear(std::string& error) {
    if (!Run(clear_.get())) {
        error = Failure("cannot clear the log database");
        return false;
    }
    return true;
}
