#pragma once
// Security attributes that let every local user open an object: a descriptor with a present,
// null DACL.

#include "platform/kernel/WinTypes.h"

class OpenSecurity {
public:
    explicit OpenSecurity(BOOL inherit = FALSE);
    OpenSecurity(const OpenSecurity&) = delete;
    OpenSecurity& operator=(const OpenSecurity&) = delete;

    // Null if the descriptor could not be made.
    const SECURITY_ATTRIBUTES* Attributes() const { return valid_ ? &attributes_ : nullptr; }

    static bool Initialize(SECURITY_DESCRIPTOR& descriptor);

private:
    SECURITY_DESCRIPTOR descriptor_{};
    SECURITY_ATTRIBUTES attributes_{};
    bool valid_ = false;
};
