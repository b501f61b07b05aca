#pragma once
// What the record list and the preview ask of the window that owns them, the main frame: the
// preview pane while it shows, the log kind shown, and the attachments of the rows under the lock
// the loader shares. The list finds it as the application's main window.

#include <cstdint>
#include <mutex>

#include "platform/kernel/WinTypes.h"
#include "presentation/AttachedData.h"

class CPreviewPane;

// The Log Detail command: shows or hides the preview; a double click in the list sends it.
constexpr UINT ID_LOG_DETAIL = 32794;

class LogViewOwner {
public:
    virtual ~LogViewOwner() = default;

    // The preview pane while its row shows, else null.
    virtual CPreviewPane* GetPreview() = 0;
    virtual std::uint32_t ShownLogKind() = 0;
    // Attachments() is read under AttachmentLock() only.
    virtual std::mutex& AttachmentLock() = 0;
    virtual const AttachmentMap& Attachments() = 0;
};
