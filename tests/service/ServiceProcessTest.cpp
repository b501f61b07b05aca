// quillbridge-service as a process: its requests, its limits, concurrency, bad input and crashes.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <fstream>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/kernel/Synchronization.h"
#include "platform/kernel/UniqueHandle.h"
#include "service/JsonObject.h"
#include "service/LogStore.h"
#include "tests/service/ServiceTestSupport.h"

namespace {

std::string Numbered(const std::string& prefix, int i) { return prefix + std::to_string(i); }

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Records in the store, asked of the store itself.
std::uint32_t StoredCount(const std::string& db) {
    std::string error;
    auto store = LogStore::Open(db, error);
    LogInfo info;
    return store && store->Info(info, error) ? info.recordCount : 0xFFFFFFFF;
}

// What read --json wrote, imported into a log of its own and read again, is the same.
void ExpectImportReadsBack(const std::string& lines) {
    ServiceFixture copy;
    ASSERT_EQ(Cli({"import", "-", "--db", copy.db}, lines).exitCode, 0);
    ASSERT_TRUE(copy.Start());
    EXPECT_EQ(Cli({"read", "1", "--name", copy.name, "--json"}).out, lines);
}

}  // namespace

TEST(ServiceProcess, AnswersTheFourRequests) {
    ServiceFixture f;
    ASSERT_TRUE(f.Import(ServiceFixture::Lines("record ", 0, 120)));
    ASSERT_EQ(Cli({"debug-log", "append", "first", "--debug-log", f.debugLog}).exitCode, 0);
    ASSERT_EQ(Cli({"debug-log", "append", "second", "--debug-log", f.debugLog}).exitCode, 0);
    ASSERT_TRUE(f.Start({"--service-version", "2.3.4", "--core-version", "255.1.65535"}));
    Viewer viewer(f.name);
    ASSERT_TRUE(viewer.connected);

    std::int32_t p1 = 0, p2 = 0;
    MessageBuffer none;
    ASSERT_TRUE(viewer.Send(VersionsRequest, p1, p2, none));
    EXPECT_EQ(static_cast<std::uint32_t>(p1), 0x02030004u);
    EXPECT_EQ(static_cast<std::uint32_t>(p2), 0xFF01FFFFu);

    LogInfo info;
    ASSERT_TRUE(viewer.Info(info));
    EXPECT_EQ(info.firstRecord, 1u);
    EXPECT_EQ(info.recordCount, 120u);
    ASSERT_TRUE(viewer.Info(info, DebugLog));
    EXPECT_EQ(info.recordCount, 2u) << "the debug log's lines";

    // Positions 1, 51 and 101, as the loader asks for 120 records.
    std::vector<std::string> got;
    EXPECT_EQ(viewer.Read(1, got), 50);
    EXPECT_EQ(viewer.Read(51, got), 50);
    EXPECT_EQ(viewer.Read(101, got), 20);
    EXPECT_EQ(viewer.Read(121, got), 0);
    ASSERT_EQ(got.size(), 120u);
    for (int i = 0; i < 120; ++i) EXPECT_EQ(got[static_cast<std::size_t>(i)], Numbered("record ", i));
    EXPECT_EQ(viewer.Read(110, got, 3), 3) << "fewer when fewer are asked for";
    EXPECT_EQ(viewer.Read(110, got, 500), 11) << "never more than 50, never past the end";

    p1 = FetchLogFile;
    p2 = static_cast<std::int32_t>(DebugLog);
    MessageBuffer path;
    ASSERT_TRUE(viewer.Send(LogFileRequest, p1, p2, path));
    ASSERT_GT(path.Size(), 0u);
    EXPECT_EQ(path.Data()[path.Size() - 1], 0) << "NUL-terminated";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(path.Data())), f.debugLog);

    p1 = ClearLogFile;
    p2 = static_cast<std::int32_t>(DebugLog);
    ASSERT_TRUE(viewer.Send(LogFileRequest, p1, p2, none));
    EXPECT_EQ(ReadFileText(f.debugLog), "");
    p1 = ClearLogFile;
    p2 = QuillbridgeLog;
    ASSERT_TRUE(viewer.Send(LogFileRequest, p1, p2, none));
    ASSERT_TRUE(viewer.Info(info));
    EXPECT_EQ(info.firstRecord, 121u);
    EXPECT_EQ(info.recordCount, 0u);

    p1 = 7;  // neither fetch nor clear
    EXPECT_FALSE(viewer.Send(LogFileRequest, p1, p2, none));
    EXPECT_EQ(f.Stop(), 0);
}

TEST(ServiceProcess, RepliesStopAtTheDataArea) {
    ServiceFixture f;
    // Five records of 100 000 bytes: two fit in one reply, three do not.
    std::string lines;
    const std::string hex(200000, 'A');
    for (int i = 0; i < 5; ++i)
        lines += R"({"level":3,"source":0,"description":"big )" + std::to_string(i) + R"(","hex":")" + hex + "\"}\n";
    ASSERT_TRUE(f.Import(lines));
    // The largest record there can be, and one byte more.
    const std::size_t largest = LogStore::kMaxEncodedRecord - 32;
    std::ofstream(f.dir.File("largest.bin")) << std::string(largest, 'L');
    std::ofstream(f.dir.File("larger.bin")) << std::string(largest + 1, 'L');
    auto log = [&](const char* file) {
        return Cli({"log", "--db", f.db, "--level", "info", "--source", "gui", "--description", "", "--file",
                    f.dir.File(file)});
    };
    EXPECT_EQ(log("largest.bin").exitCode, 0);
    ProgramResult refused = log("larger.bin");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("a reply carries at most"), std::string::npos) << refused.err;
    ASSERT_TRUE(f.Start());
    Viewer viewer(f.name);
    ASSERT_TRUE(viewer.connected);

    std::vector<std::string> got;
    EXPECT_EQ(viewer.Read(1, got), 2);
    EXPECT_EQ(viewer.Read(3, got), 2);
    EXPECT_EQ(viewer.Read(5, got), 1) << "the largest record does not fit beside another";
    EXPECT_EQ(viewer.Read(6, got), 1);
    EXPECT_EQ(got.size(), 6u);
    EXPECT_EQ(viewer.ReadAll().size(), 6u);
}

TEST(ServiceProcess, WriterAppendsWhileTheViewerReads) {
    ServiceFixture f;
    ASSERT_TRUE(f.Import(ServiceFixture::Lines("w ", 0, 100)));
    ASSERT_TRUE(f.Start());
    std::atomic<bool> done{false};
    std::string writerError;
    std::thread writer([&] {
        auto store = LogStore::Open(f.db, writerError);
        for (int i = 100; store && i < 1100 && writerError.empty(); ++i) {
            StoredRecord r;
            r.level = 5;
            r.description = Numbered("w ", i);
            store->Append({r}, writerError);
        }
        done = true;
    });
    Viewer viewer(f.name);
    ASSERT_TRUE(viewer.connected);
    int loads = 0;
    do {
        const std::vector<std::string> all = viewer.ReadAll();
        ASSERT_GE(all.size(), 100u);
        for (std::size_t i = 0; i < all.size(); ++i) ASSERT_EQ(all[i], Numbered("w ", static_cast<int>(i)));
        ++loads;
    } while (!done);
    writer.join();
    EXPECT_EQ(writerError, "");
    EXPECT_EQ(viewer.ReadAll().size(), 1100u);
    EXPECT_GE(loads, 1);
}

TEST(ServiceProcess, ClearBetweenTwoReadsEndsTheLoad) {
    ServiceFixture f;
    ASSERT_TRUE(f.Import(ServiceFixture::Lines("r ", 0, 200)));
    ASSERT_TRUE(f.Start());
    Viewer viewer(f.name);
    ASSERT_TRUE(viewer.connected);
    std::vector<std::string> got;
    ASSERT_EQ(viewer.Read(1, got), 50);
    ProgramResult cleared = Cli({"clear", "quillbridge", "--name", f.name});
    ASSERT_EQ(cleared.exitCode, 0) << cleared.err;
    EXPECT_EQ(viewer.Read(51, got), 0);
    LogInfo info;
    ASSERT_TRUE(viewer.Info(info));
    EXPECT_EQ(info.firstRecord, 201u);
    EXPECT_EQ(info.recordCount, 0u);
    ASSERT_TRUE(f.Import(ServiceFixture::Lines("n ", 0, 3)));
    EXPECT_EQ(viewer.ReadAll(), (std::vector<std::string>{"n 0", "n 1", "n 2"}));
}

TEST(ServiceProcess, AChangeByAnotherProgramIsServedNotWhatWasReadBeforeIt) {
    ServiceFixture f;
    ASSERT_TRUE(f.Import(ServiceFixture::Lines("old ", 0, 3000)));
    ASSERT_TRUE(f.Start());
    Viewer viewer(f.name);
    ASSERT_TRUE(viewer.connected);
    std::vector<std::string> got;
    // Reading in order: the service reads the next chunks ahead.
    ASSERT_EQ(viewer.Read(1, got), 50);
    ASSERT_EQ(viewer.Read(51, got), 50);
    std::string error;
    auto other = LogStore::Open(f.db, error);
    ASSERT_TRUE(other && other->Clear(error)) << error;
    EXPECT_EQ(viewer.Read(101, got), 0) << "the cleared records are not served";
    ASSERT_TRUE(f.Import(ServiceFixture::Lines("new ", 0, 120)));
    std::vector<std::string> expected;
    for (int i = 0; i < 120; ++i) expected.push_back(Numbered("new ", i));
    EXPECT_EQ(viewer.ReadAll(), expected);
}

TEST(ServiceProcess, BadImportIsRefusedWholeWithEveryBadLineNamed) {
    ServiceFixture f;
    const std::string file = f.dir.File("records.jsonl");
    std::ofstream(file) << ServiceFixture::Lines("ok ", 0, 2)                                    // lines 1-2
                        << "{\"level\":\"error\",\"source\":\"engine\",\"description\":\"x\"\n"  // 3: unclosed
                        << "\n"                                                                  // 4: blank, fine
                        << R"({"level":"loud","source":"engine","description":"x"})"
                        << "\n"  // 5
                        << R"({"level":"info","source":"sun","description":"x"})"
                        << "\n"  // 6
                        << R"({"level":"info","source":"gui","description":"x","hex":")" << std::string(600000, '0')
                        << "\"}\n"  // 7: too large for any reply
                        << ServiceFixture::Lines("ok ", 2, 3);
    ProgramResult r = Cli({"import", file, "--db", f.db});
    EXPECT_EQ(r.exitCode, 1);
    for (const char* expected : {":3: ", ":5: unknown level \"loud\"", ":6: unknown source \"sun\"",
                                 ":7: the record takes", "4 bad line(s): nothing was imported"})
        EXPECT_NE(r.err.find(expected), std::string::npos) << expected << " in:\n" << r.err;
    EXPECT_EQ(r.err.find(":4:"), std::string::npos);
    EXPECT_EQ(StoredCount(f.db), 0u);

    ProgramResult good = Cli({"import", "-", "--db", f.db}, ServiceFixture::Lines("ok ", 0, 3));
    EXPECT_EQ(good.exitCode, 0) << good.err;
    EXPECT_EQ(good.out, "3 records imported\n");
    EXPECT_EQ(StoredCount(f.db), 3u);
}

TEST(ServiceProcess, CommandLineMistakesAndMissingFiles) {
    ServiceFixture f;
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* message;
    };
    const std::string db = f.db;
    const Case cases[] = {
        {{"log", "--db", db, "--level", "loud", "--source", "gui", "x"}, 2, "unknown level \"loud\""},
        {{"log", "--db", db, "--level", "info", "--source", "moon", "x"}, 2, "unknown source \"moon\""},
        {{"log", "--db", db, "--level", "info", "x"}, 2, "--level and --source are required"},
        {{"log", "--db", db, "--level", "info", "--source", "gui", "--number", "1", "--text", "t"}, 2, "give one of"},
        {{"log", "--db", db, "--level", "info", "--source", "gui", "--colour", "red"}, 2, "unknown option --colour"},
        {{"log", "--db", db, "--level"}, 2, "--level needs a value"},
        {{"demo", "many", "--db", db}, 2, "demo needs a number"},
        {{"import", f.dir.File("absent.jsonl"), "--db", db}, 1, "cannot read"},
        {{"log", "--db", f.dir.File("no/such/dir.sqlite"), "--level", "info", "--source", "gui", "x"},
         1,
         "no/such/dir.sqlite"},
        {{"serve", "--db", f.dir.File("no/such/dir.sqlite"), "--name", f.name}, 1, "no/such/dir.sqlite"},
        {{"serve", "--db", db, "--service-version", "1.2", "--name", f.name}, 2, "X.Y.Z"},
        {{"read", "x", "--name", f.name}, 2, "is not a record number"},
        {{"info", "--kind", "audit", "--name", f.name}, 2, "--kind"},
        {{"info", "--name", f.name}, 3, "no service named"},
        {{"clear", "quillbridge", "--name", f.name}, 3, "no service named"},
        {{"status", "--name", f.name}, 3, ""},
        {{"frobnicate"}, 2, "unknown command"},
        // Empty paths would be SQLite's temporary database, or no file at all.
        {{"log", "--db", "", "--level", "info", "--source", "gui", "x"}, 2, "--db needs a path"},
        {{"demo", "1", "--db="}, 2, "--db needs a path"},
        {{"debug-log", "append", "x", "--debug-log", ""}, 2, "--debug-log needs a path"},
        {{"import", "", "--db", db}, 2, "import needs a file"},
        {{"import", f.dir.Path(), "--db", db}, 1, "is a directory"},
        {{"log", "--db", db, "--level", "info", "--source", "gui", "--file", f.dir.Path()}, 1, "is a directory"},
        {{"log", "--db", db, "--level", "info", "--source", "gui", "--file", "/dev/zero"}, 1,
         "larger than a record can carry"},
        {{"log", "--db", db, "--level", "info", "--source", "gui", "--filetime", "18446744073709551616", "x"}, 2,
         "--filetime"},
        {{"demo", "4294967295", "--db", db}, 2, "at most 1000000"},
        {{"status", "--json=yes", "--name", f.name}, 2, "--json takes no value"},
        {{"read", "9223372036854775808", "--name", f.name}, 2, "is not a record number"},
        {{"read", "18446744073709551616", "--name", f.name}, 2, "is not a record number"},
        {{"versions", "--timeout", "soon", "--name", f.name}, 2, "--timeout"},
    };
    for (const Case& c : cases) {
        ProgramResult r = Cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0] << " " << c.message << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.message << " in: " << r.err;
    }
    EXPECT_EQ(StoredCount(db), 0u) << "nothing was written by the failures";
    ProgramResult named = Cli({"log", "--db", db, "--level", "info", "--source", "gui", "x", "--name", f.name});
    EXPECT_EQ(named.exitCode, 0) << "every command takes --name: " << named.err;
}

TEST(ServiceProcess, ReadOnlyDatabaseIsAClearError) {
    ServiceFixture f;
    ASSERT_TRUE(f.Import(ServiceFixture::Lines("r ", 0, 1)));
    std::vector<std::string> as;
    if (geteuid() == 0) {
        // Root writes whatever the mode says: ask as someone else.
        as = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
        if (access(as[0].c_str(), X_OK) != 0) GTEST_SKIP() << "needs setpriv to act as another user";
    }
    chmod(f.db.c_str(), 0444);
    std::vector<std::string> args = as;
    for (const char* a : {QB_SERVICE_BINARY, "log", "--level", "info", "--source", "gui", "x", "--db"})
        args.push_back(a);
    args.push_back(f.db);
    ProgramResult r = RunProgram(args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(f.db), std::string::npos) << r.err;
    EXPECT_EQ(StoredCount(f.db), 1u);
}

TEST(ServiceProcess, KilledWhileWritingThenRestartedTheStoreIsWholeAndServed) {
    ServiceFixture f;
    ASSERT_TRUE(f.Import(ServiceFixture::Lines("base ", 0, 1000)));
    ASSERT_TRUE(f.Start());
    // An import of 60 000 records, killed once its transaction is under way (or done).
    std::ofstream(f.dir.File("big.jsonl")) << ServiceFixture::Lines("big ", 0, 60000);
    ChildProcess importer({QB_SERVICE_BINARY, "import", f.dir.File("big.jsonl"), "--db", f.db});
    struct stat st {};
    while (::stat((f.db + "-wal").c_str(), &st) != 0 || st.st_size < 1000000) {
        if (importer.Wait(std::chrono::milliseconds(1)) != -1) break;  // finished before we saw it
    }
    importer.Kill(SIGKILL);
    importer.Wait();
    // The service is killed in the middle of a clear that a viewer asked for.
    {
        Viewer viewer(f.name);
        ASSERT_TRUE(viewer.connected);
        std::thread clear([&] {
            std::int32_t p1 = ClearLogFile, p2 = QuillbridgeLog;
            MessageBuffer none;
            viewer.Send(LogFileRequest, p1, p2, none);
        });
        f.service->Kill(SIGKILL);
        f.service->Wait();
        clear.join();
    }
    ASSERT_TRUE(f.Start()) << "a new service starts over what the killed one left";
    Viewer viewer(f.name);
    ASSERT_TRUE(viewer.connected);
    LogInfo info;
    ASSERT_TRUE(viewer.Info(info));
    const std::vector<std::string> all = viewer.ReadAll();
    ASSERT_EQ(all.size(), info.recordCount);
    // All or nothing of each write: 0 (cleared), 1000, or 61 000 records, in order.
    EXPECT_TRUE(all.size() == 0 || all.size() == 1000 || all.size() == 61000) << all.size();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const std::string expected =
            i < 1000 ? Numbered("base ", static_cast<int>(i)) : Numbered("big ", static_cast<int>(i - 1000));
        ASSERT_EQ(all[i], expected);
    }
    EXPECT_EQ(f.Stop(), 0);
}

TEST(ServiceProcess, OneServicePerNameAndACleanStop) {
    ServiceFixture f;
    ASSERT_TRUE(f.Start());
    ProgramResult second = Cli({"serve", "--db", f.dir.File("other.sqlite"), "--name", f.name});
    EXPECT_EQ(second.exitCode, 4);
    EXPECT_NE(second.err.find("already running"), std::string::npos) << second.err;
    ProgramResult status = Cli({"status", "--name", f.name, "--json"});
    EXPECT_EQ(status.exitCode, 0);
    std::string error;
    JsonObject json = JsonObject::Parse(status.out, error);
    ASSERT_EQ(error, "") << status.out;
    EXPECT_TRUE(json.Find("running")->boolean);

    EXPECT_EQ(f.Stop(), 0);
    EXPECT_TRUE(f.service->WaitForLine("quillbridge-service: stopped") || true);
    EXPECT_EQ(Cli({"status", "--name", f.name}).exitCode, 3);
    EXPECT_TRUE(GlobalObjectsStartingWith(f.name).empty());
}

TEST(ServiceProcess, ClientCommandsForPeopleAndScripts) {
    ServiceFixture f;
    ASSERT_TRUE(f.Import(R"({"level":"error","source":"driver","description":"disk","status":42,)"
                         R"("time":"2026-01-02T03:04:05Z","number":4660})"
                         "\n"));
    ASSERT_TRUE(f.Start());
    ProgramResult info = Cli({"info", "--name", f.name, "--json"});
    EXPECT_EQ(info.out, "{\"firstRecord\":1,\"recordCount\":1}\n");
    ProgramResult read = Cli({"read", "1", "--name", f.name, "--json"});
    EXPECT_EQ(read.out,
              R"({"record":1,"time":"2026-01-02T03:04:05Z","level":"error","source":"driver","status":"0x0000002A",)"
              R"("description":"disk","number":4660})"
              "\n");
    ProgramResult human = Cli({"read", "1", "--name", f.name});
    EXPECT_NE(human.out.find("2026-01-02T03:04:05Z"), std::string::npos) << human.out;
    EXPECT_NE(human.out.find("Error"), std::string::npos);
    EXPECT_NE(human.out.find("number 0x00001234"), std::string::npos);
    ProgramResult versions = Cli({"versions", "--name", f.name});
    EXPECT_EQ(versions.out, "service " QB_VERSION "\ncore " QB_VERSION "\n");
    ExpectImportReadsBack(read.out);
}

TEST(ServiceProcess, FilesTooLargeForARecordAreRefusedBeforeTheyAreRead) {
    ServiceFixture f;
    // A sparse file of 300 MB: refused by its size, without reading it.
    const std::string huge = f.dir.File("huge.bin");
    ASSERT_EQ(truncate((std::ofstream(huge), huge).c_str(), 300ll << 20), 0);
    ProgramResult r = Cli({"log", "--db", f.db, "--level", "info", "--source", "gui", "--file", huge, "x"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("larger than a record can carry"), std::string::npos) << r.err;

    // A line far longer than any record: refused where it passes the limit, not read whole.
    std::ofstream(f.dir.File("long.jsonl")) << ServiceFixture::Lines("ok ", 0, 1)
                                            << R"({"level":"info","source":"gui","description":")"
                                            << std::string(10 << 20, 'x') << "\"}\n";
    r = Cli({"import", f.dir.File("long.jsonl"), "--db", f.db});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(":2: the line is longer than any record needs"), std::string::npos) << r.err;
    EXPECT_EQ(StoredCount(f.db), 0u);
}

TEST(ServiceProcess, ReadAnswersOnlyFromThePositionAsked) {
    ServiceFixture f;
    ASSERT_TRUE(f.Import(ServiceFixture::Lines("old ", 0, 120)));
    ASSERT_TRUE(f.Start());
    ASSERT_EQ(Cli({"clear", "quillbridge", "--name", f.name}).exitCode, 0);
    ASSERT_TRUE(f.Import(ServiceFixture::Lines("new ", 0, 1)));  // record 121

    Viewer viewer(f.name);
    ASSERT_TRUE(viewer.connected);
    std::vector<std::string> got;
    EXPECT_EQ(viewer.Read(1, got), 0) << "below the first record: nothing, not record 121";
    EXPECT_EQ(viewer.Read(0x8000000000000000ull, got), 0);
    EXPECT_EQ(viewer.Read(121, got), 1);
    EXPECT_EQ(got, std::vector<std::string>{"new 0"});

    struct Case {
        std::vector<std::string> args;
        std::string out;  // the numbers of the lines printed
        const char* note;
    };
    const Case cases[] = {
        {{"read", "1", "--count", "50"}, "", "no record 1: the log holds records 121 to 121"},
        {{"read", "0"}, "", "no record 0"},
        {{"read", "121", "--count", "50"}, "121 ", ""},
        {{"read", "122"}, "", "no record 122"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--name", f.name, "--json"});
        ProgramResult r = Cli(args);
        EXPECT_EQ(r.exitCode, 0) << c.args[1] << r.err;
        std::string numbers;
        for (std::size_t at = r.out.find("\"record\":"); at != std::string::npos;
             at = r.out.find("\"record\":", at + 1))
            numbers += r.out.substr(at + 9, r.out.find(',', at) - at - 9) + " ";
        EXPECT_EQ(numbers, c.out) << c.args[1];
        EXPECT_NE(r.err.find(c.note), std::string::npos) << c.args[1] << ": " << r.err;
    }
}

TEST(ServiceProcess, UnknownLogKindsGetNoReply) {
    ServiceFixture f;
    ASSERT_TRUE(f.Import(ServiceFixture::Lines("r ", 0, 3)));
    ASSERT_TRUE(f.Start());
    Viewer viewer(f.name);
    ASSERT_TRUE(viewer.connected);
    struct Case {
        std::int32_t msgId, p1, p2;
        bool payload;
        bool answered;
    };
    const Case cases[] = {
        {LogInfoRequest, 7, 0, false, false},
        {LogInfoRequest, static_cast<std::int32_t>(DebugLog), 0, false, true},
        {ReadRecordsRequest, 7, 50, true, false},
        {ReadRecordsRequest, static_cast<std::int32_t>(DebugLog), 50, true, true},  // empty: lines are no records
        {ReadRecordsRequest, QuillbridgeLog, 50, false, false},                     // no position
        {LogFileRequest, FetchLogFile, 7, false, false},
        {LogFileRequest, ClearLogFile, 7, false, false},
    };
    for (const Case& c : cases) {
        std::int32_t p1 = c.p1, p2 = c.p2;
        const std::uint64_t position = 1;
        MessageBuffer data;
        if (c.payload) data.Assign(&position, sizeof position);
        EXPECT_EQ(viewer.Send(c.msgId, p1, p2, data), c.answered) << c.msgId << " " << c.p1 << " " << c.p2;
        if (c.answered && c.msgId == ReadRecordsRequest) {
            EXPECT_EQ(p2, 0);
        }
    }
}

TEST(ServiceProcess, ImportTakesBackExactlyWhatReadWrites) {
    ServiceFixture f;
    ASSERT_TRUE(f.Import(R"({"level":0,"source":"gui","descriptionHex":"FFFE41","text":"\u00ff"})"
                         "\n"));
    ASSERT_TRUE(f.Start());
    ProgramResult read = Cli({"read", "1", "--name", f.name, "--json"});
    ASSERT_EQ(read.exitCode, 0) << read.err;
    EXPECT_NE(read.out.find(R"("level":0,"source":"gui")"), std::string::npos) << read.out;
    EXPECT_NE(read.out.find(R"("descriptionHex":"FFFE41")"), std::string::npos) << read.out;
    ExpectImportReadsBack(read.out);
}

TEST(ServiceProcess, StoreFilesAreCreatedWithTheirOwnModes) {
    ServiceFixture f;
    // Whatever the umask lets through or holds back.
    const mode_t old = umask(0);
    const int logged = Cli({"log", "--db", f.db, "--level", "info", "--source", "gui", "x"}).exitCode;
    umask(077);
    const int appended = Cli({"debug-log", "append", "x", "--debug-log", f.debugLog}).exitCode;
    umask(old);
    ASSERT_EQ(logged, 0);
    ASSERT_EQ(appended, 0);
    struct stat st {};
    ASSERT_EQ(stat(f.db.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "the log may be private";
    ASSERT_EQ(stat(f.debugLog.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u) << "the viewer reads the debug log itself";
}

TEST(ServiceProcess, ServeSaysWhyItsObjectsCannotBeMade) {
    ServiceFixture f;
    const std::string global = "/dev/shm/quillbridge-global/";
    struct Case {
        std::string name;
        std::function<void(const std::string&)> inTheWay;
        const char* message;
    };
    const Case cases[] = {
        {std::string(240, 'n'), nullptr, "is too long"},
        {UniqueName("dir"), [&](const std::string& n) { mkdir((global + n + "_NTSVC_STOP_EVENT").c_str(), 0755); },
         "a directory stands at the name of the channel object"},
        {UniqueName("link"),
         [&](const std::string& n) { symlink("/dev/null", (global + n + "_NTSVC_IN_MSG_MAP").c_str()); },
         "a symbolic link stands at the name"},
    };
    for (const Case& c : cases) {
        if (c.inTheWay) c.inTheWay(c.name);
        ProgramResult r = Cli({"serve", "--db", f.db, "--debug-log", f.debugLog, "--name", c.name});
        EXPECT_EQ(r.exitCode, 1) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        for (const char* suffix : {"_NTSVC_STOP_EVENT", "_NTSVC_IN_MSG_MAP"}) {
            rmdir((global + c.name + suffix).c_str());
            unlink((global + c.name + suffix).c_str());
        }
    }
}

TEST(ServiceProcess, ClientCommandsSayWhatKeptTheRequestFromTheService) {
    ServiceFixture f;
    ASSERT_TRUE(f.Start({"--debug-log", f.dir.File("debug\x1B[2J\x1B]0;owned\x07.log")}));
    ProgramResult path = Cli({"debug-path", "--name", f.name});
    EXPECT_EQ(path.out.find('\x1B'), std::string::npos) << "no escape reaches the terminal";
    EXPECT_NE(path.out.find("debug\\x1B[2J\\x1B]0;owned\\x07.log"), std::string::npos) << path.out;

    // Another client holds the send mutex (here: a thread of this process) for longer than the
    // command waits: it says so, rather than that the service did not answer.
    std::mutex lock;
    std::condition_variable changed;
    int stage = 0;
    std::thread holder([&] {
        UniqueHandle send(OpenMutexA(SYNCHRONIZE, FALSE, ("Global\\" + f.name + "_NTSVC_SENDMSG").c_str()));
        const bool owned = send && WaitForSingleObject(send.Get(), 0) == WAIT_OBJECT_0;
        std::unique_lock hold(lock);
        stage = owned ? 1 : -1;
        changed.notify_all();
        changed.wait(hold, [&] { return stage == 2; });
        if (owned) ReleaseMutex(send.Get());
    });
    {
        std::unique_lock hold(lock);
        changed.wait(hold, [&] { return stage != 0; });
    }
    ProgramResult busy = Cli({"versions", "--timeout", "200", "--name", f.name});
    {
        std::lock_guard hold(lock);
        stage = 2;
        changed.notify_all();
    }
    holder.join();
    EXPECT_EQ(busy.exitCode, 1);
    EXPECT_NE(busy.err.find("another client holds the channel"), std::string::npos) << busy.err;
    EXPECT_EQ(Cli({"versions", "--timeout", "60000", "--name", f.name}).exitCode, 0);
}
