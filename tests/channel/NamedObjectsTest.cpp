// The named-object wrappers and their result codes.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "channel/NamedEvent.h"
#include "channel/NamedMutex.h"
#include "channel/NamedMutexLock.h"
#include "channel/NamedSharedMemory.h"
#include "channel/SharedMemoryHeader.h"
#include "platform/kernel/FileMapping.h"
#include "platform/kernel/Synchronization.h"
#include "platform/kernel/UniqueHandle.h"
#include "tests/support/TestNames.h"

namespace {

std::string Global(const std::string& label) { return "Global\\" + UniqueName(label); }

// Whether another thread can take the mutex now (and gives it back at once).
bool FreeForOthers(const std::string& name) {
    bool free = false;
    std::thread([&] {
        NamedMutex other;
        if (other.Create(name.c_str(), true) != 0) return;
        free = other.Lock(0) == 0;
    }).join();
    return free;
}

// A block made by hand: `total` bytes whose first bytes are `header`.
struct RawBlock {
    RawBlock(const std::string& name, std::uint32_t total, const SharedMemoryHeader& header) {
        section.Reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, total, name.c_str()));
        view = static_cast<std::uint8_t*>(MapViewOfFile(section.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
        std::memcpy(view, &header, sizeof header);
    }
    ~RawBlock() { UnmapViewOfFile(view); }
    UniqueHandle section;
    std::uint8_t* view = nullptr;
};

}  // namespace

TEST(NamedMutex, CreateOfAnExistingName) {
    const std::string name = Global("mutex");
    NamedMutex first;
    ASSERT_EQ(first.Create(name.c_str(), false), 0);
    NamedMutex refused;
    EXPECT_EQ(refused.Create(name.c_str(), false), -2);
    EXPECT_EQ(refused.Handle(), nullptr) << "left closed";
    NamedMutex joined;
    EXPECT_EQ(joined.Create(name.c_str(), true), 0);
    EXPECT_EQ(joined.Create(name.c_str(), true), -2) << "holds one already";
    NamedMutex borrowed(joined.Handle());
    EXPECT_EQ(borrowed.Create(name.c_str(), true), -1);
    NamedMutex none;
    EXPECT_EQ(none.Open(Global("absent").c_str(), FALSE, SYNCHRONIZE), -1);
    EXPECT_EQ(none.Lock(0), -3);
    EXPECT_EQ(none.Unlock(), -3);
}

TEST(NamedMutex, LockTwiceUnlockOnceAndReleaseOnDestruction) {
    const std::string name = Global("lock");
    {
        NamedMutex m;
        ASSERT_EQ(m.Create(name.c_str(), true), 0);
        EXPECT_EQ(m.Lock(0), 0);
        EXPECT_EQ(m.Lock(0), 0);
        EXPECT_FALSE(FreeForOthers(name));
        EXPECT_EQ(m.Unlock(), 0);
        EXPECT_TRUE(FreeForOthers(name)) << "one Unlock undoes both Locks";
        EXPECT_EQ(m.Unlock(), 0) << "not locked: nothing to do";
        ASSERT_EQ(m.Lock(0), 0);
        NamedMutex keeper;  // keeps the object alive past m
        ASSERT_EQ(keeper.Create(name.c_str(), true), 0);
        {
            NamedMutex dying(nullptr);
            ASSERT_EQ(dying.Create(name.c_str(), true), 0);
        }
        EXPECT_FALSE(FreeForOthers(name));
    }
    NamedMutex after;
    ASSERT_EQ(after.Create(name.c_str(), true), 0);
    EXPECT_EQ(after.Lock(0), 0) << "destroying the owner released it";
}

TEST(NamedMutex, AbandonedMutexIsOwnedAndReleasedByItsTaker) {
    const std::string name = Global("abandoned");
    NamedMutex victim;  // outlives the thread that locks through it
    ASSERT_EQ(victim.Create(name.c_str(), true), 0);
    NamedMutex taker;
    ASSERT_EQ(taker.Create(name.c_str(), true), 0);
    std::thread([&] { ASSERT_EQ(WaitForSingleObject(victim.Handle(), 0), WAIT_OBJECT_0); }).join();
    EXPECT_EQ(taker.Lock(INFINITE), -1) << "abandoned";
    EXPECT_TRUE(taker.IsLocked());
    EXPECT_FALSE(FreeForOthers(name));
    EXPECT_EQ(taker.Unlock(), 0);
    EXPECT_TRUE(FreeForOthers(name));

    {
        NamedMutexLock scoped(taker, INFINITE);
        EXPECT_TRUE(scoped.Owned());
        EXPECT_FALSE(FreeForOthers(name));
    }
    EXPECT_TRUE(FreeForOthers(name));
}

TEST(NamedMutex, MutexTakenFromUnderItsOwnerIsNotBelievedOwned) {
    const std::string base = UniqueName("stolen");
    const std::string name = "Global\\" + base;
    NamedMutex m;
    ASSERT_EQ(m.Create(name.c_str(), true), 0);
    ASSERT_EQ(m.Lock(0), 0);
    // Another process writes the word: now a live thread elsewhere "owns" it.
    std::mutex lock;
    std::condition_variable changed;
    std::uint32_t otherId = 0;
    bool done = false;
    std::thread other([&] {
        std::unique_lock hold(lock);
        otherId = static_cast<std::uint32_t>(syscall(SYS_gettid));
        changed.notify_all();
        changed.wait(hold, [&] { return done; });
    });
    {
        std::unique_lock hold(lock);
        changed.wait(hold, [&] { return otherId != 0; });
    }
    const int fd = open(("/dev/shm/quillbridge-global/" + base).c_str(), O_RDWR | O_CLOEXEC);
    void* page = mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ASSERT_NE(page, MAP_FAILED);
    reinterpret_cast<std::atomic<std::uint32_t>*>(static_cast<char*>(page) + 64)->store(otherId);

    EXPECT_EQ(m.Unlock(), -1);
    EXPECT_FALSE(m.IsLocked());
    EXPECT_EQ(m.Lock(0), -1) << "a later Lock really waits";
    EXPECT_FALSE(m.IsLocked());
    {
        std::lock_guard hold(lock);
        done = true;
        changed.notify_all();
    }
    other.join();
    munmap(page, 4096);
    close(fd);
}

TEST(NamedEvent, OpenSetWait) {
    const std::string name = Global("event");
    NamedEvent absent;
    EXPECT_EQ(absent.Open(name.c_str(), FALSE), -1);
    EXPECT_FALSE(absent.Set());
    EXPECT_FALSE(absent.Wait(0));
    NamedEvent service;
    ASSERT_EQ(service.Create(name.c_str(), false, false), 0);
    EXPECT_EQ(service.Create(name.c_str(), false, false), -1);
    NamedEvent client;
    ASSERT_EQ(client.Open(name.c_str(), TRUE), 0);
    EXPECT_EQ(client.Open(name.c_str(), TRUE), -1);
    EXPECT_FALSE(client.Wait(0));
    EXPECT_TRUE(service.Set());
    EXPECT_TRUE(client.Wait(0));
    EXPECT_FALSE(client.Wait(0)) << "auto-reset";
    EXPECT_TRUE(service.Set());
    EXPECT_TRUE(client.Reset());
    EXPECT_FALSE(client.Wait(0));
}

TEST(NamedSharedMemory, NamingAndOpening) {
    NamedSharedMemory block;
    EXPECT_EQ(block.Open(1), -1) << "no name";
    EXPECT_EQ(block.SetName(nullptr), -1);
    EXPECT_EQ(block.SetName(""), -1);
    const std::string name = Global("map");
    ASSERT_EQ(block.SetName(name.c_str()), 0);
    EXPECT_EQ(block.SetName(name.c_str()), -1) << "named once";
    EXPECT_EQ(block.Open(1), -3);
    MessageBuffer data;
    EXPECT_EQ(block.Read(data), -1);
    EXPECT_EQ(block.Write(MessageBuffer("x", 1), 0), -1);

    NamedSharedMemory service;
    ASSERT_EQ(service.SetName(name.c_str()), 0);
    ASSERT_EQ(service.Create(1000), 0);
    ASSERT_EQ(block.Open(1), 0);
    EXPECT_EQ(block.Open(1), -1) << "open already";
    EXPECT_EQ(block.DataSize(), 1000u);
    EXPECT_EQ(block.DataOffset(), NamedSharedMemory::kDataOffset);
}

TEST(NamedSharedMemory, ReadsAndWritesStayInsideTheDataArea) {
    const std::string name = Global("rw");
    NamedSharedMemory service;
    ASSERT_EQ(service.SetName(name.c_str()), 0);
    ASSERT_EQ(service.Create(16), 0);
    NamedSharedMemory writer;
    ASSERT_EQ(writer.SetName(name.c_str()), 0);
    ASSERT_EQ(writer.Open(1), 0);

    EXPECT_EQ(writer.Write(MessageBuffer("0123456789abcdefXYZ", 19), 0), 0);
    MessageBuffer area;
    ASSERT_EQ(service.Read(area), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(area.Data()), area.Size()), "0123456789abcdef") << "cut";
    EXPECT_EQ(writer.Write(MessageBuffer("--", 2), 14), 0);
    ASSERT_EQ(service.Read(area), 0);
    EXPECT_EQ(area.Size(), 16u) << "always the whole area";
    EXPECT_EQ(area.Data()[14], '-');
    EXPECT_EQ(writer.Write(MessageBuffer("!", 1), 16), -1) << "offset outside the area";
    EXPECT_EQ(writer.Write(MessageBuffer(), 0), 0);

    NamedSharedMemory reader;
    ASSERT_EQ(reader.SetName(name.c_str()), 0);
    ASSERT_EQ(reader.Open(0), 0);
    EXPECT_EQ(reader.Write(MessageBuffer("zz", 2), 0), -2);
    ASSERT_EQ(reader.Read(area), 0);
    EXPECT_EQ(area.Data()[0], '0') << "the read-only write copied nothing";
}

TEST(NamedSharedMemory, HeadersThatCannotBeTrustedLeaveNoRoom) {
    struct Case {
        const char* what;
        SharedMemoryHeader header;
    };
    const Case cases[] = {
        {"no magic", {0x12345678, 64, 100}},
        {"area beyond the block", {NamedSharedMemory::kMagic, 64, 5000}},
        {"offset beyond the block", {NamedSharedMemory::kMagic, 0xFFFFFFF0u, 100}},
    };
    for (const Case& c : cases) {
        const std::string name = Global("header");
        RawBlock raw(name, 4096, c.header);
        NamedSharedMemory block;
        ASSERT_EQ(block.SetName(name.c_str()), 0);
        EXPECT_EQ(block.Open(1), 0) << c.what;
        EXPECT_EQ(block.DataSize(), NamedSharedMemory::kNoRoom) << c.what;
        MessageBuffer data;
        EXPECT_EQ(block.Read(data), -1) << c.what;
        EXPECT_EQ(block.Write(MessageBuffer("x", 1), 0), -1) << c.what;
    }
}
