#include "platform/kernel/ObjectNamespace.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/kernel/ThreadIdentity.h"

namespace kernel {
namespace {

constexpr char kGlobalPrefix[] = "Global\\";
constexpr char kLocalPrefix[] = "Local\\";
constexpr std::size_t kMaxFileName = 255;
constexpr int kMaxAttempts = 100;
constexpr mode_t kGlobalDirectoryMode = 01777;  // everyone creates; only owners remove (sticky)
constexpr mode_t kOpenToAllMode = 0666;
// How long a mutex owner found alive by a full look counts as alive while its thread exists: a
// thread that ended unreaped, or whose id was reused, is found out this much later at worst.
constexpr auto kOwnerRecheck = std::chrono::seconds(1);
// Another process holds a file's exclusive lock only while it removes the file, for an instant;
// waiting longer than this means something is badly wrong.
constexpr auto kExclusiveHoldLimit = std::chrono::seconds(2);

bool StartsWith(const char* s, const char* prefix) { return std::strncmp(s, prefix, std::strlen(prefix)) == 0; }

// Object names may hold any character but the backslash; file names may not hold '/' and should
// not start with '.'. Everything but letters, digits, '_', '-' and an inner '.' is %XX-escaped.
bool EscapeName(const char* name, std::string& out) {
    static const char hex[] = "0123456789ABCDEF";
    out.clear();
    for (const char* p = name; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '\\') return false;
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
                     c == '-' || (c == '.' && p != name);
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return true;
}

mode_t ModeFor(const ObjectRecipe& recipe) {
    if (recipe.openToAll) return kOpenToAllMode;
    // Default security: only the creator may use the object. Others may still read a mutex's or
    // event's file, so that they can tell a live object from one its holders left behind.
    return recipe.type == ObjectType::Section ? 0600 : 0644;
}

std::uint64_t FileSizeFor(const ObjectRecipe& recipe) {
    std::uint64_t size = kObjectPageSize;
    if (recipe.type == ObjectType::Section)
        size += (recipe.sectionSize + kObjectPageSize - 1) / kObjectPageSize * kObjectPageSize;
    return size;
}

bool HeaderValid(const MappedRegion& header) {
    const auto* h = static_cast<const ObjectHeader*>(header.Address());
    return !header.Broken() && h->magic == kObjectMagic && h->version == kObjectLayoutVersion &&
           (h->type == ObjectType::Mutex || h->type == ObjectType::Event || h->type == ObjectType::Section);
}

// What stands at a name when opening it failed, or when it is not a regular file.
DWORD NotAnObject(int error) {
    switch (error) {
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case EACCES:
        case EPERM:
            return ERROR_ACCESS_DENIED;
        case EISDIR:
            return ERROR_DIRECTORY;
        case ELOOP:
            return ERROR_CANT_RESOLVE_FILENAME;
        default:
            return ERROR_BAD_FILE_TYPE;
    }
}

// Takes the shared lock, waiting out a process that holds the exclusive one to remove the file.
bool LockShared(int fd) {
    auto giveUp = std::chrono::steady_clock::now() + kExclusiveHoldLimit;
    while (flock(fd, LOCK_SH | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        if (std::chrono::steady_clock::now() > giveUp) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return true;
}

// A new object's header and initial state, written into its (zeroed) header page.
void Initialize(MappedRegion& header, const ObjectRecipe& recipe) {
    auto* h = static_cast<ObjectHeader*>(header.Address());
    h->magic = kObjectMagic;
    h->version = kObjectLayoutVersion;
    h->type = recipe.type;
    void* state = static_cast<char*>(header.Address()) + kStateOffset;
    switch (recipe.type) {
        case ObjectType::Mutex: {
            auto* m = static_cast<MutexState*>(state);
            if (recipe.initiallyOwned) {
                m->word.store(ThreadIdentity::CurrentId());
                m->recursion = 1;
                m->ownerStamp.store(ThreadIdentity::CurrentStamp());
            }
            break;
        }
        case ObjectType::Event: {
            auto* e = static_cast<EventState*>(state);
            e->manualReset = recipe.manualReset ? 1 : 0;
            e->signaled.store(recipe.initialState ? 1 : 0);
            break;
        }
        case ObjectType::Section:
            static_cast<SectionState*>(state)->size = recipe.sectionSize;
            break;
    }
}

// Sizes the file and gives it its pages now: a full /dev/shm then fails the creation, not a
// later touch of the mapping.
bool Allocate(int fd, std::uint64_t size) {
    return ftruncate(fd, static_cast<off_t>(size)) == 0 && posix_fallocate(fd, 0, static_cast<off_t>(size)) == 0;
}

}  // namespace

std::string ObjectNamespace::LocalDirectory() {
    return std::string("/dev/shm/quillbridge-local-") + std::to_string(getuid());
}

int ObjectNamespace::Directory(bool global) {
    UniqueFd& slot = global ? globalDirectory_ : localDirectory_;
    if (slot.Valid()) return slot.Get();
    std::string path = global ? kGlobalDirectory : LocalDirectory();
    mkdir(path.c_str(), global ? kGlobalDirectoryMode : 0700);
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW));
    struct stat st {};
    if (!fd.Valid() || fstat(fd.Get(), &st) != 0) return -1;
    if (!global) {
        if (st.st_uid != getuid()) return -1;
    } else {
        // Whatever the umask, and whoever made it first: root takes the directory over (its
        // owner could remove every object in it), and its owner keeps it sticky.
        if (geteuid() == 0 && st.st_uid != 0 && fchown(fd.Get(), 0, 0) == 0) st.st_uid = 0;
        if ((st.st_mode & 07777) != kGlobalDirectoryMode && (st.st_uid == geteuid() || geteuid() == 0))
            fchmod(fd.Get(), kGlobalDirectoryMode);
    }
    slot = std::move(fd);
    return slot.Get();
}

DWORD ObjectNamespace::Locate(const char* name, Location& out) {
    const char* rest = name;
    out.global = false;
    if (StartsWith(name, kGlobalPrefix)) {
        out.global = true;
        rest += sizeof kGlobalPrefix - 1;
    } else if (StartsWith(name, kLocalPrefix)) {
        rest += sizeof kLocalPrefix - 1;
    }
    if (*rest == '\0' || !EscapeName(rest, out.fileName)) return ERROR_INVALID_NAME;
    if (out.fileName.size() > kMaxFileName) return ERROR_FILENAME_EXCED_RANGE;
    return ERROR_SUCCESS;
}

ObjectNamespace::Found ObjectNamespace::OpenFile(const Location& where, UniqueFd& fd, bool& writable, DWORD& error) {
    int dir = Directory(where.global);
    if (dir < 0) {
        error = ERROR_ACCESS_DENIED;
        return Found::Error;
    }
    // Not blocking: a FIFO at the name must not hold the opener up.
    constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    writable = true;
    fd = UniqueFd(openat(dir, where.fileName.c_str(), O_RDWR | kFlags));
    if (!fd.Valid() && errno == EACCES) {
        writable = false;
        fd = UniqueFd(openat(dir, where.fileName.c_str(), O_RDONLY | kFlags));
    }
    if (!fd.Valid()) {
        if (errno == ENOENT) return Found::Missing;
        error = NotAnObject(errno);
        return Found::Error;
    }
    struct stat st {};
    if (fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? ERROR_DIRECTORY : ERROR_BAD_FILE_TYPE;
        return Found::Error;
    }
    return Found::Object;
}

ObjectNamespace::Found ObjectNamespace::Join(const Location& where, UniqueFd fd, MappedRegion header, bool writable,
                                             const ObjectRecipe* recipe, std::shared_ptr<KernelObject>& out,
                                             DWORD& error) {
    switch (Held(where, fd.Get())) {
        case Holders::Some:
            break;
        case Holders::Removed:
            // Removed after we opened it, or left by holders that all died (and now removed).
            // Either way the directory has the answer.
            return Found::Again;
        case Holders::DeadStuck:
            if (recipe) return Recreate(where, std::move(fd), *recipe, out, error);
            flock(fd.Get(), LOCK_UN);
            return Found::Missing;
    }
    if (!LockShared(fd.Get())) {
        error = ERROR_TIMEOUT;
        return Found::Error;
    }
    struct stat st {};
    if (fstat(fd.Get(), &st) != 0) {
        error = ERROR_INVALID_HANDLE;
        return Found::Error;
    }
    if (st.st_nlink == 0) return Found::Again;  // the last holder removed it meanwhile
    if (!header.Valid()) {
        if (static_cast<std::size_t>(st.st_size) < kObjectPageSize) {
            error = ERROR_INVALID_HANDLE;  // not one of ours, or shrunk by someone
            return Found::Error;
        }
        header = MappedRegion(fd.Get(), kObjectPageSize, 0, writable);
        if (!header.Valid()) {
            error = ERROR_NOT_ENOUGH_MEMORY;
            return Found::Error;
        }
    }
    if (!HeaderValid(header)) {
        error = ERROR_INVALID_HANDLE;
        return Found::Error;
    }
    out = std::make_shared<KernelObject>(this, where.Key(), std::move(fd), std::move(header), writable);
    live_[where.Key()] = out;
    return Found::Object;
}

ObjectNamespace::Found ObjectNamespace::FindExisting(const Location& where, const ObjectRecipe* recipe,
                                                     std::shared_ptr<KernelObject>& out, DWORD& error) {
    const std::string key = where.Key();
    auto liveIt = live_.find(key);
    if (liveIt != live_.end()) {
        // Held by this process already, so its file cannot have been removed.
        if ((out = liveIt->second.lock())) return Found::Object;
        live_.erase(liveIt);
    }
    for (auto it = cache_.begin(); it != cache_.end(); ++it) {
        if (it->key != key) continue;
        CachedFile cached = std::move(*it);
        cache_.erase(it);
        Found found =
            Join(where, std::move(cached.fd), std::move(cached.header), cached.writable, recipe, out, error);
        if (found != Found::Again) return found;
        break;  // the cached file is gone; look at the directory
    }
    UniqueFd fd;
    bool writable = true;
    Found opened = OpenFile(where, fd, writable, error);
    if (opened != Found::Object) return opened;
    return Join(where, std::move(fd), MappedRegion(), writable, recipe, out, error);
}

ObjectNamespace::Found ObjectNamespace::CreateFresh(const Location* where, const ObjectRecipe& recipe,
                                                    std::shared_ptr<KernelObject>& out, DWORD& error) {
    int dir = Directory(where ? where->global : false);
    if (dir < 0) {
        error = ERROR_ACCESS_DENIED;
        return Found::Error;
    }
    // An unnamed file, made complete and locked before it gets its name: nobody ever sees a
    // half-made object, and a creator that dies midway leaves nothing behind.
    UniqueFd fd(openat(dir, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    if (!fd.Valid()) {
        error = ERROR_ACCESS_DENIED;
        return Found::Error;
    }
    if (fchmod(fd.Get(), ModeFor(recipe)) != 0 || !Allocate(fd.Get(), FileSizeFor(recipe))) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return Found::Error;
    }
    MappedRegion header(fd.Get(), kObjectPageSize, 0, true);
    if (!header.Valid()) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return Found::Error;
    }
    Initialize(header, recipe);
    if (flock(fd.Get(), LOCK_SH) != 0) {
        error = ERROR_INVALID_HANDLE;
        return Found::Error;
    }
    std::string key;
    if (where) {
        std::string procPath = "/proc/self/fd/" + std::to_string(fd.Get());
        if (linkat(AT_FDCWD, procPath.c_str(), dir, where->fileName.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST) return Found::Again;
            error = errno == EACCES || errno == EPERM ? ERROR_ACCESS_DENIED : ERROR_INVALID_NAME;
            return Found::Error;
        }
        key = where->Key();
    }
    out = std::make_shared<KernelObject>(this, key, std::move(fd), std::move(header), true);
    if (where) live_[key] = out;
    return Found::Object;
}

ObjectNamespace::Found ObjectNamespace::Recreate(const Location& where, UniqueFd fd, const ObjectRecipe& recipe,
                                                 std::shared_ptr<KernelObject>& out, DWORD& error) {
    // Another user's dead file in the sticky directory. Reusing it keeps its owner, so only an
    // object open to every user may live in it, and only if its file is open to every user too.
    struct stat st {};
    const int access = fcntl(fd.Get(), F_GETFL);
    const bool reusable = recipe.openToAll && access != -1 && (access & O_ACCMODE) == O_RDWR &&
                          fstat(fd.Get(), &st) == 0 && (st.st_mode & 07777) == kOpenToAllMode;
    if (!reusable) {
        flock(fd.Get(), LOCK_UN);
        error = ERROR_ACCESS_DENIED;
        return Found::Error;
    }
    // Holding the exclusive lock, nobody else joins or reuses it meanwhile.
    if (ftruncate(fd.Get(), 0) != 0 || !Allocate(fd.Get(), FileSizeFor(recipe))) {
        flock(fd.Get(), LOCK_UN);
        error = ERROR_NOT_ENOUGH_MEMORY;
        return Found::Error;
    }
    MappedRegion header(fd.Get(), kObjectPageSize, 0, true);
    if (!header.Valid()) {
        flock(fd.Get(), LOCK_UN);
        error = ERROR_NOT_ENOUGH_MEMORY;
        return Found::Error;
    }
    Initialize(header, recipe);
    // The conversion to a shared lock is not atomic: whoever removed the file in between has the
    // name now, and the directory the answer.
    if (flock(fd.Get(), LOCK_SH) != 0 || fstat(fd.Get(), &st) != 0 || st.st_nlink == 0) return Found::Again;
    out = std::make_shared<KernelObject>(this, where.Key(), std::move(fd), std::move(header), true);
    live_[where.Key()] = out;
    return Found::Created;
}

ObjectNamespace::Lookup ObjectNamespace::Checked(std::shared_ptr<KernelObject> object, ObjectType type, bool needWrite,
                                                 DWORD foundCode) {
    if (object->Type() != type) return {nullptr, ERROR_INVALID_HANDLE};
    if (needWrite && !object->Writable()) return {nullptr, ERROR_ACCESS_DENIED};
    return {std::move(object), foundCode};
}

ObjectNamespace::Lookup ObjectNamespace::Create(const char* name, const ObjectRecipe& recipe) {
    std::lock_guard guard(lock_);
    std::shared_ptr<KernelObject> object;
    DWORD error = ERROR_SUCCESS;
    if (name == nullptr || *name == '\0') {
        if (CreateFresh(nullptr, recipe, object, error) == Found::Object) return {std::move(object), ERROR_SUCCESS};
        return {nullptr, error};
    }
    Location where;
    if (DWORD bad = Locate(name, where)) return {nullptr, bad};
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        switch (FindExisting(where, &recipe, object, error)) {
            case Found::Object:
                return Checked(std::move(object), recipe.type, true, ERROR_ALREADY_EXISTS);
            case Found::Created:
                return {std::move(object), ERROR_SUCCESS};
            case Found::Error:
                return {nullptr, error};
            case Found::Again:
                continue;
            case Found::Missing:
                break;
        }
        switch (CreateFresh(&where, recipe, object, error)) {
            case Found::Object:
                return {std::move(object), ERROR_SUCCESS};
            case Found::Error:
                return {nullptr, error};
            default:
                continue;  // someone else created it first: open theirs
        }
    }
    return {nullptr, ERROR_TIMEOUT};
}

ObjectNamespace::Lookup ObjectNamespace::Open(const char* name, ObjectType type, bool needWrite) {
    if (name == nullptr || *name == '\0') return {nullptr, ERROR_INVALID_PARAMETER};
    std::lock_guard guard(lock_);
    Location where;
    if (DWORD bad = Locate(name, where)) return {nullptr, bad};
    std::shared_ptr<KernelObject> object;
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        switch (FindExisting(where, nullptr, object, error)) {
            case Found::Object:
            case Found::Created:
                return Checked(std::move(object), type, needWrite, ERROR_SUCCESS);
            case Found::Error:
                return {nullptr, error};
            case Found::Missing:
                return {nullptr, ERROR_FILE_NOT_FOUND};
            case Found::Again:
                continue;
        }
    }
    return {nullptr, ERROR_TIMEOUT};
}

ObjectNamespace::Holders ObjectNamespace::Held(const Location& where, int fd) {
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) return Holders::Some;
    struct stat st {};
    if (fstat(fd, &st) == 0 && st.st_nlink > 0 && unlinkat(Directory(where.global), where.fileName.c_str(), 0) != 0 &&
        (errno == EPERM || errno == EACCES))
        return Holders::DeadStuck;  // another user's, in the sticky directory
    flock(fd, LOCK_UN);
    return Holders::Removed;
}

DWORD ObjectNamespace::ProbeResult(const MappedRegion& header, bool writable, ObjectType type) {
    if (static_cast<const ObjectHeader*>(header.Address())->type != type) return ERROR_INVALID_HANDLE;
    return writable || type == ObjectType::Section ? ERROR_ALREADY_EXISTS : ERROR_ACCESS_DENIED;
}

std::shared_ptr<KernelObject> ObjectNamespace::Live(const Location& where) {
    auto it = live_.find(where.Key());
    return it == live_.end() ? nullptr : it->second.lock();
}

DWORD ObjectNamespace::Peek(const Location& where, CachedFile*& file) {
    const std::string key = where.Key();
    for (auto it = cache_.begin(); it != cache_.end(); ++it) {
        if (it->key != key) continue;
        if (Held(where, it->fd.Get()) == Holders::Some && !it->header.Broken()) {
            file = &*it;
            return ERROR_SUCCESS;
        }
        flock(it->fd.Get(), LOCK_UN);
        cache_.erase(it);
        break;
    }
    UniqueFd fd;
    bool writable = false;
    DWORD error = ERROR_SUCCESS;
    switch (OpenFile(where, fd, writable, error)) {
        case Found::Object:
            break;
        case Found::Missing:
            return ERROR_FILE_NOT_FOUND;
        default:
            return error;
    }
    if (Held(where, fd.Get()) != Holders::Some) {
        flock(fd.Get(), LOCK_UN);
        return ERROR_FILE_NOT_FOUND;
    }
    struct stat st {};
    if (fstat(fd.Get(), &st) != 0 || static_cast<std::size_t>(st.st_size) < kObjectPageSize)
        return ERROR_INVALID_HANDLE;
    MappedRegion mapped(fd.Get(), kObjectPageSize, 0, writable);
    if (!mapped.Valid() || !HeaderValid(mapped)) return ERROR_INVALID_HANDLE;
    Remember(CachedFile{key, std::move(fd), std::move(mapped), writable});
    file = &cache_.front();
    return ERROR_SUCCESS;
}

DWORD ObjectNamespace::Probe(const char* name, ObjectType type) {
    if (name == nullptr || *name == '\0') return ERROR_INVALID_PARAMETER;
    std::lock_guard guard(lock_);
    Location where;
    if (DWORD bad = Locate(name, where)) return bad;
    if (auto object = Live(where)) return object->Type() == type ? ERROR_ALREADY_EXISTS : ERROR_INVALID_HANDLE;
    CachedFile* file = nullptr;
    if (DWORD error = Peek(where, file)) return error;
    return ProbeResult(file->header, file->writable, type);
}

DWORD ObjectNamespace::ProbeOwner(const char* name) {
    if (name == nullptr || *name == '\0') return ERROR_INVALID_PARAMETER;
    std::lock_guard guard(lock_);
    Location where;
    if (DWORD bad = Locate(name, where)) return bad;
    if (auto object = Live(where)) {
        if (object->Type() != ObjectType::Mutex) return ERROR_INVALID_HANDLE;
        if (object->Broken()) return ERROR_FILE_CORRUPT;
        return object->OwnedByLiveThread() ? ERROR_SUCCESS : ERROR_NOT_OWNER;
    }
    CachedFile* file = nullptr;
    if (DWORD error = Peek(where, file)) return error;
    const auto* page = static_cast<const char*>(file->header.Address());
    if (reinterpret_cast<const ObjectHeader*>(page)->type != ObjectType::Mutex) return ERROR_INVALID_HANDLE;
    const auto& state = *reinterpret_cast<const MutexState*>(page + kStateOffset);
    // A client asks before every request: reading /proc each time would cost more than the
    // request itself. An owner found alive stays so while its thread exists, for a while.
    const std::uint32_t owner = state.word.load(std::memory_order_acquire) & kMutexOwnerMask;
    const std::uint64_t stamp = state.ownerStamp.load(std::memory_order_relaxed);
    const auto now = std::chrono::steady_clock::now();
    if (owner != 0 && owner == file->verifiedOwner && stamp == file->verifiedStamp &&
        now - file->verifiedAt < kOwnerRecheck)
        return ThreadIdentity::Exists(owner) ? ERROR_SUCCESS : ERROR_NOT_OWNER;
    if (!KernelObject::OwnedByLiveThread(state)) return ERROR_NOT_OWNER;
    file->verifiedOwner = owner;
    file->verifiedStamp = stamp;
    file->verifiedAt = now;
    return ERROR_SUCCESS;
}

void ObjectNamespace::Leave(KernelObject& object) {
    std::lock_guard guard(lock_);
    UniqueFd fd = object.ReleaseFd();
    MappedRegion header = object.ReleaseHeader();
    const std::string& key = object.Key();
    if (key.empty() || !fd.Valid()) return;  // unnamed: closing the file ends it
    auto liveIt = live_.find(key);
    if (liveIt != live_.end() && liveIt->second.expired()) live_.erase(liveIt);

    // Converting the shared lock drops it first (flock(2)): a failed conversion leaves this
    // process holding nothing, which is what leaving means.
    if (flock(fd.Get(), LOCK_EX | LOCK_NB) == 0) {
        // Last holder anywhere. Holding the exclusive lock, nobody else removes or joins it, so
        // the name still refers to this file if the file still has a name. Another user's file
        // stays (the directory is sticky) until its owner or a creator finds it dead.
        struct stat st {};
        bool global = key[0] == 'G';
        int dir = Directory(global);
        if (dir >= 0 && fstat(fd.Get(), &st) == 0 && st.st_nlink > 0) unlinkat(dir, key.c_str() + 2, 0);
        return;
    }
    if (object.Type() == ObjectType::Section || header.Broken()) return;
    Remember(CachedFile{key, std::move(fd), std::move(header), object.Writable()});
}

void ObjectNamespace::Remember(CachedFile file) {
    // Kept open, unlocked, so that the next probe or open of the name needs no path lookup and
    // no mapping: a lock call or three.
    cache_.push_front(std::move(file));
    if (cache_.size() > kCacheSize) cache_.pop_back();
}

}  // namespace kernel
