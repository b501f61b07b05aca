#pragma once
// What the loader uses of the main frame: the flags and filters it reads, the lock and the
// attachments it shares, and the notifications it sends. The main frame is one.

#include <atomic>
#include <cstdint>
#include <mutex>

#include "app/RecordNotice.h"
#include "channel/ServiceChannel.h"
#include "channel/ServiceProtocol.h"
#include "presentation/AttachedData.h"

enum AgeFilter : std::uint32_t { OneDay, TwoDays, ThreeDays, OneWeek, TwoWeeks, OneMonth, AllAges };
enum LevelFilter : std::uint32_t { FatalOnly = 2, ErrorAndWorse = 3, WarningAndWorse = 4, AllLevels = 7 };

class LoaderFrame {
public:
    virtual ~LoaderFrame() = default;

    // Asks the loader for a (new) load; it starts within about 100 ms, and a load under way is
    // abandoned at its next pause.
    void RequestReload() {
        std::lock_guard lock(loaderLock);
        reloadRequested = 1;
    }

    // Sent from the loader's thread, which waits until each has been handled. Every record read
    // advances the progress by one step: a record the filters let through with its row
    // (`OnRecord`, one hand-off to the frame's thread instead of two), a dropped one alone.
    virtual void OnLoadBegin(std::uint32_t recordCount) = 0;
    virtual void OnRecord(const RecordNotice& notice) = 0;
    virtual void OnLoadEnd() = 0;
    virtual void StepProgress() = 0;

    // Written by the user-interface thread only; the loader reads them without the lock.
    std::atomic<std::uint32_t> ageFilter{AllAges};
    std::atomic<std::uint32_t> levelFilter{AllLevels};
    std::atomic<std::uint32_t> logKind{QuillbridgeLog};
    std::atomic<int> stopRequested{0};
    ServiceChannel* channel = nullptr;  // borrowed; set before the first reload

    // Guards reloadRequested and attachments. Nobody sends a message or a request holding it.
    std::mutex loaderLock;
    int reloadRequested = 0;
    AttachmentMap attachments;
};
