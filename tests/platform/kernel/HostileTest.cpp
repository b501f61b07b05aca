// What other processes and users may do to an object behind its holders' backs: write its words,
// shrink its file, remove or replace it, put something else at its name, or keep it open.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/kernel/FileMapping.h"
#include "platform/kernel/LastError.h"
#include "platform/kernel/ObjectLayout.h"
#include "platform/kernel/ObjectNamespace.h"
#include "platform/kernel/Synchronization.h"
#include "platform/kernel/UniqueFd.h"
#include "platform/kernel/UniqueHandle.h"
#include "tests/platform/kernel/KernelTestSupport.h"
#include "tests/support/TestNames.h"

using kernel::EventState;
using kernel::MutexState;
using kernel::SectionState;

namespace {

std::string FileOf(const std::string& base) { return std::string(kernel::ObjectNamespace::kGlobalDirectory) + "/" + base; }

// An object's header page as a process that writes the file directly sees it.
class RawObject {
public:
    explicit RawObject(const std::string& base) : fd_(open(FileOf(base).c_str(), O_RDWR | O_CLOEXEC)) {
        void* p = mmap(nullptr, kernel::kObjectPageSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd_.Get(), 0);
        page_ = p == MAP_FAILED ? nullptr : static_cast<char*>(p);
    }
    ~RawObject() {
        if (page_) munmap(page_, kernel::kObjectPageSize);
    }
    bool Valid() const { return page_ != nullptr; }
    template <class T>
    T& State() {
        return *reinterpret_cast<T*>(page_ + kernel::kStateOffset);
    }

private:
    kernel::UniqueFd fd_;
    char* page_ = nullptr;
};

}  // namespace

TEST(Hostile, EventWordsWrittenByOthersAreReadDefensively) {
    struct Case {
        const char* what;
        BOOL manual;
        std::uint32_t signaled;
        std::uint32_t manualWord;
        DWORD secondWait;
    };
    const Case cases[] = {
        {"a count of 2 is one signal", FALSE, 2, 0, WAIT_TIMEOUT},
        {"auto-reset stays auto-reset", FALSE, 1, 1, WAIT_TIMEOUT},
        {"manual-reset stays manual-reset", TRUE, 7, 0, WAIT_OBJECT_0},
    };
    for (const Case& c : cases) {
        const std::string base = UniqueName("scribbled");
        UniqueHandle event(CreateEventA(nullptr, c.manual, FALSE, GlobalName(base).c_str()));
        RawObject raw(base);
        ASSERT_TRUE(event && raw.Valid()) << c.what;
        raw.State<EventState>().manualReset = c.manualWord;
        raw.State<EventState>().signaled.store(c.signaled);
        EXPECT_EQ(WaitForSingleObject(event.Get(), 0), WAIT_OBJECT_0) << c.what;
        EXPECT_EQ(WaitForSingleObject(event.Get(), 0), c.secondWait) << c.what;
    }
}

TEST(Hostile, MutexWordsWrittenByOthersDoNotKeepItFromItsWaiters) {
    const std::string base = UniqueName("mutex-words");
    UniqueHandle mutex(CreateMutexA(nullptr, FALSE, GlobalName(base).c_str()));
    RawObject raw(base);
    ASSERT_TRUE(mutex && raw.Valid());

    // A word that names no owner: nobody would ever release it.
    raw.State<MutexState>().word.store(0x40000000u);
    EXPECT_EQ(WaitForSingleObject(mutex.Get(), 10000), WAIT_ABANDONED);
    // A shared count set to 0 under its owner: one release still frees it.
    raw.State<MutexState>().recursion = 0;
    EXPECT_TRUE(ReleaseMutex(mutex.Get()));
    DWORD other = WAIT_FAILED;
    std::thread([&] {
        other = WaitForSingleObject(mutex.Get(), 0);
        if (other == WAIT_OBJECT_0) ReleaseMutex(mutex.Get());
    }).join();
    EXPECT_EQ(other, WAIT_OBJECT_0);
}

TEST(Hostile, ClearedSleeperCountStrandsNoSleeper) {
    const std::string base = UniqueName("sleepers");
    UniqueHandle event(CreateEventA(nullptr, FALSE, FALSE, GlobalName(base).c_str()));
    RawObject raw(base);
    ASSERT_TRUE(event && raw.Valid());
    std::atomic<DWORD> result{WAIT_FAILED};
    const auto start = std::chrono::steady_clock::now();
    std::thread waiter([&] { result = WaitForSingleObject(event.Get(), 60000); });
    while (raw.State<EventState>().sleepers.load() == 0) std::this_thread::yield();
    raw.State<EventState>().sleepers.store(0);  // the setter will not wake anyone
    SetEvent(event.Get());
    waiter.join();
    EXPECT_EQ(result, WAIT_OBJECT_0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30)) << "looked again, not at the end";
}

TEST(Hostile, ShrunkFileFailsCallsInsteadOfRaisingSigbus) {
    for (const char* type : {"mutex", "event", "section"}) {
        const std::string base = UniqueName(std::string("shrunk-") + type);
        const std::string name = GlobalName(base);
        const std::string what = type;
        UniqueHandle object(what == "mutex"   ? CreateMutexA(nullptr, FALSE, name.c_str())
                            : what == "event" ? CreateEventA(nullptr, FALSE, FALSE, name.c_str())
                                              : CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                                   8192, name.c_str()));
        ASSERT_TRUE(object) << type;
        auto* view = what == "section"
                         ? static_cast<volatile unsigned char*>(MapViewOfFile(object.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0))
                         : nullptr;
        if (view) view[100] = 42;
        ASSERT_EQ(truncate(FileOf(base).c_str(), 0), 0) << type;

        if (view) {
            EXPECT_EQ(view[100], 0) << "zeros, not a signal";
            view[8191] = 1;  // written to nowhere
            EXPECT_TRUE(IsViewBroken(const_cast<unsigned char*>(view)));
            UnmapViewOfFile(const_cast<unsigned char*>(view));
            continue;
        }
        EXPECT_EQ(WaitForSingleObject(object.Get(), 0), WAIT_FAILED) << type;
        EXPECT_EQ(GetLastError(), ERROR_FILE_CORRUPT) << type;
        EXPECT_FALSE(what == "event" ? SetEvent(object.Get()) : ReleaseMutex(object.Get())) << type;
        EXPECT_EQ(GetLastError(), ERROR_FILE_CORRUPT) << type;
    }
    // A bus error outside every object still ends the process, by the handler that was there
    // before: the default kills it, AddressSanitizer's reports and exits with 1.
    EXPECT_EXIT(raise(SIGBUS), [](int status) { return WIFSIGNALED(status) || WEXITSTATUS(status) != 0; }, "");
}

TEST(Hostile, SectionSizeNeverExceedsItsFile) {
    const std::string base = UniqueName("huge");
    auto holder = StartHolder("section", GlobalName(base));
    ASSERT_TRUE(holder);
    {
        RawObject raw(base);
        ASSERT_TRUE(raw.Valid());
        raw.State<SectionState>().size = 1ull << 30;  // what the header claims; the file holds 8 KiB
    }
    UniqueHandle section(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, GlobalName(base).c_str()));
    ASSERT_TRUE(section);
    auto* view = static_cast<volatile unsigned char*>(MapViewOfFile(section.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    MEMORY_BASIC_INFORMATION info{};
    ASSERT_EQ(VirtualQuery(const_cast<unsigned char*>(view), &info, sizeof info), sizeof info);
    EXPECT_EQ(info.RegionSize, 8192u);
    view[info.RegionSize - 1] = 1;
    EXPECT_FALSE(IsViewBroken(const_cast<unsigned char*>(view)));
    UnmapViewOfFile(const_cast<unsigned char*>(view));
}

TEST(Hostile, OtherUsersCannotRemoveOrReplaceALiveObject) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to run a helper as another user";
    const std::string base = UniqueName("live");
    OpenAttributes everyone;
    UniqueHandle mutex(CreateMutexA(everyone.Get(), TRUE, GlobalName(base).c_str()));
    ASSERT_TRUE(mutex);
    struct stat st {};
    ASSERT_EQ(stat(kernel::ObjectNamespace::kGlobalDirectory, &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 01777u) << "sticky, as /tmp is";
    EXPECT_EQ(HelperLines({"unlink", GlobalName(base)}, kNobody), std::vector<std::string>{"unlink 1"});
    EXPECT_EQ(HelperLines({"rename", GlobalName(base)}, kNobody), std::vector<std::string>{"rename 1"});
    EXPECT_EQ(HelperLines({"create", "mutex", GlobalName(base)}, kNobody),
              std::vector<std::string>{"create " + std::to_string(ERROR_ALREADY_EXISTS)});
    EXPECT_EQ(HelperLines({"owned", GlobalName(base)}, kNobody), std::vector<std::string>{"owned 1 0"});
}

TEST(Hostile, DeadObjectsOfOtherUsersAreStillReclaimed) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to run helpers as other users";
    struct Case {
        bool openToAll;
        DWORD otherUsersCreate;  // what a third user gets, who can neither remove nor reuse a private one
    };
    for (Case c : {Case{true, ERROR_SUCCESS}, Case{false, ERROR_ACCESS_DENIED}}) {
        const std::string base = UniqueName(c.openToAll ? "dead-open" : "dead-private");
        const std::string name = GlobalName(base);
        auto holder = StartHolder("event", name, c.openToAll, kNobody);
        ASSERT_TRUE(holder);
        holder->Kill(SIGKILL);
        holder->Wait();
        EXPECT_EQ(HelperLines({"open", "event", name}, kSomeoneElse),
                  std::vector<std::string>{"open " + std::to_string(ERROR_FILE_NOT_FOUND)})
            << "dead is missing, for everyone";
        EXPECT_EQ(HelperLines({"create", "mutex", name}, kSomeoneElse),
                  std::vector<std::string>{"create " + std::to_string(c.otherUsersCreate)});
        UniqueHandle mine(CreateMutexA(nullptr, FALSE, name.c_str()));
        EXPECT_TRUE(mine);
        EXPECT_EQ(GetLastError(), ERROR_SUCCESS) << "root removes what is dead";
    }
}

TEST(Hostile, SomethingElseAtAnObjectsNameIsNamedInTheError) {
    const std::string dir = UniqueName("dir"), link = UniqueName("link"), fifo = UniqueName("fifo");
    ASSERT_EQ(mkdir(FileOf(dir).c_str(), 0755), 0);
    ASSERT_EQ(symlink("/dev/null", FileOf(link).c_str()), 0);
    ASSERT_EQ(mkfifo(FileOf(fifo).c_str(), 0644), 0);
    ASSERT_EQ(chmod(FileOf(fifo).c_str(), 0644), 0);
    struct Case {
        std::string base;
        DWORD error;
    };
    for (const Case& c : {Case{dir, ERROR_DIRECTORY}, Case{link, ERROR_CANT_RESOLVE_FILENAME},
                          Case{fifo, ERROR_BAD_FILE_TYPE}}) {
        EXPECT_FALSE(UniqueHandle(CreateMutexA(nullptr, FALSE, GlobalName(c.base).c_str()))) << c.base;
        EXPECT_EQ(GetLastError(), c.error) << c.base;
        EXPECT_EQ(ProbeMutexA(GlobalName(c.base).c_str()), c.error) << c.base;
    }
    // Opening a FIFO for reading would wait for a writer: another user must get an answer.
    if (geteuid() == 0) {
        EXPECT_EQ(HelperLines({"open", "mutex", GlobalName(fifo)}, kNobody),
                  std::vector<std::string>{"open " + std::to_string(ERROR_BAD_FILE_TYPE)});
    }
    rmdir(FileOf(dir).c_str());
    unlink(FileOf(link).c_str());
    unlink(FileOf(fifo).c_str());
}

TEST(Hostile, OnlyALiveOwnerMakesAMutexOwned) {
    const std::string base = UniqueName("owned");
    const std::string name = GlobalName(base);
    EXPECT_FALSE(IsMutexOwnedA(name.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    auto owner = StartHolder("mutex", name, false);
    ASSERT_TRUE(owner);
    EXPECT_FALSE(IsMutexOwnedA(name.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
    ASSERT_TRUE(Command(*owner, "lock"));
    EXPECT_TRUE(IsMutexOwnedA(name.c_str()));
    ASSERT_TRUE(Command(*owner, "release"));
    EXPECT_FALSE(IsMutexOwnedA(name.c_str()));
    ASSERT_TRUE(Command(*owner, "lock"));

    // Holding it open keeps it alive, not owned.
    UniqueHandle pinned(OpenMutexA(SYNCHRONIZE, FALSE, name.c_str()));
    ASSERT_TRUE(pinned);
    owner->Kill(SIGKILL);
    owner->Wait();
    EXPECT_FALSE(IsMutexOwnedA(name.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
    ASSERT_EQ(WaitForSingleObject(pinned.Get(), 0), WAIT_ABANDONED);
    EXPECT_TRUE(IsMutexOwnedA(name.c_str())) << "by this thread";

    const std::string eventName = GlobalName(UniqueName("not-a-mutex"));
    UniqueHandle event(CreateEventA(nullptr, FALSE, FALSE, eventName.c_str()));
    EXPECT_FALSE(IsMutexOwnedA(eventName.c_str()));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}
