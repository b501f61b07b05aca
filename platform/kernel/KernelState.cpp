#include "platform/kernel/KernelState.h"

#include <cstdlib>
#include <new>

namespace kernel {

KernelState& KernelState::Instance() {
    alignas(KernelState) static unsigned char storage[sizeof(KernelState)];
    static KernelState* const state = [] {
        auto* s = ::new (storage) KernelState();
        std::atexit([] { Instance().Handles().CloseAll(); });
        return s;
    }();
    return *state;
}

}  // namespace kernel
