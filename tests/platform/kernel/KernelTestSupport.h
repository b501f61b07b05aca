#pragma once
// What the kernel tests share: the helper process and the open security attributes.

#include <memory>
#include <string>

#include "platform/kernel/Security.h"
#include "tests/support/ChildProcess.h"

// Starts the helper with an object of `type` ("mutex", "event", "section") named `name`; the
// helper has printed "ready" when this returns a started process.
inline std::unique_ptr<ChildProcess> StartHolder(const std::string& type, const std::string& name) {
    auto child = std::make_unique<ChildProcess>(std::vector<std::string>{KERNEL_TEST_HELPER, type, name});
    if (!child->Started() || !child->WaitForLine("ready")) return nullptr;
    return child;
}

inline bool Command(ChildProcess& child, const std::string& command) {
    return child.Send(command) && child.WaitForLine("done");
}

class OpenAttributes {
public:
    OpenAttributes() {
        InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION);
        SetSecurityDescriptorDacl(&descriptor_, TRUE, nullptr, FALSE);
    }
    const SECURITY_ATTRIBUTES* Get() const { return &attributes_; }

private:
    SECURITY_DESCRIPTOR descriptor_{};
    SECURITY_ATTRIBUTES attributes_{sizeof(SECURITY_ATTRIBUTES), &descriptor_, FALSE};
};

inline std::string GlobalName(const std::string& base) { return "Global\\" + base; }
