#pragma once
// The X clipboard (the CLIPBOARD selection) for the X11 driver. It is owned through a window of
// its own that is never shown; requests for it are answered on the driver's event thread
// (TARGETS, UTF8_STRING, TEXT and STRING; large texts in INCR steps). Reading another owner's
// text waits on the calling thread while the event thread collects it, a second at most without
// progress. What another client sends is capped in size.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

struct _XDisplay;

class X11Clipboard {
public:
    // `wake` makes the event thread look at the connection again: another thread's request may
    // have read the events it waits for.
    X11Clipboard(_XDisplay* display, std::function<void()> wake);
    ~X11Clipboard();
    X11Clipboard(const X11Clipboard&) = delete;
    X11Clipboard& operator=(const X11Clipboard&) = delete;

    // Texts in the window system's form; see ClipboardText.
    bool Set(const std::string& text);
    std::optional<std::string> Get();
    // On the event thread: true when the event was the clipboard's business.
    bool Handle(void* event);

    static constexpr std::size_t kMostRead = 256u << 20;
    static constexpr std::chrono::milliseconds kPatience{1000};

private:
    using Atom = unsigned long;
    using Xid = unsigned long;
    using Text = std::shared_ptr<const std::string>;

    struct Transfer {  // an INCR answer under way; event thread only
        Xid requestor;
        Atom property, type;
        Text data;
        std::size_t offset;
    };
    struct Reading {  // guarded by lock_
        bool active = false, done = false, ok = false, incremental = false;
        std::string data;
        std::chrono::steady_clock::time_point progress;
    };

    std::optional<std::string> Convert(Atom target);
    void Answer(void* request);
    bool Put(Xid requestor, Atom property, Atom type, const Text& data);
    void Continue(Transfer& t);
    void Received(Atom property);
    void ChunkArrived();
    bool ReadProperty(Atom& type, std::string& out);
    void Finish(bool ok);

    _XDisplay* display_;
    std::function<void()> wake_;
    Xid window_ = 0;
    Atom clipboard_ = 0, targets_ = 0, utf8_ = 0, text_ = 0, incr_ = 0, property_ = 0;
    std::size_t chunk_ = 0;

    std::mutex reader_;  // one read at a time
    std::mutex lock_;
    std::condition_variable arrived_;
    Text owned_, ownedUtf8_;  // guarded by lock_: what we offer, as given and as UTF-8
    Reading reading_;
    std::deque<Transfer> transfers_;
};
