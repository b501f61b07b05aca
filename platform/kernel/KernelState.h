#pragma once
// The process's kernel state: its handles and its view of the object namespace.

#include "platform/kernel/HandleTable.h"
#include "platform/kernel/ObjectNamespace.h"

namespace kernel {

class KernelState {
public:
    // Never destroyed: objects with static storage may close handles while the process exits.
    // Their handles are closed at exit (by an atexit hook), as the end of a process closes them.
    static KernelState& Instance();

    ObjectNamespace& Namespace() { return namespace_; }
    HandleTable& Handles() { return handles_; }

    KernelState() = default;  // through Instance() only

private:
    ObjectNamespace namespace_;
    HandleTable handles_;
};

}  // namespace kernel
