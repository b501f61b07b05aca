#include "app/LogLoader.h"

#include "app/RecordReader.h"
#include "channel/Trace.h"
#include "platform/kernel/FileTime.h"
#include "platform/kernel/Synchronization.h"

namespace {

constexpr std::uint64_t kAgeLimitSeconds[] = {86400, 172800, 259200, 604800, 1209600, 2592000};

std::uint64_t SystemNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return FileTimeValue(now);
}

}  // namespace

LogLoader::LogLoader(LoaderFrame& frame, Clock now)
    : frame_(frame),
      now_(now ? std::move(now) : Clock(&SystemNow)),
      stopEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      endedEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      thread_([this] {
          LoaderMain();
          SetEvent(endedEvent_.Get());
      }) {}

LogLoader::~LogLoader() { Stop(); }

void LogLoader::Stop(const std::function<void()>& serve) {
    if (!thread_.joinable()) return;
    frame_.stopRequested = 1;
    SetEvent(stopEvent_.Get());
    // Every wait of the loader watches the stop event, so it ends long before this; should it
    // not, the wait is still joined: ending a thread by force would leave its locks held.
    const DWORD slice = serve ? 5 : kStopWaitMs;
    DWORD waited = 0;
    while (WaitForSingleObject(endedEvent_.Get(), slice) != WAIT_OBJECT_0) {
        waited += slice;
        if (waited >= kStopWaitMs && waited - slice < kStopWaitMs)
            Trace("Log loader did not end within %u ms of its stop.", static_cast<unsigned>(kStopWaitMs));
        if (!serve) break;
        serve();
    }
    thread_.join();
}

bool LogLoader::Pause(DWORD ms) { return WaitForSingleObject(stopEvent_.Get(), ms) != WAIT_OBJECT_0; }

bool LogLoader::AgeFilterAccepts(std::uint64_t time, std::uint32_t ageFilter, std::uint64_t now) {
    if (ageFilter >= std::size(kAgeLimitSeconds)) return true;
    const std::uint64_t seconds = (now - time) / kFileTimeTicksPerSecond;  // a future time wraps to a huge age
    return seconds <= kAgeLimitSeconds[ageFilter];
}

bool LogLoader::LevelFilterAccepts(std::uint32_t level, std::uint32_t levelFilter) {
    if (levelFilter != FatalOnly && levelFilter != ErrorAndWorse && levelFilter != WarningAndWorse) return true;
    return static_cast<std::int32_t>(level) <= static_cast<std::int32_t>(levelFilter);
}

int LogLoader::LoaderMain() {
    while (!Stopping()) {
        if (!Pause(kPollMs)) break;
        {
            std::lock_guard lock(frame_.loaderLock);
            if (!frame_.reloadRequested) continue;
            frame_.reloadRequested = 0;
        }
        LogInfo info;
        // A failed request changes nothing: the rows shown keep their attachments.
        if (!GetLogInfo(info)) continue;
        frame_.OnLoadBegin(info.recordCount);
        {
            // Only now that the list is empty: no row is left whose attachment this removes.
            std::lock_guard lock(frame_.loaderLock);
            frame_.attachments.clear();
        }
        nextKey_ = 0;
        std::uint32_t received = 0;
        int sincePause = 0;
        while (received < info.recordCount && !Stopping()) {
            if (sincePause < kRequestsBetweenPauses) {
                ++sincePause;
            } else {
                sincePause = 0;
                bool reload;
                {
                    std::lock_guard lock(frame_.loaderLock);
                    reload = frame_.reloadRequested != 0;
                }
                if (reload || !Pause(kPauseMs)) break;  // a reload starts afresh at the next poll
            }
            const std::int32_t n = ReadRecords(info.firstRecord + received);
            if (n <= 0) break;
            received += static_cast<std::uint32_t>(n);
        }
        frame_.OnLoadEnd();
    }
    return 0;
}

bool LogLoader::GetLogInfo(LogInfo& info) {
    ServiceChannel* channel = frame_.channel;
    if (channel == nullptr) return false;
    std::int32_t param1 = static_cast<std::int32_t>(frame_.logKind.load()), param2 = 0;
    MessageBuffer data;
    if (channel->SendMsg(LogInfoRequest, param1, param2, data, ServiceChannel::kRequestTimeoutMs, stopEvent_.Get()) !=
        1)
        return false;
    info = LogInfo::Decode(data.Data(), data.Size());
    return true;
}

std::int32_t LogLoader::ReadRecords(std::uint64_t position) {
    MessageBuffer data(&position, sizeof position);
    const std::uint32_t kind = frame_.logKind.load();
    // A load started for the Quillbridge log ends quietly when the user switched to the debug log.
    if (kind != QuillbridgeLog || frame_.channel == nullptr) return 0;
    std::int32_t param1 = static_cast<std::int32_t>(kind), param2 = kMaxRecordsPerRequest;
    if (frame_.channel->SendMsg(ReadRecordsRequest, param1, param2, data, ServiceChannel::kRequestTimeoutMs,
                                stopEvent_.Get()) != 1)
        return 0;
    const std::int32_t count = param2;
    RecordReader::Read(data.Data(), data.Size(), count, record_, [this](const LogRecord& r, std::uint64_t time) {
        if (Stopping()) return;
        if (AgeFilterAccepts(time, frame_.ageFilter.load(std::memory_order_relaxed), now_()) &&
            LevelFilterAccepts(r.level, frame_.levelFilter.load(std::memory_order_relaxed))) {
            const std::uint32_t key = nextKey_++;
            if (!r.attachedData.bytes.IsEmpty()) {
                std::lock_guard lock(frame_.loaderLock);
                frame_.attachments.try_emplace(key, AttachedData{r.attachedData.kind, r.attachedData.bytes});
            }
            frame_.OnRecord(
                RecordNotice{&r, key, static_cast<std::uint32_t>(time), static_cast<std::uint32_t>(time >> 32)});
        }
        frame_.StepProgress();
    });
    return count;
}
