#pragma once
// One log record as the loader hands it to the frame. Its time travels beside it.

#include <cstdint>

#include "channel/TextBuffer.h"
#include "presentation/AttachedData.h"

struct LogRecord {
    std::uint32_t statusId = 0;
    std::uint32_t source = 0;
    std::uint32_t level = 0;
    TextBuffer description;
    AttachedData attachedData;
};
