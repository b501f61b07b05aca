#include "channel/OpenSecurity.h"

#include "platform/kernel/Security.h"

OpenSecurity::OpenSecurity(BOOL inherit)
    : attributes_{sizeof(SECURITY_ATTRIBUTES), &descriptor_, inherit}, valid_(Initialize(descriptor_)) {}

bool OpenSecurity::Initialize(SECURITY_DESCRIPTOR& descriptor) {
    descriptor = SECURITY_DESCRIPTOR{};
    return InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
           SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
}
