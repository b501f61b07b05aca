#pragma once
// Where named kernel objects live and how they are found, created, kept alive and removed.
//
// Every object is a file in a directory on tmpfs: "Global\" names in one directory shared by all
// local users, other names in a directory of the calling user. A process that holds a handle to
// an object holds a shared flock on the object's file; that lock is what keeps the object alive,
// and the kernel drops it when the process ends, however it ends. Removing a file takes the
// exclusive lock, which only succeeds when no process holds the object any more. So: the last
// process to close an object removes it, and an object whose holders all died is removed by the
// next process that looks the name up.
//
// The shared directory is sticky, as /tmp is: only a file's owner (or root) removes or renames
// it, so no user can delete or replace another's live object. A dead object that the looker may
// not remove counts as missing; one open to every user is made anew in place when created again.

#include <chrono>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/kernel/KernelObject.h"
#include "platform/kernel/MappedRegion.h"
#include "platform/kernel/ObjectLayout.h"
#include "platform/kernel/UniqueFd.h"
#include "platform/kernel/WinTypes.h"

namespace kernel {

struct ObjectRecipe {
    ObjectType type = ObjectType::Mutex;
    bool openToAll = false;       // any local user may open it, whatever the umask
    bool initiallyOwned = false;  // mutex: owned by the creating thread
    bool manualReset = false;     // event
    bool initialState = false;    // event
    std::uint64_t sectionSize = 0;
};

class ObjectNamespace {
public:
    static constexpr const char* kGlobalDirectory = "/dev/shm/quillbridge-global";
    static std::string LocalDirectory();

    struct Lookup {
        std::shared_ptr<KernelObject> object;
        DWORD error = ERROR_SUCCESS;  // with an object: ERROR_SUCCESS (new) or ERROR_ALREADY_EXISTS
    };

    // Creates the object, or finds the live one of that name (which must be of the same type).
    // A null or empty name makes an object of this process alone.
    Lookup Create(const char* name, const ObjectRecipe& recipe);
    // Finds the live object of that name: ERROR_FILE_NOT_FOUND when there is none.
    Lookup Open(const char* name, ObjectType type, bool needWrite);
    // Whether a live object of that name exists, without opening it: ERROR_ALREADY_EXISTS,
    // ERROR_ACCESS_DENIED (it exists; the caller may not use it), ERROR_INVALID_HANDLE (another
    // type), ERROR_FILE_NOT_FOUND, or another failure. One lock call once the name is known.
    DWORD Probe(const char* name, ObjectType type);
    // Whether the live mutex of that name is owned by a thread that still runs, without opening
    // it: ERROR_SUCCESS, ERROR_NOT_OWNER (nobody, or a thread that ended, owns it), or what Probe
    // reports when there is no such mutex.
    DWORD ProbeOwner(const char* name);
    // Called as a KernelObject dies: removes the file if no other process holds it.
    void Leave(KernelObject& object);

private:
    struct Location {
        bool global = true;
        std::string fileName;
        std::string Key() const { return (global ? "G:" : "L:") + fileName; }
    };
    enum class Found { Object, Created, Missing, Again, Error };
    // What a lock look at an unlocked file found: someone holds it; it was dead and is removed
    // now; or it is dead and this process may not remove it (the exclusive lock is then held).
    enum class Holders { Some, Removed, DeadStuck };
    struct CachedFile {
        std::string key;
        UniqueFd fd;
        MappedRegion header;
        bool writable = false;
        // The mutex owner that a full look (/proc) last found alive, and when: within
        // kOwnerRecheck the same owner needs only the one-call check that its thread exists.
        std::uint32_t verifiedOwner = 0;
        std::uint64_t verifiedStamp = 0;
        std::chrono::steady_clock::time_point verifiedAt{};
    };

    DWORD Locate(const char* name, Location& out);
    int Directory(bool global);
    // With `recipe` (when creating), a dead file that cannot be removed is made anew in place.
    Found FindExisting(const Location& where, const ObjectRecipe* recipe, std::shared_ptr<KernelObject>& out,
                       DWORD& error);
    Found Join(const Location& where, UniqueFd fd, MappedRegion header, bool writable, const ObjectRecipe* recipe,
               std::shared_ptr<KernelObject>& out, DWORD& error);
    Found CreateFresh(const Location* where, const ObjectRecipe& recipe, std::shared_ptr<KernelObject>& out,
                      DWORD& error);
    // Makes a dead file that cannot be removed into a fresh object of `recipe`; `fd` holds its
    // exclusive lock.
    Found Recreate(const Location& where, UniqueFd fd, const ObjectRecipe& recipe, std::shared_ptr<KernelObject>& out,
                   DWORD& error);
    // Opens the file of a name: Object (in `fd`), Missing, or Error (something else is in the way).
    Found OpenFile(const Location& where, UniqueFd& fd, bool& writable, DWORD& error);
    // The object of that name that this process holds, if any.
    std::shared_ptr<KernelObject> Live(const Location& where);
    // Finds the live file of a name without joining it: ERROR_SUCCESS with its cache entry, which
    // stays valid while lock_ is held.
    DWORD Peek(const Location& where, CachedFile*& file);
    Lookup Checked(std::shared_ptr<KernelObject> object, ObjectType type, bool needWrite, DWORD foundCode);
    // Whether someone holds the file; removes it when its holders all died. `fd` holds no lock.
    Holders Held(const Location& where, int fd);
    void Remember(CachedFile file);
    static DWORD ProbeResult(const MappedRegion& header, bool writable, ObjectType type);

    static constexpr std::size_t kCacheSize = 16;

    std::recursive_mutex lock_;  // recursive: a KernelObject dropped under it calls Leave
    std::map<std::string, std::weak_ptr<KernelObject>> live_;
    std::list<CachedFile> cache_;  // closed mutexes and events, most recent first
    UniqueFd globalDirectory_;
    UniqueFd localDirectory_;
};

}  // namespace kernel
