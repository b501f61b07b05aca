#pragma once
// What the loader hands the frame for one record, and the three notifications of a load. All
// are sent synchronously: the record lives in the loader's storage only while the frame
// handles it.

#include <cstdint>

#include "platform/kernel/WinTypes.h"
#include "presentation/LogRecord.h"

constexpr UINT WM_LOG_LOAD_BEGIN = 0x658;  // wParam: the records of the load
constexpr UINT WM_LOG_LOAD_END = 0x659;
constexpr UINT WM_LOG_RECORD = 0x65A;  // wParam 1, lParam a RecordNotice

struct RecordNotice {
    const LogRecord* record;
    // The row's key: the record's attachment is in AttachmentMap under it. Numbered afresh in
    // every load, so that no two rows share one (the low half of the time, which two records
    // may share, is not a key).
    std::uint32_t recordKey;
    std::uint32_t timeLow;
    std::uint32_t timeHigh;
};
