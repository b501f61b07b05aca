// Names, result codes and lifetime of named objects, within one process and across processes.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/kernel/FileMapping.h"
#include "platform/kernel/Handles.h"
#include "platform/kernel/LastError.h"
#include "platform/kernel/ObjectNamespace.h"
#include "platform/kernel/Synchronization.h"
#include "platform/kernel/UniqueHandle.h"
#include "tests/platform/kernel/KernelTestSupport.h"
#include "tests/support/TestNames.h"

namespace {

mode_t ModeOf(const std::string& base) {
    struct stat st {};
    std::string path = std::string(kernel::ObjectNamespace::kGlobalDirectory) + "/" + base;
    return stat(path.c_str(), &st) == 0 ? (st.st_mode & 0777) : 0;
}

}  // namespace

TEST(Namespace, CreateReportsExistingAndOpenReportsMissing) {
    const std::string base = UniqueName("codes");
    const std::string name = GlobalName(base);

    SetLastError(12345);
    UniqueHandle missing(OpenMutexA(SYNCHRONIZE, FALSE, name.c_str()));
    EXPECT_FALSE(missing);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    UniqueHandle first(CreateMutexA(nullptr, FALSE, name.c_str()));
    ASSERT_TRUE(first);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    UniqueHandle second(CreateMutexA(nullptr, FALSE, name.c_str()));
    ASSERT_TRUE(second);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_NE(first.Get(), second.Get());
    UniqueHandle opened(OpenMutexA(SYNCHRONIZE, FALSE, name.c_str()));
    EXPECT_TRUE(opened);

    // One object: owning it through one handle is owning it through all.
    ASSERT_EQ(WaitForSingleObject(first.Get(), 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(second.Get()));
}

TEST(Namespace, NameOfAnotherTypeIsRefused) {
    const std::string name = GlobalName(UniqueName("types"));
    UniqueHandle mutex(CreateMutexA(nullptr, FALSE, name.c_str()));
    ASSERT_TRUE(mutex);

    EXPECT_FALSE(UniqueHandle(CreateEventA(nullptr, FALSE, FALSE, name.c_str())));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(UniqueHandle(OpenEventA(SYNCHRONIZE, FALSE, name.c_str())));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(UniqueHandle(OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str())));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(Namespace, NamesThatCannotBeObjectNames) {
    struct Case {
        std::string name;
        DWORD error;
    };
    const Case cases[] = {
        {"Global\\a\\b", ERROR_INVALID_NAME},
        {"Global\\", ERROR_INVALID_NAME},
        {"Global\\" + std::string(300, 'x'), ERROR_FILENAME_EXCED_RANGE},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(UniqueHandle(CreateMutexA(nullptr, FALSE, c.name.c_str()))) << c.name;
        EXPECT_EQ(GetLastError(), c.error) << c.name;
    }
    EXPECT_FALSE(UniqueHandle(OpenMutexA(SYNCHRONIZE, FALSE, nullptr)));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(Namespace, CharactersOutsideFileNamesStillNameDistinctObjects) {
    const std::string base = UniqueName("chars");
    const std::string slash = GlobalName(base + "/x");
    const std::string percent = GlobalName(base + "%2Fx");
    UniqueHandle a(CreateEventA(nullptr, TRUE, FALSE, slash.c_str()));
    UniqueHandle b(CreateEventA(nullptr, TRUE, FALSE, percent.c_str()));
    ASSERT_TRUE(a);
    ASSERT_TRUE(b);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);  // not the same file as the slash name
    ASSERT_TRUE(SetEvent(a.Get()));
    EXPECT_EQ(WaitForSingleObject(b.Get(), 0), WAIT_TIMEOUT);
}

TEST(Namespace, ObjectEndsWithItsLastHandle) {
    const std::string base = UniqueName("last");
    const std::string name = GlobalName(base);
    {
        UniqueHandle a(CreateEventA(nullptr, TRUE, TRUE, name.c_str()));
        UniqueHandle b(OpenEventA(SYNCHRONIZE, FALSE, name.c_str()));
        ASSERT_TRUE(a && b);
        a.Reset();
        EXPECT_EQ(WaitForSingleObject(b.Get(), 0), WAIT_OBJECT_0) << "still alive through the second handle";
        EXPECT_EQ(GlobalObjectsStartingWith(base).size(), 1u);
    }
    EXPECT_TRUE(GlobalObjectsStartingWith(base).empty());
    EXPECT_FALSE(UniqueHandle(OpenEventA(SYNCHRONIZE, FALSE, name.c_str())));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    UniqueHandle fresh(CreateEventA(nullptr, TRUE, FALSE, name.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(WaitForSingleObject(fresh.Get(), 0), WAIT_TIMEOUT) << "a fresh object, not the old signalled one";
}

TEST(Namespace, OpenSecurityIgnoresTheUmaskAndDefaultSecurityKeepsOthersOut) {
    const std::string open = UniqueName("open");
    const std::string closed = UniqueName("closed");
    const std::string section = UniqueName("section");
    mode_t old = umask(077);
    OpenAttributes everyone;
    UniqueHandle a(CreateMutexA(everyone.Get(), FALSE, GlobalName(open).c_str()));
    UniqueHandle b(CreateMutexA(nullptr, FALSE, GlobalName(closed).c_str()));
    UniqueHandle c(
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, GlobalName(section).c_str()));
    umask(old);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(ModeOf(open), 0666u);
    EXPECT_EQ(ModeOf(closed), 0644u);
    EXPECT_EQ(ModeOf(section), 0600u);
}

TEST(Namespace, ObjectLivesWhileAnotherProcessHoldsIt) {
    const std::string base = UniqueName("held");
    const std::string name = GlobalName(base);
    auto holder = StartHolder("event", name);
    ASSERT_TRUE(holder);
    UniqueHandle mine(CreateEventA(nullptr, FALSE, FALSE, name.c_str()));
    ASSERT_TRUE(mine);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(Command(*holder, "set"));
    EXPECT_EQ(WaitForSingleObject(mine.Get(), 0), WAIT_OBJECT_0) << "the other process's event";

    holder->Kill(SIGKILL);
    holder->Wait();
    UniqueHandle again(OpenEventA(SYNCHRONIZE, FALSE, name.c_str()));
    EXPECT_TRUE(again) << "this process holds it still";
    mine.Reset();
    again.Reset();
    EXPECT_TRUE(GlobalObjectsStartingWith(base).empty());
}

TEST(Namespace, WhatAKilledProcessLeftIsReclaimedOnNextUse) {
    for (const char* type : {"mutex", "event", "section"}) {
        const std::string base = UniqueName(std::string("killed-") + type);
        const std::string name = GlobalName(base);
        auto holder = StartHolder(type, name);
        ASSERT_TRUE(holder) << type;
        holder->Kill(SIGKILL);
        holder->Wait();
        EXPECT_EQ(GlobalObjectsStartingWith(base).size(), 1u) << "left behind until the name is used";

        if (std::string(type) == "section") {
            EXPECT_FALSE(UniqueHandle(OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str())));
        } else if (std::string(type) == "event") {
            EXPECT_FALSE(UniqueHandle(OpenEventA(SYNCHRONIZE, FALSE, name.c_str())));
        } else {
            EXPECT_FALSE(UniqueHandle(OpenMutexA(SYNCHRONIZE, FALSE, name.c_str())));
        }
        EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND) << type;
        EXPECT_TRUE(GlobalObjectsStartingWith(base).empty()) << type;
    }
}

TEST(Namespace, CreatingOverAKilledProcessesObjectMakesAFreshOne) {
    const std::string base = UniqueName("recreate");
    const std::string name = GlobalName(base);
    auto holder = StartHolder("mutex", name);
    ASSERT_TRUE(holder);
    ASSERT_TRUE(Command(*holder, "lock"));
    holder->Kill(SIGKILL);
    holder->Wait();
    UniqueHandle fresh(CreateMutexA(nullptr, FALSE, name.c_str()));
    ASSERT_TRUE(fresh);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(WaitForSingleObject(fresh.Get(), 0), WAIT_OBJECT_0) << "not the dead owner's mutex";
    ReleaseMutex(fresh.Get());
}

TEST(Namespace, ProcessThatEndsWithHandlesOpenLeavesNothing) {
    const std::string base = UniqueName("exit");
    auto holder = StartHolder("section", GlobalName(base));
    ASSERT_TRUE(holder);
    // Held and let go here first: the other process is then the last holder.
    UniqueHandle(OpenFileMappingA(FILE_MAP_READ, FALSE, GlobalName(base).c_str())).Reset();
    ASSERT_TRUE(holder->Send("exit"));
    EXPECT_EQ(holder->Wait(), 0);
    EXPECT_TRUE(GlobalObjectsStartingWith(base).empty());
}

TEST(Namespace, UnnamedObjectsBelongToTheirHandles) {
    UniqueHandle a(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    UniqueHandle b(CreateEventA(nullptr, TRUE, FALSE, ""));
    ASSERT_TRUE(a && b);
    SetEvent(a.Get());
    EXPECT_EQ(WaitForSingleObject(b.Get(), 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(a.Get(), 0), WAIT_OBJECT_0);
}

TEST(Namespace, ClosingIsCheckedAndOnlyOnce) {
    HANDLE h = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    EXPECT_FALSE(SetEvent(h));
}

TEST(Namespace, ProbeTellsWhatCreatingWouldFindAndCreatesNothing) {
    const std::string base = UniqueName("probe");
    const std::string name = GlobalName(base);
    EXPECT_EQ(ProbeMutexA(name.c_str()), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(GlobalObjectsStartingWith(base).empty());

    auto holder = StartHolder("mutex", name);
    ASSERT_TRUE(holder);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ProbeMutexA(name.c_str()), ERROR_ALREADY_EXISTS) << i;  // then from its cache
    holder->Kill(SIGKILL);
    holder->Wait();
    EXPECT_EQ(ProbeMutexA(name.c_str()), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(GlobalObjectsStartingWith(base).empty()) << "reclaimed";

    UniqueHandle event(CreateEventA(nullptr, FALSE, FALSE, name.c_str()));
    EXPECT_EQ(ProbeMutexA(name.c_str()), ERROR_INVALID_HANDLE);
    EXPECT_EQ(ProbeMutexA("Global\\bad\\name"), ERROR_INVALID_NAME);
}

TEST(Namespace, OtherUsersUseOpenObjectsOnlyAndSeeTheOthersExist) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to run a helper as another user";
    const std::string base = GlobalName(UniqueName("users"));
    OpenAttributes everyone;
    UniqueHandle mutex(CreateMutexA(nullptr, FALSE, (base + "-mutex").c_str()));  // default security
    UniqueHandle event(CreateEventA(everyone.Get(), FALSE, FALSE, (base + "-event").c_str()));
    UniqueHandle section(
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, (base + "-section").c_str()));
    ASSERT_TRUE(mutex && event && section);

    ChildProcess nobody({KERNEL_TEST_HELPER, "as-nobody", base});
    std::vector<std::string> lines;
    std::string line;
    while (nobody.ReadLine(line) && line != "end") lines.push_back(line);
    const std::vector<std::string> expected = {
        "create-mutex 5",  // exists, not for this user: what the service probe counts as running
        "probe-mutex 5",  "open-event 0", "set-event 0", "open-section 5",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(WaitForSingleObject(event.Get(), 0), WAIT_OBJECT_0) << "the other user's signal arrived";
}
