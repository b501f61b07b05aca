#include "channel/ServiceChannel.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "channel/MessageHeader.h"
#include "channel/NamedMutexLock.h"
#include "channel/Trace.h"
#include "platform/kernel/LastError.h"
#include "platform/kernel/Synchronization.h"

namespace {

constexpr char kGlobalPrefix[] = "Global\\";
constexpr char kStopEventSuffix[] = "_NTSVC_STOP_EVENT";
constexpr char kStoppedEventSuffix[] = "_NTSVC_STOPPED_EVENT";
constexpr char kInMsgEventSuffix[] = "_NTSVC_IN_MSG_EVENT";
constexpr char kInMsgHandledEventSuffix[] = "_NTSVC_IN_MSG_HANDLED_EVENT";
constexpr char kOutMsgEventSuffix[] = "_NTSVC_OUT_MSG_EVENT";
constexpr char kInMsgMapSuffix[] = "_NTSVC_IN_MSG_MAP";
constexpr char kOutMsgMapSuffix[] = "_NTSVC_OUT_MSG_MAP";
constexpr char kExistSuffix[] = "_NTSVC_EXIST";
constexpr char kSendMsgSuffix[] = "_NTSVC_SENDMSG";

constexpr std::uint32_t kOutMsgDataSize = 4096;
constexpr DWORD kLoopWaitMs = 500;

constexpr std::uint32_t TypeOf(MessageType type) { return static_cast<std::uint32_t>(type); }

thread_local ServiceChannel::Failure tLastFailure = ServiceChannel::Failure::None;

// Records why SendMsg fails and gives its result.
int Fail(ServiceChannel::Failure why) {
    tLastFailure = why;
    return 0;
}

}  // namespace

ServiceChannel::ServiceChannel(const char* name) : serviceName(name ? name : ""), existName(ObjectName(kExistSuffix)) {}

ServiceChannel::~ServiceChannel() = default;

std::string ServiceChannel::ObjectName(const char* suffix) const { return kGlobalPrefix + serviceName + suffix; }

bool ServiceChannel::IsServiceRunning() const {
    // Owned, not merely existing: any user may hold the mutex open and so keep it alive, but only
    // the service that created it may write its owner. This runs before every request.
    return IsMutexOwnedA(existName.c_str()) != FALSE;
}

ServiceChannel::Failure ServiceChannel::LastFailure() { return tLastFailure; }

int ServiceChannel::Connect(DWORD access) {
    requestMap.SetName(ObjectName(kInMsgMapSuffix).c_str());  // a failure shows in Open below
    if (sendMutex.Open(ObjectName(kSendMsgSuffix).c_str(), TRUE, access) != 0) return 0;
    if (inMsgEvent.Open(ObjectName(kInMsgEventSuffix).c_str(), TRUE) != 0) return 0;
    if (inMsgHandledEvent.Open(ObjectName(kInMsgHandledEventSuffix).c_str(), TRUE) != 0) return 0;
    return requestMap.Open(1) == 0 ? 1 : 0;
}

int ServiceChannel::SendMsg(std::int32_t msgId, std::int32_t& param1, std::int32_t& param2, MessageBuffer& data,
                            DWORD timeoutMs, HANDLE cancel) {
    tLastFailure = Failure::None;
    std::unique_lock inProcess(sendLock, std::defer_lock);
    if (timeoutMs == INFINITE)
        inProcess.lock();
    else if (!inProcess.try_lock_for(std::chrono::milliseconds(timeoutMs)))
        return Fail(Failure::Busy);

    // An abandoned send mutex is owned all the same, and released on the way out.
    SetLastError(ERROR_SUCCESS);
    NamedMutexLock exchange(sendMutex, timeoutMs, cancel);
    if (!exchange.Owned()) {
        if (cancel && WaitForSingleObject(cancel, 0) == WAIT_OBJECT_0) return Fail(Failure::Cancelled);
        return Fail(GetLastError() == ERROR_FILE_CORRUPT ? Failure::Damaged
                    : sendMutex.Handle() == nullptr  ? Failure::NotRunning
                                                     : Failure::Busy);
    }
    if (!IsServiceRunning()) return Fail(Failure::NotRunning);

    const std::uint32_t room = requestMap.DataSize();
    if (room == NamedSharedMemory::kNoRoom || room < kHeaderSize || data.Size() > room - kHeaderSize)
        return Fail(requestMap.IsBroken() ? Failure::Damaged : Failure::TooLarge);
    const MessageHeader request{TypeOf(MessageType::Request), msgId, param1, param2, data.Size()};
    int written = requestMap.Access([&](std::uint8_t* area, std::uint32_t) {
        std::memcpy(area, &request, sizeof request);
        if (data.Size() != 0) std::memcpy(area + kHeaderSize, data.Data(), data.Size());
    });
    if (written != 0) return Fail(requestMap.IsBroken() ? Failure::Damaged : Failure::Busy);

    // A "handled" signal that an earlier exchange timed out on may still be pending: it must not
    // pass for the answer to this request.
    inMsgHandledEvent.Reset();
    if (!inMsgEvent.Set()) return Fail(Failure::Damaged);
    if (!WaitHandled(timeoutMs, cancel)) {
        if (tLastFailure == Failure::NoAnswer)
            Trace("NTService - message sent time out. Msg id: %d, wait time: %d.", msgId, static_cast<int>(timeoutMs));
        return 0;
    }

    MessageHeader reply{};
    MessageBuffer payload;
    bool accepted = false;
    int read = requestMap.Access([&](const std::uint8_t* area, std::uint32_t size) {
        std::memcpy(&reply, area, sizeof reply);
        // Only a reply to this request, and only one that stays inside the data area.
        if (reply.type != TypeOf(MessageType::Reply) || reply.msgId != msgId || reply.dataLength > size - kHeaderSize)
            return;
        payload.Assign(area + kHeaderSize, reply.dataLength);
        accepted = payload.Size() == reply.dataLength;
    });
    if (read != 0) return Fail(requestMap.IsBroken() ? Failure::Damaged : Failure::Busy);
    if (!accepted) return Fail(Failure::NoReply);
    param1 = reply.param1;
    param2 = reply.param2;
    data.Swap(payload);
    return 1;
}

bool ServiceChannel::WaitHandled(DWORD timeoutMs, HANDLE cancel) {
    // In slices: a service that died meanwhile will never answer, and a caller should not wait
    // out its whole time-out for it.
    using Clock = std::chrono::steady_clock;
    const bool unbounded = timeoutMs == INFINITE;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(unbounded ? 0 : timeoutMs);
    const HANDLE waits[2] = {inMsgHandledEvent.Handle(), cancel};
    for (;;) {
        DWORD slice = kLivenessSliceMs;
        if (!unbounded) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
            slice = static_cast<DWORD>(std::clamp<long long>(left, 0, kLivenessSliceMs));
        }
        const DWORD result = WaitForMultipleObjects(cancel ? 2 : 1, waits, FALSE, slice);
        if (result == WAIT_OBJECT_0) return true;
        if (result == WAIT_OBJECT_0 + 1) return Fail(Failure::Cancelled);
        if (result != WAIT_TIMEOUT) return Fail(Failure::Damaged);
        if (!unbounded && Clock::now() >= end) return Fail(Failure::NoAnswer);
        if (!IsServiceRunning()) return Fail(Failure::NotRunning);
    }
}

bool ServiceChannel::Made(int result, const char* suffix) {
    if (result == 0) return true;
    failedObject = ObjectName(suffix);
    failedError = GetLastError();
    return false;
}

int ServiceChannel::CreateServiceObjects(std::uint32_t dataSize) {
    failedObject.clear();
    failedError = ERROR_SUCCESS;
    if (IsServiceRunning()) return -2;
    if (dataSize < kHeaderSize) return -1;
    const BOOL notInherited = FALSE;
    // Events that outlived an earlier service keep their kind; new ones: stop and stopped stay
    // set once set, the message events are consumed by the one waiter they wake. Clients need
    // only the message events, the block and the send mutex; nobody else may write the rest.
    constexpr bool kPrivate = false;
    if (!Made(stopEvent.Create(ObjectName(kStopEventSuffix).c_str(), true, false, kPrivate), kStopEventSuffix) ||
        !Made(stoppedEvent.Create(ObjectName(kStoppedEventSuffix).c_str(), true, false, kPrivate),
              kStoppedEventSuffix) ||
        !Made(inMsgEvent.Create(ObjectName(kInMsgEventSuffix).c_str(), false, false), kInMsgEventSuffix) ||
        !Made(inMsgHandledEvent.Create(ObjectName(kInMsgHandledEventSuffix).c_str(), false, false),
              kInMsgHandledEventSuffix) ||
        !Made(outMsgEvent.Create(ObjectName(kOutMsgEventSuffix).c_str(), false, false, kPrivate), kOutMsgEventSuffix))
        return -1;
    if (!Made(requestMap.SetName(ObjectName(kInMsgMapSuffix).c_str()), kInMsgMapSuffix) ||
        !Made(requestMap.Create(dataSize), kInMsgMapSuffix) ||
        !Made(outMsgMap.SetName(ObjectName(kOutMsgMapSuffix).c_str()), kOutMsgMapSuffix) ||
        !Made(outMsgMap.Create(kOutMsgDataSize, kPrivate), kOutMsgMapSuffix))
        return -1;
    if (!Made(sendMutex.Create(ObjectName(kSendMsgSuffix).c_str(), true, &notInherited), kSendMsgSuffix)) return -1;
    // Last, so that a client that sees the service running finds every other object; and the
    // arbiter between two services that start at once: the one that owns it runs.
    if (!Made(existMutex.Create(existName.c_str(), true), kExistSuffix)) return -1;
    existMutex.Lock(0);
    if (!existMutex.IsLocked()) return -2;
    // Taken over objects may still hold signals of their earlier service.
    stopEvent.Reset();
    stoppedEvent.Reset();
    inMsgEvent.Reset();
    inMsgHandledEvent.Reset();
    return 0;
}

void ServiceChannel::SetHandler(std::int32_t msgId, MessageHandler handler) { handlers[msgId] = std::move(handler); }

bool ServiceChannel::RequestStop() { return stopEvent.Set(); }

bool ServiceChannel::WaitStopped(DWORD timeoutMs) { return stoppedEvent.Wait(timeoutMs); }

void ServiceChannel::RunLifecycleHandler(std::int32_t msgId, const char* foundLine, const char* runLine) {
    auto it = handlers.find(msgId);
    if (it == handlers.end()) return;
    Trace("%s", foundLine);
    if (!it->second) return;
    Trace("%s", runLine);
    std::int32_t param1 = 0;
    std::int32_t param2 = 0;
    MessageBuffer empty;
    try {
        it->second(msgId, param1, param2, empty);
    } catch (...) {
        Trace("NTService - message handler failed. Msg id: %d", msgId);
    }
}

int ServiceChannel::ServiceLoop() {
    Trace("NTService - Service started.");
    if (!existMutex.IsLocked()) {
        if (existMutex.Handle() == nullptr) existMutex.Create(existName.c_str(), true);
        existMutex.Lock(0);
    }
    RunLifecycleHandler(kStartMessage, "NTService - Service start message handler found.",
                        "NTService - Service start message handler is excuted.");
    const HANDLE waits[2] = {stopEvent.Handle(), inMsgEvent.Handle()};
    for (;;) {
        DWORD result = WaitForMultipleObjectsEx(2, waits, FALSE, kLoopWaitMs, TRUE);
        if (result == WAIT_OBJECT_0) break;
        if (result == WAIT_FAILED) {
            // Without its events the loop could only spin.
            failedError = GetLastError();
            Trace("NTService - Service wait failed.");
            stoppedEvent.Set();
            return -1;
        }
        if (result == WAIT_OBJECT_0 + 1 && !HandleMessage()) {
            failedError = ERROR_FILE_CORRUPT;
            Trace("NTService - Service message block damaged.");
            stoppedEvent.Set();
            return -1;
        }
    }
    Trace("NTService - Service stopping.");
    RunLifecycleHandler(kStopMessage, "NTService - Service stop message handler found.",
                        "NTService - Service stop message handler excuted.");
    Trace("NTService - Service stopped.");
    stoppedEvent.Set();
    return 0;
}

bool ServiceChannel::HandleMessage() {
    MessageHeader header{};
    MessageBuffer data;
    bool wellFormed = false;
    int read = requestMap.Access([&](std::uint8_t* area, std::uint32_t size) {
        std::memcpy(&header, area, sizeof header);
        if (size < kHeaderSize || header.dataLength > size - kHeaderSize) return;
        data.Assign(area + kHeaderSize, header.dataLength);
        wellFormed = data.Size() == header.dataLength;
        if (wellFormed && header.type == TypeOf(MessageType::Request)) {
            const std::uint32_t taken = TypeOf(MessageType::Taken);
            std::memcpy(area, &taken, sizeof taken);
        }
    });
    if (read != 0) {
        inMsgHandledEvent.Set();
        return !requestMap.IsBroken();
    }
    // A reply still in the block: the request event was left over from an exchange whose client
    // gave up. Nobody waits for this.
    if (header.type == TypeOf(MessageType::Reply)) return true;
    const bool isRequest = header.type == TypeOf(MessageType::Request);
    if (!wellFormed || (!isRequest && header.type != TypeOf(MessageType::Post))) {
        // Not something a handler can take; let the sender see at once that no reply came.
        inMsgHandledEvent.Set();
        return true;
    }
    if (!isRequest) inMsgHandledEvent.Set();  // a post expects no reply: release its sender now

    // The start and stop handlers are the loop's own, not something a client may ask for.
    const bool lifecycle = header.msgId == kStartMessage || header.msgId == kStopMessage;
    auto it = lifecycle ? handlers.end() : handlers.find(header.msgId);
    if (it == handlers.end() || !it->second) {
        Trace("NTService - Service message handler not found. Msg id: %d", header.msgId);
        if (isRequest) Answer(header.msgId, nullptr, nullptr);
        return true;
    }
    std::int32_t param1 = header.param1;
    std::int32_t param2 = header.param2;
    bool answered = false;
    try {
        answered = it->second(header.msgId, param1, param2, data);
    } catch (...) {
        Trace("NTService - message handler failed. Msg id: %d", header.msgId);
    }
    if (!isRequest) return true;
    if (!answered || data.Size() > requestMap.DataSize() - kHeaderSize) {
        Answer(header.msgId, nullptr, nullptr);  // the sender sees at once that no reply came
        return true;
    }
    const MessageHeader reply{TypeOf(MessageType::Reply), header.msgId, param1, param2, data.Size()};
    Answer(header.msgId, &reply, &data);
    return true;
}

void ServiceChannel::Answer(std::int32_t msgId, const MessageHeader* reply, const MessageBuffer* payload) {
    requestMap.Access([&](std::uint8_t* area, std::uint32_t) {
        MessageHeader current;
        std::memcpy(&current, area, sizeof current);
        if (current.type != TypeOf(MessageType::Taken) || current.msgId != msgId) {
            Trace("NTService - late reply dropped. Msg id: %d", msgId);
            return;
        }
        if (reply != nullptr) {
            std::memcpy(area, reply, sizeof *reply);
            if (payload->Size() != 0) std::memcpy(area + kHeaderSize, payload->Data(), payload->Size());
        }
        // Signalled under the guard: a client that writes its request after this point resets
        // the signal before it waits, so it cannot take this one for its own.
        inMsgHandledEvent.Set();
    });
}
