#include "platform/kernel/MappingGuard.h"

#include <signal.h>
#include <sys/mman.h>

#include <atomic>
#include <cstdint>
#include <mutex>

namespace kernel {
namespace {

// Enough for every object and view a process keeps; the handler scans them all, but only when a
// fault happens.
constexpr int kSlots = 4096;

struct Slot {
    std::atomic<bool> claimed{false};
    std::atomic<std::uintptr_t> start{0};  // 0 while the slot watches nothing
    std::atomic<std::size_t> length{0};
    std::atomic<int> protection{0};
    std::atomic<int> handlers{0};  // fault handlers working on this slot right now
    std::atomic<bool> broken{false};
};

Slot gSlots[kSlots];
struct sigaction gPrevious {};
std::once_flag gInstalled;

// Called only with signals that did not come from our mappings.
void Forward(int signal, siginfo_t* info, void* context) {
    if (gPrevious.sa_flags & SA_SIGINFO) {
        if (gPrevious.sa_sigaction) gPrevious.sa_sigaction(signal, info, context);
        return;
    }
    if (gPrevious.sa_handler == SIG_IGN) return;
    if (gPrevious.sa_handler != SIG_DFL) {
        gPrevious.sa_handler(signal);
        return;
    }
    // The default action: a fault repeats when the handler returns and then ends the process; a
    // signal sent by someone is sent again.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    if (info->si_code <= 0) raise(signal);
}

// Async-signal-safe: atomics and one mmap.
void OnBusError(int signal, siginfo_t* info, void* context) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    if (info->si_code > 0) {
        for (Slot& slot : gSlots) {
            const std::uintptr_t start = slot.start.load();
            if (start == 0 || address < start || address - start >= slot.length.load()) continue;
            slot.handlers.fetch_add(1);
            bool handled = false;
            if (slot.start.load() == start) {
                void* zeros = mmap(reinterpret_cast<void*>(start), slot.length.load(), slot.protection.load(),
                                   MAP_FIXED | MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
                handled = zeros != MAP_FAILED;
                if (handled) slot.broken.store(true);
            }
            slot.handlers.fetch_sub(1);
            if (handled) return;  // the access is retried, on zeros
            break;
        }
    }
    Forward(signal, info, context);
}

void Install() {
    struct sigaction action {};
    action.sa_sigaction = &OnBusError;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, &gPrevious);
}

}  // namespace

int MappingGuard::Register(void* address, std::size_t length, bool writable) {
    std::call_once(gInstalled, &Install);
    for (int i = 0; i < kSlots; ++i) {
        Slot& slot = gSlots[i];
        bool expected = false;
        if (!slot.claimed.compare_exchange_strong(expected, true)) continue;
        slot.broken.store(false);
        slot.length.store(length);
        slot.protection.store(PROT_READ | (writable ? PROT_WRITE : 0));
        slot.start.store(reinterpret_cast<std::uintptr_t>(address));
        return i;
    }
    return kNoSlot;
}

void MappingGuard::Unregister(int slot) {
    if (slot < 0 || slot >= kSlots) return;
    Slot& s = gSlots[slot];
    s.start.store(0);
    // A handler that saw the old range either finished or will find it gone (it checks again
    // after announcing itself): only then may the range be unmapped and reused.
    while (s.handlers.load() != 0) {
    }
    s.claimed.store(false);
}

bool MappingGuard::Broken(int slot) { return slot >= 0 && slot < kSlots && gSlots[slot].broken.load(); }

}  // namespace kernel
