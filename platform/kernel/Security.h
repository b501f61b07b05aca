#pragma once
// Security descriptors, as far as objects need them: a descriptor whose DACL is present and
// null opens an object to every local user; without one, only its creator may use it.

#include "platform/kernel/WinTypes.h"

constexpr DWORD ERROR_UNKNOWN_REVISION = 1305;

BOOL InitializeSecurityDescriptor(SECURITY_DESCRIPTOR* descriptor, DWORD revision);
BOOL SetSecurityDescriptorDacl(SECURITY_DESCRIPTOR* descriptor, BOOL daclPresent, void* dacl, BOOL daclDefaulted);

// True when `attributes` carry a descriptor with a present, null DACL.
bool IsOpenToEveryone(const SECURITY_ATTRIBUTES* attributes);
