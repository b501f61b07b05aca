#include "platform/window/MessageBeep.h"

#include <atomic>

namespace {

std::atomic<long> gBeeps{0};

}  // namespace

BOOL MessageBeep(UINT) {
    ++gBeeps;
    return TRUE;
}

long MessageBeepCount() { return gBeeps.load(); }
