#pragma once
// The synchronous request/reply channel between the viewer and the Quillbridge service: one
// shared-memory block that carries one message at a time, an event for "request written", an
// event for "request handled", a mutex that serialises the senders of all processes, and a
// mutex that the running service owns. Every object is named "Global\" + service name + suffix.
//
// The objects that clients use are open to every local user, so anything in them may have been
// written by someone hostile: replies are checked against the request and the block, and what
// goes wrong makes a request fail, never the process. The service's own objects (its stop
// events, the unused out-message objects, the mutex it owns) have default security.
//
// The client half (IsServiceRunning, Connect, SendMsg) is what the viewer uses; the service half
// (CreateServiceObjects, SetHandler, ServiceLoop, RequestStop) is what a service runs.

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "channel/MessageBuffer.h"
#include "channel/MessageHeader.h"
#include "channel/NamedEvent.h"
#include "channel/NamedMutex.h"
#include "channel/NamedSharedMemory.h"
#include "platform/kernel/WinTypes.h"

class ServiceChannel {
public:
    // A handler's params and buffer hold the request on entry and the reply on return. It
    // returns false when the request failed: then no reply is written, and the sender fails.
    using MessageHandler =
        std::function<bool(std::int32_t msgId, std::int32_t& param1, std::int32_t& param2, MessageBuffer& data)>;

    // Size of the data area of a block this side creates: a reply of 50 records with room for
    // sizeable attachments, and a 64 KiB payload with its frame.
    static constexpr std::uint32_t kDataSize = 256 * 1024;
    static constexpr std::uint32_t kHeaderSize = 20;
    static constexpr DWORD kRequestTimeoutMs = 120000;
    static constexpr DWORD kLivenessSliceMs = 250;
    static constexpr std::int32_t kStartMessage = 0;
    static constexpr std::int32_t kStopMessage = 1;

    explicit ServiceChannel(const char* serviceName);
    virtual ~ServiceChannel();
    ServiceChannel(const ServiceChannel&) = delete;
    ServiceChannel& operator=(const ServiceChannel&) = delete;

    // Why the calling thread's last SendMsg returned 0.
    enum class Failure {
        None,
        NotRunning,  // no service owns "_NTSVC_EXIST", or it stopped meanwhile
        Busy,        // another client (or thread) held the channel for the whole time-out
        TooLarge,    // the request does not fit the block, or the block has no valid header
        NoAnswer,    // the service did not take up the request within the time-out
        NoReply,     // the service answered without a reply: it failed the request
        Damaged,     // the channel's objects were shrunk by another process, or are unusable
        Cancelled,   // the cancel event was set
    };

    // True while a live thread of the service owns its "_NTSVC_EXIST" mutex; merely holding the
    // mutex open, as anyone may, does not count. Leaves nothing behind.
    bool IsServiceRunning() const;
    // Opens the send mutex (with `access`), both message events and the block: 1, else 0.
    int Connect(DWORD access);
    // One exchange: 1 when a reply to this request arrived, which then replaces `param1`,
    // `param2` and `data`; 0 otherwise, with all three unchanged. Calls from several threads
    // are served one after another; no wait lasts longer than `timeoutMs`, and a service that
    // dies while a call waits for it ends the wait.
    // A `cancel` event, when given and set, ends every wait of the call: 0.
    int SendMsg(std::int32_t msgId, std::int32_t& param1, std::int32_t& param2, MessageBuffer& data, DWORD timeoutMs,
                HANDLE cancel = nullptr);
    // Of the calling thread, as GetLastError is.
    static Failure LastFailure();

    // Service side. Creates the channel's objects (or takes over those that outlived an earlier
    // service, kept by its clients) and marks the service as running by owning "_NTSVC_EXIST":
    // 0; -2 when a service of this name runs already; -1 on failure, with FailedObject and
    // FailedError telling which object and why. The calling thread owns the name from then on:
    // it must outlive the service loop, and destroy the channel.
    int CreateServiceObjects(std::uint32_t dataSize = kDataSize);
    const std::string& FailedObject() const { return failedObject; }
    DWORD FailedError() const { return failedError; }
    void SetHandler(std::int32_t msgId, MessageHandler handler);
    // Serves requests until RequestStop; returns 0, or -1 when the channel's objects are missing
    // or were damaged by another process (FailedError then says ERROR_FILE_CORRUPT).
    virtual int ServiceLoop();
    bool RequestStop();
    bool WaitStopped(DWORD timeoutMs);

    const std::string& ServiceName() const { return serviceName; }
    // Size of the block's data area (kNoRoom before the block is open).
    std::uint32_t DataSize() const { return requestMap.DataSize(); }

private:
    std::string ObjectName(const char* suffix) const;
    // Waits for "handled" up to the time-out, and gives up early when the service has gone.
    bool WaitHandled(DWORD timeoutMs, HANDLE cancel);
    void RunLifecycleHandler(std::int32_t msgId, const char* foundLine, const char* runLine);
    // False when the block can no longer carry messages.
    bool HandleMessage();
    // Creates one object through `create`; on failure remembers the object and the last error.
    bool Made(int result, const char* suffix);
    // Writes the reply (if any) and signals "handled", both only if the block still holds the
    // request the service took: a client that gave up may have let a newer request in.
    void Answer(std::int32_t msgId, const MessageHeader* reply, const MessageBuffer* payload);

    NamedSharedMemory requestMap;
    NamedEvent inMsgEvent;
    NamedEvent inMsgHandledEvent;
    NamedEvent stopEvent;
    NamedEvent stoppedEvent;
    NamedMutex existMutex;
    NamedMutex sendMutex;
    std::string serviceName;
    std::map<std::int32_t, MessageHandler> handlers;

    std::string existName;  // asked for before every request
    std::string failedObject;
    DWORD failedError = ERROR_SUCCESS;

    // Created by the service for clients that expect them; nothing here uses them.
    NamedEvent outMsgEvent;
    NamedSharedMemory outMsgMap;
    // Serialises SendMsg between the threads of this process: sendMutex records its owner per
    // object, so it keeps processes apart but lets a second thread of this one straight in.
    std::timed_mutex sendLock;
};
