#pragma once
// The attachment of one log record, and the map that keeps the attachments of the rows shown.

#include <cstdint>
#include <map>

#include "channel/MessageBuffer.h"

enum AttachmentKind : std::uint32_t { NumberAttachment = 1, TextAttachment = 2 };  // any other: raw bytes

struct AttachedData {
    std::uint32_t kind = 0;
    MessageBuffer bytes;
};

// From a row's key to its attachment; rows without an attachment have no entry. Filled by the
// loader, read by the list, the preview and the export, always under the frame's loaderLock.
using AttachmentMap = std::map<std::uint32_t, AttachedData>;
