#pragma once
// What the kernel tests share: the helper process and the open security attributes.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/kernel/Security.h"
#include "tests/support/ChildProcess.h"

// Starts the helper with an object of `type` ("mutex", "event", "section") named `name`, open to
// every user unless `openToAll` is false, as user `uid` (root for 0); the helper has printed
// "ready" when this returns a started process.
inline std::unique_ptr<ChildProcess> StartHolder(const std::string& type, const std::string& name,
                                                 bool openToAll = true, unsigned uid = 0) {
    std::vector<std::string> args = {KERNEL_TEST_HELPER, type, name, openToAll ? "open" : "private"};
    if (uid != 0) args.insert(args.begin() + 1, {"as-user", std::to_string(uid)});
    auto child = std::make_unique<ChildProcess>(args);
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

// Runs the helper with `args` (as user `uid` unless it is 0) to its end, and returns its lines.
inline std::vector<std::string> HelperLines(std::vector<std::string> args, unsigned uid = 0) {
    if (uid != 0) args.insert(args.begin(), {"as-user", std::to_string(uid)});
    args.insert(args.begin(), KERNEL_TEST_HELPER);
    ChildProcess child(args);
    std::vector<std::string> lines;
    std::string line;
    while (child.ReadLine(line, std::chrono::seconds(20))) lines.push_back(line);
    return lines;
}

// Users that are not root and not each other, for helpers that act as another user.
constexpr unsigned kNobody = 65534;
constexpr unsigned kSomeoneElse = 65533;
