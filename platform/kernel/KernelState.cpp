#include "platform/kernel/KernelState.h"

#include <cstdlib>

#include "platform/kernel/Immortal.h"

namespace kernel {

KernelState& KernelState::Instance() {
    static Immortal<KernelState> state;
    static const bool closesAtExit = std::atexit([] { Instance().Handles().CloseAll(); }) == 0;
    (void)closesAtExit;
    return *state;
}

}  // namespace kernel
