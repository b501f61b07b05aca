#pragma once
// The synchronous request/reply channel between the viewer and the Quillbridge service: one
// shared-memory block that carries one message at a time, an event for "request written", an
// event for "request handled", a mutex that serialises the senders of all processes, and a
// mutex whose existence says that the service runs. Every object is named
// "Global\" + service name + suffix.
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

    // True while the service holds its "_NTSVC_EXIST" mutex. Leaves nothing behind.
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

    // Service side. Creates the channel's objects (or takes over those that outlived an earlier
    // service, kept by its clients) and marks the service as running: 0; -2 when a service of
    // this name runs already; -1 on failure.
    int CreateServiceObjects(std::uint32_t dataSize = kDataSize);
    void SetHandler(std::int32_t msgId, MessageHandler handler);
    // Serves requests until RequestStop; returns 0, or -1 when the channel's objects are missing.
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
    void HandleMessage();
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

    // Created by the service for clients that expect them; nothing here uses them.
    NamedEvent outMsgEvent;
    NamedSharedMemory outMsgMap;
    // Serialises SendMsg between the threads of this process: sendMutex records its owner per
    // object, so it keeps processes apart but lets a second thread of this one straight in.
    std::timed_mutex sendLock;
};
