#include "channel/ServiceChannel.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "channel/MessageHeader.h"
#include "channel/NamedMutexLock.h"
#include "channel/Trace.h"
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

}  // namespace

ServiceChannel::ServiceChannel(const char* name) : serviceName(name ? name : ""), existName(ObjectName(kExistSuffix)) {}

ServiceChannel::~ServiceChannel() = default;

std::string ServiceChannel::ObjectName(const char* suffix) const { return kGlobalPrefix + serviceName + suffix; }

bool ServiceChannel::IsServiceRunning() const {
    // The answer of creating a probe mutex without allowing an existing one (it exists, or it
    // exists for another user), without making and removing one: this runs before every request.
    const DWORD probe = ProbeMutexA(existName.c_str());
    return probe == ERROR_ALREADY_EXISTS || probe == ERROR_ACCESS_DENIED;
}

int ServiceChannel::Connect(DWORD access) {
    requestMap.SetName(ObjectName(kInMsgMapSuffix).c_str());  // a failure shows in Open below
    if (sendMutex.Open(ObjectName(kSendMsgSuffix).c_str(), TRUE, access) != 0) return 0;
    if (inMsgEvent.Open(ObjectName(kInMsgEventSuffix).c_str(), TRUE) != 0) return 0;
    if (inMsgHandledEvent.Open(ObjectName(kInMsgHandledEventSuffix).c_str(), TRUE) != 0) return 0;
    return requestMap.Open(1) == 0 ? 1 : 0;
}

int ServiceChannel::SendMsg(std::int32_t msgId, std::int32_t& param1, std::int32_t& param2, MessageBuffer& data,
                            DWORD timeoutMs, HANDLE cancel) {
    std::unique_lock inProcess(sendLock, std::defer_lock);
    if (timeoutMs == INFINITE)
        inProcess.lock();
    else if (!inProcess.try_lock_for(std::chrono::milliseconds(timeoutMs)))
        return 0;

    // An abandoned send mutex is owned all the same, and released on the way out.
    NamedMutexLock exchange(sendMutex, timeoutMs, cancel);
    if (!exchange.Owned()) return 0;
    if (!IsServiceRunning()) return 0;

    const std::uint32_t room = requestMap.DataSize();
    if (room == NamedSharedMemory::kNoRoom || room < kHeaderSize || data.Size() > room - kHeaderSize) return 0;
    const MessageHeader request{TypeOf(MessageType::Request), msgId, param1, param2, data.Size()};
    int written = requestMap.Access([&](std::uint8_t* area, std::uint32_t) {
        std::memcpy(area, &request, sizeof request);
        if (data.Size() != 0) std::memcpy(area + kHeaderSize, data.Data(), data.Size());
    });
    if (written != 0) return 0;

    // A "handled" signal that an earlier exchange timed out on may still be pending: it must not
    // pass for the answer to this request.
    inMsgHandledEvent.Reset();
    if (!inMsgEvent.Set()) return 0;
    if (!WaitHandled(timeoutMs, cancel)) {
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
    if (read != 0 || !accepted) return 0;
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
        if (result != WAIT_TIMEOUT) return false;  // cancelled, or the wait failed
        if (!unbounded && Clock::now() >= end) return false;
        if (!IsServiceRunning()) return false;
    }
}

int ServiceChannel::CreateServiceObjects(std::uint32_t dataSize) {
    if (IsServiceRunning()) return -2;
    if (dataSize < kHeaderSize) return -1;
    const BOOL notInherited = FALSE;
    // Events that outlived an earlier service keep their kind; new ones: stop and stopped stay
    // set once set, the message events are consumed by the one waiter they wake.
    if (stopEvent.Create(ObjectName(kStopEventSuffix).c_str(), true, false) != 0 ||
        stoppedEvent.Create(ObjectName(kStoppedEventSuffix).c_str(), true, false) != 0 ||
        inMsgEvent.Create(ObjectName(kInMsgEventSuffix).c_str(), false, false) != 0 ||
        inMsgHandledEvent.Create(ObjectName(kInMsgHandledEventSuffix).c_str(), false, false) != 0 ||
        outMsgEvent.Create(ObjectName(kOutMsgEventSuffix).c_str(), false, false) != 0)
        return -1;
    if (requestMap.SetName(ObjectName(kInMsgMapSuffix).c_str()) != 0 || requestMap.Create(dataSize) != 0 ||
        outMsgMap.SetName(ObjectName(kOutMsgMapSuffix).c_str()) != 0 || outMsgMap.Create(kOutMsgDataSize) != 0)
        return -1;
    if (sendMutex.Create(ObjectName(kSendMsgSuffix).c_str(), true, &notInherited) != 0) return -1;
    // Last, so that a client that sees the service running finds every other object; and the
    // arbiter between two services that start at once.
    int exist = existMutex.Create(existName.c_str(), false);
    if (exist != 0) return exist == -2 ? -2 : -1;
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
    if (existMutex.Handle() == nullptr) existMutex.Create(existName.c_str(), false);
    RunLifecycleHandler(kStartMessage, "NTService - Service start message handler found.",
                        "NTService - Service start message handler is excuted.");
    const HANDLE waits[2] = {stopEvent.Handle(), inMsgEvent.Handle()};
    for (;;) {
        DWORD result = WaitForMultipleObjectsEx(2, waits, FALSE, kLoopWaitMs, TRUE);
        if (result == WAIT_OBJECT_0) break;
        if (result == WAIT_FAILED) {
            // Without its events the loop could only spin.
            Trace("NTService - Service wait failed.");
            return -1;
        }
        if (result == WAIT_OBJECT_0 + 1) HandleMessage();
    }
    Trace("NTService - Service stopping.");
    RunLifecycleHandler(kStopMessage, "NTService - Service stop message handler found.",
                        "NTService - Service stop message handler excuted.");
    Trace("NTService - Service stopped.");
    stoppedEvent.Set();
    return 0;
}

void ServiceChannel::HandleMessage() {
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
        return;
    }
    // A reply still in the block: the request event was left over from an exchange whose client
    // gave up. Nobody waits for this.
    if (header.type == TypeOf(MessageType::Reply)) return;
    const bool isRequest = header.type == TypeOf(MessageType::Request);
    if (!wellFormed || (!isRequest && header.type != TypeOf(MessageType::Post))) {
        // Not something a handler can take; let the sender see at once that no reply came.
        inMsgHandledEvent.Set();
        return;
    }
    if (!isRequest) inMsgHandledEvent.Set();  // a post expects no reply: release its sender now

    auto it = handlers.find(header.msgId);
    if (it == handlers.end() || !it->second) {
        Trace("NTService - Service message handler not found. Msg id: %d", header.msgId);
        if (isRequest) Answer(header.msgId, nullptr, nullptr);
        return;
    }
    std::int32_t param1 = header.param1;
    std::int32_t param2 = header.param2;
    bool answered = false;
    try {
        answered = it->second(header.msgId, param1, param2, data);
    } catch (...) {
        Trace("NTService - message handler failed. Msg id: %d", header.msgId);
    }
    if (!isRequest) return;
    if (!answered || data.Size() > requestMap.DataSize() - kHeaderSize) {
        Answer(header.msgId, nullptr, nullptr);  // the sender sees at once that no reply came
        return;
    }
    const MessageHeader reply{TypeOf(MessageType::Reply), header.msgId, param1, param2, data.Size()};
    Answer(header.msgId, &reply, &data);
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
