#pragma once
// A realistic Quillbridge log for demonstrations and tests: records spread over the last 45
// days, from every source, at every level, with every kind of attachment; a few dated in the
// future, some pairs whose times share their low 32 bits, and now and then a level or source
// code that has no name. The same seed makes the same log (for the same `now`).

#include <cstdint>
#include <vector>

#include "service/StoredRecord.h"

class DemoLog {
public:
    static std::vector<StoredRecord> Make(std::uint32_t count, std::uint64_t now, std::uint32_t seed);
};
