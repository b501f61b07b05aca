#pragma once
// The least time a full load of `records` records can take, by the loader's pacing alone: the
// idle poll that sees the request, and a pause before every 22nd chunk request.

#include <cstdint>

#include "app/LogLoader.h"
#include "channel/ServiceProtocol.h"

inline double PacingFloorSeconds(std::uint32_t records) {
    constexpr auto kChunk = static_cast<std::uint32_t>(kMaxRecordsPerRequest);
    const std::uint32_t requests = (records + kChunk - 1) / kChunk;
    const std::uint32_t pauses = requests / static_cast<std::uint32_t>(LogLoader::kRequestsBetweenPauses + 1);
    return (LogLoader::kPollMs + pauses * LogLoader::kPauseMs) / 1000.0;
}
