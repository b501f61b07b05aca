#include "platform/drivers/X11Clipboard.h"

#include <algorithm>

#include "platform/drivers/ClipboardText.h"

// Xlib last: its macros (None, Bool, Status...) must not reach our own headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

constexpr std::size_t kMostTransfers = 8;  // answers under way; the oldest is dropped beyond
constexpr auto kLongest = std::chrono::seconds(30);

}  // namespace

X11Clipboard::X11Clipboard(_XDisplay* display, std::function<void()> wake) : display_(display), wake_(std::move(wake)) {
    const ::Window root = DefaultRootWindow(display_);
    window_ = XCreateSimpleWindow(display_, root, -10, -10, 1, 1, 0, 0, 0);
    XSelectInput(display_, window_, PropertyChangeMask);
    clipboard_ = XInternAtom(display_, "CLIPBOARD", False);
    targets_ = XInternAtom(display_, "TARGETS", False);
    utf8_ = XInternAtom(display_, "UTF8_STRING", False);
    text_ = XInternAtom(display_, "TEXT", False);
    incr_ = XInternAtom(display_, "INCR", False);
    property_ = XInternAtom(display_, "QB_CLIPBOARD", False);
    // Room for a property change request's header.
    chunk_ = std::min<std::size_t>(static_cast<std::size_t>(XMaxRequestSize(display_)) * 4 - 1024, 256u << 10);
    XFlush(display_);
}

X11Clipboard::~X11Clipboard() {
    XDestroyWindow(display_, window_);
    XFlush(display_);
}

bool X11Clipboard::Set(const std::string& text) {
    auto original = std::make_shared<const std::string>(text);
    auto utf8 = std::make_shared<const std::string>(ClipboardText::ToUtf8(text));
    {
        std::lock_guard guard(lock_);
        owned_ = std::move(original);
        ownedUtf8_ = std::move(utf8);
    }
    XSetSelectionOwner(display_, clipboard_, window_, CurrentTime);
    const bool ours = XGetSelectionOwner(display_, clipboard_) == window_;
    wake_();
    if (!ours) {
        std::lock_guard guard(lock_);
        owned_.reset();
        ownedUtf8_.reset();
    }
    return ours;
}

std::optional<std::string> X11Clipboard::Get() {
    std::lock_guard one(reader_);
    const ::Window owner = XGetSelectionOwner(display_, clipboard_);
    wake_();
    if (owner == None) return std::nullopt;
    if (owner == window_) {
        std::lock_guard guard(lock_);
        if (owned_) return *owned_;
    }
    if (auto utf8 = Convert(utf8_)) return ClipboardText::FromDesktop(*utf8, false);
    if (auto latin1 = Convert(XA_STRING)) return ClipboardText::FromDesktop(*latin1, true);
    return std::nullopt;
}

std::optional<std::string> X11Clipboard::Convert(Atom target) {
    const auto start = std::chrono::steady_clock::now();
    {
        std::lock_guard guard(lock_);
        reading_ = Reading{};
        reading_.active = true;
        reading_.progress = start;
    }
    XDeleteProperty(display_, window_, property_);
    XConvertSelection(display_, clipboard_, target, property_, window_, CurrentTime);
    XFlush(display_);
    wake_();
    std::unique_lock guard(lock_);
    // Patient while the text keeps coming, within an overall bound.
    while (!reading_.done) {
        const auto now = std::chrono::steady_clock::now();
        const auto until = std::min(reading_.progress + kPatience, start + kLongest);
        if (now >= until) break;
        arrived_.wait_until(guard, until);
    }
    reading_.active = false;
    if (!reading_.done || !reading_.ok) return std::nullopt;
    return std::move(reading_.data);
}

bool X11Clipboard::Handle(void* raw) {
    XEvent& e = *static_cast<XEvent*>(raw);
    switch (e.type) {
        case SelectionRequest:
            if (e.xselectionrequest.owner != window_) return false;
            Answer(&e.xselectionrequest);
            return true;
        case SelectionClear:
            if (e.xselectionclear.window != window_) return false;
            if (e.xselectionclear.selection == clipboard_) {
                std::lock_guard guard(lock_);
                owned_.reset();
                ownedUtf8_.reset();
            }
            return true;
        case SelectionNotify:
            if (e.xselection.requestor != window_) return false;
            Received(e.xselection.property);
            return true;
        case PropertyNotify: {
            if (e.xproperty.window == window_) {
                if (e.xproperty.atom == property_ && e.xproperty.state == PropertyNewValue) ChunkArrived();
                return true;
            }
            auto it = std::find_if(transfers_.begin(), transfers_.end(), [&](const Transfer& t) {
                return t.requestor == e.xproperty.window && t.property == e.xproperty.atom;
            });
            if (it == transfers_.end()) return false;
            if (e.xproperty.state == PropertyDelete) {
                Continue(*it);
                if (!it->data) transfers_.erase(it);
            }
            return true;
        }
        default:
            return false;
    }
}

void X11Clipboard::Answer(void* raw) {
    const XSelectionRequestEvent& r = *static_cast<XSelectionRequestEvent*>(raw);
    Text original, utf8;
    {
        std::lock_guard guard(lock_);
        original = owned_;
        utf8 = ownedUtf8_;
    }
    // Clients from before ICCCM 2 name no property: the target is the property then.
    const Atom property = r.property != None ? r.property : r.target;
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = display_;
    reply.xselection.requestor = r.requestor;
    reply.xselection.selection = r.selection;
    reply.xselection.target = r.target;
    reply.xselection.time = r.time;
    reply.xselection.property = None;
    if (original && r.selection == clipboard_) {
        if (r.target == targets_) {
            const Atom offered[] = {targets_, utf8_, text_, XA_STRING};
            XChangeProperty(display_, r.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(offered), 4);
            reply.xselection.property = property;
        } else if (r.target == utf8_ || r.target == text_) {
            if (Put(r.requestor, property, utf8_, utf8)) reply.xselection.property = property;
        } else if (r.target == XA_STRING) {
            auto latin1 = std::make_shared<const std::string>(ClipboardText::ToLatin1(*original));
            if (Put(r.requestor, property, XA_STRING, latin1)) reply.xselection.property = property;
        }
    }
    XSendEvent(display_, r.requestor, False, NoEventMask, &reply);
    XFlush(display_);
}

bool X11Clipboard::Put(Xid requestor, Atom property, Atom type, const Text& data) {
    if (data->size() <= chunk_) {
        XChangeProperty(display_, requestor, property, type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(data->data()), static_cast<int>(data->size()));
        return true;
    }
    // Too large for one request: the requestor deletes the property for each next piece.
    XSelectInput(display_, requestor, PropertyChangeMask);
    const long size = static_cast<long>(data->size());
    XChangeProperty(display_, requestor, property, incr_, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&size), 1);
    if (transfers_.size() >= kMostTransfers) transfers_.pop_front();
    transfers_.push_back(Transfer{requestor, property, type, data, 0});
    return true;
}

void X11Clipboard::Continue(Transfer& t) {
    const std::size_t n = std::min(chunk_, t.data->size() - t.offset);
    XChangeProperty(display_, t.requestor, t.property, t.type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(t.data->data() + t.offset), static_cast<int>(n));
    t.offset += n;
    if (n == 0) {
        // The empty piece ends it; the requestor's window hears no more from us unless another
        // answer to it is under way.
        t.data.reset();
        const bool more = std::count_if(transfers_.begin(), transfers_.end(), [&](const Transfer& o) {
                              return o.requestor == t.requestor && o.data;
                          }) > 0;
        if (!more) XSelectInput(display_, t.requestor, NoEventMask);
    }
    XFlush(display_);
}

void X11Clipboard::Received(Atom property) {
    {
        std::lock_guard guard(lock_);
        if (!reading_.active || reading_.done) {
            if (property != None) XDeleteProperty(display_, window_, property);
            return;
        }
    }
    if (property == None) return Finish(false);
    Atom type = None;
    std::string data;
    const bool read = ReadProperty(type, data);
    if (read && type == incr_) {
        // The deletion in ReadProperty asked for the first piece.
        std::lock_guard guard(lock_);
        reading_.incremental = true;
        reading_.progress = std::chrono::steady_clock::now();
        return;
    }
    {
        std::lock_guard guard(lock_);
        reading_.data = std::move(data);
    }
    Finish(read);
}

void X11Clipboard::ChunkArrived() {
    {
        std::lock_guard guard(lock_);
        if (!reading_.active || reading_.done || !reading_.incremental) return;
    }
    Atom type = None;
    std::string piece;
    if (!ReadProperty(type, piece)) return Finish(false);
    if (piece.empty()) return Finish(true);
    std::lock_guard guard(lock_);
    if (reading_.data.size() + piece.size() > kMostRead) {
        reading_.done = true;
        reading_.ok = false;
        arrived_.notify_all();
        return;
    }
    reading_.data += piece;
    reading_.progress = std::chrono::steady_clock::now();
    arrived_.notify_all();
}

bool X11Clipboard::ReadProperty(Atom& type, std::string& out) {
    long offset = 0;  // in 32-bit units
    for (;;) {
        Atom actual = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, window_, property_, offset, 1 << 20, False, AnyPropertyType, &actual, &format,
                               &count, &after, &data) != Success)
            return false;
        type = actual;
        if (format == 8 && data) out.append(reinterpret_cast<const char*>(data), count);
        if (data) XFree(data);
        if (actual == None) return false;
        if (format != 8 || after == 0) break;
        if (out.size() + after > kMostRead) return false;
        offset += static_cast<long>(count / 4);
    }
    XDeleteProperty(display_, window_, property_);
    XFlush(display_);
    return true;
}

void X11Clipboard::Finish(bool ok) {
    std::lock_guard guard(lock_);
    reading_.done = true;
    reading_.ok = ok;
    arrived_.notify_all();
}
